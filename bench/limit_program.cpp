// The least a program can do for the panel's start-up, as the yardstick of
// bench/startup.cpp: what the first screen must show, done the plainest way.
// A frame with a toolbar (bitmap 131's four images, nine buttons, tooltips)
// and the panel's dialog 117 as a child; the tab control's six tabs with
// their texts and their icons in an image list; the spooler's printers at
// level 2, the SRM library, one handle on the printer of the served driver,
// its five status items read synchronously and the settings block decoded;
// the Paper page created from its template 193 over the tab control, shown,
// filled from the record and focused; then "ready" in static 281. Nothing
// more: no notifications, no asynchronous read, no disabling while it waits.
#include <windows.h>
#include <commctrl.h>
#include <strsafe.h>

#include <memory>

#include "codec.h"
#include "resource.h"
#include "settings.h"
#include "srm_api.h"

namespace {

constexpr char kFrameClass[] = "RPLimitFrame";
constexpr char kServedDriver[] = "Quarl Tilbury 550TK";
constexpr int kTabs = 6;
struct Tab {
    UINT text;
    int icon;
};
constexpr Tab kTabTable[kTabs] = {{IDS_TAB_PAPER, IDI_TAB_PAPER}, {IDS_TAB_FORMAT, IDI_TAB_FORMAT},
                                  {IDS_TAB_FONT, IDI_TAB_FONT},   {IDS_TAB_PRINT, IDI_TAB_PRINT},
                                  {IDS_TAB_ENVIRONMENT, IDI_TAB_ENVIRONMENT}, {IDS_TAB_OTHER, IDI_TAB_OTHER}};

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_NOTIFY) {  // a toolbar tooltip asks for its text: the button's string
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        if (info->hdr.code == TTN_NEEDTEXTA) {
            info->hinst = GetModuleHandleA(nullptr);
            info->lpszText = MAKEINTRESOURCEA(info->hdr.idFrom == CMD_READSETTINGS     ? IDS_TIP_READ
                                              : info->hdr.idFrom == CMD_SHOWDEFAULTS   ? IDS_TIP_SHOWDEFAULTS
                                              : info->hdr.idFrom == CMD_CHANGEPRINTER ? IDS_TIP_CHANGEPRINTER
                                                                                       : IDS_TIP_HELP);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateToolbar(HINSTANCE instance, HWND frame) {
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_TOOLTIPS | CCS_NODIVIDER, 0, 0,
                                   0, 0, frame, nullptr, instance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP bitmap = {instance, IDB_TOOLBAR};
    SendMessageA(toolbar, TB_ADDBITMAP, 4, reinterpret_cast<LPARAM>(&bitmap));
    TBBUTTON buttons[9] = {};
    const int commands[9] = {0, CMD_READSETTINGS, CMD_SHOWDEFAULTS, 0, 0, CMD_CHANGEPRINTER, 0, 0, CMD_HELPMODE};
    for (int i = 0, image = 0; i < 9; ++i) {
        buttons[i].iBitmap = commands[i] ? image++ : 4;
        buttons[i].idCommand = commands[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = commands[i] ? BTNS_BUTTON : BTNS_SEP;
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, 9, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    ShowWindow(toolbar, SW_SHOW);
    return toolbar;
}

// The six tabs with their texts and icons.
void FillTabs(HINSTANCE instance, HWND tabs) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_MASK, kTabs, 0);
    for (int i = 0; i < kTabs; ++i) {
        HICON icon = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(kTabTable[i].icon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ImageList_ReplaceIcon(images, -1, icon);
        DestroyIcon(icon);
    }
    SendMessageA(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (int i = 0; i < kTabs; ++i) {
        char text[256];
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = LoadStringA(instance, kTabTable[i].text, text, sizeof text);
        item.iImage = i;
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

// The Paper page over the tab control's display area, enabled and filled from
// the record.
HWND ShowPaperPage(HINSTANCE instance, HWND panel, HWND tabs, const SettingsRecord& record) {
    HWND page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PAPER_PAGE), panel, DialogProc, 0);
    if (!page) return nullptr;
    RECT area = {};
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, panel, reinterpret_cast<POINT*>(&area), 2);
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
    for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        EnableWindow(control, TRUE);  // the template's setting controls start disabled
    const struct {
        int spin;
        int low, high, value;
    } spins[] = {{IDC_PAPER_CUTSPIN, 10, 68, record.headCenterCut},
                 {IDC_PAPER_FRONTSPIN, 10, 68, record.headCenterFront},
                 {IDC_PAPER_REARSPIN, 68, 126, record.headCenterRear}};
    for (const auto& spin : spins) {
        SendDlgItemMessageA(page, spin.spin, UDM_SETRANGE32, spin.low, spin.high);
        SendDlgItemMessageA(page, spin.spin, UDM_SETPOS32, 0, spin.value);
    }
    CheckRadioButton(page, IDC_PAPER_CENTER, IDC_PAPER_LEFT, record.paperSetCenter ? IDC_PAPER_CENTER : IDC_PAPER_LEFT);
    CheckDlgButton(page, IDC_PAPER_POSTCARD, record.postcardMode == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_PAPER_PERFSKIP, record.switches[2] & 0x80 ? BST_CHECKED : BST_UNCHECKED);
    const int icons[][2] = {{IDC_PAPER_SETICON, record.paperSetCenter ? IDI_PAPERSET_CENTER : IDI_PAPERSET_LEFT},
                            {IDC_PAPER_PERFICON, record.switches[2] & 0x80 ? IDI_PERFSKIP_ON : IDI_PERFSKIP_OFF}};
    for (const auto& icon : icons) {
        HANDLE image = LoadImageA(instance, MAKEINTRESOURCEA(icon[1]), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
        SendDlgItemMessageA(page, icon[0], STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
    }
    ShowWindow(page, SW_SHOWNORMAL);
    SetFocus(page);
    return page;
}

// The name of the first spooler printer of the served driver, or false.
bool FindServedPrinter(char* name, size_t size) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return false;
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.get(), needed, &needed,
                       &count))
        return false;
    auto* printers = reinterpret_cast<PRINTER_INFO_2A*>(buffer.get());
    for (DWORD i = 0; i < count; ++i) {
        if (printers[i].pDriverName && lstrcmpA(printers[i].pDriverName, kServedDriver) == 0)
            return SUCCEEDED(StringCchCopyA(name, size, printers[i].pPrinterName));
    }
    return false;
}

// Opens the printer, reads the five items and decodes the settings block;
// true when all were read.
bool ReadPrinter(const char* printer, SettingsRecord* record) {
    char user[256] = "";
    DWORD userSize = sizeof user;
    if (!GetUserNameA(user, &userSize)) user[0] = '\0';
    DWORD handle = 0;
    if (OpenManagerExA(printer, user, kSrmAccess, &handle) != 0 || handle == 0) return false;
    struct Item {
        LPCSTR name;
        DWORD size;
    } const items[] = {
        {SRM_ITEM_PRINTEREXTSTATUS, kSrmSizePrinterExtStatus},
        {SRM_ITEM_PRINTERSTATUS, kSrmSizePrinterStatus},
        {SRM_ITEM_USERAUTHORITY, kSrmSizeUserAuthority},
        {SRM_ITEM_PORT, kSrmSizePort},
        {SRM_ITEM_SETTINGS, kSrmSizeSettings},
    };
    BYTE buffer[kSrmSizeSettings];
    bool read = true;
    for (const Item& item : items) {  // the settings block last, left in the buffer
        DWORD length = 0;
        read = GetPrinterStatusA(handle, item.name, buffer, item.size, &length) == 0 && read;
    }
    CustomFeedTable custom;
    return read && DecodeSettingsBlock(buffer, record, &custom);  // the handle stays open, as the panel's does
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);

    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = kFrameClass;
    if (!RegisterClassA(&frameClass)) return 1;
    HWND frame = CreateWindowExA(0, kFrameClass, "limit", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 480, 520, nullptr, nullptr, instance, nullptr);
    if (!frame) return 1;
    HWND toolbar = CreateToolbar(instance, frame);
    HWND panel = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PANEL), frame, DialogProc, 0);
    if (!toolbar || !panel) return 1;
    // The frame fits the toolbar and the panel below it.
    RECT toolbarRect = {};
    GetWindowRect(toolbar, &toolbarRect);
    const int toolbarHeight = toolbarRect.bottom - toolbarRect.top;
    SetWindowPos(panel, nullptr, 0, toolbarHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT frameRect = {};
    GetClientRect(panel, &frameRect);
    AdjustWindowRect(&frameRect, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
    SetWindowPos(frame, nullptr, 0, 0, frameRect.right - frameRect.left,
                 frameRect.bottom - frameRect.top + toolbarHeight, SWP_NOMOVE | SWP_NOZORDER);

    HWND tabs = GetDlgItem(panel, IDC_TABS);
    FillTabs(instance, tabs);

    char printer[256] = "";
    SettingsRecord record;
    if (!FindServedPrinter(printer, sizeof printer) || !ReadPrinter(printer, &record)) return 1;
    if (!ShowPaperPage(instance, panel, tabs, record)) return 1;

    ShowWindow(frame, showCommand);
    UpdateWindow(frame);
    SetDlgItemTextA(panel, IDC_STATUSTEXT, "ready");

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(panel, &message)) continue;  // the page is a control of the panel
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
