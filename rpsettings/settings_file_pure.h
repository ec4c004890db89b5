// The settings file of rpsettings, driven by the settings catalogue
// (catalogue.h: key, field of the settings record, Japanese name, the values
// the page accepts and how the page shows them): showing, saving, comparing,
// reading and merging. Free of <windows.h>: built natively under the
// sanitizers and fuzzed.
//
// The file is plain text (Shift-JIS or ASCII; a UTF-8 byte-order mark is
// skipped), one "key=value" line per setting:
//   # comment lines start with '#'; blank lines are ignored
//   model=Tilbury 550TK        (header: first, before any setting)
//   version=2
//   paperSetCenter=1           (the record's own settings)
//   contFrontFeed=8            (a feed row; 8 or 9 is the custom row)
//   contFrontCustom=46         (its custom position in 1/120 inch, 0 none)
//   switches.dataBits=0        (one bit or field of the switch bytes)
//   format1.pageLength=66      (a format's setting, anywhere in [general])
//   [format1]                  (format 1..4: its settings without the prefix)
//   pageLength=66
//   [general]                  (back to the record's own settings)
//   block=0104...              (the printer's whole 260-byte block, hexadecimal)
//   [end]                      (the end of a saved file)
// A file that save writes also names its printer and the time it was read
// after the header (printer=TK-1, saved=2026-12-08T14:05:09.123Z) and closes with
// [end]: a file with saved= and no [end] line was cut short and is refused.
// A name with blanks around it is written in double quotes (printer=" TK-1 "),
// and a quoted printer= value is the name between the quotes.
// Nothing may follow [end]; a hand-written file may leave both out.
// Values are decimal (fine adjustments signed, as the page shows them);
// switches.otherBits is eight hexadecimal digits. A switch key's 1 means what
// its name says (version 1 files wrote the raw bit; they still read so).
// A file with a block line is a complete record of a printer: every setting
// it does not name as a key takes its value from the block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue.h"
#include "codec.h"

constexpr int kSettingsFileVersion = 2;  // written; version 1 still reads

// "key" or "formatN.key"; the Japanese name, "書式N ..." for a format's.
std::string SettingFullKey(int index);
std::string SettingName(int index);
// The value as the file writes it ("%d", signed steps, or eight hex digits).
std::string SettingValueText(int index, int32_t value);
// The values the file accepts for the setting, for messages ("10..68").
std::string SettingRangeText(int index);

// Gives the text of a choice reference (a control id of templateId, or kTextOn/kTextOff).
typedef std::string (*ChoiceTextFn)(void* context, int templateId, int textRef);
// The value as the page shows it.
std::string SettingDisplay(int index, const PrinterSettings& settings, ChoiceTextFn choiceText, void* context);

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
    FileEmpty,          // nothing but blanks and comments
    FileUtf16,          // a UTF-16 file (byte-order mark or NULs)
    FileBadBlock,       // a block line that is not 520 hexadecimal digits of a settings block
    FileCutShort,       // saved= and no [end]: the file was cut short
    FileCustomIsRow,    // a custom feed position that is a row of its table
    FileTooLarge,       // (not the reader's) larger than a settings file can be
    FileNotComplete,    // (not the reader's) a backup that does not hold every setting
    FileBadSavedTime,   // (not the reader's) a backup whose saved= is no time
    FileSavedLater,     // (not the reader's) a backup saved, it says, after now
    FileNotHex,         // switches.otherBits: not eight hexadecimal digits
    FileAfterEnd,       // a line after [end]
};

constexpr int kMaxSettings = kMaxSettingCount;
constexpr size_t kSavedNameSize = 260;
constexpr size_t kSavedTimeSize = 32;

// What a file sets: for each setting whether it is present and its value.
struct ParsedSettings {
    bool present[kMaxSettings];
    int32_t value[kMaxSettings];
    int line[kMaxSettings];
    int count;  // settings present
    int version;
    bool hasBlock;  // a block line: the settings it holds stand for every key not given
    uint8_t block[kSettingsBlockSize];
    char printer[kSavedNameSize];  // a saved file's printer=, else empty
    char saved[kSavedTimeSize];    // a saved file's saved= (UTC, ISO 8601), else empty
};

struct FileProblem {
    SettingsFileError error;
    int line;     // 1-based; the line after the last for a missing header; 0 for an empty file
    int setting;  // the setting concerned, or -1
    int32_t value = 0;  // FileCustomIsRow: the value given
};

// Reads a whole file (length bytes, need not be terminated) for the model.
// Strict: the first problem ends the reading and *parsed must not be used.
FileProblem ReadSettingsFile(const char* text, size_t length, const char* model, ParsedSettings* parsed);

// 1 when the file sets the setting: by its key, by the block line, or as the
// custom value that follows a feed row the file sets.
int FileNames(const ParsedSettings& parsed, int index);
// 1 when the file sets every setting (a block line, or every key).
int FileIsComplete(const ParsedSettings& parsed);
// The settings base takes with the file over it: the block's, then the keys'.
// A feed row the file sets without its custom value keeps the base's custom
// value when it is the custom row, else none.
PrinterSettings FileOver(const ParsedSettings& parsed, const PrinterSettings& base);

// Writes every setting, with the page's texts in comments, and, when block is
// not null, the block line. A value the page would not accept is written as a
// comment (the block line still holds it). With a time, the file names the
// printer and the time and ends with [end].
std::string WriteSettingsFile(const PrinterSettings& settings, const uint8_t* block, const char* model,
                              ChoiceTextFn choiceText, void* context, const char* printer = nullptr,
                              const char* savedTime = nullptr);

// For a custom feed setting refused as FileCustomIsRow: the text of the row
// whose position the value is ("1/6インチ"); else empty.
std::string CustomRowText(int index, int32_t value);
