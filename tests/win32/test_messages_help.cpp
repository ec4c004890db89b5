// The help routine: the help file path from the registry and the choice of
// engine, file and command, recorded through the help seam. The registry value
// "RPHLP" is written into the prefix's HKEY_LOCAL_MACHINE by the test and the
// previous state is restored afterwards (other tests use the same model key).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "support_seams.h"

namespace {

const char kModelKey[] = SUITE_PRINTERS_KEY "\\Tilbury 550TK";
const char kNotInstalled[] = "ヘルプはインストールされていません。";

using seams::RecordedBox;

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool KeyIsEmpty(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0, values = 0;
    LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

// Creates the model key (and its parents) as needed and keeps the former
// "RPHLP" value; on destruction puts that value back and removes the keys it
// created when they are empty again.
class HelpValue {
public:
    HelpValue() {
        const char* levels[] = {"Software\\Quarl", "Software\\Quarl\\Pavonet", SUITE_PRINTERS_KEY, kModelKey};
        for (const char* level : levels) {
            if (!KeyExists(level)) created_.push_back(level);
        }
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kModelKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key_, nullptr));
        DWORD size = sizeof saved_;
        hadValue_ = RegQueryValueExA(key_, "RPHLP", nullptr, &savedType_, saved_, &size) == ERROR_SUCCESS;
        savedSize_ = size;
    }
    ~HelpValue() {
        if (hadValue_)
            RegSetValueExA(key_, "RPHLP", 0, savedType_, saved_, savedSize_);
        else
            RegDeleteValueA(key_, "RPHLP");
        RegCloseKey(key_);
        for (auto level = created_.rbegin(); level != created_.rend(); ++level) {
            if (KeyIsEmpty(*level)) RegDeleteKeyA(HKEY_LOCAL_MACHINE, *level);
        }
    }
    HelpValue(const HelpValue&) = delete;
    HelpValue& operator=(const HelpValue&) = delete;

    // Stores path as REG_SZ; withTerminator false leaves the terminator out of the data.
    void Set(const std::string& path, bool withTerminator = true) {
        DWORD size = static_cast<DWORD>(path.size() + (withTerminator ? 1 : 0));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "RPHLP", 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(path.c_str()), size));
    }
    void Remove() { RegDeleteValueA(key_, "RPHLP"); }

private:
    HKEY key_ = nullptr;
    std::vector<const char*> created_;
    bool hadValue_ = false;
    BYTE saved_[1024] = {};
    DWORD savedType_ = 0;
    DWORD savedSize_ = 0;
};

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        CurrentPrinter = nullptr;
        HelpFilePath[0] = '\0';
        window_ = CreateWindowA("STATIC", "help owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, AppInstance, nullptr);
        ASSERT_NE(nullptr, window_);
    }
    void TearDown() override {
        HelpFilePath[0] = '\0';
        DestroyWindow(window_);
    }
    seams::HelpRecorder help;
    seams::BoxRecorder recorder;
    HWND window_ = nullptr;
};

const ULONG_PTR kTable = reinterpret_cast<ULONG_PTR>(HelpContextTable);

struct EngineCase {
    const char* label;
    const char* path;
    UINT command;
    ULONG_PTR data;
    bool called;
    HelpEngine engine;
    const char* file;
    UINT engineCommand;
    bool ownedByDesktop;
};

TEST_F(HelpTest, ChoosesEngineFileAndCommand) {
    const EngineCase cases[] = {
        {".hlp, popup", "C:\\help\\rp.hlp", HELP_CONTEXTPOPUP, 0x10060, true, HelpEngineWinHelp, "C:\\help\\rp.hlp",
         HELP_CONTEXTPOPUP, false},
        {".hlp, help button", "C:\\help\\rp.hlp", HELP_FINDER, 0, true, HelpEngineWinHelp, "C:\\help\\rp.hlp",
         HELP_FINDER, false},
        {".HLP, F1", "C:\\HELP\\RP.HLP", HELP_WM_HELP, kTable, true, HelpEngineWinHelp, "C:\\HELP\\RP.HLP",
         HELP_WM_HELP, false},
        {".chm, F1 uses the popup file", "C:\\help\\rp.chm", HELP_WM_HELP, kTable, true, HelpEngineWinHelp,
         "C:\\help\\rp.POP", HELP_WM_HELP, false},
        {".chm, context menu uses the popup file", "C:\\help\\rp.chm", HELP_CONTEXTMENU, kTable, true,
         HelpEngineWinHelp, "C:\\help\\rp.POP", HELP_CONTEXTMENU, false},
        {".CHM, context popup uses the popup file", "C:\\HELP\\RP.CHM", HELP_CONTEXTPOPUP, 0x80000300, true,
         HelpEngineWinHelp, "C:\\HELP\\RP.POP", HELP_CONTEXTPOPUP, false},
        {".chm, help button opens the default topic", "C:\\help\\rp.chm", HELP_FINDER, 0, true, HelpEngineHtmlHelp,
         "C:\\help\\rp.chm", 0, true},
        {".chm, context", "C:\\help\\rp.chm", HELP_CONTEXT, 0x10000, true, HelpEngineHtmlHelp, "C:\\help\\rp.chm",
         0x0F, true},
        {".chm in a double-byte folder", "C:\\ヘルプ\\表示.chm", HELP_WM_HELP, kTable, true, HelpEngineWinHelp,
         "C:\\ヘルプ\\表示.POP", HELP_WM_HELP, false},
        {"other extension", "C:\\help\\rp.txt", HELP_FINDER, 0, false, HelpEngineWinHelp, "", 0, false},
        {"path of two characters", "lp", HELP_FINDER, 0, false, HelpEngineWinHelp, "", 0, false},
        {"empty value", "", HELP_WM_HELP, kTable, false, HelpEngineWinHelp, "", 0, false},
    };
    HelpValue value;
    for (const EngineCase& c : cases) {
        SCOPED_TRACE(c.label);
        value.Set(c.path);
        HelpFilePath[0] = '\0';
        help.calls.clear();
        recorder.boxes.clear();
        ShowHelp(window_, c.command, c.data);
        EXPECT_TRUE(recorder.boxes.empty())
            << "no message: " << (recorder.boxes.empty() ? "" : recorder.boxes[0].text);
        if (!c.called) {
            EXPECT_TRUE(help.calls.empty());
            continue;
        }
        ASSERT_EQ(1u, help.calls.size());
        EXPECT_EQ(c.engine, help.calls[0].engine);
        EXPECT_EQ(c.file, help.calls[0].file);
        EXPECT_EQ(c.engineCommand, help.calls[0].command);
        EXPECT_EQ(c.data, help.calls[0].data);
        EXPECT_EQ(c.ownedByDesktop ? GetDesktopWindow() : window_, help.calls[0].window);
    }
}

TEST_F(HelpTest, PathIsReadOnceAndKept) {
    HelpValue value;
    value.Set("C:\\help\\first.hlp");
    ShowHelp(window_, HELP_FINDER, 0);
    value.Set("C:\\help\\second.chm");
    ShowHelp(window_, HELP_FINDER, 0);
    ASSERT_EQ(2u, help.calls.size());
    EXPECT_EQ("C:\\help\\first.hlp", help.calls[1].file) << "a later registry change has no effect";
    EXPECT_EQ(HelpEngineWinHelp, help.calls[1].engine);
}

TEST_F(HelpTest, MissingValueWarnsOnEveryRequest) {
    HelpValue value;
    value.Remove();
    ShowHelp(window_, HELP_WM_HELP, kTable);
    ShowHelp(window_, HELP_FINDER, 0);
    EXPECT_TRUE(help.calls.empty());
    ASSERT_EQ(2u, recorder.boxes.size());
    for (const RecordedBox& box : recorder.boxes) {
        EXPECT_EQ(kNotInstalled, box.text);
        EXPECT_EQ("Pavonet リモートパネル", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), box.style);
        EXPECT_EQ(window_, box.owner);
    }
    // Installed later: found on the next request.
    value.Set("C:\\help\\rp.hlp");
    ShowHelp(window_, HELP_FINDER, 0);
    ASSERT_EQ(1u, help.calls.size());
    EXPECT_EQ("C:\\help\\rp.hlp", help.calls[0].file);
}

TEST_F(HelpTest, ValueWithoutTerminatorOrTooLong) {
    HelpValue value;
    {
        SCOPED_TRACE("stored without its terminator");
        value.Set("C:\\help\\rp.hlp", false);
        ShowHelp(window_, HELP_FINDER, 0);
        ASSERT_EQ(1u, help.calls.size());
        EXPECT_EQ("C:\\help\\rp.hlp", help.calls[0].file);
    }
    {
        SCOPED_TRACE("255 characters: the largest path that fits");
        std::string path = "C:\\" + std::string(246, 'd') + "\\a.hlp";
        ASSERT_EQ(255u, path.size());
        value.Set(path);
        HelpFilePath[0] = '\0';
        help.calls.clear();
        ShowHelp(window_, HELP_FINDER, 0);
        ASSERT_EQ(1u, help.calls.size());
        EXPECT_EQ(path, help.calls[0].file);
    }
    {
        SCOPED_TRACE("256 characters without a terminator: not used, never cut");
        std::string path = "C:\\" + std::string(247, 'd') + "\\a.hlp";
        ASSERT_EQ(256u, path.size());
        value.Set(path, false);
        HelpFilePath[0] = '\0';
        help.calls.clear();
        recorder.boxes.clear();
        ShowHelp(window_, HELP_FINDER, 0);
        EXPECT_TRUE(help.calls.empty());
        ASSERT_EQ(1u, recorder.boxes.size());
        EXPECT_EQ(kNotInstalled, recorder.boxes[0].text);
    }
    {
        SCOPED_TRACE("longer than the buffer: not used, never cut");
        std::string path = "C:\\" + std::string(300, 'd') + "\\rp.hlp";
        value.Set(path);
        HelpFilePath[0] = '\0';
        help.calls.clear();
        recorder.boxes.clear();
        ShowHelp(window_, HELP_FINDER, 0);
        EXPECT_TRUE(help.calls.empty());
        ASSERT_EQ(1u, recorder.boxes.size());
        EXPECT_EQ(kNotInstalled, recorder.boxes[0].text);
    }
}

TEST_F(HelpTest, MissingKeyIsSilent) {
    // Hide the machine's keys from this process: HKEY_LOCAL_MACHINE is mapped
    // onto an empty scratch key, so the model key does not exist here.
    HKEY scratch;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\RemotePanelTests\\EmptyMachine", 0,
                                             nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &scratch,
                                             nullptr));
    LONG overridden = RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch);
    if (overridden == ERROR_SUCCESS) {
        ASSERT_FALSE(KeyExists(kModelKey));
        ShowHelp(window_, HELP_WM_HELP, kTable);
        ShowHelp(window_, HELP_FINDER, 0);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    }
    RegCloseKey(scratch);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\RemotePanelTests\\EmptyMachine");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\RemotePanelTests");
    if (overridden != ERROR_SUCCESS) GTEST_SKIP() << "HKEY_LOCAL_MACHINE cannot be mapped here";
    EXPECT_TRUE(help.calls.empty());
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ('\0', HelpFilePath[0]);
}

TEST_F(HelpTest, HtmlHelpUnavailableIsSilent) {
    HelpValue value;
    value.Set("C:\\help\\rp.chm");
    help.htmlHelpResult = FALSE;
    ShowHelp(window_, HELP_FINDER, 0);
    EXPECT_EQ(0, ShowHtmlHelp(HELP_FINDER, 0, "C:\\help\\rp.chm"));
    EXPECT_TRUE(recorder.boxes.empty());
    // Popups still go to WinHelp.
    help.calls.clear();
    ShowHelp(window_, HELP_WM_HELP, kTable);
    ASSERT_EQ(1u, help.calls.size());
    EXPECT_EQ(HelpEngineWinHelp, help.calls[0].engine);
    EXPECT_EQ("C:\\help\\rp.POP", help.calls[0].file);
}

int VisibleWindowsOfThisProcess() {
    struct Counter {
        static BOOL CALLBACK Count(HWND window, LPARAM param) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(param);
            return TRUE;
        }
    };
    int count = 0;
    EnumWindows(Counter::Count, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(HtmlHelpEngine, LoadedAtRunTimeAndKept) {
    SetHelpHook(nullptr);
    int before = VisibleWindowsOfThisProcess();
    EXPECT_EQ(1, ShowHtmlHelp(HELP_CONTEXT, 0x10000, "C:\\nowhere\\rp.chm"));
    ASSERT_NE(nullptr, HtmlHelpModule);
    HMODULE first = HtmlHelpModule;
    EXPECT_EQ(1, ShowHtmlHelp(HELP_FINDER, 0, "C:\\nowhere\\rp.chm"));
    EXPECT_EQ(first, HtmlHelpModule) << "loaded once and kept";
    EXPECT_EQ(before, VisibleWindowsOfThisProcess());
}

}  // namespace
