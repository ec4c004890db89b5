// The update procedure: the whole settings record, encoded into the update
// command, written to the printer's "RPVariables_PSV" through the SRM.
#include <windows.h>

#include "codec.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "settings.h"
#include "srm_api.h"
#include "status.h"

namespace {

DWORD SendCommand(HWND panel, int direct, const uint8_t* area) {
    if (direct == 1) return SetPrinterStatusDirectA(SrmHandle, SRM_ITEM_SETTINGS, area, kCommandAreaSize);
    return SetReqPrinterStatusMsgA(SrmHandle, SRM_ITEM_SETTINGS, area, kCommandAreaSize, panel, RPM_WRITEREPLY,
                                   &WriteRequestId);
}

}  // namespace

int WriteSettings(HWND panel, int direct) {
    // Refreshes the custom feed values from the printer, so that a custom row
    // writes back the printer's current value; the record read is discarded.
    SettingsRecord scratch = {};
    DWORD length = 0;
    ReadStatusItem(SrmHandle, SRM_ITEM_SETTINGS, &scratch, kSrmSizeSettings, &length);

    uint8_t block[kSettingsBlockSize] = {};
    EncodeSettings(Settings, CustomFeeds, block);
    uint8_t area[kCommandAreaSize] = {};
    BuildUpdateCommand(block, area);

    HWND status = GetDlgItem(panel, IDC_STATUSTEXT);
    WritePending = 1;
    RefreshToolbar();
    ShowStatus(status);
    EnableUpdateButtons(panel, FALSE);

    // Every retry sends the very same command.
    while (SendCommand(panel, direct, area) != 0) {
        char text[kTextSize];
        LoadText(IDS_RETRY_WRITE, text, kTextSize);
        char caption[kTextSize];
        BuildPanelCaption(caption, sizeof caption);
        if (ShowMessageBox(panel, text, caption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY) {
            WritePending = 0;
            RefreshToolbar();
            ShowStatus(status);
            EnableUpdateButtons(panel, TRUE);
            return 0;
        }
    }
    return 1;
}
