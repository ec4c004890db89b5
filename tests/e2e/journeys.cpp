// Journeys through the real program, driven from outside as a user goes:
// one table, one runner. Each change journey compares the command the printer
// received, byte for byte, with the factory command patched where the change
// must show.
#include <functional>

#include "e2e_support.h"

#include <commctrl.h>

namespace e2e {
namespace {

// ---- A change on a page or in one of its dialogs ----

enum class Act { Click, Choose, Type, Open, Ok, Cancel };
struct Action {
    Act act;
    int id = 0;
    int row = 0;
    const char* text = "";
};
Action ClickOn(int id) { return {Act::Click, id}; }
Action ChooseRow(int id, int row) { return {Act::Choose, id, row}; }
Action TypeInto(int id, const char* text) { return {Act::Type, id, 0, text}; }
Action OpenDialog(int button) { return {Act::Open, button}; }
const Action kOk = {Act::Ok, IDOK};
const Action kCancel = {Act::Cancel, IDCANCEL};

// Carries out the actions on the shown page, or in the dialog opened last.
void Perform(Program& program, const std::vector<Action>& actions) {
    HWND dialog = nullptr;
    for (const Action& action : actions) {
        SCOPED_TRACE("control " + std::to_string(action.id));
        HWND control = action.act == Act::Open || !dialog ? program.Control(action.id) : Child(dialog, action.id);
        ASSERT_NE(control, nullptr);
        switch (action.act) {
        case Act::Click: {
            const bool radio = (GetWindowLongA(control, GWL_STYLE) & 0x0F) == BS_AUTORADIOBUTTON;
            const bool before = Checked(control);
            Click(control);
            ASSERT_TRUE(WaitUntil([&] { return Checked(control) == (radio || !before); }));
            break;
        }
        case Act::Choose:
            Choose(control, action.row);
            ASSERT_TRUE(WaitUntil([&] { return Selected(control) == action.row; }));
            break;
        case Act::Type:
            Type(control, action.text);
            ASSERT_TRUE(WaitUntil([&] { return Text(control) == action.text; }));
            break;
        case Act::Open:
            Click(control);
            dialog = program.WaitDialog();
            ASSERT_NE(dialog, nullptr);
            break;
        case Act::Ok:
        case Act::Cancel:
            Click(control);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
            dialog = nullptr;
            break;
        }
    }
}

// Start, change, update: the printer receives exactly the change. Without
// patches the change must send nothing: the update buttons stay disabled and
// nothing reaches the printer.
std::function<void(Session&)> ChangeThenUpdate(int tab, std::vector<Action> actions, std::vector<Patch> patches) {
    return [=](Session& run) {
        Program& program = run.StartReady();
        ASSERT_TRUE(program.ShowTab(tab));
        Perform(program, actions);
        const bool sends = !patches.empty();
        if (!sends) {
            EXPECT_FALSE(program.UpdateEnabled());
        } else {
            ASSERT_TRUE(WaitUntil([&] { return program.UpdateEnabled(); }));
            Click(program.Control(kUpdate));
            ASSERT_TRUE(WaitUntil([&] { return run.LogLines().size() == 1; }));
            EXPECT_EQ(run.SrmctlLog(), std::vector<std::string>{Hex(ExpectedCommand(patches))});
            EXPECT_TRUE(WaitUntil([&] { return !program.UpdateEnabled() && program.Status() == ProgramText(kTextReady); }));
        }
        run.QuitCleanly();
        EXPECT_EQ(run.LogLines().size(), sends ? 1u : 0u);
    };
}

// ---- The other journeys ----

// The printer's own settings and identity come up as they are.
void StartAndRead(Session& run) {
    SimulatedPrinter& printer = run.AddPrinter();
    std::vector<uint8_t> block = printer.Block();
    ASSERT_EQ(block.size(), 260u);
    block[21] |= 0x80;  // postcard mode on
    ASSERT_EQ(printer.SetBlock(block.data()), 0u);
    Program& program = run.StartReady();
    EXPECT_EQ(Text(program.MainWindow()), ProgramText(kTextTitle) + " - " + printer.Name());
    // The model and the destination are written at the panel's painting.
    EXPECT_TRUE(WaitUntil([&] { return Text(program.Control(278)) == kSrmDefaultDriver; }));
    EXPECT_TRUE(WaitUntil([&] { return Text(program.Control(kPortText)) == "LPT1:"; }));
    EXPECT_TRUE(Checked(program.Control(kPostcard)));
    EXPECT_FALSE(program.UpdateEnabled());
    run.QuitCleanly();
    EXPECT_TRUE(run.LogLines().empty());
}

void UpdateThenQuit(Session& run) {
    Program& program = run.StartReady();
    run.ChangeSomething();
    Click(program.Control(kUpdateQuit));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(run.LogLines(), std::vector<std::string>{Hex(ExpectedCommand({{24, "1"}}))});
}

void ShowDefaultsThenUpdate(Session& run) {
    // The printer holds a page length of 50 lines; the defaults give 66 again.
    SimulatedPrinter& printer = run.AddPrinter();
    std::vector<uint8_t> block = printer.Block();
    ASSERT_EQ(block.size(), 260u);
    block[25] = 50;
    ASSERT_EQ(printer.SetBlock(block.data()), 0u);
    Program& program = run.StartReady();
    ASSERT_TRUE(program.ShowTab(1));
    ASSERT_EQ(Text(program.Control(1317)), "50");
    Command(program.MainWindow(), kShowDefaults);
    ASSERT_TRUE(WaitUntil([&] { return Text(program.Control(1317)) == "66" && program.UpdateEnabled(); }));
    Click(program.Control(kUpdate));
    ASSERT_TRUE(WaitUntil([&] { return run.LogLines().size() == 1; }));
    EXPECT_EQ(run.LogLines(), std::vector<std::string>{Hex(ExpectedCommand())});
    run.QuitCleanly();
}

// Two printers: the selection dialog comes up at the start and on Ctrl+C;
// with a change pending, question 67 is asked; Cancel keeps the dialog and
// the printer, OK serves the other printer and sends nothing anywhere.
void ChangePrinterWithChangesPending(Session& run) {
    SimulatedPrinter& first = run.AddPrinter();
    SimulatedPrinter& second = run.AddPrinter();
    Program& program = run.Start();
    ASSERT_TRUE(ChoosePrinter(program, first.Name()));
    ASSERT_TRUE(program.WaitReady());
    const std::string title = ProgramText(kTextTitle);
    EXPECT_EQ(Text(program.MainWindow()), title + " - " + first.Name());
    run.ChangeSomething();

    for (int answer : {IDCANCEL, IDOK}) {
        Command(program.MainWindow(), kChangePrinter);
        ASSERT_TRUE(ChoosePrinter(program, second.Name()));
        const Box question = program.WaitBox();
        EXPECT_EQ(question.text, ProgramText(kTextQuestionChanged));
        EXPECT_EQ(question.caption, title + " - " + first.Name());
        ASSERT_TRUE(program.Answer(question, answer));
        if (answer == IDCANCEL) {
            HWND dialog = program.WaitDialog();
            ASSERT_NE(dialog, nullptr);  // still open
            Click(Child(dialog, 1051));
            ASSERT_TRUE(WaitUntil([&] { return !program.DialogOpen(); }));
            EXPECT_TRUE(program.UpdateEnabled());
            EXPECT_EQ(Text(program.MainWindow()), title + " - " + first.Name());
        }
    }
    // The caption names the printer served; only then does "ready" speak of it.
    EXPECT_TRUE(WaitUntil([&] { return Text(program.MainWindow()) == title + " - " + second.Name(); }));
    ASSERT_TRUE(program.WaitReady());
    EXPECT_FALSE(program.UpdateEnabled());
    EXPECT_TRUE(first.Log().empty());
    EXPECT_TRUE(second.Log().empty());
    run.QuitCleanly();
}

// A printer named in Japanese (beginning with a character whose second byte
// is 0x5C) is served when the command line names it.
void JapaneseNameOnTheCommandLine(Session& run) {
    SimulatedPrinter& printer = run.AddPrinter("表ソ経理");
    Program& program = run.Start(printer.Name());
    EXPECT_TRUE(WaitUntil([&] { return Text(program.MainWindow()) == ProgramText(kTextTitle) + " - " + printer.Name(); }));
    EXPECT_TRUE(program.WaitReady());
    EXPECT_FALSE(program.BoxOpen());
    run.QuitCleanly();
}

// A second start for the same printer brings the first panel forward (from
// behind a window of this test) and ends silently with exit code 1: the
// panel as it is, with its about box open, or minimised (then restored).
enum class FirstPanel { AsItIs, AboutBoxOpen, Minimised };

std::function<void(Session&)> SecondStart(FirstPanel state) {
    return [state](Session& run) {
        Program& first = run.StartReady();
        HWND main = first.MainWindow();
        HWND about = nullptr;
        if (state == FirstPanel::AboutBoxOpen) {
            PostMessageA(main, WM_SYSCOMMAND, 0xE000, 0);
            about = first.WaitDialog();
            ASSERT_NE(about, nullptr);
        }
        if (state == FirstPanel::Minimised) {
            ShowWindowAsync(main, SW_MINIMIZE);
            ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
        }
        HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(other, nullptr);
        std::unique_ptr<HWND__, decltype(&DestroyWindow)> otherOwner(other, &DestroyWindow);
        SetForegroundWindow(other);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }));

        Program& second = run.StartAnother(run.Printer().Name());
        EXPECT_EQ(second.ExitCode(), 1u);
        EXPECT_FALSE(second.BoxOpen());
        EXPECT_TRUE(first.Running());
        EXPECT_TRUE(WaitUntil([&] {
            HWND foreground = GetForegroundWindow();
            return about ? foreground == about : foreground == main && !IsIconic(main);
        }));
        if (about) {
            Click(GetDlgItem(about, IDOK));
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
        }
        run.QuitCleanly();
    };
}

// The suite's password: a wrong one is refused with the dialog kept, the
// right one opens the panel.
void PasswordWrongThenRight(Session& run) {
    run.AddPrinter();
    run.SetPassword("himitsu");
    Program& program = run.Start();
    const struct {
        const char* typed;
        bool right;
    } attempts[] = {{"himitsu2", false}, {"himitsu", true}};
    for (const auto& attempt : attempts) {
        HWND dialog = program.WaitDialog("パスワードの入力");
        ASSERT_NE(dialog, nullptr);
        HWND edit = Child(dialog, 1105);
        Type(edit, attempt.typed);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) == lstrlenA(attempt.typed); }));
        Click(Child(dialog, IDOK));
        if (attempt.right) break;
        const Box wrong = program.WaitBox();
        EXPECT_EQ(wrong.text, "パスワードが違います。");
        EXPECT_EQ(wrong.caption, ProgramText(kTextTitle));
        ASSERT_TRUE(program.Answer(wrong, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) == 0; }));
    }
    EXPECT_TRUE(program.WaitReady());
    run.QuitCleanly();
}

// Status, rights, name and port changing under an open panel.
void PrinterChangesUnderThePanel(Session& run) {
    Program& program = run.StartReady();
    SimulatedPrinter& printer = run.Printer();
    ASSERT_EQ(printer.SetAuthority(0x08), 0u);
    EXPECT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextReadOnly); }));
    ASSERT_EQ(printer.SetStatus(0, 0x80, 0), 0u);
    EXPECT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextBusy); }));
    ASSERT_EQ(printer.SetStatus(0, 0, 0), 0u);
    ASSERT_EQ(printer.SetAuthority(0x18), 0u);
    EXPECT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextReady); }));
    const std::string renamed = printer.Name() + "-new";
    ASSERT_EQ(printer.SetReportedName(renamed), 0u);
    EXPECT_TRUE(WaitUntil([&] { return Text(program.MainWindow()) == ProgramText(kTextTitle) + " - " + renamed; }));
    ASSERT_EQ(printer.SetPort("LPT2:", ""), 0u);
    const Box port = program.WaitBox();
    EXPECT_EQ(port.text, ProgramText(kTextPortChanged));
    EXPECT_EQ(port.caption, ProgramText(kTextTitle) + " - " + renamed);
    program.Answer(port, IDOK);
    EXPECT_EQ(program.ExitCode(), 0u);
}

// Rights taken away with one printer: the reason, then the panel ends.
void RightsTakenAway(Session& run) {
    Program& program = run.StartReady();
    ASSERT_EQ(run.Printer().SetAuthority(0), 0u);
    const Box box = program.WaitBox();
    EXPECT_EQ(box.text, Lines({kTextNoRights, kTextPanelEnds}));
    program.Answer(box, IDOK);
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(run.LogLines().empty());
}

// The write is refused and its Retry question is up when the rights go: the
// panel is to end, closes the question itself and sends nothing.
void RetryAfterThePanelDecidedToEnd(Session& run) {
    Program& program = run.StartReady();
    run.ChangeSomething();
    ASSERT_EQ(run.Printer().Fail("SetReqPrinterStatusMsgA", kSrmFailAlways), 0u);
    Click(program.Control(kUpdate));
    const Box retry = program.WaitBox();
    ASSERT_EQ(retry.text, ProgramText(kTextRetryWrite));
    ASSERT_EQ(run.Printer().Fail("SetReqPrinterStatusMsgA", kSrmFailOff), 0u);
    ASSERT_EQ(run.Printer().SetAuthority(0), 0u);
    ASSERT_TRUE(WaitUntil([&] { return program.WaitBox().text == Lines({kTextNoRights, kTextPanelEnds}); }));
    const Box ends = program.WaitBox();
    ASSERT_TRUE(program.Answer(ends, IDOK));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(run.LogLines().empty());
}

// A change made while the printer is busy is pending: quit and read ask
// before dropping it, and the update buttons are on only while the printer is ready.
void ChangeWhileBusy(Session& run) {
    Program& program = run.StartReady();
    ASSERT_EQ(run.Printer().SetStatus(0, 0, 0x4), 0u);
    ASSERT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextBusy); }));
    Click(program.Control(kPostcard));
    ASSERT_TRUE(WaitUntil([&] { return Checked(program.Control(kPostcard)) && !program.UpdateEnabled(); }));
    for (bool ready : {false, true, false}) {
        ASSERT_EQ(run.Printer().SetStatus(0, 0, ready ? 0 : 0x4), 0u);
        EXPECT_TRUE(WaitUntil([&] { return program.UpdateEnabled() == ready; }));
        ready ? Command(program.MainWindow(), kRead) : Click(program.Control(kQuit));
        const Box question = program.WaitBox();
        EXPECT_EQ(question.text, ProgramText(kTextQuestionChanged));
        ASSERT_TRUE(program.Answer(question, IDCANCEL));
    }
    EXPECT_TRUE(Checked(program.Control(kPostcard)));
    run.QuitCleanly();
    EXPECT_TRUE(run.LogLines().empty());
}

// Two printers; the served one goes away and comes back by these steps: the
// pages, the labels and the change pending come back with it.
using Steps = std::vector<std::vector<std::string>>;  // srmctl set NAME ITEM VALUE
std::function<void(Session&)> PrinterComesBack(Steps steps, UINT status) {
    return [=](Session& run) {
        SimulatedPrinter& first = run.AddPrinter();
        run.AddPrinter();
        Program& program = run.Start();
        ASSERT_TRUE(ChoosePrinter(program, first.Name()));
        ASSERT_TRUE(program.WaitReady());
        auto set = [&](const std::vector<std::string>& step) {
            return RunSrmctl({"set", first.Name(), step[0], step[1]}).exitCode;
        };
        run.ChangeSomething();
        // Each step seen by the panel before the next: gone, then back.
        const std::string unusable = ProgramText(kTextUnusable);
        for (size_t i = 0; i + 1 < steps.size(); ++i) {
            ASSERT_EQ(set(steps[i]), 0u);
            ASSERT_TRUE(WaitUntil([&] {
                return program.Status().find(unusable) != std::string::npos && !Enabled(program.Control(kPostcard)) &&
                       !program.UpdateEnabled();
            })) << program.Status();
        }
        ASSERT_EQ(set(steps.back()), 0u);
        EXPECT_TRUE(WaitUntil([&] {
            return program.Status() == ProgramText(status) && Enabled(program.Control(kPostcard)) &&
                   Enabled(program.Control(kPortText)) && program.UpdateEnabled();
        })) << program.Status();
        EXPECT_TRUE(Checked(program.Control(kPostcard)));
        run.QuitCleanly();
        EXPECT_TRUE(run.LogLines().empty());
    };
}

// A dialog of a page is open when the printer goes: deleted (two printers,
// the other one chosen) or without rights (one printer, the panel ends). The
// dialog closes as by Cancel, and nothing edited in it reaches any printer.
std::function<void(Session&)> PrinterGoesUnderADialog(bool deleted) {
    return [deleted](Session& run) {
        SimulatedPrinter& first = run.AddPrinter();
        if (deleted) run.AddPrinter();
        Program& program = run.Start();
        if (deleted) {
            ASSERT_TRUE(ChoosePrinter(program, first.Name()));
        }
        ASSERT_TRUE(program.WaitReady());
        Click(program.Control(1166));
        HWND dialog = program.WaitDialog();
        ASSERT_NE(dialog, nullptr);
        Choose(Child(dialog, 1308), 5);
        if (!deleted) {
            ASSERT_EQ(first.SetAuthority(0), 0u);
            ASSERT_TRUE(program.Answer(program.WaitBox(), IDOK));
            EXPECT_EQ(program.ExitCode(), 0u);
            return;
        }
        SrmSimRemovePrinter(first.CName());
        PostMessageA(program.MainWindow(), kPrintersChanged, 0, 0);
        ASSERT_TRUE(program.Answer(program.WaitBox(), IDOK));
        ASSERT_TRUE(ChoosePrinter(program, run.Printer(1).Name()));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        ASSERT_TRUE(program.WaitReady());
        EXPECT_FALSE(program.UpdateEnabled());
        run.QuitCleanly();
        EXPECT_TRUE(run.Printer(1).Log().empty());
    };
}

// Panel B asks to serve the printer that panel A serves: B says so and brings
// A forward, and stays on its own printer as it was, its change kept.
void ChangeToAPrinterServedElsewhere(Session& run) {
    SimulatedPrinter& first = run.AddPrinter();
    SimulatedPrinter& second = run.AddPrinter();
    Program& a = run.Start();
    ASSERT_TRUE(ChoosePrinter(a, first.Name()));
    ASSERT_TRUE(a.WaitReady());
    Program& b = run.StartAnother();
    ASSERT_TRUE(ChoosePrinter(b, second.Name()));
    ASSERT_TRUE(b.WaitReady());
    Click(b.Control(kPostcard));
    ASSERT_TRUE(WaitUntil([&] { return b.UpdateEnabled(); }));
    Command(b.MainWindow(), kChangePrinter);
    ASSERT_TRUE(ChoosePrinter(b, first.Name()));
    const Box held = b.WaitBox();
    EXPECT_EQ(held.text, ProgramText(kTextAlreadyRunning));
    EXPECT_EQ(held.caption, ProgramText(kTextTitle) + " - " + first.Name());
    ASSERT_TRUE(b.Answer(held, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == a.MainWindow(); }));
    EXPECT_EQ(Text(b.MainWindow()), ProgramText(kTextTitle) + " - " + second.Name());
    EXPECT_TRUE(b.UpdateEnabled());
    EXPECT_EQ(b.Status(), ProgramText(kTextReady));
    Click(b.Control(kUpdate));
    EXPECT_TRUE(WaitUntil([&] { return second.Log().size() == 1; }));
    EXPECT_TRUE(first.Log().empty());
    run.QuitCleanly();
}

// The keyboard alone: arrows on the tab strip keep the focus there, Tab goes
// into the page and Shift+Tab back, Ctrl+Tab and Ctrl+Shift+Tab go to the
// next and previous page with the focus in it, a mnemonic ticks a box, Esc asks before
// discarding it and Enter (the default button) updates and quits.
void KeyboardPath(Session& run) {
    Program& program = run.StartReady();
    ASSERT_TRUE(program.Foreground());
    HWND tabs = program.Tabs();
    for (int i = 0; i < 12 && program.Focus() != tabs; ++i) {
        HWND before = program.Focus();
        PressKey(VK_TAB);
        WaitUntil([&] { return program.Focus() != before; }, 1000);
    }
    ASSERT_EQ(program.Focus(), tabs);
    for (int tab = 1; tab < 6; ++tab) {
        PressKey(VK_RIGHT);
        ASSERT_TRUE(WaitUntil([&] { return program.Tab() == tab; })) << tab;
        EXPECT_EQ(program.Focus(), tabs) << "tab " << tab;
    }
    for (int tab = 4; tab >= 0; --tab) {
        PressKey(VK_LEFT);
        ASSERT_TRUE(WaitUntil([&] { return program.Tab() == tab; })) << tab;
    }
    const auto focusIn = [&](int tab, int control) {
        return WaitUntil([&] {
            HWND page = program.Control(control) ? GetParent(program.Control(control)) : nullptr;
            return program.Tab() == tab && IsChild(page, program.Focus());
        });
    };
    PressKey(VK_TAB);
    ASSERT_TRUE(focusIn(0, 1159));
    PressKey(VK_TAB, {VK_CONTROL});
    ASSERT_TRUE(focusIn(1, 1134));
    PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(focusIn(0, 1159));
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == tabs; }));

    HWND postcard = program.Control(kPostcard);
    PressKey('P', {VK_MENU});
    ASSERT_TRUE(WaitUntil([&] { return Checked(postcard) && program.UpdateEnabled(); }));
    PressKey(VK_ESCAPE);
    const Box question = program.WaitBox();
    EXPECT_EQ(question.text, ProgramText(kTextQuestionChanged));
    PressKey(VK_ESCAPE);  // Cancel: the panel stays
    ASSERT_TRUE(WaitUntil([&] { return !program.BoxOpen(); }));
    EXPECT_TRUE(program.Running());
    ASSERT_TRUE(program.Foreground());
    PressKey(VK_RETURN);
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(run.LogLines(), std::vector<std::string>{Hex(ExpectedCommand({{24, "1"}}))});
}

// ---- Keys, questions and endings while the printer changes under the panel ----

// Ctrl+R in カット紙, the read never answered: Esc, or Enter on quit (which has
// the focus now), quits; Ctrl+I changes nothing.
std::function<void(Session&)> KeysWhileReading(bool showDefaultsKey, WORD quitKey = VK_ESCAPE) {
    return [=](Session& run) {
        Program& program = run.StartReady();
        ASSERT_EQ(run.Printer().SetReplyDelay(SrmReplyRead, kSrmReplyNever), 0u);
        ASSERT_TRUE(program.Foreground());
        PressKey('T', {VK_MENU});
        ASSERT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(kCutSheet); }));
        PressKey('R', {VK_CONTROL});
        ASSERT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextReading); }));
        if (showDefaultsKey) PressKey('I', {VK_CONTROL});
        PressKey(quitKey);
        EXPECT_EQ(program.ExitCode(), 0u);  // no question: nothing changed
    };
}
// Question 67 of Ctrl+R is up as the read becomes impossible: OK keeps the change.
std::function<void(Session&)> ReadConfirmedTooLate(std::vector<std::string> set, bool busy) {
    return [=](Session& run) {
        Program& program = run.StartReady();
        run.ChangeSomething();
        ASSERT_TRUE(program.Foreground());
        PressKey('R', {VK_CONTROL});
        const Box question = program.WaitBox();
        std::vector<std::string> command = set;
        command.insert(command.begin() + 1, run.Printer().Name());
        ASSERT_EQ(RunSrmctl(command).exitCode, 0u);
        ASSERT_TRUE(WaitUntil([&] { return program.Status() != ProgramText(kTextReady); }));
        ASSERT_TRUE(program.Answer(question, IDOK));
        if (busy) {
            EXPECT_TRUE(program.Answer(program.WaitBox(), IDOK));  // the printer is busy
        }
        Click(program.Control(kQuit));
        EXPECT_EQ(program.WaitBox().text, ProgramText(kTextQuestionChanged)) << "the change is kept";
        run.QuitCleanly();
    };
}
// Printers go while choosing: all gone, OK in the box ends the panel; one of
// three gone, Cancel (dialog, question) keeps it with update off, change on.
std::function<void(Session&)> PrintersGoWhileChoosing(int printers, int removed) {
    return [=](Session& run) {
        for (int i = 0; i < printers; ++i) run.AddPrinter();
        Program& program = run.Start();
        ASSERT_TRUE(ChoosePrinter(program, run.Printer(0).Name()));
        ASSERT_TRUE(program.WaitReady());
        run.ChangeSomething();
        Command(program.MainWindow(), kChangePrinter);
        HWND dialog = program.WaitDialog();
        for (int i = 0; i < removed; ++i) SrmSimRemovePrinter(run.Printer(i).CName());
        PostMessageA(program.MainWindow(), kPrintersChanged, 0, 0);
        const Box box = program.WaitBox();
        EXPECT_EQ(program.Status(), ProgramText(kTextRemoved));
        EXPECT_FALSE(program.UpdateEnabled());
        ASSERT_TRUE(program.Answer(box, IDOK));
        if (removed == printers) {
            EXPECT_EQ(program.ExitCode(), 0u);
            return;
        }
        Click(Child(dialog, 1051));
        ASSERT_TRUE(program.Answer(program.WaitBox(), IDCANCEL));
        EXPECT_FALSE(program.UpdateEnabled());
        HWND toolbar = FindWindowExA(program.MainWindow(), nullptr, "ToolbarWindow32", nullptr);
        EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, kChangePrinter, 0));
        run.QuitCleanly();
    };
}
// One printer whose rights flicker while the "ends" box is up: one box only.
void RightsFlickerWithOnePrinter(Session& run) {
    Program& program = run.StartReady();
    run.ChangeSomething();
    ASSERT_EQ(run.Printer().SetAuthority(0), 0u);
    const Box ends = program.WaitBox();
    EXPECT_FALSE(program.UpdateEnabled());
    for (DWORD authority : {0x18u, 0u, 0x18u, 0u}) ASSERT_EQ(run.Printer().SetAuthority(authority), 0u);
    EXPECT_FALSE(WaitUntil([&] { return program.BoxCount() > 1; }, 2000));
    ASSERT_TRUE(program.Answer(ends, IDOK));
    EXPECT_EQ(program.ExitCode(), 0u);
}
// The busy printer served is renamed: choosing it again changes nothing, and a
// second start under the name the spooler lists is refused.
std::function<void(Session&)> ServedPrinterRenamed(bool inSpooler) {
    return [=](Session& run) {
        SimulatedPrinter& printer = run.AddPrinter();
        run.AddPrinter();
        Program& program = run.Start();
        ASSERT_TRUE(ChoosePrinter(program, printer.Name()));
        ASSERT_TRUE(program.WaitReady());
        ASSERT_EQ(printer.SetStatus(0, 0, 0x4), 0u);
        const std::string renamed = printer.Name() + "-new", caption = ProgramText(kTextTitle) + " - " + renamed;
        std::vector<std::string> rename = {"set", printer.Name(), "name", renamed};
        if (inSpooler) rename.push_back("--spooler");
        ASSERT_EQ(RunSrmctl(rename).exitCode, 0u);
        ASSERT_TRUE(WaitUntil([&] { return Text(program.MainWindow()) == caption; }));
        ASSERT_TRUE(program.ShowTab(1));
        Choose(program.Control(kFormatFrontFeed), 3);
        Command(program.MainWindow(), kChangePrinter);
        ASSERT_TRUE(ChoosePrinter(program, renamed));
        ASSERT_TRUE(WaitUntil([&] { return !program.DialogOpen() || program.BoxOpen(); }));
        EXPECT_FALSE(program.BoxOpen());
        EXPECT_EQ(Text(program.MainWindow()), caption);
        EXPECT_EQ(Selected(program.Control(kFormatFrontFeed)), 3);
        Program& another = run.StartAnother();
        ASSERT_TRUE(ChoosePrinter(another, inSpooler ? renamed : printer.Name()));
        if (!inSpooler) another.Answer(another.WaitBox(), IDOK);  // "already running"
        EXPECT_EQ(another.ExitCode(), 1u);
        run.QuitCleanly();
    };
}
// A change to a busy printer shows the defaults, not the former printer's 50,
// and the focus goes to quit (the pages are disabled).
void ChangeToABusyPrinter(Session& run) {
    SimulatedPrinter& first = run.AddPrinter("E2E-A");
    std::vector<uint8_t> block = first.Block();
    block.at(25) = 50;
    ASSERT_EQ(first.SetBlock(block.data()), 0u);
    ASSERT_EQ(run.AddPrinter("E2E-B").SetStatus(0, 0, 0x4), 0u);
    Program& program = run.Start();
    ASSERT_TRUE(ChoosePrinter(program, first.Name()));
    ASSERT_TRUE(program.WaitReady() && program.ShowTab(1) && program.Foreground());
    PressKey('C', {VK_CONTROL});
    ASSERT_NE(program.WaitDialog(), nullptr);
    for (WORD key : {VK_END, VK_RETURN}) PressKey(key);  // the busy printer's row is the last
    ASSERT_TRUE(WaitUntil([&] { return program.Status() == ProgramText(kTextBusy); }));
    EXPECT_TRUE(WaitUntil([&] { return program.Focus() == program.Control(kQuit); }));
    ASSERT_TRUE(program.ShowTab(1));
    EXPECT_EQ(Text(program.Control(1317)), "66");
    run.QuitCleanly();
}

// Two printers, the panel on the first with its settings shown and in front.
bool StartOnTheFirstOfTwo(Session& run) {
    for (int i = 0; i < 2; ++i) run.AddPrinter();
    Program& program = run.Start();
    return ChoosePrinter(program, run.Printer(0).Name()) && program.WaitReady() && program.Foreground();
}

// Question 67 is up (Ctrl+C, then the other printer; or Ctrl+R) when both
// printers go and the suite tells the question's window: the panel ends.
std::function<void(Session&)> PrintersGoUnderTheQuestion(char key) {
    return [=](Session& run) {
        ASSERT_TRUE(StartOnTheFirstOfTwo(run));
        Program& program = run.program();
        run.ChangeSomething();
        PressKey(key, {VK_CONTROL});
        ASSERT_TRUE(key != 'C' || ChoosePrinter(program, run.Printer(1).Name()));
        const Box question = program.WaitBox();
        for (int i = 0; i < 2; ++i) SrmSimRemovePrinter(run.Printer(i).CName());
        PostMessageA(question.window, kPrintersChanged, 0, 0);
        Box ends;
        ASSERT_TRUE(WaitUntil([&] { return (ends = program.WaitBox()).window != question.window; }));
        ASSERT_TRUE(program.Answer(ends, IDOK));
        EXPECT_EQ(program.ExitCode(), 0u);
    };
}

// カット紙 edited, then a box (question 67 of Ctrl+R, or the Retry of a refused
// write) is up while the rights go; once they are back, so is the focus.
std::function<void(Session&)> FocusBackAfterABox(bool retry) {
    return [=](Session& run) {
        ASSERT_TRUE(StartOnTheFirstOfTwo(run));
        Program& program = run.program();
        PressKey('T', {VK_MENU});
        HWND cut = program.Control(kCutSheet);
        ASSERT_TRUE(WaitUntil([&] { return program.Focus() == cut; }));
        for (char digit : {'3', '5'}) PressKey(digit);
        ASSERT_TRUE(WaitUntil([&] { return program.UpdateEnabled(); }));
        ASSERT_EQ(run.Printer().Fail("SetReqPrinterStatusMsgA", retry), 0u);
        PressKey(retry ? 'A' : 'R', {retry ? WORD(VK_MENU) : WORD(VK_CONTROL)});
        const Box box = program.WaitBox();
        ASSERT_EQ(run.Printer().SetAuthority(retry ? 0x08 : 0), 0u);
        ASSERT_TRUE(WaitUntil([&] { return program.Status() != ProgramText(kTextReady); }));
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }) && run.Printer().SetAuthority(0x18) == 0);
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == cut; }));
        run.QuitCleanly();
    };
}

// Context-help mode, as a click on ? starts it, ends by Esc or Alt+F4: the ?
// button comes up again.
std::function<void(Session&)> HelpModeEndsByKey(bool altF4) {
    return [=](Session& run) {
        Program& program = run.StartReady();
        HWND toolbar = FindWindowExA(program.MainWindow(), nullptr, "ToolbarWindow32", nullptr);
        SendMessageA(toolbar, TB_CHECKBUTTON, kHelpMode, TRUE);
        Command(program.MainWindow(), kHelpMode);
        ASSERT_TRUE(WaitUntil([&] { return FindWindowA("TransWndClassName", nullptr) != nullptr; }));
        altF4 ? PressKey(VK_F4, {VK_MENU}) : PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] {
            return !FindWindowA("TransWndClassName", nullptr) && !SendMessageA(toolbar, TB_ISBUTTONCHECKED, kHelpMode, 0);
        }));
        run.QuitCleanly();
    };
}

// srmctl renames in any mix, in the SRM only or in the spooler too, and
// remove takes the spooler entry under its name now: none is left behind.
void RenamesInAnyMixThenRemove(Session& run) {
    const std::string name = run.AddPrinter().Name();
    const std::vector<std::string> steps[] = {{"set", name, "name", name + "2"},
                                              {"set", name, "name", name + "3", "--spooler"},
                                              {"set", name, "name", name + "9"},
                                              {"remove", name}};
    for (const std::vector<std::string>& step : steps) EXPECT_EQ(RunSrmctl(step).exitCode, 0u) << step.back();
    run.AddPrinter();  // expects no other served printer in the spooler
}

// ---- The table and its runner ----

struct Journey {
    const char* name;
    std::function<void(Session&)> walk;
};

const Journey kJourneys[] = {
    {"StartAndRead", StartAndRead},
    {"PaperPage", ChangeThenUpdate(0, {TypeInto(1323, "50")}, {{28, "50"}})},
    {"FormatPage", ChangeThenUpdate(1, {ChooseRow(1332, 8)}, {{49, "120"}})},
    {"FontPage", ChangeThenUpdate(2, {ClickOn(1181)}, {{60, "1"}})},
    {"PrintPage", ChangeThenUpdate(3, {ClickOn(1195)}, {{22, "1"}})},
    {"EnvironmentPage", ChangeThenUpdate(4, {ClickOn(1209)}, {{14, "\x02"}})},
    {"OtherPage", ChangeThenUpdate(5, {ClickOn(1229)}, {{8, "\x02"}})},
    {"PaperAdvancedDialog", ChangeThenUpdate(0, {OpenDialog(1166), ChooseRow(1308, 5), kOk}, {{64, "05"}})},
    {"FormatSettingsDialog",
     ChangeThenUpdate(1, {ChooseRow(1134, 2), OpenDialog(1142), TypeInto(1167, "10"), kOk}, {{73, "2"}, {108, "010"}})},
    {"FontAdvancedDialog", ChangeThenUpdate(2, {OpenDialog(1191), ChooseRow(1300, 1), kOk}, {{4, "\x02"}})},
    {"DosEnvironmentDialog", ChangeThenUpdate(3, {OpenDialog(1197), ClickOn(1261), kOk}, {{8, "\x01"}})},
    {"PrintAdvancedDialog", ChangeThenUpdate(3, {OpenDialog(1198), ChooseRow(1311, 0), kOk}, {{67, "03"}})},
    {"EnvironmentAdvancedDialog", ChangeThenUpdate(4, {OpenDialog(1213), ClickOn(1287), kOk}, {{8, "\x04"}})},
    {"DialogCancelledSendsNothing", ChangeThenUpdate(0, {OpenDialog(1166), ChooseRow(1308, 5), kCancel}, {})},
    {"UpdateThenQuit", UpdateThenQuit},
    {"ShowDefaultsThenUpdate", ShowDefaultsThenUpdate},
    {"ChangePrinterWithChangesPending", ChangePrinterWithChangesPending},
    {"JapaneseNameOnTheCommandLine", JapaneseNameOnTheCommandLine},
    {"SecondStartBringsTheFirstForward", SecondStart(FirstPanel::AsItIs)},
    {"SecondStartBringsTheAboutBoxForward", SecondStart(FirstPanel::AboutBoxOpen)},
    {"SecondStartRestoresTheMinimisedPanel", SecondStart(FirstPanel::Minimised)},
    {"PasswordWrongThenRight", PasswordWrongThenRight},
    {"PrinterChangesUnderThePanel", PrinterChangesUnderThePanel},
    {"RightsTakenAway", RightsTakenAway},
    {"RetryAfterThePanelDecidedToEnd", RetryAfterThePanelDecidedToEnd},
    {"ChangeWhileBusy", ChangeWhileBusy},
    {"RightsComeBack", PrinterComesBack({{"authority", "0"}, {"authority", "0x18"}}, kTextReady)},
    {"LinkComesBack", PrinterComesBack({{"ext-status", "2"}, {"ext-status", "3"}}, kTextReady)},
    {"UpdateRightComesBack",
     PrinterComesBack({{"authority", "0"}, {"ext-status", "1"}, {"authority", "0x10"}}, kTextUpdateOnly)},
    {"PrinterDeletedUnderADialog", PrinterGoesUnderADialog(true)},
    {"RightsGoneUnderADialog", PrinterGoesUnderADialog(false)},
    {"ChangeToAPrinterServedElsewhere", ChangeToAPrinterServedElsewhere},
    {"KeyboardPath", KeyboardPath},
    {"EscWhileReading", KeysWhileReading(false)},
    {"ShowDefaultsKeyWhileReading", KeysWhileReading(true)},
    {"EnterOnQuitWhileReading", KeysWhileReading(false, VK_RETURN)},
    {"ReadConfirmedAfterReadingStopped", ReadConfirmedTooLate({"set", "ext-status", "1"}, false)},
    {"ReadConfirmedAfterThePrinterGotBusy", ReadConfirmedTooLate({"set", "status", "0", "0", "0x5"}, true)},
    {"AllPrintersGoWhileChoosing", PrintersGoWhileChoosing(2, 2)},
    {"ServedPrinterGoesWhileChoosing", PrintersGoWhileChoosing(3, 1)},
    {"RightsFlickerWithOnePrinter", RightsFlickerWithOnePrinter},
    {"ServedPrinterRenamedForTheSuite", ServedPrinterRenamed(false)},
    {"ServedPrinterRenamedInTheSpooler", ServedPrinterRenamed(true)},
    {"ChangeToABusyPrinter", ChangeToABusyPrinter},
    {"PrintersGoUnderTheQuestionOfAChange", PrintersGoUnderTheQuestion('C')},
    {"PrintersGoUnderTheQuestionOfARead", PrintersGoUnderTheQuestion('R')},
    {"FocusBackAfterTheQuestionOfARead", FocusBackAfterABox(false)},
    {"FocusBackAfterTheRetryOfAWrite", FocusBackAfterABox(true)},
    {"HelpModeEndsByEsc", HelpModeEndsByKey(false)},
    {"HelpModeEndsByAltF4", HelpModeEndsByKey(true)},
    {"SrmctlRenamesInAnyMixThenRemoves", RenamesInAnyMixThenRemove},
};

void PrintTo(const Journey& journey, std::ostream* out) { *out << journey.name; }

class Journeys : public ::testing::TestWithParam<Journey> {};

TEST_P(Journeys, Walk) {
    Session run;
    GetParam().walk(run);
}

INSTANTIATE_TEST_SUITE_P(E2E, Journeys, ::testing::ValuesIn(kJourneys),
                         [](const ::testing::TestParamInfo<Journey>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
