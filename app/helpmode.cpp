// The context-help mode of the main window: a transparent window over the
// frame with the help cursor; a click on a control shows its popup help and
// ends the mode, Esc ends it without help.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include "app.h"
#include "mainwnd.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "text_pure.h"

namespace {

constexpr char kHelpModeClass[] = "TransWndClassName";

void RaiseHelpButton() {
    SendMessageA(ToolbarWindow, TB_CHECKBUTTON, CMD_HELPMODE, MAKELONG(FALSE, 0));
}

bool IsGroupBox(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return TextEquals(name, "Button") && (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The control of a dialog under a point of its client area. A group box comes
// before the controls it frames, so the control under the point is looked for
// behind it; the group box itself answers only for its frame and label.
HWND ControlFromPoint(HWND dialog, POINT point) {
    HWND found = ChildWindowFromPoint(dialog, point);
    if (!found || found == dialog || !IsGroupBox(found)) return found;
    POINT screen = point;
    ClientToScreen(dialog, &screen);
    for (HWND child = GetWindow(found, GW_HWNDNEXT); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) || IsGroupBox(child)) continue;
        RECT rect = {};
        GetWindowRect(child, &rect);
        if (PtInRect(&rect, screen)) return child;
    }
    return found;
}

}  // namespace

void EndHelpModeAt(HWND window, LPARAM lParam) {
    // The help window covers the frame from its top-left corner.
    POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(HelpModeWindow, &screen);
    RECT frame = {};
    GetWindowRect(window, &frame);
    SetWindowPos(HelpModeWindow, nullptr, frame.left, frame.top, 0, 0, SWP_NOZORDER | SWP_NOREDRAW);
    DestroyWindow(HelpModeWindow);

    POINT point = screen;
    ScreenToClient(window, &point);
    if (point.y < 0) return;  // on the caption
    PanelState* state = GetPanelState(PanelWindow);
    if (!state) return;

    HWND child = ChildWindowFromPoint(window, point);
    if (!child) return;
    if (child == ToolbarWindow) {
        DWORD context = HelpContextOf(IDC_TOOLBAR);
        if (context) ShowHelp(ToolbarWindow, HELP_CONTEXTPOPUP, context);
        return;
    }
    if (child != PanelWindow) return;

    POINT inPanel = screen;
    ScreenToClient(PanelWindow, &inPanel);
    HWND target = ChildWindowFromPoint(PanelWindow, inPanel);
    if (target && target == state->currentPage) {
        POINT inPage = screen;
        ScreenToClient(state->currentPage, &inPage);
        target = ControlFromPoint(state->currentPage, inPage);
    }
    if (!target || target == PanelWindow || target == state->currentPage) return;
    DWORD context = HelpContextOf(static_cast<DWORD>(GetDlgCtrlID(target)));
    if (context) ShowHelp(target, HELP_CONTEXTPOPUP, context);
}

void EnterHelpMode() {
    if (!ToolbarWindow || !MainWindow || HelpModeWindow) return;
    UnregisterClassA(kHelpModeClass, AppInstance);
    WNDCLASSA helpClass = {};
    helpClass.lpfnWndProc = HelpModeWindowProc;
    helpClass.hInstance = AppInstance;
    helpClass.hCursor = LoadCursorA(AppInstance, MAKEINTRESOURCEA(IDCUR_HELPMODE));
    helpClass.lpszClassName = kHelpModeClass;
    if (!RegisterClassA(&helpClass)) {
        ShowTwoTextMessage(MainWindow, IDS_NO_WINDOW_CLASS, IDS_FEATURE_UNAVAILABLE, MB_ICONWARNING);
        RaiseHelpButton();
        return;
    }
    RECT frame = {};
    GetWindowRect(MainWindow, &frame);
    HelpModeWindow = CreateWindowExA(WS_EX_TRANSPARENT, kHelpModeClass, "", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS,
                                     frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                     MainWindow, nullptr, AppInstance, nullptr);
    if (!HelpModeWindow) {
        RaiseHelpButton();
        return;
    }
    SetForegroundRole(HelpModeWindow);
}

void FollowFrameWithHelpMode(HWND window) {
    if (!HelpModeWindow) return;
    RECT frame = {};
    GetWindowRect(window, &frame);
    SetWindowPos(HelpModeWindow, nullptr, frame.left, frame.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS);
}

LRESULT CALLBACK HelpModeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner) SendMessageA(owner, WM_LBUTTONDOWN, wParam, lParam);
        if (!IsWindow(window)) return 0;
    } else if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DestroyWindow(window);
        return 0;
    } else if (message == WM_NCDESTROY && HelpModeWindow == window) {
        // However help mode ends (a click, Esc, Alt+F4), its button comes up
        // and the panel takes the foreground role back.
        HelpModeWindow = nullptr;
        if (ToolbarWindow) RaiseHelpButton();
        SetForegroundRole(PanelWindow);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
