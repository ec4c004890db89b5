// The status evaluation's bit tests, the overlay and status line choices, and
// the text fitting algorithm with a fake measure.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr int kKeep = -1;  // SwitchFlag left as it was

struct EvaluateCase {
    const char* label;
    uint32_t ext, s1, s2, s3, authority;
    int usable, read, update, notReady, textId, switchFlag;
};

const EvaluateCase kEvaluateCases[] = {
    // label                               E     S1          S2       S3         A      use rd up nr text                   switch
    {"ready: both rights",                 0x3,  0,          0,       0,         0x18,  1, 1, 1, 0, kTextReadUpdate,        1},
    {"ready and online: S3 0x1",           0x3,  0,          0,       0x1,       0x18,  1, 1, 1, 0, kTextReadUpdate,        1},
    {"S1 is never examined",               0x3,  0xFFFFFFFF, 0,       0,         0x18,  1, 1, 1, 0, kTextReadUpdate,        1},
    {"read right only",                    0x3,  0,          0,       0,         0x08,  1, 1, 0, 0, kTextReadOnly,          1},
    {"update right, S2 0x400",             0x3,  0,          0x400,   0,         0x10,  1, 0, 1, 0, kTextUpdateOnly,        1},
    {"update right, E 0x2 clear",          0x1,  0,          0,       0,         0x18,  1, 0, 1, 0, kTextUpdateOnly,        1},
    {"no right at all",                    0x3,  0,          0,       0,         0,     0, 0, 0, 0, kTextNeither,           kKeep},
    {"read right but cannot read now",     0x3,  0,          0x400,   0,         0x08,  0, 0, 0, 0, kTextNeither,           kKeep},
    {"read right, E 0x2 clear",            0x1,  0,          0,       0,         0x08,  0, 0, 0, 0, kTextNeither,           kKeep},
    {"print-enable switch",                0x3,  0,          0,       0x1000,    0x18,  1, 1, 1, 1, kTextPrintEnableSwitch, 0},
    {"switch bit with S2 0x80 is busy",    0x3,  0,          0x80,    0x1000,    0x18,  1, 1, 1, 1, kTextNotReady,          kKeep},
    {"switch bit, S2 untested bit set",    0x3,  0,          0x2,     0x1000,    0x18,  1, 1, 1, 0, kTextReadUpdate,        1},
    {"switch bit with an S3 busy bit",     0x3,  0,          0,       0x1004,    0x18,  1, 1, 1, 1, kTextNotReady,          kKeep},
    {"switch overrides read-only text",    0x3,  0,          0,       0x1000,    0x08,  1, 1, 0, 1, kTextPrintEnableSwitch, 0},
    {"switch overrides update-only text",  0x1,  0,          0,       0x1000,    0x10,  1, 0, 1, 1, kTextPrintEnableSwitch, 0},
    {"busy S2 0x100",                      0x3,  0,          0x100,   0,         0x18,  1, 1, 1, 1, kTextNotReady,          kKeep},
    {"busy overrides read-only text",      0x3,  0,          0,       0x4,       0x08,  1, 1, 0, 1, kTextNotReady,          kKeep},
    {"busy overrides update-only text",    0x3,  0,          0x580,   0,         0x10,  1, 0, 1, 1, kTextNotReady,          kKeep},
    {"E 0x1 clear: no communication",      0x2,  0,          0,       0,         0x18,  0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"E 0x1 clear beats busy and rights",  0x0,  0,          0x580,   0x7FFE32C, 0,     0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"S2 0x200 beats E 0x1 clear",         0x0,  0,          0x200,   0,         0x18,  0, 0, 0, 0, kTextUnsupported,       kKeep},
    {"S2 0x200 beats no communication",    0x3,  0,          0x71200, 0,         0x18,  0, 0, 0, 0, kTextUnsupported,       kKeep},
    {"S2 0x1000: no communication",        0x3,  0,          0x1000,  0,         0x18,  0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"S2 0x10000: no communication",       0x3,  0,          0x10000, 0,         0x18,  0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"S2 0x20000: no communication",       0x3,  0,          0x20000, 0,         0x18,  0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"S2 0x40000: no communication",       0x3,  0,          0x40000, 0,         0x18,  0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"no communication beats no right",    0x3,  0,          0x1000,  0,         0,     0, 0, 0, 0, kTextNoCommunication,   kKeep},
    {"all-ones authority has both rights", 0x3,  0,          0,       0,         0xFFFFFFFF, 1, 1, 1, 0, kTextReadUpdate,   1},
};

TEST(EvaluateStatusBits, Table) {
    for (const EvaluateCase& c : kEvaluateCases) {
        SCOPED_TRACE(c.label);
        const uint32_t status[3] = {c.s1, c.s2, c.s3};
        const StatusVerdict v = EvaluateStatusBits(c.ext, status, c.authority);
        EXPECT_EQ(v.usable, c.usable);
        EXPECT_EQ(v.readAllowed, c.read);
        EXPECT_EQ(v.updateAllowed, c.update);
        EXPECT_EQ(v.printerNotReady, c.notReady);
        EXPECT_EQ(v.textId, c.textId);
        EXPECT_EQ(v.switchFlag, c.switchFlag);
    }
}

// Every single bit of S3: those of 0x7FFE32C make the printer not ready, 0x1000
// is the print-enable switch, the rest change nothing.
TEST(EvaluateStatusBits, EachBitOfS3) {
    for (int bit = 0; bit < 32; ++bit) {
        SCOPED_TRACE(bit);
        const uint32_t s3 = 1u << bit;
        const uint32_t status[3] = {0, 0, s3};
        const StatusVerdict v = EvaluateStatusBits(0x3, status, 0x18);
        EXPECT_EQ(v.usable, 1);
        if (s3 & 0x7FFE32C) {
            EXPECT_EQ(v.textId, kTextNotReady);
            EXPECT_EQ(v.printerNotReady, 1);
        } else if (s3 == 0x1000) {
            EXPECT_EQ(v.textId, kTextPrintEnableSwitch);
        } else {
            EXPECT_EQ(v.textId, kTextReadUpdate);
            EXPECT_EQ(v.printerNotReady, 0);
        }
    }
}

// Every single bit of S2 with both rights and a ready E.
TEST(EvaluateStatusBits, EachBitOfS2) {
    for (int bit = 0; bit < 32; ++bit) {
        SCOPED_TRACE(bit);
        const uint32_t s2 = 1u << bit;
        const uint32_t status[3] = {0, s2, 0};
        const StatusVerdict v = EvaluateStatusBits(0x3, status, 0x18);
        int expected = kTextReadUpdate;
        if (s2 == 0x200) expected = kTextUnsupported;
        else if (s2 & 0x71000) expected = kTextNoCommunication;
        else if (s2 & 0x180) expected = kTextNotReady;
        else if (s2 == 0x400) expected = kTextUpdateOnly;
        EXPECT_EQ(v.textId, expected);
        EXPECT_EQ(v.usable, expected == kTextUnsupported || expected == kTextNoCommunication ? 0 : 1);
        EXPECT_EQ(v.readAllowed, s2 == 0x400 || v.usable == 0 ? 0 : 1);
    }
}

TEST(OverlayIconFor, Table) {
    struct Case {
        const char* label;
        int update, read, icon;
    } cases[] = {
        {"neither", 0, 0, 144},
        {"read only", 0, 1, 142},
        {"update only", 1, 0, 143},
        {"both: no overlay", 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(OverlayIconFor(c.update, c.read), c.icon);
    }
}

TEST(StatusLine, ChosenText) {
    struct Case {
        const char* label;
        StatusFlags flags;  // update, read, notReady, readPending, writePending, switch
        int line;
    } cases[] = {
        {"idle shows the status text", {1, 1, 0, 0, 0, 1}, 0},
        {"reading", {1, 1, 0, 1, 0, 1}, kTextReading},
        {"reading wins over writing", {1, 1, 0, 1, 1, 1}, kTextReading},
        {"read pending without read right", {1, 0, 0, 1, 0, 1}, 0},
        {"writing", {1, 1, 0, 0, 1, 1}, kTextUpdating},
        {"writing while a read waits without read right", {1, 0, 0, 1, 1, 1}, kTextUpdating},
        {"write pending without update right", {0, 1, 0, 0, 1, 1}, 0},
        {"not ready hides reading", {1, 1, 1, 1, 0, 1}, 0},
        {"not ready hides writing", {1, 1, 1, 0, 1, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ChooseStatusLine(c.flags), c.line);
    }
}

TEST(StatusLine, SkipsOnlyWhenNothingChangedAndNothingGoesOn) {
    const StatusFlags idle = {1, 1, 0, 0, 0, 1};
    EXPECT_EQ(StatusNeedsShowing(idle, "abc", idle, "abc"), 0);
    EXPECT_EQ(StatusNeedsShowing(idle, "abc", idle, "abd"), 1);
    EXPECT_EQ(StatusNeedsShowing(idle, "", {}, ""), 1);

    struct Change {
        const char* label;
        StatusFlags now;
    } changes[] = {
        {"update", {0, 1, 0, 0, 0, 1}},
        {"read", {1, 0, 0, 0, 0, 1}},
        {"switch", {1, 1, 0, 0, 0, 0}},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(StatusNeedsShowing(c.now, "abc", idle, "abc"), 1);
        EXPECT_EQ(StatusNeedsShowing(c.now, "abc", c.now, "abc"), 0);
    }
    struct Busy {
        const char* label;
        StatusFlags now;
    } busy[] = {
        {"not ready", {1, 1, 1, 0, 0, 1}},
        {"read pending", {1, 1, 0, 1, 0, 1}},
        {"write pending", {1, 1, 0, 0, 1, 1}},
    };
    for (const Busy& b : busy) {
        SCOPED_TRACE(b.label);
        EXPECT_EQ(StatusNeedsShowing(b.now, "abc", b.now, "abc"), 1);
    }
}

// ---- Text fitting ----

// 5 pixels per byte, so a double-byte character is 10.
bool MeasureFive(void* context, const char* text, size_t length, long* width) {
    if (context) ++*static_cast<int*>(context);
    (void)text;
    *width = static_cast<long>(length) * 5;
    return true;
}

bool MeasureFails(void*, const char*, size_t, long*) { return false; }

struct FitResult {
    int result;
    std::string out;
};

constexpr char kGuard = '\x7E';

// Runs the fitting into a buffer of outSize bytes followed by guard bytes and
// checks the guard is intact.
FitResult Fit(const char* text, long width, size_t outSize = 64, const char* ellipsis = "...",
              TextMeasure measure = MeasureFive) {
    std::vector<char> buffer(outSize + 8, kGuard);
    const int result = FitTextCore(text, ellipsis, width, buffer.data(), outSize, measure, nullptr, NextChar932);
    for (size_t i = outSize; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], kGuard) << "written past the buffer at " << i;
    if (outSize == 0) return {result, ""};
    const void* terminator = std::memchr(buffer.data(), '\0', outSize);
    if (terminator == nullptr) return {result, "<untouched>"};
    return {result, std::string(buffer.data())};
}

TEST(FitText, Table) {
    struct Case {
        const char* label;
        const char* text;
        long width;
        size_t outSize;
        int result;
        const char* out;
    } cases[] = {
        {"fits", "ABC", 100, 64, 1, "ABC"},
        {"fits exactly", "ABC", 15, 64, 1, "ABC"},
        {"longest start that fits", "ABCDEFGH", 32, 64, 1, "ABC..."},
        {"a start exactly as wide stops the search", "ABCDEFGH", 30, 64, 1, "ABC..."},
        {"the ellipsis alone", "ABCDEFGH", 19, 64, 1, "..."},
        {"the ellipsis exactly as wide", "ABCDEFGH", 15, 64, 1, "..."},
        {"narrower than the ellipsis", "ABCDEFGH", 14, 64, 0, ""},
        {"one pixel", "ABCDEFGH", 1, 64, 0, ""},
        {"empty text", "", 10, 64, 1, ""},
        {"width 0 leaves the output", "ABC", 0, 64, 0, "<untouched>"},
        {"negative width leaves the output", "ABC", -5, 64, 0, "<untouched>"},
        {"buffer too small for the whole text", "ABCDEFGH", 1000, 6, 1, "AB..."},
        {"buffer holds exactly the whole text", "ABCDEFGH", 1000, 9, 1, "ABCDEFGH"},
        {"buffer one short of the whole text", "ABCDEFGH", 1000, 8, 1, "ABCD..."},
        {"buffer holds only the ellipsis", "ABCDEFGH", 1000, 4, 1, "..."},
        {"buffer too small for the ellipsis", "ABCDEFGH", 1000, 3, 0, ""},
        {"fitting text in a buffer of one byte", "A", 100, 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const FitResult r = Fit(c.text, c.width, c.outSize);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.out, c.out);
    }
}

TEST(FitText, NullTextAndNoBuffer) {
    EXPECT_EQ(Fit(nullptr, 100).result, 0);
    EXPECT_EQ(Fit(nullptr, 100).out, "<untouched>");
    EXPECT_EQ(Fit("ABC", 100, 0).result, 0);
    EXPECT_EQ(FitTextCore("ABC", "...", 100, nullptr, 10, MeasureFive, nullptr, NextChar932), 0);
}

TEST(FitText, MeasuringFailure) {
    const FitResult r = Fit("ABCDEF", 100, 64, "...", MeasureFails);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.out, "");
}

// "表示能力設定表": 表 (0x95 0x5C) and 能 (0x94 0x5C) have the trail byte '\'.
const char kShiftJis[] = "\x95\x5C\x8E\xA6\x94\x5C\x97\xCD\x90\xDD\x92\xE8\x95\x5C";

TEST(FitText, ShiftJisNeverSplitsACharacter) {
    // Every double-byte character is 10 pixels, the ellipsis 15.
    struct Case {
        long width;
        size_t prefixBytes;
    } cases[] = {{24, 0}, {25, 2}, {34, 2}, {35, 4}, {36, 4}, {44, 4}, {45, 6}, {55, 8}, {64, 8}, {65, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const FitResult r = Fit(kShiftJis, c.width);
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.out, std::string(kShiftJis, c.prefixBytes) + "...");
    }
    EXPECT_EQ(Fit(kShiftJis, 69).out, std::string(kShiftJis, 10) + "...");
    EXPECT_EQ(Fit(kShiftJis, 70).out, kShiftJis);
}

TEST(FitText, ShiftJisSweepOverWidthsAndBuffers) {
    // Mixed single- and double-byte text; every output must end on a character
    // boundary of the text, followed by the ellipsis, and fit both limits.
    const char text[] = "A\x95\x5C" "B\x94\x5C\\C\x8E\xA6";
    std::vector<size_t> boundaries;
    for (const char* p = text; *p; p = NextChar932(p)) boundaries.push_back(static_cast<size_t>(p - text));
    for (long width = 15; width <= 70; ++width) {
        for (size_t outSize = 4; outSize <= 16; ++outSize) {
            SCOPED_TRACE(testing::Message() << "width " << width << ", buffer " << outSize);
            const FitResult r = Fit(text, width, outSize);
            ASSERT_EQ(r.result, 1);
            ASSERT_LT(r.out.size(), outSize);
            ASSERT_LE(static_cast<long>(r.out.size()) * 5, width);
            if (r.out == text) continue;
            ASSERT_GE(r.out.size(), 3u);
            const size_t prefix = r.out.size() - 3;
            EXPECT_EQ(r.out.substr(prefix), "...");
            EXPECT_EQ(r.out.compare(0, prefix, text, prefix), 0);
            bool onBoundary = false;
            for (size_t b : boundaries) onBoundary = onBoundary || b == prefix;
            EXPECT_TRUE(onBoundary) << "cut inside a character at " << prefix;
        }
    }
}

TEST(FitText, LoneLeadByteAtTheEnd) {
    // A text cut off after a lead byte: the last byte counts as one character.
    const FitResult r = Fit("AB\x95", 14, 64, ".");
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.out, "A.");
}

TEST(NextChar932, Steps) {
    const char text[] = "a\x95\x5C" "b";
    EXPECT_EQ(NextChar932(text), text + 1);
    EXPECT_EQ(NextChar932(text + 1), text + 3);
    EXPECT_EQ(NextChar932(text + 3), text + 4);
    EXPECT_EQ(NextChar932(text + 4), text + 4);
    const char lone[] = "\x95";
    EXPECT_EQ(NextChar932(lone), lone + 1);
}

}  // namespace
