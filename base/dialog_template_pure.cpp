#include "dialog_template_pure.h"

#include <cstdint>

namespace {

constexpr uint32_t kStyleSetFont = 0x40;  // the header carries the dialog's font
constexpr uint16_t kOrdinalMark = 0xFFFF;  // a number follows instead of a text
constexpr uint16_t kExtendedVersion = 1;   // DIALOGEX: version 1, then the mark

// Reads the template front to back. A read that would pass the end fails,
// so the position never passes the size.
class TemplateReader {
public:
    TemplateReader(const void* data, size_t size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}

    bool Skip(size_t count) {
        if (size_ - pos_ < count) return false;
        pos_ += count;
        return true;
    }
    bool Word(uint16_t* value) {
        if (size_ - pos_ < 2) return false;
        *value = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool Dword(uint32_t* value) {
        uint16_t low, high;
        if (!Word(&low) || !Word(&high)) return false;
        *value = low | static_cast<uint32_t>(high) << 16;
        return true;
    }
    // Each control starts on a four-byte boundary of the template.
    bool AlignDword() { return Skip((4 - pos_ % 4) % 4); }
    // A terminated UTF-16 text, added to *text.
    bool Text(std::u16string* text) {
        uint16_t unit;
        while (Word(&unit)) {
            if (unit == 0) return true;
            text->push_back(static_cast<char16_t>(unit));
        }
        return false;
    }
    // A menu, class or title field: 0 for none, the mark and a number, or a
    // terminated text. *ordinal tells which of the last two it was.
    bool TextOrOrdinal(std::u16string* text, bool* ordinal) {
        text->clear();
        uint16_t first;
        if (!Word(&first)) return false;
        *ordinal = first == kOrdinalMark;
        if (*ordinal) return Skip(2);
        if (first == 0) return true;
        text->push_back(static_cast<char16_t>(first));
        return Text(text);
    }

private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The header up to the first control: the number of controls in *count.
bool ReadHeader(TemplateReader* reader, bool* extended, uint16_t* count) {
    uint16_t first, second;
    if (!reader->Word(&first) || !reader->Word(&second)) return false;
    *extended = first == kExtendedVersion && second == kOrdinalMark;
    uint32_t style = first | static_cast<uint32_t>(second) << 16;
    if (*extended) {
        // help id, extended style, style
        if (!reader->Skip(8) || !reader->Dword(&style)) return false;
    } else if (!reader->Skip(4)) {  // extended style
        return false;
    }
    if (!reader->Word(count) || !reader->Skip(8)) return false;  // x, y, cx, cy
    std::u16string field;
    bool ordinal;
    for (int i = 0; i < 3; ++i)  // menu, class, title
        if (!reader->TextOrOrdinal(&field, &ordinal)) return false;
    if (!(style & kStyleSetFont)) return true;
    // Point size; DIALOGEX adds the weight, italic and character set.
    return reader->Skip(*extended ? 6 : 2) && reader->Text(&field);
}

}  // namespace

DialogTextResult FindDialogControlText(const void* data, size_t size, unsigned long controlId,
                                       std::u16string* text) {
    text->clear();
    TemplateReader reader(data, size);
    bool extended;
    uint16_t count;
    if (!data || !ReadHeader(&reader, &extended, &count)) return DialogTextMalformed;
    for (uint16_t i = 0; i < count; ++i) {
        uint32_t id;
        uint16_t shortId, extraBytes;
        std::u16string className, title;
        bool classOrdinal, titleOrdinal;
        if (!reader.AlignDword()) return DialogTextMalformed;
        if (extended) {
            // help id, extended style, style, x, y, cx, cy, then a four-byte id
            if (!reader.Skip(20) || !reader.Dword(&id)) return DialogTextMalformed;
        } else {
            // style, extended style, x, y, cx, cy, then a two-byte id
            if (!reader.Skip(16) || !reader.Word(&shortId)) return DialogTextMalformed;
            id = shortId;
        }
        if (!reader.TextOrOrdinal(&className, &classOrdinal) || !reader.TextOrOrdinal(&title, &titleOrdinal))
            return DialogTextMalformed;
        if (id == controlId) {
            if (titleOrdinal) return DialogTextNotText;
            *text = title;
            return DialogTextFound;
        }
        // The creation data: its size in bytes, then the bytes.
        if (!reader.Word(&extraBytes) || !reader.Skip(extraBytes)) return DialogTextMalformed;
    }
    return DialogTextNoControl;
}

std::u16string WithoutMnemonic(const std::u16string& caption) {
    std::u16string text;
    const size_t length = caption.size();
    for (size_t i = 0; i < length; ++i) {
        const char16_t c = caption[i];
        if (c == u'(' && i + 3 < length && caption[i + 1] == u'&' && caption[i + 3] == u')') {
            i += 3;
        } else if (c == u'&') {
            if (i + 1 < length && caption[i + 1] == u'&') text += caption[++i];
        } else {
            text += c;
        }
    }
    while (!text.empty() && text.back() == u' ') text.pop_back();
    return text;
}
