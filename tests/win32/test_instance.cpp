// One panel per printer: the named mapping, the search for the other panel's
// windows, and second starts from another process (this test program run
// again as a child, see the DISABLED_ tests at the end).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "resource.h"
#include "support_srm.h"
#include "test_shell_support.h"
#include "text_pure.h"

using namespace shelltest;

namespace {

std::string Caption(const std::string& printer) { return Title() + " - " + printer; }

// A window of the other panel's main-window class that records RPM_BRINGTOFRONT.
class OtherMainWindow {
public:
    explicit OtherMainWindow(const std::string& caption) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &OtherMainWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "RPWndClass";
        RegisterClassA(&windowClass);  // fails harmlessly when registered already
        window_ = CreateWindowExA(0, "RPWndClass", caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        broughtToFront_ = 0;
    }
    ~OtherMainWindow() { DestroyWindow(window_); }
    OtherMainWindow(const OtherMainWindow&) = delete;
    OtherMainWindow& operator=(const OtherMainWindow&) = delete;
    HWND Window() const { return window_; }
    int BroughtToFront() const { return broughtToFront_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == RPM_BRINGTOFRONT) {
            broughtToFront_ += 1;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_;
    static inline int broughtToFront_ = 0;
};

// A dialog window (system dialog class) with the given caption.
class CaptionedDialog {
public:
    explicit CaptionedDialog(const std::string& caption) {
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PASSWORD), nullptr,
                                     &CaptionedDialog::Procedure, 0);
        SetWindowTextA(dialog_, caption.c_str());
    }
    ~CaptionedDialog() { DestroyWindow(dialog_); }
    CaptionedDialog(const CaptionedDialog&) = delete;
    CaptionedDialog& operator=(const CaptionedDialog&) = delete;
    HWND Window() const { return dialog_; }

private:
    static INT_PTR CALLBACK Procedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
    HWND dialog_;
};

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        ResetShellState();
        ASSERT_TRUE(lock_.Held());
    }
    void TearDown() override { ResetShellState(); }

    BareTitleLock lock_;
    BoxRecorder boxes_;
};

TEST_F(InstanceTest, SecondClaimOfTheSamePrinterFailsUntilTheFirstEnds) {
    const std::string name = UniquePrinterName("Claim");
    HANDLE first = ClaimPrinter(name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(MappingExists("QUARLRP_" + name));
    EXPECT_TRUE(boxes_.boxes.empty());

    EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_ALREADY_RUNNING));
    EXPECT_EQ(boxes_.boxes[0].caption, Caption(name));
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes_.boxes[0].owner, nullptr);

    HANDLE other = ClaimPrinter((name + "-other").c_str());
    EXPECT_NE(other, nullptr);

    CloseHandle(first);
    EXPECT_FALSE(MappingExists("QUARLRP_" + name));
    HANDLE again = ClaimPrinter(name.c_str());
    EXPECT_NE(again, nullptr);
    ReleaseClaim(again);
    ReleaseClaim(other);
}

TEST_F(InstanceTest, ObjectNames) {
    const std::string tag = std::to_string(GetCurrentProcessId());
    struct Case {
        std::string printer;
        std::string object;
    };
    const Case cases[] = {
        {"\\\\host\\lp-" + tag, "QUARLRP_,,host,lp-" + tag},
        {"ソ\\x-" + tag, "QUARLRP_ソ,x-" + tag},  // "ソ" ends in the byte 0x5C
        {"Name with blanks " + tag, "QUARLRP_Name with blanks " + tag},
        {tag + std::string(251 - tag.size(), 'n'), "QUARLRP_" + tag + std::string(251 - tag.size(), 'n')},
    };
    for (const Case& c : cases) {
        HANDLE claim = ClaimPrinter(c.printer.c_str());
        ASSERT_NE(claim, nullptr) << c.printer;
        EXPECT_TRUE(MappingExists(c.object)) << c.printer;
        ReleaseClaim(claim);
    }
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(InstanceTest, NamesTooLongForAnObjectAreRefusedWithMessage71) {
    std::string doubleByte;
    for (int i = 0; i < 500; ++i) doubleByte += "ソ";
    const std::string names[] = {std::string(252, 'n'), std::string(1000, 'n'), doubleByte};
    for (const std::string& name : names) {
        boxes_.boxes.clear();
        EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_MAPPING_FAILED));
        EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_OK));
        const std::string& caption = boxes_.boxes[0].caption;
        EXPECT_LT(caption.size(), static_cast<size_t>(kTextSize));
        EXPECT_EQ(caption.substr(0, Title().size() + 3), Title() + " - ");
        EXPECT_EQ(CompleteTextLength(caption.c_str(), caption.size()), caption.size());
    }
    boxes_.boxes.clear();
    EXPECT_EQ(ClaimPrinter(nullptr), nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_MAPPING_FAILED));
}

TEST_F(InstanceTest, OtherPanelsMainWindowIsBroughtForward) {
    const std::string name = UniquePrinterName("Front");
    ScopedClaim held(ClaimPrinter(name.c_str()));
    ASSERT_NE(held.get(), nullptr);
    OtherMainWindow other(Caption(name));
    ASSERT_NE(other.Window(), nullptr);

    EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
    EXPECT_EQ(other.BroughtToFront(), 1);
    EXPECT_TRUE(boxes_.boxes.empty());

    // Minimised, it is restored instead.
    ShowWindow(other.Window(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(other.Window()));
    EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
    EXPECT_FALSE(IsIconic(other.Window()));
    EXPECT_EQ(other.BroughtToFront(), 1);
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_TRUE(MappingExists("QUARLRP_" + name));  // the claim stays with its holder
}

TEST_F(InstanceTest, DialogsComeBeforeTheMainWindow) {
    const std::string name = UniquePrinterName("Dialogs");
    ScopedClaim held(ClaimPrinter(name.c_str()));
    ASSERT_NE(held.get(), nullptr);
    OtherMainWindow other(Caption(name));
    {
        CaptionedDialog box(Caption(name));  // for example a message box of that panel
        EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
        EXPECT_EQ(other.BroughtToFront(), 0);
    }
    {
        // Any dialog with the bare title, whichever printer it belongs to.
        CaptionedDialog box(Title());
        EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
        EXPECT_EQ(other.BroughtToFront(), 0);
    }
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(ClaimPrinter(name.c_str()), nullptr);
    EXPECT_EQ(other.BroughtToFront(), 1);
}

// ---- From another process ----

struct ChildCase {
    const char* label;
    std::string held;     // claimed here first
    std::string claimed;  // claimed by the child
    bool free;
    bool otherSession = false;  // held as a panel in another logon session shows here: the pipe alone
};

TEST_F(InstanceTest, SecondProcess) {
    const std::string tag = std::to_string(GetCurrentProcessId());
    const ChildCase cases[] = {
        {"same printer", "Proc-" + tag, "Proc-" + tag, false},
        {"another printer", "Proc-" + tag, "Proc2-" + tag, true},
        {"same network printer", "\\\\host\\q" + tag, "\\\\host\\q" + tag, false},
        {"another network printer", "\\\\host\\q" + tag, "\\\\host2\\q" + tag, true},
        {"0x5C trail byte", "ソ" + tag, "ソ" + tag, false},
        {"held in another session", "Sess-" + tag, "Sess-" + tag, false, true},
        {"another printer held in another session", "Sess-" + tag, "Sess2-" + tag, true, true},
    };
    for (const ChildCase& c : cases) {
        ScopedClaim held(c.otherSession ? nullptr : ClaimPrinter(c.held.c_str()));
        ScopedHandle pipe(c.otherSession ? OtherSessionsClaim(c.held) : nullptr);
        ASSERT_TRUE(held.get() || (pipe.get() && pipe.get() != INVALID_HANDLE_VALUE)) << c.label;
        ChildRun run = RunChildTest("InstanceChild.DISABLED_Claim",
                                    {{"RP_SHELL_PRINTER", ToHex(c.claimed)}, {"RP_SHELL_EXPECT", c.free ? "free" : "held"}});
        EXPECT_EQ(run.exitCode, 0u) << c.label << "\n" << run.output;
        EXPECT_NE(run.output.find("[  PASSED  ] 1 test"), std::string::npos) << c.label << "\n" << run.output;
    }
}

// A second start of the whole program for a printer this process serves ends
// without a claim and brings this "panel" forward; a start for a printer
// nobody serves claims it.
TEST_F(InstanceTest, SecondStartForTheSamePrinter) {
    const std::string name = UniquePrinterName("Start");
    ScopedClaim held(ClaimPrinter(name.c_str()));
    ASSERT_NE(held.get(), nullptr);
    OtherMainWindow panel(Caption(name));

    ChildRun second = RunChildTest("InstanceChild.DISABLED_Start", {{"RP_SHELL_PRINTER", ToHex(name)}, {"RP_SHELL_EXPECT", "held"}});
    EXPECT_EQ(second.exitCode, 0u) << second.output;
    EXPECT_NE(second.output.find("[  PASSED  ] 1 test"), std::string::npos) << second.output;
    EXPECT_EQ(panel.BroughtToFront(), 1);

    ChildRun first = RunChildTest("InstanceChild.DISABLED_Start",
                                  {{"RP_SHELL_PRINTER", ToHex(name + "-free")}, {"RP_SHELL_EXPECT", "free"}});
    EXPECT_EQ(first.exitCode, 0u) << first.output;
    EXPECT_NE(first.output.find("[  PASSED  ] 1 test"), std::string::npos) << first.output;
    EXPECT_EQ(panel.BroughtToFront(), 1);
}

// ---- The child's side (run only by the tests above) ----

TEST(InstanceChild, DISABLED_Claim) {
    SetAppInstance(GetModuleHandleA(nullptr));
    const std::string printer = FromHex(Environment("RP_SHELL_PRINTER"));
    const bool expectFree = Environment("RP_SHELL_EXPECT") == "free";
    ASSERT_FALSE(printer.empty());
    BoxRecorder boxes;
    HANDLE claim = ClaimPrinter(printer.c_str());
    if (expectFree) {
        EXPECT_NE(claim, nullptr);
        EXPECT_TRUE(boxes.boxes.empty());
    } else {
        EXPECT_EQ(claim, nullptr);
        ASSERT_EQ(boxes.boxes.size(), 1u);  // the holder shows no window: it is told
        EXPECT_EQ(boxes.boxes[0].text, Text(IDS_ALREADY_RUNNING));
        EXPECT_EQ(boxes.boxes[0].caption, Caption(printer));
    }
    if (claim) ReleaseClaim(claim);
}

TEST(InstanceChild, DISABLED_Start) {
    const std::string printer = FromHex(Environment("RP_SHELL_PRINTER"));
    const bool expectFree = Environment("RP_SHELL_EXPECT") == "free";
    ASSERT_FALSE(printer.empty());
    ScratchMachine machine;  // exactly one printer of the model
    ASSERT_TRUE(machine.Ok());
    ASSERT_TRUE(machine.CreateModelKeys({Text(IDS_MODEL_NAME)}));
    ASSERT_TRUE(machine.CreateKey(SUITE_KEY));
    ASSERT_TRUE(machine.AddSpoolerPrinter(printer, ServedDriver()));
    BoxRecorder boxes;
    DialogScript noDialog([](HWND dialog) { Press(dialog, IDCANCEL); });

    int refused = SettlePrinter(GetModuleHandleA(nullptr), "");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(noDialog.captions.empty());
    if (expectFree) {
        EXPECT_EQ(refused, 0);
        EXPECT_NE(InstanceMapping, nullptr);
        ASSERT_NE(CurrentPrinter, nullptr);
        EXPECT_STREQ(CurrentPrinter->name, printer.c_str());
    } else {
        EXPECT_EQ(refused, 1);
        EXPECT_EQ(InstanceMapping, nullptr);
        EXPECT_EQ(PrinterList, nullptr);
    }
    CleanUpAfterLoop(nullptr);
}

}  // namespace
