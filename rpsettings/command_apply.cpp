// apply FILE PRINTER...|--all and check FILE PRINTER...|--all: one run over
// many printers that writes the file (apply) or compares with it (check).
#include "commands.h"

#include "backup_store.h"
#include "jobs.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "tool_files.h"

namespace rps {

namespace {

// apply FILE PRINTER...|--all and check FILE PRINTER...|--all.
int CommandApplyOrCheck(const Options& options, JobsCommand command) {
    ParsedSettings parsed;
    if (int code = LoadSettingsFile(options.args[1].c_str(), &parsed)) return code;
    std::vector<const PrinterEntry*> printers;
    if (int code = OperandPrinters(options, 2, options.args.size(), &printers)) return code;
    RunFiles files = {{options.args[1]}, command == JobsApply && options.backup ? options.backup : ""};
    AddNameLists(options.args, &files);
    if (command == JobsApply) files.files.push_back(options.log ? options.log : DefaultChangeLogPath());
    if (int code = CheckTable(options, files)) return code;
    ChangeLog log;
    if (command == JobsApply)
        if (int code = OpenChangeLog(options, &log)) return code;
    JobsRun run = {command, &options, &parsed, {}, nullptr, {}, {}, "", &log, false};
    if (int code = PrepareJobs(printers, command == JobsApply ? options.backup : nullptr, &run)) return code;
    ControlTexts texts;
    run.texts = &texts;
    if (command == JobsCheck && !options.json) Out(Text(IDS_RPS_CHECK_HEADER) + "\n");
    return RunJobs(&run);
}

}  // namespace

int OpenChangeLog(const Options& options, ChangeLog* log) {
    if (options.dryRun || log->Open(options.log)) return kExitOk;
    Err(Compose(IDS_RPS_CANNOT_OPEN_LOG, log->Path().c_str()));
    return kExitUsage;
}

int CommandCheck(const Options& options) { return CommandApplyOrCheck(options, JobsCheck); }
int CommandApply(const Options& options) { return CommandApplyOrCheck(options, JobsApply); }

}  // namespace rps
