// The Operating environment page (tab 4, template 243): cut-sheet ejection,
// paper edge detection and the sheet guide's loading method; and the advanced
// operating environment dialog (template 208): the sheet feeder's ejection and
// load control, the print columns, the CR function and the automatic CR/LF.
// Every setting is one bit of a switch byte, shown as a radio pair.
#include <windows.h>

#include "app.h"
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

// The page's pairs. The edge pair (1207, 1210) encloses the ejection pair
// (1208, 1209): each radio is ticked on its own, never by id range.
const BitBoundRadio kPageRadios[] = {
    {IDC_ENV_LOADAUTO, IDC_ENV_LOADSWITCH, 3, 0x80, IDC_ENV_LOADSWITCH},
    {IDC_ENV_EDGEDETECT, IDC_ENV_EDGEOFF, 3, 0x01, IDC_ENV_EDGEOFF},
    {IDC_ENV_EJECTFRONT, IDC_ENV_EJECTREAR, 3, 0x20, IDC_ENV_EJECTREAR},
};

// The advanced dialog's pairs. The CR function and the automatic CR/LF name
// their choices in opposite order: a set bit means "CR and LF" for the first
// and "CR only" for the second.
const BitBoundRadio kAdvancedRadios[] = {
    {IDC_ENVADV_FEEDEREJECTCMD, IDC_ENVADV_FEEDEREJECTREAR, 3, 0x40, IDC_ENVADV_FEEDEREJECTREAR},
    {IDC_ENVADV_FEEDERLOADON, IDC_ENVADV_FEEDERLOADOFF, 3, 0x02, IDC_ENVADV_FEEDERLOADON},
    {IDC_ENVADV_COLUMNS136, IDC_ENVADV_COLUMNS80, 1, 0x40, IDC_ENVADV_COLUMNS80},
    {IDC_ENVADV_CRONLY, IDC_ENVADV_CRLF, 0, 0x80, IDC_ENVADV_CRLF},
    {IDC_ENVADV_AUTOCRLF, IDC_ENVADV_AUTOCRONLY, 0, 0x20, IDC_ENVADV_AUTOCRONLY},
};

bool IsPageRadio(int id) {
    for (const BitBoundRadio& pair : kPageRadios)
        if (id == pair.firstId || id == pair.secondId) return true;
    return false;
}

// ---- Advanced operating environment dialog ----

// The dialog reads the record when it opens and writes its five bits only on
// OK; every other bit stays as it is.
void OnAdvancedInit(HWND dialog) {
    ShowBitRadios(dialog, kAdvancedRadios, ARRAYSIZE(kAdvancedRadios), Settings.switches);
}

bool OnAdvancedOk(HWND dialog) {
    StoreBitRadios(dialog, kAdvancedRadios, ARRAYSIZE(kAdvancedRadios), Settings.switches);
    return true;
}

const SubDialogBehaviour kAdvancedBehaviour = {OnAdvancedInit, OnAdvancedOk, nullptr, nullptr};

// ---- Page ----

void OnShowRecord(HWND page) {
    if (!IsSettingsLoaded()) return;
    EnableControlList(page, kEnvironmentControls, TRUE);
    ShowBitRadios(page, kPageRadios, ARRAYSIZE(kPageRadios), Settings.switches);
}

// Nothing to validate: the store always succeeds.
void OnStore(HWND page, int* result) {
    StoreBitRadios(page, kPageRadios, ARRAYSIZE(kPageRadios), Settings.switches);
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
