// The Print page (tab 3, template 195): reduced printing, quiet printing and
// the print direction of dot columns; its DOS environment dialog (template
// 202): the power-on defaults used under DOS; and its advanced print settings
// dialog (template 206): the fine adjustment of print pressure and position.
#include <windows.h>

#include "catalogue.h"
#include "font_print_pure.h"
#include "page_common.h"
#include "resource.h"
#include "settings.h"

namespace {

// Setting controls of the page, enabled and disabled together.
const int kPrintControls[] = {
    IDC_PRINT_REDUCTIONGROUP, IDC_PRINT_REDUCTION, IDC_PRINT_REDUCTIONICON, IDC_PRINT_QUIET, IDC_PRINT_DIRGROUP,
    IDC_PRINT_UNIDIR,         IDC_PRINT_BIDIR,     IDC_PRINT_DIRICON,       IDC_PRINT_DOS,   IDC_PRINT_ADVANCED,
    0,
};

// What the DOS environment dialog needs from its page.
struct DosDialog {
    HWND page;  // the Print page; its parent is the panel
};

// The fine adjustments: their lists and combo boxes are the catalogue's.
const char* const kFineKeys[2] = {"printPressure", "printPosition"};

// Icon 1303 for a reduction row; a value that is no row leaves it as it is.
void ShowReductionIcon(HWND page, int32_t row) {
    const int icon = ReductionIconOf(row);
    if (icon != 0) SetIcon(page, IDC_PRINT_REDUCTIONICON, icon);
}

void ShowPageDirectionIcon(HWND page) {
    SetIcon(page, IDC_PRINT_DIRICON, DirectionIconOf(!IsChecked(page, IDC_PRINT_UNIDIR)));
}

void ShowDosDirectionIcon(HWND dialog) {
    SetIcon(dialog, IDC_DOS_DIRICON, DirectionIconOf(IsChecked(dialog, IDC_DOS_SHORTEST)));
}

// ---- DOS environment dialog ----

void OnDosInit(HWND dialog) {
    ShowBitRadios(dialog, kPrintDosRadios, ARRAYSIZE(kPrintDosRadios), Settings.switches);
    ShowDosDirectionIcon(dialog);
    ShowBitCheck(dialog, kDraftAtPowerOnCheck, Settings.switches);
}

// The direction radios report to the panel at once, while the dialog is
// still open, with the dialog as the changed window.
void OnDosDirection(HWND dialog) {
    ShowDosDirectionIcon(dialog);
    const DosDialog* data = DialogData<DosDialog>(dialog);
    if (data && data->page)
        SendMessageA(GetParent(data->page), RPM_SETTINGCHANGED, reinterpret_cast<WPARAM>(dialog), 0);
}

bool OnDosCommand(HWND dialog, int id, int code) {
    if (id != IDC_DOS_UNIDIR && id != IDC_DOS_SHORTEST) return false;
    if (code == BN_CLICKED) OnDosDirection(dialog);
    return true;
}

bool OnDosOk(HWND dialog) {
    ChangeSwitches([dialog](uint8_t* switches) {
        StoreBitRadios(dialog, kPrintDosRadios, ARRAYSIZE(kPrintDosRadios), switches);
        StoreBitCheck(dialog, kDraftAtPowerOnCheck, switches);
    });
    return true;
}

const SubDialogBehaviour kDosBehaviour = {OnDosInit, OnDosOk, OnDosCommand, nullptr};

// ---- Advanced print settings dialog ----

void OnAdvancedInit(HWND dialog) {
    for (const char* key : kFineKeys) {
        const int index = SettingIndex(key);
        const FineList& list = *SettingDefOf(index).fine;
        FillCombo(dialog, SettingDefOf(index).controlId, list.count, [&list](int i) { return list.rows[i].text; },
                  FineRowOf(list, CurrentSettingValue(index)));
    }
}

bool OnAdvancedOk(HWND dialog) {
    for (const char* key : kFineKeys) {
        const int index = SettingIndex(key);
        const SettingDef& def = SettingDefOf(index);
        StoreSetting(index, FineValueOfRow(*def.fine, ComboSelection(dialog, def.controlId)));
    }
    return true;
}

const SubDialogBehaviour kAdvancedBehaviour = {OnAdvancedInit, OnAdvancedOk, nullptr, nullptr};

// ---- Page ----

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    EnableControlList(page, kPrintControls, TRUE);
    const SettingDef& reduction = SettingDefOf(SettingIndex("reduction"));
    FillCombo(page, reduction.controlId, reduction.rows, reduction.rowCount, ReductionRowOf(Settings.reduction));
    ShowReductionIcon(page, Settings.reduction);
    ShowBitRadios(page, kPrintPageRadios, ARRAYSIZE(kPrintPageRadios), Settings.switches);
    ShowPageDirectionIcon(page);
    SetCheck(page, IDC_PRINT_QUIET, Settings.quietPrint == 1);
}

void OnStore(HWND page, int* result) {
    ChangeSwitches([page](uint8_t* switches) {
        StoreBitRadios(page, kPrintPageRadios, ARRAYSIZE(kPrintPageRadios), switches);
    });
    StoreSetting(SettingIndex("quietPrint"), IsChecked(page, IDC_PRINT_QUIET) ? 1 : 0);
    const int reduction = SettingIndex("reduction");
    StoreSetting(reduction, StoredRowOr(ComboSelection(page, SettingDefOf(reduction).controlId), Settings.reduction));
    if (result) *result = 1;
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_PRINT_UNIDIR:
    case IDC_PRINT_BIDIR:
        if (code != BN_CLICKED) return;
        ShowPageDirectionIcon(page);
        SendSettingChanged(page);
        return;
    case IDC_PRINT_QUIET:
        if (code == BN_CLICKED) SendSettingChanged(page);
        return;
    case IDC_PRINT_REDUCTION:
        if (code != CBN_SELCHANGE) return;
        SendSettingChanged(page);
        ShowReductionIcon(page, ComboSelection(page, IDC_PRINT_REDUCTION));
        return;
    case IDC_PRINT_DOS:
        if (code == BN_CLICKED) {
            DosDialog data = {page};
            RunPageDialog(page, IDD_PRINT_DOS, SubDialogProc<kDosBehaviour>, reinterpret_cast<LPARAM>(&data));
        }
        return;
    case IDC_PRINT_ADVANCED:
        if (code == BN_CLICKED) RunPageDialog(page, IDD_PRINT_ADVANCED, SubDialogProc<kAdvancedBehaviour>, 0);
        return;
    }
}

}  // namespace

const PageBehaviour kPrintBehaviour = {kPrintControls, OnShowRecord, OnStore, OnCommand, nullptr,
                                nullptr, nullptr};

INT_PTR CALLBACK PrintPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage(kPrintBehaviour, page, message, wParam, lParam);
}
