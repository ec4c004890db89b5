// The page contract shared by the setting pages, and the small control
// helpers they all use.
#include "page_common.h"

#include <commctrl.h>

#include "app.h"
#include "messages.h"
#include "pages_pure.h"
#include "panel.h"
#include "resource.h"

void PlacePage(HWND page) {
    const PanelState* state = GetPanelState(GetParent(page));
    if (!state) return;
    SetWindowPos(page, nullptr, state->PageArea.left + kPageOffsetX, state->PageArea.top + kPageOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The handles of a page's setting controls, looked up once when the page is
// made and kept in the page's GWLP_USERDATA: a read disables the pages six
// times and enables them once, and every GetDlgItem asks the window manager
// (under Wine, a round trip to its server) for the dialog's children.
struct ControlHandles {
    const int* ids;
    size_t count;
    std::unique_ptr<HWND[]> handles;
};

ControlHandles* KeptControlHandles(HWND page) {
    return reinterpret_cast<ControlHandles*>(GetWindowLongPtrA(page, GWLP_USERDATA));
}

void KeepControlHandles(HWND page, const int* ids) {
    size_t count = 0;
    while (ids[count] != 0) ++count;
    std::unique_ptr<ControlHandles> kept(new (std::nothrow) ControlHandles{ids, count, nullptr});
    if (!kept) return;  // short of memory: every lookup asks again
    kept->handles.reset(new (std::nothrow) HWND[count]);
    if (!kept->handles) return;
    for (size_t i = 0; i < count; ++i) kept->handles[i] = GetDlgItem(page, ids[i]);
    SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(kept.release()));
}

void DropControlHandles(HWND page) {
    std::unique_ptr<ControlHandles> kept(KeptControlHandles(page));
    SetWindowLongPtrA(page, GWLP_USERDATA, 0);
}

}  // namespace

void EnableControlList(HWND dialog, const int* ids, BOOL enable) {
    const ControlHandles* kept = KeptControlHandles(dialog);
    if (kept && kept->ids != ids) kept = nullptr;
    for (size_t i = 0; ids[i] != 0; ++i) {
        // The record is shown and the pages disabled several times in a row
        // while a read starts: a control already in that state is left alone.
        HWND control = kept ? kept->handles[i] : GetDlgItem(dialog, ids[i]);
        if (control && (IsWindowEnabled(control) != FALSE) != (enable != FALSE)) EnableWindow(control, enable);
    }
}

void SendSettingChanged(HWND page) {
    SendMessageA(GetParent(page), RPM_SETTINGCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

INT_PTR RunPageDialog(HWND page, int templateId, DLGPROC procedure, LPARAM parameter) {
    INT_PTR result;
    {
        PanelModalScope modal;
        result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(templateId), page, procedure, parameter);
    }
    if (!IsWindow(page)) return result;
    if (result == 1) SendSettingChanged(page);
    ForegroundRoleWindow = page;
    return result;
}

void ShowPageWarning(HWND owner, UINT messageId) {
    LoadText(messageId, MessageText, kTextSize);
    BuildPanelCaption(MessageCaption, kTextSize);
    ShowMessageBox(owner, MessageText, MessageCaption, MB_OK | MB_ICONWARNING);
}

void FailStore(HWND page, int index, UINT messageId, int focusId, int* result) {
    ShowPageWarning(page, messageId);
    if (result) *result = 0;
    BringTabForward(GetParent(page), index);
    SetFocus(GetDlgItem(page, focusId));
}

BOOL HandleContextHelp(UINT message, WPARAM wParam, LPARAM lParam) {
    const ULONG_PTR table = reinterpret_cast<ULONG_PTR>(HelpContextTable);
    if (message == WM_HELP) {
        const HELPINFO* info = reinterpret_cast<const HELPINFO*>(lParam);
        if (info && info->iContextType == HELPINFO_WINDOW)
            ShowHelp(static_cast<HWND>(info->hItemHandle), HELP_WM_HELP, table);
        return TRUE;
    }
    if (message == WM_CONTEXTMENU) {
        ShowHelp(reinterpret_cast<HWND>(wParam), HELP_CONTEXTMENU, table);
        return TRUE;
    }
    return FALSE;
}

void SetSpin(HWND dialog, int spinId, int low, int high, int position) {
    SendDlgItemMessageA(dialog, spinId, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    SendDlgItemMessageA(dialog, spinId, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

uint32_t ReadNumberEdit(HWND dialog, int editId) {
    HWND edit = GetDlgItem(dialog, editId);
    if (!edit) return kNotANumber;
    char text[32] = "";
    // A text that does not fit is longer than any number the pages accept.
    if (GetWindowTextLengthA(edit) >= static_cast<int>(sizeof text)) return kNotANumber;
    GetWindowTextA(edit, text, sizeof text);
    return ParseUnsignedText(text);
}

void SetTextFromString(HWND dialog, int controlId, UINT stringId) {
    char text[kTextSize];
    LoadText(stringId, text, kTextSize);
    SetDlgItemTextA(dialog, controlId, text);
}

int ComboSelection(HWND dialog, int comboId) {
    LRESULT selection = SendDlgItemMessageA(dialog, comboId, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

void ShowBitRadios(HWND dialog, const BitBoundRadio* table, size_t count, const uint8_t* switches) {
    for (size_t i = 0; i < count; ++i) {
        const BitBoundRadio& pair = table[i];
        const bool set = (switches[pair.byteIndex] & pair.mask) != 0;
        CheckDlgButton(dialog, pair.setId, set ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, ClearRadioOf(pair), set ? BST_UNCHECKED : BST_CHECKED);
    }
}

void StoreBitRadios(HWND dialog, const BitBoundRadio* table, size_t count, uint8_t* switches) {
    for (size_t i = 0; i < count; ++i) {
        const BitBoundRadio& pair = table[i];
        if (IsDlgButtonChecked(dialog, pair.setId) == BST_CHECKED)
            switches[pair.byteIndex] = static_cast<uint8_t>(switches[pair.byteIndex] | pair.mask);
        else if (IsDlgButtonChecked(dialog, ClearRadioOf(pair)) == BST_CHECKED)
            switches[pair.byteIndex] = static_cast<uint8_t>(switches[pair.byteIndex] & ~pair.mask);
    }
}

void ShowBitCheck(HWND dialog, const BitBoundCheck& check, const uint8_t* switches) {
    const bool set = (switches[check.byteIndex] & check.mask) != 0;
    CheckDlgButton(dialog, check.checkId, set != check.tickedMeansClear ? BST_CHECKED : BST_UNCHECKED);
}

void StoreBitCheck(HWND dialog, const BitBoundCheck& check, uint8_t* switches) {
    const bool ticked = IsDlgButtonChecked(dialog, check.checkId) == BST_CHECKED;
    uint8_t& byte = switches[check.byteIndex];
    if (ticked != check.tickedMeansClear)
        byte = static_cast<uint8_t>(byte | check.mask);
    else
        byte = static_cast<uint8_t>(byte & ~check.mask);
}

namespace {

// What pages and sub-dialogs answer alike: WM_VSCROLL from a spin (not
// handled without a spin handler) and context help; FALSE for the rest.
INT_PTR HandleSpinOrHelp(void (*spinScroll)(HWND window, HWND spin), HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    if (message != WM_VSCROLL) return HandleContextHelp(message, wParam, lParam);
    if (!spinScroll) return FALSE;
    spinScroll(window, reinterpret_cast<HWND>(lParam));
    return TRUE;
}

}  // namespace

INT_PTR HandlePageMessage(const PageBehaviour& behaviour, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        KeepControlHandles(page, behaviour.controls);
        if (behaviour.attachData) behaviour.attachData(page);
        PlacePage(page);
        ForegroundRoleWindow = page;
        behaviour.showRecord(page);
        return TRUE;
    case RPM_SHOWRECORD:
        behaviour.showRecord(page);
        return TRUE;
    case RPM_DISABLE:
        EnableControlList(page, behaviour.controls, FALSE);
        return TRUE;
    case RPM_STORE:
        behaviour.store(page, reinterpret_cast<int*>(lParam));
        return TRUE;
    case WM_COMMAND:
        behaviour.command(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NCDESTROY:
        if (behaviour.freeData) behaviour.freeData(page);
        DropControlHandles(page);
        return FALSE;
    }
    return HandleSpinOrHelp(behaviour.spinScroll, page, message, wParam, lParam);
}

INT_PTR HandleSubDialogMessage(const SubDialogBehaviour& behaviour, HWND dialog, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        behaviour.init(dialog);
        ForegroundRoleWindow = dialog;
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (behaviour.store(dialog)) EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (!behaviour.command) return FALSE;
        return behaviour.command(dialog, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }
    return HandleSpinOrHelp(behaviour.spinScroll, dialog, message, wParam, lParam);
}
