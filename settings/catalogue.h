// The catalogue: one table of every panel setting. Each entry names the
// setting's key in the settings file, its Japanese name, where it lives in the
// settings record (a field, a format's field, or bits of a switch byte) and in
// the printer's 260-byte block, the values it accepts (a range, a list of row
// texts, a feed table), its factory default and the controls of the pages
// that show it. Every range and every list of texts is written here once; the
// pages, the defaults, the format checks and rpsettings' file read them from
// here. The catalogue is also the only way the pages write the program-wide
// record. Free of <windows.h>.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codec.h"
#include "settings.h"

// ---- Ranges ----

// One numeric edit: its control, its range and the message shown when the
// value read from it lies outside.
struct NumberRule {
    int editId;
    uint32_t low;
    uint32_t high;
    int messageId;
};

// Paper page: the three head-centring edits, checked in this order.
extern const NumberRule kHeadCenterRules[3];  // cut sheet, continuous front, continuous rear
// Format page: page length, then cut-sheet position correction.
extern const NumberRule kFormatPageLengthRule;
extern const NumberRule kFormatPosAdjustRule;
// The format settings dialog's four edits.
enum FormatDialogEdit { FormatEditLength, FormatEditLeft, FormatEditRight, FormatEditAdjust };
extern const NumberRule kFormatDialogRules[4];

// ---- Lists of texts ----

constexpr int kThicknessRows = 13;  // "オート", then "1".."12"
extern const char* const kThicknessRowTexts[kThicknessRows];
constexpr int kFormatSelectRows = 5;  // "選択なし", "書式１".."書式４"
extern const char* const kFormatSelectTexts[kFormatSelectRows];
constexpr int kFontRows = 5;
extern const char* const kFontRowTexts[kFontRows];  // "標準", "イタリック", "クーリエ", "ゴシック", "OCR-B"
constexpr int kCharsetRows = 5;
extern const char* const kCharsetRowTexts[kCharsetRows];  // "日本", "アメリカ", "イギリス", "ドイツ", "スウェーデン"
constexpr int kReductionRows = 5;
extern const char* const kReductionRowTexts[kReductionRows];  // "標準", "2/3左基準", ... "4/5中央基準"

// The fixed text of a row of a feed list, or null past the fixed rows (the
// custom row is not fixed).
const char* FeedRowText(FeedTable table, int row);

// One row of a fine-adjustment list: its text and the stored value, the low
// byte of a signed step (-1 is 255).
struct FineStep {
    const char* text;
    uint8_t stored;
};
struct FineList {
    const FineStep* rows;
    int count;
    int zeroRow;  // the row of step 0, shown for a value in no row
};
extern const FineList kPressureList;  // "+3".."-6": 3, 2, 1, 0, 255..250
extern const FineList kPositionList;  // "0mm", "+0.4mm".."+1.3mm", "-0.4mm".."-1.3mm": 0..3, 255..253

// ---- The table ----

// A printer's settings as the block gives them: the record and the custom
// feed values beside it.
struct PrinterSettings {
    SettingsRecord record;
    CustomFeedTable custom;
};

// How a setting is stored and shown.
enum SettingKind {
    SettingNumber,      // a number in the page's range, shown with its unit
    SettingChoice,      // 0.., shown by the text of the radio that stands for it
    SettingCheck,       // 0/1 of a check box ("on"/"off")
    SettingFeed,        // a row of a feed table; the custom row takes the custom value
    SettingCustomFeed,  // the custom feed position beside a feed row, 1/120 inch, 0 none
    SettingList,        // a row of a list of texts
    SettingFine,        // print pressure or position: the stored code of a list row
    SettingCharset,     // code in bits 0..2 of switch byte 0
    SettingBit,         // one bit of a switch byte, shown by the radio that stands for it
    SettingCheckBit,    // one bit of a switch byte bound to a check box
    SettingOtherBits,   // the switch bits no named setting covers
};

// Text references of choices: a control id of a page (in templateId), or one of these.
constexpr int kTextOn = -1;
constexpr int kTextOff = -2;

struct SettingDef {
    const char* key;
    const char* name;  // Japanese, as the page calls it
    SettingKind kind;
    int32_t SettingsRecord::*field;      // a field of the record, or null
    int32_t FormatRecord::*formatField;  // a field of a format, or null
    int byteIndex;                       // switch settings: the byte
    uint8_t mask;                        //   and its bits
    bool inverted;                       //   the value 1 is the bit clear
    const NumberRule* rule;              // numbers: the range (and the edit)
    const char* unit;                    //   and unit
    const char* const* rows;             // lists: the row texts
    int rowCount;
    FeedTable feedTable;                 // feeds and their custom values: the table
    int32_t CustomFeedSet::*custom;      //   and the custom value
    const FineList* fine;                // fine adjustments: the list
    int templateId;                      // choices: the dialog holding the radios
    int texts[3];                        // text of value 0, 1, 2 (0 past the choices)
    int blockOffset;                     // its byte in the block (a format's: from the format's start)
    int blockBytes;                      //   and how many bytes from there hold it
    int32_t defaultValue;                // the factory setting, as the value of the key
    int controlId;                       // the control showing it: edit, list, check box or first radio
    int spinId;                          // numbers: the spin beside the edit
};

// Room every table indexed by setting needs (the catalogue holds fewer).
constexpr int kMaxSettingCount = 128;

// Every setting: the record's own first, then those of each format (1..4).
// A custom feed value follows its feed row.
int SettingCount();
// The setting at index (0 <= index < SettingCount()) and the format it
// belongs to (0..3), or -1 for the record's own.
const SettingDef& SettingAt(int index, int* format);
// Index of "key" in a section (0 the record's own, 1..4 a format), or -1.
// The record's section also takes a format's full key ("format2.leftMargin").
int FindSetting(int section, const char* key, size_t keyLength);
// The same for a terminated key; -1 when there is none.
int SettingIndex(const char* key);
// The entry of a setting (0 <= index < SettingCount()).
const SettingDef& SettingDefOf(int index);
// For a feed row, the index of its custom value; else -1.
int CustomSettingOf(int index);
// The byte of the 260-byte block where the setting starts.
int SettingBlockOffset(int index);

int32_t GetSettingValue(int index, const PrinterSettings& settings);
void SetSettingValue(int index, PrinterSettings* settings, int32_t value);
// 1 when the page would accept value for the setting (the custom row of a
// feed counts as accepted here; the merge checks its custom value).
int SettingValueAccepted(int index, int32_t value);

// The switch bits no named setting covers, packed one byte per switch byte
// (the first byte highest).
uint32_t OtherSwitchBits(const uint8_t switches[4]);
uint32_t OtherSwitchMask();

// Writes every setting's factory default into the record (the custom feed
// values are not part of the record).
void ApplySettingDefaults(SettingsRecord* record);

// 1 when the two hold different values of the setting.
int SettingDiffers(int index, const PrinterSettings& a, const PrinterSettings& b);
// 1 when no setting differs.
int SameSettings(const PrinterSettings& a, const PrinterSettings& b);
// The settings a block holds; 0 when the block carries no settings (wrong
// format marks, or a switch byte 0xFF).
int SettingsOfBlock(const uint8_t block[kSettingsBlockSize], PrinterSettings* settings);
// The factory settings and no custom values.
PrinterSettings DefaultPrinterSettings();

// ---- The program-wide record, through the catalogue ----

// The setting's value in Settings and CustomFeeds.
int32_t CurrentSettingValue(int index);
// Stores a value into Settings (or CustomFeeds) as the setting's entry says.
void StoreSetting(int index, int32_t value);
// The record's four switch bytes, to change with the pages' bit tables and
// store back whole.
struct SwitchBytes {
    uint8_t byte[4];
};
SwitchBytes CurrentSwitches();
void StoreSwitches(const SwitchBytes& switches);
// Hands the switch bytes to change(uint8_t bytes[4]) and stores what it leaves.
template <typename Change>
void ChangeSwitches(Change change) {
    SwitchBytes switches = CurrentSwitches();
    change(switches.byte);
    StoreSwitches(switches);
}
// Replaces one stored format (0..3) as the format settings dialog edited it.
void StoreFormat(int index, const FormatRecord& format);
