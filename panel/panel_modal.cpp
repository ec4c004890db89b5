// The panel's modal windows and its ending: the boxes it shows, the quit
// that waits for them, the panel that has said it ends, and the closing that
// takes the pages, the printer's handle, the claims and the frame with it.
// The state they share is written here only.
#include <windows.h>

#include "messages.h"
#include "panel.h"
#include "panel_internal.h"
#include "status.h"

namespace {

// Modal windows the panel has open (its boxes, the pages' warnings during the
// collect pass, the evaluation's box, the selection dialog), the nesting of
// the panel's dialog procedure, and the panel whose quit waits for both to
// come back to 0; the panel that has told the user it ends (its quit asks
// nothing, and it decides nothing again); whether the SRM refused the last
// read request.
struct ModalAndEnding {
    int modalDepth = 0;
    int dispatchDepth = 0;
    HWND quitDeferredPanel = nullptr;
    HWND panelToEnd = nullptr;
    int readRequestRefused = 0;
};
ModalAndEnding state;

// A quit that came while a modal window of the panel was up runs once the
// last one has closed and the outermost handler of the panel has returned.
void FinishDeferredQuit() {
    if (state.modalDepth > 0 || state.dispatchDepth > 0 || !state.quitDeferredPanel) return;
    HWND panel = state.quitDeferredPanel;
    state.quitDeferredPanel = nullptr;
    if (IsLivePanel(panel)) SendQuit(panel);
}

}  // namespace

void ReleasePrinter() {
    ReleaseSrmHandle();
    ShellReleaseClaims();
}

void ClosePanel(HWND panel) {
    DestroyPages(GetPanelState(panel));
    ReleasePrinter();
    SetForegroundRole(ShellFrame());
    DestroyWindow(panel);
    if (PanelWindow == panel) PanelWindow = nullptr;
    if (HWND frame = ShellFrame()) DestroyWindow(frame);
}

void OnQuit(HWND panel) {
    const bool mustEnd = state.panelToEnd == panel;
    if (state.modalDepth > 0) {
        state.quitDeferredPanel = panel;
        // Nothing may outlive a panel that has said it ends: its boxes and
        // the pages' dialogs close as by Cancel and the quit follows at once.
        if (mustEnd) {
            CancelMessageBoxes();
            CancelPageDialogs();
            ShellCloseDialogs();
        }
        return;
    }
    // This quit, with its one question, answers every quit that waited.
    if (state.quitDeferredPanel == panel) state.quitDeferredPanel = nullptr;
    if (!mustEnd && !ConfirmDiscard(panel)) return;
    if (HWND frame = ShellFrame()) ShowWindow(frame, SW_HIDE);
    ClosePanel(panel);
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
    return state.modalDepth;
}

int PanelQuitDeferred() {
    return state.quitDeferredPanel ? 1 : 0;
}

PanelModalScope::PanelModalScope() {
    ++state.modalDepth;
}

PanelModalScope::~PanelModalScope() {
    --state.modalDepth;
    FinishDeferredQuit();
}

void EndPanelForGood(HWND panel) {
    state.panelToEnd = panel;
    SendQuit(panel);
}

int AnnouncePanelEnding(HWND panel) {
    if (!IsLivePanel(panel)) return 1;
    if (state.panelToEnd == panel) return 0;
    state.panelToEnd = panel;
    // Behind the box the panel shows what the box says: nothing can be read
    // or updated any more.
    SetPagesEnabled(panel, 0);
    RefreshToolbar();
    RefreshUpdateButtons(panel);
    ShowStatus(StatusControl(panel));
    return 1;
}

int PanelIsEnding() {
    return state.panelToEnd && state.panelToEnd == PanelWindow ? 1 : 0;
}

PanelDispatchScope::PanelDispatchScope() {
    ++state.dispatchDepth;
}

PanelDispatchScope::~PanelDispatchScope() {
    --state.dispatchDepth;
    FinishDeferredQuit();
}

int PanelMustEnd(HWND panel) {
    return state.panelToEnd == panel ? 1 : 0;
}

void ForgetPanel(HWND panel) {
    // However the panel went, its SRM handle goes with it (the closing
    // sequence has released it already) and nothing may find it any longer.
    if (PanelWindow == panel) {
        ReleaseSrmHandle();
        PanelWindow = nullptr;
        ChangesPending = 0;
    }
    if (state.panelToEnd == panel) state.panelToEnd = nullptr;
}

void NoteReadRequestRefused(int refused) {
    state.readRequestRefused = refused;
}

int ReadRequestRefused() {
    return state.readRequestRefused;
}
