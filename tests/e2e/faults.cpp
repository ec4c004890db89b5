// The fault matrix from outside: each of the nine SRM functions failing at
// the moments the program calls it, and replies that come late, never, or
// after the panel has closed. Per row: the boxes the user sees (and how the
// user answers them), whether the program ends (and with which exit code) or
// stays, and how many commands reached the printer: one only where the user
// confirmed a complete update.
#include "e2e_support.h"

namespace e2e {
namespace {

// When the fault is set, and what the user (or the printer) does then.
enum class Moment {
    Start,            // before the program starts: discovery and opening
    StartThenClose,   // before the start; 終了(&X) while the settings are being read
    Read,             // Ctrl+R on a shown printer
    Update,           // a change, then 更新(&A)
    UpdateThenQuit,   // a change, then 更新後終了(&S)
    UpdateThenClose,  // a change, 更新(&A), and at once 終了(&X)
    Quit,             // 終了(&X)
    ExtStatusChange,  // the printer's items change under the open panel
    StatusChange,
    AuthorityChange,
    Rename,
    ChangePrinter,    // two printers: Ctrl+C, and the second one chosen
};

struct Answered {
    std::vector<UINT> lines;  // the box's text: these strings, one a line
    int answer;
};

constexpr DWORD kAlways = kSrmFailAlways;
constexpr int kAny = -1;
// The program stays. (A failure while the main window is being created ends
// the start with exit code 1; once the program runs, it ends with 0.)
constexpr int kStays = -1;

struct Fault {
    const char* name;
    const char* function;  // null: no function fails
    DWORD count;
    Moment moment;
    std::vector<Answered> boxes;
    int exits;               // the program's exit code, or kStays
    size_t logged;           // commands the printer received
    UINT status = kTextReady;  // the status text shown afterwards while the program stays
    int updateEnabled = kAny;  // the update buttons afterwards while it stays
    SrmReplyKind reply = SrmReplyRead;
    DWORD replyDelay = 0;      // 0: at once
    bool portUnknown = false;  // the destination shows "不明"
    bool twoPrinters = false;  // a second printer: the user chooses the first, and failures let the panel stay
    size_t target = 0;         // the printer whose function fails (1: the second)
    bool keepsFirst = false;   // changing printer fails: the first one is still served afterwards
};

const Fault kFaults[] = {
    // Opening a handle: discovery's own attempt only costs the destination; the panel's ends it.
    {"OpenAtDiscovery", "OpenManagerExA", 1, Moment::Start, {}, kStays, 0, kTextReady, 0, SrmReplyRead, 0, true},
    {"OpenAtOpening", "OpenManagerExA", kAlways, Moment::Start, {{{kTextSrmNotOpened, kTextPanelEnds}, IDOK}}, 1, 0},
    // Closing fails unnoticed, at discovery and at the end.
    {"CloseAtDiscovery", "CloseManager", 1, Moment::Start, {}, kStays, 0},
    {"CloseAtQuit", "CloseManager", kAlways, Moment::Quit, {}, 0, 0},
    // Status items.
    {"StatusAtDiscovery", "GetPrinterStatusA", 1, Moment::Start, {}, kStays, 0, kTextReady, 0, SrmReplyRead, 0, true},
    {"StatusAtOpening", "GetPrinterStatusA", 2, Moment::Start, {{{kTextExtStatusFailed, kTextPanelEnds}, IDOK}}, 1, 0},
    {"ExtStatusChanged", "GetPrinterStatusA", 1, Moment::ExtStatusChange,
     {{{kTextExtStatusFailed, kTextPanelEnds}, IDOK}}, 0, 0},
    {"StatusChanged", "GetPrinterStatusA", 1, Moment::StatusChange, {{{kTextStatusFailed, kTextPanelEnds}, IDOK}}, 0, 0},
    {"AuthorityChanged", "GetPrinterStatusA", 1, Moment::AuthorityChange,
     {{{kTextAuthorityFailed, kTextPanelEnds}, IDOK}}, 0, 0},
    {"NameChanged", "GetPrinterStatusA", 1, Moment::Rename, {{{kTextNameFailed, kTextPanelEnds}, IDOK}}, 0, 0},
    {"BlockOnceAtRead", "GetPrinterStatusA", 1, Moment::Read, {{{kTextReadFailed}, IDOK}}, kStays, 0},
    {"BlockAlwaysAtRead", "GetPrinterStatusA", kAlways, Moment::Read,
     {{{kTextReadFailed}, IDOK}, {{kTextReadFailed}, IDOK}, {{kTextReadFailed}, IDOK}}, kStays, 0},
    {"PreReadAtUpdate", "GetPrinterStatusA", 1, Moment::Update, {}, kStays, 1, kTextReady, 0},
    // The read request refused: no reply will come.
    {"ReadRequestAtOpening", "GetReqPrinterStatusMsgA", 1, Moment::Start, {{{kTextReadFailed}, IDOK}}, kStays, 0},
    {"ReadRequestAtRead", "GetReqPrinterStatusMsgA", 1, Moment::Read, {{{kTextReadFailed}, IDOK}}, kStays, 0},
    // Writes: the user decides, and only a confirmed write reaches the printer.
    {"DirectWriteRetried", "SetPrinterStatusDirectA", 1, Moment::UpdateThenQuit, {{{kTextRetryWrite}, IDRETRY}}, 0, 1},
    {"DirectWriteGivenUpQuit", "SetPrinterStatusDirectA", kAlways, Moment::UpdateThenQuit,
     {{{kTextRetryWrite}, IDCANCEL}, {{kTextQuitUnfinished}, IDYES}}, 0, 0},
    {"DirectWriteGivenUpStay", "SetPrinterStatusDirectA", kAlways, Moment::UpdateThenQuit,
     {{{kTextRetryWrite}, IDCANCEL}, {{kTextQuitUnfinished}, IDNO}}, kStays, 0, kTextReady, 1},
    {"WriteRequestRetried", "SetReqPrinterStatusMsgA", 1, Moment::Update, {{{kTextRetryWrite}, IDRETRY}}, kStays, 1,
     kTextReady, 0},
    {"WriteRequestCancelled", "SetReqPrinterStatusMsgA", 1, Moment::Update, {{{kTextRetryWrite}, IDCANCEL}}, kStays, 0,
     kTextReady, 1},
    {"WriteResult", "ResSetPrinterStatus", 1, Moment::Update, {{{kTextWriteFailed}, IDOK}}, kStays, 1, kTextReady, 1},
    // Notifications.
    {"NotifyAtOpening", "SetNotificationMsgA", 1, Moment::Start, {{{kTextNotifyFailed, kTextPanelEnds}, IDOK}}, 1, 0},
    {"KillAtQuit", "KillNotificationMsg", kAlways, Moment::Quit, {}, 0, 0},
    // Replies late, never, or after the panel closed.
    {"ReadReplyLate", nullptr, 0, Moment::Start, {}, kStays, 0, kTextReady, 0, SrmReplyRead, 1500},
    {"ReadReplyNever", nullptr, 0, Moment::Start, {}, kStays, 0, kTextReading, 0, SrmReplyRead, kSrmReplyNever},
    {"WriteReplyLate", nullptr, 0, Moment::Update, {}, kStays, 1, kTextReady, 0, SrmReplyWrite, 1500},
    {"WriteReplyNever", nullptr, 0, Moment::Update, {}, kStays, 1, kTextWriting, 0, SrmReplyWrite, kSrmReplyNever},
    {"WriteReplyAfterClose", nullptr, 0, Moment::UpdateThenClose, {}, 0, 1, kTextReady, kAny, SrmReplyWrite, 1500},
    {"ReadReplyAfterClose", nullptr, 0, Moment::StartThenClose, {}, 0, 0, kTextReady, kAny, SrmReplyRead, 1500},
    // With two printers the panel stays after the reason, for the user to change printer.
    {"OpenAtOpeningTwoPrinters", "OpenManagerExA", kAlways, Moment::Start, {{{kTextSrmNotOpened}, IDOK}}, kStays, 0,
     kTextUnusable, 0, SrmReplyRead, 0, true, true},
    // Changing printer: the new printer cannot be opened (the first one stays served) or read; the old one lets go
    // unnoticed.
    {"OpenAtChangePrinter", "OpenManagerExA", kAlways, Moment::ChangePrinter, {{{kTextSrmNotOpened}, IDOK}}, kStays, 0,
     kTextReady, 0, SrmReplyRead, 0, false, true, 1, true},
    {"StatusAtChangePrinter", "GetPrinterStatusA", kAlways, Moment::ChangePrinter, {{{kTextExtStatusFailed}, IDOK}},
     kStays, 0, kTextUnusable, 0, SrmReplyRead, 0, true, true, 1},
    {"KillAtChangePrinter", "KillNotificationMsg", kAlways, Moment::ChangePrinter, {}, kStays, 0, kTextReady, 0,
     SrmReplyRead, 0, false, true, 0},
    {"CloseAtChangePrinter", "CloseManager", kAlways, Moment::ChangePrinter, {}, kStays, 0, kTextReady, 0, SrmReplyRead,
     0, false, true, 0},
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

class Faults : public ::testing::TestWithParam<Fault> {};

TEST_P(Faults, Matrix) {
    const Fault& fault = GetParam();
    Session session;
    SimulatedPrinter& printer = session.AddPrinter();
    if (fault.twoPrinters) session.AddPrinter();
    SimulatedPrinter& faulty = session.Printer(fault.target);
    // The printer served when the boxes come: their captions name it.
    SimulatedPrinter& served = session.Printer(fault.moment == Moment::ChangePrinter ? 1 : 0);
    auto inject = [&] {
        if (fault.function) {
            ASSERT_EQ(faulty.Fail(fault.function, fault.count), 0u);
        }
        if (fault.replyDelay) {
            ASSERT_EQ(faulty.SetReplyDelay(fault.reply, fault.replyDelay), 0u);
        }
    };

    const bool atStart = fault.moment == Moment::Start || fault.moment == Moment::StartThenClose;
    if (atStart) inject();
    Program& program = session.Start();
    if (fault.twoPrinters) {
        ASSERT_TRUE(ChoosePrinter(program, printer.Name()));
    }
    if (fault.moment == Moment::StartThenClose) {
        ASSERT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextReading); }));
        Click(program.Control(kQuit));
    }
    if (!atStart) {
        ASSERT_TRUE(program.WaitReady());
        const bool update = fault.moment == Moment::Update || fault.moment == Moment::UpdateThenQuit ||
                            fault.moment == Moment::UpdateThenClose;
        if (update) session.ChangeSomething();
        inject();
        switch (fault.moment) {
        case Moment::Read: Command(program.MainWindow(), kRead); break;
        case Moment::Update: Click(program.Control(kUpdate)); break;
        case Moment::UpdateThenQuit: Click(program.Control(kUpdateQuit)); break;
        case Moment::UpdateThenClose:
            Click(program.Control(kUpdate));
            ASSERT_TRUE(WaitUntil([&] { return session.LogLines().size() == 1; }));
            Click(program.Control(kQuit));
            break;
        case Moment::Quit: Click(program.Control(kQuit)); break;
        case Moment::ExtStatusChange: ASSERT_EQ(printer.SetExtStatus(7), 0u); break;
        case Moment::StatusChange: ASSERT_EQ(printer.SetStatus(1, 0, 0), 0u); break;
        case Moment::AuthorityChange: ASSERT_EQ(printer.SetAuthority(0x38), 0u); break;
        case Moment::Rename: ASSERT_EQ(printer.SetReportedName(printer.Name() + "-r"), 0u); break;
        case Moment::ChangePrinter:
            Command(program.MainWindow(), kChangePrinter);
            ASSERT_TRUE(ChoosePrinter(program, served.Name()));
            break;
        case Moment::Start:
        case Moment::StartThenClose: break;
        }
    }

    // A late reply shows the waiting text first.
    if (fault.replyDelay == 1500) {
        const std::string waiting = ProgramText(fault.reply == SrmReplyRead ? kTextReading : kTextWriting);
        if (fault.moment != Moment::UpdateThenClose && fault.moment != Moment::StartThenClose) {
            EXPECT_TRUE(WaitUntil([&] { return program.Status() == waiting; }));
        }
    }
    for (const Answered& expected : fault.boxes) {
        const Box box = program.WaitBox();
        ASSERT_NE(box.window, nullptr) << "no box: " << Lines(expected.lines);
        EXPECT_EQ(box.text, Lines(expected.lines));
        EXPECT_EQ(box.caption, ProgramText(kTextTitle) + " - " + served.Name());
        ASSERT_TRUE(program.Answer(box, expected.answer));
    }

    if (fault.exits != kStays) {
        EXPECT_EQ(program.ExitCode(), static_cast<DWORD>(fault.exits));
    } else {
        EXPECT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(fault.status); }))
            << "status: " << program.Status();
        if (fault.updateEnabled != kAny) {
            EXPECT_TRUE(WaitUntil([&] { return program.UpdateEnabled() == (fault.updateEnabled == 1); }));
        }
        // The caption, model and destination follow at the next painting.
        const std::string shown = (fault.keepsFirst ? printer : served).Name();
        EXPECT_TRUE(WaitUntil([&] { return Text(program.MainWindow()) == ProgramText(kTextTitle) + " - " + shown; }));
        if (fault.portUnknown) {
            EXPECT_TRUE(WaitUntil([&] { return Text(program.Control(kPortText)) == ProgramText(kTextUnknown); }))
                << Text(program.Control(kPortText));
        }
        EXPECT_FALSE(program.BoxOpen());
        EXPECT_TRUE(program.Running());
        if (fault.function) faulty.Fail(fault.function, kSrmFailOff);
        session.QuitCleanly();
    }
    EXPECT_EQ(session.LogLines().size(), fault.logged);
}

INSTANTIATE_TEST_SUITE_P(E2E, Faults, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
