// Bounded Shift-JIS text helpers. Character boundaries are always found by
// walking from the start of a text: a trail byte can look like a lead byte or
// like '\', so a text is never read backwards.
#include "text_pure.h"

#include <cstring>

size_t CompleteTextLength(const char* text, size_t maxBytes) {
    if (!text) return 0;
    size_t i = 0;
    while (i < maxBytes && text[i] != '\0') {
        if (IsLeadByte932(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= maxBytes || text[i + 1] == '\0') break;  // trail byte missing or cut off
            i += 2;
        } else {
            i += 1;
        }
    }
    return i;
}

size_t CutToCompleteText(char* text, size_t size) {
    if (!text || size == 0) return 0;
    const void* terminator = std::memchr(text, '\0', size);
    size_t length = terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - text) : size - 1;
    length = CompleteTextLength(text, length);
    text[length] = '\0';
    return length;
}

int FormatTextV(char* buffer, size_t size, const char* format, va_list args) {
    if (!buffer || size == 0) return 0;
    if (!format) {
        buffer[0] = '\0';
        return 0;
    }
    int written = std::vsnprintf(buffer, size, format, args);
    if (written >= 0 && static_cast<size_t>(written) < size) return 1;
    // Cut (or an implementation that reports a cut as -1): keep what fitted,
    // back to the last complete character.
    buffer[size - 1] = '\0';
    CutToCompleteText(buffer, size);
    return 0;
}

int FormatText(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatTextV(buffer, size, format, args);
    va_end(args);
    return result;
}

int CopyText(char* buffer, size_t size, const char* text) {
    if (!buffer || size == 0) return 0;
    text = TextOrEmpty(text);
    size_t length = std::strlen(text);
    if (length < size) {
        std::memmove(buffer, text, length + 1);
        return 1;
    }
    size_t kept = CompleteTextLength(text, size - 1);
    std::memmove(buffer, text, kept);
    buffer[kept] = '\0';
    return 0;
}

int CopyField(char* buffer, size_t size, const char* field, size_t fieldSize) {
    if (!buffer || size == 0) return 0;
    if (!field) {
        buffer[0] = '\0';
        return 1;
    }
    const void* terminator = std::memchr(field, '\0', fieldSize);
    size_t length = terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - field) : fieldSize;
    size_t kept = CompleteTextLength(field, length < size ? length : size - 1);
    std::memmove(buffer, field, kept);
    buffer[kept] = '\0';
    return kept == length ? 1 : 0;
}

int TextEquals(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

int IsFilePort(const char* destination) {
    static const char kFilePort[] = "FILE:";
    if (!destination) return 0;
    for (size_t i = 0; i < sizeof kFilePort; ++i) {
        const char c = destination[i];
        if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != kFilePort[i]) return 0;
    }
    return 1;
}

namespace {

// Where the last four characters of a text start, and its length. A lead byte
// without a trail byte at the end counts as a character of its own.
struct LastCharacters {
    size_t start[4] = {};
    size_t count = 0;  // characters seen, up to the whole text
    size_t length = 0;

    explicit LastCharacters(const char* text) {
        size_t i = 0;
        while (text[i] != '\0') {
            start[count % 4] = i;
            ++count;
            bool pair = IsLeadByte932(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0';
            i += pair ? 2 : 1;
        }
        length = i;
    }
    // Start of the n-th character from the end (1 = the last one); n <= 4 and n <= count.
    size_t FromEnd(size_t n) const { return start[(count - n) % 4]; }
};

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

HelpFileKind HelpFileKindOf(const char* path) {
    if (!path) return HelpFileNone;
    LastCharacters last(path);
    if (last.count < 3) return HelpFileNone;
    // The last three characters must be three single bytes.
    if (last.FromEnd(3) != last.length - 3) return HelpFileNone;
    char ext[4] = {UpperAscii(path[last.length - 3]), UpperAscii(path[last.length - 2]),
                   UpperAscii(path[last.length - 1]), '\0'};
    if (std::strcmp(ext, "HLP") == 0) return HelpFileWinHelp;
    if (std::strcmp(ext, "CHM") == 0) return HelpFileHtmlHelp;
    return HelpFileNone;
}

int BuildPopupPath(char* buffer, size_t size, const char* chmPath) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    if (!chmPath) return 0;
    LastCharacters last(chmPath);
    size_t base = last.count >= 4 ? last.FromEnd(4) : 0;
    static const char kPopupExtension[] = ".POP";
    if (base + sizeof kPopupExtension > size) return 0;
    std::memcpy(buffer, chmPath, base);
    std::memcpy(buffer + base, kPopupExtension, sizeof kPopupExtension);
    return 1;
}
