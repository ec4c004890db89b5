// The status display of the panel: reading the three status items,
// registering the change notifications, evaluating the items into the panel
// flags and the status text, showing them, and drawing the status picture.
#include "status.h"

#include <strsafe.h>

#include "messages.h"
#include "panel.h"
#include "printers.h"
#include "resource.h"
#include "scoped.h"
#include "srm_api.h"
#include "status_pure.h"
#include "text_pure.h"

int SwitchFlag = 1;

namespace {

constexpr UINT kTextNotificationFailed = 114;


constexpr COLORREF kPictureBackground = RGB(0, 128, 128);
constexpr int kOverlaySize = 32;  // the overlay icons' edge at 96 dots per inch
constexpr int kPictureSize = 35;  // bitmap 211's edge
constexpr int kBaseDpi = 96;


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

// Where the picture goes in the button: bitmap 211 at this screen's dots per
// inch (its 35 pixels are for 96), centred.
struct PicturePlace {
    int x, y, size;
    int dpi;
};

PicturePlace PlacePicture(HDC dc, const RECT& client, int bitmapSize) {
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpi <= 0) dpi = kBaseDpi;
    const int size = MulDiv(bitmapSize, dpi, kBaseDpi);
    return {(client.right - client.left - size) / 2, (client.bottom - client.top - size) / 2, size, dpi};
}

// Bitmap 211 centred in the button at this screen's scale, its teal
// background turned into the button face colour. Returns where it went.
PicturePlace DrawPrinter(HWND button, HDC dc) {
    RECT client = {};
    GetClientRect(button, &client);
    PicturePlace place = PlacePicture(dc, client, kPictureSize);
    GdiObject<HBITMAP> bitmap(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_STATUS_PRINTER)));
    if (!bitmap.get()) return place;
    BITMAP info = {};
    if (!GetObjectA(bitmap.get(), sizeof info, &info)) return place;
    place = PlacePicture(dc, client, info.bmWidth);
    MemoryDC memory(dc);
    if (!memory.get()) return place;
    Selection bitmapSelection(memory.get(), bitmap.get());
    if (!bitmapSelection.ok()) return place;
    GdiObject<HBRUSH> face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    if (face.get()) {
        Selection brushSelection(memory.get(), face.get());
        if (brushSelection.ok()) ExtFloodFill(memory.get(), 0, 0, kPictureBackground, FLOODFILLSURFACE);
    }
    if (place.size == info.bmWidth) {
        BitBlt(dc, place.x, place.y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
        return place;
    }
    const int height = MulDiv(info.bmHeight, place.dpi, kBaseDpi);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, place.x, place.y, place.size, height, memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return place;
}

// The overlay icon for the flags over the middle of the picture as drawn,
// at the picture's scale, so that it never reaches past the frame.
void DrawOverlay(HDC dc, const PicturePlace& picture) {
    const int icon = OverlayIconFor(UpdateAllowed, ReadAllowed);
    if (icon == 0) return;
    const int size = MulDiv(kOverlaySize, picture.dpi, kBaseDpi);
    LoadedIcon handle(static_cast<HICON>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(icon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!handle.get()) return;
    const int x = picture.x + (picture.size - size) / 2;
    const int y = picture.y + (picture.size - size) / 2;
    DrawIconEx(dc, x, y, handle.get(), size, size, 0, nullptr, DI_NORMAL);
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

void DrawStatusPicture(HWND panel, const DRAWITEMSTRUCT* item) {
    HWND button = item && item->hwndItem ? item->hwndItem : GetDlgItem(panel, IDC_STATUSPICTURE);
    if (!button) return;
    WindowDC dc(button);
    if (!dc.get()) return;
    DrawOverlay(dc.get(), DrawPrinter(button, dc.get()));
}

int FitText(HDC dc, int width, LPCSTR text, LPCSTR ellipsis, char* out, size_t outSize) {
    struct Measure {
        static bool Extent(void* context, const char* text, size_t length, long* width) {
            SIZE size = {};
            if (!GetTextExtentPoint32A(static_cast<HDC>(context), text, static_cast<int>(length), &size)) {
                return false;
            }
            *width = size.cx;
            return true;
        }
        static const char* Next(const char* text) { return CharNextA(text); }
    };
    if (!dc) return 0;
    return FitTextCore(text, ellipsis, width, out, outSize, Measure::Extent, dc, Measure::Next);
}
