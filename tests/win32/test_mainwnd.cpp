// The main window of the real program over simulated printers: what it shows
// when it opens, its size, the accelerators through the program's message
// loop, tooltips, closing, the about box, the context-help click and the
// re-check of the printer set.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <iterator>
#include <string>
#include <vector>

#include "test_panel_support.h"
#include "text_pure.h"

using namespace paneltest;

namespace {

constexpr UINT kTextReadWrite = 93;  // settings can be read and updated

class MainWindowTest : public PanelTest {};

TEST_F(MainWindowTest, OpensOnAReadyPrinter) {
    SimulatedPrinter& printer = AddPrinter("MainOpen");
    ASSERT_TRUE(Open(printer));
    PaintNow();

    EXPECT_EQ(WindowCaption(MainWindow), Title() + " - " + printer.Name());
    EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(kTextReadWrite));
    EXPECT_EQ(ControlText(PanelWindow, IDC_MODELTEXT), "Quarl Tilbury 550TK");
    EXPECT_EQ(ControlText(PanelWindow, IDC_PORTTEXT), "LPT1:");
    EXPECT_EQ(SendMessageA(GetDlgItem(PanelWindow, IDC_TABS), TCM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageA(ToolbarWindow, TB_BUTTONCOUNT, 0, 0), 9);
    EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
    EXPECT_TRUE(ToolbarEnabled(CMD_SHOWDEFAULTS));
    EXPECT_FALSE(ToolbarEnabled(CMD_CHANGEPRINTER)) << "one printer: nothing to change to";
    EXPECT_FALSE(ControlEnabled(IDC_UPDATE));
    EXPECT_FALSE(ControlEnabled(IDC_UPDATEQUIT));
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(MainWindowTest, FrameFitsPanelBelowToolbarAndIsNotResizable) {
    ASSERT_TRUE(Open(AddPrinter("MainFrame")));
    RECT client = {}, panel = {}, toolbar = {};
    GetClientRect(MainWindow, &client);
    GetClientRect(PanelWindow, &panel);
    GetClientRect(ToolbarWindow, &toolbar);
    ASSERT_GT(toolbar.bottom, 0);
    EXPECT_EQ(client.bottom, panel.bottom + toolbar.bottom);
    EXPECT_EQ(client.right, panel.right);

    RECT placed = {};
    GetWindowRect(PanelWindow, &placed);
    MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, toolbar.bottom);

    const LONG style = GetWindowLongA(MainWindow, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

// Ctrl+C, Ctrl+I and Ctrl+R typed in a page reach the panel through the loop
// while their buttons are on: change printer is off with one printer.
TEST_F(MainWindowTest, AcceleratorsReachThePanelThroughTheLoop) {
    ASSERT_TRUE(Open(AddPrinter("MainKeys")));
    HWND focus = GetNextDlgTabItem(Page(0), nullptr, FALSE);
    ASSERT_NE(focus, nullptr);
    SetFocus(focus);
    ASSERT_EQ(GetFocus(), focus);

    PanelCommandRecorder recorder;
    ASSERT_TRUE(recorder.Hooked());
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    for (char key : {'C', 'I', 'R'}) PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    boxes_.answers = {IDOK};  // the defaults shown are changes: the read asks first

    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(accelerators, nullptr);
    state_ = nullptr;  // the loop's clean-up frees the panel's record
    const int exitCode = RunMessageLoop(accelerators);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(recorder.commands, (std::vector<int>{CMD_SHOWDEFAULTS, CMD_READSETTINGS, IDC_QUIT}));
    EXPECT_EQ(MainWindow, nullptr);
}

TEST_F(MainWindowTest, EscapeQuitsWithExitCodeZero) {
    ASSERT_TRUE(Open(AddPrinter("MainEsc")));
    HWND focus = GetNextDlgTabItem(Page(0), nullptr, FALSE);
    SetFocus(focus);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    state_ = nullptr;
    const int exitCode = RunMessageLoop(LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDA_MAIN)));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_TRUE(boxes_.boxes.empty()) << "nothing was changed: no question";
}

TEST_F(MainWindowTest, TooltipTextsComeFromTheStringTable) {
    ASSERT_TRUE(Open(AddPrinter("MainTips")));
    // What the toolbar's tooltip shows for the read button.
    HWND tooltip = reinterpret_cast<HWND>(SendMessageA(ToolbarWindow, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tooltip, nullptr);
    char shown[kTextSize] = "";
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = ToolbarWindow;
    tool.uId = CMD_READSETTINGS;
    tool.lpszText = shown;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof shown, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::string(shown), Text(98));

    struct Case {
        int command;
        UINT text;  // 0: no text
    } cases[] = {
        {CMD_READSETTINGS, 98}, {CMD_SHOWDEFAULTS, 97}, {CMD_CHANGEPRINTER, 99}, {CMD_HELPMODE, 124}, {4711, 0},
    };
    for (const Case& c : cases) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = ToolbarWindow;
        info.hdr.idFrom = c.command;
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(MainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        if (c.text) {
            EXPECT_EQ(info.hinst, AppInstance) << c.command;
            EXPECT_EQ(info.lpszText, MAKEINTRESOURCEA(c.text)) << c.command;
        } else {
            EXPECT_EQ(info.lpszText, nullptr) << c.command;
        }
    }
}

// WM_CLOSE and RPM_CLOSEPANEL press the panel's exit button, which asks
// before dropping changes and otherwise ends everything bound to the printer.
TEST_F(MainWindowTest, ClosingGoesThroughThePanelsExit) {
    struct Case {
        const char* label;
        UINT message;
        bool changed;
        int answer;
        bool closes;
    } cases[] = {
        {"close, unchanged", WM_CLOSE, false, IDOK, true},
        {"close, changed, Cancel", WM_CLOSE, true, IDCANCEL, false},
        {"close, changed, OK", WM_CLOSE, true, IDOK, true},
        {"close panel, changed, Cancel", RPM_CLOSEPANEL, true, IDCANCEL, false},
        {"close panel, unchanged", RPM_CLOSEPANEL, false, IDOK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("MainClose");
        ASSERT_TRUE(Open(printer));
        if (c.changed) ChangeSetting();
        boxes_.boxes.clear();
        boxes_.answers = {c.answer};
        SendMessageA(MainWindow, c.message, 0, 0);

        ASSERT_EQ(boxes_.boxes.size(), c.changed ? 1u : 0u);
        if (c.changed) {
            EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_SETTINGS_CHANGED));
            EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
            EXPECT_EQ(boxes_.boxes[0].caption, Title() + " - " + printer.Name());
        }
        if (c.closes) {
            EXPECT_EQ(MainWindow, nullptr);
            EXPECT_EQ(PanelWindow, nullptr);
            EXPECT_EQ(SrmHandle, 0u);
            EXPECT_EQ(InstanceMapping, nullptr);
            EXPECT_FALSE(shelltest::MappingExists("QUARLRP_" + printer.Name()));
        } else {
            EXPECT_NE(MainWindow, nullptr);
            EXPECT_NE(SrmHandle, 0u);
            EXPECT_TRUE(ControlEnabled(IDC_UPDATE));
        }
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindowTest, AboutBoxFromTheSystemMenu) {
    ASSERT_TRUE(Open(AddPrinter("MainAbout")));
    char item[kTextSize] = "";
    GetMenuStringA(GetSystemMenu(MainWindow, FALSE), IDM_ABOUT, item, sizeof item, MF_BYCOMMAND);
    EXPECT_EQ(std::string(item), Text(IDS_ABOUT_MENU));

    bool wasForegroundRole = false;
    std::vector<std::string> lines;
    DialogScript script([&](HWND dialog) {
        wasForegroundRole = ForegroundRoleWindow == dialog;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            lines.push_back(shelltest::WindowText(child));
        shelltest::Press(dialog, IDOK);
    });
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_ABOUT, 0);

    ASSERT_EQ(script.captions.size(), 1u);
    EXPECT_EQ(script.captions[0], "リモートパネルのバージョン情報");
    EXPECT_TRUE(wasForegroundRole);
    for (const char* expected : {"Quarl Pavonet", "Tilbury 550TK", "リモートパネル", "Version 1.406"}) {
        bool found = false;
        for (const std::string& line : lines) found = found || line == expected;
        EXPECT_TRUE(found) << expected;
    }
    EXPECT_EQ(ForegroundRoleWindow, PanelWindow);

    // The version resource says what the about box says; the manifest rides along.
    HRSRC version = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(version, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, version)));
    const BYTE* end = data + SizeofResource(nullptr, version);
    const BYTE signature[] = {0xBD, 0x04, 0xEF, 0xFE};  // VS_FIXEDFILEINFO, little-endian
    const BYTE* fixed = std::search(data, end, std::begin(signature), std::end(signature));
    ASSERT_LE(fixed + sizeof(VS_FIXEDFILEINFO), end);
    const VS_FIXEDFILEINFO* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(info->dwFileVersionMS, static_cast<DWORD>(MAKELONG(406, 1)));
    EXPECT_EQ(info->dwProductVersionMS, static_cast<DWORD>(MAKELONG(406, 1)));
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_MANIFEST), nullptr);
}

// ---- Context-help mode ----

// A click into the help window at the centre of a window (or at a point of
// the frame's screen rectangle).
void ClickHelpWindowAt(POINT screen) {
    POINT inHelp = screen;
    ScreenToClient(HelpModeWindow, &inHelp);
    SendMessageA(HelpModeWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inHelp.x, inHelp.y));
}

POINT CentreOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST_F(MainWindowTest, HelpModeEndsOnAClickWithThatControlsPopup) {
    ASSERT_TRUE(Open(AddPrinter("MainHelp")));
    HWND postcard = GetDlgItem(Page(0), IDC_PAPER_POSTCARD);
    ASSERT_NE(postcard, nullptr);
    struct Case {
        const char* label;
        HWND target;     // null: the caption
        DWORD context;   // 0: no popup
        bool onFrame;    // at the right edge of the target, not its centre
    } cases[] = {
        {"exit button", GetDlgItem(PanelWindow, IDC_QUIT), 0x80000200},
        {"status text", GetDlgItem(PanelWindow, IDC_STATUSTEXT), 0x80000700},
        {"toolbar", ToolbarWindow, 0x80000000},
        {"control of a page", postcard, 0x10020},
        {"control inside a group box", GetDlgItem(Page(0), IDC_PAPER_CUTEDIT), 0x10060},
        {"frame of that group box", GetDlgItem(Page(0), IDC_PAPER_HEADGROUP), 0x10050, true},
        {"caption", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        help_.calls.clear();
        SendMessageA(ToolbarWindow, TB_CHECKBUTTON, CMD_HELPMODE, MAKELONG(TRUE, 0));
        Command(CMD_HELPMODE);
        ASSERT_NE(HelpModeWindow, nullptr);
        HWND helpWindow = HelpModeWindow;
        RECT frame = {}, cover = {};
        GetWindowRect(MainWindow, &frame);
        GetWindowRect(HelpModeWindow, &cover);
        EXPECT_TRUE(EqualRect(&frame, &cover));
        EXPECT_EQ(ForegroundRoleWindow, HelpModeWindow);

        POINT point = {};
        if (c.target) {
            point = CentreOf(c.target);
            if (c.onFrame) {
                RECT target = {};
                GetWindowRect(c.target, &target);
                point.x = target.right - 2;
            }
        } else {
            point = {(frame.left + frame.right) / 2, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2};
        }
        ClickHelpWindowAt(point);

        EXPECT_EQ(HelpModeWindow, nullptr);
        EXPECT_FALSE(IsWindow(helpWindow));
        EXPECT_EQ(SendMessageA(ToolbarWindow, TB_ISBUTTONCHECKED, CMD_HELPMODE, 0), 0);
        EXPECT_EQ(ForegroundRoleWindow, PanelWindow);
        if (c.context) {
            ASSERT_EQ(help_.calls.size(), 1u);
            EXPECT_EQ(help_.calls[0].window, c.target);
            EXPECT_EQ(help_.calls[0].command, static_cast<UINT>(HELP_CONTEXTPOPUP));
            EXPECT_EQ(help_.calls[0].data, c.context);
        } else {
            EXPECT_TRUE(help_.calls.empty());
        }
    }
}

// ---- The printer set changed ----

// Renamed: in the spooler too, and the SRM's word of the new name not yet
// taken; the panel follows the name and holds the printer under it.
TEST_F(MainWindowTest, PrintersChangedWhileTheServedOneStaysChangesOnlyTheToolbar) {
    for (bool renamed : {false, true}) {
        SCOPED_TRACE(renamed ? "renamed" : "kept its name");
        SimulatedPrinter& served = AddPrinter("MainStay");
        ASSERT_TRUE(Open(served));
        EXPECT_FALSE(ToolbarEnabled(CMD_CHANGEPRINTER));
        const DWORD handle = SrmHandle;
        AddPrinter("MainStayOther");
        const std::string name = served.Name() + (renamed ? "-new" : "");
        if (renamed) {
            ASSERT_EQ(SrmSimRenamePrinter(served.CName(), name.c_str(), 1), 0u);
        }

        DialogScript script([](HWND dialog) { shelltest::Press(dialog, IDC_SELECT_CANCEL); });  // taken for gone
        EXPECT_EQ(SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0), 1);
        EXPECT_TRUE(boxes_.boxes.empty());
        ASSERT_NE(CurrentPrinter, nullptr);
        EXPECT_EQ(CurrentPrinter, Listed(name)) << "points into the new list";
        EXPECT_EQ(SrmHandle, handle);
        EXPECT_EQ(MultiplePrinters, 1);
        EXPECT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
        EXPECT_TRUE(shelltest::MappingExists("QUARLRP_" + name));
        EXPECT_EQ(WindowCaption(MainWindow), Title() + " - " + name);
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindowTest, PrintersChangedAfterTheServedOneWasRemovedSelectsAnother) {
    SimulatedPrinter& other = AddPrinter("MainOther");
    AddPrinter("MainGone");
    const std::string gone = printers_.back()->Name();
    ASSERT_TRUE(Open(*printers_.back()));
    printers_.pop_back();  // removes the printer and its spooler entry

    DialogScript script([](HWND dialog) { shelltest::Press(dialog, IDC_SELECT_OK); });
    EXPECT_EQ(SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0), 0);

    ASSERT_GE(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_PRINTER_REMOVED));
    EXPECT_EQ(boxes_.boxes[0].caption, Title() + " - " + gone);
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(script.captions.size(), 1u) << "the selection dialog";
    ASSERT_NE(CurrentPrinter, nullptr);
    EXPECT_EQ(std::string(CurrentPrinter->name), other.Name());
    EXPECT_FALSE(shelltest::MappingExists("QUARLRP_" + gone));
    EXPECT_TRUE(shelltest::MappingExists("QUARLRP_" + other.Name()));
    EXPECT_NE(SrmHandle, 0u);
    EXPECT_EQ(ForegroundRoleWindow, Page(0)) << "tab 0 shown again";
    EXPECT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
    PaintNow();
    EXPECT_EQ(WindowCaption(MainWindow), Title() + " - " + other.Name());
    EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(kTextReadWrite));
}

// The printer set changes (Doomed or Served removed, Added added) while the
// change-of-printer dialog or its question 67 is open: the rows follow the new
// set, the choice is looked up by name when the dialog ends, and a chosen
// printer gone by then is reported removed and never served.
TEST_F(MainWindowTest, PrinterSetChangedWhileChoosingAnother) {
    struct Case {
        const char* label;
        bool inQuestion;            // the change comes while question 67 is up
        const char* removed;
        const char* chosen;         // selected before the change
        const char* pick;           // then selected for OK; null: OK as it is; "": Cancel
        const char* selectedAfter;  // selected right after the change
        const char* served;         // at the end
    };
    const Case cases[] = {
        {"dialog: the added one chosen", false, "Doomed", "Second", "Added", "Second", "Added"},
        {"dialog: the selected one removed", false, "Doomed", "Doomed", nullptr, "Served", "Served"},
        {"dialog: the served one removed", false, "Served", "Second", nullptr, "Second", "Second"},
        {"question: the chosen one removed", true, "Doomed", "Doomed", "", "Served", "Served"},
        {"question: the chosen one stays", true, "Doomed", "Second", nullptr, "Second", "Second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::map<std::string, std::string> names;
        for (const char* label : {"Served", "Second", "Doomed"}) names[label] = AddPrinter(label).Name();
        ASSERT_TRUE(Open(*printers_.front()));
        if (c.inQuestion) ChangeSetting();
        HWND list = nullptr;
        std::vector<std::string> rows, models;
        std::string selectedAfter;
        auto changeSet = [&] {
            printers_.erase(std::find_if(printers_.begin(), printers_.end(),
                                         [&](const auto& p) { return p->Name() == names[c.removed]; }));
            names["Added"] = AddPrinter("Added").Name();
            SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0);
            rows = shelltest::Column(list, 0);
            models = shelltest::Column(list, 2);
            selectedAfter = shelltest::ItemText(list, shelltest::SelectedRow(list), 0);
        };
        boxes_.onBox = [&](const seams::RecordedBox& box) {
            if (box.text == Text(IDS_SETTINGS_CHANGED)) changeSet();
        };
        DialogScript script([&](HWND dialog) {
            list = shelltest::List(dialog);
            shelltest::SetRowSelected(list, shelltest::RowOf(list, names[c.chosen]), true);
            c.inQuestion ? shelltest::Press(dialog, IDC_SELECT_OK) : changeSet();
            if (!IsWindowVisible(dialog)) return;  // ended
            if (c.pick && *c.pick) shelltest::SetRowSelected(list, shelltest::RowOf(list, names[c.pick]), true);
            shelltest::Press(dialog, c.pick && !*c.pick ? IDC_SELECT_CANCEL : IDC_SELECT_OK);
        });
        Command(CMD_CHANGEPRINTER);
        boxes_.onBox = nullptr;

        EXPECT_EQ(script.captions.size(), 1u) << "no second selection dialog";
        std::vector<std::string> expected;
        for (const char* label : {"Served", "Second", "Doomed", "Added"})
            if (label != std::string(c.removed)) expected.push_back(names[label]);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(models, std::vector<std::string>(3, "Quarl Tilbury 550TK"));
        EXPECT_EQ(selectedAfter, names[c.selectedAfter]);
        const bool gone = std::string(c.removed) == "Served" || (c.inQuestion && std::string(c.removed) == c.chosen);
        const std::string removedCaption = Title() + " - " + names[c.removed];
        EXPECT_EQ(std::count_if(boxes_.boxes.begin(), boxes_.boxes.end(), [&](const seams::RecordedBox& box) {
                      return box.text == Text(IDS_PRINTER_REMOVED) && box.caption == removedCaption;
                  }), gone ? 1 : 0);
        EXPECT_EQ(CurrentPrinter, Listed(names[c.served]));
        EXPECT_TRUE(shelltest::MappingExists("QUARLRP_" + names[c.served]));
        EXPECT_NE(SrmHandle, 0u);
        PaintNow();
        EXPECT_EQ(WindowCaption(MainWindow), Title() + " - " + names[c.served]);
        TearDown();
        SetUp();
    }
}

// Another program asks the panel to close while the "printer removed" box is
// up: the close waits until the re-selection is over, then ends the panel
// without leaving the new printer claimed or its SRM handle open.
TEST_F(MainWindowTest, CloseRequestDuringTheReselectionWaitsForIt) {
    SimulatedPrinter& other = AddPrinter("MainStays");
    AddPrinter("MainLeaves");
    ASSERT_TRUE(Open(*printers_.back()));
    printers_.pop_back();

    bool closeWaited = false;
    boxes_.onBox = [&](const seams::RecordedBox& box) {
        if (box.text != Text(IDS_PRINTER_REMOVED)) return;
        SendMessageA(MainWindow, RPM_CLOSEPANEL, 0, 0);
        closeWaited = PanelQuitDeferred() != 0 && IsLivePanel(PanelWindow);
    };
    DialogScript script([](HWND dialog) { shelltest::Press(dialog, IDC_SELECT_OK); });
    SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0);
    boxes_.onBox = nullptr;

    EXPECT_TRUE(closeWaited);
    EXPECT_EQ(script.captions.size(), 1u) << "the selection still ran";
    EXPECT_EQ(MainWindow, nullptr) << "the close was carried out afterwards";
    EXPECT_EQ(PanelWindow, nullptr);
    EXPECT_EQ(SrmHandle, 0u);
    EXPECT_EQ(InstanceMapping, nullptr);
    EXPECT_FALSE(shelltest::MappingExists("QUARLRP_" + other.Name()));
    EXPECT_EQ(PanelModalDepth(), 0);
    EXPECT_EQ(PanelQuitDeferred(), 0);
}

TEST_F(MainWindowTest, PrintersChangedAfterTheLastOneWasRemovedEndsThePanel) {
    ASSERT_TRUE(Open(AddPrinter("MainLast")));
    const std::string gone = printers_.back()->Name();
    printers_.clear();

    EXPECT_EQ(SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0), 1);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_PRINTER_REMOVED) + Text(IDS_MODEL_MISSING));
    EXPECT_EQ(boxes_.boxes[0].caption, Title() + " - " + gone);
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(SrmHandle, 0u);
}

// Shift-JIS spooler names longer than any 256-byte buffer (the SRM knows no
// such printer, so the panel stays with its explanation): the served printer
// is recognised by its whole name, and the captions are cut between characters.
TEST_F(MainWindowTest, LongPrinterNamesAreComparedWholeAndCaptionsCutCleanly) {
    std::string prefix;
    for (int i = 0; i < 150; ++i) prefix += "印";  // 300 bytes; the names differ only after them
    const std::string served = prefix + "A";
    const std::string other = prefix + "B";
    ASSERT_TRUE(machine_.CreateModelKeys({Text(IDS_MODEL_NAME)}));
    ASSERT_TRUE(machine_.AddSpoolerPrinter(served, shelltest::ServedDriver(), "LongA"));
    ASSERT_TRUE(machine_.AddSpoolerPrinter(other, shelltest::ServedDriver(), "LongB"));
    DiscoverPrinters();
    SetMultiplePrinters(PrinterCount != 1);
    ASSERT_EQ(PrinterCount, 2);
    ChooseCurrentPrinter(Listed(served));
    ASSERT_NE(CurrentPrinter, nullptr);
    ASSERT_NE(CreateMainWindow(), nullptr);
    state_ = GetPanelState(PanelWindow);

    const std::string whole = Title() + " - " + served;
    auto expectCleanCut = [&](const std::string& caption) {
        EXPECT_LT(caption.size(), static_cast<size_t>(kTextSize));
        EXPECT_GT(caption.size(), Title().size() + 3);
        EXPECT_EQ(whole.compare(0, caption.size(), caption), 0) << "a start of the whole caption";
        EXPECT_EQ(CompleteTextLength(caption.c_str(), caption.size()), caption.size()) << "no half character";
    };
    expectCleanCut(WindowCaption(MainWindow));
    ASSERT_EQ(boxes_.boxes.size(), 1u) << "the SRM cannot be opened";
    expectCleanCut(boxes_.boxes[0].caption);
    PaintNow();
    expectCleanCut(WindowCaption(MainWindow));

    boxes_.boxes.clear();
    EXPECT_EQ(SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0), 1);
    EXPECT_TRUE(boxes_.boxes.empty()) << "still served";
    EXPECT_EQ(CurrentPrinter, Listed(served));

    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(ScratchMachine::kSpoolerRoot) + "\\LongA").c_str()),
              ERROR_SUCCESS);
    DialogScript script([](HWND dialog) { shelltest::Press(dialog, IDC_SELECT_CANCEL); });
    SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0);
    ASSERT_GE(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_PRINTER_REMOVED));
    expectCleanCut(boxes_.boxes[0].caption);
    EXPECT_EQ(script.captions.size(), 1u);
    EXPECT_EQ(MainWindow, nullptr) << "selection cancelled: the panel ended";
}

}  // namespace
