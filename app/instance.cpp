// One panel per printer, as the user sees it: a printer another panel serves
// is said so, and that panel brought forward.
#include <windows.h>
#include <strsafe.h>

#include "app.h"
#include "messages.h"
#include "resource.h"
#include "text_pure.h"

namespace {

// The system dialog class; message boxes are of it too.
const LPCSTR kDialogClass = MAKEINTATOM(0x8002);
const char kMainWindowClass[] = "RPWndClass";

// Brings something of the panel that serves the printer to the front: a
// dialog captioned with the bare title, a dialog captioned with the title and
// the printer, or that panel's main window. 0 when nothing was found.
int BringOtherPanelForward(LPCSTR title, LPCSTR panelCaption) {
    if (HWND dialog = FindWindowA(kDialogClass, title)) {
        SetForegroundWindow(dialog);
        return 1;
    }
    if (HWND dialog = FindWindowA(kDialogClass, panelCaption)) {
        SetForegroundWindow(dialog);
        return 1;
    }
    if (HWND window = FindWindowA(kMainWindowClass, panelCaption)) {
        if (IsIconic(window)) {
            ShowWindow(window, SW_RESTORE);
            SetForegroundWindow(window);
        } else {
            SendMessageA(window, RPM_BRINGTOFRONT, 0, 0);
        }
        return 1;
    }
    return 0;
}

}  // namespace

HANDLE ClaimPrinter(LPCSTR printerName, HWND owner) {
    char title[kTextSize];
    LoadText(IDS_TITLE, title, kTextSize);
    // Composed exactly like every caption of the panel, so that the other
    // panel's windows are found under it.
    char caption[kTextSize];
    BuildTitleCaption(caption, sizeof caption, printerName);

    HANDLE mapping = nullptr;
    switch (TryClaimPrinter(printerName, &mapping)) {
    case ClaimTaken:
        return mapping;
    case ClaimHeld:
        if (!owner && BringOtherPanelForward(title, caption)) return nullptr;
        LoadText(IDS_ALREADY_RUNNING, MessageText, kTextSize);
        ShowMessageBox(owner, MessageText, caption, MB_OK);
        if (owner) BringOtherPanelForward(title, caption);
        return nullptr;
    case ClaimFailed:
        LoadText(IDS_MAPPING_FAILED, MessageText, kTextSize);
        break;
    }
    ShowMessageBox(owner, MessageText, caption, MB_OK);
    return nullptr;
}
