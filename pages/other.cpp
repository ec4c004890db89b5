// The Other page (tab 5, template 197): the interface switches, each a radio
// pair bound to one bit: the print command, 8- or 7-bit data and the DC1/DC3
// code processing. No sub-dialog, nothing to validate.
#include <windows.h>

#include "catalogue.h"
#include "page_common.h"
#include "resource.h"
#include "settings.h"

namespace {

// Setting controls of the page, enabled and disabled together.
const int kOtherControls[] = {
    IDC_OTHER_COMMANDGROUP, IDC_OTHER_COMMANDCR, IDC_OTHER_COMMANDMORE, IDC_OTHER_DCGROUP, IDC_OTHER_DCON,
    IDC_OTHER_DCOFF,        IDC_OTHER_BITSGROUP, IDC_OTHER_BITS8,       IDC_OTHER_BITS7,   0,
};

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    EnableControlList(page, kOtherControls, TRUE);
    ShowBitRadios(page, kOtherPageRadios, ARRAYSIZE(kOtherPageRadios), Settings.switches);
}

// Nothing to validate: the store always succeeds.
void OnStore(HWND page, int* result) {
    ChangeSwitches([page](uint8_t* switches) {
        StoreBitRadios(page, kOtherPageRadios, ARRAYSIZE(kOtherPageRadios), switches);
    });
    if (result) *result = 1;
}

// A click on any radio is a change, even on the one already ticked.
void OnCommand(HWND page, int id, int code) {
    if (code != BN_CLICKED) return;
    for (const BitBoundRadio& pair : kOtherPageRadios) {
        if (id == pair.firstId || id == pair.secondId) {
            SendSettingChanged(page);
            return;
        }
    }
}

}  // namespace

const PageBehaviour kOtherBehaviour = {kOtherControls, OnShowRecord, OnStore, OnCommand, nullptr,
                                nullptr, nullptr};

INT_PTR CALLBACK OtherPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage(kOtherBehaviour, page, message, wParam, lParam);
}
