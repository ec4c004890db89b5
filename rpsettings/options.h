// The options of rpsettings' command line: their table, what was given and
// the reading of the line (options anywhere, "--" ends them).
#pragma once
#include <string>
#include <vector>

namespace rps {

constexpr int kMaxWorkers = 32;  // printers handled at once; each mostly waits on its device

enum OptionId {
    OptPassword, OptAll, OptDryRun, OptFile, OptPrinter, OptHelp, OptJson, OptBackup, OptTimeout, OptJobs,
    OptOverwrite, OptLog, OptBefore, OptList, OptCsv, OptNoPrompt, OptChanges
};
struct OptionRow {
    const char* name;
    OptionId id;
    bool takesValue;
};
constexpr OptionRow kOptions[] = {
    {"--password", OptPassword, true}, {"--all", OptAll, false},         {"--dry-run", OptDryRun, false},
    {"--file", OptFile, false},        {"--printer", OptPrinter, false}, {"--help", OptHelp, false},
    {"-h", OptHelp, false},            {"/?", OptHelp, false},           {"--json", OptJson, false},
    {"--backup", OptBackup, true},     {"--timeout", OptTimeout, true},  {"--jobs", OptJobs, true},
    {"--overwrite", OptOverwrite, false}, {"--log", OptLog, true},     {"--before", OptBefore, true},
    {"--list", OptList, false},
    {"--csv", OptCsv, true},           {"--no-prompt", OptNoPrompt, false}, {"--changes", OptChanges, false},
};
constexpr int kDefaultTimeoutSeconds = 60;
constexpr int kMaxTimeoutSeconds = 24 * 60 * 60;

struct Options {
    std::vector<std::string> args;  // the command and its operands
    const char* password = nullptr;
    bool all = false;
    bool dryRun = false;
    bool asFile = false;
    bool asPrinter = false;
    bool help = false;
    bool json = false;
    const char* backup = nullptr;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    int jobs = kMaxWorkers;
    const char* csv = nullptr;  // the site table of check, apply or merge goes there
    bool noPrompt = false;      // never ask for the password, even on a console
    bool changes = false;       // merge: change logs, not results
    bool overwrite = false;      // save into a folder: replace files of an earlier save
    const char* log = nullptr;   // the change log, when not the machine's own
    const char* before = nullptr;  // restore: the newest backup before this time
    bool list = false;           // restore: list the backups
    unsigned used = 0;           // each option given: 1 << its OptionId
};

constexpr unsigned Opt(OptionId id) { return 1u << id; }

// Options may stand anywhere; "--" ends them. kExitOk, or kExitUsage after the message.
int ParseOptions(int argc, char** argv, Options* options);

}  // namespace rps
