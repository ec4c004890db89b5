// The panel's reactions to the printer: the replies to its read and write
// requests, the notifications of a changed status, name or port, and what the
// panel does with a status once it has been evaluated.
#include <windows.h>

#include "messages.h"
#include "panel.h"
#include "panel_internal.h"
#include "printers.h"
#include "resource.h"
#include "scoped.h"
#include "settings.h"
#include "srm_api.h"
#include "status.h"
#include "text_pure.h"

namespace {

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
        if (!GetFocus()) ReturnFocusToPage(panel);
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

// What became of the status items just read (itemsRead 0: they could not be).
enum class StatusTaken {
    Gone,      // unusable (the user has been told) or the panel went
    Unusable,  // the evaluation found the printer unusable
    Usable,
};

StatusTaken TakeStatus(HWND panel, int itemsRead) {
    if (!itemsRead) {
        ForbidReadAndUpdate();
        RefreshToolbar();
        ReportUnusable(panel, 0);
        return StatusTaken::Gone;
    }
    const int usable = Evaluate(panel);
    if (!IsLivePanel(panel)) return StatusTaken::Gone;
    RefreshToolbar();
    ShowStatus(StatusControl(panel));
    return usable ? StatusTaken::Usable : StatusTaken::Unusable;
}

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
    SettingsRecord read = Settings;
    if (ReadStatusItem(SrmHandle, SRM_ITEM_SETTINGS, &read, kSrmSizeSettings, &length) == 0) {
        AdoptSettings(read);
        TakeReadSettings();
    } else {
        ShowPanelMessage(panel, IDS_READ_FAILED, MB_ICONWARNING);
        // A read started while the box was up answers for itself.
        if (!IsLivePanel(panel) || ReadPending) return;
    }
    if (IsRecordLoaded()) {
        ReadRetries = kReadAttempts;
    } else if (--ReadRetries > 0) {
        NoteReadRequestRefused(0);
        SendRead(panel);
        if (!IsLivePanel(panel)) return;
        // A retry that could not start leaves the next read all its attempts.
        if (!ReadPending) ReadRetries = kReadAttempts;
        // A refused request has already settled the pages.
        if (!ReadRequestRefused()) SetPagesEnabled(panel, 0);
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
    ReturnFocusToPage(panel);
}

void OnStatusItemChanged(HWND panel, UINT message) {
    const StatusTaken taken = TakeStatus(panel, ReadChangedStatusItem(message));
    if (taken == StatusTaken::Gone) return;
    RefreshUpdateButtons(panel);
    if (taken == StatusTaken::Unusable) {
        if (MultiplePrinters)
            SetPagesEnabled(panel, 0);
        else
            EndPanelForGood(panel);
        return;
    }
    ActOnStatus(panel, false, message == RPM_STATUSCHANGED);
}

void OnNameChanged(HWND panel) {
    if (!FollowReportedName(panel)) {
        ForbidReadAndUpdate();
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

// The printer's replies and notifications, which a panel that has said it
// ends no longer acts on.
bool IsPrinterEvent(UINT message) {
    return message == RPM_READREPLY || message == RPM_WRITEREPLY ||
           (message >= RPM_EXTSTATUSCHANGED && message <= RPM_PORTCHANGED);
}

}  // namespace

void TakeOpeningStatus(HWND panel, int itemsRead) {
    const StatusTaken taken = TakeStatus(panel, itemsRead);
    if (taken == StatusTaken::Gone) return;
    if (taken == StatusTaken::Unusable) {
        if (!MultiplePrinters) EndPanelForGood(panel);
        return;
    }
    ActOnStatus(panel, true, false);
}

int HandlePrinterMessage(HWND panel, UINT message) {
    // A panel that has said it ends lets them go.
    if (IsPrinterEvent(message) && PanelMustEnd(panel)) return 1;
    switch (message) {
    case RPM_READREPLY:
        OnReadReply(panel);
        return 1;
    case RPM_REFRESH1:
    case RPM_REFRESH2:
    case RPM_REFRESH3:
    case RPM_REFRESH4:
    case RPM_REFRESH5:
        OnRefresh(panel);
        return 1;
    case RPM_WRITEREPLY:
        OnWriteReply(panel);
        return 1;
    case RPM_EXTSTATUSCHANGED:
    case RPM_STATUSCHANGED:
    case RPM_AUTHORITYCHANGED:
        OnStatusItemChanged(panel, message);
        return 1;
    case RPM_NAMECHANGED:
        OnNameChanged(panel);
        return 1;
    case RPM_PORTCHANGED:
        OnPortChanged(panel);
        return 1;
    }
    return 0;
}

int FollowReportedName(HWND panel) {
    char name[kSrmSizePrinterName + 1] = {};
    DWORD length = 0;
    if (!SrmHandle || GetPrinterStatusA(SrmHandle, SRM_ITEM_PRINTERNAME, name, kSrmSizePrinterName, &length) != 0)
        return 0;
    CutToCompleteText(name, sizeof name);
    if (CurrentPrinter && !TextEquals(CurrentPrinter->name, name)) {
        char* copy = DuplicateString(name);
        if (copy) {
            LocalBlock<char> former(ReplacePrinterName(CurrentPrinter, copy));
            ShellPrinterRenamed(former.get());
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
