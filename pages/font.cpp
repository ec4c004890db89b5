// The Font page (tab 2, template 194): typeface, the fonts of the two font
// slots and the slashed zeros; and its advanced font settings dialog
// (template 200): the international character set and the JIS kanji code
// table edition.
#include <windows.h>

#include "catalogue.h"
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

// The two font lists; their rows and combo boxes are the catalogue's.
const char* const kFontKeys[2] = {"font1", "font2"};

void ShowFaceIcon(HWND page) {
    SetIcon(page, IDC_FONT_FACEICON, TypefaceIconOf(!IsChecked(page, IDC_FONT_MINCHO)));
}

void ShowZeroIcons(HWND page) {
    SetIcon(page, IDC_FONT_ZERO1ICON, SlashedZeroIconOf(false, IsChecked(page, IDC_FONT_ZERO1)));
    SetIcon(page, IDC_FONT_ZERO2ICON, SlashedZeroIconOf(true, IsChecked(page, IDC_FONT_ZERO2)));
}

// ---- Advanced font settings dialog ----

void OnAdvancedInit(HWND dialog) {
    const SettingDef& charset = SettingDefOf(SettingIndex("switches.charset"));
    FillCombo(dialog, charset.controlId, kCharsetRowTexts, kCharsetRows, CharsetRowOf(Settings.switches[0]));
    // The kanji table radios stand for the editions in the order of the entry's texts.
    const SettingDef& kanji = SettingDefOf(SettingIndex("kanjiTable"));
    const int ticked = KanjiRadioOf(Settings.kanjiTable);
    for (int i = 0; i < 3; ++i) SetCheck(dialog, kanji.texts[i], i == ticked);
}

bool OnAdvancedOk(HWND dialog) {
    const int charset = SettingIndex("switches.charset");
    StoreSetting(charset, StoreCharsetRow(0, ComboSelection(dialog, SettingDefOf(charset).controlId)));
    // The last edition when neither of the others is ticked.
    const int kanji = SettingIndex("kanjiTable");
    int edition = 0;
    while (edition < 2 && !IsChecked(dialog, SettingDefOf(kanji).texts[edition])) ++edition;
    StoreSetting(kanji, edition);
    return true;
}

const SubDialogBehaviour kAdvancedBehaviour = {OnAdvancedInit, OnAdvancedOk, nullptr, nullptr};

// ---- Page ----

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    EnableControlList(page, kFontControls, TRUE);
    for (const char* key : kFontKeys) {
        const int index = SettingIndex(key);
        const SettingDef& def = SettingDefOf(index);
        FillCombo(page, def.controlId, def.rows, def.rowCount, FontRowOf(CurrentSettingValue(index)));
    }
    const bool gothic = Settings.typeface != 0;
    SetCheck(page, IDC_FONT_MINCHO, !gothic);
    SetCheck(page, IDC_FONT_GOTHIC, gothic);
    ShowFaceIcon(page);
    ShowBitCheck(page, kZeroOneByteCheck, Settings.switches);
    ShowBitCheck(page, kZeroTwoByteCheck, Settings.switches);
    ShowZeroIcons(page);
}

void OnStore(HWND page, int* result) {
    StoreSetting(SettingIndex("typeface"), IsChecked(page, IDC_FONT_MINCHO) ? 0 : 1);
    for (const char* key : kFontKeys) {
        const int index = SettingIndex(key);
        const int row = ComboSelection(page, SettingDefOf(index).controlId);
        StoreSetting(index, StoredRowOr(row, CurrentSettingValue(index)));
    }
    ChangeSwitches([page](uint8_t* switches) {
        StoreBitCheck(page, kZeroOneByteCheck, switches);
        StoreBitCheck(page, kZeroTwoByteCheck, switches);
    });
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
