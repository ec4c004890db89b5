// The Font page (tab 2, template 194): typeface, the fonts of the two font
// slots and the slashed zeros; and its advanced font settings dialog
// (template 200): the international character set and the JIS kanji code
// table edition.
#include <windows.h>

#include "font_print_pure.h"
#include "page_common.h"
#include "resource.h"
#include "settings.h"

namespace {

// Setting controls of the page, enabled and disabled together.
const int kFontControls[] = {
    IDC_FONT_FACEGROUP, IDC_FONT_MINCHO,     IDC_FONT_GOTHIC, IDC_FONT_FACEICON,  IDC_FONT_FONTGROUP,
    IDC_FONT_FONT1LABEL, IDC_FONT_FONT1,     IDC_FONT_FONT2LABEL, IDC_FONT_FONT2, IDC_FONT_ZERO1,
    IDC_FONT_ZERO1ICON, IDC_FONT_ZERO2,      IDC_FONT_ZERO2ICON, IDC_FONT_ADVANCED, 0,
};

// The kanji table radios, in the order of the editions they stand for.
const int kKanjiRadios[3] = {IDC_FONTADV_JIS1978, IDC_FONTADV_JIS1983, IDC_FONTADV_JIS1990};

void ShowFaceIcon(HWND page) {
    SetIcon(page, IDC_FONT_FACEICON, TypefaceIconOf(!IsChecked(page, IDC_FONT_MINCHO)));
}

void ShowZeroIcons(HWND page) {
    SetIcon(page, IDC_FONT_ZERO1ICON, SlashedZeroIconOf(false, IsChecked(page, IDC_FONT_ZERO1)));
    SetIcon(page, IDC_FONT_ZERO2ICON, SlashedZeroIconOf(true, IsChecked(page, IDC_FONT_ZERO2)));
}

// ---- Advanced font settings dialog ----

void OnAdvancedInit(HWND dialog) {
    FillCombo(dialog, IDC_FONTADV_CHARSET, kCharsetRowTexts, kCharsetRows, CharsetRowOf(Settings.switches[0]));
    const int ticked = KanjiRadioOf(Settings.kanjiTable);
    for (int i = 0; i < 3; ++i) SetCheck(dialog, kKanjiRadios[i], i == ticked);
}

bool OnAdvancedOk(HWND dialog) {
    Settings.switches[0] = StoreCharsetRow(Settings.switches[0], ComboSelection(dialog, IDC_FONTADV_CHARSET));
    if (IsChecked(dialog, IDC_FONTADV_JIS1978))
        Settings.kanjiTable = 0;
    else if (IsChecked(dialog, IDC_FONTADV_JIS1983))
        Settings.kanjiTable = 1;
    else
        Settings.kanjiTable = 2;
    return true;
}

const SubDialogBehaviour kAdvancedBehaviour = {OnAdvancedInit, OnAdvancedOk, nullptr, nullptr};

// ---- Page ----

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    EnableControlList(page, kFontControls, TRUE);
    FillCombo(page, IDC_FONT_FONT1, kFontRowTexts, kFontRows, FontRowOf(Settings.font1));
    FillCombo(page, IDC_FONT_FONT2, kFontRowTexts, kFontRows, FontRowOf(Settings.font2));
    const bool gothic = Settings.typeface != 0;
    SetCheck(page, IDC_FONT_MINCHO, !gothic);
    SetCheck(page, IDC_FONT_GOTHIC, gothic);
    ShowFaceIcon(page);
    ShowBitCheck(page, kZeroOneByteCheck, Settings.switches);
    ShowBitCheck(page, kZeroTwoByteCheck, Settings.switches);
    ShowZeroIcons(page);
}

void OnStore(HWND page, int* result) {
    Settings.typeface = IsChecked(page, IDC_FONT_MINCHO) ? 0 : 1;
    Settings.font1 = StoredRowOr(ComboSelection(page, IDC_FONT_FONT1), Settings.font1);
    Settings.font2 = StoredRowOr(ComboSelection(page, IDC_FONT_FONT2), Settings.font2);
    StoreBitCheck(page, kZeroOneByteCheck, Settings.switches);
    StoreBitCheck(page, kZeroTwoByteCheck, Settings.switches);
    if (result) *result = 1;
}

void OnAdvanced(HWND page) {
    RunPageDialog(page, IDD_FONT_ADVANCED, SubDialogProc<kAdvancedBehaviour>, 0);
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_FONT_MINCHO:
    case IDC_FONT_GOTHIC:
        if (code != BN_CLICKED) return;
        ShowFaceIcon(page);
        SendSettingChanged(page);
        return;
    case IDC_FONT_ZERO1:
    case IDC_FONT_ZERO2:
        if (code != BN_CLICKED) return;
        ShowZeroIcons(page);
        SendSettingChanged(page);
        return;
    case IDC_FONT_FONT1:
    case IDC_FONT_FONT2:
        if (code == CBN_SELCHANGE) SendSettingChanged(page);
        return;
    case IDC_FONT_ADVANCED:
        if (code == BN_CLICKED) OnAdvanced(page);
        return;
    }
}

}  // namespace

const PageBehaviour kFontBehaviour = {kFontControls, OnShowRecord, OnStore, OnCommand, nullptr,
                                nullptr, nullptr};

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage(kFontBehaviour, page, message, wParam, lParam);
}
