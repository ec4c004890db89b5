// Bounded Shift-JIS text helpers. Double-byte characters are written as byte
// escapes: "\x82\xA0" is HIRAGANA A, "\x83\x5C" is KATAKANA SO (trail byte
// '\'), "\x81\x81" is FULLWIDTH EQUALS (trail byte in the lead-byte range),
// "\xB1" is a half-width katakana (one byte).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "text_pure.h"

namespace {

constexpr char kSentinel = '#';

struct FormatCase {
    const char* label;
    size_t size;
    const char* input;
    const char* expected;
    int fits;
};

TEST(FormatText, CutsOnlyAtCharacterBoundaries) {
    const FormatCase cases[] = {
        {"fits", 8, "abc", "abc", 1},
        {"exactly full", 8, "abcdefg", "abcdefg", 1},
        {"one byte over, single-byte cut", 8, "abcdefgh", "abcdefg", 0},
        {"cut would split a double-byte character", 8, "abcdef\x82\xA0", "abcdef", 0},
        {"double-byte character ends exactly at the end", 8, "abcde\x82\xA0", "abcde\x82\xA0", 1},
        {"double-byte character just fits before the cut", 8, "abcde\x82\xA0xyz", "abcde\x82\xA0", 0},
        {"trail byte 0x5C kept with its lead", 4, "\x83\x5C\x83\x5C", "\x83\x5C", 0},
        {"trail byte 0x5C, cut after the pair", 5, "\x83\x5C\x83\x5C", "\x83\x5C\x83\x5C", 1},
        {"trail bytes in the lead-byte range", 4, "\x81\x81\x81\x81", "\x81\x81", 0},
        {"odd start shifts the pairs", 5, "a\x81\x81\x81\x81", "a\x81\x81", 0},
        {"half-width katakana are single bytes", 4, "\xB1\xB2\xB3\xB4", "\xB1\xB2\xB3", 0},
        {"lead byte 0x9F", 3, "a\x9F\x40", "a", 0},
        {"lead byte 0xE0", 3, "a\xE0\x40", "a", 0},
        {"lead byte 0xFC", 3, "a\xFC\x40", "a", 0},
        {"0x80 is a single byte", 3, "a\x80\x40", "a\x80", 0},
        {"0xA0 is a single byte", 3, "a\xA0\x40", "a\xA0", 0},
        {"0xFD is a single byte", 3, "a\xFD\x40", "a\xFD", 0},
        {"empty text", 1, "", "", 1},
        {"buffer of one byte", 1, "abc", "", 0},
        {"buffer of one byte, double-byte text", 1, "\x82\xA0", "", 0},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.label);
        char buffer[32];
        std::memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(c.fits, FormatText(buffer, c.size, "%s", c.input));
        EXPECT_STREQ(c.expected, buffer);
        for (size_t i = c.size; i < sizeof buffer; ++i) ASSERT_EQ(kSentinel, buffer[i]) << "written past the buffer at " << i;
    }
}

TEST(FormatText, CaptionWithALongPrinterName) {
    // "%s - %s" of a title and a printer name of 1,000 characters, into 256 bytes.
    const std::string title = "Pavonet \x83\x8A\x83\x82\x81\x5B\x83\x67";
    struct Case {
        const char* label;
        std::string name;
    };
    const Case cases[] = {
        {"single-byte name", std::string(1000, 'n')},
        {"double-byte name", [] {
             std::string s;
             for (int i = 0; i < 500; ++i) s += "\x83\x5C";
             return s;
         }()},
        {"name shifted by one byte", "x" + [] {
             std::string s;
             for (int i = 0; i < 500; ++i) s += "\x82\xA0";
             return s;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        char buffer[256 + 8];
        std::memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(0, FormatText(buffer, 256, "%s - %s", title.c_str(), c.name.c_str()));
        size_t length = std::strlen(buffer);
        EXPECT_GE(length, 254u);
        EXPECT_LE(length, 255u);
        const std::string full = title + " - " + c.name;
        EXPECT_EQ(0, full.compare(0, length, buffer)) << "the kept part is the start of the text";
        EXPECT_EQ(length, CompleteTextLength(full.c_str(), length)) << "ends on a character boundary";
        for (size_t i = 256; i < sizeof buffer; ++i) ASSERT_EQ(kSentinel, buffer[i]);
    }
}

TEST(FormatText, NumbersAndNoBuffer) {
    char buffer[32];
    EXPECT_EQ(1, FormatText(buffer, sizeof buffer, "%s\n%lx", "x", 255ul));
    EXPECT_STREQ("x\nff", buffer);
    EXPECT_EQ(0, FormatText(nullptr, 8, "%s", "x"));
    buffer[0] = kSentinel;
    EXPECT_EQ(0, FormatText(buffer, 0, "%s", "x"));
    EXPECT_EQ(kSentinel, buffer[0]) << "a buffer of size 0 is not touched";
}

struct CutCase {
    const char* label;
    const char* bytes;   // buffer contents, not necessarily terminated
    size_t size;         // buffer size
    const char* expected;
};

TEST(CutToCompleteText, TerminatesAndDropsAHalfCharacter) {
    const CutCase cases[] = {
        {"complete text unchanged", "ab\x82\xA0\0zz", 7, "ab\x82\xA0"},
        {"lone lead byte before the terminator", "ab\x82\0zz", 6, "ab"},
        {"unterminated, last byte replaced", "abcdef", 6, "abcde"},
        {"unterminated, cut would split", "abcd\x82\xA0", 6, "abcd"},
        {"unterminated, trail byte 0x5C", "abc\x83\x5C" "d", 6, "abc\x83\x5C"},
        {"unterminated, trail bytes in the lead-byte range", "\x81\x81\x81\x81\x81\x81", 6, "\x81\x81\x81\x81"},
        {"unterminated, the same shifted by one byte", "a\x81\x81\x81\x81\x81", 6, "a\x81\x81\x81\x81"},
        {"empty", "\0", 1, ""},
        {"a buffer of size 0 is not touched", "", 0, ""},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.label);
        char buffer[16];
        std::memset(buffer, kSentinel, sizeof buffer);
        std::memcpy(buffer, c.bytes, c.size);
        size_t length = CutToCompleteText(buffer, c.size);
        if (c.size > 0) {
            EXPECT_STREQ(c.expected, buffer);
        }
        EXPECT_EQ(std::strlen(c.expected), length);
        for (size_t i = c.size; i < sizeof buffer; ++i) ASSERT_EQ(kSentinel, buffer[i]) << "written past the buffer at " << i;
    }
}

struct FieldCase {
    const char* label;
    const char* field;
    size_t fieldSize;
    size_t bufferSize;
    const char* expected;
    int whole;
};

TEST(CopyField, ReadsUnterminatedFieldsWithinBounds) {
    const FieldCase cases[] = {
        {"terminated field", "LPT1:\0\0\0", 8, 16, "LPT1:", 1},
        {"unterminated field fills it", "COM1:XYZ", 8, 16, "COM1:XYZ", 1},
        {"unterminated field ending in a lead byte", "COM1:XY\x82", 8, 16, "COM1:XY", 0},
        {"unterminated double-byte field", "\x83\x5C\x83\x5C\x83\x5C\x83\x5C", 8, 16, "\x83\x5C\x83\x5C\x83\x5C\x83\x5C", 1},
        {"field larger than the buffer", "abcdefgh", 8, 5, "abcd", 0},
        {"field larger than the buffer, split avoided", "abc\x82\xA0xyz", 8, 5, "abc", 0},
        {"field exactly fills the buffer", "abcd\0\0\0\0", 8, 5, "abcd", 1},
        {"field one byte longer than the buffer holds", "abcde\0\0\0", 8, 5, "abcd", 0},
        {"buffer of size 0", "ab\0\0", 4, 0, "", 0},
        {"empty field", "\0\0\0\0", 4, 5, "", 1},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.label);
        // The field lives in a block of exactly fieldSize bytes, so reading past
        // it is caught by the address sanitizer.
        std::unique_ptr<char[]> field(new char[c.fieldSize]);
        std::memcpy(field.get(), c.field, c.fieldSize);
        char buffer[32];
        std::memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(c.whole, CopyField(buffer, c.bufferSize, field.get(), c.fieldSize));
        if (c.bufferSize > 0) {
            EXPECT_STREQ(c.expected, buffer);
        }
        for (size_t i = c.bufferSize; i < sizeof buffer; ++i) ASSERT_EQ(kSentinel, buffer[i]);
    }
}

TEST(CopyText, BoundedAndNullSafe) {
    char buffer[6];
    EXPECT_EQ(1, CopyText(buffer, sizeof buffer, "abcde"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_EQ(0, CopyText(buffer, sizeof buffer, "abcd\x82\xA0"));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_EQ(1, CopyText(buffer, sizeof buffer, nullptr)) << "a null text copies as empty";
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(1, CopyField(buffer, sizeof buffer, nullptr, 8));
    EXPECT_STREQ("", buffer);
    buffer[0] = kSentinel;
    EXPECT_EQ(0, CopyText(buffer, 0, "abc"));
    EXPECT_EQ(kSentinel, buffer[0]) << "a buffer of size 0 is not touched";
}

TEST(TextEquals, NullEqualsNothing) {
    struct Case {
        const char* label;
        const char* a;
        const char* b;
        int equal;
    } cases[] = {
        {"same text", "Printer 1", "Printer 1", 1},
        {"letter case differs", "Printer 1", "printer 1", 0},
        {"prefix", "Printer", "Printer 1", 0},
        {"first null", nullptr, "Printer", 0},
        {"second null", "Printer", nullptr, 0},
        {"both null", nullptr, nullptr, 0},
        {"both empty", "", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.equal, TextEquals(c.a, c.b));
    }
}

TEST(TextEquals, TheFilePortInAnyLetterCase) {
    for (const char* port : {"FILE:", "file:", "File:"}) EXPECT_TRUE(IsFilePort(port)) << port;
    for (const char* other : {"FILE", "FILE:x", "LPT1:", "", static_cast<const char*>(nullptr)}) EXPECT_FALSE(IsFilePort(other));
}

TEST(HelpFileKindOf, LastThreeCharacters) {
    struct Case {
        const char* label;
        const char* path;
        HelpFileKind kind;
    } cases[] = {
        {"upper-case HLP", "C:\\HELP\\RP.HLP", HelpFileWinHelp},
        {"lower-case hlp", "C:\\help\\rp.hlp", HelpFileWinHelp},
        {"mixed-case Chm", "C:\\help\\rp.Chm", HelpFileHtmlHelp},
        {"upper-case CHM", "RP.CHM", HelpFileHtmlHelp},
        {"exactly three characters", "hlp", HelpFileWinHelp},
        {"two characters", "lp", HelpFileNone},
        {"empty", "", HelpFileNone},
        {"null", nullptr, HelpFileNone},
        {"other extension", "C:\\help\\rp.txt", HelpFileNone},
        {"trailing blank", "C:\\help\\rp.hlp ", HelpFileNone},
        {"double-byte directory", "C:\\\x83\x77\x83\x8B\x83\x76\\rp.chm", HelpFileHtmlHelp},
        {"'H' is the trail byte of a double-byte character", "x\x83HLP", HelpFileNone},
        {"'C' is the trail byte of a double-byte character", "x\x83" "CHM", HelpFileNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.kind, HelpFileKindOf(c.path));
    }
}

TEST(BuildPopupPath, ReplacesTheLastFourCharacters) {
    struct Case {
        const char* label;
        const char* path;
        size_t size;
        const char* expected;
        int ok;
    } cases[] = {
        {"lower-case extension", "C:\\help\\rp.chm", 32, "C:\\help\\rp.POP", 1},
        {"upper-case extension", "RP.CHM", 32, "RP.POP", 1},
        {"only the extension", "CHM", 32, ".POP", 1},
        {"double-byte character before the extension", "\x83\x77\x83\x8B\x83\x76" "CHM", 32, "\x83\x77\x83\x8B.POP", 1},
        {"double-byte character at the end", "abcd\x82\xA0", 32, "a.POP", 1},
        {"exactly fits", "abcd.chm", 9, "abcd.POP", 1},
        {"does not fit", "abcd.chm", 8, "", 0},
        {"null", nullptr, 8, "", 0},
        {"buffer of size 0", "RP.CHM", 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        char buffer[40];
        std::memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(c.ok, BuildPopupPath(buffer, c.size, c.path));
        if (c.size > 0) {
            EXPECT_STREQ(c.expected, buffer);
        }
        for (size_t i = c.size; i < sizeof buffer; ++i) ASSERT_EQ(kSentinel, buffer[i]);
    }
}

}  // namespace
