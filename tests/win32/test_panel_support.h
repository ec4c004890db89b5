// Helpers for the Win32 tests of the main window and the panel: the real
// main window over simulated printers in a registry of the test's own
// (ScratchMachine), the help seam recorded, commands reaching the panel
// recorded, and the program-wide state put back between tests.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "mainwnd.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "settings.h"
#include "status.h"
#include "support_srm.h"
#include "test_shell_support.h"

namespace paneltest {

using shelltest::BoxRecorder;
using shelltest::DialogScript;
using shelltest::ScratchMachine;
using shelltest::Text;
using shelltest::Title;

constexpr DWORD kWaitMs = 5000;

// ---- Program-wide state ----

inline void ResetPanelData() {
    ReleaseSrmHandle();
    SrmHandle = 0;
    for (DWORD& id : Notifications) id = 0;
    WriteRequestId = 0;
    ReadAllowed = 1;
    UpdateAllowed = 1;
    PrinterNotReady = 0;
    ReadPending = 0;
    WritePending = 0;
    ReadRetries = 3;
    ExtStatusValue = static_cast<DWORD>(-1);
    for (DWORD& word : StatusValues) word = static_cast<DWORD>(-1);
    AuthorityValue = static_cast<DWORD>(-1);
    StatusText[0] = '\0';
    SwitchFlag = 1;
}

inline void ResetWindows() {
    MainWindow = nullptr;
    ToolbarWindow = nullptr;
    PanelWindow = nullptr;
    HelpModeWindow = nullptr;
    SetForegroundRole(nullptr);
}

inline void RegisterMainClassOnce() {
    static ATOM atom = RegisterMainClass();
    ASSERT_NE(atom, 0) << "RPWndClass not registered";
}

// ---- The help seam ----

struct RecordedHelp {
    HWND window;
    UINT command;
    ULONG_PTR data;
};

class HelpRecorder {
public:
    HelpRecorder() {
        active_ = this;
        SetHelpHook(&HelpRecorder::Hook);
    }
    ~HelpRecorder() {
        SetHelpHook(nullptr);
        active_ = nullptr;
    }
    HelpRecorder(const HelpRecorder&) = delete;
    HelpRecorder& operator=(const HelpRecorder&) = delete;
    std::vector<RecordedHelp> calls;

private:
    static BOOL Hook(HelpEngine, HWND window, LPCSTR, UINT command, ULONG_PTR data) {
        if (active_) active_->calls.push_back({window, command, data});
        return TRUE;
    }
    static inline HelpRecorder* active_ = nullptr;
};

// ---- Commands that reach the panel ----

// Records the command id of every WM_COMMAND sent to the panel while it lives.
class PanelCommandRecorder {
public:
    PanelCommandRecorder() {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, &PanelCommandRecorder::Hook, nullptr, GetCurrentThreadId());
    }
    ~PanelCommandRecorder() {
        if (hook_) UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    PanelCommandRecorder(const PanelCommandRecorder&) = delete;
    PanelCommandRecorder& operator=(const PanelCommandRecorder&) = delete;
    bool Hooked() const { return hook_ != nullptr; }
    std::vector<int> commands;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && active_ && sent && sent->message == WM_COMMAND && PanelWindow &&
            sent->hwnd == PanelWindow)
            active_->commands.push_back(LOWORD(sent->wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_ = nullptr;
    static inline PanelCommandRecorder* active_ = nullptr;
};

// ---- Reading the window ----

inline bool ToolbarEnabled(int command) {
    return ToolbarWindow && SendMessageA(ToolbarWindow, TB_ISBUTTONENABLED, command, 0) != 0;
}

inline bool ControlEnabled(int id) {
    return PanelWindow && IsWindowEnabled(GetDlgItem(PanelWindow, id)) != FALSE;
}

inline std::string ControlText(HWND dialog, int id) {
    char text[kTextSize] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

inline std::string WindowCaption(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Has the panel renew the texts it sets while painting (the window may be
// hidden, which gets no WM_PAINT of its own).
inline void PaintNow() {
    if (PanelWindow) SendMessageA(PanelWindow, WM_PAINT, 0, 0);
    PumpPending();
}

// ---- The panel over simulated printers ----

// A registry of its own with the help file set, simulated printers known to
// the spooler, the main window and panel of the real program, torn down
// again afterwards. Tests add printers, then Open() one of them. The main
// window stays hidden: without a window manager Wine waits two seconds
// whenever a shown frame is hidden or destroyed.
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        ASSERT_TRUE(machine_.Ok());
        boxes_.boxes.clear();
        boxes_.answers.clear();
        help_.calls.clear();
        shelltest::ResetShellState();
        ResetWindows();
        ResetPanelData();
        InvalidateSettings();
        ClearCustomFeeds(&CustomFeeds);
        machine_.SetString(std::string(SUITE_PRINTERS_KEY) + "\\" + Text(IDS_MODEL_NAME), "RPHLP", "C:\\help\\rp.hlp");
        RegisterMainClassOnce();
    }

    void TearDown() override {
        CloseWindowQuietly();
        if (state_) LocalFree(state_);
        state_ = nullptr;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        printers_.clear();
        ResetPanelData();
        shelltest::ResetShellState();
        ResetWindows();
    }

    SimulatedPrinter& AddPrinter(const std::string& label, const std::string& port = "LPT1:") {
        printers_.push_back(std::make_unique<SimulatedPrinter>(label, SpoolerEntry::Register, kSrmDefaultDriver, port));
        EXPECT_EQ(printers_.back()->AddResult(), 0u) << label;
        return *printers_.back();
    }

    static PrinterEntry* Listed(const std::string& name) {
        for (PrinterEntry* entry = PrinterList; entry; entry = entry->next)
            if (entry->name && name == entry->name) return entry;
        return nullptr;
    }

    // Start-up from discovery on: the printer is served, the main window made.
    // With waitForRead the panel's first read must have ended.
    bool Open(const SimulatedPrinter& printer, bool waitForRead = true) {
        DiscoverPrinters();
        SetMultiplePrinters(PrinterCount != 1);
        ChooseCurrentPrinter(Listed(printer.Name()));
        if (!CurrentPrinter) return false;
        InstanceMapping = ClaimPrinter(CurrentPrinter->name);
        if (!InstanceMapping) return false;
        if (!CreateMainWindow()) return false;
        state_ = GetPanelState(PanelWindow);
        if (!waitForRead) return true;
        return PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs);
    }

    // Quits without any question (pending changes are dropped first).
    void CloseWindowQuietly() {
        if (PanelWindow) {
            SetChangesPending(PanelWindow, 0);
            SendMessageA(PanelWindow, WM_COMMAND, IDC_QUIT, 0);
        }
        if (MainWindow) DestroyWindow(MainWindow);
        PumpPending();
    }

    void Command(int id) { SendMessageA(MainWindow, WM_COMMAND, id, 0); }
    void PanelCommand(int id) { SendMessageA(PanelWindow, WM_COMMAND, id, 0); }

    // Marks a change as a page does.
    void ChangeSetting() { SendMessageA(PanelWindow, RPM_SETTINGCHANGED, 0, 0); }

    PanelState* State() const { return GetPanelState(PanelWindow); }
    HWND Page(int index) const {
        PanelState* state = State();
        return state ? state->pages[index] : nullptr;
    }

    ScratchMachine machine_;
    BoxRecorder boxes_;
    HelpRecorder help_;
    std::vector<std::unique_ptr<SimulatedPrinter>> printers_;
    PanelState* state_ = nullptr;  // freed here, as start-up does after its loop
};

}  // namespace paneltest
