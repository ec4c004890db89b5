// The update procedure in the real panel over the stand-in SRM: the command
// that reaches the printer, the retry question with the same bytes each
// time, the write flag and update buttons in step, the custom feed rows
// written with the printer's current position, and the cases where nothing
// may be written at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "test_events_support.h"

using namespace eventtest;

namespace {

constexpr UINT kTextReadWrite = 93;
constexpr UINT kTextNeither = 127;  // settings can be neither read nor updated
constexpr size_t kCutSheetFeedField = 49;         // the record's own cut-sheet feed position
constexpr size_t kFormat2CutSheetFeedField = 124; // format 2's
constexpr size_t kCutSheetFeedByte = 28;          // in the settings block
constexpr size_t kFormat2CutSheetFeedByte = 85;

class UpdateTest : public EventsTest {
protected:
    // The printer's factory record with the postcard mode switched on, as the
    // Paper page stores it after its check box was clicked.
    static std::vector<uint8_t> FactoryCommandWithPostcardMode() {
        CustomFeedTable custom;
        SettingsRecord record = Decoded(FactoryBlock(), &custom);
        record.postcardMode = 1;
        return CommandOf(record, custom);
    }

    void ClickPostcardMode() {
        ASSERT_NE(PageWindow(0), nullptr);
        ASSERT_EQ(Settings.postcardMode, 0);
        Click(PageWindow(0), IDC_PAPER_POSTCARD);
        ASSERT_TRUE(UpdateButtonsOn()) << "the page reported its change";
    }
};

// A change on a page, then the button: the printer receives exactly the
// command the record encodes to.
TEST_F(UpdateTest, UpdateSendsTheCommandOfTheRecord) {
    struct Case {
        const char* label;
        int button;
        bool closes;
    } cases[] = {
        {"update", IDC_UPDATE, false},
        {"update then quit", IDC_UPDATEQUIT, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("UpSend");
        ASSERT_TRUE(Open(printer));
        ClickPostcardMode();
        Click(PanelWindow, c.button);
        if (c.closes) {
            // Written synchronously: the panel has gone when the click returns.
            EXPECT_EQ(MainWindow, nullptr);
            EXPECT_EQ(SrmHandle, 0u);
        } else {
            EXPECT_EQ(WritePending, 1);
            EXPECT_TRUE(UpdateButtonsOff());
            ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
            PumpPending();
            EXPECT_TRUE(UpdateButtonsOff()) << "the printer holds what the pages show";
            EXPECT_EQ(StatusShown(), Text(kTextReadWrite));
        }
        const std::vector<std::vector<uint8_t>> log = printer.Log();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0], FactoryCommandWithPostcardMode());
        EXPECT_TRUE(script_.boxes.empty());
        TearDown();
        SetUp();
    }
}

TEST_F(UpdateTest, RefusedWriteAsksAgainWithTheSameCommand) {
    struct Case {
        const char* label;
        int button;
        const char* fault;    // the SRM call that fails; null: the printer refuses the direct write
        DWORD refusals;
        std::vector<int> retryAnswers;
        int quitAnswer;       // to "quit anyway?" after giving up
        size_t logged;        // commands the printer received
        int writePending;     // afterwards (the panel may have closed)
        bool closes;
    } cases[] = {
        {"update then quit: refused twice, then accepted", IDC_UPDATEQUIT, nullptr, 2, {IDRETRY, IDRETRY}, IDNO, 3, 1,
         true},
        {"update then quit: given up, stay", IDC_UPDATEQUIT, nullptr, 9, {IDCANCEL}, IDNO, 1, 0, false},
        {"update then quit: given up, quit", IDC_UPDATEQUIT, nullptr, 9, {IDCANCEL}, IDYES, 1, 0, true},
        {"update: request refused twice, then accepted", IDC_UPDATE, "SetReqPrinterStatusMsgA", 2,
         {IDRETRY, IDRETRY}, IDNO, 1, 0, false},
        {"update: given up", IDC_UPDATE, "SetReqPrinterStatusMsgA", 9, {IDCANCEL}, IDNO, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("UpRetry");
        ASSERT_TRUE(Open(printer));
        ClickPostcardMode();
        if (c.fault) {
            ASSERT_EQ(printer.Fail(c.fault, c.refusals), 0u);
        } else {
            ASSERT_EQ(printer.SetWriteStatus(1), 0u);
        }
        const std::string retryText = Text(IDS_RETRY_WRITE);
        const std::vector<int> answers = c.retryAnswers;
        const DWORD refusals = c.refusals;
        const bool printerRefuses = c.fault == nullptr;
        SimulatedPrinter* steered = &printer;
        script_.On(retryText, [&, answers, refusals, printerRefuses, steered](int occurrence) {
            EXPECT_EQ(WritePending, 1) << "still writing while the question is up";
            EXPECT_TRUE(UpdateButtonsOff());
            const int answer = occurrence <= static_cast<int>(answers.size()) ? answers[occurrence - 1] : IDCANCEL;
            if (printerRefuses && answer == IDRETRY && static_cast<DWORD>(occurrence) == refusals)
                steered->SetWriteStatus(0);
            return answer;
        });
        script_.Answer(Text(IDS_QUIT_UNFINISHED), {c.quitAnswer});

        Click(PanelWindow, c.button);
        if (MainWindow && WritePending) {
            ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
            PumpPending();
        }

        const size_t questions = c.retryAnswers.size();
        ASSERT_GE(script_.boxes.size(), questions);
        for (size_t i = 0; i < questions; ++i) {
            EXPECT_EQ(script_.boxes[i].text, retryText);
            EXPECT_EQ(script_.boxes[i].style, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
        }
        const bool gaveUp = c.retryAnswers.back() == IDCANCEL;
        const bool asksToQuit = gaveUp && c.button == IDC_UPDATEQUIT;
        ASSERT_EQ(script_.boxes.size(), questions + (asksToQuit ? 1u : 0u));
        if (asksToQuit) {
            EXPECT_EQ(script_.boxes.back().style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        }

        const std::vector<std::vector<uint8_t>> log = printer.Log();
        ASSERT_EQ(log.size(), c.logged);
        for (const std::vector<uint8_t>& command : log) EXPECT_EQ(command, FactoryCommandWithPostcardMode());
        EXPECT_EQ(WritePending, c.writePending);
        EXPECT_EQ(MainWindow == nullptr, c.closes);
        if (!c.closes) {
            EXPECT_EQ(UpdateButtonsOn(), gaveUp) << "given up: the changes may be written again";
            EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
            EXPECT_EQ(StatusShown(), Text(kTextReadWrite));
        }
        TearDown();
        SetUp();
    }
}

// The SRM first refuses the request, then the printer refuses the settings.
TEST_F(UpdateTest, RefusedRequestThenRefusedByThePrinter) {
    SimulatedPrinter& printer = AddPrinter("UpTwice");
    ASSERT_TRUE(Open(printer));
    ClickPostcardMode();
    ASSERT_EQ(printer.Fail("SetReqPrinterStatusMsgA", 1), 0u);
    ASSERT_EQ(printer.SetWriteStatus(1), 0u);
    script_.Answer(Text(IDS_RETRY_WRITE), {IDRETRY});

    Click(PanelWindow, IDC_UPDATE);
    EXPECT_EQ(WritePending, 1) << "the retry was accepted";
    ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
    PumpPending();
    EXPECT_EQ(script_.Texts(), (std::vector<std::string>{Text(IDS_RETRY_WRITE), Text(IDS_WRITE_FAILED)}));
    EXPECT_TRUE(UpdateButtonsOn());
    EXPECT_EQ(printer.Log().size(), 1u);
    EXPECT_EQ(printer.Block(), FactoryBlock()) << "a printer that refuses keeps its settings";
    EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
}

// The cut-sheet feed is on its custom row; the printer's position for it
// changes after the read. The command carries the position the printer
// reports when the update starts.
TEST_F(UpdateTest, CustomFeedRowWritesThePrintersCurrentPosition) {
    struct Case {
        const char* label;
        uint8_t now;         // the printer's position when the update starts
        bool preReadFails;
        const char* written;
    } cases[] = {
        {"another custom position", 41, false, "041"},
        {"a position of the table now", 46, false, "046"},
        {"the read before the write fails", 41, true, "037"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("UpCustom");
        ASSERT_EQ(printer.SetBlock(BlockWith({{kCutSheetFeedByte, 37}, {kFormat2CutSheetFeedByte, 37}}).data()), 0u);
        ASSERT_TRUE(Open(printer));
        ASSERT_EQ(Settings.cutSheetFeed, kFeedCustomRowBC);
        ASSERT_EQ(CustomFeeds.record.cutSheetCustom, 37);
        ASSERT_EQ(Settings.formats[1].cutSheetFeed, kFeedCustomRowBC);
        ShowPage(PanelWindow, 1);  // the Format page stores its rows too
        ASSERT_NE(PageWindow(1), nullptr);

        ASSERT_EQ(printer.SetBlock(BlockWith({{kCutSheetFeedByte, c.now}, {kFormat2CutSheetFeedByte, c.now}}).data()),
                  0u);
        if (c.preReadFails) {
            ASSERT_EQ(printer.Fail("GetPrinterStatusA", 1), 0u);
        }
        PanelCommand(IDC_UPDATE);
        ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
        PumpPending();

        const std::vector<std::vector<uint8_t>> log = printer.Log();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(CommandField(log[0], kCutSheetFeedField, 3), c.written);
        EXPECT_EQ(CommandField(log[0], kFormat2CutSheetFeedField, 3), c.written);
        EXPECT_EQ(Settings.cutSheetFeed, kFeedCustomRowBC) << "the record is not changed by the write";
        EXPECT_TRUE(script_.boxes.empty()) << "a failed read before the write is silent";
        TearDown();
        SetUp();
    }
}

// A page with an invalid value, or a switch byte the printer could never give
// back: it reports bit 1 of byte 1, which no page edits, and the Font page's
// tick sets the last clear bit. A box says why, nothing is written, the page
// concerned comes forward, and the panel stays as it was.
TEST_F(UpdateTest, UpdateIsRefusedBeforeAnythingIsWritten) {
    constexpr int kFontTab = 2;
    struct Case {
        const char* label;
        int command;
        bool allOnes;  // else the invalid value
    } cases[] = {
        {"update", IDC_UPDATE}, {"update then quit", IDC_UPDATEQUIT}, {"Enter", IDOK},
        {"0xFF: update", IDC_UPDATE, true}, {"0xFF: update then quit", IDC_UPDATEQUIT, true}, {"0xFF: Enter", IDOK, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("UpInvalid");
        ASSERT_EQ(printer.SetBlock(BlockWith({{5, static_cast<uint8_t>(c.allOnes ? 0xFE : 0x00)}}).data()), 0u);
        ASSERT_TRUE(Open(printer));
        if (c.allOnes) {
            ShowPage(PanelWindow, kFontTab);
            Click(PageWindow(kFontTab), IDC_FONT_ZERO1);
            ShowPage(PanelWindow, 0);
        } else {
            SetDlgItemTextA(PageWindow(0), IDC_PAPER_CUTEDIT, "5");  // below the head-centring range
        }
        ASSERT_TRUE(UpdateButtonsOn());
        PanelCommand(c.command);
        ASSERT_EQ(script_.boxes.size(), 1u) << "a box says what is wrong";
        EXPECT_EQ(script_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
        EXPECT_EQ(script_.boxes[0].text == Text(IDS_SETTINGS_UNSENDABLE), c.allOnes);
        EXPECT_EQ(State()->currentPage, PageWindow(c.allOnes ? kFontTab : 0));
        EXPECT_TRUE(IsRecordLoaded());
        EXPECT_TRUE(printer.Log().empty());
        EXPECT_EQ(WritePending, 0);
        EXPECT_TRUE(UpdateButtonsOn());
        EXPECT_NE(MainWindow, nullptr);
        EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
        TearDown();
        SetUp();
    }
}

// After three failed reads the record holds no settings: no command may be
// built from it, whichever way an update is asked for. The defaults, once
// shown, may be written.
TEST_F(UpdateTest, RecordThatIsNotLoadedIsNeverWritten) {
    SimulatedPrinter& printer = AddPrinter("UpUnloaded");
    const std::vector<uint8_t> unmarked(kSettingsBlockSize, 0);
    ASSERT_EQ(printer.SetBlock(unmarked.data()), 0u);
    ASSERT_TRUE(Open(printer, false));
    ASSERT_TRUE(PumpUntil([] { return ReadPending == 0; }, kWaitMs));
    PumpPending();
    ASSERT_FALSE(IsRecordLoaded());

    // Enter does what the default button, off now, would: nothing.
    PanelCommand(IDOK);
    EXPECT_TRUE(script_.boxes.empty());
    for (int command : {IDC_UPDATEQUIT, IDC_UPDATE}) {
        SCOPED_TRACE(command);
        script_.boxes.clear();
        PanelCommand(command);
        EXPECT_TRUE(printer.Log().empty());
        EXPECT_EQ(WritePending, 0);
        EXPECT_NE(MainWindow, nullptr);
        for (uint8_t byte : Settings.switches) EXPECT_EQ(byte, 0xFF) << "no page stored into the record";
        ASSERT_EQ(script_.boxes.size(), 1u) << "a box says why nothing is written";
        EXPECT_EQ(script_.boxes[0].text, Text(kTextNeither));
        EXPECT_EQ(script_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    }

    PanelCommand(CMD_SHOWDEFAULTS);
    ASSERT_TRUE(UpdateButtonsOn());
    PanelCommand(IDC_UPDATE);
    ASSERT_TRUE(PumpUntil([] { return WritePending == 0; }, kWaitMs));
    SettingsRecord defaults;
    LoadDefaultSettings(&defaults);
    CustomFeedTable none;
    ClearCustomFeeds(&none);
    const std::vector<std::vector<uint8_t>> log = printer.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], CommandOf(defaults, none));
}

}  // namespace
