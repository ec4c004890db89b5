// The panel dialog (template 117): opens the printer through the SRM, shows
// which printer is served and in which state, hosts the setting pages and
// carries out the user's commands with their busy checks and confirmations;
// also the panel's reactions to the SRM's replies and notifications.
#include <windows.h>
#include <commctrl.h>

#include "app.h"
#include "mainwnd.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "settings.h"
#include "srm_api.h"
#include "status.h"
#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr char kEllipsis[] = "...";
constexpr char kHelpModeClass[] = "TransWndClassName";
constexpr int kReadAttempts = 3;

// Set when the SRM refused the last read request: no reply will come for it.
int readRequestRefused = 0;

// Modal windows the panel has open (its boxes, the pages' warnings during the
// collect pass, the evaluation's box, the selection dialog), the nesting of
// the panel's dialog procedure, and the panel whose quit waits for both to
// come back to 0.
int modalDepth = 0;
int dispatchDepth = 0;
HWND quitDeferredPanel = nullptr;
// The panel that has told the user it ends: its quit asks nothing, and it
// decides nothing again.
HWND panelToEnd = nullptr;
PanelShellHooks shellHooks = {};

HWND StatusControl(HWND panel) {
    return GetDlgItem(panel, IDC_STATUSTEXT);
}

void SendQuit(HWND panel) {
    SendMessageA(panel, WM_COMMAND, IDC_QUIT, reinterpret_cast<LPARAM>(GetDlgItem(panel, IDC_QUIT)));
}

void SendRead(HWND panel) {
    SendMessageA(panel, WM_COMMAND, CMD_READSETTINGS, 0);
}

// Always all five, right after the record was invalidated.
void SendRefreshes(HWND panel) {
    for (UINT message = RPM_REFRESH1; message <= RPM_REFRESH5; ++message) SendMessageA(panel, message, 0, 0);
}

// A quit that came while a modal window of the panel was up runs once the
// last one has closed and the outermost handler of the panel has returned.
void FinishDeferredQuit() {
    if (modalDepth > 0 || dispatchDepth > 0 || !quitDeferredPanel) return;
    HWND panel = quitDeferredPanel;
    quitDeferredPanel = nullptr;
    if (IsLivePanel(panel)) SendQuit(panel);
}

void EnableUpdateButtons(HWND panel, BOOL enable) {
    EnableWindow(GetDlgItem(panel, IDC_UPDATEQUIT), enable);
    EnableWindow(GetDlgItem(panel, IDC_UPDATE), enable);
    if (!enable) KeepFocusUsable(panel);
}

void FocusCurrentPage(HWND panel) {
    ReturnFocusToPage(panel);
}

// The pages take over the record: shown when it is loaded, else they stay
// disabled while the frame texts and show defaults come back.
void ShowRecordInPages(HWND panel) {
    SetPagesEnabled(panel, 1);
    SendToPageSlots(panel, RPM_SHOWRECORD);
    FocusCurrentPage(panel);
}

// Commands that need the printer to themselves: 1 when a box said why not now.
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

// Updating is allowed and the printer free (else a box said why it is busy).
// Asked again after every box on the way to a write.
int MayUpdateNow(HWND panel) {
    return UpdateAllowed && !RefuseWhileBusy(panel) && IsLivePanel(panel);
}

// 1 when there are no unsent changes or the user agrees to discard them
// (and the panel is still there to go on with).
int ConfirmDiscard(HWND panel) {
    if (!ChangesPending) return 1;
    const int answer = ShowPanelMessage(panel, IDS_SETTINGS_CHANGED, MB_OKCANCEL | MB_ICONQUESTION);
    return answer == IDOK && IsLivePanel(panel);
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

// ---- Closing ----

void ClosePanel(HWND panel) {
    DestroyPages(GetPanelState(panel));
    ReleaseSrmHandle();
    ReleaseClaims();
    SetForegroundRole(MainWindow);
    DestroyWindow(panel);
    if (PanelWindow == panel) PanelWindow = nullptr;
    if (MainWindow) DestroyWindow(MainWindow);
}

void OnQuit(HWND panel) {
    const bool mustEnd = panelToEnd == panel;
    if (modalDepth > 0) {
        quitDeferredPanel = panel;
        // Nothing may outlive a panel that has said it ends: its boxes and
        // the pages' dialogs close as by Cancel and the quit follows at once.
        if (mustEnd) {
            CancelMessageBoxes();
            CancelPageDialogs();
            if (shellHooks.closeShellDialogs) shellHooks.closeShellDialogs();
        }
        return;
    }
    // This quit, with its one question, answers every quit that waited.
    if (quitDeferredPanel == panel) quitDeferredPanel = nullptr;
    if (!mustEnd && !ConfirmDiscard(panel)) return;
    if (MainWindow) ShowWindow(MainWindow, SW_HIDE);
    ClosePanel(panel);
}

// ---- Commands ----

// A switch byte that the printer would hold as 0xFF cannot be sent: the page
// with a setting that made it so comes forward and a box says why; the
// record, the pages and the update buttons stay as they are. 1 when refused.
int RefuseUnsendableSwitches(HWND panel) {
    const int byte = UnsendableSwitchByte(Settings);
    if (byte < 0) return 0;
    const uint8_t added = static_cast<uint8_t>(Settings.switches[byte] & ~LoadedSwitches()[byte]);
    BringTabForward(panel, TabEditingSwitchBits(byte, added));
    ShowPanelMessage(panel, IDS_SETTINGS_UNSENDABLE, MB_ICONWARNING);
    if (IsLivePanel(panel)) FocusCurrentPage(panel);
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
    readRequestRefused = 0;
    if (GetReqPrinterStatusMsgA(SrmHandle, SRM_ITEM_SETTINGS, panel, RPM_READREPLY) == 0) return;

    // No reply will come: end the read as after its last failed attempt.
    readRequestRefused = 1;
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
    FocusCurrentPage(panel);
    // Pending, and shown as such once the printer may be updated.
    SetChangesPending(panel, 1);
}

void OnChangePrinter(HWND panel) {
    PrinterCount = DiscoverPrinters();
    if (PrinterCount == 0) {
        char text[kTextSize];
        char title[kTextSize];
        LoadText(IDS_MODEL_MISSING, text, kTextSize);
        LoadText(IDS_TITLE, title, kTextSize);
        ShowMessageBox(panel, text, title, MB_ICONWARNING);
        SendQuit(panel);
        return;
    }
    MultiplePrinters = PrinterCount != 1;
    if (PrinterCount == 1) {
        RefreshToolbar();
        return;
    }
    INT_PTR chosen = 0;
    {
        PanelModalScope selection;
        chosen = RunSelectionDialog(panel);
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

void OnHelpMode() {
    if (!ToolbarWindow || !MainWindow || HelpModeWindow) return;
    UnregisterClassA(kHelpModeClass, AppInstance);
    WNDCLASSA helpClass = {};
    helpClass.lpfnWndProc = HelpModeWindowProc;
    helpClass.hInstance = AppInstance;
    helpClass.hCursor = LoadCursorA(AppInstance, MAKEINTRESOURCEA(IDCUR_HELPMODE));
    helpClass.lpszClassName = kHelpModeClass;
    if (!RegisterClassA(&helpClass)) {
        ShowTwoTextMessage(MainWindow, IDS_NO_WINDOW_CLASS, IDS_FEATURE_UNAVAILABLE, MB_ICONWARNING);
        SendMessageA(ToolbarWindow, TB_CHECKBUTTON, CMD_HELPMODE, MAKELONG(FALSE, 0));
        return;
    }
    RECT frame = {};
    GetWindowRect(MainWindow, &frame);
    HelpModeWindow = CreateWindowExA(WS_EX_TRANSPARENT, kHelpModeClass, "", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS,
                                     frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                     MainWindow, nullptr, AppInstance, nullptr);
    if (!HelpModeWindow) {
        SendMessageA(ToolbarWindow, TB_CHECKBUTTON, CMD_HELPMODE, MAKELONG(FALSE, 0));
        return;
    }
    SetForegroundRole(HelpModeWindow);
}

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
        OnHelpMode();
        return TRUE;
    }
    if (ForegroundRoleWindow && ForegroundRoleWindow != panel)
        SendMessageA(ForegroundRoleWindow, WM_COMMAND, wParam, lParam);
    return FALSE;
}

// ---- Opening ----

// Reading allowed: read now, or wait for a better status with the pages
// disabled. Only updating allowed: the defaults (opening tells the user).
// A record still loaded when the printer comes back is shown again as the
// pages hold it, the user's changes included.
void ActOnStatus(HWND panel, bool opening, bool afterStatusChange) {
    if (!opening && IsRecordLoaded()) {
        ReenablePages(panel);
        RefreshToolbar();
        // Disabled pages lost the keyboard focus: the current page takes it
        // again, as after a read.
        if (!GetFocus()) FocusCurrentPage(panel);
        return;
    }
    const bool busy = PrinterNotReady || ReadPending || WritePending;
    if (ReadAllowed == 1) {
        if (!busy) {
            SendRead(panel);
        } else {
            InvalidateSettings();
            SendRefreshes(panel);
        }
        return;
    }
    if (!UpdateAllowed) return;
    if (!opening && (UpdateAllowed != 1 || busy)) return;
    InvalidateSettings();
    SendRefreshes(panel);
    LoadDefaultSettings();
    if (opening) {
        ShowPanelMessage(panel, IDS_DEFAULTS_SHOWN, MB_ICONINFORMATION);
        // Handled while the box was up: the printer may have become unusable,
        // or a read may have started.
        if (!IsLivePanel(panel) || !UpdateAllowed || ReadPending) return;
    }
    SetPagesEnabled(panel, IsRecordLoaded());
    SendToPageSlots(panel, RPM_SHOWRECORD);
    if (afterStatusChange) ShowStatus(StatusControl(panel));
}

// EvaluateStatus with the three stored items; with one printer an unusable
// printer is reported in a box of the panel.
int Evaluate(HWND panel) {
    PanelModalScope reason;
    return EvaluateStatus(panel, ExtStatusValue, StatusValues, AuthorityValue);
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
    int toolbarHeight = 0;
    if (ToolbarWindow) {
        RECT toolbar = {};
        GetClientRect(ToolbarWindow, &toolbar);
        toolbarHeight = toolbar.bottom - toolbar.top;
    }
    SetWindowPos(panel, nullptr, 0, toolbarHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return 1;
}

void OnOpen(HWND panel) {
    // The status display and the toolbar find the panel through PanelWindow
    // while it is still being created.
    PanelWindow = panel;
    SetForegroundRole(panel);
    SetForegroundWindow(panel);

    if (CurrentPrinter && IsFilePort(CurrentPrinter->destination)) {
        char text[kTextSize];
        char title[kTextSize];
        LoadText(IDS_FILE_PORT, text, kTextSize);
        LoadText(IDS_TITLE, title, kTextSize);
        ShowMessageBox(panel, text, title, MB_ICONWARNING);
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
            ReadAllowed = 0;
            UpdateAllowed = 0;
            LoadText(IDS_SRM_NOT_OPENED, MessageText, kTextSize);
            ReportUnusable(panel, 1);
            return;
        }
        if (SrmHandle == 0) return;
    }
    InvalidateSettings();
    ShowStatus(StatusControl(panel));

    if (!RegisterNotifications(panel) || !ReadStatusItems()) {
        ReadAllowed = 0;
        UpdateAllowed = 0;
        RefreshToolbar();
        ReportUnusable(panel, 0);
        return;
    }
    if (!Evaluate(panel)) {
        if (!IsLivePanel(panel)) return;
        RefreshToolbar();
        ShowStatus(StatusControl(panel));
        if (!MultiplePrinters) EndPanelForGood(panel);
        return;
    }
    if (!IsLivePanel(panel)) return;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    ActOnStatus(panel, true, false);
}

// ---- Painting, tabs ----

void OnPaint(HWND panel) {
    char title[kTextSize];
    LoadText(IDS_TITLE, title, kTextSize);
    char caption[kTextSize];
    if (CurrentPrinter) {
        FitStatic(panel, IDC_MODELTEXT, CurrentPrinter->model);
        FitStatic(panel, IDC_PORTTEXT, CurrentPrinter->destination);
        FormatText(caption, sizeof caption, "%s - %s", title, TextOrEmpty(CurrentPrinter->name));
        SetTextIfChanged(MainWindow ? MainWindow : GetParent(panel), caption);
    } else {
        FormatText(caption, sizeof caption, "%s - ", title);
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

// ---- Replies and notifications of the SRM ----

// One read takes at most kReadAttempts requests; a record that is still not
// loaded afterwards leaves the pages disabled.
void OnReadReply(HWND panel) {
    ReadPending = 0;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    // The read discarded the changes made before it; one made since is not
    // overwritten without the question a read asks.
    if (ChangesPending) {
        if (!ConfirmDiscard(panel)) {
            if (IsLivePanel(panel)) ReadRetries = kReadAttempts;
            return;
        }
        if (ReadPending) return;  // a read started while the question was up answers for itself
        SetChangesPending(panel, 0);
    }
    DWORD length = 0;
    if (ReadStatusItem(SrmHandle, SRM_ITEM_SETTINGS, &Settings, kSrmSizeSettings, &length) == 0) {
        TakeReadSettings();
    } else {
        ShowPanelMessage(panel, IDS_READ_FAILED, MB_ICONWARNING);
        // A read started while the box was up answers for itself.
        if (!IsLivePanel(panel) || ReadPending) return;
    }
    if (IsRecordLoaded()) {
        ReadRetries = kReadAttempts;
    } else if (--ReadRetries > 0) {
        readRequestRefused = 0;
        SendRead(panel);
        if (!IsLivePanel(panel)) return;
        // A retry that could not start leaves the next read all its attempts.
        if (!ReadPending) ReadRetries = kReadAttempts;
        // A refused request has already settled the pages.
        if (!readRequestRefused) SetPagesEnabled(panel, 0);
        return;
    } else {
        ReadRetries = kReadAttempts;
    }
    ShowRecordInPages(panel);
}

void OnRefresh(HWND panel) {
    SetPagesEnabled(panel, IsRecordLoaded());
    SendToPageSlots(panel, RPM_SHOWRECORD);
}

void OnWriteReply(HWND panel) {
    WritePending = 0;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    DWORD status = 0;
    if (ResSetPrinterStatus(SrmHandle, WriteRequestId, &status) != 0 || status != 0) {
        ShowPanelMessage(panel, IDS_WRITE_FAILED, MB_ICONWARNING);
        if (!IsLivePanel(panel)) return;
        // The user's changes stay in the pages and may be written again.
        ChangesPending = 1;
    }
    // Also a change made while the write was under way.
    RefreshUpdateButtons(panel);
    FocusCurrentPage(panel);
}

void OnStatusItemChanged(HWND panel, UINT message) {
    if (!ReadChangedStatusItem(message)) {
        ReadAllowed = 0;
        UpdateAllowed = 0;
        RefreshToolbar();
        ReportUnusable(panel, 0);
        return;
    }
    if (!Evaluate(panel)) {
        if (!IsLivePanel(panel)) return;
        RefreshToolbar();
        ShowStatus(StatusControl(panel));
        RefreshUpdateButtons(panel);
        if (MultiplePrinters)
            SetPagesEnabled(panel, 0);
        else
            EndPanelForGood(panel);
        return;
    }
    if (!IsLivePanel(panel)) return;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    RefreshUpdateButtons(panel);
    ActOnStatus(panel, false, message == RPM_STATUSCHANGED);
}

void OnNameChanged(HWND panel) {
    if (!FollowReportedName(panel)) {
        ReadAllowed = 0;
        UpdateAllowed = 0;
        RefreshToolbar();
        ShowStatus(StatusControl(panel));
        LoadText(IDS_NAME_FAILED, MessageText, kTextSize);
        ReportUnusable(panel, 0);
    }
}

void OnPortChanged(HWND panel) {
    ShowPanelMessage(panel, IDS_PORT_CHANGED, MB_ICONINFORMATION);
    if (IsLivePanel(panel)) SendQuit(panel);
}

}  // namespace

int FollowReportedName(HWND panel) {
    char name[kSrmSizePrinterName + 1] = {};
    DWORD length = 0;
    if (!SrmHandle || GetPrinterStatusA(SrmHandle, SRM_ITEM_PRINTERNAME, name, kSrmSizePrinterName, &length) != 0)
        return 0;
    CutToCompleteText(name, sizeof name);
    if (CurrentPrinter && !TextEquals(CurrentPrinter->name, name)) {
        char* copy = DuplicateString(name);
        if (copy) {
            LocalBlock<char> former(CurrentPrinter->name);
            CurrentPrinter->name = copy;
            if (shellHooks.printerRenamed) shellHooks.printerRenamed(former.get());
            if (panel) SendMessageA(panel, WM_PAINT, 0, 0);
        }
    }
    return 1;
}

void ReportUnusable(HWND panel, int fromOpening) {
    char caption[kTextSize];
    BuildPanelCaption(caption, sizeof caption);
    char reason[kTextSize];
    CopyText(reason, sizeof reason, MessageText);
    if (MultiplePrinters) {
        ShowPanelBox(panel, reason, caption, MB_ICONWARNING);
        LoadText(IDS_PANEL_UNUSABLE, StatusText, sizeof StatusText);
        if (!IsLivePanel(panel)) return;
        ShowStatus(StatusControl(panel));
        if (fromOpening) RefreshToolbar();
        return;
    }
    if (!AnnouncePanelEnding(panel)) return;
    char ends[kTextSize];
    LoadText(IDS_PANEL_ENDS, ends, kTextSize);
    char text[kTextSize];
    FormatText(text, sizeof text, "%s\n%s", reason, ends);
    ShowPanelBox(panel, text, caption, MB_ICONWARNING);
    if (IsLivePanel(panel)) EndPanelForGood(panel);
}

int ShowPanelBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    int answer = 0;
    HWND before = GetFocus();
    {
        PanelModalScope box;
        answer = ShowMessageBox(owner, text, caption, style);
    }
    if (IsLivePanel(owner)) KeepFocusUsableAfterBox(owner, before);
    return answer;
}

int ShowPanelMessage(HWND owner, UINT textId, UINT style) {
    char text[kTextSize];
    LoadText(textId, text, kTextSize);
    char caption[kTextSize];
    BuildPanelCaption(caption, sizeof caption);
    return ShowPanelBox(owner, text, caption, style);
}

int IsLivePanel(HWND panel) {
    return panel && panel == PanelWindow && IsWindow(panel) ? 1 : 0;
}

int PanelModalDepth() {
    return modalDepth;
}

int PanelQuitDeferred() {
    return quitDeferredPanel ? 1 : 0;
}

PanelModalScope::PanelModalScope() {
    ++modalDepth;
}

PanelModalScope::~PanelModalScope() {
    --modalDepth;
    FinishDeferredQuit();
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

void EndPanelForGood(HWND panel) {
    panelToEnd = panel;
    SendQuit(panel);
}

int AnnouncePanelEnding(HWND panel) {
    if (!IsLivePanel(panel)) return 1;
    if (panelToEnd == panel) return 0;
    panelToEnd = panel;
    // Behind the box the panel shows what the box says: nothing can be read
    // or updated any more.
    SetPagesEnabled(panel, 0);
    RefreshToolbar();
    RefreshUpdateButtons(panel);
    ShowStatus(StatusControl(panel));
    return 1;
}

int PanelIsEnding() {
    return panelToEnd && panelToEnd == PanelWindow ? 1 : 0;
}

void SetPanelShellHooks(const PanelShellHooks& hooks) {
    shellHooks = hooks;
}

namespace {

// The printer's replies and notifications, which a panel that has said it
// ends no longer acts on.
bool IsPrinterEvent(UINT message) {
    return message == RPM_READREPLY || message == RPM_WRITEREPLY ||
           (message >= RPM_EXTSTATUSCHANGED && message <= RPM_PORTCHANGED);
}

INT_PTR HandlePanelMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    if (panelToEnd == panel && IsPrinterEvent(message)) return TRUE;
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
    case RPM_READREPLY:
        OnReadReply(panel);
        return TRUE;
    case RPM_REFRESH1:
    case RPM_REFRESH2:
    case RPM_REFRESH3:
    case RPM_REFRESH4:
    case RPM_REFRESH5:
        OnRefresh(panel);
        return TRUE;
    case RPM_WRITEREPLY:
        OnWriteReply(panel);
        return TRUE;
    case RPM_EXTSTATUSCHANGED:
    case RPM_STATUSCHANGED:
    case RPM_AUTHORITYCHANGED:
        OnStatusItemChanged(panel, message);
        return TRUE;
    case RPM_NAMECHANGED:
        OnNameChanged(panel);
        return TRUE;
    case RPM_PORTCHANGED:
        OnPortChanged(panel);
        return TRUE;
    case WM_NCDESTROY:
        // However the panel went, its SRM handle goes with it (the closing
        // sequence has released it already) and nothing may find it any longer.
        if (PanelWindow == panel) {
            ReleaseSrmHandle();
            PanelWindow = nullptr;
            ChangesPending = 0;
        }
        if (panelToEnd == panel) panelToEnd = nullptr;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK PanelDialogProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    ++dispatchDepth;
    const INT_PTR result = HandlePanelMessage(panel, message, wParam, lParam);
    --dispatchDepth;
    FinishDeferredQuit();
    return result;
}
