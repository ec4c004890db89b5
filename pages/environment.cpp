// The Operating environment page (tab 4, template 243): cut-sheet ejection,
// paper edge detection and the sheet guide's loading method; and the advanced
// operating environment dialog (template 208): the sheet feeder's ejection and
// load control, the print columns, the CR function and the automatic CR/LF.
// Every setting is one bit of a switch byte, shown as a radio pair.
#include <windows.h>

#include "catalogue.h"
#include "page_common.h"
#include "resource.h"
#include "settings.h"

namespace {

// Setting controls of the page, enabled and disabled together.
const int kEnvironmentControls[] = {
    IDC_ENV_EJECTGROUP, IDC_ENV_EJECTFRONT, IDC_ENV_EJECTREAR,  IDC_ENV_LOADGROUP, IDC_ENV_LOADAUTO,
    IDC_ENV_LOADSWITCH, IDC_ENV_EDGEGROUP,  IDC_ENV_EDGEDETECT, IDC_ENV_EDGEOFF,   IDC_ENV_ADVANCED,
    0,
};

bool IsPageRadio(int id) {
    for (const BitBoundRadio& pair : kEnvironmentPageRadios)
        if (id == pair.firstId || id == pair.secondId) return true;
    return false;
}

// ---- Advanced operating environment dialog ----

// The dialog reads the record when it opens and writes its five bits only on
// OK; every other bit stays as it is.
void OnAdvancedInit(HWND dialog) {
    ShowBitRadios(dialog, kEnvironmentAdvancedRadios, ARRAYSIZE(kEnvironmentAdvancedRadios), Settings.switches);
}

bool OnAdvancedOk(HWND dialog) {
    ChangeSwitches([dialog](uint8_t* switches) {
        StoreBitRadios(dialog, kEnvironmentAdvancedRadios, ARRAYSIZE(kEnvironmentAdvancedRadios), switches);
    });
    return true;
}

const SubDialogBehaviour kAdvancedBehaviour = {OnAdvancedInit, OnAdvancedOk, nullptr, nullptr};

// ---- Page ----

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    EnableControlList(page, kEnvironmentControls, TRUE);
    ShowBitRadios(page, kEnvironmentPageRadios, ARRAYSIZE(kEnvironmentPageRadios), Settings.switches);
}

// Nothing to validate: the store always succeeds.
void OnStore(HWND page, int* result) {
    ChangeSwitches([page](uint8_t* switches) {
        StoreBitRadios(page, kEnvironmentPageRadios, ARRAYSIZE(kEnvironmentPageRadios), switches);
    });
    if (result) *result = 1;
}

void OnAdvanced(HWND page) {
    RunPageDialog(page, IDD_ENVIRONMENT_ADVANCED, SubDialogProc<kAdvancedBehaviour>, 0);
}

void OnCommand(HWND page, int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_ENV_ADVANCED)
        OnAdvanced(page);
    else if (IsPageRadio(id))
        SendSettingChanged(page);
}

}  // namespace

const PageBehaviour kEnvironmentBehaviour = {kEnvironmentControls, OnShowRecord, OnStore, OnCommand, nullptr,
                                nullptr, nullptr};

INT_PTR CALLBACK EnvironmentPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage(kEnvironmentBehaviour, page, message, wParam, lParam);
}
