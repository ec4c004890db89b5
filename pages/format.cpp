// The Format page (tab 1, template 192): feed positions, page length,
// cut-sheet position correction and the selected stored format; and the
// format settings dialog (template 199) that edits one of the four stored
// formats.
#include <windows.h>
#include <commctrl.h>

#include "page_common.h"
#include "pages_pure.h"
#include "resource.h"
#include "settings.h"

namespace {

constexpr int kFormatPageIndex = 1;

// Text changes a load makes: page length and position correction.
constexpr int kLoadEchoes = 2;

// Setting controls of the page, enabled and disabled together.
const int kFormatControls[] = {
    IDC_FORMAT_FEEDGROUP,    IDC_FORMAT_FRONTLABEL,   IDC_FORMAT_FRONTFEED,    IDC_FORMAT_REARLABEL,
    IDC_FORMAT_REARFEED,     IDC_FORMAT_CUTLABEL,     IDC_FORMAT_CUTFEED,      IDC_FORMAT_POSTCARDLABEL,
    IDC_FORMAT_POSTCARDFEED, IDC_FORMAT_LENGTHLABEL,  IDC_FORMAT_LENGTHEDIT,   IDC_FORMAT_LENGTHSPIN,
    IDC_FORMAT_LENGTHUNIT,   IDC_FORMAT_ADJUSTGROUP,  IDC_FORMAT_ADJUSTEDIT,   IDC_FORMAT_ADJUSTSPIN,
    IDC_FORMAT_ADJUSTUNIT,   IDC_FORMAT_HINT,         IDC_FORMAT_SELECTGROUP,  IDC_FORMAT_SELECT,
    IDC_FORMAT_SETTINGS,     0,
};

// A feed position list: its combo, its table, and where its row and custom
// value live (the record's own fields, or a format's).
template <typename Record>
struct FeedList {
    int comboId;
    FeedTable table;
    int32_t Record::*field;
    int32_t CustomFeedSet::*custom;
};

const FeedList<SettingsRecord> kPageFeedLists[4] = {
    {IDC_FORMAT_FRONTFEED, FeedTableA, &SettingsRecord::contFrontFeed, &CustomFeedSet::contFrontCustom},
    {IDC_FORMAT_REARFEED, FeedTableA, &SettingsRecord::contRearFeed, &CustomFeedSet::contRearCustom},
    {IDC_FORMAT_CUTFEED, FeedTableB, &SettingsRecord::cutSheetFeed, &CustomFeedSet::cutSheetCustom},
    {IDC_FORMAT_POSTCARDFEED, FeedTableC, &SettingsRecord::postcardFeed, &CustomFeedSet::postcardCustom},
};

const FeedList<FormatRecord> kDialogFeedLists[4] = {
    {IDC_FMTDLG_FRONTFEED, FeedTableA, &FormatRecord::contFrontFeed, &CustomFeedSet::contFrontCustom},
    {IDC_FMTDLG_REARFEED, FeedTableA, &FormatRecord::contRearFeed, &CustomFeedSet::contRearCustom},
    {IDC_FMTDLG_CUTFEED, FeedTableB, &FormatRecord::cutSheetFeed, &CustomFeedSet::cutSheetCustom},
    {IDC_FMTDLG_POSTCARDFEED, FeedTableC, &FormatRecord::postcardFeed, &CustomFeedSet::postcardCustom},
};

// Rows "クリア(&C)" selects in the dialog's feed lists, in kDialogFeedLists order.
constexpr int kClearedFeedRows[4] = {7, 7, 6, 6};

struct FormatPage {
    int echoCounter;  // text changes of the two edits still to be taken as the load's own
};

// The format settings dialog's own copy of the format it edits.
struct FormatDialog {
    int formatNumber;        // 1..4, as the page chose it
    FormatRecord values;
    CustomFeedSet custom;    // shown, never changed
};

void FillFeedList(HWND dialog, int comboId, FeedTable table, int32_t row, int32_t custom) {
    const int rows = FeedTableRows(table);
    char customText[32] = "";
    if (custom != 0) FormatCustomFeedRow(customText, sizeof customText, custom);
    // A custom value is one more row, after the table's own.
    FillCombo(
        dialog, comboId, custom != 0 ? rows + 1 : rows,
        [&](int i) { return i < rows ? FeedRowText(table, i) : customText; }, FeedListSelection(table, row, custom));
}

void ShowHint(HWND dialog, int hintId, uint32_t posAdjust) {
    SetTextFromString(dialog, hintId, PaperSizeHintId(posAdjust));
}

void RefreshHintFromEdit(HWND dialog, int editId, int hintId) {
    ShowHint(dialog, hintId, ReadNumberEdit(dialog, editId));
}

// ---- Format settings dialog ----

void OnDialogInit(HWND dialog) {
    FormatDialog* data = DialogData<FormatDialog>(dialog);
    const int index = FormatIndexOf(data->formatNumber);
    data->values = Settings.formats[index];
    data->custom = CustomFeeds.formats[index];

    SetTextFromString(dialog, IDC_FMTDLG_NAME, IDS_FORMAT_NAME_BASE + index + 1);
    SetSpin(dialog, IDC_FMTDLG_LENGTHSPIN, 1, 99, data->values.pageLength);
    SetSpin(dialog, IDC_FMTDLG_LEFTSPIN, 0, 135, data->values.leftMargin);
    SetSpin(dialog, IDC_FMTDLG_RIGHTSPIN, 1, 136, data->values.rightMargin);
    SetSpin(dialog, IDC_FMTDLG_ADJUSTSPIN, 0, 68, data->values.cutSheetPosAdjust);
    ShowHint(dialog, IDC_FMTDLG_HINT, static_cast<uint32_t>(data->values.cutSheetPosAdjust));
    for (const FeedList<FormatRecord>& list : kDialogFeedLists)
        FillFeedList(dialog, list.comboId, list.table, data->values.*list.field, data->custom.*list.custom);
}

void OnDialogClear(HWND dialog) {
    SetSpin(dialog, IDC_FMTDLG_LENGTHSPIN, 1, 99, 66);
    SetSpin(dialog, IDC_FMTDLG_LEFTSPIN, 0, 135, 0);
    SetSpin(dialog, IDC_FMTDLG_RIGHTSPIN, 1, 136, 136);
    SetSpin(dialog, IDC_FMTDLG_ADJUSTSPIN, 0, 68, 0);
    SetTextFromString(dialog, IDC_FMTDLG_HINT, IDS_HINT_NONE);
    for (int i = 0; i < 4; ++i)
        SendItem(dialog, kDialogFeedLists[i].comboId, CB_SETCURSEL, kClearedFeedRows[i], 0);
}

bool OnDialogOk(HWND dialog) {
    FormatDialog* data = DialogData<FormatDialog>(dialog);
    if (!data) return false;
    for (const FeedList<FormatRecord>& list : kDialogFeedLists) {
        const int row = ComboSelection(dialog, list.comboId);
        if (row >= 0) data->values.*list.field = row;
    }
    FormatInputs inputs;
    inputs.pageLength = ReadNumberEdit(dialog, IDC_FMTDLG_LENGTHEDIT);
    inputs.leftMargin = ReadNumberEdit(dialog, IDC_FMTDLG_LEFTEDIT);
    inputs.rightMargin = ReadNumberEdit(dialog, IDC_FMTDLG_RIGHTEDIT);
    inputs.posAdjust = ReadNumberEdit(dialog, IDC_FMTDLG_ADJUSTEDIT);
    const FormatCheck check = CheckFormatInputs(inputs);
    if (check.messageId != 0) {
        ShowPageWarning(dialog, check.messageId);
        SetFocus(DialogItem(dialog, check.focusId));
        return false;
    }
    data->values.pageLength = static_cast<int32_t>(inputs.pageLength);
    data->values.leftMargin = static_cast<int32_t>(inputs.leftMargin);
    data->values.rightMargin = static_cast<int32_t>(inputs.rightMargin);
    data->values.cutSheetPosAdjust = static_cast<int32_t>(inputs.posAdjust);
    Settings.formats[FormatIndexOf(data->formatNumber)] = data->values;
    return true;
}

bool OnDialogCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_FMTDLG_CLEAR:
        if (code == BN_CLICKED) OnDialogClear(dialog);
        return true;
    case IDC_FMTDLG_ADJUSTEDIT:
        RefreshHintFromEdit(dialog, IDC_FMTDLG_ADJUSTEDIT, IDC_FMTDLG_HINT);
        return true;
    }
    return false;
}

void OnDialogSpinScroll(HWND dialog, HWND spin) {
    if (GetDlgCtrlID(spin) == IDC_FMTDLG_ADJUSTSPIN)
        RefreshHintFromEdit(dialog, IDC_FMTDLG_ADJUSTEDIT, IDC_FMTDLG_HINT);
}

const SubDialogBehaviour kDialogBehaviour = {OnDialogInit, OnDialogOk, OnDialogCommand, OnDialogSpinScroll};

// ---- Page ----

void EnableSettingsButton(HWND page) {
    EnableWindow(DialogItem(page, IDC_FORMAT_SETTINGS), IsFormatRow(ComboSelection(page, IDC_FORMAT_SELECT)));
}

void OnShowRecord(HWND page) {
    if (!IsRecordLoaded()) return;
    FormatPage* data = DialogData<FormatPage>(page);
    if (data) data->echoCounter = kLoadEchoes;
    EnableControlList(page, kFormatControls, TRUE);
    SetSpin(page, IDC_FORMAT_LENGTHSPIN, 1, 99, Settings.pageLength);
    SetSpin(page, IDC_FORMAT_ADJUSTSPIN, 0, 68, Settings.cutSheetPosAdjust);
    // Every echo of the spins has arrived by now; a spin that found its text
    // already right wrote nothing, and its unused count must not swallow the
    // user's first keystrokes.
    if (data) data->echoCounter = 0;
    ShowHint(page, IDC_FORMAT_HINT, static_cast<uint32_t>(Settings.cutSheetPosAdjust));

    for (const FeedList<SettingsRecord>& list : kPageFeedLists)
        FillFeedList(page, list.comboId, list.table, Settings.*list.field, CustomFeeds.record.*list.custom);

    FillCombo(page, IDC_FORMAT_SELECT, kFormatSelectTexts, kFormatSelectRows, Settings.formatSelect);
    // The button follows the row shown: a stored selection outside the list
    // shows none and must not open a format.
    EnableSettingsButton(page);
}

void OnStore(HWND page, int* result) {
    for (const FeedList<SettingsRecord>& list : kPageFeedLists) {
        const int row = ComboSelection(page, list.comboId);
        if (row >= 0) Settings.*list.field = row;
    }
    const uint32_t pageLength = ReadNumberEdit(page, kFormatPageLengthRule.editId);
    if (!InRange(pageLength, kFormatPageLengthRule.low, kFormatPageLengthRule.high)) {
        FailStore(page, kFormatPageIndex, kFormatPageLengthRule.messageId, kFormatPageLengthRule.editId, result);
        return;
    }
    Settings.pageLength = static_cast<int32_t>(pageLength);
    const uint32_t posAdjust = ReadNumberEdit(page, kFormatPosAdjustRule.editId);
    if (!InRange(posAdjust, kFormatPosAdjustRule.low, kFormatPosAdjustRule.high)) {
        FailStore(page, kFormatPageIndex, kFormatPosAdjustRule.messageId, kFormatPosAdjustRule.editId, result);
        return;
    }
    Settings.cutSheetPosAdjust = static_cast<int32_t>(posAdjust);
    const int selected = ComboSelection(page, IDC_FORMAT_SELECT);
    if (selected >= 0) Settings.formatSelect = selected;
    if (result) *result = 1;
}

void OnFormatSettings(HWND page) {
    const int selected = ComboSelection(page, IDC_FORMAT_SELECT);
    if (!IsFormatRow(selected)) return;
    FormatDialog data = {};
    data.formatNumber = selected;
    RunPageDialog(page, IDD_FORMAT_SETTINGS, SubDialogProc<kDialogBehaviour>, reinterpret_cast<LPARAM>(&data));
}

void OnEditNotice(HWND page, int code) {
    if (code != EN_CHANGE) return;
    FormatPage* data = DialogData<FormatPage>(page);
    if (!data) return;  // still being created: the text is the template's
    if (data->echoCounter > 0)
        --data->echoCounter;
    else
        SendSettingChanged(page);
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_FORMAT_FRONTFEED:
    case IDC_FORMAT_REARFEED:
    case IDC_FORMAT_CUTFEED:
    case IDC_FORMAT_POSTCARDFEED:
        if (code == CBN_SELCHANGE) SendSettingChanged(page);
        return;
    case IDC_FORMAT_SELECT:
        if (code != CBN_SELCHANGE) return;
        EnableSettingsButton(page);
        SendSettingChanged(page);
        return;
    case IDC_FORMAT_LENGTHEDIT:
        OnEditNotice(page, code);
        return;
    case IDC_FORMAT_ADJUSTEDIT:
        RefreshHintFromEdit(page, IDC_FORMAT_ADJUSTEDIT, IDC_FORMAT_HINT);
        OnEditNotice(page, code);
        return;
    case IDC_FORMAT_SETTINGS:
        if (code == BN_CLICKED) OnFormatSettings(page);
        return;
    }
}

void OnSpinScroll(HWND page, HWND spin) {
    switch (GetDlgCtrlID(spin)) {
    case IDC_FORMAT_ADJUSTSPIN:
        RefreshHintFromEdit(page, IDC_FORMAT_ADJUSTEDIT, IDC_FORMAT_HINT);
        SendSettingChanged(page);
        break;
    case IDC_FORMAT_LENGTHSPIN:
        SendSettingChanged(page);
        break;
    }
}

}  // namespace

const PageBehaviour kFormatBehaviour = {kFormatControls, OnShowRecord, OnStore, OnCommand, OnSpinScroll,
                                [](HWND page) { AttachDialogData<FormatPage>(page); }, FreeDialogData<FormatPage>,
                                EnableSettingsButton};

INT_PTR CALLBACK FormatPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage(kFormatBehaviour, page, message, wParam, lParam);
}
