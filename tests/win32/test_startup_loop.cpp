// The message loop: accelerator table 132 for the main window, the panel and
// its current page as dialogs (focus moves with Tab), the exit code from
// WM_QUIT and the clean-up afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "test_shell_support.h"

using namespace shelltest;

namespace {

TEST(AcceleratorTable, CtrlKeysGiveTheThreeCommands) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    ACCEL entries[8] = {};
    int count = CopyAcceleratorTableA(table, entries, 8);
    struct Expected {
        WORD key;
        WORD command;
    };
    const Expected expected[] = {{'C', CMD_CHANGEPRINTER}, {'I', CMD_SHOWDEFAULTS}, {'R', CMD_READSETTINGS}};
    ASSERT_EQ(count, 3);
    for (const Expected& e : expected) {
        bool found = false;
        for (int i = 0; i < count; ++i) {
            if (entries[i].key != e.key) continue;
            found = true;
            EXPECT_EQ(entries[i].cmd, e.command) << static_cast<char>(e.key);
            EXPECT_EQ(entries[i].fVirt & ~0x80, FVIRTKEY | FCONTROL) << static_cast<char>(e.key);
        }
        EXPECT_TRUE(found) << static_cast<char>(e.key);
    }
    DestroyAcceleratorTable(table);
}

// A main window that records its commands.
class RecordingMainWindow {
public:
    RecordingMainWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &RecordingMainWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ShellLoopTestMain";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "ShellLoopTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~RecordingMainWindow() { DestroyWindow(window_); }
    RecordingMainWindow(const RecordingMainWindow&) = delete;
    RecordingMainWindow& operator=(const RecordingMainWindow&) = delete;
    HWND Window() const { return window_; }
    static const std::vector<WPARAM>& Commands() { return commands_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND) {
            commands_.push_back(wParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_;
    static inline std::vector<WPARAM> commands_;
};

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The panel and its current page as the loop sees them: two modeless dialogs
// (the password template serves: an edit and two buttons) and the panel's
// PanelState record in its user data. The windows live for the whole suite.
class LoopFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetAppInstance(GetModuleHandleA(nullptr));
        main_ = new RecordingMainWindow;
        panel_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PASSWORD), main_->Window(), QuietDialog, 0);
        page_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PASSWORD), panel_, QuietDialog, 0);
        ShowWindow(panel_, SW_SHOW);
        ShowWindow(page_, SW_SHOW);
    }
    static void TearDownTestSuite() {
        DestroyWindow(page_);
        DestroyWindow(panel_);
        delete main_;
    }

    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        ResetShellState();
        ASSERT_NE(panel_, nullptr);
        ASSERT_NE(page_, nullptr);
        MainWindow = main_->Window();
        PanelWindow = panel_;
        commands_before_ = RecordingMainWindow::Commands().size();
        SetDlgItemTextA(page_, IDC_PASSWORD, "");
        state_ = static_cast<PanelState*>(LocalAlloc(LPTR, sizeof(PanelState)));
        SetWindowLongPtrA(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_));
        accelerators_ = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDA_MAIN));
        GetKeyboardState(savedKeys_);
    }
    void TearDown() override {
        SetKeyboardState(savedKeys_);
        SetWindowLongPtrA(panel_, GWLP_USERDATA, 0);  // the loop's clean-up has freed the record
        if (accelerators_) DestroyAcceleratorTable(accelerators_);
        ResetShellState();
    }

    void HoldControl(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    HWND PageEdit() const { return GetDlgItem(page_, IDC_PASSWORD); }
    std::vector<WPARAM> NewCommands() const {
        const std::vector<WPARAM>& all = RecordingMainWindow::Commands();
        return std::vector<WPARAM>(all.begin() + commands_before_, all.end());
    }

    // Posts the keystroke to the focused control, then WM_QUIT; runs the loop.
    int Run(HWND target, WPARAM key, int exitCode) {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        PostQuitMessage(exitCode);
        return RunMessageLoop(accelerators_);
    }

    static inline RecordingMainWindow* main_ = nullptr;
    static inline HWND panel_ = nullptr;
    static inline HWND page_ = nullptr;
    size_t commands_before_ = 0;
    PanelState* state_ = nullptr;
    HACCEL accelerators_ = nullptr;
    BYTE savedKeys_[256] = {};
};

// Counts the keystrokes a control gets itself, that is, those neither the
// accelerators nor the dialog manager took. (Focus is not looked at: other
// test programs of the run may take the activation at any moment.)
class KeyCounter {
public:
    explicit KeyCounter(HWND control) : control_(control) {
        SetPropA(control_, kProperty, this);
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeyCounter::Procedure)));
    }
    ~KeyCounter() {
        SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(control_, kProperty);
    }
    KeyCounter(const KeyCounter&) = delete;
    KeyCounter& operator=(const KeyCounter&) = delete;
    int keyDowns = 0;
    int dialogCodeQueries = 0;  // the dialog manager asks a control before it takes a key

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        KeyCounter* self = static_cast<KeyCounter*>(GetPropA(window, kProperty));
        if (message == WM_KEYDOWN) self->keyDowns += 1;
        if (message == WM_GETDLGCODE && lParam) self->dialogCodeQueries += 1;
        return CallWindowProcA(self->original_, window, message, wParam, lParam);
    }
    static constexpr const char* kProperty = "ShellLoopTestKeyCounter";
    HWND control_;
    WNDPROC original_ = nullptr;
};

TEST_F(LoopFixture, CtrlRFromAPageReachesTheMainWindowAsCommand282) {
    state_->currentPage = page_;
    KeyCounter edit(PageEdit());
    HoldControl(true);
    EXPECT_EQ(Run(PageEdit(), 'R', 0), 0);
    ASSERT_EQ(NewCommands().size(), 1u);
    EXPECT_EQ(LOWORD(NewCommands()[0]), CMD_READSETTINGS);
    EXPECT_EQ(HIWORD(NewCommands()[0]), 1);  // from an accelerator
    EXPECT_EQ(edit.keyDowns, 0);
}

TEST_F(LoopFixture, KeysWithoutControlReachThePage) {
    state_->currentPage = page_;
    KeyCounter edit(PageEdit());
    HoldControl(false);
    EXPECT_EQ(Run(PageEdit(), 'R', 0), 0);
    EXPECT_TRUE(NewCommands().empty());
    EXPECT_EQ(edit.keyDowns, 1);
}

struct TabCase {
    const char* label;
    bool currentPage;   // the panel's record names a current page
    bool inPanel;       // the key goes to the panel's own edit, else to the page's
    bool takenAsDialog;
};

TEST_F(LoopFixture, TabIsTakenByThePanelOrItsCurrentPage) {
    const TabCase cases[] = {
        {"page control, with current page", true, false, true},
        {"panel control, with current page", true, true, true},
        {"page control, without current page", false, false, false},
        {"panel control, without current page", false, true, false},
    };
    bool first = true;
    for (const TabCase& c : cases) {
        if (!first) {  // each run of the loop frees the record it saw
            state_ = static_cast<PanelState*>(LocalAlloc(LPTR, sizeof(PanelState)));
            SetWindowLongPtrA(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_));
        }
        first = false;
        state_->currentPage = c.currentPage ? page_ : nullptr;
        HWND target = c.inPanel ? GetDlgItem(panel_, IDC_PASSWORD) : PageEdit();
        KeyCounter counter(target);
        EXPECT_EQ(Run(target, VK_TAB, 5), 5) << c.label;
        EXPECT_EQ(counter.keyDowns, c.takenAsDialog ? 0 : 1) << c.label;
        EXPECT_EQ(counter.dialogCodeQueries > 0, c.takenAsDialog) << c.label;
    }
    EXPECT_TRUE(NewCommands().empty());
}

TEST_F(LoopFixture, CleanUpAfterTheLoop) {
    PrinterList = MakeEntry("TK-1", "LPT1:", "Quarl Tilbury 550TK");
    CurrentPrinter = PrinterList;
    PrinterCount = 1;
    const std::string objectName = "QUARLRP_LoopTest-" + std::to_string(GetCurrentProcessId());
    InstanceMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, objectName.c_str());
    ASSERT_NE(InstanceMapping, nullptr);
    PostQuitMessage(9);
    EXPECT_EQ(RunMessageLoop(accelerators_), 9);
    EXPECT_EQ(InstanceMapping, nullptr);
    EXPECT_FALSE(MappingExists(objectName));
    EXPECT_EQ(PrinterList, nullptr);
    EXPECT_EQ(CurrentPrinter, nullptr);
}

}  // namespace
