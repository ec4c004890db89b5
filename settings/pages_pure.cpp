#include "pages_pure.h"

#include "ids_pages.h"
#include "text_pure.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

namespace {

// The rule's message and edit when value lies outside its range.
bool Outside(uint32_t value, FormatDialogEdit edit, FormatCheck* check) {
    const NumberRule& rule = kFormatDialogRules[edit];
    if (InRange(value, rule.low, rule.high)) return false;
    *check = {rule.messageId, rule.editId};
    return true;
}

}  // namespace

FormatCheck CheckFormatInputs(const FormatInputs& in) {
    FormatCheck check = {0, 0};
    if (Outside(in.pageLength, FormatEditLength, &check)) return check;
    if (Outside(in.leftMargin, FormatEditLeft, &check)) return check;
    if (in.leftMargin > in.rightMargin) return {IDS_MSG_LEFT_ABOVE_RIGHT, kFormatDialogRules[FormatEditLeft].editId};
    if (Outside(in.rightMargin, FormatEditRight, &check)) return check;
    if (in.rightMargin <= in.leftMargin)
        return {IDS_MSG_RIGHT_NOT_ABOVE_LEFT, kFormatDialogRules[FormatEditRight].editId};
    if (Outside(in.posAdjust, FormatEditAdjust, &check)) return check;
    return check;
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
