// rpsettings' work on many printers at once (apply, check, save and
// restore): a job for each printer, what happened to it, and the run that
// hands the jobs to the runner (printer_jobs.h) and reports each as it ends.
#pragma once
#include <string>
#include <vector>

#include "apply_plan_pure.h"
#include "change_log.h"
#include "options.h"
#include "printer_jobs.h"
#include "printers.h"
#include "settings_file_pure.h"
#include "site_pure.h"
#include "tool_output.h"

namespace rps {

enum Outcome {
    Applied, Unchanged, WouldChange, Refused, Failed, NotVerified, Conforms, Differs, Unreadable, Saved,
    NotAnswering, NotStarted, Skipped, kOutcomeCount
};
// The outcome as the JSON output names it.
extern const char* const kOutcomeTokens[kOutcomeCount];

struct PrinterJob {
    const PrinterEntry* printer = nullptr;
    Outcome outcome = Failed;
    std::string reason;
    bool readable = true;
    PrinterSettings current = {};  // as read (apply: before the write)
    PrinterSettings after = {};    // apply: as read back; check: what the file says
    bool readBackDiffers = false;
    ApplyPlan plan = {};
    std::string path;  // save: the file; apply: the backup
    bool backedUp = false;
    const ParsedSettings* file = nullptr;  // apply: the run's file; restore: the printer's backup
    std::string fileName;                  //   and its name
    std::string fileTime;                  // restore: when the backup was saved
    bool unlogged = false;                 // apply: the write's result is missing from the change log
};

enum JobsCommand { JobsApply, JobsCheck, JobsSave };

struct JobsRun {
    JobsCommand command;
    const Options* options;
    const ParsedSettings* parsed;  // apply, check
    std::vector<PrinterJob> jobs;
    ControlTexts* texts;           // the calling thread's
    JsonWriter json;               // the "printers" array, as reported
    int counts[kOutcomeCount];
    std::string folder;            // apply and restore: where the backups go (empty: none)
    ChangeLog* log;                // apply and restore: the change log
    bool restoring;                // restore: each printer its own backup
    int unlogged = 0;              // writes whose result the change log lacks
};

// A printer's settings as save writes them: the printer named, the time of
// reading, and the end mark after the block.
std::string SavedFileText(const char* printer, const PrinterSettings& settings,
                          const uint8_t block[kSettingsBlockSize]);
// A record of the change log for a write: "writing" before it, its outcome after.
std::string ChangeRecord(const JobsRun& run, const PrinterJob& job, const char* result);
// The changes a write makes; a printer that cannot be read gets every setting.
void PlannedChangesJson(JsonWriter* json, const PrinterJob& job, ControlTexts* texts);

// The runner's work (on a worker thread) and report (on the calling thread) of a JobsRun.
void WorkOnJob(void* context, size_t index);
void ReportJob(void* context, size_t index, JobEnd end);

// The jobs of the printers; with a directory, each one's file in it (save)
// or the folder of the backups (apply and restore; a dry run makes none).
int PrepareJobs(const std::vector<const PrinterEntry*>& printers, const char* directory, JobsRun* run);
// Runs the jobs and reports them; the exit code.
int RunJobs(JobsRun* run);

}  // namespace rps
