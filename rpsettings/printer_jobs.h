// Working on many printers at once: a bounded pool of threads takes the jobs
// in order; the calling thread hands each job to a report callback as soon as
// it is done, shows progress on a console, gives up waiting on a printer that
// has not answered within the time allowed, and stops starting new jobs after
// Ctrl+C or Ctrl+Break while the ones under way finish.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// How a job ended, as the calling thread saw it.
enum JobEnd {
    JobFinished,    // the work function returned
    JobNotAnswering,  // still running when the time allowed ran out; its state is unknown
    JobWrittenNotAnswering,  // the same after its write (EndJobWrite): written, the rest unknown
    JobNotStarted,  // interrupted before it started
};

struct JobRunOptions {
    int workers;          // at most this many jobs at once
    DWORD timeoutMs;      // per job; INFINITE for none
    bool progress;        // "N / M" on standard error while jobs are pending
};

// work(context, index) runs on a worker thread; report(context, index, end)
// runs on the calling thread, once a job, in the order the jobs end. A job
// given up as not answering goes on in the background: report must not read
// what its work function writes.
typedef void (*JobWork)(void* context, size_t index);
typedef void (*JobReport)(void* context, size_t index, JobEnd end);

struct JobRunResult {
    bool interrupted;  // Ctrl+C or Ctrl+Break came
    bool abandoned;    // some job still runs: the process must end without cleaning up
};

JobRunResult RunPrinterJobs(size_t count, const JobRunOptions& options, JobWork work, JobReport report,
                            void* context);

// Called by a work function just before it changes anything outside (writes
// a printer): false when the run has given up waiting on this job (it has been
// reported as not answering), and then nothing may be changed. The switch to
// writing and the give-up are one decision: once this has said true, the run
// waits for the job, past the time allowed, until EndJobWrite (or the end of
// the work), so that no write ever follows its report as not answering.
// True outside RunPrinterJobs.
bool StartJobWrite();
// Called when the write is done: from here the job may be given up again
// (then reported as JobWrittenNotAnswering).
void EndJobWrite();

// What Ctrl+C and Ctrl+Break do: no job starts any more.
void InterruptPrinterJobs();

// 1 when standard output and standard error are both consoles (progress is shown only then).
bool OnConsole();
// Clears the progress line before other output on standard error or output.
void ClearProgress();
