#include "pages_pure.h"

#include "ids_pages.h"
#include "text_pure.h"

const char* const kThicknessRowTexts[kThicknessRows] = {
    "オート", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
};
const char* const kFormatSelectTexts[kFormatSelectRows] = {
    "選択なし", "書式１", "書式２", "書式３", "書式４",
};

const NumberRule kHeadCenterRules[3] = {
    {IDC_PAPER_CUTEDIT, 10, 68, IDS_MSG_BAD_HEAD_CENTER},
    {IDC_PAPER_FRONTEDIT, 10, 68, IDS_MSG_BAD_HEAD_CENTER},
    {IDC_PAPER_REAREDIT, 68, 126, IDS_MSG_BAD_HEAD_CENTER},
};
const NumberRule kFormatPageLengthRule = {IDC_FORMAT_LENGTHEDIT, 1, 99, IDS_MSG_BAD_PAGE_LENGTH};
const NumberRule kFormatPosAdjustRule = {IDC_FORMAT_ADJUSTEDIT, 0, 68, IDS_MSG_BAD_POS_ADJUST};

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Row texts of the three feed lists; the custom row follows the fixed rows.
constexpr const char* kRowsContinuous[8] = {
    "0インチ", "1/8インチ", "1/6インチ", "6.03ミリ", "1/4インチ", "1/3インチ", "1/2インチ", "1インチ",
};
constexpr const char* kRowsCutSheet[9] = {
    "0インチ", "1/8インチ", "1/6インチ", "6.03ミリ", "1/4インチ", "1/3インチ", "9.7ミリ", "1/2インチ", "1インチ",
};
constexpr const char* kRowsPostcard[9] = {
    "0インチ", "1/8インチ", "1/6インチ", "6.03ミリ", "1/4インチ", "1/3インチ", "11.5ミリ", "1/2インチ", "1インチ",
};

struct HintEntry {
    uint32_t posAdjust;
    int stringId;
};
constexpr HintEntry kHints[] = {
    {11, IDS_HINT_A4_LANDSCAPE}, {19, IDS_HINT_B4_PORTRAIT}, {28, IDS_HINT_A4_PORTRAIT},
    {34, IDS_HINT_B5_PORTRAIT},  {40, IDS_HINT_A5_PORTRAIT}, {50, IDS_HINT_POSTCARD},
};

}  // namespace

uint32_t ParseUnsignedText(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    uint64_t value = 0;
    bool digits = false;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value >= kNotANumber) return kNotANumber;
        digits = true;
        ++p;
    }
    while (IsBlank(*p)) ++p;
    if (*p != '\0') return kNotANumber;
    return digits ? static_cast<uint32_t>(value) : 0;
}

FormatCheck CheckFormatInputs(const FormatInputs& in) {
    if (!InRange(in.pageLength, 1, 99)) return {IDS_MSG_BAD_PAGE_LENGTH, IDC_FMTDLG_LENGTHEDIT};
    if (!InRange(in.leftMargin, 0, 135)) return {IDS_MSG_BAD_LEFT_MARGIN, IDC_FMTDLG_LEFTEDIT};
    if (in.leftMargin > in.rightMargin) return {IDS_MSG_LEFT_ABOVE_RIGHT, IDC_FMTDLG_LEFTEDIT};
    if (!InRange(in.rightMargin, 1, 136)) return {IDS_MSG_BAD_RIGHT_MARGIN, IDC_FMTDLG_RIGHTEDIT};
    if (in.rightMargin <= in.leftMargin) return {IDS_MSG_RIGHT_NOT_ABOVE_LEFT, IDC_FMTDLG_RIGHTEDIT};
    if (!InRange(in.posAdjust, 0, 68)) return {IDS_MSG_BAD_POS_ADJUST, IDC_FMTDLG_ADJUSTEDIT};
    return {0, 0};
}

int FormatIndexOf(int formatNumber) {
    return (formatNumber >= 1 && formatNumber <= 3) ? formatNumber - 1 : 3;
}

int PaperSizeHintId(uint32_t posAdjust) {
    for (const HintEntry& entry : kHints) {
        if (entry.posAdjust == posAdjust) return entry.stringId;
    }
    return IDS_HINT_NONE;
}

const char* FeedRowText(FeedTable table, int row) {
    if (row < 0 || row >= FeedTableRows(table)) return nullptr;
    switch (table) {
    case FeedTableA: return kRowsContinuous[row];
    case FeedTableB: return kRowsCutSheet[row];
    default: return kRowsPostcard[row];
    }
}

int FeedListRowCount(FeedTable table, int32_t customValue) {
    return FeedTableRows(table) + (customValue != 0 ? 1 : 0);
}

int FeedListSelection(FeedTable table, int32_t field, int32_t customValue) {
    if (field < 0 || field >= FeedListRowCount(table, customValue)) return -1;
    return static_cast<int>(field);
}

int FormatCustomFeedRow(char* buffer, size_t size, int32_t customValue) {
    return FormatText(buffer, size, "%d/120インチ", static_cast<int>(customValue));
}

int ThicknessRowOf(int32_t paperThickness) {
    const int lowByte = static_cast<int>(static_cast<uint32_t>(paperThickness) & 0xFFu);
    return (lowByte >= 1 && lowByte <= 12) ? lowByte : 0;
}

int32_t ThicknessFromRow(int row, int32_t current) {
    if (row < 0 || row >= kThicknessRows) return current;
    return row;
}
