// Files that rpsettings writes: settings files flushed to disk before they
// count as written, and backups that never replace one another, within a
// run, across runs at once, and across computers sharing a folder.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "settings_file_pure.h"
#include "site_pure.h"

// Replace an existing file, or write only a file that no one has yet.
enum WriteMode { WriteReplace, WriteNew };

enum WriteResult { Written, NameTaken, WriteFailed };

// Writes text (each LF as CR LF) to path and flushes it to the disk. With
// WriteNew an existing file is left alone (NameTaken); a file that could not
// be written whole is removed again.
WriteResult WriteTextFile(const char* path, const std::string& text, WriteMode mode);

// Writes a backup into folder (ending in a backslash) as base.txt, or, when
// that name is taken, the first free base~2.txt, base~3.txt...; *path is the
// file written. False when no file could be written.
bool WriteBackupFile(const std::string& folder, const std::string& base, const std::string& text,
                     std::string* path);

// Now, in UTC, as ISO 8601 with milliseconds: "2026-12-08T14:05:09.123Z".
std::string UtcNowText();
// A file's last write time in the same form; empty when it cannot be read.
std::string FileTimeText(const char* path);

// The full path of a file name, for records read on other computers.
std::string FullPath(const std::string& path);

// The .txt files of a folder, by name.
std::vector<std::string> TextFilesIn(const std::string& folder);

// A text of the ANSI code page (Shift-JIS) in UTF-8, and back.
std::string Recode(const std::string& text, UINT from, UINT to);
std::string Utf8(const std::string& ansi);

// Reads a whole file of at most kMaxFileSize bytes; 0 when it cannot.
constexpr DWORD kMaxFileSize = 1 << 20;
int ReadWholeFile(const char* path, std::string* text);

// A settings file in a folder of backups, read: problem.error is FileOk for
// a file that can be restored; a saved= that is no time, or a time after
// now, makes it one that cannot. entry.time: its saved= time, else the time
// it was last written; entry.printer: its printer=, also in a file that
// cannot be restored (cut short).
struct FolderBackup {
    BackupEntry entry;
    std::string path;
    std::unique_ptr<ParsedSettings> parsed;
    FileProblem problem;
};
std::vector<FolderBackup> ReadBackups(const std::string& folder, const char* model);
