// The table of rpsettings' commands: each command's operands, the options it
// takes, whether it reaches printers and what runs it; the table also gives
// the "did you mean" hint.
#include "commands.h"

#include <string>
#include <vector>

#include "password_check.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "site_pure.h"
#include "tool_output.h"

namespace rps {

namespace {

constexpr unsigned kAnyCommand = Opt(OptPassword) | Opt(OptHelp) | Opt(OptTimeout) | Opt(OptJobs) | Opt(OptNoPrompt);

// What follows a command's fixed operands.
enum Rest { NoRest, Printers, Names };  // nothing; one printer or more (none with --all); any number

// A command: its name, the operands before the rest, what the rest is, the
// options it takes besides those of every command, whether it reaches
// printers (the password and the discovery first), and what runs it.
struct CommandRow {
    const char* name;
    size_t fixed;
    Rest rest;
    unsigned options;
    bool printers;
    int (*run)(const Options& options);
};

constexpr CommandRow kCommands[] = {
    {"list", 0, NoRest, Opt(OptJson), false, CommandList},
    {"show", 1, NoRest, Opt(OptJson), true, CommandShow},
    {"save", 1, Printers, Opt(OptAll) | Opt(OptOverwrite), true, CommandSave},
    {"diff", 2, NoRest, Opt(OptJson) | Opt(OptFile) | Opt(OptPrinter), true, CommandDiff},
    {"check", 1, Printers, Opt(OptAll) | Opt(OptJson) | Opt(OptCsv), true, CommandCheck},
    {"apply", 1, Printers, Opt(OptAll) | Opt(OptJson) | Opt(OptCsv) | Opt(OptDryRun) | Opt(OptBackup) | Opt(OptLog),
     true, CommandApply},
    {"restore", 1, Printers,
     Opt(OptAll) | Opt(OptJson) | Opt(OptCsv) | Opt(OptDryRun) | Opt(OptLog) | Opt(OptBefore) | Opt(OptList), true,
     CommandRestore},
    {"merge", 1, Names, Opt(OptCsv) | Opt(OptChanges), false, CommandMerge},
};

// restore --list DIR takes nothing else.
constexpr CommandRow kRestoreList = {"restore", 1, NoRest, Opt(OptList), false, CommandRestoreList};

// The command line's command, or null after saying what is wrong with it.
const CommandRow* CheckCommand(const Options& options) {
    const std::string word = options.args.empty() ? "" : options.args[0];
    const CommandRow* row = nullptr;
    std::vector<std::string> names;
    for (const CommandRow& candidate : kCommands) {
        names.push_back(candidate.name);
        if (word == candidate.name) row = &candidate;
    }
    if (row && options.list && word == "restore") row = &kRestoreList;
    if (!row) {
        if (options.args.empty()) return nullptr;
        if (word.empty()) {
            Err(Text(IDS_RPS_EMPTY_COMMAND));
            return nullptr;
        }
        Err(Compose(IDS_RPS_UNKNOWN_COMMAND, word.c_str()));
        const std::string nearest = NearestName(word, names);
        if (!nearest.empty()) Err(Compose(IDS_RPS_DID_YOU_MEAN, nearest.c_str()));
        return nullptr;
    }
    for (const OptionRow& option : kOptions) {
        if (!(options.used & Opt(option.id)) || ((row->options | kAnyCommand) & Opt(option.id))) continue;
        Err(Compose(IDS_RPS_OPTION_NOT_FOR, option.name, row == &kRestoreList ? "restore --list" : row->name));
        return nullptr;
    }
    if (options.asFile && options.asPrinter) {
        Err(Compose(IDS_RPS_OPTION_NOT_FOR, "--printer", "--file"));
        return nullptr;
    }
    const size_t operands = options.args.size() - 1;
    const size_t least = row->fixed + (row->rest == Printers && !options.all ? 1 : 0);
    const bool more = row->rest == Names || (row->rest == Printers && !options.all);
    if (operands < least) {
        Err(Compose(IDS_RPS_MISSING_OPERAND, word.c_str()));
        return nullptr;
    }
    if (operands > least && !more) {
        Err(Compose(IDS_RPS_EXTRA_OPERAND, word.c_str(), options.args[least + 1].c_str()));
        return nullptr;
    }
    return row;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    Options options;
    if (int code = ParseOptions(argc, argv, &options)) {
        Err(Usage());
        return code;
    }
    if (options.help) {
        Out(Usage());
        return kExitOk;
    }
    const CommandRow* row = CheckCommand(options);
    if (!row) {
        Err(options.args.empty() ? Usage() : Text(IDS_RPS_SEE_HELP));
        return kExitUsage;
    }
    if (row->printers) {
        if (int code = CheckPassword(options.password, !options.noPrompt)) return code;
        if (int code = Discover()) return code;
    }
    return row->run(options);
}

}  // namespace rps
