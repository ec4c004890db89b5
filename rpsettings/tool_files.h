// The files and folders of rpsettings: the settings file read and checked,
// the @FILE lists of printer names, the site table of --csv and the folders
// of saves and backups.
#pragma once
#include <string>
#include <vector>

#include "options.h"
#include "settings_file_pure.h"
#include "site_table_pure.h"

namespace rps {

bool IsFile(const char* path);
std::string ModelName();
// Why a file was refused, in words.
std::string FileProblemText(const FileProblem& problem);
// Reads and checks a settings file; kExitOk, or kExitUsage after the message.
int LoadSettingsFile(const char* path, ParsedSettings* parsed);
// The names of the operands with each "@FILE" replaced by the names it lists
// (one a line; Shift-JIS, or UTF-8 with or without its mark).
int ExpandNameLists(const std::vector<std::string>& operands, std::vector<std::string>* names);

// A table as CSV into a file, whole or not at all; false after the message.
bool WriteTable(const char* path, const CsvRow& header, const std::vector<CsvRow>& rows);
// The files a run reads or writes besides its table, and the folder whose
// files it reads or writes (those ending in extension; null: all).
struct RunFiles {
    std::vector<std::string> files;
    std::string folder;
    const char* extension = nullptr;
};

// The @FILE lists among operands.
void AddNameLists(const std::vector<std::string>& operands, RunFiles* files);
// The table of --csv, before anything is done: none of the run's own files
// (the settings file, a list, the change log, a file of its folder), and one
// that can be written. kExitOk, or kExitUsage after the message.
int CheckTable(const Options& options, const RunFiles& run);

// A directory that must be there, with a backslash at its end; "" after the message.
std::string ExistingFolder(const std::string& directory);
// A file in a directory (made, with the ones above it, when missing); "" and
// the message when it cannot be made.
std::string DirectoryFor(const char* directory);

}  // namespace rps
