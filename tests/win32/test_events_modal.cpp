// Printer events that arrive while a message box of the panel is up. The
// message-box seam runs the script where the box's modal loop would run, and
// the script lets the printer change meanwhile: the panel's handlers run at
// once, a quit waits until the box has returned, and the code after a box
// never works on a panel or an SRM handle that is no longer there.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "test_events_support.h"

using namespace eventtest;

namespace {

constexpr UINT kTextNeither = 127;

class ModalEventsTest : public EventsTest {
protected:
    // What the script saw while a box was up.
    struct DuringBox {
        bool panelAlive = false;
        bool quitWaiting = false;
    };
    static DuringBox Look() { return {MainWindow != nullptr && IsLivePanel(PanelWindow), PanelQuitDeferred() != 0}; }

    std::string Unusable() const { return Text(kTextNeither) + "\n" + Text(IDS_PANEL_ENDS); }
};

// The port-change message is up when the printer loses every right: the
// evaluation tells why and that the panel ends, the quit waits for the port
// message and then runs once; having said it ends, the panel ends without a
// question about the changes.
TEST_F(ModalEventsTest, StatusQuitWhileThePortMessageIsUp) {
    struct Case {
        const char* label;
        bool changed;
        int keepAnswer;  // to the question about the changes
        bool closes;
    } cases[] = {
        {"nothing changed", false, IDOK, true},
        {"changes pending", true, IDCANCEL, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("MoPortStatus");
        ASSERT_TRUE(Open(printer));
        if (c.changed) ChangeSetting();
        DuringBox during;
        script_.On(Text(IDS_PORT_CHANGED), [&](int) {
            printer.SetAuthority(0);
            EXPECT_TRUE(PumpUntil([&] { return script_.Count(Unusable()) == 1; }, kWaitMs));
            PumpPending();
            during = Look();
            return IDOK;
        });
        script_.Answer(Text(IDS_SETTINGS_CHANGED), {c.keepAnswer});
        ASSERT_EQ(printer.SetPort("COM1:", ""), 0u);
        ASSERT_TRUE(PumpUntil(
            [&] { return script_.Count(Text(IDS_PORT_CHANGED)) == 1 && (MainWindow == nullptr) == c.closes; }, kWaitMs))
            << ::testing::PrintToString(script_.Texts());
        PumpPending();

        EXPECT_TRUE(during.panelAlive) << "no quit while the port message is up";
        EXPECT_TRUE(during.quitWaiting);
        const std::vector<std::string> expected = {Text(IDS_PORT_CHANGED), Unusable()};
        EXPECT_EQ(script_.Texts(), expected);
        EXPECT_EQ(PanelQuitDeferred(), 0);
        EXPECT_EQ(PanelModalDepth(), 0);
        if (c.closes) {
            EXPECT_EQ(SrmHandle, 0u);
            for (DWORD id : Notifications) EXPECT_EQ(id, 0u);
            EXPECT_EQ(InstanceMapping, nullptr);
            EXPECT_EQ(PanelWindow, nullptr);
        } else {
            EXPECT_NE(SrmHandle, 0u);
            EXPECT_TRUE(UpdateButtonsOn());
            EXPECT_EQ(UpdateAllowed, 0);
            EXPECT_EQ(ReadAllowed, 0);
        }
        TearDown();
        SetUp();
    }
}

// The retry question is up when the printer's port changes: the port message
// comes at once, the quit after the write question has been answered and the
// update has settled its flags. The panel is to end: a retry sends nothing
// and is taken as Cancel, the changes kept for the quit to ask about.
TEST_F(ModalEventsTest, PortChangeWhileTheRetryQuestionIsUp) {
    struct Case {
        const char* label;
        int button;
        int retryAnswer;
        int quitAnswer;  // to "quit anyway?" (update then quit, given up)
        std::vector<UINT> texts;
        size_t logged;
        bool closes;
    } cases[] = {
        {"update, given up: the quit asks about the changes", IDC_UPDATE, IDCANCEL, IDNO,
         {IDS_RETRY_WRITE, IDS_PORT_CHANGED, IDS_SETTINGS_CHANGED}, 0, true},
        {"update, retried: as given up", IDC_UPDATE, IDRETRY, IDNO,
         {IDS_RETRY_WRITE, IDS_PORT_CHANGED, IDS_SETTINGS_CHANGED}, 0, true},
        {"update then quit, retried: as given up", IDC_UPDATEQUIT, IDRETRY, IDNO,
         {IDS_RETRY_WRITE, IDS_PORT_CHANGED, IDS_QUIT_UNFINISHED, IDS_SETTINGS_CHANGED}, 0, true},
        {"update then quit, given up, quit", IDC_UPDATEQUIT, IDCANCEL, IDYES,
         {IDS_RETRY_WRITE, IDS_PORT_CHANGED, IDS_QUIT_UNFINISHED}, 0, true},
        {"update then quit, given up, stay: the port's quit asks", IDC_UPDATEQUIT, IDCANCEL, IDNO,
         {IDS_RETRY_WRITE, IDS_PORT_CHANGED, IDS_QUIT_UNFINISHED, IDS_SETTINGS_CHANGED}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("MoRetryPort");
        ASSERT_TRUE(Open(printer));
        ChangeSetting();
        ASSERT_EQ(printer.Fail(c.button == IDC_UPDATE ? "SetReqPrinterStatusMsgA" : "SetPrinterStatusDirectA", 1), 0u);
        DuringBox during;
        script_.On(Text(IDS_RETRY_WRITE), [&](int) {
            printer.SetPort("LPT3:", "");
            EXPECT_TRUE(PumpUntil([&] { return script_.Count(Text(IDS_PORT_CHANGED)) == 1; }, kWaitMs));
            PumpPending();
            during = Look();
            return c.retryAnswer;
        });
        script_.Answer(Text(IDS_QUIT_UNFINISHED), {c.quitAnswer});

        Click(PanelWindow, c.button);
        ASSERT_TRUE(PumpUntil([] { return MainWindow == nullptr; }, kWaitMs));
        PumpPending();

        EXPECT_TRUE(during.panelAlive);
        EXPECT_TRUE(during.quitWaiting);
        std::vector<std::string> expected;
        for (UINT id : c.texts) expected.push_back(Text(id));
        EXPECT_EQ(script_.Texts(), expected);
        EXPECT_EQ(printer.Log().size(), c.logged);
        EXPECT_EQ(SrmHandle, 0u);
        EXPECT_EQ(InstanceMapping, nullptr);
        EXPECT_EQ(PanelQuitDeferred(), 0);
        TearDown();
        SetUp();
    }
}

// Another program asks the main window to close while the panel reports a
// failed write: the panel closes after the message, asking about the changes
// the failed write left.
TEST_F(ModalEventsTest, CloseRequestWhileTheWriteFailureIsShown) {
    struct Case {
        const char* label;
        int keepAnswer;
        bool closes;
    } cases[] = {
        {"changes dropped", IDOK, true},
        {"changes kept", IDCANCEL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("MoClose");
        ASSERT_TRUE(Open(printer));
        ASSERT_EQ(printer.SetWriteStatus(1), 0u);
        DuringBox during;
        script_.On(Text(IDS_WRITE_FAILED), [&](int) {
            SendMessageA(MainWindow, RPM_CLOSEPANEL, 0, 0);
            during = Look();
            return IDOK;
        });
        script_.Answer(Text(IDS_SETTINGS_CHANGED), {c.keepAnswer});
        ChangeSetting();
        PanelCommand(IDC_UPDATE);
        ASSERT_TRUE(PumpUntil([&] { return script_.boxes.size() == 2; }, kWaitMs));
        PumpPending();

        EXPECT_TRUE(during.panelAlive);
        EXPECT_TRUE(during.quitWaiting);
        EXPECT_EQ(script_.Texts(), (std::vector<std::string>{Text(IDS_WRITE_FAILED), Text(IDS_SETTINGS_CHANGED)}));
        EXPECT_EQ(MainWindow == nullptr, c.closes);
        if (!c.closes) {
            EXPECT_TRUE(UpdateButtonsOn()) << "the changes may still be written";
        }
        TearDown();
        SetUp();
    }
}

// The panel goes away while the retry question is up (here its frame is
// destroyed from outside): the answer Retry sends nothing more, and nothing
// after the box touches the panel.
TEST_F(ModalEventsTest, PanelGoneWhileTheRetryQuestionIsUp) {
    SimulatedPrinter& printer = AddPrinter("MoGone");
    ASSERT_TRUE(Open(printer));
    ASSERT_EQ(printer.Fail("SetPrinterStatusDirectA", 5), 0u);
    script_.On(Text(IDS_RETRY_WRITE), [](int) {
        DestroyWindow(MainWindow);
        return IDRETRY;
    });
    PanelCommand(IDC_UPDATEQUIT);
    PumpPending();

    EXPECT_EQ(script_.Texts(), (std::vector<std::string>{Text(IDS_RETRY_WRITE)})) << "no question about quitting";
    EXPECT_EQ(printer.FaultCount("SetPrinterStatusDirectA"), 4u) << "one attempt only";
    EXPECT_EQ(WritePending, 0);
    EXPECT_EQ(PanelWindow, nullptr);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_EQ(SrmHandle, 0u) << "the SRM handle went with the panel";
    for (DWORD id : Notifications) EXPECT_EQ(id, 0u);
}

// A read that failed is reported while a status change starts a new read:
// that read answers for itself, no second request and no "reading" message.
TEST_F(ModalEventsTest, ReadStartedWhileTheReadFailureIsShown) {
    SimulatedPrinter& printer = AddPrinter("MoRead");
    ASSERT_EQ(printer.SetReplyDelay(SrmReplyRead, 300), 0u);
    ASSERT_TRUE(Open(printer));
    ASSERT_EQ(printer.Fail("GetPrinterStatusA", 1), 0u);
    script_.On(Text(IDS_READ_FAILED), [&](int) {
        printer.SetStatus(1, 0, 0);  // a word the panel does not examine
        EXPECT_TRUE(PumpUntil([] { return ReadPending == 1; }, kWaitMs));
        return IDOK;
    });
    paneltest::PanelCommandRecorder requests;
    PanelCommand(CMD_READSETTINGS);
    ASSERT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
    PumpPending();

    EXPECT_EQ(script_.Texts(), (std::vector<std::string>{Text(IDS_READ_FAILED)}));
    EXPECT_EQ(std::count(requests.commands.begin(), requests.commands.end(), CMD_READSETTINGS), 2);
    EXPECT_EQ(ReadRetries, 3);
    EXPECT_TRUE(PagesOn());
}

// The printer turns busy while a failed read is reported, so the retry is
// refused; once it is ready again its read still has all three attempts.
TEST_F(ModalEventsTest, PrinterBusyWhileTheReadFailureIsShown) {
    SimulatedPrinter& printer = AddPrinter("MoBusy");
    ASSERT_EQ(printer.SetReplyDelay(SrmReplyRead, 200), 0u);
    ASSERT_TRUE(Open(printer));
    ASSERT_EQ(printer.Fail("GetPrinterStatusA", 1), 0u);
    script_.On(Text(IDS_READ_FAILED), [&](int occurrence) {
        if (occurrence == 1) {
            printer.SetStatus(0, 0x80, 0);
            EXPECT_TRUE(PumpUntil([] { return PrinterNotReady == 1; }, kWaitMs));
        }
        return IDOK;
    });
    PanelCommand(CMD_READSETTINGS);
    ASSERT_TRUE(PumpUntil([&] { return script_.Count(Text(IDS_BUSY_PRINTER)) == 1; }, kWaitMs));
    PumpPending();
    EXPECT_EQ(ReadPending, 0);
    EXPECT_EQ(ReadRetries, 3);
    EXPECT_FALSE(IsRecordLoaded());

    // Ready again: the read this starts fails twice and succeeds at its third attempt.
    paneltest::PanelCommandRecorder requests;
    printer.SetStatus(0, 0, 0);
    ASSERT_TRUE(PumpUntil([] { return ReadPending == 1; }, kWaitMs));
    ASSERT_EQ(printer.Fail("GetPrinterStatusA", 2), 0u);
    ASSERT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
    EXPECT_EQ(std::count(requests.commands.begin(), requests.commands.end(), CMD_READSETTINGS), 3);
    EXPECT_EQ(script_.Count(Text(IDS_READ_FAILED)), 3);
    EXPECT_TRUE(PagesOn());
}

// Selects the row of that printer in the selection dialog and presses OK.
void ChooseInSelection(HWND dialog, const std::string& name) {
    HWND list = GetDlgItem(dialog, IDC_PRINTERLIST);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char text[kTextSize] = "";
        LVITEMA item = {};
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

// The printer turns busy while the retry question is up: Retry is refused as
// an update is, nothing is written and the change stays pending.
TEST_F(ModalEventsTest, PrinterBusyWhileTheRetryQuestionIsUp) {
    SimulatedPrinter& printer = AddPrinter("MoRetryBusy");
    ASSERT_TRUE(Open(printer));
    ChangeSetting();
    ASSERT_EQ(printer.Fail("SetReqPrinterStatusMsgA", 1), 0u);
    script_.On(Text(IDS_RETRY_WRITE), [&](int) {
        printer.SetStatus(0, 0, 0x4);
        EXPECT_TRUE(PumpUntil([] { return PrinterNotReady != 0; }, kWaitMs));
        return IDRETRY;
    });
    PanelCommand(IDC_UPDATE);
    EXPECT_EQ(script_.Texts(), (std::vector<std::string>{Text(IDS_RETRY_WRITE), Text(IDS_BUSY_PRINTER)}));
    EXPECT_TRUE(printer.Log().empty());
    EXPECT_EQ(ChangesPending, 1);
    EXPECT_EQ(WritePending, 0);
}

// The served printer is deleted while a question of the panel is up (about a
// failed write, or about the changes at a quit), and the user chooses another
// one (the changes go with the first printer). The question about the first
// printer is closed as by Cancel, whatever is pressed on it: the command meant
// for the first printer is not sent to the second, nothing asks whether to
// quit for a write that belongs to no printer served, and the panel now
// serving the second printer does not quit.
TEST_F(ModalEventsTest, PrinterReplacedWhileAQuestionIsUp) {
    struct Case {
        const char* label;
        UINT command;
        UINT question;
        int answer;
    } cases[] = {
        {"retry question", IDC_UPDATEQUIT, IDS_RETRY_WRITE, IDRETRY},
        {"changes question at a quit", IDC_QUIT, IDS_SETTINGS_CHANGED, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        script_.Reset();
        SimulatedPrinter& first = AddPrinter("MoFirst");
        SimulatedPrinter& second = AddPrinter("MoSecond");
        ASSERT_TRUE(Open(first));
        ChangeSetting();
        ASSERT_EQ(first.Fail("SetPrinterStatusDirectA", 1), 0u);
        shelltest::DialogScript selection([&](HWND dialog) { ChooseInSelection(dialog, second.Name()); });
        script_.On(Text(c.question), [&](int occurrence) {
            if (occurrence > 1) return IDOK;  // the selection's question about the changes
            SrmSimRemovePrinter(first.CName());
            SendMessageA(MainWindow, RPM_PRINTERSCHANGED, 0, 0);
            return c.answer;
        });
        script_.Answer(Text(IDS_QUIT_UNFINISHED), {IDNO});

        PanelCommand(c.command);
        ASSERT_NE(MainWindow, nullptr);
        ASSERT_NE(CurrentPrinter, nullptr);
        EXPECT_EQ(std::string(CurrentPrinter->name), second.Name());
        ASSERT_TRUE(PumpUntil([] { return ReadPending == 0 && IsRecordLoaded(); }, kWaitMs));
        PumpPending();

        EXPECT_EQ(selection.captions.size(), 1u);
        EXPECT_TRUE(second.Log().empty()) << "nothing the user confirmed for the first printer";
        EXPECT_EQ(WritePending, 0);
        EXPECT_NE(SrmHandle, 0u);
        ASSERT_GE(script_.boxes.size(), 2u);
        EXPECT_EQ(script_.boxes.front().text, Text(c.question));
        EXPECT_EQ(script_.boxes.back().text, Text(IDS_SETTINGS_CHANGED));
        EXPECT_EQ(script_.Count(Text(IDS_QUIT_UNFINISHED)), 0);
        EXPECT_TRUE(ToolbarEnabled(CMD_READSETTINGS));
        CloseWindowQuietly();
        SrmSimRemovePrinter(second.CName());  // the next row's printers are the only ones
    }
}

}  // namespace

namespace {

// Real message boxes of this thread, read and answered from a thread timer
// that runs inside their modal loops. When the box with the trigger text comes
// up, the printer changes; that box is held open until the box the change
// causes has come and gone, then answered with OK. A box the panel is to close
// itself, or one held in vain, is answered with Cancel after a while: the
// test notes it and still ends.
class RealBoxes {
public:
    RealBoxes(std::string trigger, std::function<void()> change, bool answerTrigger)
        : trigger_(std::move(trigger)), change_(std::move(change)), answerTrigger_(answerTrigger) {
        active_ = this;
        SetMessageBoxHook(nullptr);
        timer_ = SetTimer(nullptr, 0, 20, &RealBoxes::Tick);
    }
    ~RealBoxes() {
        if (timer_) KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;

    std::vector<std::string> texts;  // in the order the boxes came up
    bool mainEnabledAtTriggerAnswer = false;
    bool triggerLeftOpen = false;  // the panel never closed a box it was to close

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM found) {
        if (IsWindowVisible(window) && shelltest::ClassOf(window) == "#32770" && GetDlgItem(window, 0xFFFF))
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        RealBoxes* self = active_;
        if (!self) return;
        std::vector<HWND> open;
        EnumThreadWindows(GetCurrentThreadId(), &RealBoxes::Collect, reinterpret_cast<LPARAM>(&open));
        for (HWND box : open) {
            if (std::find(self->seen_.begin(), self->seen_.end(), box) == self->seen_.end()) {
                self->seen_.push_back(box);
                self->texts.push_back(shelltest::WindowText(GetDlgItem(box, 0xFFFF)));
                if (self->texts.back() == self->trigger_ && !self->triggerBox_) {
                    self->triggerBox_ = box;
                    self->change_();
                }
            }
        }
        // The newest box still open is the one whose modal loop runs now.
        HWND top = nullptr;
        for (HWND box : self->seen_) {
            if (std::find(open.begin(), open.end(), box) != open.end()) top = box;
        }
        if (!top || top == self->answered_) return;
        WPARAM answer = IDOK;
        if (top == self->triggerBox_) {
            // Answered once the box the change causes has come and gone.
            if (!self->answerTrigger_ || self->texts.size() < 2) {
                if (++self->heldTicks_ < 100) return;
                self->triggerLeftOpen = true;
                answer = IDCANCEL;
            }
            self->mainEnabledAtTriggerAnswer = MainWindow && IsWindowEnabled(MainWindow);
        }
        self->answered_ = top;
        PostMessageA(top, WM_COMMAND, answer, 0);
    }

    std::string trigger_;
    std::function<void()> change_;
    bool answerTrigger_;
    int heldTicks_ = 0;
    UINT_PTR timer_ = 0;
    HWND triggerBox_ = nullptr;
    HWND answered_ = nullptr;
    std::vector<HWND> seen_;
    static inline RealBoxes* active_ = nullptr;
};

// A box of the panel is up (the port message, a question about a failed write
// or about the changes at a quit) when the printer changes under it. A panel
// that has said it ends closes the box itself and ends at once; a box about
// the change leaves the main window disabled behind the question still up.
TEST_F(ModalEventsTest, RealBoxesPrinterChangesWhileAQuestionIsUp) {
    struct Case {
        const char* label;
        UINT command;  // 0: the printer's port changes
        UINT question;
        bool portChange;  // else the printer loses every right
    } cases[] = {
        {"port message, no rights", 0, IDS_PORT_CHANGED, false},
        {"retry question, no rights", IDC_UPDATE, IDS_RETRY_WRITE, false},
        {"changes question, no rights", IDC_QUIT, IDS_SETTINGS_CHANGED, false},
        {"retry question, port changed", IDC_UPDATE, IDS_RETRY_WRITE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatedPrinter& printer = AddPrinter("MoQuestion");
        ASSERT_TRUE(Open(printer));
        ChangeSetting();
        ASSERT_EQ(printer.Fail("SetReqPrinterStatusMsgA", 1), 0u);
        {
            auto change = [&] { c.portChange ? printer.SetPort("LPT2:", "") : printer.SetAuthority(0); };
            RealBoxes boxes(Text(c.question), change, c.portChange);
            if (c.command)
                PostMessageA(PanelWindow, WM_COMMAND, c.command, 0);
            else
                ASSERT_EQ(printer.SetPort("COM2:", ""), 0u);
            ASSERT_TRUE(PumpUntil([] { return MainWindow == nullptr; }, 3 * kWaitMs)) << boxes.texts.size();
            EXPECT_FALSE(boxes.triggerLeftOpen);
            EXPECT_FALSE(boxes.mainEnabledAtTriggerAnswer);
            EXPECT_EQ(boxes.texts.at(1), c.portChange ? Text(IDS_PORT_CHANGED) : Unusable());
        }
        script_.Install();
        SrmSimRemovePrinter(printer.CName());  // the next row's printer is the only one
        EXPECT_EQ(PanelWindow, nullptr);
        EXPECT_EQ(SrmHandle, 0u);
        EXPECT_EQ(InstanceMapping, nullptr);
        EXPECT_EQ(PanelModalDepth(), 0);
        EXPECT_EQ(PanelQuitDeferred(), 0);
    }
}

// A quit that arrives while one of a page's own dialogs is up waits for the
// dialog; the page is gone afterwards and nothing touches it any more.
struct PageDialogVisit {
    int runs = 0;
    bool quitWaiting = false;
    bool panelAlive = false;
};
PageDialogVisit* pageDialogVisit = nullptr;

LRESULT CALLBACK QuitInsidePageDialog(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    PageDialogVisit* visit = pageDialogVisit;
    if (code == HC_ACTION && visit && visit->runs == 0 && call->message == WM_ENTERIDLE &&
        call->wParam == MSGF_DIALOGBOX) {
        visit->runs = 1;
        HWND dialog = reinterpret_cast<HWND>(call->lParam);
        SendMessageA(PanelWindow, WM_COMMAND, IDC_QUIT, reinterpret_cast<LPARAM>(GetDlgItem(PanelWindow, IDC_QUIT)));
        visit->quitWaiting = PanelQuitDeferred() != 0;
        visit->panelAlive = IsLivePanel(PanelWindow) != 0;
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ModalEventsTest, QuitWhileAPageDialogIsUp) {
    SimulatedPrinter& printer = AddPrinter("MoPageDialog");
    ASSERT_TRUE(Open(printer));
    HWND page = PageWindow(0);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PAPER_ADVANCED)));

    PageDialogVisit visit;
    pageDialogVisit = &visit;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, QuitInsidePageDialog, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Click(page, IDC_PAPER_ADVANCED);  // the dialog runs its own loop until the script's OK
    UnhookWindowsHookEx(hook);
    pageDialogVisit = nullptr;
    PumpPending();

    EXPECT_EQ(visit.runs, 1);
    EXPECT_TRUE(visit.quitWaiting) << "the quit waits for the page's dialog";
    EXPECT_TRUE(visit.panelAlive);
    EXPECT_EQ(PanelWindow, nullptr) << "the quit ran once the dialog had closed";
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_NE(ForegroundRoleWindow, page) << "no role for a page that is gone";
    EXPECT_EQ(SrmHandle, 0u);
    EXPECT_EQ(PanelModalDepth(), 0);
    EXPECT_EQ(PanelQuitDeferred(), 0);
}

}  // namespace

