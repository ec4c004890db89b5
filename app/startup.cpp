// Start-up up to the claim of the printer, the message loop and the clean-up
// after it. WinMain (main.cpp) wires them together with the main window.
#include <windows.h>
#include <commctrl.h>
#include <strsafe.h>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "settings.h"
#include "text_pure.h"

namespace {

constexpr int kExitRefused = 1;

// Ends start-up with the refusal's exit code; the printer list goes.
int Refuse() {
    DropPrinterList();
    return kExitRefused;
}

// Ctrl+Tab and Ctrl+Shift+Tab in the panel or a page: the next or the
// previous tab, as if it had been clicked (the tab control tells the panel of
// the change); 0 for any other message.
int StepTabOnKey(const MSG& message, const PanelState* state) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return 0;
    if (message.hwnd != PanelWindow && !IsChild(PanelWindow, message.hwnd)) return 0;
    const int count = static_cast<int>(SendMessageA(state->tabControl, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return 0;
    const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
    const int current = static_cast<int>(SendMessageA(state->tabControl, TCM_GETCURSEL, 0, 0));
    SendMessageA(state->tabControl, TCM_SETCURFOCUS, (current + step) % count, 0);
    return 1;
}

}  // namespace

int IsSupportedSystem() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    if (!GetVersionExA(&version)) return 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return 1;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4 ? 1 : 0;
}

int SettlePrinter(HINSTANCE instance, LPCSTR commandLine) {
    SetAppInstance(instance);
    InvalidateSettings();

    if (!IsSupportedSystem()) {
        ShowStartupMessage(IDS_OS_NOT_SUPPORTED, MB_ICONWARNING);
        return kExitRefused;
    }
    InitCommonControls();

    if (DiscoverPrinters() == 0) {
        ShowStartupMessage(IDS_MODEL_MISSING, MB_ICONWARNING);
        return Refuse();
    }
    SetMultiplePrinters(PrinterCount != 1 ? 1 : 0);

    ChooseCurrentPrinter(ResolveStartPrinter(commandLine));
    if (!CurrentPrinter) return Refuse();

    if (PrinterCount >= 2) {
        // The printer named on the command line only had to exist: the user
        // chooses, and the dialog claims the printer chosen.
        ChooseCurrentPrinter(nullptr);
        if (RunSelectionDialog(nullptr) != 1) return Refuse();
        return 0;
    }

    InstanceMapping = ClaimPrinter(CurrentPrinter->name);
    if (!InstanceMapping) return Refuse();
    return 0;
}

void CleanUpAfterLoop(PanelState* lastState) {
    ReleaseClaims();
    if (lastState) LocalFree(lastState);
    DropPrinterList();
}

int RunMessageLoop(HACCEL accelerators) {
    PanelState* lastState = nullptr;
    MSG message = {};
    int exitCode = 0;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) {
            exitCode = kExitRefused;
            break;
        }
        PanelState* state = PanelWindow && IsWindow(PanelWindow) ? GetPanelState(PanelWindow) : nullptr;
        // The panel frees nothing of its own record; the newest one seen is freed below.
        if (state) {
            lastState = state;
            NotePageFocus(state);
        }

        if (accelerators && MainWindow && TranslateAcceleratorA(MainWindow, accelerators, &message)) continue;
        if (state && state->currentPage) {
            if (StepTabOnKey(message, state)) continue;
            if (IsDialogMessageA(PanelWindow, &message)) continue;
            if (IsDialogMessageA(state->currentPage, &message)) continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CleanUpAfterLoop(lastState);
    return exitCode;
}
