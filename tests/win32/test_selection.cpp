// Printer selection dialog, driven in this process: status words from the SRM
// stand-in, sorting, preselection, OK and the release of the old printer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "srm_api.h"
#include "support_srm.h"
#include "test_shell_support.h"
#include "text_pure.h"

using namespace shelltest;

namespace {

// A click on a column heading, as the mouse gives it.
void ClickHeading(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT rect = {};
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(header, WM_LBUTTONUP, 0, point);
}

void DoubleClickRow(HWND list, int item) {
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rect.left + 2, (rect.top + rect.bottom) / 2));
}

// PrinterList made by hand, in the given order.
void MakePrinterList(const std::vector<std::vector<const char*>>& entries) {
    PrinterEntry** next = &PrinterList;
    PrinterCount = 0;
    for (const auto& e : entries) {
        *next = MakeEntry(e[0], e[1], e[2]);
        next = &(*next)->next;
        PrinterCount += 1;
    }
}

PrinterEntry* Entry(const std::string& name) {
    for (PrinterEntry* entry = PrinterList; entry; entry = entry->next)
        if (entry->name && name == entry->name) return entry;
    return nullptr;
}

// A stand-in for the panel: a window with the update button 12321.
class FakePanel {
public:
    explicit FakePanel(bool unsentChanges) {
        window_ = CreateWindowExA(0, "STATIC", "panel", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        button_ = CreateWindowExA(0, "BUTTON", "update", WS_CHILD, 0, 0, 5, 5, window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_UPDATE)), nullptr, nullptr);
        EnableWindow(button_, unsentChanges ? TRUE : FALSE);
        ChangesPending = unsentChanges ? 1 : 0;
        PanelWindow = window_;
    }
    ~FakePanel() {
        ChangesPending = 0;
        PanelWindow = nullptr;
        DestroyWindow(window_);
    }
    FakePanel(const FakePanel&) = delete;
    FakePanel& operator=(const FakePanel&) = delete;

private:
    HWND window_;
    HWND button_;
};

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        ResetShellState();
        InitCommonControls();
    }
    void TearDown() override {
        ReleaseSrmHandle();
        ResetShellState();
    }
    BoxRecorder boxes_;
};

TEST_F(SelectionTest, StatusWordsColumnsAndFirstRow) {
    struct Row {
        const char* label;
        DWORD w1;
        DWORD w2;
        const char* port;
        const char* detail;
        const char* fail;  // SRM function failing for this printer, or null
        UINT expected;
    };
    const Row rows[] = {
        {"A-ready", 0, 0x00000001, "LPT1:", "", nullptr, IDS_STATUS_ONLINE},
        {"B-offline", 0x00000080, 0, "LPT1:", "", nullptr, IDS_STATUS_OFFLINE},
        {"C-neither", 0, 0, "LPT1:", "", nullptr, IDS_STATUS_UNKNOWN},
        {"D-network-unknown", 0x00100000, 0x00000001, "\\\\srv\\q", "", nullptr, IDS_STATUS_UNKNOWN},
        {"E-network-known", 0, 0x00000001, "\\\\srv\\q", "", nullptr, IDS_STATUS_ONLINE},
        {"F-detail-unknown", 0x00100080, 0, "IP_1", "host", nullptr, IDS_STATUS_UNKNOWN},
        {"G-local-network-bit", 0x00100000, 0x00000100, "LPT1:", "", nullptr, IDS_STATUS_ONLINE},
        {"H-open-fails", 0, 0x00000001, "LPT1:", "", "OpenManagerExA", IDS_STATUS_UNKNOWN},
        {"I-status-read-fails", 0, 0x00000001, "LPT1:", "", "GetPrinterStatusA", IDS_STATUS_UNKNOWN},
    };
    std::vector<SimulatedPrinter> printers;
    std::vector<std::vector<const char*>> entries;
    printers.reserve(std::size(rows) + 1);
    for (const Row& row : rows) {
        printers.emplace_back(row.label, SpoolerEntry::None, kSrmDefaultDriver, row.port, row.detail);
        ASSERT_EQ(printers.back().AddResult(), 0u) << row.label;
        ASSERT_EQ(printers.back().SetStatus(0, row.w1, row.w2), 0u) << row.label;
        if (row.fail) {
            ASSERT_EQ(printers.back().Fail(row.fail, kSrmFailAlways), 0u) << row.label;
        }
    }
    // Listed in reverse, so that the list's order comes from sorting.
    for (size_t i = std::size(rows); i-- > 0;)
        entries.push_back({printers[i].CName(), "dest", "Quarl Tilbury 550TK"});
    const std::string stranger = UniquePrinterName("J-unknown-to-the-srm");
    // A model text longer than the model column's 170 pixels: the column widens.
    entries.push_back({stranger.c_str(), "dest", "Quarl Tilbury 550TK, Quarl Tilbury 550TK"});
    MakePrinterList(entries);

    std::vector<std::string> names;
    std::vector<std::string> labels;
    std::vector<int> widths;
    std::vector<int> needed(4, 0);  // the widest text of each column
    std::vector<std::string> headings;
    UINT firstRowState = 0;
    DialogScript script([&](HWND dialog) {
        HWND list = List(dialog);
        names = Column(list, 0);
        labels = Column(list, 1);
        firstRowState = RowState(list, 0);
        for (int column = 0; column < 4; ++column) {
            widths.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
            char heading[64] = {};
            LVCOLUMNA request = {};
            request.mask = LVCF_TEXT;
            request.pszText = heading;
            request.cchTextMax = sizeof heading;
            SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&request));
            headings.push_back(heading);
            for (int row = 0; row < ListView_GetItemCount(list); ++row) {
                const std::string text = ItemText(list, row, column);
                const int width = static_cast<int>(
                    SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
                needed[column] = std::max(needed[column], width);
            }
        }
        EXPECT_EQ(ItemText(list, 0, 2), "Quarl Tilbury 550TK");
        EXPECT_EQ(ItemText(list, 0, 3), "dest");
        Press(dialog, IDC_SELECT_CANCEL);
    });
    EXPECT_EQ(RunSelectionDialog(nullptr), 0);
    ASSERT_EQ(script.captions.size(), 1u);
    EXPECT_EQ(script.captions[0], "プリンタの選択");

    ASSERT_EQ(names.size(), std::size(rows) + 1);
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(names[i], printers[i].Name()) << rows[i].label;
        EXPECT_EQ(labels[i], Text(rows[i].expected)) << rows[i].label;
    }
    EXPECT_EQ(names.back(), stranger);
    EXPECT_EQ(labels.back(), Text(IDS_STATUS_UNKNOWN));
    EXPECT_EQ(firstRowState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(headings, (std::vector<std::string>{Text(IDS_HEADING_NAME), Text(IDS_HEADING_STATUS),
                                                  Text(IDS_HEADING_MODEL), Text(IDS_HEADING_DESTINATION)}));
    // At least the widths of 96 dots per inch (the tests run at 96), and no text cut.
    ASSERT_EQ(widths.size(), 4u);
    const int least[] = {170, 60, 170, 220};
    for (int column = 0; column < 4; ++column) {
        EXPECT_GE(widths[column], least[column]) << column;
        EXPECT_GT(widths[column], needed[column]) << column;
    }
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(SelectionTest, SortingByEachColumnWithTiesByName) {
    // Unknown to the SRM: every status word is "unknown", so that column is all ties.
    MakePrinterList({{"b-two", "LPT2:", "Model Y"},
                     {"d-four", "LPT1:", "MODEL X"},
                     {"A-one", "lpt1:", "model x"},
                     {"e-five", nullptr, nullptr},  // texts whose copy failed
                     {"C-three", "COM1:", "Model Y"}});
    struct Step {
        int column;
        std::vector<std::string> order;
    };
    const std::vector<std::string> byName = {"A-one", "b-two", "C-three", "d-four", "e-five"};
    const Step steps[] = {
        {2, {"e-five", "A-one", "d-four", "b-two", "C-three"}},
        {2, {"e-five", "A-one", "d-four", "b-two", "C-three"}},  // the same heading again
        {3, {"e-five", "C-three", "A-one", "d-four", "b-two"}},
        {1, byName},
        {0, byName},
    };
    std::vector<std::vector<std::string>> seen;
    std::vector<std::string> initial;
    std::string nullTexts;
    DialogScript script([&](HWND dialog) {
        HWND list = List(dialog);
        initial = Column(list, 0);
        int row = RowOf(list, "e-five");
        nullTexts = ItemText(list, row, 2) + "|" + ItemText(list, row, 3);
        for (const Step& step : steps) {
            ClickHeading(list, step.column);
            seen.push_back(Column(list, 0));
        }
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(RunSelectionDialog(nullptr), 0);
    EXPECT_EQ(initial, byName);
    EXPECT_EQ(nullTexts, "|");
    ASSERT_EQ(seen.size(), std::size(steps));
    for (size_t i = 0; i < std::size(steps); ++i) EXPECT_EQ(seen[i], steps[i].order) << "column " << steps[i].column;
}

TEST_F(SelectionTest, ServedPrinterIsPreselectedAndOkOnItChangesNothing) {
    const std::string longName = std::string(999, 'L') + "B";
    const std::string longTwin = std::string(999, 'L') + "A";  // the same first 255 characters
    MakePrinterList({{"A-first", "d", "m"},
                     {"B-second", "d", "m"},
                     {longTwin.c_str(), "d", "m"},
                     {"C-third", "d", "m"},
                     {longName.c_str(), "d", "m"}});
    FakePanel panel(true);  // unsent changes: still no question for the served printer
    const HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, nullptr);
    InstanceMapping = mapping;

    for (const std::string& served : {std::string("C-third"), longName}) {
        CurrentPrinter = Entry(served);
        std::string selectedName;
        UINT state = 0;
        DialogScript script([&](HWND dialog) {
            HWND list = List(dialog);
            int selected = SelectedRow(list);
            selectedName = selected >= 0 ? ItemText(list, selected, 0) : "";
            state = selected >= 0 ? RowState(list, selected) : 0;
            Press(dialog, IDC_SELECT_OK);
        });
        EXPECT_EQ(RunSelectionDialog(nullptr), 0) << served.substr(0, 10);
        EXPECT_EQ(selectedName, served) << served.substr(0, 10);
        EXPECT_EQ(state, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
        EXPECT_EQ(CurrentPrinter, Entry(served));
        EXPECT_EQ(InstanceMapping, mapping);
        EXPECT_EQ(script.timedOut, 0);
    }
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(SelectionTest, ChoosingAnotherPrinterAsksFirstThenReleasesTheOldOne) {
    SimulatedPrinter served("Served");
    ASSERT_EQ(served.AddResult(), 0u);
    SimulatedPrinter other("A-other");
    ASSERT_EQ(other.AddResult(), 0u);
    MakePrinterList({{other.CName(), "d", "m"}, {served.CName(), "d", "m"}});
    CurrentPrinter = Entry(served.Name());
    FakePanel panel(true);

    // What the panel holds for the served printer.
    const std::string objectName = "QUARLRP_" + served.Name();
    InstanceMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, objectName.c_str());
    ASSERT_NE(InstanceMapping, nullptr);
    MessageRecorder recorder;
    char user[257] = {};
    DWORD userSize = 256;
    GetUserNameA(user, &userSize);
    ASSERT_EQ(OpenManagerExA(served.CName(), user, kSrmAccess, &SrmHandle), 0u);
    const DWORD handle = SrmHandle;
    ASSERT_EQ(SetNotificationMsgA(handle, SRM_ITEM_PRINTERSTATUS, recorder.Window(), RPM_STATUSCHANGED,
                                  &Notifications[NotifyStatus]),
              0u);

    boxes_.answers = {IDCANCEL, IDOK};
    bool stayedAfterCancel = false;
    bool boundAfterCancel = false;
    DialogScript script([&](HWND dialog) {
        HWND list = List(dialog);
        SetRowSelected(list, RowOf(list, other.Name()), true);
        Press(dialog, IDC_SELECT_OK);
        stayedAfterCancel = IsWindow(dialog) && IsWindowVisible(dialog);
        boundAfterCancel = CurrentPrinter == Entry(served.Name()) && InstanceMapping != nullptr && SrmHandle == handle;
        Press(dialog, IDC_SELECT_OK);
    });
    EXPECT_EQ(RunSelectionDialog(nullptr), 1);
    EXPECT_TRUE(stayedAfterCancel);
    EXPECT_TRUE(boundAfterCancel);

    ASSERT_EQ(boxes_.boxes.size(), 2u);
    for (const RecordedBox& box : boxes_.boxes) {
        EXPECT_EQ(box.text, Text(IDS_SETTINGS_CHANGED));
        EXPECT_EQ(box.caption, Title() + " - " + served.Name());
        EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONQUESTION | MB_OKCANCEL));
        EXPECT_NE(box.owner, nullptr);
    }
    EXPECT_EQ(CurrentPrinter, Entry(other.Name()));
    EXPECT_TRUE(InstanceMapping != nullptr && MappingExists("QUARLRP_" + other.Name())) << "the new printer is claimed";
    EXPECT_FALSE(MappingExists(objectName));
    EXPECT_NE(SrmHandle, 0u) << "the new printer is opened";
    EXPECT_NE(SrmHandle, handle);
    for (DWORD id : Notifications) EXPECT_EQ(id, 0u);
    DWORD words[3] = {};
    DWORD length = 0;
    EXPECT_NE(GetPrinterStatusA(handle, SRM_ITEM_PRINTERSTATUS, words, sizeof words, &length), 0u)
        << "the old SRM handle is still open";
}

TEST_F(SelectionTest, WithoutSelectionOkAsksForOneAndDoubleClickChooses) {
    MakePrinterList({{"A-first", "d", "m"}, {"B-second", "d", "m"}});
    HWND dialogSeen = nullptr;
    size_t boxesAfterOk = 0;
    size_t boxesAfterEnter = 0;
    size_t boxesAfterEmptyDoubleClick = 0;
    bool openAfterEmptyDoubleClick = false;
    DialogScript script([&](HWND dialog) {
        dialogSeen = dialog;
        HWND list = List(dialog);
        for (int i = 0; i < RowCount(list); ++i) SetRowSelected(list, i, false);
        Press(dialog, IDC_SELECT_OK);
        boxesAfterOk = boxes_.boxes.size();
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
        boxesAfterEnter = boxes_.boxes.size();
        DoubleClickRow(list, 0);  // a double click selects nothing by itself
        boxesAfterEmptyDoubleClick = boxes_.boxes.size();
        openAfterEmptyDoubleClick = IsWindow(dialog) && IsWindowVisible(dialog);
        SetRowSelected(list, 1, true);
        DoubleClickRow(list, 1);
    });
    EXPECT_EQ(RunSelectionDialog(nullptr), 1);
    EXPECT_EQ(boxesAfterOk, 1u);
    EXPECT_EQ(boxesAfterEnter, 2u);
    EXPECT_EQ(boxesAfterEmptyDoubleClick, 2u);
    EXPECT_TRUE(openAfterEmptyDoubleClick);
    ASSERT_EQ(boxes_.boxes.size(), 2u);  // no question: there is no panel at start-up
    for (const RecordedBox& box : boxes_.boxes) {
        EXPECT_EQ(box.text, Text(IDS_CHOOSE_PRINTER));
        EXPECT_EQ(box.caption, Title());
        EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONWARNING));
        EXPECT_EQ(box.owner, dialogSeen);
    }
    EXPECT_EQ(CurrentPrinter, Entry("B-second"));
    EXPECT_EQ(script.timedOut, 0);
}

TEST_F(SelectionTest, ContextHelpForTheDialogsControls) {
    MakePrinterList({{"A-first", "d", "m"}});
    CopyText(HelpFilePath, sizeof HelpFilePath, "C:\\help\\panel.hlp");
    seams::HelpRecorder recorder;
    HWND list = nullptr;
    DialogScript script([&](HWND dialog) {
        list = List(dialog);
        HELPINFO help = {};
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.iCtrlId = IDC_PRINTERLIST;
        help.hItemHandle = list;
        SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        help.iContextType = HELPINFO_MENUITEM;  // not a window: no help
        SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_SELECT_OK)),
                     MAKELPARAM(10, 10));
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(RunSelectionDialog(nullptr), 0);
    HelpFilePath[0] = '\0';

    const std::vector<seams::HelpCall>& helpCalls = recorder.calls;
    ASSERT_EQ(helpCalls.size(), 2u);
    EXPECT_EQ(helpCalls[0].window, list);
    EXPECT_EQ(helpCalls[0].command, static_cast<UINT>(HELP_WM_HELP));
    EXPECT_EQ(helpCalls[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
    for (const seams::HelpCall& call : helpCalls) {
        EXPECT_EQ(call.file, "C:\\help\\panel.hlp");
        EXPECT_EQ(call.data, reinterpret_cast<ULONG_PTR>(HelpContextTable));
    }
    EXPECT_EQ(HelpContextOf(IDC_PRINTERLIST), 0x81000000u);
    EXPECT_EQ(HelpContextOf(IDC_SELECT_OK), 0x81000100u);
    EXPECT_EQ(HelpContextOf(IDC_SELECT_CANCEL), 0x81000200u);
}

}  // namespace
