// Preparing the jobs of a run and running them to the summary and the exit code.
#include "jobs.h"

#include <windows.h>

#include <cstdio>

#include "backup_store.h"
#include "rpsettings_ids.h"
#include "site_pure.h"
#include "site_table.h"
#include "tool_files.h"

namespace rps {

int RunJobs(JobsRun* run) {
    run->json.BeginArray();
    const JobRunOptions options = {run->options->jobs, static_cast<DWORD>(run->options->timeoutSeconds) * 1000,
                                   !run->options->json && OnConsole()};
    const JobRunResult result = RunPrinterJobs(run->jobs.size(), options, WorkOnJob, ReportJob, run);
    run->json.EndArray();
    const int* n = run->counts;
    const int total = static_cast<int>(run->jobs.size());
    int code = kExitOk;
    const std::string skipped = n[Skipped] ? Compose(IDS_RPS_SKIPPED_COUNT, n[Skipped]) : "";
    switch (run->command) {
    case JobsApply:
        code = n[Refused] + n[Failed] + n[NotAnswering] ? kExitDiffers : n[NotVerified] ? kExitNotVerified : kExitOk;
        if (run->unlogged && code == kExitOk) code = kExitDiffers;  // the log must not say less than was done
        if (!run->options->json)
            Out(Compose(IDS_RPS_APPLY_SUMMARY, n[Applied], n[Unchanged], n[WouldChange], n[Refused], n[Failed],
                        n[NotVerified], n[NotAnswering], n[NotStarted], total) + skipped + "\n");
        break;
    case JobsCheck:
        code = n[Unreadable] + n[NotAnswering] ? kExitPrinter : n[Differs] ? kExitDiffers : kExitOk;
        if (!run->options->json)
            Out(Compose(IDS_RPS_CHECK_SUMMARY, n[Conforms], n[Differs], n[Unreadable] + n[NotAnswering],
                        n[NotStarted], total) + skipped + "\n");
        break;
    case JobsSave:
        code = n[Unreadable] + n[Failed] + n[NotAnswering] ? kExitPrinter : kExitOk;
        Out(Compose(IDS_RPS_SAVE_SUMMARY, n[Saved], total - n[Saved] - n[NotStarted] - n[Skipped], n[NotStarted],
                    total) + skipped + "\n");
        break;
    }
    if (run->options->json || run->options->csv) {
        JsonWriter json;
        json.BeginObject();
        json.Key("command").String(run->restoring ? "restore" : run->command == JobsApply ? "apply" : "check");
        json.Key("file").String(Utf8(run->options->args[1]));
        if (run->command == JobsApply) json.Key("dryRun").Bool(run->options->dryRun);
        json.Key("interrupted").Bool(result.interrupted);
        json.Key("printers");
        std::string text = json.Text() + run->json.Text();
        JsonWriter summary;
        summary.BeginObject().Key("printers").Number(total);
        const std::vector<Outcome> counted = run->command == JobsApply
            ? std::vector<Outcome>{Applied, Unchanged, WouldChange, Refused, Failed, NotVerified, NotAnswering,
                                   NotStarted, Skipped}
            : std::vector<Outcome>{Conforms, Differs, Unreadable, NotAnswering, NotStarted, Skipped};
        for (Outcome outcome : counted) summary.Key(kOutcomeTokens[outcome]).Number(n[outcome]);
        summary.EndObject();
        text += ",\"summary\":" + summary.Text() + "}";
        if (result.interrupted) code = kExitInterrupted;
        if (run->options->json) OutUtf8(text + "\n");
        // The table was found writable before any printer was touched; should
        // it fail now, the run's own outcome stands and the message says so.
        if (run->options->csv &&
            !WriteFileWhole(run->options->csv, CsvText(SiteTableHeader(), SiteRows({ComputerNameUtf8(), LocalTimeText(),
                                                                                     std::to_string(code), text, ""}))))
            Err(Compose(IDS_RPS_TABLE_NOT_WRITTEN, run->options->csv, code));
    }
    if (result.interrupted) code = kExitInterrupted;
    // A worker still talks to a printer: end without cleaning up under it.
    // ExitProcess would run every library's detach code (the C runtime's, the
    // SRM library's) on this thread while that worker may still be running
    // in them, since the other threads are stopped without waiting; ending
    // the process outright runs none of it. Everything said is written first.
    if (result.abandoned) {
        std::fflush(stdout);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    }
    return code;
}

int PrepareJobs(const std::vector<const PrinterEntry*>& printers, const char* directory, JobsRun* run) {
    run->jobs.resize(printers.size());
    for (size_t i = 0; i < printers.size(); ++i) {
        run->jobs[i].printer = printers[i];
        run->jobs[i].file = run->parsed;
        if (run->parsed) run->jobs[i].fileName = run->options->args[1];
    }
    if (!directory || (run->command == JobsApply && run->options->dryRun)) return kExitOk;
    const std::string folder = DirectoryFor(directory);
    if (folder.empty()) return kExitUsage;
    if (run->command == JobsApply) {  // each backup takes the first free name as it is written
        run->folder = folder;
        return kExitOk;
    }
    std::vector<std::string> names;
    for (const PrinterEntry* printer : printers) names.push_back(printer->name);
    const std::vector<std::string> files = UniqueFileNames(names);
    int taken = 0;  // an earlier save's files stay unless --overwrite says otherwise
    for (size_t i = 0; i < printers.size(); ++i) {
        run->jobs[i].path = folder + files[i];
        if (run->options->overwrite || GetFileAttributesA(run->jobs[i].path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        Err(Compose(IDS_RPS_FILE_EXISTS, run->jobs[i].path.c_str()));
        ++taken;
    }
    return taken ? kExitUsage : kExitOk;
}

}  // namespace rps
