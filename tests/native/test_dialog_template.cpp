// Captions read from template bytes, as the choices show them.
#include <gtest/gtest.h>

#include "dialog_template_pure.h"

namespace {

struct Bytes : std::vector<uint8_t> {  // little-endian fields, n bytes each
    Bytes& W(uint32_t v, int n = 2) { for (; n; --n, v >>= 8) push_back(uint8_t(v)); return *this; }
    Bytes& S(const std::u16string& s) { for (char16_t c : s) W(c); return W(0); }
    Bytes& Pad() { while (size() % 4) push_back(0xCC); return *this; }
};
// DIALOGEX with a font: a radio with three bytes of creation data (padding follows), an icon, a named class.
Bytes Extended(uint16_t count = 3) {
    return Bytes().W(1).W(0xFFFF).W(0, 8).W(0x40, 4).W(count).W(0, 8).W(0xFFFF).W(7).S(u"Cls").S(u"頁").W(9, 6).S(u"明朝")
        .Pad().W(0, 20).W(1001, 4).W(0xFFFF).W(0x80).S(u"センタ(&N) ").W(3).W(0x030201, 3)
        .Pad().W(0, 20).W(1002, 4).W(0xFFFF).W(0x82).W(0xFFFF).W(5).W(0)
        .Pad().W(0, 20).W(0x12345, 4).S(u"msctls_updown32").S(u"").W(0);
}
// DIALOG with or without a font: a named menu, two-byte ids, a named class.
Bytes Classic(uint32_t style) {
    Bytes b = Bytes().W(style, 4).W(0, 4).W(2).W(0, 8).S(u"MENU").W(0).W(0);
    if (style) b.W(8).S(u"Font");
    return b.Pad().W(0, 16).W(7).W(0xFFFF).W(0x80).S(u"&Yes").W(2).W(0x0909)
        .Pad().W(0, 16).W(8).S(u"Button").S(u"&A (x) &&").W(0);
}
TEST(DialogTemplate, FindsTheCaptionOfAControl) {
    const struct { Bytes bytes; unsigned long id; DialogTextResult result; std::u16string shown; } cases[] = {
        {Extended(), 1001, DialogTextFound, u"センタ"},  // after a named class, a font and padding
        {Extended(), 1002, DialogTextNotText, u""},      // a title by number
        {Extended(1), 1002, DialogTextNoControl, u""},   // controls past the count
        {Extended(4), 1003, DialogTextMalformed, u""},   // more controls counted than present
        {Classic(0), 8, DialogTextFound, u"A (x) &"},    // after creation data
        {Classic(0), 0x10008, DialogTextNoControl, u""}, // ids of two bytes
        {Bytes().W(0, 12), 1, DialogTextMalformed, u""}, // no controls, cut inside the position
    };
    for (const auto& c : cases) {
        std::u16string text = u"old";
        EXPECT_EQ(c.result, FindDialogControlText(c.bytes.data(), c.bytes.size(), c.id, &text)) << &c - cases;
        EXPECT_EQ(c.shown, WithoutMnemonic(text)) << &c - cases;
    }
    for (const Bytes& whole : {Extended(), Classic(0x40)})  // cut before the last title ends: malformed
        for (size_t size = 0; size < whole.size(); ++size) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + size);  // no bytes past its end
            std::u16string text;
            EXPECT_EQ(size + 2 < whole.size() ? DialogTextMalformed : DialogTextFound,
                      FindDialogControlText(size ? cut.data() : nullptr, size, whole[0] == 1 ? 0x12345 : 8, &text));
        }
}

}  // namespace
