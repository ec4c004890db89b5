// The page contract shared by the setting pages, and the small control
// helpers they all use.
#include "page_common.h"

#include <commctrl.h>

#include <algorithm>

#include "messages.h"
#include "page_host.h"
#include "pages_pure.h"
#include "resource.h"
#include "settings.h"

namespace {

// What the host has handed down (page_host.h); empty until it has.
PageHostHooks hostHooks = {};

}  // namespace

void SetPageHostHooks(const PageHostHooks& hooks) {
    hostHooks = hooks;
}

void PlacePage(HWND page) {
    RECT area = {};
    if (!hostHooks.pageArea || !hostHooks.pageArea(GetParent(page), &area)) return;
    RECT own = {};
    GetWindowRect(page, &own);
    const LONG width = std::max(area.right - area.left, own.right - own.left);
    const LONG height = std::max(area.bottom - area.top, own.bottom - own.top);
    SetWindowPos(page, nullptr, area.left, area.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The controls a page has looked up, kept in the page's slot from
// WM_INITDIALOG to WM_NCDESTROY. A read disables every page's controls six
// times, enables them and fills them, and every GetDlgItem asks the window
// manager (under Wine, a round trip to its server) for the dialog's children.
// Page dialogs keep none.
struct KeptItems {
    static constexpr int kSize = 64;  // more than any page has
    int count = 0;
    int ids[kSize] = {};
    HWND handles[kSize] = {};
};

namespace {

struct PageSlot : DialogSlot {
    KeptItems items;
};

KeptItems* KeptItemsOf(HWND dialog) {
    const DialogSlot* slot = SlotOf(dialog);
    return slot ? slot->kept : nullptr;
}

void AttachPageSlot(HWND page) {
    if (SlotOf(page)) return;  // a second WM_INITDIALOG keeps the slot it has
    // Short of memory the page simply looks its controls up each time.
    auto* slot = new (std::nothrow) PageSlot();
    if (!slot) return;
    slot->kept = &slot->items;
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(static_cast<DialogSlot*>(slot)));
}

void DropPageSlot(HWND page) {
    std::unique_ptr<PageSlot> slot(static_cast<PageSlot*>(SlotOf(page)));
    if (slot) SetWindowLongPtrA(page, DWLP_USER, 0);
}

}  // namespace

HWND DialogItem(HWND dialog, int id) {
    KeptItems* kept = KeptItemsOf(dialog);
    if (!kept) return GetDlgItem(dialog, id);
    for (int i = 0; i < kept->count; ++i) {
        if (kept->ids[i] == id) return kept->handles[i];
    }
    HWND item = GetDlgItem(dialog, id);
    if (item && kept->count < KeptItems::kSize) {
        kept->ids[kept->count] = id;
        kept->handles[kept->count] = item;
        ++kept->count;
    }
    return item;
}

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = DialogItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

bool IsChecked(HWND dialog, int id) {
    return SendItem(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetCheck(HWND dialog, int id, bool ticked) {
    SendItem(dialog, id, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetIcon(HWND dialog, int staticId, int iconId) {
    // Shared icons belong to the system's cache: nothing to destroy.
    HANDLE icon = LoadImageA(AppInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
    SendItem(dialog, staticId, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void EnableControlList(HWND dialog, const int* ids, BOOL enable) {
    for (; *ids != 0; ++ids) {
        // The record is shown and the pages disabled several times in a row
        // while a read starts: a control already in that state is left alone.
        HWND control = DialogItem(dialog, *ids);
        if (control && (IsWindowEnabled(control) != FALSE) != (enable != FALSE)) EnableWindow(control, enable);
    }
}

void SendSettingChanged(HWND page) {
    SendMessageA(GetParent(page), RPM_SETTINGCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

namespace {

// The page dialogs open now, outermost first (each opens over the one before).
constexpr int kMaxOpenDialogs = 8;
HWND openDialogs[kMaxOpenDialogs] = {};
int openDialogCount = 0;

BOOL CALLBACK CancelOwnedBox(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && IsWindowEnabled(window))
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

}  // namespace

void CancelPageDialogs() {
    for (int i = openDialogCount - 1; i >= 0; --i) {
        EnumThreadWindows(GetCurrentThreadId(), CancelOwnedBox, reinterpret_cast<LPARAM>(openDialogs[i]));
        SendMessageA(openDialogs[i], WM_COMMAND, IDCANCEL, 0);
    }
}

namespace {

// One page dialog as the body of a modal window of the host.
struct PageDialogRun {
    HWND page;
    int templateId;
    DLGPROC procedure;
    DialogSlot slot;
    INT_PTR result;
};

void RunDialogBox(void* context) {
    auto* run = static_cast<PageDialogRun*>(context);
    run->result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(run->templateId), run->page, run->procedure,
                                  reinterpret_cast<LPARAM>(&run->slot));
}

}  // namespace

INT_PTR RunPageDialog(HWND page, int templateId, DLGPROC procedure, LPARAM parameter) {
    PageDialogRun run = {page, templateId, procedure, DialogSlot(), 0};
    run.slot.data = reinterpret_cast<void*>(parameter);
    if (hostHooks.runModal)
        hostHooks.runModal(RunDialogBox, &run);
    else
        RunDialogBox(&run);
    const INT_PTR result = run.result;
    if (!IsWindow(page)) return result;
    if (result == 1) SendSettingChanged(page);
    SetForegroundRole(page);
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
    if (hostHooks.bringTabForward) hostHooks.bringTabForward(GetParent(page), index);
    SetFocus(DialogItem(page, focusId));
}

void SetSpin(HWND dialog, int spinId, int low, int high, int position) {
    SendItem(dialog, spinId, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    SendItem(dialog, spinId, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

uint32_t ReadNumberEdit(HWND dialog, int editId) {
    HWND edit = DialogItem(dialog, editId);
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
    SetWindowTextA(DialogItem(dialog, controlId), text);
}

int ComboSelection(HWND dialog, int comboId) {
    LRESULT selection = SendItem(dialog, comboId, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

void ShowBitRadios(HWND dialog, const BitBoundRadio* table, size_t count, const uint8_t* switches) {
    for (size_t i = 0; i < count; ++i) {
        const BitBoundRadio& pair = table[i];
        const bool set = (switches[pair.byteIndex] & pair.mask) != 0;
        SetCheck(dialog, pair.setId, set);
        SetCheck(dialog, ClearRadioOf(pair), !set);
    }
}

void StoreBitRadios(HWND dialog, const BitBoundRadio* table, size_t count, uint8_t* switches) {
    for (size_t i = 0; i < count; ++i) {
        const BitBoundRadio& pair = table[i];
        if (IsChecked(dialog, pair.setId))
            switches[pair.byteIndex] = static_cast<uint8_t>(switches[pair.byteIndex] | pair.mask);
        else if (IsChecked(dialog, ClearRadioOf(pair)))
            switches[pair.byteIndex] = static_cast<uint8_t>(switches[pair.byteIndex] & ~pair.mask);
    }
}

void ShowBitCheck(HWND dialog, const BitBoundCheck& check, const uint8_t* switches) {
    const bool set = (switches[check.byteIndex] & check.mask) != 0;
    SetCheck(dialog, check.checkId, set != check.tickedMeansClear);
}

void StoreBitCheck(HWND dialog, const BitBoundCheck& check, uint8_t* switches) {
    const bool ticked = IsChecked(dialog, check.checkId);
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
        AttachPageSlot(page);
        if (behaviour.attachData) behaviour.attachData(page);
        PlacePage(page);
        SetForegroundRole(page);
        behaviour.showRecord(page);
        return TRUE;
    case RPM_SHOWRECORD:
        if (wParam != RPM_SHOWRECORD_KEEP) {
            behaviour.showRecord(page);
        } else if (IsRecordLoaded()) {
            EnableControlList(page, behaviour.controls, TRUE);
            if (behaviour.enableDependents) behaviour.enableDependents(page);
        }
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
        DropPageSlot(page);
        return FALSE;
    }
    return HandleSpinOrHelp(behaviour.spinScroll, page, message, wParam, lParam);
}

INT_PTR HandleSubDialogMessage(const SubDialogBehaviour& behaviour, HWND dialog, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (openDialogCount < kMaxOpenDialogs) openDialogs[openDialogCount++] = dialog;
        behaviour.init(dialog);
        SetForegroundRole(dialog);
        return TRUE;
    case WM_DESTROY:
        for (int i = 0; i < openDialogCount; ++i) {
            if (openDialogs[i] != dialog) continue;
            for (--openDialogCount; i < openDialogCount; ++i) openDialogs[i] = openDialogs[i + 1];
            break;
        }
        return FALSE;
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
