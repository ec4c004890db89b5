// What the files of the panel share among themselves: the frame's hooks as
// calls that do nothing without them, the small steps each part of the panel
// takes, and the operations of the panel's modal and ending state.
#pragma once
#include <windows.h>

#include "panel.h"

constexpr int kReadAttempts = 3;

// The printer may be neither read nor updated (panel_data.cpp).
void ForbidReadAndUpdate();

// ---- The frame's hooks (panel_data.cpp); without a hook: nothing, 0 or null ----
HWND ShellFrame();
int ShellToolbarHeight();
void ShellEnableToolbarButton(UINT command, BOOL enable);
void ShellEnterHelpMode();
int ShellDiscoverPrinters();
INT_PTR ShellChoosePrinter(HWND owner);
void ShellReleaseClaims();
void ShellCloseDialogs();
void ShellPrinterRenamed(const char* formerName);

// ---- Steps of the panel (panel_commands.cpp) ----
HWND StatusControl(HWND panel);
void SendRead(HWND panel);
// Always all five, right after the record was invalidated.
void SendRefreshes(HWND panel);
// The pages take over the record: shown when it is loaded, else they stay
// disabled while the frame texts and show defaults come back.
void ShowRecordInPages(HWND panel);
// A warning box under the program's title, not counted as the panel's own.
void ShowTitledWarning(HWND panel, UINT textId);
// Commands that need the printer to themselves: 1 when a box said why not now.
int RefuseWhileBusy(HWND panel);
// 1 when there are no unsent changes or the user agrees to discard them
// (and the panel is still there to go on with).
int ConfirmDiscard(HWND panel);
// The panel's buttons and the commands the frame forwards.
BOOL OnCommand(HWND panel, WPARAM wParam, LPARAM lParam);

// ---- The printer's replies and notifications (panel_replies.cpp) ----
// Opening: the notifications registered and the status items read (0 when
// either failed); then the status is evaluated and acted on.
void TakeOpeningStatus(HWND panel, int itemsRead);
// The SRM's replies, notifications and the refresh messages: 0 for any other message.
int HandlePrinterMessage(HWND panel, UINT message);

// ---- Modal and ending state (panel_modal.cpp) ----
// The quit button, Esc and the quits the panel sends itself.
void OnQuit(HWND panel);
// Pages, SRM handle and claims go, then the panel and its frame.
void ClosePanel(HWND panel);
// The SRM handle and the claims on the served printer go.
void ReleasePrinter();
// 1 once this panel has said it ends.
int PanelMustEnd(HWND panel);
// The panel's last message: its handle, its pending changes and its ending go.
void ForgetPanel(HWND panel);
// Whether the SRM refused the last read request (no reply will come for it).
void NoteReadRequestRefused(int refused);
int ReadRequestRefused();
// Counts one call of the panel's dialog procedure for its lifetime.
class PanelDispatchScope {
public:
    PanelDispatchScope();
    ~PanelDispatchScope();
    PanelDispatchScope(const PanelDispatchScope&) = delete;
    PanelDispatchScope& operator=(const PanelDispatchScope&) = delete;
};
