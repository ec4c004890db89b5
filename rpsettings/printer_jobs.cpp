#include "printer_jobs.h"

#include <cstdio>
#include <memory>

#include "scoped.h"

namespace {

// A job may be given up on while running or once written, never while writing.
enum JobState : LONG { StatePending, StateRunning, StateWriting, StateWritten, StateDone, StateGivenUp };

constexpr DWORD kProgressTick = 250;  // ms between progress refreshes

volatile LONG interrupted = 0;
HANDLE wakeEvent = nullptr;  // set when a job is done or Ctrl+C came
bool progressShown = false;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    InterruptPrinterJobs();
    return TRUE;
}

struct Pool;
// The pool and job a worker thread is running, for StartJobWrite.
thread_local Pool* workerPool = nullptr;
thread_local size_t workerJob = 0;

struct Pool {
    size_t count;
    JobWork work;
    void* context;
    std::vector<LONG> state;      // JobState of each job
    std::vector<DWORD> started;   // GetTickCount when it started
    volatile LONG next;
};

DWORD WINAPI Worker(void* parameter) {
    Pool* pool = static_cast<Pool*>(parameter);
    for (;;) {
        const LONG index = InterlockedIncrement(&pool->next) - 1;
        if (index >= static_cast<LONG>(pool->count)) return 0;
        if (interrupted) continue;  // the calling thread reports it as not started
        const size_t i = static_cast<size_t>(index);
        pool->started[i] = GetTickCount();
        if (InterlockedCompareExchange(&pool->state[i], StateRunning, StatePending) != StatePending) continue;
        workerPool = pool;
        workerJob = i;
        pool->work(pool->context, i);
        workerPool = nullptr;
        for (LONG from : {StateRunning, StateWriting, StateWritten})
            if (InterlockedCompareExchange(&pool->state[i], StateDone, from) == from) SetEvent(wakeEvent);
    }
}

bool StartWorker(Pool* pool, std::vector<std::unique_ptr<ScopedHandle>>* threads) {
    std::unique_ptr<ScopedHandle> thread(new ScopedHandle(CreateThread(nullptr, 0, Worker, pool, 0, nullptr)));
    if (!thread->get()) return false;
    threads->push_back(std::move(thread));
    return true;
}

void ShowProgress(size_t done, size_t count, size_t running) {
    std::fprintf(stderr, "\r%u / %u (%u running)   ", static_cast<unsigned>(done), static_cast<unsigned>(count),
                 static_cast<unsigned>(running));
    std::fflush(stderr);
    progressShown = true;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

bool StartJobWrite() {
    if (!workerPool) return true;
    const LONG state = InterlockedCompareExchange(&workerPool->state[workerJob], StateWriting, StateRunning);
    return state == StateRunning || state == StateWriting;
}

void EndJobWrite() {
    if (workerPool) InterlockedCompareExchange(&workerPool->state[workerJob], StateWritten, StateWriting);
}

void InterruptPrinterJobs() {
    InterlockedExchange(&interrupted, 1);
    if (wakeEvent) SetEvent(wakeEvent);
}

bool OnConsole() { return IsConsole(STD_OUTPUT_HANDLE) && IsConsole(STD_ERROR_HANDLE); }

void ClearProgress() {
    if (!progressShown) return;
    std::fprintf(stderr, "\r%40s\r", "");
    std::fflush(stderr);
    progressShown = false;
}

JobRunResult RunPrinterJobs(size_t count, const JobRunOptions& options, JobWork work, JobReport report,
                            void* context) {
    ScopedHandle wake(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    wakeEvent = wake.get();
    InterlockedExchange(&interrupted, 0);
    SetConsoleCtrlHandler(OnControl, TRUE);

    // A worker given up on still uses the pool after this returns: then it is never freed.
    Pool* pool = new Pool{count, work, context, std::vector<LONG>(count, StatePending), std::vector<DWORD>(count, 0), 0};
    std::vector<std::unique_ptr<ScopedHandle>> threads;
    const size_t workers = count < static_cast<size_t>(options.workers) ? count : static_cast<size_t>(options.workers);
    for (size_t i = 0; i < workers; ++i) StartWorker(pool, &threads);
    if (threads.empty()) Worker(pool);  // no thread to be had: this one does it all

    std::vector<bool> reported(count, false);
    size_t done = 0;
    bool abandoned = false;
    while (done < count) {
        WaitForSingleObject(wakeEvent, kProgressTick);
        // A job may start after this: its time is then counted from a start
        // later than now, which must not read as a long wait.
        const DWORD now = GetTickCount();
        size_t running = 0;
        for (size_t i = 0; i < count; ++i) {
            if (reported[i]) continue;
            JobEnd end = JobFinished;
            const LONG state = pool->state[i];
            if (state == StateDone) {
                end = JobFinished;
            } else if ((state == StateRunning || state == StateWritten) && options.timeoutMs != INFINITE &&
                       static_cast<LONG>(now - pool->started[i]) >= static_cast<LONG>(options.timeoutMs) &&
                       InterlockedCompareExchange(&pool->state[i], StateGivenUp, state) == state) {
                // Given up before it began to write, or after its write (a job
                // writing is waited for: no write ever follows this report). The
                // worker stays with this printer: another takes its place.
                end = state == StateWritten ? JobWrittenNotAnswering : JobNotAnswering;
                abandoned = true;
                StartWorker(pool, &threads);
            } else if (state == StatePending && interrupted &&
                       InterlockedCompareExchange(&pool->state[i], StateGivenUp, StatePending) == StatePending) {
                end = JobNotStarted;
            } else {
                running += state == StateRunning || state == StateWriting || state == StateWritten;
                continue;
            }
            reported[i] = true;
            ++done;
            ClearProgress();
            report(context, i, end);
        }
        if (options.progress && done < count) ShowProgress(done, count, running);
    }
    ClearProgress();
    SetConsoleCtrlHandler(OnControl, FALSE);
    if (!abandoned) {
        for (const auto& thread : threads) WaitForSingleObject(thread->get(), INFINITE);
        delete pool;
        wakeEvent = nullptr;
    } else {
        wake.Release();  // a worker given up on may still set it
    }
    return {interrupted != 0, abandoned};
}
