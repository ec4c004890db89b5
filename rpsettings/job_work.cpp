// What a worker does for one printer: apply (or restore) with the claim, the
// backup, the change log and the read-back; check; save.
#include "jobs.h"

#include <windows.h>

#include "backup_store.h"
#include "messages.h"
#include "resource.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "srm_api.h"
#include "status_pure.h"
#include "text_pure.h"
#include "tool_claim.h"
#include "tool_files.h"

namespace rps {

namespace {

std::string RefusalText(const ApplyPlan& plan) {
    switch (plan.refusal) {
    case RefuseNotReadable: return Text(IDS_RPS_PARTIAL_UNREADABLE);
    case RefuseNoCustomFeed:
        return Compose(IDS_RPS_NO_CUSTOM_FEED, SettingFullKey(plan.setting).c_str(),
                       SettingFullKey(CustomSettingOf(plan.setting)).c_str());
    case RefuseFormatCheck: {  // "formatN: " and the format dialog's own message
        const std::string key = SettingFullKey(plan.setting);
        return key.substr(0, key.find('.')) + ": " + ConsoleText(Text(plan.messageId));
    }
    case RefuseSwitchFF: return Text(IDS_RPS_SWITCH_FF);
    case RefuseNotCarried: return Text(IDS_RPS_NOT_CARRIED);
    case RefuseCollateral: return Text(IDS_RPS_COLLATERAL);
    case RefuseNone: break;
    }
    return "";
}

void WriteAndVerify(DWORD handle, const StatusVerdict& verdict, uint8_t block[kSettingsBlockSize], PrinterJob* job);

// One printer: usable and updatable, not held by a panel, read (and saved
// first with --backup), planned, recorded, written synchronously and read back.
void ApplyToPrinter(const JobsRun& run, PrinterJob* job) {
    job->outcome = Refused;
    SrmSession session;
    StatusVerdict verdict = {};
    job->reason = OpenPrinter(*job->printer, &session, &verdict);
    if (!job->reason.empty()) {
        if (!IsFilePort(job->printer->destination)) job->outcome = Failed;
        return;
    }
    if (!verdict.usable || !verdict.updateAllowed || verdict.printerNotReady) {
        job->reason = StatusTextOf(verdict);
        return;
    }
    job->readable = verdict.readAllowed != 0;

    // The panel's claim, held while this writes: a panel that starts meanwhile stays out.
    ToolClaim claim;
    job->reason = claim.Take(job->printer->name);
    if (!job->reason.empty()) return;

    uint8_t block[kSettingsBlockSize];
    if (job->readable && !ReadSettings(session.get(), &job->current, block)) {
        job->outcome = Failed;
        job->reason = Text(IDS_READ_FAILED);
        return;
    }
    // A backup is a new file, on the disk before anything is written (a dry run writes none).
    if (!run.folder.empty() && !run.options->dryRun) {
        const std::string base = SafeFileName(job->printer->name);
        job->backedUp = job->readable && WriteBackupFile(run.folder, base,
                                                         SavedFileText(job->printer->name, job->current, block),
                                                         &job->path);
        if (!job->backedUp) {
            job->reason = job->readable ? Compose(IDS_RPS_BACKUP_FAILED, job->path.c_str()) : Text(IDS_RPS_BACKUP_UNREADABLE);
            job->path.clear();
            return;
        }
    }
    job->plan = PlanApply(*job->file, job->readable ? &job->current : nullptr);
    if (job->plan.outcome == PlanUnchanged) {
        job->outcome = Unchanged;
        return;
    }
    if (job->plan.outcome == PlanRefused) {
        job->reason = RefusalText(job->plan);
        return;
    }
    if (run.options->dryRun) {
        job->outcome = WouldChange;
        return;
    }
    // The printer may have changed while it was read: as the panel, write only
    // to a printer that may be updated now.
    job->reason = StillUpdatable(session.get(), &verdict);
    if (!job->reason.empty()) return;
    // Nothing is written once the run has reported this printer as not
    // answering, nor without its record in the change log.
    if (!StartJobWrite()) return;
    if (!run.log->Append(ChangeRecord(run, *job, "writing"))) {
        job->outcome = Failed;
        job->reason = Compose(IDS_RPS_LOG_FAILED, run.log->Path().c_str());
        return;
    }
    WriteAndVerify(session.get(), verdict, block, job);
    job->unlogged = !run.log->Append(ChangeRecord(run, *job, kOutcomeTokens[job->outcome]));
}

// Sends the planned command and reads the printer back.
void WriteAndVerify(DWORD handle, const StatusVerdict& verdict, uint8_t block[kSettingsBlockSize], PrinterJob* job) {
    uint8_t area[kCommandAreaSize];
    CopyMemory(area, job->plan.area, sizeof area);
    const DWORD sent = SetPrinterStatusDirectA(handle, SRM_ITEM_SETTINGS, area, kCommandAreaSize);
    EndJobWrite();  // the read-back may be given up on again
    if (sent != 0) {
        job->outcome = Failed;
        job->reason = Text(IDS_WRITE_FAILED);
        return;
    }
    job->outcome = NotVerified;
    if (!job->readable) {
        job->reason = StatusTextOf(verdict);
    } else if (!ReadSettings(handle, &job->after, block)) {
        job->reason = Text(IDS_READ_FAILED);
    } else if (!VerifyApplied(job->plan, job->after).empty()) {
        job->outcome = Failed;
        job->readBackDiffers = true;
        job->reason = Text(IDS_RPS_VERIFY_FAILED);
    } else {
        job->outcome = Applied;
    }
}

// Read rights are enough; no claim is taken and nothing is written.
void CheckPrinter(const JobsRun& run, PrinterJob* job) {
    uint8_t block[kSettingsBlockSize];
    job->outcome = Unreadable;
    job->reason = ReadPrinter(*job->printer, &job->current, block);
    if (!job->reason.empty()) return;
    job->after = FileOver(*run.parsed, job->current);
    job->outcome = Conforms;
    for (int i = 0; i < SettingCount(); ++i)
        if (FileNames(*run.parsed, i) && SettingDiffers(i, job->current, job->after)) job->outcome = Differs;
}

void SavePrinter(const JobsRun& run, PrinterJob* job) {
    uint8_t block[kSettingsBlockSize];
    job->outcome = Unreadable;
    job->reason = ReadPrinter(*job->printer, &job->current, block);
    if (!job->reason.empty()) return;
    job->outcome = Saved;
    const WriteResult result = WriteTextFile(job->path.c_str(), SavedFileText(job->printer->name, job->current, block),
                                             run.options->overwrite ? WriteReplace : WriteNew);
    if (result == Written) return;
    job->outcome = Unreadable;  // reported as "cannot be saved", with the reason
    job->reason = Compose(result == NameTaken ? IDS_RPS_FILE_EXISTS : IDS_RPS_CANNOT_WRITE_FILE, job->path.c_str());
}

}  // namespace

std::string SavedFileText(const char* printer, const PrinterSettings& settings,
                          const uint8_t block[kSettingsBlockSize]) {
    ControlTexts texts;  // this thread's own
    return WriteSettingsFile(settings, block, ModelName().c_str(), ControlTexts::Resolve, &texts, printer,
                             UtcNowText().c_str());
}

void WorkOnJob(void* context, size_t index) {
    JobsRun* run = static_cast<JobsRun*>(context);
    PrinterJob* job = &run->jobs[index];
    // --all passes over the printers the panel refuses by their kind; named, they are refused.
    if (run->options->all && IsFilePort(job->printer->destination)) {
        job->outcome = Skipped;
        job->reason = ConsoleText(Text(IDS_FILE_PORT));
        return;
    }
    if (run->command == JobsApply && !job->file && !IsFilePort(job->printer->destination)) {
        job->outcome = Refused;
        job->reason = run->options->before ? Compose(IDS_RPS_NO_BACKUP_BEFORE, run->options->args[1].c_str(),
                                                     run->options->before)
                                           : Compose(IDS_RPS_NO_BACKUP, run->options->args[1].c_str());
        return;
    }
    switch (run->command) {
    case JobsApply: ApplyToPrinter(*run, job); break;
    case JobsCheck: CheckPrinter(*run, job); break;
    case JobsSave: SavePrinter(*run, job); break;
    }
}

std::string ChangeRecord(const JobsRun& run, const PrinterJob& job, const char* result) {
    ControlTexts texts;  // this thread's own
    JsonWriter json;
    run.log->Begin(&json);
    json.Key("command").String(run.restoring ? "restore" : "apply");
    json.Key("printer").String(Utf8(job.printer->name));
    json.Key("file").String(Utf8(FullPath(job.fileName)));
    json.Key("backup").String(job.backedUp ? Utf8(FullPath(job.path)) : "");
    json.Key("result").String(result);
    json.Key("message").String(Utf8(ConsoleText(job.reason)));
    PlannedChangesJson(&json, job, &texts);
    return json.EndObject().Text();
}

}  // namespace rps
