// Reading rpsettings' command line.
#include "options.h"

#include "rpsettings_ids.h"
#include "tool_output.h"

namespace rps {

namespace {

// A whole decimal number in low..high, or -1.
int CountOption(const char* text, int low, int high) {
    long value = 0;
    if (!*text) return -1;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > high) return -1;
        value = value * 10 + (*p - '0');
    }
    return value >= low && value <= high ? static_cast<int>(value) : -1;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options* options) {
    bool operandsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (operandsOnly || arg.size() < 2 || (arg[0] != '-' && arg != "/?")) {
            options->args.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const OptionRow* row = nullptr;
        for (const OptionRow& candidate : kOptions)
            if (arg == candidate.name) row = &candidate;
        const char* value = row && row->takesValue && i + 1 < argc ? argv[i + 1] : nullptr;
        if (!row || (row->takesValue && !value)) {
            Err(Compose(row ? IDS_RPS_OPTION_NEEDS_VALUE : IDS_RPS_UNKNOWN_OPTION, arg.c_str()));
            return kExitUsage;
        }
        if (value && !*value && row->id != OptPassword) {  // a file, folder, time or number: never empty
            Err(Compose(IDS_RPS_BAD_OPTION_VALUE, arg.c_str(), value));
            return kExitUsage;
        }
        if (value) ++i;
        options->used |= 1u << row->id;
        int number = 0;
        switch (row->id) {
        case OptPassword: options->password = value; break;
        case OptAll: options->all = true; break;
        case OptDryRun: options->dryRun = true; break;
        case OptFile: options->asFile = true; break;
        case OptPrinter: options->asPrinter = true; break;
        case OptHelp: options->help = true; break;
        case OptJson: options->json = true; break;
        case OptBackup: options->backup = value; break;
        case OptOverwrite: options->overwrite = true; break;
        case OptLog: options->log = value; break;
        case OptBefore: options->before = value; break;
        case OptList: options->list = true; break;
        case OptCsv: options->csv = value; break;
        case OptNoPrompt: options->noPrompt = true; break;
        case OptChanges: options->changes = true; break;
        case OptTimeout:
        case OptJobs:
            number = CountOption(value, 1, row->id == OptJobs ? kMaxWorkers : kMaxTimeoutSeconds);
            if (number < 0) {
                Err(Compose(IDS_RPS_BAD_OPTION_VALUE, arg.c_str(), value));
                return kExitUsage;
            }
            (row->id == OptJobs ? options->jobs : options->timeoutSeconds) = number;
            break;
        }
    }
    return kExitOk;
}

}  // namespace rps
