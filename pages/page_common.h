// What every setting page shares: the page contract with its host (placement,
// enabling, the changed notice, a failed store that brings the page forward),
// context help, the numeric edits with their spins, and the radio pairs bound
// to one bit of a switch byte; and the skeleton of the pages' modal sub-dialogs.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "switch_bits_pure.h"

// ---- Page contract ----

// Moves the page to the page area its host keeps for the parent (the tab
// control's display area) and fills it, never smaller than the page's own
// size; a parent without one leaves the page where it is.
void PlacePage(HWND page);

// A control of a page or of a page's dialog. A page keeps the handles it has
// looked up while it lives; other dialogs look them up each time.
HWND DialogItem(HWND dialog, int id);
// A message to a control (0 when the dialog has no such control).
LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// Check boxes and radio buttons.
bool IsChecked(HWND dialog, int id);
void SetCheck(HWND dialog, int id, bool ticked);
// Shows one of the program's icons (shared) in a static control.
void SetIcon(HWND dialog, int staticId, int iconId);
// Empties a combo box, adds the rows rowText(0) to rowText(count - 1) and
// selects one (a row that is not in the list selects none).
template <typename RowText>
void FillCombo(HWND dialog, int comboId, int count, RowText rowText, int selected) {
    HWND combo = DialogItem(dialog, comboId);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rowText(i)));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}
// The same with the rows of a table of texts.
inline void FillCombo(HWND dialog, int comboId, const char* const* rows, int count, int selected) {
    FillCombo(dialog, comboId, count, [rows](int i) { return rows[i]; }, selected);
}

// Enables or disables every control of a zero-terminated list of control ids.
void EnableControlList(HWND dialog, const int* ids, BOOL enable);

// The changed notice: RPM_SETTINGCHANGED, sent to the page's parent (the
// panel) with the page as wParam.
void SendSettingChanged(HWND page);
// Opens one of the page's modal dialogs with the page as owner (procedure:
// SubDialogProc<its behaviour>, parameter: its data, or 0). OK (1) there is a
// change of the page; afterwards the page takes the foreground role back.
// The dialog is a modal window of the host (page_host.h): a quit of the
// panel that arrives meanwhile waits for the dialog, and nothing touches the
// page when it is gone by then. Returns the dialog's result.
INT_PTR RunPageDialog(HWND page, int templateId, DLGPROC procedure, LPARAM parameter);

// Warning box with a string of the program (OK button, warning icon, the
// panel's caption rule), through the message-box seam.
void ShowPageWarning(HWND owner, UINT messageId);

// The end of a failed store: shows the warning, writes 0 into *result, has
// the host bring the page's own tab (index) forward when another page is
// shown, and puts the focus on the offending control.
void FailStore(HWND page, int index, UINT messageId, int focusId, int* result);

// ---- Numeric edits and their spins ----

// Sets a spin's range and then its position; the spin rewrites its edit.
void SetSpin(HWND dialog, int spinId, int low, int high, int position);

// The edit's text read as an unsigned number (pages_pure.h ParseUnsignedText):
// empty reads 0, a text that is no number reads kNotANumber.
uint32_t ReadNumberEdit(HWND dialog, int editId);

// Sets a static text from a string of the program.
void SetTextFromString(HWND dialog, int controlId, UINT stringId);

// The selected row of a combo box, -1 with none.
int ComboSelection(HWND dialog, int comboId);

// ---- Radio pairs and check boxes bound to one bit of a switch byte ----

// Ticks one radio of each pair from its bit, each button on its own (so ids
// of different pairs may interleave).
void ShowBitRadios(HWND dialog, const BitBoundRadio* table, size_t count, const uint8_t* switches);
// Sets the bit when the "set" radio is ticked, clears it when the other one is;
// with neither ticked the bit stays. No other bit changes.
void StoreBitRadios(HWND dialog, const BitBoundRadio* table, size_t count, uint8_t* switches);

// A check box bound to one bit of the switch bytes.
void ShowBitCheck(HWND dialog, const BitBoundCheck& check, const uint8_t* switches);
void StoreBitCheck(HWND dialog, const BitBoundCheck& check, uint8_t* switches);

// ---- Per-window data of pages and sub-dialogs (kept in DWLP_USER) ----

// What a page or one of its dialogs keeps in its DWLP_USER, from its
// WM_INITDIALOG on: a page its own slot, with the controls it has looked up
// (DialogItem) and its data; a page's dialog the slot RunPageDialog holds for
// it, with the caller's parameter.
struct KeptItems;
struct DialogSlot {
    KeptItems* kept = nullptr;  // pages only
    void* data = nullptr;       // a page's own data, or a dialog's parameter
};
inline DialogSlot* SlotOf(HWND dialog) {
    return reinterpret_cast<DialogSlot*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

template <typename T>
T* DialogData(HWND dialog) {
    DialogSlot* slot = SlotOf(dialog);
    return slot ? static_cast<T*>(slot->data) : nullptr;
}
// A page's own data, made at WM_INITDIALOG (null when memory is short) and
// owned by the page until FreeDialogData at WM_NCDESTROY.
template <typename T>
T* AttachDialogData(HWND dialog) {
    DialogSlot* slot = SlotOf(dialog);
    if (!slot) return nullptr;
    if (!slot->data) slot->data = new (std::nothrow) T();  // a second WM_INITDIALOG keeps it
    return static_cast<T*>(slot->data);
}
template <typename T>
void FreeDialogData(HWND dialog) {
    DialogSlot* slot = SlotOf(dialog);
    if (!slot) return;
    std::unique_ptr<T> owned(static_cast<T*>(slot->data));
    slot->data = nullptr;
}

// ---- The messages every page handles ----

// What one page does; the shared handler does the rest (placement and the
// foreground role when it comes up, RPM_DISABLE, context help).
struct PageBehaviour {
    const int* controls;                         // zero-terminated setting controls
    void (*showRecord)(HWND page);               // RPM_SHOWRECORD, and on creation
    void (*store)(HWND page, int* result);       // RPM_STORE
    void (*command)(HWND page, int id, int code);
    void (*spinScroll)(HWND page, HWND spin);    // null: the page has no spins
    void (*attachData)(HWND page);               // null: no per-page data
    void (*freeData)(HWND page);
    // RPM_SHOWRECORD_KEEP: after the setting controls, what depends on their
    // values (null: nothing).
    void (*enableDependents)(HWND page);
};
INT_PTR HandlePageMessage(const PageBehaviour& behaviour, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// ---- The messages every modal sub-dialog of a page handles ----

// What one sub-dialog does; the shared handler does the rest: at WM_INITDIALOG
// the slot with the parameter of RunPageDialog into DWLP_USER (DialogData reads it), then
// init, then the foreground role; OK ends with 1 once store accepts, Cancel
// ends with 0 and writes nothing; context help.
struct SubDialogBehaviour {
    void (*init)(HWND dialog);                       // fills the controls from the record
    bool (*store)(HWND dialog);                      // OK: false keeps the dialog open
    bool (*command)(HWND dialog, int id, int code);  // other commands, true when its own; null: none
    void (*spinScroll)(HWND dialog, HWND spin);      // null: the dialog has no spins
};
INT_PTR HandleSubDialogMessage(const SubDialogBehaviour& behaviour, HWND dialog, UINT message, WPARAM wParam,
                               LPARAM lParam);

// The dialog procedure of one sub-dialog, for RunPageDialog.
template <const SubDialogBehaviour& behaviour>
INT_PTR CALLBACK SubDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleSubDialogMessage(behaviour, dialog, message, wParam, lParam);
}

// ---- Page procedures (the tab host's page table) ----

// Paper page, template 193 (tab 0); opens the advanced paper settings 198.
INT_PTR CALLBACK PaperPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Format page, template 192 (tab 1); opens the format settings 199.
INT_PTR CALLBACK FormatPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Font page, template 194 (tab 2); opens the advanced font settings 200.
INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Print page, template 195 (tab 3); opens the DOS environment 202 and the advanced print settings 206.
INT_PTR CALLBACK PrintPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Operating environment page, template 243 (tab 4); opens the advanced operating environment 208.
INT_PTR CALLBACK EnvironmentPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Other page, template 197 (tab 5).
INT_PTR CALLBACK OtherPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
