// The panel dialog, its tab host and its process-wide data, shared by the
// panel, the status display, the update procedure and the setting pages.
#pragma once
#include <cstdint>
#include <windows.h>
#include <commctrl.h>

#include "page_host.h"

// Per-panel record of the tab host; allocated zero-filled (LocalAlloc) by the
// panel on its first WM_INITDIALOG, kept in the panel's GWLP_USERDATA and
// freed by start-up's clean-up after the message loop.
struct PanelState {
    HWND tabControl;                    // control 284
    HWND currentPage;
    HWND pages[kPageCount];
    HWND focusReturn;
    HWND pageFocus;                     // the control of the current page that had the focus last
    RECT PageArea;                      // the tab control's display area, in panel client coordinates
    LPCDLGTEMPLATEA templates[kPageCount];
    DLGPROC procedures[kPageCount];
    HIMAGELIST tabImages;
};

// Process-wide panel data. Defined in panel_data.cpp.
enum NotificationSlot {
    NotifyPrinterName, NotifyPort, NotifyExtStatus, NotifyStatus, NotifyAuthority, NotifySettings,
    kNotificationCount
};
extern HWND PanelWindow;                         // the panel dialog, or null
extern DWORD SrmHandle;                          // 0 = not open
extern DWORD Notifications[kNotificationCount];  // 0 = not registered
extern DWORD WriteRequestId;
extern int ReadAllowed;       // 1
extern int UpdateAllowed;     // 1
extern int PrinterNotReady;   // 0
extern int ReadPending;       // 0
extern int WritePending;      // 0
// The user's changes that have not reached the printer, whatever the update
// buttons show: set by a change on a page and by show defaults, cleared when
// the command reached the SRM, a read or another printer discarded them.
extern int ChangesPending;    // 0
extern int ReadRetries;       // 3
extern DWORD ExtStatusValue;          // -1
extern DWORD StatusValues[3];         // -1, -1, -1
extern DWORD AuthorityValue;          // -1
extern char StatusText[256];

// Kills every registered notification in slot order, clears the slots and
// closes the SRM handle (no-op without a handle).
void ReleaseSrmHandle();
// Opens the SRM for that printer in this user's name and only then lets the
// handle held so far go (requests made on it are never answered). 0 when the
// SRM cannot be opened: the handle held stays.
int OpenSrmHandle(const char* printer);

// The panel's PanelState, or null before the first WM_INITDIALOG.
PanelState* GetPanelState(HWND panel);

// ---- Panel dialog (panel.cpp) ----
// Dialog procedure of template 117, created by the main window.
INT_PTR CALLBACK PanelDialogProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
// Reports the reason in MessageText that the printer cannot be used: with
// several printers the panel stays with an explanation, else it quits.
// fromOpening: also refresh the toolbar in the branch that stays.
void ReportUnusable(HWND panel, int fromOpening);
// Takes the name the SRM reports for the served printer now, should the
// printer have been renamed (the shell's printerRenamed hook is told, the
// panel repainted). 0 when no name could be read.
int FollowReportedName(HWND panel);
// Binds the panel to the newly chosen CurrentPrinter (its claim already
// made): pages and update buttons off, the printer opened, tab 0 shown.
void ReopenPanel(HWND panel);
// The update buttons 1050 and 12321 always move together: on while changes
// are pending, updating is allowed, the printer ready and no write under way;
// else off.
void RefreshUpdateButtons(HWND panel);
void SetChangesPending(HWND panel, int pending);
// A quit the panel has announced ("the remote panel ends"): no question, and
// the dialogs of the pages are closed as by Cancel first.
void EndPanelForGood(HWND panel);
// Before the box that says the panel ends: from then on the panel decides
// nothing again (the printer's replies and notifications are let go, no
// second such box) and shows that nothing can be read or updated. 0 when it
// had said so already: no second box.
int AnnouncePanelEnding(HWND panel);
// 1 once the panel has said it ends.
int PanelIsEnding();
// What the application does for the panel, which cannot reach it itself.
// The frame hands them over before it creates the panel; any may be null.
struct PanelShellHooks {
    // Closes its dialogs open over a panel that must end (as by Cancel).
    void (*closeShellDialogs)();
    // Follows the served printer to its new name (CurrentPrinter has it now).
    void (*printerRenamed)(const char* formerName);
    // The frame around the panel, or null: its caption names the printer,
    // and it is hidden and destroyed with the panel.
    HWND (*frame)();
    // Height of the toolbar above the panel (0 without one).
    int (*toolbarHeight)();
    // Enables or disables one button of the toolbar, if there is one.
    void (*enableToolbarButton)(UINT command, BOOL enable);
    // The help button: the context-help mode begins.
    void (*enterHelpMode)();
    // Rediscovers the printers (PrinterList, PrinterCount); their count.
    int (*discoverPrinters)();
    // The printer selection dialog over owner: 1 when another printer was
    // chosen and claimed (the old claim and SRM handle are then released).
    INT_PTR (*choosePrinter)(HWND owner);
    // Lets every claim on the served printer go.
    void (*releaseClaims)();
};
void SetPanelShellHooks(const PanelShellHooks& hooks);
// The quit button's command, as if it was clicked: with unsent changes the
// panel asks first; then the panel and its frame close.
void SendQuit(HWND panel);
// Creates the panel (PanelWindow) in that frame; null when it could not be
// created or closed everything already while opening.
HWND CreatePanel(HWND frame);
// The served printer has gone: nothing can be read or updated any more, its
// handle and claims go (requests made on the handle are never answered), and
// the panel shows so before any box says it.
void LetServedPrinterGo();

// ---- Modal windows of the panel (panel.cpp) ----
// The SRM's replies and notifications are handled at once, also inside the
// modal loop of a box the panel has open. A quit that arrives while such a box
// (or another modal window the panel opened) is up is held back: it is carried
// out once the outermost one has closed and the panel's handler that opened it
// has returned. Code that goes on after a box first checks IsLivePanel.
//
// A box through the message-box seam, counted as a modal window of the panel.
int ShowPanelBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
// One of the program's texts in a box with PanelCaption.
int ShowPanelMessage(HWND owner, UINT textId, UINT style);
// 1 while panel is the program's panel window and still exists.
int IsLivePanel(HWND panel);
// Modal windows of the panel open now, and whether a quit waits for them.
int PanelModalDepth();
int PanelQuitDeferred();
// Counts one modal window of the panel for its lifetime.
class PanelModalScope {
public:
    PanelModalScope();
    ~PanelModalScope();
    PanelModalScope(const PanelModalScope&) = delete;
    PanelModalScope& operator=(const PanelModalScope&) = delete;
};

// ---- Tab host (tabhost.cpp) ----
// Fills the tab control, looks up the pages and shows page 0; 0 on failure.
int SetUpTabs(HWND panel, PanelState* state);
// Shows the page of that tab index, creating it on first use.
void ShowPage(HWND panel, int index);
// Selects that tab and shows its page, unless it is current (or index is -1).
void BringTabForward(HWND panel, int index);
// Hands the panel's operations to the pages (page_host.h): their area in
// PanelState, the panel's modal count, BringTabForward. Before a page exists.
void LinkPagesToPanel();
// The tab of the first page that edits one of these bits of switch byte
// byteIndex, else of the first page that edits any bit of it; -1 for none.
int TabEditingSwitchBits(int byteIndex, uint8_t bits);
// Flag 1 enables the model and port texts and refreshes every page from the
// record; any other value disables them and the pages.
void SetPagesEnabled(HWND panel, int flag);
// The same as flag 1 for a record already shown, keeping what the pages'
// controls hold (the user's changes): after the printer came back.
void ReenablePages(HWND panel);
// The frame's toolbar buttons 282, 280 and 283 follow the panel flags.
void RefreshToolbar();
// 1 when the toolbar's command (282, 280, 283) may run now: the state
// its button shows. An accelerator does nothing while it is 0.
int ToolbarCommandAvailable(UINT command);
// When the control with the keyboard focus has been disabled, the focus goes
// to the quit button (Esc, the mnemonics and Tab keep working): 1 then. It
// returns to the current page (to the control that lost it, where it can)
// once the pages are enabled again.
int KeepFocusUsable(HWND panel);
// The same after a box of the panel: `before`, the page control that had the
// focus when the box came, may have been disabled while it was up.
void KeepFocusUsableAfterBox(HWND panel, HWND before);
// The current page takes the focus: into the control that had it last, where it can.
void ReturnFocusToPage(HWND panel);
// Remembers the control of the current page that has the focus, if one has it
// (the message loop asks before each message).
void NotePageFocus(PanelState* state);
// Sends a page message (wParam 0, lParam 0) to the six page slots in tab order.
void SendToPageSlots(HWND panel, UINT message);
// Collect pass before a write: RPM_STORE to the slots in tab order, stopping
// at the first page that refuses its values. 1 when all pages stored.
int CollectPages(HWND panel);
// Destroys the page windows and the tab image list (closing).
void DestroyPages(PanelState* state);

// ---- Update procedure (write_settings.cpp) ----
// Why a write ended as it did.
enum WriteOutcome {
    WriteSent,       // the command reached the SRM
    WriteRefused,    // not sent: updating is not allowed or the record may not be written; changes kept
    WriteCancelled,  // not sent: the user gave up retrying (also Retry once the panel is to end); changes kept
    WriteWithdrawn,  // not sent: the panel went or serves another printer meanwhile; nothing to keep
};
// Sends the whole settings record to the printer: direct 1 synchronously
// (update then quit), 0 asynchronously (the reply is RPM_WRITEREPLY).
WriteOutcome WriteSettings(HWND panel, int direct);
