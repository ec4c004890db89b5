// The least a program can do for the panel's start-up, as the yardstick of
// bench/startup.cpp: a frame with the panel's dialog 117 as a child, the
// common controls and a tab control with six tabs, the spooler's printers at
// level 2, the SRM library, one handle on the printer of the served driver,
// its five status items read synchronously, then "ready" in static 281.
// Nothing more: no toolbar, no pages, no notifications, no asynchronous read.
#include <windows.h>
#include <commctrl.h>
#include <strsafe.h>

#include <memory>

#include "resource.h"
#include "srm_api.h"

namespace {

constexpr char kFrameClass[] = "RPLimitFrame";
constexpr char kServedDriver[] = "Quarl Tilbury 550TK";
constexpr int kTabs = 6;

INT_PTR CALLBACK PanelProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
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

// Opens the printer and reads the five items; true when all were read.
bool ReadPrinter(const char* printer) {
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
    for (const Item& item : items) {
        DWORD length = 0;
        read = GetPrinterStatusA(handle, item.name, buffer, item.size, &length) == 0 && read;
    }
    return read;  // the handle stays open while the program runs, as the panel's does
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
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
    HWND panel = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PANEL), frame, PanelProc, 0);
    if (!panel) return 1;

    HWND tabs = GetDlgItem(panel, IDC_TABS);
    for (int i = 0; i < kTabs; ++i) {
        char text[16];
        StringCchPrintfA(text, ARRAYSIZE(text), "%d", i + 1);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }

    char printer[256] = "";
    if (!FindServedPrinter(printer, sizeof printer) || !ReadPrinter(printer)) return 1;

    ShowWindow(frame, showCommand);
    UpdateWindow(frame);
    SetDlgItemTextA(panel, IDC_STATUSTEXT, "ready");

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(panel, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
