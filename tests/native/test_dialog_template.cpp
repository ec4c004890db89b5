// Captions read from dialog template bytes: both template forms, every form
// of the menu, class and title fields, padding and creation data, and
// templates cut short or lying about their size. Each case gets a heap copy
// of exactly its bytes, so the sanitizer sees any read past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialog_template_pure.h"

namespace {

// Little-endian template bytes, field by field.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& W(uint16_t v) { data.insert(data.end(), {uint8_t(v), uint8_t(v >> 8)}); return *this; }
    Bytes& D(uint32_t v) { return W(uint16_t(v)).W(uint16_t(v >> 16)); }
    Bytes& S(const std::u16string& s) { for (char16_t c : s) W(c); return W(0); }
    Bytes& Ordinal(uint16_t v) { return W(0xFFFF).W(v); }
    Bytes& Pad() { while (data.size() % 4) data.push_back(0xCC); return *this; }
    Bytes& Extra(std::vector<uint8_t> extra) {
        W(uint16_t(extra.size()));
        data.insert(data.end(), extra.begin(), extra.end());
        return *this;
    }
};

// DIALOGEX with a font: a radio with a mnemonic and three bytes of creation
// data (so the next control needs padding), an icon, a named class control.
std::vector<uint8_t> Extended() {
    Bytes b;
    b.W(1).W(0xFFFF).D(0).D(0).D(0x40 | 0x80000000).W(3).W(0).W(0).W(223).W(110);
    b.Ordinal(7).S(u"MyDialogClass").S(u"ページ").W(9).W(400).W(0x0080).S(u"ＭＳ Ｐゴシック");
    b.Pad().D(0).D(0).D(0x50000009).D(0x000A000A).D(0x000A0036).D(1001).Ordinal(0x80).S(u"センタ(&N)").Extra({1, 2, 3});
    b.Pad().D(0).D(0).D(0x50000003).D(0).D(0).D(1002).Ordinal(0x82).Ordinal(5).Extra({});
    b.Pad().D(0).D(0).D(0x50000000).D(0).D(0).D(0x12345).S(u"msctls_updown32").S(u"").Extra({});
    return b.data;
}

// DIALOG (the older form) without a font: a menu by name, the default class,
// no title, two-byte ids; the first control carries two bytes of creation data.
std::vector<uint8_t> Classic(uint16_t style = 0) {
    Bytes b;
    b.D(0x80000000 | style).D(0).W(2).W(0).W(0).W(100).W(50);
    b.S(u"MENU").W(0).W(0);
    if (style) b.W(8).S(u"Font");
    b.Pad().D(0x50000000).D(0).W(0).W(0).W(40).W(10).W(7).S(u"Button").S(u"&Yes").Extra({9, 9});
    b.Pad().D(0x50000000).D(0).W(0).W(0).W(40).W(10).W(8).Ordinal(0x80).S(u"A&&B ").Extra({});
    return b.data;
}

DialogTextResult Find(const std::vector<uint8_t>& bytes, size_t size, unsigned long id, std::u16string* text) {
    const std::vector<uint8_t> exact(bytes.begin(), bytes.begin() + size);
    return FindDialogControlText(exact.empty() ? nullptr : exact.data(), size, id, text);
}

struct Case {
    const char* label;
    std::vector<uint8_t> bytes;
    unsigned long id;
    DialogTextResult result;
    std::u16string text;
};

TEST(DialogTemplate, FindsTheCaptionOfAControl) {
    std::vector<uint8_t> tooMany = Extended();
    tooMany[16] = 4;  // four controls claimed, three present
    std::vector<uint8_t> unterminated = Extended();
    unterminated.resize(unterminated.size() - 2);  // the last control's creation data size is missing
    std::vector<uint8_t> fewer = Extended();
    fewer[16] = 1;
    const Case cases[] = {
        {"extended: text after a named class, a font and padding", Extended(), 1001, DialogTextFound, u"センタ(&N)"},
        {"extended: title a resource number", Extended(), 1002, DialogTextNotText, u""},
        {"extended: four-byte id, named class, empty title", Extended(), 0x12345, DialogTextFound, u""},
        {"extended: the low half of a four-byte id is another id", Extended(), 0x2345, DialogTextNoControl, u""},
        {"extended: no such control", Extended(), 1003, DialogTextNoControl, u""},
        {"extended: controls past the count are not read", fewer, 1002, DialogTextNoControl, u""},
        {"extended: more controls claimed than present", tooMany, 1003, DialogTextMalformed, u""},
        {"extended: the last control cut short", unterminated, 1003, DialogTextMalformed, u""},
        {"classic: after creation data", Classic(), 8, DialogTextFound, u"A&&B "},
        {"classic: named class", Classic(), 7, DialogTextFound, u"&Yes"},
        {"classic with a font", Classic(0x40), 8, DialogTextFound, u"A&&B "},
        {"classic: ids are two bytes", Classic(), 0x10008, DialogTextNoControl, u""},
        {"no bytes", {}, 1, DialogTextMalformed, u""},
        {"no controls, cut inside the position", Bytes().D(0).D(0).W(0).W(0).data, 1, DialogTextMalformed, u""},
        {"an unterminated title", Bytes().D(0).D(0).W(0).D(0).D(0).W(0).W(0).W(u'x').data, 1,
         DialogTextMalformed, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::u16string text = u"old";
        EXPECT_EQ(c.result, Find(c.bytes, c.bytes.size(), c.id, &text));
        EXPECT_EQ(c.text, text);
    }
}

TEST(DialogTemplate, ATemplateCutAnywhereIsMalformed) {
    for (const std::vector<uint8_t>& whole : {Extended(), Classic(0x40)}) {
        const unsigned long lastId = whole == Extended() ? 0x12345 : 8;
        for (size_t size = 0; size < whole.size(); ++size) {
            std::u16string text;
            const DialogTextResult result = Find(whole, size, lastId, &text);
            // Only the trailing creation data size may be cut off once the title is whole.
            if (result == DialogTextFound) {
                EXPECT_GE(size + 2, whole.size()) << size;
            } else {
                EXPECT_EQ(DialogTextMalformed, result) << size;
            }
        }
    }
}

TEST(DialogTemplate, WithoutMnemonic) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"センタ(&N)", u"センタ"}, {u"ミシン目スキップ(&M) ", u"ミシン目スキップ"}, {u"&Yes", u"Yes"},
        {u"A&&B", u"A&B"},         {u"x(&)", u"x()"},                                {u"end&", u"end"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.second, WithoutMnemonic(c.first));
}

}  // namespace
