// The settings file of rpsettings and the one table of every setting behind
// it: key, field of the settings record, Japanese name, the values the page
// accepts and how the page shows them. The table drives showing, saving,
// comparing, reading and merging. Free of <windows.h>: built natively under
// the sanitizers and fuzzed.
//
// The file is plain text, one "key=value" line per setting:
//   # comment lines start with '#'; blank lines are ignored
//   model=Tilbury 550TK        (header: first, before any setting)
//   version=1
//   paperSetCenter=1           (the record's own settings)
//   switches.dataBits=0        (one bit or field of the switch bytes)
//   [format1]                  (format 1..4: its eight fields)
//   pageLength=66
// Values are decimal; switches.otherBits is eight hexadecimal digits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings.h"

constexpr int kSettingsFileVersion = 1;

// How a setting is stored and shown.
enum SettingKind {
    SettingNumber,     // a number in the page's range, shown with its unit
    SettingChoice,     // 0.., shown by the text of the radio that stands for it
    SettingCheck,      // 0/1 of a check box ("on"/"off")
    SettingFeed,       // a row of a feed table; the custom row needs a custom value
    SettingList,       // a row of a list of texts
    SettingFine,       // print pressure or position: the stored code of a list row
    SettingCharset,    // code in bits 0..2 of switch byte 0
    SettingBit,        // one bit of a switch byte, shown by the radio that stands for it
    SettingCheckBit,   // one bit of a switch byte bound to a check box
    SettingOtherBits,  // the switch bits no named setting covers
};

// Text references of choices: a control id of a page (in templateId), or one of these.
constexpr int kTextOn = -1;
constexpr int kTextOff = -2;

struct NumberRule;
struct FineList;

struct SettingDef {
    const char* key;
    const char* name;  // Japanese, as the page calls it
    SettingKind kind;
    int32_t SettingsRecord::*field;      // a field of the record, or null
    int32_t FormatRecord::*formatField;  // a field of a format, or null
    int byteIndex;                       // switch settings: the byte
    uint8_t mask;                        //   and its bits
    const NumberRule* rule;              // numbers: the page's range
    const char* unit;                    //   and unit
    const char* const* rows;             // lists: the row texts
    int rowCount;
    FeedTable feedTable;                 // feeds: the table
    int32_t CustomFeedSet::*custom;      //   and the custom value beside the field
    const FineList* fine;                // fine adjustments: the list
    int templateId;                      // choices: the dialog holding the radios
    int texts[3];                        // text of value 0, 1, 2 (0 past the choices)
};

// Every setting: the record's own first, then the eight of each format (1..4).
int SettingCount();
// The setting at index (0 <= index < SettingCount()) and the format it
// belongs to (0..3), or -1 for the record's own.
const SettingDef& SettingAt(int index, int* format);
// Index of "key" in a section (0 the record's own, 1..4 a format), or -1.
int FindSetting(int section, const char* key, size_t keyLength);
// "key" or "formatN.key"; the Japanese name, "書式N ..." for a format's.
std::string SettingFullKey(int index);
std::string SettingName(int index);

int32_t GetSettingValue(int index, const SettingsRecord& record);
void SetSettingValue(int index, SettingsRecord* record, int32_t value);
// The custom feed value beside a feed setting (0 for others).
int32_t CustomValueOf(int index, const CustomFeedTable& custom);
// 1 when the page would accept value for the setting (the custom row of a
// feed counts as accepted here; the merge checks its custom value).
int SettingValueAccepted(int index, int32_t value);
// The value as the file writes it ("%d", or eight hex digits).
std::string SettingValueText(int index, int32_t value);

// Gives the text of a choice reference (a control id of templateId, or kTextOn/kTextOff).
typedef std::string (*ChoiceTextFn)(void* context, int templateId, int textRef);
// The value as the page shows it.
std::string SettingDisplay(int index, const SettingsRecord& record, const CustomFeedTable& custom,
                           ChoiceTextFn choiceText, void* context);

// 1 when the two hold different values of the setting (a custom feed row
// differs also by its custom value).
int SettingDiffers(int index, const SettingsRecord& a, const CustomFeedTable& ca, const SettingsRecord& b,
                   const CustomFeedTable& cb);

// ---- The file ----

enum SettingsFileError {
    FileOk = 0,
    FileBadLine,        // neither comment, section nor key=value
    FileUnknownSection,
    FileUnknownKey,
    FileRepeatedKey,
    FileBadValue,       // not a number
    FileOutOfRange,     // a value the page would not accept
    FileWrongModel,
    FileWrongVersion,
    FileMissingHeader,  // a setting before model= and version=, or no header at all
};

// What a file sets: for each setting whether it is present and its value.
struct ParsedSettings {
    bool present[128];
    int32_t value[128];
    int line[128];
    int count;  // settings present
};

struct FileProblem {
    SettingsFileError error;
    int line;     // 1-based; the line after the last for a missing header
    int setting;  // the setting concerned, or -1
};

// Reads a whole file (length bytes, need not be terminated) for the model.
// Strict: the first problem ends the reading and *parsed must not be used.
FileProblem ReadSettingsFile(const char* text, size_t length, const char* model, ParsedSettings* parsed);

// Writes every setting of the record; a value the page would not accept is
// written as a comment and counted in *skipped (may be null).
std::string WriteSettingsFile(const SettingsRecord& record, const CustomFeedTable& custom, const char* model,
                              ChoiceTextFn choiceText, void* context, int* skipped);

// ---- Merging a file over a printer's settings ----

enum MergeError {
    MergeOk = 0,
    MergeNoCustomFeed,  // a custom feed row where the printer has no custom value
    MergeFormatCheck,   // a format the format dialog would refuse (messageId)
    MergeSwitchFF,      // a switch byte would become 0xFF (the record would read as not loaded)
};
struct MergeProblem {
    MergeError error;
    int setting;    // the setting concerned, or -1
    int messageId;  // MergeFormatCheck: the page's message
};

// Puts the file's settings over *record (the printer's, with its custom
// values), then checks the whole. On a problem *record is partly merged.
MergeProblem MergeSettings(const ParsedSettings& parsed, const CustomFeedTable& custom, SettingsRecord* record);

