// The site tables on disk: this PC's name and time for its rows, the files
// of a folder of results, and a table written whole or not at all.
#pragma once
#include <string>
#include <vector>

#include "site_table_pure.h"

// This computer's name in UTF-8.
std::string ComputerNameUtf8();
// Now, local time, as yyyy-MM-ddTHH:mm:ss.
std::string LocalTimeText();

// The files of folder whose names end in extension (".json"; compared
// without regard to letter case, so "x.json.tmp" is not one), each as its
// name without the extension (UTF-8) and its bytes, sorted by name. False
// when the folder cannot be read; a file that cannot be read is given with
// empty text (and so is reported as unreadable).
bool ReadFolderFiles(const std::string& folder, const wchar_t* extension, std::vector<NamedText>* files);

// Writes the bytes under a name of this process's own beside path, then puts
// the file in place of path: a reader never sees half a table. True when done.
bool WriteFileWhole(const std::string& path, const std::string& bytes);

// Whether WriteFileWhole(path) can be done: its folder takes a new file and
// path is none, or a file that may be written (not read-only, not locked).
bool CanWriteFileWhole(const std::string& path);
// Whether two paths name one file: their full paths, without regard to case.
bool SamePath(const std::string& a, const std::string& b);
// Whether path names a file right inside folder whose name ends in ending
// (".json"; "" for any), without regard to case.
bool PathInFolder(const std::string& path, const std::string& folder, const std::string& ending);
