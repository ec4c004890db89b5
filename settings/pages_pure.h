// The rules behind the Paper and Format pages that need no window: reading a
// numeric edit's text, the validation order of the stores and of the format
// settings dialog, the paper-size hint and the rows of the feed lists.
// Free of <windows.h>, so it is also unit-tested natively.
#pragma once
#include <cstddef>
#include <cstdint>

#include "catalogue.h"
#include "settings.h"

// ---- Numbers typed into the digits-only edits ----

// Stands for a text that is not a number; outside every range the pages accept.
constexpr uint32_t kNotANumber = 0xFFFFFFFFu;

// The value of an edit's text read as an unsigned decimal number: an empty (or
// all blank) text reads as 0; digits with blanks around them read as their
// value; anything else (a sign, a letter, a value above 4294967294) reads as
// kNotANumber. A null text reads as 0.
uint32_t ParseUnsignedText(const char* text);

inline bool InRange(uint32_t value, uint32_t low, uint32_t high) {
    return value >= low && value <= high;
}

// The ranges of the numeric edits (NumberRule) are the catalogue's.

// ---- Format settings dialog ----

// What the dialog read from its edits.
struct FormatInputs {
    uint32_t pageLength;
    uint32_t leftMargin;
    uint32_t rightMargin;
    uint32_t posAdjust;
};

// The first failing check: the message to show and the edit to focus; both 0
// when the inputs are valid.
struct FormatCheck {
    int messageId;
    int focusId;
};

// Checks in this order, each range that of kFormatDialogRules: page length
// (78), left margin (81), left above right (65, left edit), right margin (82),
// right not above left (64, right edit), position correction (68).
FormatCheck CheckFormatInputs(const FormatInputs& inputs);

// The stored format a format number edits: 1..3 as they are, any other number
// format 4. Returns the index 0..3 into SettingsRecord::formats.
int FormatIndexOf(int formatNumber);

// ---- Paper-size hint ----

// String id of the hint for a cut-sheet position correction: 11, 19, 28, 34,
// 40 and 50 name a paper size; every other value gives the blank string 75.
int PaperSizeHintId(uint32_t posAdjust);

// ---- Feed position lists ----

// The fixed texts of the rows: FeedRowText (catalogue.h).

// Rows the list shows: the fixed rows, plus the custom row when the custom
// feed value is not 0.
int FeedListRowCount(FeedTable table, int32_t customValue);

// The row to select for a stored feed field, or -1 (no selection) when the
// field names no row the list shows (past the list, negative, or the custom
// row without a custom value).
int FeedListSelection(FeedTable table, int32_t field, int32_t customValue);

// Text of the custom row: "%d/120インチ" with the custom value. 1 when it fitted.
int FormatCustomFeedRow(char* buffer, size_t size, int32_t customValue);

// ---- Paper thickness list (advanced paper settings) ----

// The rows (kThicknessRowTexts) are the catalogue's; the stored value is the row.
// Row shown for a stored value: its low byte when 1..12, otherwise row 0.
int ThicknessRowOf(int32_t paperThickness);
// Value stored for a selected row (-1: none selected): rows 0..12 as they
// are; with no selection the stored value stays.
int32_t ThicknessFromRow(int row, int32_t current);

// ---- Format selection list ----

// The rows (kFormatSelectTexts) are the catalogue's.
// 1 when the row of the format selection list names a stored format (1..4),
// i.e. when "書式の設定(&D)..." may open.
inline bool IsFormatRow(int row) { return row >= 1 && row <= 4; }
