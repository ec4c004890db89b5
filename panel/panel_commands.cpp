// The panel's commands: update (and quit), read, show defaults, change the
// printer and the help mode, each with its busy checks and confirmations,
// and the small steps the other parts of the panel take too.
#include <windows.h>
#include <commctrl.h>

#include "messages.h"
#include "panel.h"
#include "panel_internal.h"
#include "printers.h"
#include "resource.h"
#include "settings.h"
#include "srm_api.h"
#include "status.h"
#include "status_pure.h"

HWND StatusControl(HWND panel) {
    return GetDlgItem(panel, IDC_STATUSTEXT);
}

void SendQuit(HWND panel) {
    SendMessageA(panel, WM_COMMAND, IDC_QUIT, reinterpret_cast<LPARAM>(GetDlgItem(panel, IDC_QUIT)));
}

void SendRead(HWND panel) {
    SendMessageA(panel, WM_COMMAND, CMD_READSETTINGS, 0);
}

void SendRefreshes(HWND panel) {
    for (UINT message = RPM_REFRESH1; message <= RPM_REFRESH5; ++message) SendMessageA(panel, message, 0, 0);
}

void ShowRecordInPages(HWND panel) {
    SetPagesEnabled(panel, 1);
    SendToPageSlots(panel, RPM_SHOWRECORD);
    ReturnFocusToPage(panel);
}

void ShowTitledWarning(HWND panel, UINT textId) {
    char text[kTextSize];
    char title[kTextSize];
    LoadText(textId, text, kTextSize);
    LoadText(IDS_TITLE, title, kTextSize);
    ShowMessageBox(panel, text, title, MB_ICONWARNING);
}

int RefuseWhileBusy(HWND panel) {
    UINT text = 0;
    if (WritePending)
        text = IDS_BUSY_WRITING;
    else if (ReadPending)
        text = IDS_BUSY_READING;
    else if (PrinterNotReady)
        text = IDS_BUSY_PRINTER;
    if (!text) return 0;
    ShowPanelMessage(panel, text, MB_ICONINFORMATION);
    return 1;
}

int ConfirmDiscard(HWND panel) {
    if (!ChangesPending) return 1;
    const int answer = ShowPanelMessage(panel, IDS_SETTINGS_CHANGED, MB_OKCANCEL | MB_ICONQUESTION);
    return answer == IDOK && IsLivePanel(panel);
}

namespace {

// Updating is allowed and the printer free (else a box said why it is busy).
// Asked again after every box on the way to a write.
int MayUpdateNow(HWND panel) {
    return UpdateAllowed && !RefuseWhileBusy(panel) && IsLivePanel(panel);
}

// A switch byte that the printer would hold as 0xFF cannot be sent: the page
// with a setting that made it so comes forward and a box says why; the
// record, the pages and the update buttons stay as they are. 1 when refused.
int RefuseUnsendableSwitches(HWND panel) {
    const int byte = UnsendableSwitchByte(Settings);
    if (byte < 0) return 0;
    const uint8_t added = static_cast<uint8_t>(Settings.switches[byte] & ~LoadedSwitches()[byte]);
    BringTabForward(panel, TabEditingSwitchBits(byte, added));
    ShowPanelMessage(panel, IDS_SETTINGS_UNSENDABLE, MB_ICONWARNING);
    if (IsLivePanel(panel)) ReturnFocusToPage(panel);
    return 1;
}

// The collect pass before a write; 1 when the record may be written. Every
// refusal has said why. A record that is not loaded holds no settings of the
// printer: the pages would store into it only what they have, and nothing of
// it may be written.
int CollectForWrite(HWND panel) {
    if (!IsRecordLoaded()) {
        ShowPanelMessage(panel, kTextNeither, MB_ICONWARNING);
        return 0;
    }
    int collected = 0;
    {
        PanelModalScope pageWarnings;
        collected = CollectPages(panel);
    }
    if (!collected || !IsLivePanel(panel)) return 0;
    return RefuseUnsendableSwitches(panel) ? 0 : 1;
}

// Every way to update (the buttons, Enter) refuses without a word while the
// printer does not let this user update: the status says so.
void OnUpdateThenQuit(HWND panel) {
    if (!MayUpdateNow(panel) || !CollectForWrite(panel) || !MayUpdateNow(panel)) return;
    const WriteOutcome outcome = WriteSettings(panel, 1);
    if (!IsLivePanel(panel)) return;
    if (outcome != WriteSent) {
        // Only a write the user gave up, its changes kept, asks whether to
        // quit all the same.
        if (outcome != WriteCancelled) return;
        const int answer = ShowPanelMessage(panel, IDS_QUIT_UNFINISHED, MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES || !IsLivePanel(panel)) return;
    }
    ClosePanel(panel);
}

void OnUpdate(HWND panel) {
    if (!MayUpdateNow(panel) || !CollectForWrite(panel) || !MayUpdateNow(panel)) return;
    WriteSettings(panel, 0);
}

void OnRead(HWND panel) {
    if (!ReadAllowed) return;
    if (RefuseWhileBusy(panel)) return;
    if (!ConfirmDiscard(panel)) return;
    // Handled while the question was up: a read or write may have started,
    // or the printer may no longer allow reading now; the changes stay.
    if (!ReadAllowed || ReadPending || WritePending || RefuseWhileBusy(panel)) return;
    SetPagesEnabled(panel, 0);
    SetChangesPending(panel, 0);
    InvalidateSettings();
    SendRefreshes(panel);
    ReadPending = 1;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    NoteReadRequestRefused(0);
    if (GetReqPrinterStatusMsgA(SrmHandle, SRM_ITEM_SETTINGS, panel, RPM_READREPLY) == 0) return;

    // No reply will come: end the read as after its last failed attempt.
    NoteReadRequestRefused(1);
    ReadPending = 0;
    ReadRetries = kReadAttempts;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    ShowPanelMessage(panel, IDS_READ_FAILED, MB_ICONWARNING);
    if (IsLivePanel(panel) && !ReadPending) ShowRecordInPages(panel);
}

void OnShowDefaults(HWND panel) {
    // Not while reading (the reply would overwrite them), nor for a printer
    // that cannot be used or has gone.
    if (ReadPending || !(ReadAllowed || UpdateAllowed)) return;
    LoadDefaultSettings();
    SendToPageSlots(panel, RPM_SHOWRECORD);
    ReturnFocusToPage(panel);
    // Pending, and shown as such once the printer may be updated.
    SetChangesPending(panel, 1);
}

void OnChangePrinter(HWND panel) {
    const int count = ShellDiscoverPrinters();
    if (count == 0) {
        ShowTitledWarning(panel, IDS_MODEL_MISSING);
        SendQuit(panel);
        return;
    }
    SetMultiplePrinters(count != 1);
    if (count == 1) {
        RefreshToolbar();
        return;
    }
    INT_PTR chosen = 0;
    {
        PanelModalScope selection;
        chosen = ShellChoosePrinter(panel);
    }
    if (!IsLivePanel(panel)) return;
    if (chosen != 1) {
        if (!CurrentPrinter) SendQuit(panel);
        return;
    }
    // The dialog has claimed the new printer before it let the old one go.
    SetForegroundRole(panel);
    ReopenPanel(panel);
}

}  // namespace

BOOL OnCommand(HWND panel, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
        // Enter does what the default button would: nothing while it is off.
        if (!IsWindowEnabled(GetDlgItem(panel, IDC_UPDATEQUIT))) return TRUE;
        OnUpdateThenQuit(panel);
        return TRUE;
    case IDC_UPDATEQUIT:
        OnUpdateThenQuit(panel);
        return TRUE;
    case IDC_QUIT:
    case IDCANCEL:
        OnQuit(panel);
        return TRUE;
    case IDC_UPDATE:
        OnUpdate(panel);
        return TRUE;
    case IDC_HELPBUTTON:
        ShowHelp(panel, HELP_FINDER, 0);
        return TRUE;
    case CMD_READSETTINGS:
        OnRead(panel);
        return TRUE;
    case CMD_SHOWDEFAULTS:
        OnShowDefaults(panel);
        return TRUE;
    case CMD_CHANGEPRINTER:
        OnChangePrinter(panel);
        return TRUE;
    case CMD_HELPMODE:
        ShellEnterHelpMode();
        return TRUE;
    }
    if (ForegroundRoleWindow && ForegroundRoleWindow != panel)
        SendMessageA(ForegroundRoleWindow, WM_COMMAND, wParam, lParam);
    return FALSE;
}
