// Start-up benchmark: starts RemotePanel.exe and the limit program
// (bench_limit.exe) alternately, the same way, and watches each from outside
// until its status text in static 281 is shown and its first page is enabled
// (the panel: string 93; the limit program: "ready"; the Paper page of both). At that moment it takes the process's peak working set,
// private bytes and thread count, then ends the process. Prints the medians
// and the ratios panel / limit.
//
//   bench_startup.exe [RUNS] [PANEL-ARGUMENTS]    (RUNS at least 7, default 7)
//
// Also printed: each run's start time, the fastest of each program, and the
// median of the ratios of the pairs of runs.
//
// Needs a printer of the served model (srmctl add TK-1). One run of each
// before the counted runs warms the caches and is not counted.
#include <windows.h>
#include <psapi.h>
#include <strsafe.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resource.h"

namespace {

constexpr UINT kReadyTextId = 93;     // "設定の読み込み／更新ができます。"
constexpr int kPaperPageMarker = IDC_PAGE0_MARKER;
constexpr DWORD kRunTimeoutMs = 20000;
constexpr DWORD kPollMs = 1;
constexpr int kMinimumRuns = 7;

struct Program {
    const char* label;
    std::string path;
    std::string arguments;
    std::string readyText;  // what static 281 shows when it is ready
    int pageControl;        // enabled once the first page is
};

struct Sample {
    double startMs;
    double peakWorkingSetMb;
    double privateMb;
    double threads;
};

std::string BesideThisProgram(const char* file) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, ARRAYSIZE(path));
    std::string directory(path, length < ARRAYSIZE(path) ? length : 0);
    const size_t slash = directory.find_last_of("\\/");
    directory = slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
    return directory + file;
}

// String id of the panel program's own table, in the ANSI code page.
std::string ProgramString(const std::string& module, UINT id) {
    HMODULE data = LoadLibraryExA(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!data) return std::string();
    char text[512] = "";
    LoadStringA(data, id, text, sizeof text);
    FreeLibrary(data);
    return text;
}

// ---- Reading another process's windows (no message is sent to it) ----

struct Search {
    DWORD processId;
    int controlId;
    HWND found;
};

BOOL CALLBACK FindControl(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (GetDlgCtrlID(window) == search->controlId) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindInTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    EnumChildWindows(window, FindControl, parameter);
    return search->found ? FALSE : TRUE;
}

HWND FindProcessControl(DWORD processId, int controlId) {
    Search search = {processId, controlId, nullptr};
    EnumWindows(FindInTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The two controls of one run, looked for until found and then kept: a search
// walks every window of the process through the Wine server, and repeated
// every millisecond it would slow the program watched in proportion to its
// number of windows.
struct Watched {
    HWND status = nullptr;
    HWND page = nullptr;
};

HWND Keep(HWND* kept, DWORD processId, int controlId) {
    if (*kept && !IsWindow(*kept)) *kept = nullptr;
    if (!*kept) *kept = FindProcessControl(processId, controlId);
    return *kept;
}

bool IsReady(const Program& program, DWORD processId, Watched* watched) {
    HWND status = Keep(&watched->status, processId, IDC_STATUSTEXT);
    if (!status) return false;
    char text[512] = "";
    GetWindowTextA(status, text, sizeof text);  // another process's window: the stored text
    if (program.readyText != text) return false;
    HWND page = Keep(&watched->page, processId, program.pageControl);
    return page && IsWindowEnabled(page);
}

DWORD ThreadCount(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == processId) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

double Now(LARGE_INTEGER frequency) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program, waits until it is ready; false (with a message) when
// it ended or did not get ready in time.
bool RunOnce(const Program& program, Sample* sample) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::string commandLine = "\"" + program.path + "\"";
    if (!program.arguments.empty()) commandLine += " " + program.arguments;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};

    const double start = Now(frequency);
    if (!CreateProcessA(program.path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "%s: cannot start %s (error %lu)\n", program.label, program.path.c_str(),
                     GetLastError());
        return false;
    }
    bool ready = false;
    Watched watched;
    for (;;) {
        if (IsReady(program, process.dwProcessId, &watched)) {
            ready = true;
            break;
        }
        if (Now(frequency) - start > kRunTimeoutMs) break;
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) break;
    }
    if (ready) {
        sample->startMs = Now(frequency) - start;
        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        sample->peakWorkingSetMb = memory.PeakWorkingSetSize / (1024.0 * 1024.0);
        // Wine fills only the first part of the record; there the commit
        // charge is in PagefileUsage, as it is on Windows too.
        const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        sample->privateMb = privateBytes / (1024.0 * 1024.0);
        sample->threads = ThreadCount(process.dwProcessId);
    } else {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        std::fprintf(stderr, "%s: not ready (%s, exit code %lu)\n", program.label,
                     exitCode == STILL_ACTIVE ? "timed out" : "ended", exitCode);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ready;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Best(const std::vector<Sample>& samples) {
    double best = samples.front().startMs;
    for (const Sample& s : samples) best = std::min(best, s.startMs);
    return best;
}

Sample Medians(const std::vector<Sample>& samples) {
    std::vector<double> start, peak, privateBytes, threads;
    for (const Sample& s : samples) {
        start.push_back(s.startMs);
        peak.push_back(s.peakWorkingSetMb);
        privateBytes.push_back(s.privateMb);
        threads.push_back(s.threads);
    }
    return {Median(start), Median(peak), Median(privateBytes), Median(threads)};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : kMinimumRuns;
    if (runs < kMinimumRuns) runs = kMinimumRuns;
    const std::string panelPath = BesideThisProgram("RemotePanel.exe");
    std::string panelArguments;
    for (int i = 2; i < argc; ++i) panelArguments += std::string(i > 2 ? " " : "") + argv[i];

    Program programs[] = {
        {"panel", panelPath, panelArguments, ProgramString(panelPath, kReadyTextId), kPaperPageMarker},
        {"limit", BesideThisProgram("bench_limit.exe"), "", "ready", kPaperPageMarker},
    };
    if (programs[0].readyText.empty()) {
        std::fprintf(stderr, "cannot read string %u of %s\n", kReadyTextId, panelPath.c_str());
        return 1;
    }

    std::vector<Sample> samples[2];
    for (int run = -1; run < runs; ++run) {
        for (int p = 0; p < 2; ++p) {
            Sample sample = {};
            if (!RunOnce(programs[p], &sample)) return 1;
            if (run >= 0) samples[p].push_back(sample);
        }
    }

    for (int p = 0; p < 2; ++p) {
        std::printf("%s start ms:", programs[p].label);
        for (const Sample& s : samples[p]) std::printf(" %.0f", s.startMs);
        std::printf("\n");
    }
    const Sample panel = Medians(samples[0]);
    const Sample limit = Medians(samples[1]);
    std::printf("start-up, medians of %d alternating runs each (after one warm-up run each)\n", runs);
    std::printf("%-8s %10s %16s %14s %8s\n", "", "start ms", "peak working set", "private bytes", "threads");
    for (const auto& row : {std::make_pair("panel", panel), std::make_pair("limit", limit)}) {
        std::printf("%-8s %10.0f %13.1f MB %11.1f MB %8.0f\n", row.first, row.second.startMs,
                    row.second.peakWorkingSetMb, row.second.privateMb, row.second.threads);
    }
    std::printf("%-8s %10.2f %16.2f %14.2f %8.1f\n", "ratio", panel.startMs / limit.startMs,
                panel.peakWorkingSetMb / limit.peakWorkingSetMb, panel.privateMb / limit.privateMb,
                panel.threads / limit.threads);
    // On a shared machine single runs stall now and then; the fastest run of
    // each shows the work itself.
    const double bestPanel = Best(samples[0]);
    const double bestLimit = Best(samples[1]);
    std::printf("fastest start: panel %.0f ms, limit %.0f ms, ratio %.2f\n", bestPanel, bestLimit,
                bestPanel / bestLimit);
    // A run of each, one right after the other, meets the same load.
    std::vector<double> pairRatios;
    for (size_t i = 0; i < samples[0].size(); ++i) pairRatios.push_back(samples[0][i].startMs / samples[1][i].startMs);
    std::printf("start ratio, median of the %d pairs of runs: %.2f\n", runs, Median(pairRatios));
    return 0;
}
