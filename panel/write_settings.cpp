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

// A feed field of a record, its position table and its custom value.
template <typename Record>
struct FeedField {
    int32_t Record::*row;
    FeedTable table;
    int32_t CustomFeedSet::*custom;
};

constexpr FeedField<SettingsRecord> kRecordFeeds[] = {
    {&SettingsRecord::contFrontFeed, FeedTableA, &CustomFeedSet::contFrontCustom},
    {&SettingsRecord::contRearFeed, FeedTableA, &CustomFeedSet::contRearCustom},
    {&SettingsRecord::cutSheetFeed, FeedTableB, &CustomFeedSet::cutSheetCustom},
    {&SettingsRecord::postcardFeed, FeedTableC, &CustomFeedSet::postcardCustom},
};

constexpr FeedField<FormatRecord> kFormatFeeds[] = {
    {&FormatRecord::contFrontFeed, FeedTableA, &CustomFeedSet::contFrontCustom},
    {&FormatRecord::contRearFeed, FeedTableA, &CustomFeedSet::contRearCustom},
    {&FormatRecord::cutSheetFeed, FeedTableB, &CustomFeedSet::cutSheetCustom},
    {&FormatRecord::postcardFeed, FeedTableC, &CustomFeedSet::postcardCustom},
};

constexpr int32_t kNotRead = -1;

template <typename Record, size_t N>
void MarkFeedsNotRead(Record* record, const FeedField<Record> (&fields)[N]) {
    for (const FeedField<Record>& field : fields) record->*field.row = kNotRead;
}

// A feed left on its custom row is written with its custom value, which the
// read just before the write took from the printer. When the printer now
// reports one of the table's positions for it, the reader has cleared that
// value (0 means none): the position the printer reports is written back
// instead of 0.
template <typename Record, size_t N>
void KeepPrinterPositions(const Record& wanted, const Record& printer, const FeedField<Record> (&fields)[N],
                          CustomFeedSet* custom) {
    for (const FeedField<Record>& field : fields) {
        if (FeedValueFromRow(field.table, wanted.*field.row) != kFeedCustomMarker) continue;
        if (custom->*field.custom != 0) continue;
        const uint8_t reported = FeedValueFromRow(field.table, printer.*field.row);
        if (reported != kFeedCustomMarker) custom->*field.custom = reported;
    }
}

// Reads the printer's block once more, which refreshes the program's custom
// feed values; the record read is discarded. The result is not looked at: a
// failed read leaves the custom values as they were. Returns the custom
// values to encode with.
CustomFeedTable RefreshCustomFeeds() {
    SettingsRecord printer = {};
    InvalidateSettings(&printer);
    MarkFeedsNotRead(&printer, kRecordFeeds);
    for (FormatRecord& format : printer.formats) MarkFeedsNotRead(&format, kFormatFeeds);
    DWORD length = 0;
    ReadStatusItem(SrmHandle, SRM_ITEM_SETTINGS, &printer, kSrmSizeSettings, &length);

    CustomFeedTable custom = CustomFeeds;
    KeepPrinterPositions(Settings, printer, kRecordFeeds, &custom.record);
    for (int k = 0; k < 4; ++k)
        KeepPrinterPositions(Settings.formats[k], printer.formats[k], kFormatFeeds, &custom.formats[k]);
    return custom;
}

DWORD SendCommand(HWND panel, DWORD handle, int direct, const uint8_t* area) {
    if (direct == 1) return SetPrinterStatusDirectA(handle, SRM_ITEM_SETTINGS, area, kCommandAreaSize);
    return SetReqPrinterStatusMsgA(handle, SRM_ITEM_SETTINGS, area, kCommandAreaSize, panel, RPM_WRITEREPLY,
                                   &WriteRequestId);
}

// The write is over without the command having reached the SRM; the
// changes stay pending unless the panel went or serves another printer.
WriteOutcome EndWrite(HWND panel, WriteOutcome outcome) {
    WritePending = 0;
    if (!IsLivePanel(panel)) return WriteWithdrawn;
    RefreshToolbar();
    ShowStatus(GetDlgItem(panel, IDC_STATUSTEXT));
    RefreshUpdateButtons(panel);
    return outcome;
}

}  // namespace

WriteOutcome WriteSettings(HWND panel, int direct) {
    // Only a record that holds the printer's settings, and one the printer
    // can take back, may be written (the panel has said why not before), and
    // only while the printer lets this user update.
    if (!UpdateAllowed || !IsRecordLoaded() || UnsendableSwitchByte(Settings) >= 0) return WriteRefused;

    const CustomFeedTable custom = RefreshCustomFeeds();
    uint8_t block[kSettingsBlockSize] = {};
    EncodeSettings(Settings, custom, block);
    uint8_t area[kCommandAreaSize] = {};
    BuildUpdateCommand(block, area);

    WritePending = 1;
    RefreshToolbar();
    ShowStatus(GetDlgItem(panel, IDC_STATUSTEXT));
    RefreshUpdateButtons(panel);

    // Every retry sends the very same command to the same printer.
    const DWORD handle = SrmHandle;
    while (SendCommand(panel, handle, direct, area) != 0) {
        char text[kTextSize];
        LoadText(IDS_RETRY_WRITE, text, kTextSize);
        char caption[kTextSize];
        BuildPanelCaption(caption, sizeof caption);
        const int answer = ShowPanelBox(panel, text, caption, MB_RETRYCANCEL | MB_ICONEXCLAMATION);
        // Handled while the question was up: the panel may have gone, or it
        // may serve another printer now; the command is not sent there.
        if (!IsLivePanel(panel) || SrmHandle != handle) return EndWrite(panel, WriteWithdrawn);
        // Retry is Cancel once the panel is to end or may no longer update:
        // nothing is sent, and the changes stay for the quit to ask about.
        if (answer != IDRETRY || PanelQuitDeferred() || !UpdateAllowed) return EndWrite(panel, WriteCancelled);
        // A printer that has become busy meanwhile is not written to, as by
        // an update; the changes stay pending.
        if (PrinterNotReady) {
            ShowPanelMessage(panel, IDS_BUSY_PRINTER, MB_ICONINFORMATION);
            return EndWrite(panel, WriteRefused);
        }
    }
    ChangesPending = 0;
    return WriteSent;
}
