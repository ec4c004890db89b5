// What the run says of each printer as its job ends: lines for people, an
// object of the JSON output for scripts and the site table.
#include "jobs.h"

#include <cstdio>

#include "backup_store.h"
#include "rpsettings_ids.h"
#include "setting_text.h"

namespace rps {

namespace {

// The settings a check found different: the printer's, then the file's.
std::vector<int> CheckDifferences(const JobsRun& run, const PrinterJob& job) {
    std::vector<int> differing;
    for (int i = 0; job.outcome == Differs && i < SettingCount(); ++i)
        if (FileNames(*run.parsed, i) && SettingDiffers(i, job.current, job.after)) differing.push_back(i);
    return differing;
}

// The settings a write changes, from -> to; every setting, as it will be,
// for a printer that cannot be read (what it holds now is unknown).
std::string PlannedChangeLines(const PrinterJob& job, ControlTexts* texts) {
    const ApplyPlan& plan = job.plan;
    if (job.readable) return ChangeLines(plan.changes, job.current, plan.predicted, texts);
    std::string lines;
    for (int i = 0; i < SettingCount(); ++i)
        lines += "  " + SettingFullKey(i) + ": " + SettingDisplay(i, plan.predicted, ControlTexts::Resolve, texts) +
                 "  (" + SettingName(i) + ")\n";
    return lines;
}

// What happened to one printer, as lines of the human output.
std::string ReportLines(const JobsRun& run, const PrinterJob& job, ControlTexts* texts) {
    const char* name = job.printer->name;
    const ApplyPlan& plan = job.plan;
    std::string lines;
    switch (job.outcome) {
    case Applied: lines = Compose(IDS_RPS_APPLIED, name) + "\n" + PlannedChangeLines(job, texts); break;
    case Unchanged: lines = Compose(IDS_RPS_NO_CHANGE, name) + "\n"; break;
    case WouldChange:
        lines = Compose(job.readable ? IDS_RPS_DRY_RUN : IDS_RPS_UNREADABLE_DRY_RUN, name) + "\n" +
                PlannedChangeLines(job, texts);
        break;
    case Refused:
        lines = Compose(IDS_RPS_REFUSED, name, job.reason.c_str()) + "\n" +
                ChangeLines(plan.notCarried, plan.target, plan.predicted, texts);
        if (plan.refusal == RefuseNotCarried && !plan.collateral.empty())
            lines += "  " + Text(IDS_RPS_COLLATERAL) + "\n";
        lines += ChangeLines(plan.collateral, job.current, plan.predicted, texts);
        break;
    case Failed:
        lines = Compose(IDS_RPS_FAILED, name, job.reason.c_str()) + "\n";
        if (job.readBackDiffers) lines += ChangeLines(VerifyApplied(plan, job.after), plan.predicted, job.after, texts);
        break;
    case NotVerified:
        lines = Compose(IDS_RPS_NOT_VERIFIED, name, job.reason.c_str()) + "\n" + PlannedChangeLines(job, texts);
        break;
    case Conforms: break;  // the check's table has rows only for printers that differ
    case Differs:
        for (int i : CheckDifferences(run, job))
            lines += std::string(name) + "\t" + SettingFullKey(i) + "\t" +
                     SettingDisplay(i, job.current, ControlTexts::Resolve, texts) + "\t" +
                     SettingDisplay(i, job.after, ControlTexts::Resolve, texts) + "\t" + SettingName(i) + "\n";
        break;
    case Unreadable:
        lines = run.command == JobsCheck ? std::string(name) + "\t-\t" + job.reason + "\n"
                                         : Compose(IDS_RPS_NOT_SAVED, name, job.reason.c_str()) + "\n";
        break;
    case Saved: lines = Compose(IDS_RPS_SAVED, name, job.path.c_str()) + "\n"; break;
    case NotAnswering:
        lines = Compose(IDS_RPS_NOT_ANSWERING, name, run.options->timeoutSeconds) + "\n";
        break;
    case NotStarted: lines = Compose(IDS_RPS_NOT_STARTED, name) + "\n"; break;
    case Skipped: lines = Compose(IDS_RPS_SKIPPED, name, job.reason.c_str()) + "\n"; break;
    case kOutcomeCount: break;
    }
    if (run.restoring && job.file && job.outcome != Skipped)
        lines += "  " + Compose(IDS_RPS_RESTORED_FROM, job.fileName.c_str(), job.fileTime.c_str()) + "\n";
    if (job.backedUp) lines += "  " + Compose(IDS_RPS_BACKED_UP, job.path.c_str()) + "\n";
    if (job.unlogged) lines += "  " + Compose(IDS_RPS_RESULT_NOT_LOGGED, run.log->Path().c_str()) + "\n";
    return lines;
}

void ReportJson(const JobsRun& run, const PrinterJob& job, std::string message, JsonWriter* json,
                ControlTexts* texts) {
    json->BeginObject();
    json->Key("name").String(Utf8(job.printer->name));
    json->Key("outcome").String(kOutcomeTokens[job.outcome]);
    json->Key("message").String(Utf8(ConsoleText(message)));
    if (run.command == JobsCheck) {
        json->Key("differences").BeginArray();
        for (int i : CheckDifferences(run, job))
            SettingPairJson(json, i, job.current, "value", "text", job.after, "fileValue", "fileText", texts);
        json->EndArray();
    } else if (run.command == JobsApply) {
        json->Key("backup").String(job.backedUp ? Utf8(job.path) : "");
        if (run.restoring) {  // the backup given back, and when it was saved
            json->Key("restoredFrom").String(job.file ? Utf8(job.fileName) : "");
            json->Key("restoredTime").String(job.file ? job.fileTime : "");
        }
        const ApplyPlan& plan = job.plan;
        if (job.outcome == Refused) {
            ChangesJson(json, plan.collateral.empty() ? plan.notCarried : plan.collateral,
                        plan.collateral.empty() ? &plan.target : &job.current, plan.predicted, texts);
        } else if (job.outcome == Applied || job.outcome == WouldChange || job.outcome == NotVerified) {
            PlannedChangesJson(json, job, texts);
        } else {
            ChangesJson(json, {}, nullptr, plan.predicted, texts);
        }
    } else {
        json->Key("file").String(Utf8(job.path));
    }
    json->EndObject();
}

}  // namespace

const char* const kOutcomeTokens[kOutcomeCount] = {
    "applied", "unchanged", "would_change", "refused",  "failed",        "not_verified",
    "conforms", "differs",  "unreadable",   "saved",    "not_answering", "not_started", "skipped"};

void PlannedChangesJson(JsonWriter* json, const PrinterJob& job, ControlTexts* texts) {
    std::vector<SettingChange> all;
    for (int i = 0; !job.readable && i < SettingCount(); ++i) all.push_back({i, 0, 0});
    ChangesJson(json, job.readable ? job.plan.changes : all, job.readable ? &job.current : nullptr,
                job.plan.predicted, texts);
}

void ReportJob(void* context, size_t index, JobEnd end) {
    JobsRun* run = static_cast<JobsRun*>(context);
    // A printer given up on goes on in its worker: only what this thread set is read.
    PrinterJob shown;
    const PrinterJob& job = end == JobFinished ? run->jobs[index] : shown;
    shown.printer = run->jobs[index].printer;
    shown.outcome = end == JobNotAnswering ? NotAnswering : end == JobWrittenNotAnswering ? NotVerified : NotStarted;
    if (end == JobWrittenNotAnswering) shown.reason = Compose(IDS_RPS_READ_BACK_NOT_ANSWERING, run->options->timeoutSeconds);
    ++run->counts[job.outcome];
    run->unlogged += job.unlogged;
    const std::string lines = ReportLines(*run, job, run->texts);
    if (!run->options->json) {
        Out(lines);
        std::fflush(stdout);
        if (!run->options->csv) return;
    }
    // The message: the reason, or the result line without the printer's name.
    std::string message = job.reason;
    if (message.empty() && run->command != JobsCheck) {
        message = lines.substr(0, lines.find('\n'));
        const std::string prefix = std::string(job.printer->name) + ": ";
        if (message.compare(0, prefix.size(), prefix) == 0) message.erase(0, prefix.size());
    }
    if (job.unlogged) message += (message.empty() ? "" : " ") + Compose(IDS_RPS_RESULT_NOT_LOGGED, run->log->Path().c_str());
    ReportJson(*run, job, message, &run->json, run->texts);
}

}  // namespace rps
