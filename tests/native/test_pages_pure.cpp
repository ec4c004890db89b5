// Rules of the Paper and Format pages that need no window: number reading,
// the validation order of the format settings dialog, the paper-size hint,
// the feed-list rows and the paper thickness list.
#include <gtest/gtest.h>

#include <cstring>

#include "ids_pages.h"
#include "pages_pure.h"

namespace {

struct ParseCase {
    const char* label;
    const char* text;
    uint32_t expected;
};

const ParseCase kParseCases[] = {
    {"empty reads as 0", "", 0},
    {"blanks only read as 0", "   ", 0},
    {"null reads as 0", nullptr, 0},
    {"plain digits", "68", 68},
    {"leading zeros", "0050", 50},
    {"blanks around", " 12 ", 12},
    {"zero", "0", 0},
    {"largest accepted value", "4294967294", 4294967294u},
    {"one above overflows", "4294967295", kNotANumber},
    {"far above overflows", "99999999999999999999", kNotANumber},
    {"minus sign", "-1", kNotANumber},
    {"plus sign", "+1", kNotANumber},
    {"trailing letter", "12a", kNotANumber},
    {"inner blank", "1 2", kNotANumber},
    {"full-width digit", "\xef\xbc\x91", kNotANumber},
};

TEST(PagesPure, ParseUnsignedText) {
    for (const ParseCase& c : kParseCases) {
        EXPECT_EQ(ParseUnsignedText(c.text), c.expected) << c.label;
    }
}

TEST(PagesPure, NotANumberIsOutsideEveryRule) {
    const NumberRule rules[] = {kHeadCenterRules[0], kHeadCenterRules[1], kHeadCenterRules[2],
                                kFormatPageLengthRule, kFormatPosAdjustRule};
    for (const NumberRule& rule : rules) {
        EXPECT_FALSE(InRange(kNotANumber, rule.low, rule.high)) << "edit " << rule.editId;
    }
}

struct RuleCase {
    const char* label;
    const NumberRule* rule;
    uint32_t value;
    bool accepted;
};

const RuleCase kRuleCases[] = {
    {"cut sheet 9", &kHeadCenterRules[0], 9, false},
    {"cut sheet 10", &kHeadCenterRules[0], 10, true},
    {"cut sheet 68", &kHeadCenterRules[0], 68, true},
    {"cut sheet 69", &kHeadCenterRules[0], 69, false},
    {"front 9", &kHeadCenterRules[1], 9, false},
    {"front 10", &kHeadCenterRules[1], 10, true},
    {"front 68", &kHeadCenterRules[1], 68, true},
    {"front 69", &kHeadCenterRules[1], 69, false},
    {"rear 67", &kHeadCenterRules[2], 67, false},
    {"rear 68", &kHeadCenterRules[2], 68, true},
    {"rear 126", &kHeadCenterRules[2], 126, true},
    {"rear 127", &kHeadCenterRules[2], 127, false},
    {"page length 0 (also empty)", &kFormatPageLengthRule, 0, false},
    {"page length 1", &kFormatPageLengthRule, 1, true},
    {"page length 99", &kFormatPageLengthRule, 99, true},
    {"page length 100", &kFormatPageLengthRule, 100, false},
    {"correction 0 (also empty)", &kFormatPosAdjustRule, 0, true},
    {"correction 68", &kFormatPosAdjustRule, 68, true},
    {"correction 69", &kFormatPosAdjustRule, 69, false},
};

TEST(PagesPure, RangeRules) {
    for (const RuleCase& c : kRuleCases) {
        EXPECT_EQ(InRange(c.value, c.rule->low, c.rule->high), c.accepted) << c.label;
    }
}

TEST(PagesPure, RuleEditsAndMessages) {
    EXPECT_EQ(kHeadCenterRules[0].editId, IDC_PAPER_CUTEDIT);
    EXPECT_EQ(kHeadCenterRules[1].editId, IDC_PAPER_FRONTEDIT);
    EXPECT_EQ(kHeadCenterRules[2].editId, IDC_PAPER_REAREDIT);
    for (const NumberRule& rule : kHeadCenterRules) EXPECT_EQ(rule.messageId, 79);
    EXPECT_EQ(kFormatPageLengthRule.messageId, 78);
    EXPECT_EQ(kFormatPageLengthRule.editId, IDC_FORMAT_LENGTHEDIT);
    EXPECT_EQ(kFormatPosAdjustRule.messageId, 68);
    EXPECT_EQ(kFormatPosAdjustRule.editId, IDC_FORMAT_ADJUSTEDIT);
}

struct FormatCase {
    const char* label;
    FormatInputs inputs;  // page length, left, right, correction
    int messageId;
    int focusId;
};

const FormatCase kFormatCases[] = {
    {"defaults pass", {66, 0, 136, 0}, 0, 0},
    {"L/R 0/1 pass", {66, 0, 1, 0}, 0, 0},
    {"L/R 135/136 pass", {66, 135, 136, 0}, 0, 0},
    {"L/R 20/10: left above right", {66, 20, 10, 0}, 65, IDC_FMTDLG_LEFTEDIT},
    {"L/R 40/40: right not above left", {66, 40, 40, 0}, 64, IDC_FMTDLG_RIGHTEDIT},
    {"L/R 10/137: right out of range", {66, 10, 137, 0}, 82, IDC_FMTDLG_RIGHTEDIT},
    {"L/R 0/0: right out of range before equality", {66, 0, 0, 0}, 82, IDC_FMTDLG_RIGHTEDIT},
    {"L/R 136/136: left out of range first", {66, 136, 136, 0}, 81, IDC_FMTDLG_LEFTEDIT},
    {"left not a number", {66, kNotANumber, 136, 0}, 81, IDC_FMTDLG_LEFTEDIT},
    {"right not a number", {66, 0, kNotANumber, 0}, 82, IDC_FMTDLG_RIGHTEDIT},
    {"page length 0", {0, 0, 136, 0}, 78, IDC_FMTDLG_LENGTHEDIT},
    {"page length 100", {100, 0, 136, 0}, 78, IDC_FMTDLG_LENGTHEDIT},
    {"page length 1", {1, 0, 136, 0}, 0, 0},
    {"page length 99", {99, 0, 136, 0}, 0, 0},
    {"page length checked before margins", {0, 20, 10, 99}, 78, IDC_FMTDLG_LENGTHEDIT},
    {"margins checked before correction", {66, 20, 10, 99}, 65, IDC_FMTDLG_LEFTEDIT},
    {"correction 68", {66, 0, 136, 68}, 0, 0},
    {"correction 69", {66, 0, 136, 69}, 68, IDC_FMTDLG_ADJUSTEDIT},
};

TEST(PagesPure, CheckFormatInputsOrder) {
    for (const FormatCase& c : kFormatCases) {
        FormatCheck check = CheckFormatInputs(c.inputs);
        EXPECT_EQ(check.messageId, c.messageId) << c.label;
        EXPECT_EQ(check.focusId, c.focusId) << c.label;
    }
}

TEST(PagesPure, FormatIndexOf) {
    const struct {
        int number;
        int index;
    } cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {0, 3}, {5, 3}, {-1, 3}};
    for (const auto& c : cases) EXPECT_EQ(FormatIndexOf(c.number), c.index) << "format " << c.number;
}

TEST(PagesPure, PaperSizeHint) {
    const struct {
        uint32_t value;
        int stringId;
    } cases[] = {{11, 36}, {19, 39}, {28, 37}, {34, 40}, {40, 38}, {50, 41},
                 {0, 75},  {10, 75}, {12, 75}, {29, 75}, {51, 75}, {68, 75}, {kNotANumber, 75}};
    for (const auto& c : cases) EXPECT_EQ(PaperSizeHintId(c.value), c.stringId) << "value " << c.value;
}

TEST(PagesPure, FeedRowTexts) {
    EXPECT_STREQ(FeedRowText(FeedTableA, 0), "0インチ");
    EXPECT_STREQ(FeedRowText(FeedTableA, 6), "1/2インチ");
    EXPECT_STREQ(FeedRowText(FeedTableA, 7), "1インチ");
    EXPECT_EQ(FeedRowText(FeedTableA, 8), nullptr);
    EXPECT_STREQ(FeedRowText(FeedTableB, 6), "9.7ミリ");
    EXPECT_STREQ(FeedRowText(FeedTableB, 8), "1インチ");
    EXPECT_EQ(FeedRowText(FeedTableB, 9), nullptr);
    EXPECT_STREQ(FeedRowText(FeedTableC, 6), "11.5ミリ");
    EXPECT_STREQ(FeedRowText(FeedTableC, 7), "1/2インチ");
    EXPECT_EQ(FeedRowText(FeedTableC, 9), nullptr);
    EXPECT_EQ(FeedRowText(FeedTableC, -1), nullptr);
}

struct SelectionCase {
    const char* label;
    FeedTable table;
    int32_t field;
    int32_t custom;
    int rows;
    int selection;
};

const SelectionCase kSelectionCases[] = {
    {"continuous default row", FeedTableA, 7, 0, 8, 7},
    {"continuous custom row with value", FeedTableA, 8, 37, 9, 8},
    {"continuous custom row without value", FeedTableA, 8, 0, 8, -1},
    {"cut sheet custom row with value", FeedTableB, 9, 37, 10, 9},
    {"cut sheet custom row without value", FeedTableB, 9, 0, 9, -1},
    {"postcard first row", FeedTableC, 0, 0, 9, 0},
    {"postcard row past the list", FeedTableC, 20, 0, 9, -1},
    {"negative row", FeedTableB, -1, 5, 10, -1},
    {"custom value shown while a fixed row is stored", FeedTableB, 6, 37, 10, 6},
};

TEST(PagesPure, FeedListRowsAndSelection) {
    for (const SelectionCase& c : kSelectionCases) {
        EXPECT_EQ(FeedListRowCount(c.table, c.custom), c.rows) << c.label;
        EXPECT_EQ(FeedListSelection(c.table, c.field, c.custom), c.selection) << c.label;
    }
}

TEST(PagesPure, CustomFeedRowText) {
    char text[32];
    ASSERT_EQ(FormatCustomFeedRow(text, sizeof text, 37), 1);
    EXPECT_STREQ(text, "37/120インチ");
    ASSERT_EQ(FormatCustomFeedRow(text, sizeof text, 255), 1);
    EXPECT_STREQ(text, "255/120インチ");
    // A buffer too small is cut, never overrun, and reported.
    char small[4];
    EXPECT_EQ(FormatCustomFeedRow(small, sizeof small, 37), 0);
    EXPECT_STREQ(small, "37/");
}

TEST(PagesPure, ThicknessRows) {
    const struct {
        int32_t value;
        int row;
    } cases[] = {{0, 0}, {1, 1}, {12, 12}, {13, 0}, {-1, 0}, {0x10C, 12}, {0x100, 0}, {255, 0}};
    for (const auto& c : cases) EXPECT_EQ(ThicknessRowOf(c.value), c.row) << "value " << c.value;

    EXPECT_EQ(ThicknessFromRow(0, 7), 0);
    EXPECT_EQ(ThicknessFromRow(11, 7), 11);
    EXPECT_EQ(ThicknessFromRow(12, 7), 12);
    EXPECT_EQ(ThicknessFromRow(-1, 7), 7) << "no selection keeps the stored value";
    EXPECT_EQ(ThicknessFromRow(13, 7), 7);
}

TEST(PagesPure, FormatRows) {
    EXPECT_FALSE(IsFormatRow(-1));
    EXPECT_FALSE(IsFormatRow(0));
    EXPECT_TRUE(IsFormatRow(1));
    EXPECT_TRUE(IsFormatRow(4));
    EXPECT_FALSE(IsFormatRow(5));
}

}  // namespace
