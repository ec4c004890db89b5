// The panel's process-wide data, the SRM handle it holds and the hooks the
// frame gave it.
#include "messages.h"
#include "panel.h"
#include "panel_internal.h"
#include "srm_api.h"

HWND PanelWindow = nullptr;
DWORD SrmHandle = 0;
DWORD Notifications[kNotificationCount] = {};
DWORD WriteRequestId = 0;
int ReadAllowed = 1;
int UpdateAllowed = 1;
int PrinterNotReady = 0;
int ReadPending = 0;
int WritePending = 0;
int ChangesPending = 0;
int ReadRetries = 3;
DWORD ExtStatusValue = static_cast<DWORD>(-1);
DWORD StatusValues[3] = {static_cast<DWORD>(-1), static_cast<DWORD>(-1), static_cast<DWORD>(-1)};
DWORD AuthorityValue = static_cast<DWORD>(-1);
char StatusText[256] = "";

void ReleaseSrmHandle() {
    if (SrmHandle == 0) return;
    for (DWORD& id : Notifications) {
        if (id != 0) KillNotificationMsg(SrmHandle, id);
    }
    for (DWORD& id : Notifications) id = 0;
    CloseManager(SrmHandle);
    SrmHandle = 0;
}

int OpenSrmHandle(const char* printer) {
    char user[kTextSize] = "";
    DWORD userSize = sizeof user;
    if (!GetUserNameA(user, &userSize)) user[0] = '\0';
    DWORD handle = 0;
    if (OpenManagerExA(printer, user, kSrmAccess, &handle) != 0) return 0;
    ReleaseSrmHandle();
    SrmHandle = handle;
    ReadPending = 0;
    WritePending = 0;
    return 1;
}

void ForbidReadAndUpdate() {
    ReadAllowed = 0;
    UpdateAllowed = 0;
}

PanelState* GetPanelState(HWND panel) {
    if (panel == nullptr) return nullptr;
    return reinterpret_cast<PanelState*>(GetWindowLongPtrA(panel, GWLP_USERDATA));
}

namespace {
PanelShellHooks shellHooks = {};
}  // namespace

void SetPanelShellHooks(const PanelShellHooks& hooks) {
    shellHooks = hooks;
}

HWND ShellFrame() {
    return shellHooks.frame ? shellHooks.frame() : nullptr;
}

int ShellToolbarHeight() {
    return shellHooks.toolbarHeight ? shellHooks.toolbarHeight() : 0;
}

void ShellEnableToolbarButton(UINT command, BOOL enable) {
    if (shellHooks.enableToolbarButton) shellHooks.enableToolbarButton(command, enable);
}

void ShellEnterHelpMode() {
    if (shellHooks.enterHelpMode) shellHooks.enterHelpMode();
}

int ShellDiscoverPrinters() {
    return shellHooks.discoverPrinters ? shellHooks.discoverPrinters() : 0;
}

INT_PTR ShellChoosePrinter(HWND owner) {
    return shellHooks.choosePrinter ? shellHooks.choosePrinter(owner) : 0;
}

void ShellReleaseClaims() {
    if (shellHooks.releaseClaims) shellHooks.releaseClaims();
}

void ShellCloseDialogs() {
    if (shellHooks.closeShellDialogs) shellHooks.closeShellDialogs();
}

void ShellPrinterRenamed(const char* formerName) {
    if (shellHooks.printerRenamed) shellHooks.printerRenamed(formerName);
}
