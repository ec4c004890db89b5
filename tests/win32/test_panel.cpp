// The panel dialog of the real program over simulated printers: the
// commands' busy checks and confirmations, reading (also when the SRM
// refuses the request), show defaults, quitting, changing printer, the
// update commands through the update procedure, and what the opening makes
// of the printer's rights.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "codec.h"
#include "test_panel_support.h"

using namespace paneltest;

namespace {

constexpr UINT kTextReadOnly = 94;      // can read, cannot update
constexpr UINT kTextUpdateOnly = 95;    // can update, cannot read
constexpr UINT kTextNeither = 127;      // cannot read or update

class PanelDialogTest : public PanelTest {
protected:
    std::string Caption(const SimulatedPrinter& printer) const { return Title() + " - " + printer.Name(); }
    bool PagesEnabled() const { return IsWindowEnabled(GetDlgItem(Page(0), IDC_PAGE0_MARKER)) != FALSE; }
};

// ---- Busy checks ----

TEST_F(PanelDialogTest, CommandsRefuseWhileBusy) {
    struct Busy {
        const char* label;
        int* flag;
        UINT text;
    } busy[] = {
        {"writing", &WritePending, IDS_BUSY_WRITING},
        {"reading", &ReadPending, IDS_BUSY_READING},
        {"not ready", &PrinterNotReady, IDS_BUSY_PRINTER},
    };
    struct Command {
        const char* label;
        int id;
    } commands[] = {
        {"update then quit", IDC_UPDATEQUIT}, {"IDOK", IDOK}, {"update", IDC_UPDATE}, {"read", CMD_READSETTINGS},
    };
    SimulatedPrinter& printer = AddPrinter("PanelBusy");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    for (const Busy& b : busy) {
        for (const Command& c : commands) {
            SCOPED_TRACE(std::string(b.label) + ", " + c.label);
            *b.flag = 1;
            boxes_.boxes.clear();
            PanelCommand(c.id);
            ASSERT_EQ(boxes_.boxes.size(), 1u);
            EXPECT_EQ(boxes_.boxes[0].text, Text(b.text));
            EXPECT_EQ(boxes_.boxes[0].caption, Caption(printer));
            EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
            EXPECT_NE(MainWindow, nullptr);
            EXPECT_TRUE(ControlEnabled(IDC_UPDATE)) << "changes kept";
            EXPECT_TRUE(printer.Log().empty()) << "nothing written";
            *b.flag = 0;
        }
    }
    EXPECT_EQ(ReadPending, 0);
    EXPECT_EQ(WritePending, 0);
}

// ---- Read ----

TEST_F(PanelDialogTest, ReadWithChangesAsksFirst) {
    SimulatedPrinter& printer = AddPrinter("PanelAsk");
    ASSERT_TRUE(Open(printer));

    ChangeSetting();
    Settings.pageLength = 42;  // what a page stored
    boxes_.answers = {IDCANCEL};
    PanelCommand(CMD_READSETTINGS);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_SETTINGS_CHANGED));
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(ReadPending, 0);
    EXPECT_TRUE(ControlEnabled(IDC_UPDATE));
    EXPECT_TRUE(PagesEnabled());
    EXPECT_EQ(Settings.pageLength, 42) << "record untouched";

    boxes_.boxes.clear();
    boxes_.answers = {IDOK};
    PanelCommand(CMD_READSETTINGS);
    EXPECT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(ReadPending, 1);
    EXPECT_FALSE(ControlEnabled(IDC_UPDATE));
    EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS));
    EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(90)) << "reading...";
    ASSERT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
    EXPECT_NE(Settings.pageLength, 42) << "the printer's record again";
    EXPECT_TRUE(PagesEnabled());
}

// The SRM refuses the read request: no reply will come, so the read ends at
// once as after its last failed attempt.
TEST_F(PanelDialogTest, RefusedReadRequestEndsTheRead) {
    SimulatedPrinter& printer = AddPrinter("PanelRefused");
    ASSERT_TRUE(Open(printer));
    ReadRetries = 1;
    ASSERT_EQ(printer.Fail("GetReqPrinterStatusMsgA", 1), 0u);

    PanelCommand(CMD_READSETTINGS);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_READ_FAILED));
    EXPECT_EQ(boxes_.boxes[0].caption, Caption(printer));
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(ReadPending, 0);
    EXPECT_EQ(ReadRetries, 3);
    EXPECT_FALSE(IsRecordLoaded());
    EXPECT_FALSE(PagesEnabled());
    EXPECT_TRUE(ControlEnabled(IDC_MODELTEXT));
    EXPECT_TRUE(ControlEnabled(IDC_PORTTEXT));
    EXPECT_TRUE(ToolbarEnabled(CMD_SHOWDEFAULTS));
    EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS)) << "the user may try again";
    EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(93));

    // Nothing stays waiting: a later read works.
    PanelCommand(CMD_READSETTINGS);
    EXPECT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
    EXPECT_TRUE(PagesEnabled());
}

// The printer's block never loads and the SRM refuses the retry: the pages
// are left as after the last attempt, not disabled by the retry.
TEST_F(PanelDialogTest, RefusedRetryLeavesThePagesAsAfterTheLastAttempt) {
    SimulatedPrinter& printer = AddPrinter("PanelRetryRefused");
    const std::vector<uint8_t> unmarked(kSettingsBlockSize, 0);
    ASSERT_EQ(printer.SetBlock(unmarked.data()), 0u);
    ASSERT_TRUE(Open(printer, false));  // the opening's request is accepted
    ASSERT_EQ(ReadPending, 1);
    ASSERT_EQ(printer.Fail("GetReqPrinterStatusMsgA", 1), 0u);

    ASSERT_TRUE(PumpUntil([] { return ReadPending == 0; }, kWaitMs));
    PumpPending();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_READ_FAILED));
    EXPECT_EQ(ReadRetries, 3);
    EXPECT_FALSE(IsRecordLoaded());
    EXPECT_FALSE(PagesEnabled());
    EXPECT_TRUE(ControlEnabled(IDC_MODELTEXT));
    EXPECT_TRUE(ToolbarEnabled(CMD_SHOWDEFAULTS));
    EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
}

TEST_F(PanelDialogTest, ShowDefaultsEnablesUpdateOnlyWhenAllowed) {
    struct Case {
        const char* label;
        DWORD authority;
        bool updateButtons;
    } cases[] = {
        {"read and update", 0x18, true},
        {"read only", 0x08, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("PanelDefaults");
        printer.SetAuthority(c.authority);
        ASSERT_TRUE(Open(printer));
        Settings.pageLength = 42;
        PanelCommand(CMD_SHOWDEFAULTS);
        SettingsRecord defaults = {};
        LoadDefaultSettings(&defaults);
        EXPECT_EQ(Settings.pageLength, defaults.pageLength);
        EXPECT_EQ(ControlEnabled(IDC_UPDATE), c.updateButtons);
        EXPECT_EQ(ControlEnabled(IDC_UPDATEQUIT), c.updateButtons);
        TearDown();
        SetUp();
    }
}

TEST_F(PanelDialogTest, PageChangesEnableUpdateOnlyWhenWritingIsPossible) {
    struct Case {
        const char* label;
        int update;
        int notReady;
        bool enabled;
    } cases[] = {
        {"allowed and ready", 1, 0, true},
        {"not allowed", 0, 0, false},
        {"not ready", 1, 1, false},
    };
    ASSERT_TRUE(Open(AddPrinter("PanelChange")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetChangesPending(PanelWindow, 0);
        UpdateAllowed = c.update;
        PrinterNotReady = c.notReady;
        ChangeSetting();
        EXPECT_EQ(ControlEnabled(IDC_UPDATE), c.enabled);
        EXPECT_EQ(ControlEnabled(IDC_UPDATEQUIT), c.enabled);
    }
}

// ---- Quit ----

TEST_F(PanelDialogTest, QuitAsksOnlyWithChanges) {
    struct Case {
        const char* label;
        int command;
        bool changed;
        int answer;
        bool closes;
    } cases[] = {
        {"exit, unchanged", IDC_QUIT, false, IDOK, true},
        {"Esc, unchanged", IDCANCEL, false, IDOK, true},
        {"exit, changed, Cancel", IDC_QUIT, true, IDCANCEL, false},
        {"Esc, changed, OK", IDCANCEL, true, IDOK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("PanelQuit");
        ASSERT_TRUE(Open(printer));
        if (c.changed) ChangeSetting();
        boxes_.answers = {c.answer};
        PanelCommand(c.command);
        EXPECT_EQ(boxes_.boxes.size(), c.changed ? 1u : 0u);
        EXPECT_EQ(MainWindow == nullptr, c.closes);
        if (c.closes) {
            EXPECT_EQ(SrmHandle, 0u);
            for (DWORD id : Notifications) EXPECT_EQ(id, 0u);
            EXPECT_EQ(InstanceMapping, nullptr);
            EXPECT_EQ(ForegroundRoleWindow, nullptr) << "cleared when the frame went";
        }
        TearDown();
        SetUp();
    }
}

// ---- Change printer ----

// The panel reaches its frame (toolbar, help mode, claims, the frame itself)
// only through the hooks the frame gave it.
std::vector<std::string> frameCalls;

TEST_F(PanelDialogTest, FrameIsReachedThroughItsHooks) {
    SimulatedPrinter& printer = AddPrinter("PanelHooks");
    ASSERT_TRUE(Open(printer));
    PanelShellHooks hooks = {};
    hooks.frame = [] { frameCalls.push_back("frame"); return MainWindow; };
    hooks.enterHelpMode = [] { frameCalls.push_back("help"); };
    hooks.releaseClaims = [] { frameCalls.push_back("claims"); ReleaseClaims(); };
    hooks.enableToolbarButton = [](UINT command, BOOL) { frameCalls.push_back(std::to_string(command)); };
    SetPanelShellHooks(hooks);
    const std::string read = std::to_string(CMD_READSETTINGS), defaults = std::to_string(CMD_SHOWDEFAULTS),
                      change = std::to_string(CMD_CHANGEPRINTER);
    struct Case {
        const char* label;
        int command;  // 0: the toolbar refreshed
        std::vector<std::string> calls;
    } cases[] = {
        {"help mode", CMD_HELPMODE, {"help"}},
        {"toolbar", 0, {read, defaults, change}},
        {"quit", IDC_QUIT, {"frame", "claims", "frame", "frame"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        frameCalls.clear();
        if (c.command)
            PanelCommand(c.command);
        else
            RefreshToolbar();
        EXPECT_EQ(frameCalls, c.calls);
    }
    EXPECT_EQ(HelpModeWindow, nullptr);
    EXPECT_EQ(InstanceMapping, nullptr);
    EXPECT_EQ(MainWindow, nullptr);
}

TEST_F(PanelDialogTest, ChangePrinterWithOnePrinterOnlyRefreshesTheToolbar) {
    SimulatedPrinter& printer = AddPrinter("PanelOne");
    ASSERT_TRUE(Open(printer));
    MultiplePrinters = 1;
    RefreshToolbar();
    ASSERT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
    const DWORD handle = SrmHandle;

    DialogScript script([](HWND dialog) { shelltest::Press(dialog, IDC_SELECT_CANCEL); });
    PanelCommand(CMD_CHANGEPRINTER);
    EXPECT_TRUE(script.captions.empty()) << "no selection dialog";
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(MultiplePrinters, 0);
    EXPECT_FALSE(ToolbarEnabled(CMD_CHANGEPRINTER));
    EXPECT_EQ(SrmHandle, handle);
    ASSERT_NE(CurrentPrinter, nullptr);
    EXPECT_EQ(std::string(CurrentPrinter->name), printer.Name());
}

// Selects the row of that printer in the selection dialog and presses OK.
void ChooseInSelection(HWND dialog, const std::string& name) {
    HWND list = GetDlgItem(dialog, IDC_PRINTERLIST);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char text[kTextSize] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        if (name != text) continue;
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    shelltest::Press(dialog, IDC_SELECT_OK);
}

TEST_F(PanelDialogTest, ChangePrinterWithTwoPrintersRebindsThePanel) {
    SimulatedPrinter& first = AddPrinter("PanelFirst");
    SimulatedPrinter& second = AddPrinter("PanelSecond");
    ASSERT_TRUE(Open(first));
    EXPECT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
    const DWORD firstHandle = SrmHandle;

    // The same printer again changes nothing.
    {
        DialogScript script([&](HWND dialog) { ChooseInSelection(dialog, first.Name()); });
        PanelCommand(CMD_CHANGEPRINTER);
        EXPECT_EQ(script.captions.size(), 1u);
        EXPECT_EQ(SrmHandle, firstHandle);
        EXPECT_EQ(std::string(CurrentPrinter->name), first.Name());
    }

    // A printer gone since the dialog opened cannot be opened: the panel
    // stays with the first one, its changes kept.
    {
        SimulatedPrinter& gone = AddPrinter("PanelGone");
        ChangeSetting();
        DialogScript script([&](HWND dialog) {
            SrmSimRemovePrinter(gone.CName());
            ChooseInSelection(dialog, gone.Name());
        });
        PanelCommand(CMD_CHANGEPRINTER);
        ASSERT_FALSE(boxes_.boxes.empty());
        EXPECT_EQ(boxes_.boxes.back().text, Text(IDS_SRM_NOT_OPENED));
        EXPECT_EQ(std::string(CurrentPrinter->name), first.Name());
        EXPECT_EQ(SrmHandle, firstHandle);
        EXPECT_EQ(ChangesPending, 1);
        boxes_.boxes.clear();
        SetChangesPending(PanelWindow, 0);  // dropped as by a read
    }

    SendMessageA(State()->tabControl, TCM_SETCURSEL, 1, 0);
    ShowPage(PanelWindow, 1);
    {
        DialogScript script([&](HWND dialog) { ChooseInSelection(dialog, second.Name()); });
        PanelCommand(CMD_CHANGEPRINTER);
        EXPECT_EQ(script.captions.size(), 1u);
    }
    ASSERT_NE(CurrentPrinter, nullptr);
    EXPECT_EQ(std::string(CurrentPrinter->name), second.Name());
    EXPECT_FALSE(shelltest::MappingExists("QUARLRP_" + first.Name())) << "the first printer is free again";
    EXPECT_TRUE(shelltest::MappingExists("QUARLRP_" + second.Name()));
    EXPECT_NE(SrmHandle, 0u);
    EXPECT_NE(SrmHandle, firstHandle);
    EXPECT_EQ(SendMessageA(State()->tabControl, TCM_GETCURSEL, 0, 0), 0) << "tab 0 again";
    EXPECT_EQ(State()->currentPage, Page(0));
    EXPECT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
    PaintNow();
    EXPECT_EQ(WindowCaption(MainWindow), Caption(second));
    EXPECT_TRUE(boxes_.boxes.empty());
}

// ---- Update ----

TEST_F(PanelDialogTest, UpdateThenQuitWritesDirectlyAndCloses) {
    SimulatedPrinter& printer = AddPrinter("PanelWriteQuit");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    PanelCommand(IDC_UPDATEQUIT);
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(printer.Log().size(), 1u);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(SrmHandle, 0u);
}

// The printer refuses twice and then accepts: the question comes twice and
// the very same command is sent every time.
TEST_F(PanelDialogTest, RefusedWriteIsRetriedWithTheSameCommand) {
    SimulatedPrinter& printer = AddPrinter("PanelRetry");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    ASSERT_EQ(printer.SetWriteStatus(1), 0u);
    static SimulatedPrinter* refusing = nullptr;
    static std::vector<std::string> texts;
    refusing = &printer;
    texts.clear();
    SetMessageBoxHook([](HWND, LPCSTR text, LPCSTR, UINT style) {
        texts.push_back(text);
        EXPECT_EQ(style, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
        if (texts.size() == 2) refusing->SetWriteStatus(0);
        return IDRETRY;
    });
    PanelCommand(IDC_UPDATEQUIT);
    SetMessageBoxHook(nullptr);

    EXPECT_EQ(texts, (std::vector<std::string>{Text(IDS_RETRY_WRITE), Text(IDS_RETRY_WRITE)}));
    const std::vector<std::vector<uint8_t>> log = printer.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], log[0]);
    EXPECT_EQ(log[2], log[0]);
    EXPECT_EQ(MainWindow, nullptr);
}

TEST_F(PanelDialogTest, GivingUpTheWriteLetsTheUserStay) {
    SimulatedPrinter& printer = AddPrinter("PanelGiveUp");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    ASSERT_EQ(printer.SetWriteStatus(1), 0u);
    boxes_.answers = {IDCANCEL, IDNO};
    PanelCommand(IDC_UPDATEQUIT);

    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_RETRY_WRITE));
    EXPECT_EQ(boxes_.boxes[1].text, Text(IDS_QUIT_UNFINISHED));
    EXPECT_EQ(boxes_.boxes[1].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_NE(MainWindow, nullptr);
    EXPECT_EQ(WritePending, 0);
    EXPECT_TRUE(ControlEnabled(IDC_UPDATE));
    EXPECT_TRUE(ControlEnabled(IDC_UPDATEQUIT));
    EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
}

TEST_F(PanelDialogTest, UpdateWritesAndWaitsForTheReply) {
    struct Case {
        const char* label;
        DWORD printerAnswer;
        bool failureShown;
    } cases[] = {
        {"accepted", 0, false},
        {"refused by the printer", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("PanelUpdate");
        ASSERT_TRUE(Open(printer));
        ASSERT_EQ(printer.SetWriteStatus(c.printerAnswer), 0u);
        ChangeSetting();
        PanelCommand(IDC_UPDATE);
        EXPECT_EQ(WritePending, 1);
        EXPECT_FALSE(ControlEnabled(IDC_UPDATE));
        EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS));
        EXPECT_FALSE(ToolbarEnabled(CMD_CHANGEPRINTER));
        EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(91)) << "updating...";
        ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
        EXPECT_EQ(printer.Log().size(), 1u);
        EXPECT_EQ(ControlEnabled(IDC_UPDATE), c.failureShown);
        ASSERT_EQ(boxes_.boxes.size(), c.failureShown ? 1u : 0u);
        if (c.failureShown) {
            EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_WRITE_FAILED));
        }
        EXPECT_NE(MainWindow, nullptr);
        TearDown();
        SetUp();
    }
}

// ---- Opening ----

TEST_F(PanelDialogTest, OpeningFollowsThePrintersRights) {
    struct Case {
        const char* label;
        DWORD authority;
        DWORD extStatus;
        int read;
        int update;
        UINT text;
        UINT defaultsBox;  // 0: none
    } cases[] = {
        {"read only", 0x08, 3, 1, 0, kTextReadOnly, 0},
        {"update only", 0x10, 1, 0, 1, kTextUpdateOnly, IDS_DEFAULTS_SHOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("PanelRights");
        printer.SetAuthority(c.authority);
        printer.SetExtStatus(c.extStatus);
        ASSERT_TRUE(Open(printer));
        EXPECT_EQ(ReadAllowed, c.read);
        EXPECT_EQ(UpdateAllowed, c.update);
        EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(c.text));
        EXPECT_EQ(ToolbarEnabled(CMD_READSETTINGS), c.read == 1);
        EXPECT_TRUE(PagesEnabled()) << "the printer's record or the defaults";
        if (c.defaultsBox) {
            ASSERT_EQ(boxes_.boxes.size(), 1u);
            EXPECT_EQ(boxes_.boxes[0].text, Text(c.defaultsBox));
            EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
        } else {
            EXPECT_TRUE(boxes_.boxes.empty());
        }
        TearDown();
        SetUp();
    }
}

TEST_F(PanelDialogTest, UnusablePrinterEndsTheProgramOnlyWhenItIsTheOnlyOne) {
    SimulatedPrinter& printer = AddPrinter("PanelNoRight");
    printer.SetAuthority(0);
    EXPECT_FALSE(Open(printer, false)) << "the panel quit while being created";
    EXPECT_EQ(MainWindow, nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(kTextNeither) + "\n" + Text(IDS_PANEL_ENDS));
    EXPECT_EQ(SrmHandle, 0u);
    EXPECT_EQ(InstanceMapping, nullptr);
    TearDown();
    SetUp();

    SimulatedPrinter& unusable = AddPrinter("PanelNoRight");
    unusable.SetAuthority(0);
    AddPrinter("PanelFine");
    ASSERT_TRUE(Open(unusable, false));
    EXPECT_TRUE(boxes_.boxes.empty()) << "the status text explains";
    EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(kTextNeither) + Text(IDS_PANEL_UNUSABLE));
    EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS));
    EXPECT_FALSE(ToolbarEnabled(CMD_SHOWDEFAULTS));
    EXPECT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
}

TEST_F(PanelDialogTest, PrinterWithoutSrmStaysWhenOthersExist) {
    SimulatedPrinter& printer = AddPrinter("PanelNoSrm");
    AddPrinter("PanelOtherSrm");
    ASSERT_EQ(printer.Fail("OpenManagerExA", kSrmFailAlways), 0u);
    ASSERT_TRUE(Open(printer, false));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_SRM_NOT_OPENED));
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(ControlText(PanelWindow, IDC_STATUSTEXT), Text(IDS_PANEL_UNUSABLE));
    EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS));
    EXPECT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
    printer.Fail("OpenManagerExA", kSrmFailOff);
}

// ---- Painting ----

TEST_F(PanelDialogTest, MissingTextsPaintAsEmpty) {
    SimulatedPrinter& printer = AddPrinter("PanelNull");
    ASSERT_TRUE(Open(printer));
    PaintNow();
    ASSERT_EQ(ControlText(PanelWindow, IDC_PORTTEXT), "LPT1:");

    char* model = CurrentPrinter->model;
    char* destination = CurrentPrinter->destination;
    CurrentPrinter->model = nullptr;
    CurrentPrinter->destination = nullptr;
    PaintNow();
    EXPECT_EQ(ControlText(PanelWindow, IDC_MODELTEXT), "");
    EXPECT_EQ(ControlText(PanelWindow, IDC_PORTTEXT), "");
    CurrentPrinter->model = model;
    CurrentPrinter->destination = destination;

    PrinterEntry* served = CurrentPrinter;
    CurrentPrinter = nullptr;
    PaintNow();
    EXPECT_EQ(WindowCaption(MainWindow), Title() + " - ");
    CurrentPrinter = served;
}

TEST_F(PanelDialogTest, PrinterWithoutNameOpensNothing) {
    AdoptPrinterList(shelltest::MakeEntry(nullptr, nullptr, nullptr), 1, nullptr);
    ChooseCurrentPrinter(PrinterList);
    SetMultiplePrinters(0);
    ASSERT_NE(CreateMainWindow(), nullptr);
    state_ = GetPanelState(PanelWindow);
    PaintNow();
    EXPECT_EQ(SrmHandle, 0u);
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(ControlText(PanelWindow, IDC_MODELTEXT), "");
    EXPECT_EQ(WindowCaption(MainWindow), Title() + " - ");
}

// ---- A printer on "FILE:" ----

// Runs in a child process (below): opening a printer attached to "FILE:"
// ends the process after telling the user.
TEST(PanelFilePort, DISABLED_OpenPrinterOnFilePort) {
    SetAppInstance(GetModuleHandleA(nullptr));
    ScratchMachine machine;
    ASSERT_TRUE(machine.Ok());
    SimulatedPrinter printer("PanelFile", SpoolerEntry::Register, kSrmDefaultDriver, "FILE:");
    ASSERT_EQ(printer.AddResult(), 0u);
    ASSERT_NE(RegisterMainClass(), 0);
    DiscoverPrinters();
    SetMultiplePrinters(PrinterCount != 1);
    CurrentPrinter = PrinterList;
    ASSERT_NE(CurrentPrinter, nullptr);
    InstanceMapping = ClaimPrinter(CurrentPrinter->name);
    CreateMainWindow();
    ExitProcess(7);  // not reached: the opening ends the process
}

TEST(PanelFilePort, FilePortEndsTheProcessAfterTheMessage) {
    SetAppInstance(GetModuleHandleA(nullptr));
    shelltest::BareTitleLock lock;  // the box carries the bare title
    ASSERT_TRUE(lock.Held());
    shelltest::ChildRun run = shelltest::RunChildTest("PanelFilePort.DISABLED_OpenPrinterOnFilePort", {});
    ASSERT_EQ(run.boxes.size(), 1u) << run.output;
    EXPECT_EQ(run.boxes[0].text, Text(IDS_FILE_PORT));
    EXPECT_EQ(run.boxes[0].caption, Title());
    EXPECT_EQ(run.exitCode, 1u);
}

}  // namespace
