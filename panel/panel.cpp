// The panel dialog (template 117): opens the printer through the SRM, shows
// which printer is served and in which state, hosts the setting pages and
// hands its commands, the printer's replies and its ending to the files that
// carry them out (panel_commands, panel_replies, panel_modal).
#include <windows.h>
#include <commctrl.h>

#include "messages.h"
#include "panel.h"
#include "panel_internal.h"
#include "printers.h"
#include "resource.h"
#include "scoped.h"
#include "settings.h"
#include "srm_api.h"
#include "status.h"
#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr char kEllipsis[] = "...";

void EnableUpdateButtons(HWND panel, BOOL enable) {
    EnableWindow(GetDlgItem(panel, IDC_UPDATEQUIT), enable);
    EnableWindow(GetDlgItem(panel, IDC_UPDATE), enable);
    if (!enable) KeepFocusUsable(panel);
}

void SetTextIfChanged(HWND window, const char* text) {
    if (!window) return;
    char current[kTextSize];
    GetWindowTextA(window, current, sizeof current);
    if (!TextEquals(current, text)) SetWindowTextA(window, text);
}

// Shows text in a static of the panel, cut with "..." to its width.
void FitStatic(HWND panel, int controlId, const char* text) {
    HWND control = GetDlgItem(panel, controlId);
    if (!control) return;
    char fitted[kTextSize] = "";
    {
        WindowDC dc(control);
        if (!dc.get()) return;
        Selection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT client = {};
        GetClientRect(control, &client);
        FitText(dc.get(), client.right - client.left, TextOrEmpty(text), kEllipsis, fitted, sizeof fitted);
    }
    SetTextIfChanged(control, fitted);
}

// First creation: the tab host, and the panel placed below the toolbar.
int CreateTabHost(HWND panel) {
    auto* state = static_cast<PanelState*>(LocalAlloc(LPTR, sizeof(PanelState)));
    if (!state) {
        ShowAllocationError(AppInstance, panel, GetLastError());
        return 0;
    }
    SetWindowLongPtrA(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    state->tabImages = nullptr;
    state->focusReturn = nullptr;
    state->tabControl = GetDlgItem(panel, IDC_TABS);
    if (!SetUpTabs(panel, state)) return 0;
    SetWindowPos(panel, nullptr, 0, ShellToolbarHeight(), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return 1;
}

void OnOpen(HWND panel) {
    // The status display and the toolbar find the panel through PanelWindow
    // while it is still being created.
    PanelWindow = panel;
    SetForegroundRole(panel);
    SetForegroundWindow(panel);

    if (CurrentPrinter && IsFilePort(CurrentPrinter->destination)) {
        ShowTitledWarning(panel, IDS_FILE_PORT);
        ExitProcess(1);
    }

    if (!GetPanelState(panel) && !CreateTabHost(panel)) {
        SendQuit(panel);
        return;
    }
    ShowStatus(StatusControl(panel));

    if (SrmHandle == 0) {
        const char* name = CurrentPrinter ? CurrentPrinter->name : nullptr;
        if (!name || !name[0]) return;
        if (!OpenSrmHandle(name)) {
            ForbidReadAndUpdate();
            LoadText(IDS_SRM_NOT_OPENED, MessageText, kTextSize);
            ReportUnusable(panel, 1);
            return;
        }
        if (SrmHandle == 0) return;
    }
    InvalidateSettings();
    ShowStatus(StatusControl(panel));

    TakeOpeningStatus(panel, RegisterNotifications(panel) && ReadStatusItems());
}

void OnPaint(HWND panel) {
    char caption[kTextSize];
    if (CurrentPrinter) {
        FitStatic(panel, IDC_MODELTEXT, CurrentPrinter->model);
        FitStatic(panel, IDC_PORTTEXT, CurrentPrinter->destination);
        BuildTitleCaption(caption, sizeof caption, CurrentPrinter->name);
        HWND frame = ShellFrame();
        SetTextIfChanged(frame ? frame : GetParent(panel), caption);
    } else {
        BuildTitleCaption(caption, sizeof caption, nullptr);
        SetTextIfChanged(GetParent(panel), caption);
    }
}

BOOL OnNotify(HWND panel, const NMHDR* header) {
    PanelState* state = GetPanelState(panel);
    if (!state || !header || header->hwndFrom != state->tabControl) return FALSE;
    if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
        state->focusReturn = GetFocus() == state->tabControl ? state->tabControl : state->currentPage;
        SetWindowLongPtrA(panel, DWLP_MSGRESULT, FALSE);  // let the selection change
        return TRUE;
    }
    if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowPage(panel, static_cast<int>(SendMessageA(state->tabControl, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    return FALSE;
}

INT_PTR HandlePanelMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnOpen(panel);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(panel, wParam, lParam);
    case WM_PAINT:
        OnPaint(panel);
        return FALSE;  // the dialog's own painting follows
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!item || item->CtlID != IDC_STATUSPICTURE) return FALSE;
        DrawStatusPicture(panel, item);
        return TRUE;
    }
    case WM_NOTIFY:
        return OnNotify(panel, reinterpret_cast<const NMHDR*>(lParam));
    case WM_HELP:
    case WM_CONTEXTMENU:
        return HandleContextHelp(message, wParam, lParam);
    case WM_SETFOCUS:
        SetFocus(panel);
        return FALSE;
    case RPM_SETTINGCHANGED:
        // Kept whatever the printer's state; the buttons follow it.
        SetChangesPending(panel, 1);
        return TRUE;
    case WM_NCDESTROY:
        ForgetPanel(panel);
        return FALSE;
    }
    return HandlePrinterMessage(panel, message) ? TRUE : FALSE;
}

}  // namespace

INT_PTR CALLBACK PanelDialogProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    PanelDispatchScope dispatch;
    return HandlePanelMessage(panel, message, wParam, lParam);
}

HWND CreatePanel(HWND frame) {
    PanelWindow = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PANEL), frame, PanelDialogProc, 0);
    return PanelWindow;
}

void ReopenPanel(HWND panel) {
    SetPagesEnabled(panel, 0);
    // Nothing edited for the printer served so far goes to the new one, and
    // no page shows its values under the new name: until the new printer's
    // record is read, the pages show the defaults greyed.
    LoadDefaultSettings();
    SendToPageSlots(panel, RPM_SHOWRECORD);
    InvalidateSettings();
    SetPagesEnabled(panel, 0);
    SetChangesPending(panel, 0);
    SendMessageA(panel, WM_INITDIALOG, 0, 0);
    PanelState* state = GetPanelState(panel);
    if (state) {
        state->focusReturn = nullptr;
        state->pageFocus = nullptr;
        SendMessageA(state->tabControl, TCM_SETCURSEL, 0, 0);
    }
    ShowPage(panel, 0);
}

void RefreshUpdateButtons(HWND panel) {
    EnableUpdateButtons(panel, ChangesPending && UpdateAllowed && !WritePending && !PrinterNotReady);
}

void SetChangesPending(HWND panel, int pending) {
    ChangesPending = pending;
    RefreshUpdateButtons(panel);
}

void LetServedPrinterGo() {
    ForbidReadAndUpdate();
    // Requests made on the handle are never answered.
    ReadPending = 0;
    WritePending = 0;
    ReleasePrinter();
    if (PanelWindow) {
        SetPagesEnabled(PanelWindow, 0);
        InvalidateSettings();
        LoadText(IDS_PRINTER_REMOVED, StatusText, sizeof StatusText);
        ShowStatus(GetDlgItem(PanelWindow, IDC_STATUSTEXT));
        RefreshUpdateButtons(PanelWindow);
    }
    RefreshToolbar();
}
