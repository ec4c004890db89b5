// The password gate, the password dialog and the printer named on the command
// line, in a registry of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "resource.h"
#include "test_shell_support.h"
#include "text_pure.h"

using namespace shelltest;

namespace {

const char kWrongPassword[] = "パスワードが違います。";

enum class Stored { NoSuiteKey, NoValue, Empty, Secret, Unterminated };
enum class Answer { NotAsked, Right, Cancel, WrongThenRight, WrongThenCancel };

void Store(const ScratchMachine& machine, Stored stored, const std::string& password) {
    switch (stored) {
    case Stored::NoSuiteKey:
        break;
    case Stored::NoValue:
        machine.CreateKey(SUITE_KEY);
        break;
    case Stored::Empty:
        machine.SetPassword("");
        break;
    case Stored::Secret:
        machine.SetPassword(password);
        break;
    case Stored::Unterminated:
        machine.SetValue(SUITE_KEY, "Password", REG_SZ, password.data(), static_cast<DWORD>(password.size()));
        break;
    }
}

void Type(HWND dialog, const std::string& text) { SetDlgItemTextA(dialog, IDC_PASSWORD, text.c_str()); }

// Answers the password dialog; also checks that a wrong entry is refused in place.
DialogScript::Action Answering(Answer answer, const std::string& password, BoxRecorder* boxes) {
    return [answer, password, boxes](HWND dialog) {
        if (answer == Answer::WrongThenRight || answer == Answer::WrongThenCancel) {
            size_t before = boxes->boxes.size();
            Type(dialog, password + "?");
            Press(dialog, IDOK);
            EXPECT_TRUE(IsWindow(dialog));
            EXPECT_EQ(boxes->boxes.size(), before + 1);
            char left[16] = "x";
            GetDlgItemTextA(dialog, IDC_PASSWORD, left, sizeof left);
            EXPECT_STREQ(left, "");
        }
        if (answer == Answer::Right || answer == Answer::WrongThenRight) {
            Type(dialog, password);
            Press(dialog, IDOK);
        } else {
            Press(dialog, IDCANCEL);
        }
    };
}

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        ResetShellState();
    }
    void TearDown() override { ResetShellState(); }
};

struct GateCase {
    const char* label;
    Stored stored;
    const char* line;
    Answer answer;
    int granted;
    int restOffset;  // -1: null; -2: not looked at
};

const GateCase kGateCases[] = {
    {"no suite key: refused without a word", Stored::NoSuiteKey, "TK-1", Answer::NotAsked, 0, -2},
    {"no password value", Stored::NoValue, "TK-1", Answer::NotAsked, 1, 0},
    {"no password value, switch word consumed", Stored::NoValue, "/P:x TK-1", Answer::NotAsked, 1, 5},
    {"empty password", Stored::Empty, "/P:secret TK-1", Answer::NotAsked, 1, 10},
    {"right password on the line", Stored::Secret, "/P:secret TK-1", Answer::NotAsked, 1, 10},
    {"right password, lower-case switch", Stored::Secret, "/p:secret TK-1", Answer::NotAsked, 1, 10},
    {"right password only", Stored::Secret, "/P:secret", Answer::NotAsked, 1, -1},
    {"printer before the switch", Stored::Secret, "TK-1 /P:secret", Answer::NotAsked, 1, -1},
    {"password with one more character: asked", Stored::Secret, "/P:secretX TK-1", Answer::Right, 1, 11},
    {"no switch: asked", Stored::Secret, "TK-1", Answer::Right, 1, 0},
    {"no switch, dialog cancelled", Stored::Secret, "TK-1", Answer::Cancel, 0, 0},
    {"empty line: asked", Stored::Secret, "", Answer::Right, 1, -1},
    {"wrong password, then the right one typed", Stored::Secret, "/P:wrong TK-1", Answer::WrongThenRight, 1, 9},
    {"wrong password typed, then cancelled", Stored::Secret, "TK-1", Answer::WrongThenCancel, 0, 0},
    {"/p: is looked for first", Stored::Secret, "/P:secret /p:wrong TK-1", Answer::Cancel, 0, 19},
    {"stored password without terminator", Stored::Unterminated, "/P:secret TK-1", Answer::NotAsked, 1, 10},
};

TEST_F(PasswordTest, GateTable) {
    for (const GateCase& c : kGateCases) {
        ScratchMachine machine;
        ASSERT_TRUE(machine.Ok());
        Store(machine, c.stored, "secret");
        BoxRecorder boxes;
        DialogScript script(Answering(c.answer, "secret", &boxes));
        LPCSTR rest = "untouched";
        int granted = PasswordGate(c.line, &rest);

        EXPECT_EQ(granted, c.granted) << c.label;
        if (c.restOffset == -1) {
            EXPECT_EQ(rest, nullptr) << c.label;
        } else if (c.restOffset >= 0) {
            EXPECT_EQ(rest, c.line + c.restOffset) << c.label;
        }
        bool asked = c.answer != Answer::NotAsked;
        ASSERT_EQ(script.captions.size(), asked ? 1u : 0u) << c.label;
        if (asked) {
            EXPECT_EQ(script.captions[0], "パスワードの入力") << c.label;
        }
        EXPECT_EQ(script.timedOut, 0) << c.label;
        bool wrongTyped = c.answer == Answer::WrongThenRight || c.answer == Answer::WrongThenCancel;
        EXPECT_EQ(boxes.boxes.size(), wrongTyped ? 1u : 0u) << c.label;
    }
}

// A password too long for a fixed buffer is still a password: it is asked
// for, and it is accepted whole from the command line or the dialog.
TEST_F(PasswordTest, LongPasswordIsStillRequired) {
    ScratchMachine machine;
    ASSERT_TRUE(machine.Ok());
    const std::string password(300, 'k');
    ASSERT_TRUE(machine.SetPassword(password));
    struct Case {
        const char* label;
        std::string line;
        Answer answer;
        int granted;
    };
    const Case cases[] = {
        {"given on the line", "/P:" + password + " TK-1", Answer::NotAsked, 1},
        {"cut on the line", "/P:" + password.substr(0, 254) + " TK-1", Answer::Cancel, 0},
        {"not given: asked, cancelled", "TK-1", Answer::Cancel, 0},
        {"not given: asked, typed whole", "TK-1", Answer::Right, 1},
    };
    for (const Case& c : cases) {
        BoxRecorder boxes;
        DialogScript script(Answering(c.answer, password, &boxes));
        LPCSTR rest = nullptr;
        EXPECT_EQ(PasswordGate(c.line.c_str(), &rest), c.granted) << c.label;
        EXPECT_STREQ(rest, "TK-1") << c.label;
        EXPECT_EQ(script.captions.size(), c.answer == Answer::NotAsked ? 0u : 1u) << c.label;
    }
}

TEST_F(PasswordTest, DialogRefusesWrongAndEmptyEntriesInPlace) {
    BoxRecorder boxes;
    HWND seenDialog = nullptr;
    DialogScript script([&](HWND dialog) {
        seenDialog = dialog;
        HWND edit = GetDlgItem(dialog, IDC_PASSWORD);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD);
        char prompt[128] = {};
        HWND child = GetWindow(dialog, GW_CHILD);
        for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) == "Static") GetWindowTextA(child, prompt, sizeof prompt);
        }
        EXPECT_STREQ(prompt, "パスワードを入力してください。");

        const char* attempts[] = {"", "Secret", "secret ", "secre"};
        for (const char* attempt : attempts) {
            Type(dialog, attempt);
            Press(dialog, IDOK);
            EXPECT_TRUE(IsWindow(dialog)) << attempt;
        }
        Type(dialog, "secret");
        Press(dialog, IDOK);
    });
    EXPECT_EQ(RunPasswordDialog("secret"), 1);
    ASSERT_EQ(boxes.boxes.size(), 4u);
    for (const RecordedBox& box : boxes.boxes) {
        EXPECT_EQ(box.text, kWrongPassword);
        EXPECT_EQ(box.caption, Title());
        EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(box.owner, seenDialog);
    }
}

TEST_F(PasswordTest, DialogCancelGivesZero) {
    DialogScript script([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(RunPasswordDialog("secret"), 0);
    EXPECT_EQ(script.captions.size(), 1u);
}

// ---- The printer named on the command line ----

class ResolveTest : public PasswordTest {
protected:
    void SetUp() override {
        PasswordTest::SetUp();
        ASSERT_TRUE(machine_.Ok());
        ASSERT_TRUE(machine_.CreateKey(SUITE_KEY));
        PrinterList = MakeEntry("TK-1", "LPT1:", "Quarl Tilbury 550TK");
        PrinterList->next = MakeEntry("TK-2", "LPT2:", "Quarl Tilbury 550TK");
        PrinterCount = 2;
    }
    ScratchMachine machine_;
    BoxRecorder boxes_;
};

TEST_F(ResolveTest, PrinterOfTheCommandLine) {
    struct Case {
        const char* label;
        const char* line;
        int index;  // into PrinterList; -1: refused
    };
    const Case cases[] = {
        {"no printer named: the first", "", 0},
        {"first by name", "TK-1", 0},
        {"second by name", "TK-2", 1},
        {"second after the switch", "/P:any TK-2", 1},
        {"letter case counts", "tk-2", -1},
        {"trailing blank counts", "TK-2 ", -1},
        {"unknown printer", "TK-3", -1},
    };
    for (const Case& c : cases) {
        boxes_.boxes.clear();
        PrinterEntry* resolved = ResolveStartPrinter(c.line);
        if (c.index < 0) {
            EXPECT_EQ(resolved, nullptr) << c.label;
            EXPECT_EQ(boxes_.boxes.size(), 1u) << c.label;
        } else {
            EXPECT_EQ(resolved, c.index == 0 ? PrinterList : PrinterList->next) << c.label;
            EXPECT_TRUE(boxes_.boxes.empty()) << c.label;
        }
    }
}

TEST_F(ResolveTest, UnknownPrinterMessage) {
    EXPECT_EQ(ResolveStartPrinter("Nope"), nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "Nope " + Text(IDS_PRINTER_NOT_SERVED));
    EXPECT_EQ(boxes_.boxes[0].caption, Title() + " - Nope");
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(boxes_.boxes[0].owner, nullptr);
}

TEST_F(ResolveTest, TenThousandCharacterCommandLine) {
    std::string doubleByte;
    for (int i = 0; i < 5000; ++i) doubleByte += "ソ";  // 0x83 0x5C
    const std::string lines[] = {std::string(10000, 'n'), doubleByte, "x" + doubleByte};
    for (const std::string& line : lines) {
        boxes_.boxes.clear();
        EXPECT_EQ(ResolveStartPrinter(line.c_str()), nullptr);
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        const std::string& text = boxes_.boxes[0].text;
        const std::string& caption = boxes_.boxes[0].caption;
        const std::string reason = " " + Text(IDS_PRINTER_NOT_SERVED);
        EXPECT_LT(text.size(), static_cast<size_t>(kTextSize));
        EXPECT_LT(caption.size(), static_cast<size_t>(kTextSize));
        ASSERT_GT(text.size(), reason.size());
        EXPECT_EQ(text.substr(text.size() - reason.size()), reason);
        EXPECT_EQ(text.substr(0, 4), line.substr(0, 4));
        EXPECT_EQ(caption.substr(0, Title().size() + 3), Title() + " - ");
        EXPECT_EQ(CompleteTextLength(text.c_str(), text.size()), text.size());
        EXPECT_EQ(CompleteTextLength(caption.c_str(), caption.size()), caption.size());
    }
}

TEST_F(ResolveTest, EntryWithoutNameIsNeverMatched) {
    PrinterEntry* nameless = MakeEntry(nullptr, nullptr, nullptr);
    nameless->next = PrinterList;
    PrinterList = nameless;
    EXPECT_EQ(ResolveStartPrinter("TK-2"), PrinterList->next->next);
    EXPECT_EQ(ResolveStartPrinter("(null)"), nullptr);
    EXPECT_EQ(boxes_.boxes.size(), 1u);
}

TEST_F(ResolveTest, RefusedGateEndsWithoutMessage) {
    ASSERT_TRUE(machine_.SetPassword("secret"));
    DialogScript script([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(ResolveStartPrinter("TK-1"), nullptr);
    EXPECT_EQ(script.captions.size(), 1u);
    EXPECT_TRUE(boxes_.boxes.empty());
}

}  // namespace
