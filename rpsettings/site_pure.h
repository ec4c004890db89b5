// Pieces rpsettings needs for a whole site, free of <windows.h>: file names
// made from printer names, printer-name lists read from a file ("@FILE"), and
// JSON output for scripts.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// A file name (no directory, no extension) made from a printer name given in
// Shift-JIS: characters a Windows file name cannot hold (\ / : * ? " < > | and
// control characters 0x00-0x1F) become '_'; a double-byte character is kept
// whole, its trail byte included (0x5C in 表 and ソ, 0x7C in ポ); a lead byte
// without a valid trail byte becomes '_', and one at the very end is dropped;
// trailing dots and blanks go; reserved device names (CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM1-COM9, LPT1-LPT9, any letter case, also with an
// extension like "con.x")
// get a leading '_'; an empty result becomes "_". At most kMaxSafeFileName
// bytes, cut on a character boundary.
constexpr size_t kMaxSafeFileName = 200;
std::string SafeFileName(const std::string& printerName);

// True when the last part of a path names a device (CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM1-COM9, LPT1-LPT9, any letter case, with or without an
// extension or a colon): such a path opens the device, not a file.
bool IsDeviceName(const std::string& path);

// One file name per printer ("<safe>.txt"), in the order given, unique as a
// Windows file system compares names: without regard to letter case (ASCII,
// full-width Latin, Greek, Cyrillic, Roman numerals) and with the codes that
// Shift-JIS gives twice for one Roman numeral taken as one ("a_b.txt", then
// "a_b~2.txt", "a_b~3.txt").
std::vector<std::string> UniqueFileNames(const std::vector<std::string>& printerNames);

// A list of printer names, one a line: a UTF-8 byte-order mark is skipped and
// marks the text as UTF-8; otherwise the text is UTF-8 when it has bytes >=
// 0x80 and all of them form valid UTF-8 sequences, else Shift-JIS. Blank lines
// and lines whose first non-blank character is '#' are ignored; blanks (space,
// tab) around a name and a CR at the end of a line are removed. Names are the
// bytes of the file (the caller converts UTF-8 to the ANSI code page).
struct NameList {
    bool utf8;
    std::vector<std::string> names;
};
NameList ParseNameList(const char* data, size_t size);

// True when text is a valid UTF-8 sequence (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(const char* text, size_t size);

// The name among names nearest to a word not understood (letters changed,
// added or left out, letter case aside; at most two), or empty.
std::string NearestName(const std::string& word, const std::vector<std::string>& names);

// A time given as UTC: "YYYY-MM-DD", "YYYY-MM-DDTHH:MM",
// "YYYY-MM-DDTHH:MM:SS" or "YYYY-MM-DDTHH:MM:SS.mmm" (one to three digits;
// 'T' or a blank; a 'Z' may follow), as "YYYY-MM-DDTHH:MM:SS.mmmZ", the form
// in which such texts compare as times.
bool NormalizeUtcTime(const std::string& text, std::string* utc);

// A backup in a folder: its file name, the printer it names (empty in files
// of older versions) and when it was saved ("YYYY-MM-DDTHH:MM:SS.mmmZ").
struct BackupEntry {
    std::string file;
    std::string printer;
    std::string time;
};
// True when a was saved after b: by time, and at the same time by the number
// of the name ("x~12.txt" after "x~7.txt" after "x.txt"), as backups of one
// printer take the first free number.
bool BackupIsNewer(const BackupEntry& a, const BackupEntry& b);
// True when the backup is the printer's (see NewestBackup).
bool IsBackupOf(const BackupEntry& entry, const std::string& printer);

// The printer's newest backup saved before a time (empty: any), or -1. A
// backup without a printer's name is the printer's when its file name is the
// printer's file name, with or without "~N".
int NewestBackup(const std::vector<BackupEntry>& backups, const std::string& printer, const std::string& before);

// JSON text, built in order. Strings must be UTF-8; the writer escapes '"',
// '\' and control characters (as \u00XX), nothing else. Numbers are integers.
// The caller keeps the structure valid: Key only inside an object, before
// each value; every Begin closed by its End.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& utf8);
    JsonWriter& Number(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    // Commas placed by the writer; no trailing newline.
    const std::string& Text() const { return text_; }

private:
    void BeforeValue();
    void Quoted(const std::string& text);
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);

    std::string text_;
    std::vector<bool> empty_;  // per open object or array: nothing in it yet
    bool afterKey_ = false;
};
