// The panel steered from outside as a user of the suite would: a printer made
// with srmctl.exe, a change on a page, the update buttons clicked, and
// `srmctl log` read back; srmctl's status changes shown by the panel within a
// second. The printer is not given to the spooler, so that no other test's
// discovery ever sees it; the panel is handed the printer as start-up would.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "test_events_support.h"

using namespace eventtest;

namespace {

constexpr UINT kTextReadWrite = 93;
constexpr UINT kTextReadOnly = 94;
constexpr UINT kTextUpdateOnly = 95;
constexpr DWORD kWithinASecondMs = 1000;

class SrmctlPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        shelltest::ResetShellState();
        paneltest::ResetWindows();
        paneltest::ResetPanelData();
        InvalidateSettings();
        ClearCustomFeeds(&CustomFeeds);
        paneltest::RegisterMainClassOnce();
        name_ = UniquePrinterName("CtlPanel");
        const SrmctlResult add = Srmctl({"add", name_, "--no-spooler"});
        ASSERT_EQ(add.exitCode, 0u) << add.output;
        printer_.reset(new SimulatedPrinter(SimulatedPrinter::Adopt(name_)));
    }

    void TearDown() override {
        if (PanelWindow) {
            SetChangesPending(PanelWindow, 0);
            SendMessageA(PanelWindow, WM_COMMAND, IDC_QUIT, 0);
        }
        if (MainWindow) DestroyWindow(MainWindow);
        PumpPending();
        if (state_) LocalFree(state_);
        state_ = nullptr;
        printer_.reset();
        paneltest::ResetPanelData();
        shelltest::ResetShellState();
        paneltest::ResetWindows();
    }

    static SrmctlResult Srmctl(const std::vector<std::string>& arguments) { return RunSrmctl(arguments); }

    // The printer as start-up hands it over: the one served printer, claimed.
    bool Open() {
        AdoptPrinterList(shelltest::MakeEntry(name_.c_str(), "LPT1:", shelltest::ServedDriver().c_str()), 1, nullptr);
        ChooseCurrentPrinter(PrinterList);
        SetMultiplePrinters(0);
        InstanceMapping = ClaimPrinter(name_.c_str());
        if (!InstanceMapping || !CreateMainWindow()) return false;
        state_ = GetPanelState(PanelWindow);
        return PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs);
    }

    std::vector<std::string> LogLines() {
        const SrmctlResult log = Srmctl({"log", name_});
        EXPECT_EQ(log.exitCode, 0u) << log.output;
        return OutputLines(log.output);
    }

    // The factory settings with the postcard mode on, as the printer receives them.
    static std::string ExpectedCommand() {
        CustomFeedTable custom;
        SettingsRecord record = Decoded(FactoryBlock(), &custom);
        record.postcardMode = 1;
        return Hex(CommandOf(record, custom));
    }

    std::string name_;
    std::unique_ptr<SimulatedPrinter> printer_;
    PanelState* state_ = nullptr;
    ScriptedBoxes script_;
};

TEST_F(SrmctlPanelTest, UpdateWritesTheCommandTheRecordEncodesTo) {
    ASSERT_TRUE(Open());
    Click(PageWindow(0), IDC_PAPER_POSTCARD);
    ASSERT_TRUE(UpdateButtonsOn());
    Click(PanelWindow, IDC_UPDATE);
    ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
    PumpPending();
    EXPECT_EQ(LogLines(), std::vector<std::string>{ExpectedCommand()});
    EXPECT_TRUE(UpdateButtonsOff());
    EXPECT_NE(MainWindow, nullptr);
    EXPECT_TRUE(script_.boxes.empty());
}

TEST_F(SrmctlPanelTest, UpdateThenQuitWritesAtOnceAndCloses) {
    ASSERT_TRUE(Open());
    Click(PageWindow(0), IDC_PAPER_POSTCARD);
    Click(PanelWindow, IDC_UPDATEQUIT);
    // Nothing was pumped since the click: the write was synchronous.
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(SrmHandle, 0u);
    EXPECT_EQ(LogLines(), std::vector<std::string>{ExpectedCommand()});
    EXPECT_TRUE(script_.boxes.empty());
}

TEST_F(SrmctlPanelTest, StatusTextFollowsSrmctlWithinASecond) {
    ASSERT_TRUE(Open());
    ASSERT_EQ(StatusShown(), Text(kTextReadWrite));
    struct Step {
        std::vector<std::string> change;  // after "set NAME"
        std::string text;
    } steps[] = {
        {{"authority", "0x8"}, Text(kTextReadOnly)},
        {{"authority", "0x18"}, Text(kTextReadWrite)},
        {{"status", "0", "0x400", "0"}, Text(kTextUpdateOnly)},
        {{"status", "0", "0x80", "0"}, Text(IDS_BUSY_PRINTER)},
        {{"status", "0", "0", "0x1"}, Text(kTextReadWrite)},
    };
    for (const Step& step : steps) {
        std::vector<std::string> arguments = {"set", name_};
        arguments.insert(arguments.end(), step.change.begin(), step.change.end());
        SCOPED_TRACE(step.change[0] + " " + step.change[1]);
        const SrmctlResult set = Srmctl(arguments);
        ASSERT_EQ(set.exitCode, 0u) << set.output;
        const DWORD start = GetTickCount();
        EXPECT_TRUE(WaitForStatus(step.text, kWithinASecondMs))
            << "shown after " << GetTickCount() - start << " ms: " << StatusShown();
    }
    EXPECT_TRUE(script_.boxes.empty());
}

}  // namespace
