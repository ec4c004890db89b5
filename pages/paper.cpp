// The Paper page (tab 0, template 193): paper set position, postcard mode,
// perforation skip and the head-centring positions at paper loading; and its
// advanced paper settings dialog (template 198): the load position memory
// and the paper thickness adjustment.
#include <windows.h>
#include <commctrl.h>

#include "catalogue.h"
#include "page_common.h"
#include "pages_pure.h"
#include "resource.h"
#include "settings.h"

namespace {

constexpr int kPaperPageIndex = 0;

// Text updates a load makes: one per head-centring edit.
constexpr int kLoadEchoes = 3;

// Setting controls of the page, enabled and disabled together (the icons are not among them).
const int kPaperControls[] = {
    IDC_PAPER_SETGROUP,  IDC_PAPER_CENTER,    IDC_PAPER_LEFT,      IDC_PAPER_POSTCARD,  IDC_PAPER_PERFSKIP,
    IDC_PAPER_HEADGROUP, IDC_PAPER_CUTLABEL,  IDC_PAPER_CUTEDIT,   IDC_PAPER_CUTSPIN,   IDC_PAPER_CUTUNIT,
    IDC_PAPER_FRONTLABEL, IDC_PAPER_FRONTEDIT, IDC_PAPER_FRONTSPIN, IDC_PAPER_FRONTUNIT, IDC_PAPER_REARLABEL,
    IDC_PAPER_REAREDIT,  IDC_PAPER_REARSPIN,  IDC_PAPER_REARUNIT,  IDC_PAPER_ADVANCED,  0,
};

// The three head-centring positions in store order; their edits, spins and
// ranges are the catalogue's.
const char* const kHeadCenterKeys[3] = {"headCenterCut", "headCenterFront", "headCenterRear"};

struct PaperPage {
    int echoCounter;  // text updates of the head-centring edits still to be taken as the load's own
};

void ShowPaperSetIcon(HWND page) {
    SetIcon(page, IDC_PAPER_SETICON, IsChecked(page, IDC_PAPER_CENTER) ? IDI_PAPERSET_CENTER : IDI_PAPERSET_LEFT);
}

void ShowPerforationIcon(HWND page) {
    SetIcon(page, IDC_PAPER_PERFICON, IsChecked(page, IDC_PAPER_PERFSKIP) ? IDI_PERFSKIP_ON : IDI_PERFSKIP_OFF);
}

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    PaperPage* data = DialogData<PaperPage>(page);
    if (data) data->echoCounter = kLoadEchoes;
    EnableControlList(page, kPaperControls, TRUE);
    for (const char* key : kHeadCenterKeys) {
        const int index = SettingIndex(key);
        const SettingDef& def = SettingDefOf(index);
        SetSpin(page, def.spinId, static_cast<int>(def.rule->low), static_cast<int>(def.rule->high),
                CurrentSettingValue(index));
    }
    // Every echo of the spins has arrived by now; a spin that found its text
    // already right wrote nothing, and its unused count must not swallow the
    // user's first keystrokes.
    if (data) data->echoCounter = 0;

    const bool center = Settings.paperSetCenter != 0;
    SetCheck(page, IDC_PAPER_CENTER, center);
    SetCheck(page, IDC_PAPER_LEFT, !center);
    ShowPaperSetIcon(page);
    SetCheck(page, IDC_PAPER_POSTCARD, Settings.postcardMode == 1);
    ShowBitCheck(page, kPerforationSkipCheck, Settings.switches);
    ShowPerforationIcon(page);
}

void OnStore(HWND page, int* result) {
    StoreSetting(SettingIndex("paperSetCenter"), IsChecked(page, IDC_PAPER_CENTER) ? 1 : 0);
    StoreSetting(SettingIndex("postcardMode"), IsChecked(page, IDC_PAPER_POSTCARD) ? 1 : 0);
    ChangeSwitches([page](uint8_t* switches) { StoreBitCheck(page, kPerforationSkipCheck, switches); });
    for (const char* key : kHeadCenterKeys) {
        const int index = SettingIndex(key);
        const NumberRule& rule = *SettingDefOf(index).rule;
        const uint32_t value = ReadNumberEdit(page, rule.editId);
        if (!InRange(value, rule.low, rule.high)) {
            FailStore(page, kPaperPageIndex, rule.messageId, rule.editId, result);
            return;
        }
        StoreSetting(index, static_cast<int32_t>(value));
    }
    if (result) *result = 1;
}

// The advanced paper settings dialog.

void OnAdvancedInit(HWND dialog) {
    ShowBitCheck(dialog, kLoadMemoryCheck, Settings.switches);
    const SettingDef& thickness = SettingDefOf(SettingIndex("paperThickness"));
    FillCombo(dialog, thickness.controlId, thickness.rows, thickness.rowCount,
              ThicknessRowOf(Settings.paperThickness));
}

bool OnAdvancedOk(HWND dialog) {
    ChangeSwitches([dialog](uint8_t* switches) { StoreBitCheck(dialog, kLoadMemoryCheck, switches); });
    const int thickness = SettingIndex("paperThickness");
    StoreSetting(thickness, ThicknessFromRow(ComboSelection(dialog, SettingDefOf(thickness).controlId),
                                             Settings.paperThickness));
    return true;
}

const SubDialogBehaviour kAdvancedBehaviour = {OnAdvancedInit, OnAdvancedOk, nullptr, nullptr};

void OnAdvanced(HWND page) {
    RunPageDialog(page, IDD_PAPER_ADVANCED, SubDialogProc<kAdvancedBehaviour>, 0);
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_PAPER_CENTER:
    case IDC_PAPER_LEFT:
        if (code != BN_CLICKED) return;
        ShowPaperSetIcon(page);
        SendSettingChanged(page);
        return;
    case IDC_PAPER_POSTCARD:
        if (code == BN_CLICKED) SendSettingChanged(page);
        return;
    case IDC_PAPER_PERFSKIP:
        if (code != BN_CLICKED) return;
        ShowPerforationIcon(page);
        SendSettingChanged(page);
        return;
    case IDC_PAPER_CUTEDIT:
    case IDC_PAPER_FRONTEDIT:
    case IDC_PAPER_REAREDIT: {
        if (code != EN_UPDATE) return;
        PaperPage* data = DialogData<PaperPage>(page);
        if (!data) return;  // still being created: the text is the template's
        if (data->echoCounter > 0)
            --data->echoCounter;
        else
            SendSettingChanged(page);
        return;
    }
    case IDC_PAPER_ADVANCED:
        if (code == BN_CLICKED) OnAdvanced(page);
        return;
    }
}

void OnSpinScroll(HWND page, HWND spin) {
    switch (GetDlgCtrlID(spin)) {
    case IDC_PAPER_CUTSPIN:
    case IDC_PAPER_FRONTSPIN:
    case IDC_PAPER_REARSPIN:
        SendSettingChanged(page);
        break;
    }
}

}  // namespace

const PageBehaviour kPaperBehaviour = {kPaperControls, OnShowRecord, OnStore, OnCommand, OnSpinScroll,
                                [](HWND page) { AttachDialogData<PaperPage>(page); }, FreeDialogData<PaperPage>};

INT_PTR CALLBACK PaperPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage(kPaperBehaviour, page, message, wParam, lParam);
}
