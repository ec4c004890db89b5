// The change log of rpsettings: one JSON object a line (UTF-8, JSON Lines)
// for every write to a printer, in the machine's program data folder
// ("<CSIDL_COMMON_APPDATA>\rpsettings\changes.jsonl") unless --log names
// another file. Each write is recorded twice: "result":"writing" before the
// printer is written (a run that cannot record it does not write), and the
// result once the write is done. Runs at once on one computer share the
// file: each record is one write at the end of the file, under a lock.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "scoped.h"
#include "site_pure.h"

// The default place: the machine's program data folder + "\rpsettings\changes.jsonl".
std::string DefaultChangeLogPath();

class ChangeLog {
public:
    ChangeLog();
    ~ChangeLog();
    ChangeLog(const ChangeLog&) = delete;
    ChangeLog& operator=(const ChangeLog&) = delete;

    // Opens the log at path, or at the default place (its folder made when
    // missing) when path is null; the file is made when missing. False when
    // it cannot be opened for appending. Path() is the file in either case.
    bool Open(const char* path);
    const std::string& Path() const { return path_; }

    // Starts a record with "time", "computer", "user" and "run"; the caller
    // adds its fields and ends the object.
    void Begin(JsonWriter* json) const;
    // Appends a record and its line end in one write at the end of the file,
    // flushed to disk; false when it was not written whole. A record never
    // continues a line that an earlier write left unfinished: it starts after
    // a line end of its own. Safe from any thread.
    bool Append(const std::string& record);

private:
    std::unique_ptr<ScopedHandle> file_;
    CRITICAL_SECTION lock_;
    std::string path_;
    std::string computer_;
    std::string user_;
    std::string run_;
};
