// rpsettings' commands, one file each over the shared files, and the table
// that reads the command line and runs one of them.
#pragma once
#include "change_log.h"
#include "options.h"

namespace rps {

// Reads the command line, checks the password and finds the printers where
// the command reaches them, and runs the command; the exit code.
int RunCommandLine(int argc, char** argv);

int CommandList(const Options& options);
int CommandShow(const Options& options);
// show prints what save writes: a settings file (or, with --json, its
// settings); with a path, save writes it there.
int CommandShowOrSave(const Options& options, const char* path);
int CommandSave(const Options& options);
int CommandDiff(const Options& options);
int CommandCheck(const Options& options);
int CommandApply(const Options& options);
int CommandRestore(const Options& options);
int CommandRestoreList(const Options& options);
int CommandMerge(const Options& options);

// The change log of a run that writes (a dry run records nothing); kExitUsage
// after the message when it cannot be opened: then no printer is written.
int OpenChangeLog(const Options& options, ChangeLog* log);

}  // namespace rps
