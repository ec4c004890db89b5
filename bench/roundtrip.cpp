// Round trips of the real panel against the stand-in SRM with immediate
// replies, in one process: the read (command 282 until the pages are filled
// again) and the update (button 12321 until the write reply is handled).
// Prints the median and the 95th percentile of each.
//
//   bench_roundtrip.exe [ROUNDS]    (default 50)
//
// It adds a printer of its own (known to the spooler) and removes it again.
// The main window stays hidden, as in the tests: without a window manager
// Wine would wait whenever a shown frame is hidden.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app.h"
#include "mainwnd.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "settings.h"
#include "srm_sim.h"

namespace {

constexpr DWORD kTimeoutMs = 5000;
constexpr int kDefaultRounds = 50;

int boxesShown = 0;

// No box may come up on these roads; one that does is counted and closed.
int CountBox(HWND, LPCSTR text, LPCSTR, UINT) {
    ++boxesShown;
    std::fprintf(stderr, "message box: %s\n", text ? text : "");
    return IDOK;
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Dispatches messages until condition holds; waits for messages, never sleeps.
bool PumpUntil(const std::function<bool()>& condition) {
    const DWORD start = GetTickCount();
    MSG message;
    while (!condition()) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kTimeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kTimeoutMs - elapsed, QS_ALLINPUT);
    }
    return true;
}

// The Paper page's marker control, looked up once it exists: the condition is
// checked after every message, and a lookup is a request to the Wine server
// that would be counted in the round trip.
HWND paperMarker = nullptr;

bool PagesFilled() {
    if (!paperMarker) {
        PanelState* state = GetPanelState(PanelWindow);
        if (!state || !state->pages[0]) return false;
        paperMarker = GetDlgItem(state->pages[0], IDC_PAGE0_MARKER);
    }
    return ReadPending == 0 && IsRecordLoaded() && paperMarker && IsWindowEnabled(paperMarker);
}

struct Figures {
    double median;
    double p95;
};

Figures Summarize(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    const size_t rank = (95 * n + 99) / 100;  // nearest rank
    return {median, ms[rank > 0 ? rank - 1 : 0]};
}

bool OpenPanel(const std::string& name) {
    DiscoverPrinters();
    SetMultiplePrinters(PrinterCount != 1);
    for (PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        if (entry->name && name == entry->name) ChooseCurrentPrinter(entry);
    }
    if (!CurrentPrinter) return false;
    InstanceMapping = ClaimPrinter(CurrentPrinter->name);
    if (!InstanceMapping || !RegisterMainClass() || !CreateMainWindow()) return false;
    return PumpUntil(PagesFilled);
}

// Command 282 until the pages show the record read.
bool ReadOnce(double* ms) {
    const double start = Now();
    SendMessageA(PanelWindow, WM_COMMAND, CMD_READSETTINGS, 0);
    if (!PumpUntil(PagesFilled)) return false;
    *ms = Now() - start;
    return true;
}

// A page's change, then button 12321 until the write reply is handled.
bool UpdateOnce(double* ms) {
    SendMessageA(PanelWindow, RPM_SETTINGCHANGED, 0, 0);
    HWND button = GetDlgItem(PanelWindow, IDC_UPDATE);
    const double start = Now();
    SendMessageA(PanelWindow, WM_COMMAND, MAKEWPARAM(IDC_UPDATE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (!WritePending) return false;  // the update did not start
    if (!PumpUntil([] { return WritePending == 0; })) return false;
    *ms = Now() - start;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultRounds;
    SetAppInstance(GetModuleHandleA(nullptr));
    SetMessageBoxHook(CountBox);
    InvalidateSettings();
    ClearCustomFeeds(&CustomFeeds);

    const std::string name = "BENCH-" + std::to_string(GetCurrentProcessId());
    if (SrmSimAddPrinter(name.c_str(), nullptr, nullptr, kSrmDefaultDriver) != 0) {
        std::fprintf(stderr, "cannot add the printer %s\n", name.c_str());
        return 1;
    }
    bool done = OpenPanel(name);
    std::vector<double> reads, updates;
    for (int i = 0; done && i < rounds; ++i) {
        double ms = 0;
        done = ReadOnce(&ms);
        reads.push_back(ms);
        done = done && UpdateOnce(&ms);
        updates.push_back(ms);
    }
    PanelState* state = PanelWindow ? GetPanelState(PanelWindow) : nullptr;
    if (PanelWindow) {
        SetChangesPending(PanelWindow, 0);
        SendMessageA(PanelWindow, WM_COMMAND, IDC_QUIT, 0);
    }
    PumpUntil([] { return MainWindow == nullptr; });
    CleanUpAfterLoop(state);
    SrmSimRemovePrinter(name.c_str());

    if (!done || boxesShown) {
        std::fprintf(stderr, "the round trips did not complete (%d boxes shown)\n", boxesShown);
        return 1;
    }
    const Figures read = Summarize(reads);
    const Figures update = Summarize(updates);
    std::printf("round trips against the stand-in, immediate replies, %d rounds\n", rounds);
    std::printf("%-8s %10s %10s\n", "", "median ms", "p95 ms");
    std::printf("%-8s %10.2f %10.2f\n", "read", read.median, read.p95);
    std::printf("%-8s %10.2f %10.2f\n", "update", update.median, update.p95);
    return 0;
}
