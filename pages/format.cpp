// The Format page (tab 1, template 192): feed positions, page length,
// cut-sheet position correction and the selected stored format; and the
// format settings dialog (template 199) that edits one of the four stored
// formats.
#include <windows.h>
#include <commctrl.h>
#include <cstring>

#include "catalogue.h"
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

// The four feed position lists, of the record's own settings on the page and
// of a format in the dialog; their combo boxes, tables and factory rows are
// the catalogue's.
const char* const kFeedKeys[4] = {"contFrontFeed", "contRearFeed", "cutSheetFeed", "postcardFeed"};
// The page's two edits in store order, and the dialog's four in its order;
// their spins, ranges and factory values are the catalogue's.
const char* const kPageNumberKeys[2] = {"pageLength", "cutSheetPosAdjust"};
const char* const kDialogNumberKeys[4] = {"pageLength", "leftMargin", "rightMargin", "cutSheetPosAdjust"};

// A setting's entry in a section: 0 the record's own, 1..4 a format (every
// format's entries name the same controls of the dialog).
const SettingDef& EntryIn(int section, const char* key) {
    return SettingDefOf(FindSetting(section, key, std::strlen(key)));
}

// A number's spin: the entry's range, then the value.
void ShowNumber(HWND dialog, const SettingDef& number, int32_t value) {
    SetSpin(dialog, number.spinId, static_cast<int>(number.rule->low), static_cast<int>(number.rule->high), value);
}

struct FormatPage {
    int echoCounter;  // text changes of the two edits still to be taken as the load's own
};

// The format settings dialog's own copy of the format it edits.
struct FormatDialog {
    int formatNumber;        // 1..4, as the page chose it
    FormatRecord values;
    CustomFeedSet custom;    // shown, never changed
};

void FillFeedList(HWND dialog, const SettingDef& feed, int32_t row, int32_t custom) {
    const FeedTable table = feed.feedTable;
    const int rows = FeedTableRows(table);
    char customText[32] = "";
    if (custom != 0) FormatCustomFeedRow(customText, sizeof customText, custom);
    // A custom value is one more row, after the table's own.
    FillCombo(
        dialog, feed.controlId, custom != 0 ? rows + 1 : rows,
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
    for (const char* key : kDialogNumberKeys) {
        const SettingDef& number = EntryIn(index + 1, key);
        ShowNumber(dialog, number, data->values.*number.formatField);
    }
    ShowHint(dialog, IDC_FMTDLG_HINT, static_cast<uint32_t>(data->values.cutSheetPosAdjust));
    for (const char* key : kFeedKeys) {
        const SettingDef& feed = EntryIn(index + 1, key);
        FillFeedList(dialog, feed, data->values.*feed.formatField, data->custom.*feed.custom);
    }
}

// Every edit and list back to the factory setting; the record is untouched until OK.
void OnDialogClear(HWND dialog) {
    for (const char* key : kDialogNumberKeys) {
        const SettingDef& number = EntryIn(1, key);
        ShowNumber(dialog, number, number.defaultValue);
    }
    SetTextFromString(dialog, IDC_FMTDLG_HINT, IDS_HINT_NONE);
    for (const char* key : kFeedKeys) {
        const SettingDef& feed = EntryIn(1, key);
        SendItem(dialog, feed.controlId, CB_SETCURSEL, feed.defaultValue, 0);
    }
}

bool OnDialogOk(HWND dialog) {
    FormatDialog* data = DialogData<FormatDialog>(dialog);
    if (!data) return false;
    for (const char* key : kFeedKeys) {
        const SettingDef& feed = EntryIn(1, key);
        const int row = ComboSelection(dialog, feed.controlId);
        if (row >= 0) data->values.*feed.formatField = row;
    }
    FormatInputs inputs;
    inputs.pageLength = ReadNumberEdit(dialog, kFormatDialogRules[FormatEditLength].editId);
    inputs.leftMargin = ReadNumberEdit(dialog, kFormatDialogRules[FormatEditLeft].editId);
    inputs.rightMargin = ReadNumberEdit(dialog, kFormatDialogRules[FormatEditRight].editId);
    inputs.posAdjust = ReadNumberEdit(dialog, kFormatDialogRules[FormatEditAdjust].editId);
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
    StoreFormat(FormatIndexOf(data->formatNumber), data->values);
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
    for (const char* key : kPageNumberKeys) {
        const SettingDef& number = EntryIn(0, key);
        ShowNumber(page, number, Settings.*number.field);
    }
    // Every echo of the spins has arrived by now; a spin that found its text
    // already right wrote nothing, and its unused count must not swallow the
    // user's first keystrokes.
    if (data) data->echoCounter = 0;
    ShowHint(page, IDC_FORMAT_HINT, static_cast<uint32_t>(Settings.cutSheetPosAdjust));

    for (const char* key : kFeedKeys) {
        const SettingDef& feed = EntryIn(0, key);
        FillFeedList(page, feed, Settings.*feed.field, CustomFeeds.record.*feed.custom);
    }

    const SettingDef& select = EntryIn(0, "formatSelect");
    FillCombo(page, select.controlId, select.rows, select.rowCount, Settings.formatSelect);
    // The button follows the row shown: a stored selection outside the list
    // shows none and must not open a format.
    EnableSettingsButton(page);
}

void OnStore(HWND page, int* result) {
    for (const char* key : kFeedKeys) {
        const int index = SettingIndex(key);
        const int row = ComboSelection(page, SettingDefOf(index).controlId);
        if (row >= 0) StoreSetting(index, row);
    }
    for (const char* key : kPageNumberKeys) {
        const int index = SettingIndex(key);
        const NumberRule& rule = *SettingDefOf(index).rule;
        const uint32_t value = ReadNumberEdit(page, rule.editId);
        if (!InRange(value, rule.low, rule.high)) {
            FailStore(page, kFormatPageIndex, rule.messageId, rule.editId, result);
            return;
        }
        StoreSetting(index, static_cast<int32_t>(value));
    }
    const int select = SettingIndex("formatSelect");
    const int selected = ComboSelection(page, SettingDefOf(select).controlId);
    if (selected >= 0) StoreSetting(select, selected);
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
