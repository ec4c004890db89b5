// The status display of the panel: reading the three status items,
// registering the change notifications, evaluating the items into the panel
// flags and the status text, and showing them (the picture is drawn in
// status_picture.cpp).
#include "status.h"

#include <strsafe.h>

#include "messages.h"
#include "panel.h"
#include "printers.h"
#include "resource.h"
#include "srm_api.h"
#include "status_pure.h"
#include "text_pure.h"

int SwitchFlag = 1;

namespace {

constexpr UINT kTextNotificationFailed = 114;

// The last state ShowStatus put on the screen.
StatusFlags lastShown = {};
char lastShownText[kTextSize] = "";

StatusFlags CurrentFlags() {
    return {UpdateAllowed, ReadAllowed, PrinterNotReady, ReadPending, WritePending, SwitchFlag};
}

// ---- Reading the items ----

// Reads one item into the panel data; 1 on success, else 0 with its failure
// text in MessageText. A call that fails leaves the stored value as it was.
int ReadItem(StatusItem which) {
    StatusItemValues values = {ExtStatusValue, {StatusValues[0], StatusValues[1], StatusValues[2]}, AuthorityValue};
    const UINT failed = ReadStatusItemOf(SrmHandle, which, &values);
    ExtStatusValue = values.extStatus;
    for (int i = 0; i < 3; ++i) StatusValues[i] = values.status[i];
    AuthorityValue = values.authority;
    if (failed == 0) return 1;
    LoadText(failed, MessageText, kTextSize);
    return 0;
}

struct NotificationRow {
    LPCSTR item;
    UINT message;
    NotificationSlot slot;
};

constexpr NotificationRow kNotificationRows[] = {
    {SRM_ITEM_PRINTERNAME, RPM_NAMECHANGED, NotifyPrinterName},
    {SRM_ITEM_PORT, RPM_PORTCHANGED, NotifyPort},
    {SRM_ITEM_PRINTEREXTSTATUS, RPM_EXTSTATUSCHANGED, NotifyExtStatus},
    {SRM_ITEM_PRINTERSTATUS, RPM_STATUSCHANGED, NotifyStatus},
    {SRM_ITEM_USERAUTHORITY, RPM_AUTHORITYCHANGED, NotifyAuthority},
    {SRM_ITEM_SETTINGS, RPM_SETTINGSCHANGED, NotifySettings},
};

// Loads the status text of the verdict into StatusText.
void LoadStatusText(int textId) { LoadStatusTextOf(textId, StatusText, sizeof StatusText); }

// The printer cannot be used: with several printers the status text says so;
// with one the reason is shown in a warning box (the caller then quits).
void ReportUnusableStatus(HWND owner) {
    char extra[kTextSize];
    if (MultiplePrinters) {
        char reason[kTextSize];
        CopyText(reason, sizeof reason, StatusText);
        LoadText(kTextUnusable, extra, sizeof extra);
        FormatText(StatusText, sizeof StatusText, "%s%s", reason, extra);
        return;
    }
    // One box per ending: a panel that has said it ends does not say it again.
    if (!AnnouncePanelEnding(PanelWindow)) return;
    if (PanelWindow) ShowStatus(GetDlgItem(PanelWindow, IDC_STATUSTEXT));
    LoadText(kTextPanelEnds, extra, sizeof extra);
    FormatText(MessageText, kTextSize, "%s\n%s", StatusText, extra);
    BuildPanelCaption(MessageCaption, kTextSize);
    ShowMessageBox(owner, MessageText, MessageCaption, MB_ICONWARNING);
}

}  // namespace

int ReadStatusItems() {
    return ReadItem(ItemExtStatus) && ReadItem(ItemStatus) && ReadItem(ItemAuthority) ? 1 : 0;
}

int ReadChangedStatusItem(UINT notification) {
    switch (notification) {
    case RPM_EXTSTATUSCHANGED: return ReadItem(ItemExtStatus);
    case RPM_STATUSCHANGED: return ReadItem(ItemStatus);
    case RPM_AUTHORITYCHANGED: return ReadItem(ItemAuthority);
    default: return 0;
    }
}

int RegisterNotifications(HWND panel) {
    for (const NotificationRow& row : kNotificationRows) {
        DWORD* slot = &Notifications[row.slot];
        if (SetNotificationMsgA(SrmHandle, row.item, panel, row.message, slot) != 0) {
            *slot = 0;  // nothing registered here: nothing to kill at closing
            LoadText(kTextNotificationFailed, MessageText, kTextSize);
            return 0;
        }
    }
    return 1;
}

int EvaluateStatus(HWND owner, DWORD extStatus, const DWORD* status, DWORD authority) {
    uint32_t words[3] = {kUnreadItem, kUnreadItem, kUnreadItem};
    if (status) {
        for (int i = 0; i < 3; ++i) words[i] = status[i];
    }
    const StatusVerdict verdict = EvaluateStatusBits(extStatus, words, authority);
    UpdateAllowed = verdict.updateAllowed;
    ReadAllowed = verdict.readAllowed;
    PrinterNotReady = verdict.printerNotReady;
    if (verdict.switchFlag >= 0) SwitchFlag = verdict.switchFlag;
    LoadStatusText(verdict.textId);
    if (verdict.usable) return 1;
    ReportUnusableStatus(owner);
    return 0;
}

void ShowStatus(HWND control) {
    if (!control) return;
    const StatusFlags now = CurrentFlags();
    if (!StatusNeedsShowing(now, StatusText, lastShown, lastShownText)) return;

    char line[kTextSize];
    const int lineId = ChooseStatusLine(now);
    if (lineId != 0) {
        LoadText(static_cast<UINT>(lineId), line, sizeof line);
    } else {
        CopyText(line, sizeof line, StatusText);
    }
    SetWindowTextA(control, line);
    if (PanelWindow) InvalidateRect(GetDlgItem(PanelWindow, IDC_STATUSPICTURE), nullptr, TRUE);

    lastShown = now;
    CopyText(lastShownText, sizeof lastShownText, StatusText);
}
