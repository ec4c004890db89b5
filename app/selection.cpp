// Printer selection dialog: every served printer with its live status word,
// model and destination in a sortable list; choosing another printer releases
// everything bound to the old one.
#include <windows.h>
#include <commctrl.h>
#include <strsafe.h>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "shell_pure.h"
#include "srm_api.h"
#include "text_pure.h"

namespace {

enum Column { ColumnName, ColumnStatus, ColumnModel, ColumnDestination, kColumnCount };

// One list row. Name, model and destination are the row's own copies: the
// printer list may be rebuilt while the dialog is open. The status word is one
// of the dialog's labels.
struct SelectionRow {
    const char* columns[kColumnCount];  // name, status word, model, destination
    SelectionRow* next;
};
constexpr Column kCopiedColumns[] = {ColumnName, ColumnModel, ColumnDestination};

void FreeRows(SelectionRow* rows) {
    while (rows) {
        SelectionRow* next = rows->next;
        for (Column column : kCopiedColumns) {
            if (rows->columns[column]) LocalFree(const_cast<char*>(rows->columns[column]));
        }
        LocalFree(rows);
        rows = next;
    }
}

// Everything the open dialog owns, freed when the dialog has ended.
struct SelectionDialog {
    char* statusLabels[3] = {};  // online, offline, unknown (indexed by PrinterStatusLabel)
    SelectionRow* rows = nullptr;
    int sortColumn = ColumnName;
    HWND enclosing = nullptr;  // the selection dialog open before this one, if any

    SelectionDialog() = default;
    SelectionDialog(const SelectionDialog&) = delete;
    SelectionDialog& operator=(const SelectionDialog&) = delete;
    ~SelectionDialog() {
        for (char*& label : statusLabels) {
            if (label) LocalFree(label);
            label = nullptr;
        }
        FreeRows(rows);
    }
};

// The selection dialog open now (the innermost one), or null.
HWND OpenSelection = nullptr;

struct ColumnSpec {
    UINT heading;
    int width;  // 0: the rest of the list's width
};
constexpr ColumnSpec kColumns[kColumnCount] = {
    {IDS_HEADING_NAME, 170}, {IDS_HEADING_STATUS, 60}, {IDS_HEADING_MODEL, 170}, {IDS_HEADING_DESTINATION, 0}};
constexpr int kFixedColumnsWidth = 400;
constexpr int kMinimumDestinationWidth = 220;

constexpr UINT kStatusLabelIds[3] = {IDS_STATUS_ONLINE, IDS_STATUS_OFFLINE, IDS_STATUS_UNKNOWN};

SelectionDialog* DialogData(HWND dialog) {
    return reinterpret_cast<SelectionDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

const SelectionRow* RowAt(HWND list, int index) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<const SelectionRow*>(item.lParam);
}

void LoadStatusLabels(SelectionDialog* data) {
    for (int i = 0; i < 3; ++i) {
        char text[kTextSize];
        LoadText(kStatusLabelIds[i], text, kTextSize);
        data->statusLabels[i] = DuplicateString(text);
    }
}

// The destination column's width once the others take `used` pixels.
int DestinationWidth(HWND list, int used) {
    RECT client = {};
    GetClientRect(list, &client);
    const int rest = client.right - client.left - used;
    const int least = ScaleForScreen(kMinimumDestinationWidth);
    return rest < least ? least : rest;
}

void InsertColumns(HWND list) {
    const int rest = DestinationWidth(list, ScaleForScreen(kFixedColumnsWidth));
    for (int i = 0; i < kColumnCount; ++i) {
        char heading[kTextSize];
        LoadText(kColumns[i].heading, heading, kTextSize);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width ? ScaleForScreen(kColumns[i].width) : rest;
        column.pszText = heading;
        column.iSubItem = i;
        if (SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column)) == -1) break;
    }
}

// Widens the columns whose heading or texts do not fit, and gives the
// destination the rest of the list's width (at least what its texts need).
void FitColumns(HWND list) {
    int used = 0;
    for (int i = 0; i < kColumnCount; ++i) {
        const bool last = i == ColumnDestination;
        const int least = last ? DestinationWidth(list, used)
                               : static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
        // The last column's heading would take all the rest: its texts only.
        SendMessageA(list, LVM_SETCOLUMNWIDTH, i, last ? LVSCW_AUTOSIZE : LVSCW_AUTOSIZE_USEHEADER);
        const int needed = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
        const int width = needed > least ? needed : least;
        SendMessageA(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(width, 0));
        used += width;
    }
}

const SelectionRow* FindRow(const SelectionRow* rows, const char* name) {
    for (; rows; rows = rows->next) {
        if (TextEquals(rows->columns[ColumnName], name)) return rows;
    }
    return nullptr;
}

// One row per printer, in list order. A printer that already had a row in
// `earlier` keeps its status word; the others are asked now.
void FillRows(HWND list, SelectionDialog* data, const SelectionRow* earlier) {
    SelectionRow* tail = nullptr;
    int index = 0;
    for (PrinterEntry* entry = PrinterList; entry; entry = entry->next, ++index) {
        SelectionRow* row = static_cast<SelectionRow*>(LocalAlloc(LPTR, sizeof(SelectionRow)));
        if (!row) break;
        if (tail)
            tail->next = row;
        else
            data->rows = row;
        tail = row;

        row->columns[ColumnName] = DuplicateString(entry->name);
        row->columns[ColumnModel] = DuplicateString(entry->model);
        row->columns[ColumnDestination] = DuplicateString(entry->destination);
        const SelectionRow* known = FindRow(earlier, entry->name);
        row->columns[ColumnStatus] =
            known ? known->columns[ColumnStatus] : data->statusLabels[ReadStatusLabel(entry->name)];

        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
        item.iItem = index;
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.iImage = 0;
        item.lParam = reinterpret_cast<LPARAM>(row);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM column) {
    const SelectionRow* a = reinterpret_cast<const SelectionRow*>(first);
    const SelectionRow* b = reinterpret_cast<const SelectionRow*>(second);
    if (!a || !b) return 0;
    int result = lstrcmpiA(TextOrEmpty(a->columns[column]), TextOrEmpty(b->columns[column]));
    if (result == 0) result = lstrcmpiA(TextOrEmpty(a->columns[ColumnName]), TextOrEmpty(b->columns[ColumnName]));
    return result;
}

void SortRows(HWND list, int column) {
    if (column < 0 || column >= kColumnCount) return;
    SendMessageA(list, LVM_SORTITEMS, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(CompareRows));
}

void SelectRow(HWND list, int index) {
    LVITEMA item = {};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, index, FALSE);
}

// Selects the row of that printer, found by its whole name; 0 when none has it.
int SelectRowOf(HWND list, const char* name) {
    if (!name) return 0;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const SelectionRow* row = RowAt(list, i);
        if (row && TextEquals(row->columns[ColumnName], name)) {
            SelectRow(list, i);
            return 1;
        }
    }
    return 0;
}

// The served printer's row, or row 0 without one.
void Preselect(HWND list) {
    if (!SelectRowOf(list, CurrentPrinter ? CurrentPrinter->name : nullptr)) SelectRow(list, 0);
}

void OnInitDialog(HWND dialog, SelectionDialog* data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    OpenSelection = dialog;
    HWND list = GetDlgItem(dialog, IDC_PRINTERLIST);
    LoadStatusLabels(data);
    InsertColumns(list);
    FillRows(list, data, nullptr);
    FitColumns(list);
    SortRows(list, data->sortColumn);
    Preselect(list);
}

// The name in the selected row, or null without a selected row.
const char* SelectedName(HWND list) {
    int selected = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const SelectionRow* row = selected >= 0 ? RowAt(list, selected) : nullptr;
    return row ? row->columns[ColumnName] : nullptr;
}

// Rows anew from the printer list as it is now, in the same order; the
// selected printer stays selected while it is listed.
void RefreshRows(HWND dialog, SelectionDialog* data) {
    HWND list = GetDlgItem(dialog, IDC_PRINTERLIST);
    LocalBlock<char> selected(DuplicateString(SelectedName(list)));
    SelectionRow* earlier = data->rows;
    data->rows = nullptr;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    FillRows(list, data, earlier);
    FreeRows(earlier);
    FitColumns(list);
    SortRows(list, data->sortColumn);
    if (!SelectRowOf(list, selected.get())) Preselect(list);
}

// Unsent changes in the panel, whether or not it may send them now.
int PanelHasUnsentChanges() {
    return PanelWindow && ChangesPending ? 1 : 0;
}

void ShowDialogMessage(HWND dialog, UINT textId, LPCSTR name, UINT style) {
    char caption[kTextSize];
    if (name)
        BuildTitleCaption(caption, sizeof caption, name);
    else
        LoadText(IDS_TITLE, caption, kTextSize);
    LoadText(textId, MessageText, kTextSize);
    ShowMessageBox(dialog, MessageText, caption, style);
}

void OnOk(HWND dialog) {
    // The choice is kept by name: while the question below is up the printer
    // list may be rebuilt, and the entry found now freed.
    LocalBlock<char> name(DuplicateString(SelectedName(GetDlgItem(dialog, IDC_PRINTERLIST))));
    PrinterEntry* chosen = ListedPrinter(name.get());
    if (!chosen) {
        ShowDialogMessage(dialog, IDS_CHOOSE_PRINTER, nullptr, MB_ICONWARNING);
        return;
    }
    // The printer served already, under either of its names: nothing changes.
    if (chosen == CurrentPrinter || IsServedName(name.get())) {
        EndDialog(dialog, 0);
        return;
    }
    // The new printer is claimed before the old one is let go: when another
    // panel serves it, this panel stays as it was (a panel changing printer
    // is told so; at start-up that panel just comes forward).
    ScopedClaim claim(ClaimPrinter(name.get(), PanelWindow ? dialog : nullptr));
    if (!claim.get()) {
        EndDialog(dialog, 0);
        return;
    }
    if (PanelHasUnsentChanges()) {
        char caption[kTextSize];
        BuildPanelCaption(caption, sizeof caption);
        LoadText(IDS_SETTINGS_CHANGED, MessageText, kTextSize);
        if (ShowMessageBox(dialog, MessageText, caption, MB_ICONQUESTION | MB_OKCANCEL) != IDOK) return;
        chosen = ListedPrinter(name.get());
        if (!chosen) {
            // Gone meanwhile: the rows show the printers left to choose from.
            ShowDialogMessage(dialog, IDS_PRINTER_REMOVED, name.get(), MB_ICONINFORMATION);
            return;
        }
    }
    // A panel changing printer opens the new one before it lets the old one
    // go: when it cannot, it stays as it was, its changes kept.
    if (PanelWindow && !OpenSrmHandle(name.get())) {
        ShowDialogMessage(dialog, IDS_SRM_NOT_OPENED, name.get(), MB_ICONWARNING);
        EndDialog(dialog, 0);
        return;
    }
    ChooseCurrentPrinter(chosen);
    ReleaseClaims();
    InstanceMapping = claim.Release();
    EndDialog(dialog, 1);
}

void OnGetDisplayInfo(NMLVDISPINFOA* info) {
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
    int column = info->item.iSubItem;
    const SelectionRow* row = RowAt(info->hdr.hwndFrom, info->item.iItem);
    const char* text = row && column >= 0 && column < kColumnCount ? row->columns[column] : nullptr;
    CopyText(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), text);
}

INT_PTR OnNotify(HWND dialog, NMHDR* header) {
    if (header->idFrom != IDC_PRINTERLIST) return FALSE;
    switch (header->code) {
    case LVN_GETDISPINFOA:
        OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
        return TRUE;
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
        if (column >= 0 && column < kColumnCount) DialogData(dialog)->sortColumn = column;
        SortRows(header->hwndFrom, column);
        return TRUE;
    }
    case NM_DBLCLK:
        if (SendMessageA(header->hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) >= 0)
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SELECT_OK, BN_CLICKED), 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK SelectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<SelectionDialog*>(lParam));
        return TRUE;
    case WM_NOTIFY:
        if (!DialogData(dialog)) return FALSE;
        return OnNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SELECT_OK:
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDC_SELECT_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
    case WM_CONTEXTMENU:
        return HandleContextHelp(message, wParam, lParam);
    }
    return FALSE;
}

}  // namespace

INT_PTR RunSelectionDialog(HWND owner) {
    SelectionDialog data;
    data.enclosing = OpenSelection;
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SELECTPRINTER), owner, SelectionDialogProc,
                                     reinterpret_cast<LPARAM>(&data));
    OpenSelection = data.enclosing;
    return result == 1 ? 1 : 0;
}

int SelectionDialogOpen() { return OpenSelection != nullptr; }

void CancelSelectionDialogs() {
    for (HWND dialog = OpenSelection; dialog;) {
        SelectionDialog* data = DialogData(dialog);
        EndDialog(dialog, 0);
        dialog = data ? data->enclosing : nullptr;
    }
}

void RefreshSelectionDialog() {
    for (HWND dialog = OpenSelection; dialog;) {
        SelectionDialog* data = DialogData(dialog);
        if (!data) break;
        RefreshRows(dialog, data);
        dialog = data->enclosing;
    }
}
