// The main window: a plain frame with the toolbar on top and the panel dialog
// below it. It forwards commands, activation and focus to the panel, offers
// the about box, ends the context-help mode on a click, and answers the
// messages of other programs and of a second start. Help mode's window is in
// helpmode.cpp.
#include "mainwnd.h"

#include <windowsx.h>
#include <commctrl.h>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "scoped.h"
#include "settings.h"
#include "status.h"
#include "text_pure.h"

namespace {

constexpr char kMainClass[] = "RPWndClass";
constexpr DWORD kMainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kMainExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;

constexpr int kToolbarImages = 4;  // bitmap 131: four 16 x 16 images on silver
constexpr int kToolbarImageSize = 16;
constexpr COLORREF kToolbarBackground = RGB(192, 192, 192);

// The toolbar's images at another size than bitmap 131's, while the toolbar lives.
HIMAGELIST ScaledToolbarImages = nullptr;

// The suite tells of a changed printer set by posting to our top-level
// windows: to a box, the selection dialog or a page's dialog as well as to
// the frame. Whichever gets it, the frame answers it, once for all that came
// before its answer began.
HHOOK printersChangedHook = nullptr;
bool printersChangedForwarded = false;

LRESULT CALLBACK ForwardPrintersChanged(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message && message->message == RPM_PRINTERSCHANGED &&
        MainWindow && message->hwnd && message->hwnd != MainWindow &&
        !(GetWindowLongA(message->hwnd, GWL_STYLE) & WS_CHILD) && !printersChangedForwarded) {
        printersChangedForwarded = PostMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0) != FALSE;
    }
    return CallNextHookEx(printersChangedHook, code, wParam, lParam);
}

// The system's own commands carry flags in their low four bits.
constexpr WPARAM kSysCommandMask = 0xFFF0;

UINT TooltipTextOf(UINT_PTR command) {
    switch (command) {
    case CMD_SHOWDEFAULTS: return IDS_TIP_SHOWDEFAULTS;
    case CMD_READSETTINGS: return IDS_TIP_READ;
    case CMD_CHANGEPRINTER: return IDS_TIP_CHANGEPRINTER;
    case CMD_HELPMODE: return IDS_TIP_HELP;
    default: return 0;
    }
}

HWND Frame() {
    return MainWindow;
}

int ToolbarClientHeight() {
    if (!ToolbarWindow) return 0;
    RECT rect = {};
    GetClientRect(ToolbarWindow, &rect);
    return rect.bottom - rect.top;
}

// The frame fits the panel below the toolbar exactly; it cannot be resized.
void FitFrameToPanel(HWND window) {
    if (ToolbarWindow) SendMessageA(ToolbarWindow, TB_AUTOSIZE, 0, 0);
    RECT frame = {};
    GetClientRect(PanelWindow, &frame);
    AdjustWindowRect(&frame, kMainStyle, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top + ToolbarClientHeight();
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    if (ToolbarWindow) SendMessageA(ToolbarWindow, TB_AUTOSIZE, 0, 0);
}

LRESULT OnCreate(HWND window) {
    MainWindow = window;
    SetForegroundRole(window);
    if (!printersChangedHook)
        printersChangedHook = SetWindowsHookExA(WH_GETMESSAGE, ForwardPrintersChanged, nullptr, GetCurrentThreadId());
    SetPanelShellHooks({CancelSelectionDialogs, HoldClaimUnderNewName, Frame, ToolbarClientHeight,
                        EnableToolbarButton, EnterHelpMode, DiscoverPrinters, RunSelectionDialog, ReleaseClaims});
    InitCommonControls();
    ToolbarWindow = CreateToolbar(window);
    CreatePanel(window);
    // A panel that could not work with its printer has already closed everything.
    if (!IsWindow(window)) return -1;
    if (PanelWindow) {
        FitFrameToPanel(window);
        SetFocus(PanelWindow);
    }
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    if (systemMenu) {
        char text[kTextSize];
        LoadText(IDS_ABOUT_MENU, text, kTextSize);
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_ABOUT, text);
    }
    return 0;
}

void OnClose(HWND window) {
    if (PanelWindow) {
        SendQuit(PanelWindow);
        return;
    }
    DropPrinterList();
    SetForegroundRole(nullptr);
    DestroyWindow(window);
}

// Ends the panel after the served printer was lost: quit through the panel's
// exit button (no question: nothing is left to send the changes to), or close
// the frame when there is no panel.
void EndPanel(HWND window) {
    if (PanelWindow)
        EndPanelForGood(PanelWindow);
    else
        OnClose(window);
}

// A toolbar command, from its button or its accelerator, runs only while its
// button is enabled.
bool CommandAvailable(WORD command) {
    if (ToolbarWindow) return SendMessageA(ToolbarWindow, TB_ISBUTTONENABLED, command, 0) != 0;
    return ToolbarCommandAvailable(command) != 0;
}

LRESULT OnPrintersChanged(HWND window) {
    printersChangedForwarded = false;
    // A panel that has said it ends decides nothing again.
    if (!CurrentPrinter || PanelIsEnding()) return 1;
    HWND owner = PanelWindow ? PanelWindow : window;
    // Boxes and the selection dialog below run modal loops; a quit of the
    // panel that arrives meanwhile (ours included) waits until this is done.
    PanelModalScope modal;

    // A printer renamed in the spooler is renamed for the suite first; the
    // SRM's word of that may still be on its way: take the name it reports
    // now, or the served printer would seem gone from the spooler's list.
    FollowReportedName(PanelWindow);
    // Rediscovery frees the entry: keep the whole name.
    LocalBlock<char> name(DuplicateString(TextOrEmpty(CurrentPrinter->name)));
    if (!name.get()) {
        ShowAllocationError(AppInstance, owner, GetLastError());
        return 1;
    }

    char caption[kTextSize];
    const int count = DiscoverPrinters();
    if (count == 0) {
        char removed[kTextSize];
        char missing[kTextSize];
        LoadText(IDS_PRINTER_REMOVED, removed, kTextSize);
        LoadText(IDS_MODEL_MISSING, missing, kTextSize);
        char text[kTextSize];
        FormatText(text, sizeof text, "%s%s", removed, missing);
        BuildTitleCaption(caption, sizeof caption, name.get());
        SetMultiplePrinters(0);
        LetServedPrinterGo();
        AnnouncePanelEnding(PanelWindow);
        ShowMessageBox(owner, text, caption, MB_ICONWARNING);
        EndPanel(window);
        return 1;
    }
    SetMultiplePrinters(count != 1);
    RefreshToolbar();

    if (PrinterEntry* entry = ListedPrinter(name.get())) {
        ChooseCurrentPrinter(entry);
        return 1;
    }

    // The served printer has gone, and whatever its boxes and its pages'
    // dialogs hold with it.
    CancelMessageBoxes();
    CancelPageDialogs();
    LetServedPrinterGo();
    char text[kTextSize];
    LoadText(IDS_PRINTER_REMOVED, text, kTextSize);
    BuildTitleCaption(caption, sizeof caption, name.get());
    ShowMessageBox(owner, text, caption, MB_ICONINFORMATION);
    // A selection dialog open already (a change of printer) now lists the new
    // set; the choice made there decides, and its caller ends the panel without one.
    if (SelectionDialogOpen()) return 0;

    if (RunSelectionDialog(owner) != 1) {
        EndPanel(window);
        return 0;
    }
    // The dialog has claimed the printer chosen.
    SetForegroundRole(PanelWindow);
    if (PanelWindow) ReopenPanel(PanelWindow);
    return 0;
}

}  // namespace

ATOM RegisterMainClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_PROGRAM));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kMainClass;
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ATOM atom = RegisterClassExA(&windowClass);
    if (atom) return atom;

    WNDCLASSA plain = {};
    plain.style = windowClass.style;
    plain.lpfnWndProc = windowClass.lpfnWndProc;
    plain.hInstance = windowClass.hInstance;
    plain.hIcon = windowClass.hIcon;
    plain.hCursor = windowClass.hCursor;
    plain.hbrBackground = windowClass.hbrBackground;
    plain.lpszClassName = windowClass.lpszClassName;
    atom = RegisterClassA(&plain);
    if (!atom && windowClass.hIconSm) DestroyIcon(windowClass.hIconSm);
    return atom;
}

int ScaleForScreen(int pixelsAt96) {
    static const int dpi = [] {
        WindowDC screen(GetDesktopWindow());
        return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    }();
    return MulDiv(pixelsAt96, dpi, 96);
}

HWND CreateMainWindow() {
    char caption[kTextSize];
    BuildTitleCaption(caption, sizeof caption, CurrentPrinter ? CurrentPrinter->name : nullptr);
    return CreateWindowExA(kMainExStyle, kMainClass, caption, kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, AppInstance, nullptr);
}

// The images of bitmap 131 at size x size each, pixel for pixel (the
// drawing stays sharp), their silver background transparent.
HIMAGELIST ScaleToolbarImages(HWND toolbar, int size) {
    GdiObject<HBITMAP> source(static_cast<HBITMAP>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    WindowDC screen(toolbar);
    GdiObject<HBITMAP> scaled(CreateCompatibleBitmap(screen.get(), size * kToolbarImages, size));
    if (!source.get() || !scaled.get()) return nullptr;
    {
        MemoryDC from(screen.get());
        MemoryDC to(screen.get());
        Selection fromBitmap(from.get(), source.get());
        Selection toBitmap(to.get(), scaled.get());
        if (!fromBitmap.ok() || !toBitmap.ok()) return nullptr;
        SetStretchBltMode(to.get(), COLORONCOLOR);
        StretchBlt(to.get(), 0, 0, size * kToolbarImages, size, from.get(), 0, 0,
                   kToolbarImageSize * kToolbarImages, kToolbarImageSize, SRCCOPY);
    }
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kToolbarImages, 0);
    if (list && ImageList_AddMasked(list, scaled.get(), kToolbarBackground) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    return list;
}

HWND CreateToolbar(HWND mainWindow) {
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | TBSTYLE_TOOLTIPS | CCS_NODIVIDER, 0, 0,
                                   0, 0, mainWindow, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_TOOLBAR)),
                                   AppInstance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int size = ScaleForScreen(kToolbarImageSize);
    if (size != kToolbarImageSize && !ScaledToolbarImages) ScaledToolbarImages = ScaleToolbarImages(toolbar, size);
    if (size != kToolbarImageSize && ScaledToolbarImages) {
        SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(size, size));
        SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ScaledToolbarImages));
    } else {
        TBADDBITMAP bitmap = {AppInstance, IDB_TOOLBAR};
        SendMessageA(toolbar, TB_ADDBITMAP, kToolbarImages, reinterpret_cast<LPARAM>(&bitmap));
    }

    // A separator's image field is its width.
    constexpr int kGap = 4;
    TBBUTTON buttons[] = {
        {kGap, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {0, CMD_READSETTINGS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {1, CMD_SHOWDEFAULTS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {kGap, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {kGap, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {2, CMD_CHANGEPRINTER, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {kGap, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {kGap, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {3, CMD_HELPMODE, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0},
    };
    SendMessageA(toolbar, TB_ADDBUTTONSA, ARRAYSIZE(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    ShowWindow(toolbar, SW_SHOW);
    return toolbar;
}

void EnableToolbarButton(UINT command, BOOL enable) {
    if (!ToolbarWindow) return;
    SendMessageA(ToolbarWindow, TB_ENABLEBUTTON, command, MAKELONG(enable ? TRUE : FALSE, 0));
}

namespace {

// The last message of the main window: what it owned goes with it.
void OnNcDestroy(HWND window) {
    if (MainWindow != window) return;
    MainWindow = nullptr;
    ToolbarWindow = nullptr;
    if (ScaledToolbarImages) ImageList_Destroy(ScaledToolbarImages);
    ScaledToolbarImages = nullptr;
    if (printersChangedHook) UnhookWindowsHookEx(printersChangedHook);
    printersChangedHook = nullptr;
    printersChangedForwarded = false;
}

// The toolbar's tooltips ask for their texts.
void OnNotify(NMHDR* header) {
    if (!header || header->code != TTN_NEEDTEXTA) return;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if (UINT text = TooltipTextOf(info->hdr.idFrom)) {
        info->hinst = AppInstance;
        info->lpszText = MAKEINTRESOURCEA(text);
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        SetForegroundRole(nullptr);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy(window);
        break;
    case WM_MOVE:
        FollowFrameWithHelpMode(window);
        break;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
        if (PanelWindow) SendMessageA(PanelWindow, message, wParam, lParam);
        return 0;
    case WM_CLOSE:
    case RPM_CLOSEPANEL:
        OnClose(window);
        return 0;
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<NMHDR*>(lParam));
        break;
    case WM_SYSCOLORCHANGE:
        if (ToolbarWindow) SendMessageA(ToolbarWindow, WM_SYSCOLORCHANGE, wParam, lParam);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        return HandleContextHelp(message, wParam, lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_SHOWDEFAULTS:
        case CMD_READSETTINGS:
        case CMD_CHANGEPRINTER:
        case CMD_HELPMODE:
            if (PanelWindow && CommandAvailable(LOWORD(wParam))) SendMessageA(PanelWindow, WM_COMMAND, wParam, lParam);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & kSysCommandMask) == IDM_ABOUT) {
            DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDialogProc, 0);
            SetForegroundRole(PanelWindow);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (HelpModeWindow) EndHelpModeAt(window, lParam);
        break;
    case RPM_PRINTERSCHANGED:
        return OnPrintersChanged(window);
    case RPM_BRINGTOFRONT: {
        // A page is a child window, which cannot be made the foreground window
        // itself: bring forward the top-level window it belongs to.
        HWND role = ForegroundRoleWindow ? ForegroundRoleWindow : window;
        HWND root = GetAncestor(role, GA_ROOT);
        SetForegroundWindow(root ? root : role);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetForegroundRole(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
