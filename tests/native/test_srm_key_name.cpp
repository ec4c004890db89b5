// Registry key names of simulated printers: backslashes and percent signs
// escaped, Shift-JIS characters (whose trail byte may be 0x5C) kept whole.
#include <gtest/gtest.h>

#include <string>

#include "key_name.h"

namespace {

TEST(SrmKeyName, EscapesBackslashAndPercentOnly) {
    struct Case {
        const char* label;
        std::string name;
        std::string key;
        bool backslash;  // a spooler printer cannot have this name
    };
    const Case cases[] = {
        {"plain", "TK-1", "TK-1", false},
        {"network name", "\\\\server\\lp", "%5C%5Cserver%5Clp", true},
        {"percent", "100%", "100%25", false},
        {"percent that looks escaped", "a%5Cb", "a%255Cb", false},
        {"double-byte with trail byte 0x5C", "\x83\x5C", "\x83\x5C", false},
        {"double-byte then backslash", "\x83\x5C\\", "\x83\x5C%5C", true},
        {"kanji, trail byte 0x5C, then text", "\x95\x5C-A", "\x95\x5C-A", false},
        {"lone lead byte at the end", "A\x83", "A\x83", false},
        {"a lead byte takes the last byte, even '%', as its trail", "A\x83%", "A\x83%", false},
        {"lead bytes at both ends of both ranges", "\x81\x5C\x9F\x5C\xE0\x5C\xFC\x5C", "\x81\x5C\x9F\x5C\xE0\x5C\xFC\x5C",
         false},
        {"bytes just outside the lead-byte ranges", "\x80\\\xA0\\\xDF\\\xFD\\", "\x80%5C\xA0%5C\xDF%5C\xFD%5C", true},
        {"half-width katakana are single bytes", "\xB1\\", "\xB1%5C", true},
        {"empty", "", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapePrinterKeyName(c.name), c.key) << c.label;
        EXPECT_EQ(HoldsBackslash(c.name), c.backslash) << c.label;
        std::string back;
        ASSERT_TRUE(UnescapePrinterKeyName(c.key, &back)) << c.label;
        EXPECT_EQ(back, c.name) << c.label;
    }
}

TEST(SrmKeyName, KeyNamesNeverHoldASingleByteBackslash) {
    // Every pair of bytes: no backslash survives outside a double-byte character.
    for (int first = 1; first < 256; ++first) {
        for (int second = 1; second < 256; second += 3) {
            const std::string name = {static_cast<char>(first), static_cast<char>(second), '\\'};
            const std::string key = EscapePrinterKeyName(name);
            for (size_t i = 0; i < key.size(); ++i) {
                const unsigned char c = static_cast<unsigned char>(key[i]);
                if (IsShiftJisLeadByte(c) && i + 1 < key.size()) {
                    ++i;
                    continue;
                }
                ASSERT_NE(c, '\\') << first << " " << second;
            }
            std::string back;
            ASSERT_TRUE(UnescapePrinterKeyName(key, &back));
            ASSERT_EQ(back, name) << first << " " << second;
        }
    }
}

TEST(SrmKeyName, UnknownEscapesAreRefused) {
    for (const char* key : {"%", "%5", "%41", "%5c", "a%2"}) {
        std::string name = "unchanged";
        EXPECT_FALSE(UnescapePrinterKeyName(key, &name)) << key;
        EXPECT_EQ(name, "unchanged") << key;
    }
}

}  // namespace
