// The tab host of the panel: the six tabs with their icons, the pages created
// on first use and shown one at a time, enabled or disabled together, asked
// to show or store the record, and which toolbar commands the panel's state
// allows.
#include <windows.h>
#include <commctrl.h>

#include "font_print_pure.h"
#include "messages.h"
#include "page_table.h"
#include "panel.h"
#include "panel_internal.h"
#include "printers.h"
#include "resource.h"
#include "scoped.h"
#include "switch_bits_pure.h"

namespace {

// The bits of switch bytes 0 to 3 that each page edits, its own dialogs
// included, as the pages' bit tables (and the font page's character set) give them.
struct SwitchBitsOfTabs {
    uint8_t bits[kPageCount][4] = {};
    void Add(int tab, const BitBoundCheck& check) { bits[tab][check.byteIndex] |= check.mask; }
    template <size_t N>
    void Add(int tab, const BitBoundRadio (&radios)[N]) {
        for (const BitBoundRadio& pair : radios) bits[tab][pair.byteIndex] |= pair.mask;
    }
};

const SwitchBitsOfTabs& SwitchBitsOfTab() {
    enum { Paper, Format, Font, Print, Environment, Other };
    static const SwitchBitsOfTabs table = [] {
        SwitchBitsOfTabs t;
        t.Add(Paper, kPerforationSkipCheck);
        t.Add(Paper, kLoadMemoryCheck);
        t.bits[Font][0] |= kCharsetMask;
        t.Add(Font, kZeroOneByteCheck);
        t.Add(Font, kZeroTwoByteCheck);
        t.Add(Print, kPrintPageRadios);
        t.Add(Print, kPrintDosRadios);
        t.Add(Print, kDraftAtPowerOnCheck);
        t.Add(Environment, kEnvironmentPageRadios);
        t.Add(Environment, kEnvironmentAdvancedRadios);
        t.Add(Other, kOtherPageRadios);
        return t;
    }();
    return table;
}

}  // namespace

int SetUpTabs(HWND panel, PanelState* state) {
    if (!state) return 0;
    LinkPagesToPanel();
    const PageTableEntry* table = ActivePageTable();

    state->tabImages = ImageList_Create(16, 16, ILC_MASK, kPageCount, 0);
    int images[kPageCount];
    for (int i = 0; i < kPageCount; ++i) {
        images[i] = -1;
        LoadedIcon icon(static_cast<HICON>(
            LoadImageA(AppInstance, MAKEINTRESOURCEA(table[i].tabIconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
        if (state->tabImages && icon.get()) images[i] = ImageList_ReplaceIcon(state->tabImages, -1, icon.get());
    }
    SendMessageA(state->tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->tabImages));

    for (int i = 0; i < kPageCount; ++i) {
        char text[kTextSize];
        int length = LoadText(table[i].tabTextId, text, kTextSize);
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = length;
        item.iImage = images[i];
        SendMessageA(state->tabControl, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }

    for (int i = 0; i < kPageCount; ++i) {
        state->templates[i] = FindPageTemplate(table[i].templateId);
        state->procedures[i] = table[i].procedure;
        state->pages[i] = nullptr;
    }

    // Below the tab rows, whatever their number and height at this screen's
    // dots per inch.
    GetClientRect(state->tabControl, &state->PageArea);
    SendMessageA(state->tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&state->PageArea));
    MapWindowPoints(state->tabControl, panel, reinterpret_cast<POINT*>(&state->PageArea), 2);

    ShowPage(panel, 0);
    return 1;
}

namespace {

// Set when the focus went to the quit button because the control that had it
// was disabled; the page takes it back when it is enabled again, into the
// control of a page that had it (focusLost) when that can take it again.
bool focusParked = false;
HWND focusLost = nullptr;

// The first page's marker control stands for the enabled state of all pages.
bool PagesEnabled(const PanelState* state) {
    return !state || IsWindowEnabled(GetDlgItem(state->pages[0], IDC_PAGE0_MARKER));
}

// The focus moves as Tab moves it: a push button that takes it becomes the
// default one (Enter presses it); a page's control gives the default back to
// update then quit.
void MoveFocus(HWND panel, HWND control) {
    SendMessageA(panel, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    HWND quit = GetDlgItem(panel, IDC_QUIT);
    if (control == quit) return;
    SendMessageA(quit, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageA(GetDlgItem(panel, IDC_UPDATEQUIT), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// The focus goes to the quit button, to come back to the page (to `lost`
// where it can) once the pages are enabled again. 1 when it went.
int ParkFocus(HWND panel, HWND lost) {
    HWND quit = GetDlgItem(panel, IDC_QUIT);
    if (!quit || !IsWindowEnabled(quit)) return 0;
    MoveFocus(panel, quit);
    focusParked = true;
    focusLost = lost;
    return 1;
}

}  // namespace

void ShowPage(HWND panel, int index) {
    PanelState* state = GetPanelState(panel);
    if (!state || index < 0 || index >= kPageCount) return;

    constexpr UINT kRestack = SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE;
    if (state->currentPage) {
        ShowWindow(state->currentPage, SW_HIDE);
        SetWindowPos(state->currentPage, HWND_BOTTOM, 0, 0, 0, 0, kRestack);
    }

    if (state->pages[index]) {
        HWND page = state->pages[index];
        ShowWindow(page, SW_RESTORE);
        state->currentPage = page;
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, kRestack);
        SetForegroundRole(page);
    } else {
        // An empty slot (no page procedure or no template) shows nothing.
        // A new page takes the focus into its first control: creating it
        // leaves the focus where it was, the rule below decides.
        HWND page = nullptr;
        HWND focus = GetFocus();
        if (state->templates[index] && state->procedures[index])
            page = CreateDialogIndirectParamA(AppInstance, state->templates[index], panel,
                                              state->procedures[index], 0);
        if (focus && GetFocus() != focus && IsWindow(focus)) SetFocus(focus);
        state->pages[index] = page;
        state->currentPage = page;
        if (page) {
            ShowWindow(page, SW_SHOWNORMAL);
            // Above the tab control, which it overlaps.
            SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, kRestack);
        }
    }

    if (state->focusReturn == state->tabControl || !state->currentPage) return;
    // A disabled page cannot take the focus: the quit button keeps it usable.
    if (PagesEnabled(state) || !ParkFocus(panel, nullptr)) SetFocus(state->currentPage);
}

void BringTabForward(HWND panel, int index) {
    const PanelState* state = GetPanelState(panel);
    if (!state || index < 0 || index >= kPageCount) return;
    if (state->pages[index] && state->currentPage == state->pages[index]) return;
    SendMessageA(state->tabControl, TCM_SETCURSEL, index, 0);
    ShowPage(panel, index);
}

int TabEditingSwitchBits(int byteIndex, uint8_t bits) {
    if (byteIndex < 0 || byteIndex >= 4) return -1;
    const uint8_t choices[] = {bits, 0xFF};
    for (uint8_t wanted : choices) {
        for (int tab = 0; tab < kPageCount; ++tab) {
            if (SwitchBitsOfTab().bits[tab][byteIndex] & wanted) return tab;
        }
    }
    return -1;
}

namespace {

void EnablePages(HWND panel, BOOL enable, WPARAM showing) {
    EnableWindow(GetDlgItem(panel, IDC_MODELTEXT), enable);
    EnableWindow(GetDlgItem(panel, IDC_PORTTEXT), enable);
    ShellEnableToolbarButton(CMD_SHOWDEFAULTS, enable);
    if (!enable) ShellEnableToolbarButton(CMD_READSETTINGS, FALSE);

    PanelState* state = GetPanelState(panel);
    if (!state) return;
    HWND focus = GetFocus();
    for (HWND page : state->pages) {
        if (page) SendMessageA(page, enable ? RPM_SHOWRECORD : RPM_DISABLE, showing, 0);
    }
    if (!enable) {
        if (KeepFocusUsable(panel) && IsChild(state->currentPage, focus)) focusLost = focus;
    } else if (focusParked && GetFocus() == GetDlgItem(panel, IDC_QUIT) && PagesEnabled(state)) {
        ReturnFocusToPage(panel);
    }
}

}  // namespace

int KeepFocusUsable(HWND panel) {
    if (!panel || !IsWindow(panel)) return 0;
    HWND focus = GetFocus();
    // Disabling the control with the focus leaves none in the window.
    const bool lost = focus ? (focus == panel || IsChild(panel, focus)) && !IsWindowEnabled(focus)
                            : GetActiveWindow() == GetAncestor(panel, GA_ROOT);
    return lost ? ParkFocus(panel, nullptr) : 0;
}

void KeepFocusUsableAfterBox(HWND panel, HWND before) {
    const PanelState* state = GetPanelState(panel);
    if (!state || !before || !IsChild(state->currentPage, before) || IsWindowEnabled(before)) return;
    ParkFocus(panel, before);
}

void ReturnFocusToPage(HWND panel) {
    PanelState* state = GetPanelState(panel);
    if (!state || !state->currentPage) return;
    focusParked = false;
    HWND lost = focusLost;
    focusLost = nullptr;
    if (IsChild(state->currentPage, GetFocus())) return;  // it is there already
    for (HWND control : {lost, state->pageFocus}) {
        if (control && IsChild(state->currentPage, control) && IsWindowEnabled(control) && IsWindowVisible(control)) {
            MoveFocus(panel, control);
            return;
        }
    }
    MoveFocus(panel, state->currentPage);
}

void NotePageFocus(PanelState* state) {
    HWND focus = GetFocus();
    if (focus && state->currentPage && IsChild(state->currentPage, focus)) state->pageFocus = focus;
}

void SetPagesEnabled(HWND panel, int flag) {
    EnablePages(panel, flag == 1, 0);
}

void ReenablePages(HWND panel) {
    EnablePages(panel, TRUE, RPM_SHOWRECORD_KEEP);
}

int ToolbarCommandAvailable(UINT command) {
    switch (command) {
    case CMD_READSETTINGS:
        return ReadAllowed == 1 && !PrinterNotReady && !ReadPending && !WritePending;
    case CMD_SHOWDEFAULTS:
        return !ReadPending && (ReadAllowed || UpdateAllowed) && PagesEnabled(GetPanelState(PanelWindow));
    case CMD_CHANGEPRINTER:
        return MultiplePrinters == 1 && !ReadPending && !WritePending;
    }
    return 0;
}

void RefreshToolbar() {
    for (UINT command : {CMD_READSETTINGS, CMD_SHOWDEFAULTS, CMD_CHANGEPRINTER})
        ShellEnableToolbarButton(command, ToolbarCommandAvailable(command) ? TRUE : FALSE);
}

void SendToPageSlots(HWND panel, UINT message) {
    PanelState* state = GetPanelState(panel);
    if (!state) return;
    for (HWND page : state->pages) {
        if (page) SendMessageA(page, message, 0, 0);
    }
}

int CollectPages(HWND panel) {
    PanelState* state = GetPanelState(panel);
    if (!state) return 0;
    // One answer for all pages: an empty slot leaves the previous page's answer.
    int result = 0;
    for (HWND page : state->pages) {
        if (page) SendMessageA(page, RPM_STORE, 0, reinterpret_cast<LPARAM>(&result));
        if (result == 0) return 0;
    }
    return 1;
}

void DestroyPages(PanelState* state) {
    if (!state) return;
    for (HWND& page : state->pages) {
        if (page) DestroyWindow(page);
        page = nullptr;
    }
    state->currentPage = nullptr;
    if (state->tabImages) {
        if (state->tabControl && IsWindow(state->tabControl))
            SendMessageA(state->tabControl, TCM_SETIMAGELIST, 0, 0);
        ImageList_Destroy(state->tabImages);
        state->tabImages = nullptr;
    }
}
