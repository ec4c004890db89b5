// The panel's reactions to its printer over the stand-in SRM: the read reply
// with its attempts, the write reply, status notifications moving the panel
// between its states, items that cannot be read, a new printer name, a new
// port, and the settings notification that changes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "test_events_support.h"

using namespace eventtest;

namespace {

constexpr UINT kTextReadWrite = 93;
constexpr UINT kTextReadOnly = 94;
constexpr UINT kTextUpdateOnly = 95;
constexpr UINT kTextNeither = 127;
constexpr UINT kTextExtStatusFailed = 110;
constexpr UINT kTextStatusFailed = 84;
constexpr UINT kTextAuthorityFailed = 86;
constexpr char kSwitchText[] = "印刷可スイッチが押されていません。\n設定の更新はできません。";
constexpr DWORD kUnread = static_cast<DWORD>(-1);

using Steer = std::function<DWORD(const SimulatedPrinter&)>;

// ---- Read reply ----

TEST_F(EventsTest, ReadMakesAtMostThreeRequests) {
    struct Case {
        const char* label;
        DWORD failures;      // GetPrinterStatusA calls of the reads that fail
        bool unmarkedBlock;  // the printer's block lacks its format marks
        int requests;
        bool loaded;
    } cases[] = {
        {"first attempt works", 0, false, 1, true},
        {"one failure", 1, false, 2, true},
        {"two failures", 2, false, 3, true},
        {"three failures", 3, false, 3, false},
        {"four failures: the next read has its three attempts again", 4, false, 3, false},
        {"block without its marks", 0, true, 3, false},
        {"one failure again after a read that gave up", 1, false, 2, true},
    };
    SimulatedPrinter& printer = AddPrinter("EvRead");
    ASSERT_TRUE(Open(printer));
    const std::vector<uint8_t> unmarked(kSettingsBlockSize, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ(printer.SetBlock(c.unmarkedBlock ? unmarked.data() : FactoryBlock().data()), 0u);
        ASSERT_EQ(printer.Fail("GetPrinterStatusA", c.failures), 0u);
        script_.Reset();
        const int shown = static_cast<int>(std::min<DWORD>(c.failures, 3));
        paneltest::PanelCommandRecorder requests;
        ASSERT_TRUE(requests.Hooked());

        PanelCommand(CMD_READSETTINGS);
        ASSERT_TRUE(PumpUntil(
            [&] {
                return ReadPending == 0 && script_.Count(Text(IDS_READ_FAILED)) == shown &&
                       IsRecordLoaded() == c.loaded;
            },
            kWaitMs));
        PumpPending();

        EXPECT_EQ(std::count(requests.commands.begin(), requests.commands.end(), CMD_READSETTINGS), c.requests);
        ASSERT_EQ(static_cast<int>(script_.boxes.size()), shown);
        for (const RecordedBox& box : script_.boxes) {
            EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONWARNING));
            EXPECT_EQ(box.caption, Caption());
        }
        EXPECT_EQ(ReadPending, 0);
        EXPECT_EQ(ReadRetries, 3);
        EXPECT_EQ(PagesOn(), c.loaded);
        EXPECT_TRUE(ControlEnabled(IDC_MODELTEXT)) << "the frame texts come back";
        EXPECT_TRUE(ControlEnabled(IDC_PORTTEXT));
        EXPECT_TRUE(ToolbarEnabled(CMD_SHOWDEFAULTS));
        EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
        EXPECT_EQ(StatusShown(), Text(kTextReadWrite));
        EXPECT_TRUE(UpdateButtonsOff());
        EXPECT_EQ(printer.FaultCount("GetPrinterStatusA"), c.failures > 3 ? c.failures - 3 : 0u);
    }
}

// ---- Write reply ----

TEST_F(EventsTest, WriteReplyReportsWhatThePrinterSaid) {
    struct Case {
        const char* label;
        DWORD writeStatus;   // the printer's answer to the write
        DWORD resultFaults;  // ResSetPrinterStatus calls that fail
        bool failureShown;
    } cases[] = {
        {"accepted", 0, 0, false},
        {"refused by the printer", 1, 0, true},
        {"the answer cannot be fetched", 0, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("EvWriteReply");
        ASSERT_TRUE(Open(printer));
        ASSERT_EQ(printer.SetWriteStatus(c.writeStatus), 0u);
        ASSERT_EQ(printer.Fail("ResSetPrinterStatus", c.resultFaults), 0u);
        ChangeSetting();
        PanelCommand(IDC_UPDATE);
        ASSERT_EQ(WritePending, 1);
        ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
        PumpPending();

        ASSERT_EQ(script_.boxes.size(), c.failureShown ? 1u : 0u);
        if (c.failureShown) {
            EXPECT_EQ(script_.boxes[0].text, Text(IDS_WRITE_FAILED));
            EXPECT_EQ(script_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
            EXPECT_EQ(script_.boxes[0].caption, Caption());
        }
        EXPECT_EQ(UpdateButtonsOn(), c.failureShown) << "the changes may be written again";
        EXPECT_EQ(UpdateButtonsOff(), !c.failureShown);
        EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
        EXPECT_EQ(StatusShown(), Text(kTextReadWrite));
        EXPECT_EQ(printer.Log().size(), 1u);
        EXPECT_NE(MainWindow, nullptr);
        TearDown();
        SetUp();
    }
}

// ---- Status notifications ----

// One item changes at a time, so that no step passes through an unusable
// printer on its way.
TEST_F(EventsTest, StatusChangesMoveThePanelBetweenItsStates) {
    struct Step {
        const char* label;
        Steer steer;
        std::string text;
        int read;
        int update;
        int notReady;
    };
    const Step steps[] = {
        {"read right only", [](const SimulatedPrinter& p) { return p.SetAuthority(0x08); }, Text(kTextReadOnly), 1, 0,
         0},
        {"both rights", [](const SimulatedPrinter& p) { return p.SetAuthority(0x18); }, Text(kTextReadWrite), 1, 1, 0},
        {"settings unreadable", [](const SimulatedPrinter& p) { return p.SetStatus(0, 0x400, 0); },
         Text(kTextUpdateOnly), 0, 1, 0},
        {"printer processing", [](const SimulatedPrinter& p) { return p.SetStatus(0, 0x80, 0); },
         Text(IDS_BUSY_PRINTER), 1, 1, 1},
        {"print-enable switch", [](const SimulatedPrinter& p) { return p.SetStatus(0, 0, 0x1000); }, kSwitchText, 1, 1,
         1},
        {"ready", [](const SimulatedPrinter& p) { return p.SetStatus(0, 0, kSrmReadyStatusWord3); }, Text(kTextReadWrite), 1, 1, 0},
        {"extended status without reading", [](const SimulatedPrinter& p) { return p.SetExtStatus(1); },
         Text(kTextUpdateOnly), 0, 1, 0},
        {"extended status ready", [](const SimulatedPrinter& p) { return p.SetExtStatus(3); }, Text(kTextReadWrite), 1,
         1, 0},
    };
    SimulatedPrinter& printer = AddPrinter("EvStatus");
    ASSERT_TRUE(Open(printer));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        ASSERT_EQ(step.steer(printer), 0u);
        ASSERT_TRUE(WaitForStatus(step.text)) << "shown: " << StatusShown();
        EXPECT_EQ(ReadAllowed, step.read);
        EXPECT_EQ(UpdateAllowed, step.update);
        EXPECT_EQ(PrinterNotReady, step.notReady);
        EXPECT_EQ(ToolbarEnabled(CMD_READSETTINGS), step.read == 1 && step.notReady == 0);
        EXPECT_TRUE(IsRecordLoaded()) << "the record read at opening stays";
        EXPECT_TRUE(PagesOn());
        EXPECT_EQ(ReadPending, 0) << "a loaded record is not read again";
    }
    EXPECT_TRUE(script_.boxes.empty());
    EXPECT_NE(MainWindow, nullptr);
}

TEST_F(EventsTest, StatusItemThatCannotBeReadMakesThePrinterUnusable) {
    struct Case {
        const char* label;
        Steer steer;
        UINT text;
    } cases[] = {
        {"extended status -1", [](const SimulatedPrinter& p) { return p.SetExtStatus(kUnread); }, kTextExtStatusFailed},
        {"second status word -1", [](const SimulatedPrinter& p) { return p.SetStatus(0, kUnread, 0); },
         kTextStatusFailed},
        {"third status word -1", [](const SimulatedPrinter& p) { return p.SetStatus(0, 0, kUnread); },
         kTextStatusFailed},
        {"user right unreadable",
         [](const SimulatedPrinter& p) {
             const DWORD failed = p.Fail("GetPrinterStatusA", 1);
             return failed != 0 ? failed : p.SetAuthority(0x08);
         },
         kTextAuthorityFailed},
        {"printer name unreadable",
         [](const SimulatedPrinter& p) {
             const DWORD failed = p.Fail("GetPrinterStatusA", 1);
             return failed != 0 ? failed : p.SetReportedName("EvRenamed");
         },
         IDS_NAME_FAILED},
    };
    for (bool several : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.label) + (several ? ", several printers" : ", one printer"));
            SimulatedPrinter& printer = AddPrinter("EvUnreadable");
            if (several) AddPrinter("EvOther");
            ASSERT_TRUE(Open(printer));
            const std::string caption = Caption();
            ASSERT_EQ(c.steer(printer), 0u);
            if (several) {
                ASSERT_TRUE(PumpUntil(
                    [&] { return !script_.boxes.empty() && StatusShown() == Text(IDS_PANEL_UNUSABLE); }, kWaitMs));
                PumpPending();
                ASSERT_EQ(script_.boxes.size(), 1u);
                EXPECT_EQ(script_.boxes[0].text, Text(c.text));
                EXPECT_NE(MainWindow, nullptr) << "the user may change printer";
                EXPECT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
                EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS));
                EXPECT_EQ(ReadAllowed, 0);
                EXPECT_EQ(UpdateAllowed, 0);
            } else {
                ASSERT_TRUE(PumpUntil([] { return MainWindow == nullptr; }, kWaitMs));
                ASSERT_EQ(script_.boxes.size(), 1u);
                EXPECT_EQ(script_.boxes[0].text, Text(c.text) + "\n" + Text(IDS_PANEL_ENDS));
                EXPECT_EQ(SrmHandle, 0u);
                EXPECT_EQ(InstanceMapping, nullptr);
                EXPECT_EQ(PanelWindow, nullptr);
            }
            EXPECT_EQ(script_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
            EXPECT_EQ(script_.boxes[0].caption, caption);
            TearDown();
            SetUp();
        }
    }
}

TEST_F(EventsTest, PrinterThatLosesBothRights) {
    for (bool several : {true, false}) {
        SCOPED_TRACE(several ? "several printers" : "one printer");
        SimulatedPrinter& printer = AddPrinter("EvNoRight");
        if (several) AddPrinter("EvOther");
        ASSERT_TRUE(Open(printer));
        ChangeSetting();
        ASSERT_EQ(printer.SetAuthority(0), 0u);
        if (several) {
            ASSERT_TRUE(WaitForStatus(Text(kTextNeither) + Text(IDS_PANEL_UNUSABLE)));
            PumpPending();
            EXPECT_TRUE(script_.boxes.empty()) << "the status text explains";
            EXPECT_FALSE(PagesOn());
            EXPECT_FALSE(ToolbarEnabled(CMD_SHOWDEFAULTS));
            EXPECT_TRUE(ToolbarEnabled(CMD_CHANGEPRINTER));
            // The rights come back with the record still loaded: the current page has the focus again.
            ASSERT_EQ(printer.SetAuthority(0x18), 0u);
            ASSERT_TRUE(PumpUntil([] { return PagesOn(); }, kWaitMs));
            EXPECT_TRUE(GetFocus() == State()->currentPage || IsChild(State()->currentPage, GetFocus()));
        } else {
            // Having said it ends, the panel ends: no question about the changes.
            ASSERT_TRUE(PumpUntil([] { return MainWindow == nullptr; }, kWaitMs));
            EXPECT_EQ(script_.Texts(), (std::vector<std::string>{Text(kTextNeither) + "\n" + Text(IDS_PANEL_ENDS)}));
            EXPECT_EQ(SrmHandle, 0u);
        }
        TearDown();
        SetUp();
    }
}

// The printer was busy when the panel opened, so nothing was read; a status
// change that makes it usable reads at once or shows the defaults.
TEST_F(EventsTest, UsableAgainReadsOrShowsTheDefaults) {
    struct Case {
        const char* label;
        DWORD s2;
        std::string text;
        int reads;
        bool loaded;
        bool defaults;
    } cases[] = {
        {"ready: read at once", 0, Text(kTextReadWrite), 1, true, false},
        {"only updating: the defaults", 0x400, Text(kTextUpdateOnly), 0, true, true},
        {"still processing: nothing", 0x480, Text(IDS_BUSY_PRINTER), 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("EvAgain");
        ASSERT_EQ(printer.SetStatus(0, 0x80, 0), 0u);
        ASSERT_TRUE(Open(printer, false));
        PumpPending();
        ASSERT_EQ(StatusShown(), Text(IDS_BUSY_PRINTER));
        ASSERT_FALSE(IsRecordLoaded());
        ASSERT_FALSE(PagesOn());

        paneltest::PanelCommandRecorder requests;
        ASSERT_EQ(printer.SetStatus(0, c.s2, 0), 0u);
        ASSERT_TRUE(PumpUntil(
            [&] { return StatusShown() == c.text && ReadPending == 0 && IsRecordLoaded() == c.loaded; }, kWaitMs));
        PumpPending();
        EXPECT_EQ(std::count(requests.commands.begin(), requests.commands.end(), CMD_READSETTINGS), c.reads);
        EXPECT_EQ(PagesOn(), c.loaded);
        if (c.defaults) {
            SettingsRecord defaults;
            LoadDefaultSettings(&defaults);
            EXPECT_EQ(std::memcmp(&Settings, &defaults, sizeof defaults), 0);
        }
        EXPECT_TRUE(script_.boxes.empty()) << "no message about the defaults after a change";
        TearDown();
        SetUp();
    }
}

TEST_F(EventsTest, LosingTheUpdateRightKeepsPendingChanges) {
    SimulatedPrinter& printer = AddPrinter("EvRight");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    ASSERT_TRUE(UpdateButtonsOn());

    ASSERT_EQ(printer.SetAuthority(0x08), 0u);
    ASSERT_TRUE(WaitForStatus(Text(kTextReadOnly)));
    EXPECT_EQ(UpdateAllowed, 0);
    EXPECT_TRUE(UpdateButtonsOff()) << "no update while it is not allowed";
    EXPECT_TRUE(PagesOn());
    // Every way to update refuses without a word or a write; the change stays.
    for (int command : {IDC_UPDATE, IDC_UPDATEQUIT, IDOK}) SendMessageA(PanelWindow, WM_COMMAND, command, 0);
    ChangeSetting();
    EXPECT_TRUE(UpdateButtonsOff()) << "a change does not enable them";
    EXPECT_TRUE(printer.Log().empty());
    EXPECT_NE(MainWindow, nullptr);
    EXPECT_EQ(ChangesPending, 1);

    ASSERT_EQ(printer.SetAuthority(0x18), 0u);
    EXPECT_TRUE(PumpUntil([] { return UpdateButtonsOn(); }, kWaitMs)) << "back with the right";
    EXPECT_TRUE(script_.boxes.empty());
}

// ---- Printer name ----

TEST_F(EventsTest, NewPrinterNameIsTakenOver) {
    // A double-byte name whose second character ends in the byte of '\'.
    const std::string renamed = "新しい表示名";
    SimulatedPrinter& printer = AddPrinter("EvName");
    ASSERT_TRUE(Open(printer));
    ASSERT_EQ(printer.SetReportedName(renamed), 0u);
    ASSERT_TRUE(
        PumpUntil([&] { return CurrentPrinter && CurrentPrinter->name && renamed == CurrentPrinter->name; }, kWaitMs));
    EXPECT_EQ(WindowCaption(MainWindow), Title() + " - " + renamed) << "the panel repainted the title";

    // A later message carries the new name.
    WritePending = 1;
    PanelCommand(CMD_READSETTINGS);
    WritePending = 0;
    ASSERT_EQ(script_.boxes.size(), 1u);
    EXPECT_EQ(script_.boxes[0].text, Text(IDS_BUSY_WRITING));
    EXPECT_EQ(script_.boxes[0].caption, Title() + " - " + renamed);

    // The SRM handle of the printer is the same as before.
    PanelCommand(CMD_READSETTINGS);
    EXPECT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
}

// ---- Port ----

TEST_F(EventsTest, PortChangeEndsThePanel) {
    struct Case {
        const char* label;
        bool changed;
        int answer;  // to the question about the changes
        bool closes;
    } cases[] = {
        {"nothing changed", false, IDOK, true},
        {"changes dropped", true, IDOK, true},
        {"changes kept", true, IDCANCEL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("EvPort");
        ASSERT_TRUE(Open(printer));
        const std::string caption = Caption();
        if (c.changed) ChangeSetting();
        script_.Answer(Text(IDS_SETTINGS_CHANGED), {c.answer});
        ASSERT_EQ(printer.SetPort("LPT2:", ""), 0u);
        const size_t boxes = c.changed ? 2u : 1u;
        ASSERT_TRUE(PumpUntil([&] { return script_.boxes.size() == boxes; }, kWaitMs));
        PumpPending();

        EXPECT_EQ(script_.boxes[0].text, Text(IDS_PORT_CHANGED));
        EXPECT_EQ(script_.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_EQ(script_.boxes[0].caption, caption);
        if (c.changed) {
            EXPECT_EQ(script_.boxes[1].text, Text(IDS_SETTINGS_CHANGED));
        }
        EXPECT_EQ(MainWindow == nullptr, c.closes);
        if (c.closes) {
            EXPECT_EQ(SrmHandle, 0u);
            for (DWORD id : Notifications) EXPECT_EQ(id, 0u);
            EXPECT_EQ(InstanceMapping, nullptr);
        } else {
            EXPECT_TRUE(UpdateButtonsOn());
            EXPECT_NE(SrmHandle, 0u);
        }
        TearDown();
        SetUp();
    }
}

// ---- Settings notification ----

TEST_F(EventsTest, SettingsChangeNotificationChangesNothing) {
    SimulatedPrinter& printer = AddPrinter("EvSettings");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    const SettingsRecord before = Settings;
    PostedToPanel notices(RPM_SETTINGSCHANGED);
    ASSERT_TRUE(notices.Hooked());

    ASSERT_EQ(printer.SetBlock(BlockWith({{25, 42}}).data()), 0u);  // another page length
    ASSERT_TRUE(PumpUntil([&] { return notices.count > 0; }, kWaitMs));
    PumpPending();
    EXPECT_EQ(std::memcmp(&Settings, &before, sizeof before), 0);
    EXPECT_EQ(ReadPending, 0);
    EXPECT_TRUE(UpdateButtonsOn());
    EXPECT_TRUE(PagesOn());
    EXPECT_EQ(StatusShown(), Text(kTextReadWrite));
    EXPECT_TRUE(script_.boxes.empty());
}

}  // namespace
