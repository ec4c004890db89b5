// Start-up up to the claim of the printer: in this process against a registry
// of the test's own (exact printer sets, password, no suite key), and the
// program itself as a child process for the system check and the printer
// named on the command line.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "support_srm.h"
#include "test_shell_support.h"

using namespace shelltest;

namespace {

// ---- In this process ----

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellState();
        SetAppInstance(nullptr);
        ASSERT_TRUE(lock_.Held());
        ASSERT_TRUE(machine_.Ok());
    }
    void TearDown() override {
        CleanUpAfterLoop(nullptr);
        ResetShellState();
        SetAppInstance(GetModuleHandleA(nullptr));
    }

    // The suite as installed: the key, the model subkey and the given spooler printers.
    void Install(const std::vector<std::string>& printers) {
        ASSERT_TRUE(machine_.CreateKey(SUITE_KEY));
        ASSERT_TRUE(machine_.CreateModelKeys({"Tilbury 550TK"}));
        for (const std::string& printer : printers) ASSERT_TRUE(machine_.AddSpoolerPrinter(printer, ServedDriver()));
    }

    int Settle(const char* commandLine) { return SettlePrinter(GetModuleHandleA(nullptr), commandLine); }

    BareTitleLock lock_;  // the claim looks for dialogs captioned with the bare title
    ScratchMachine machine_;
    BoxRecorder boxes_;
};

TEST_F(StartupTest, NoSuiteKey) {
    EXPECT_EQ(Settle(""), 1);
    EXPECT_EQ(AppInstance, GetModuleHandleA(nullptr));
    EXPECT_EQ(boxes_.Texts(),
              (std::vector<std::string>{
                  Text(IDS_REGISTRY_NOT_OPEN) + "\nKey: HKEY_LOCAL_MACHINE\\Software\\Quarl\\Pavonet\\Printers",
                  Text(IDS_MODEL_MISSING)}));
    for (const RecordedBox& box : boxes_.boxes) {
        EXPECT_EQ(box.caption, Title());
        EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONWARNING));
        EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(PrinterList, nullptr);
    EXPECT_EQ(InstanceMapping, nullptr);
}

TEST_F(StartupTest, ModelNotRegistered) {
    ASSERT_TRUE(machine_.CreateModelKeys({"tilbury 550tk"}));
    ASSERT_TRUE(machine_.AddSpoolerPrinter("Printer", ServedDriver()));
    EXPECT_EQ(Settle(""), 1);
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{Text(IDS_MODEL_MISSING), Text(IDS_MODEL_MISSING)}));
}

TEST_F(StartupTest, NoPrinterOfTheModel) {
    Install({});
    ASSERT_TRUE(machine_.AddSpoolerPrinter("Stranger", "Quarl Tilbury 100"));
    EXPECT_EQ(Settle(""), 1);
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{Text(IDS_MODEL_MISSING)}));
}

TEST_F(StartupTest, OnePrinterIsClaimedWithoutAnyDialog) {
    const std::string printer = UniquePrinterName("Only");
    Install({printer});
    LoadDefaultSettings();
    DialogScript dialogs([](HWND dialog) { Press(dialog, IDCANCEL); });

    for (const char* commandLine : {"", "/P:anything"}) {
        ASSERT_EQ(Settle(commandLine), 0) << commandLine;
        EXPECT_TRUE(boxes_.boxes.empty());
        EXPECT_TRUE(dialogs.captions.empty());
        EXPECT_EQ(IsRecordLoaded(), 0);
        EXPECT_EQ(PrinterCount, 1);
        EXPECT_EQ(MultiplePrinters, 0);
        ASSERT_NE(CurrentPrinter, nullptr);
        EXPECT_STREQ(CurrentPrinter->name, printer.c_str());
        EXPECT_NE(InstanceMapping, nullptr);
        EXPECT_TRUE(MappingExists("QUARLRP_" + printer));
        CleanUpAfterLoop(nullptr);
        EXPECT_FALSE(MappingExists("QUARLRP_" + printer));
        EXPECT_EQ(PrinterList, nullptr);
    }
}

TEST_F(StartupTest, OnePrinterAndTheCommandLineNamingIt) {
    const std::string printer = UniquePrinterName("Named");
    Install({printer});
    ASSERT_EQ(Settle(printer.c_str()), 0);
    ASSERT_NE(CurrentPrinter, nullptr);
    EXPECT_STREQ(CurrentPrinter->name, printer.c_str());
}

TEST_F(StartupTest, CommandLineNamingAnUnknownPrinter) {
    Install({UniquePrinterName("Known")});
    EXPECT_EQ(Settle("Unknown"), 1);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "Unknown " + Text(IDS_PRINTER_NOT_SERVED));
    EXPECT_EQ(boxes_.boxes[0].caption, Title() + " - Unknown");
    EXPECT_EQ(PrinterList, nullptr);
    EXPECT_EQ(InstanceMapping, nullptr);
}

TEST_F(StartupTest, PasswordIsAskedUnlessTheCommandLineGivesIt) {
    const std::string printer = UniquePrinterName("Locked");
    Install({printer});
    ASSERT_TRUE(machine_.SetPassword("open sesame"));
    struct Case {
        const char* label;
        std::string commandLine;
        bool typeIt;  // the user types the password when asked, else cancels
        int refused;
        size_t dialogs;
    };
    const Case cases[] = {
        {"asked and typed", "", true, 0, 1},
        {"asked and cancelled", "", false, 1, 1},
        {"given on the line (it holds a blank)", "/P:open sesame", false, 0, 0},
        {"given with the printer", "/P:open sesame " + printer, false, 0, 0},
        {"only its first word given", "/P:open " + printer, false, 1, 1},
    };
    for (const Case& c : cases) {
        DialogScript script([&](HWND dialog) {
            if (c.typeIt) {
                SetDlgItemTextA(dialog, IDC_PASSWORD, "open sesame");
                Press(dialog, IDOK);
            } else {
                Press(dialog, IDCANCEL);
            }
        });
        boxes_.boxes.clear();
        EXPECT_EQ(Settle(c.commandLine.c_str()), c.refused) << c.label;
        EXPECT_EQ(script.captions.size(), c.dialogs) << c.label;
        CleanUpAfterLoop(nullptr);
    }

    ASSERT_TRUE(machine_.SetPassword("sesame"));
    DialogScript none([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(Settle(("/p:sesame " + printer).c_str()), 0);
    EXPECT_TRUE(none.captions.empty());
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(StartupTest, TwoPrintersOpenTheSelectionWithTheFirstRowChosen) {
    const std::string first = "A-" + UniquePrinterName("Pair");
    const std::string second = "B-" + UniquePrinterName("Pair");
    Install({second, first});
    std::string preselected;
    DialogScript script([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_PRINTERLIST);
        int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        char text[256] = {};
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        preselected = text;
        Press(dialog, IDC_SELECT_OK);
    });
    // The printer named on the command line is dropped: the user chooses.
    ASSERT_EQ(Settle(second.c_str()), 0);
    ASSERT_EQ(script.captions.size(), 1u);
    EXPECT_EQ(script.captions[0], "プリンタの選択");
    EXPECT_EQ(preselected, first);
    EXPECT_EQ(MultiplePrinters, 1);
    ASSERT_NE(CurrentPrinter, nullptr);
    EXPECT_STREQ(CurrentPrinter->name, first.c_str());
    EXPECT_TRUE(MappingExists("QUARLRP_" + first));
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(StartupTest, CancelledSelectionEndsWithoutMessage) {
    Install({UniquePrinterName("One"), UniquePrinterName("Two")});
    DialogScript script([](HWND dialog) { Press(dialog, IDC_SELECT_CANCEL); });
    EXPECT_EQ(Settle(""), 1);
    EXPECT_EQ(script.captions.size(), 1u);
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(PrinterList, nullptr);
    EXPECT_EQ(InstanceMapping, nullptr);
}

TEST_F(StartupTest, PrinterServedByAnotherPanel) {
    const std::string printer = UniquePrinterName("Busy");
    Install({printer});
    ScopedHandle other(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32,
                                          ("QUARLRP_" + printer).c_str()));
    ASSERT_NE(other.get(), nullptr);
    EXPECT_EQ(Settle(""), 1);
    EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{Text(IDS_ALREADY_RUNNING)}));
    EXPECT_EQ(InstanceMapping, nullptr);
    EXPECT_EQ(PrinterList, nullptr);
}

// ---- The program itself ----

std::string ProgramPath() { return ModuleDirectory() + "\\RemotePanel.exe"; }

// A copy of the program under a name of its own, so that a Windows version
// chosen for it affects no other test; removed with its directory.
class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& label) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        directory_ = std::string(temp) + "rp-startup-" + std::to_string(GetCurrentProcessId()) + "-" + label;
        CreateDirectoryA(directory_.c_str(), nullptr);
        exeName_ = "RPStart" + label + std::to_string(GetCurrentProcessId()) + ".exe";
        ok_ = CopyFileA(ProgramPath().c_str(), Path().c_str(), FALSE) &&
              CopyFileA((ModuleDirectory() + "\\QUARLSRM.DLL").c_str(), (directory_ + "\\QUARLSRM.DLL").c_str(),
                        FALSE);
    }
    ~ProgramCopy() {
        DeleteTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + exeName_);
        DeleteFileA(Path().c_str());
        DeleteFileA((directory_ + "\\QUARLSRM.DLL").c_str());
        RemoveDirectoryA(directory_.c_str());
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool Ok() const { return ok_; }
    std::string Path() const { return directory_ + "\\" + exeName_; }
    void SetWindowsVersion(const char* version) const {
        if (!version) return;
        std::string path = "Software\\Wine\\AppDefaults\\" + exeName_;
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(strlen(version) + 1));
        RegCloseKey(key);
    }

private:
    std::string directory_;
    std::string exeName_;
    bool ok_ = false;
};

TEST(ProgramStart, SystemCheck) {
    SetAppInstance(GetModuleHandleA(nullptr));
    BareTitleLock lock;  // the refusals are boxes captioned with the bare title
    ASSERT_TRUE(lock.Held());
    // The command line names no printer that exists: a start that passes the
    // check ends after discovery, with the unknown printer or a missing model.
    const std::string unknown = UniquePrinterName("NoSuchPrinter");
    struct Case {
        const char* version;  // null: Wine's default
        bool supported;
    };
    const Case cases[] = {{"nt351", false}, {"win31", false}, {"win95", true},
                          {"win98", true},  {"nt40", true},   {nullptr, true}};
    for (const Case& c : cases) {
        const char* label = c.version ? c.version : "default";
        ProgramCopy program(label);
        ASSERT_TRUE(program.Ok()) << label;
        program.SetWindowsVersion(c.version);
        ChildRun run = RunChild("\"" + program.Path() + "\" " + unknown, 30000);
        EXPECT_EQ(run.exitCode, 1u) << label;
        if (!c.supported) {
            ASSERT_EQ(run.boxes.size(), 1u) << label;
            EXPECT_EQ(run.boxes[0].text, Text(IDS_OS_NOT_SUPPORTED)) << label;
            EXPECT_EQ(run.boxes[0].caption, Title()) << label;
            EXPECT_TRUE(run.dialogs.empty()) << label;
        } else {
            for (const RecordedBox& box : run.boxes) EXPECT_NE(box.text, Text(IDS_OS_NOT_SUPPORTED)) << label;
            // Past the check: discovery or the password gate spoke.
            ASSERT_FALSE(run.boxes.empty() && run.dialogs.empty()) << label;
            if (!run.boxes.empty()) {
                const std::string& first = run.boxes[0].text;
                EXPECT_TRUE(first == unknown + " " + Text(IDS_PRINTER_NOT_SERVED) ||
                            first == Text(IDS_MODEL_MISSING) || first.rfind(Text(IDS_REGISTRY_NOT_OPEN), 0) == 0)
                    << label << ": " << first;
            }
        }
    }
}

// The printer named on the command line reaches the program byte for byte:
// names beginning with a double-byte character, names of double-byte
// characters only, trail bytes 0x5C (表, ソ). A served name opens the main
// window with that caption; an unknown one is refused with message 101.
TEST(ProgramStart, PrinterNamedOnTheCommandLine) {
    SetAppInstance(GetModuleHandleA(nullptr));
    std::string tag;  // the process id in full-width digits (double-byte)
    for (char digit : std::to_string(GetCurrentProcessId())) tag += {'\x82', static_cast<char>(0x4F + digit - '0')};
    struct Case { const char* label; std::string name; bool served; };
    const Case cases[] = {
        {"beginning with a double-byte character", "経理1-" + tag, true},
        {"double-byte characters only", "ああ" + tag, true},
        {"0x5C trail bytes", "表示ソ" + tag, true},
        {"unknown, double-byte characters only", "ああ" + tag + "ソ", false},
        {"unknown", UniquePrinterName("Unknown"), false},
    };
    const std::string captionStart = Title() + " - ";
    for (const Case& c : cases) {
        // The only served printer: the one named, or another for an unknown name.
        const std::string served = c.served ? c.name : "経理-" + tag;
        ASSERT_EQ(SrmSimAddPrinter(served.c_str(), "LPT1:", "", kSrmDefaultDriver), 0u) << c.label;
        SimulatedPrinter printer = SimulatedPrinter::Adopt(served);
        std::vector<std::string> shown;  // captions of the main windows, each closed at once
        ChildRun run = RunChild("\"" + ProgramPath() + "\" " + c.name, 30000, false, [&] {
            for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "RPWndClass", nullptr));) {
                const std::string caption = WindowText(window);
                if (caption.rfind(captionStart, 0) != 0 || (!shown.empty() && shown.back() == caption)) continue;
                shown.push_back(caption);
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
        });
        if (!run.dialogs.empty()) GTEST_SKIP() << "a password or another served printer in this prefix";
        using Texts = std::vector<std::string>;
        Texts boxes;  // caption|text
        for (const RecordedBox& box : run.boxes) boxes.push_back(box.caption + "|" + box.text);
        const std::string refusal = captionStart + c.name + "|" + c.name + " " + Text(IDS_PRINTER_NOT_SERVED);
        EXPECT_EQ(run.exitCode, c.served ? 0u : 1u) << c.label;
        EXPECT_EQ(shown, c.served ? Texts{captionStart + c.name} : Texts{}) << c.label;
        EXPECT_EQ(boxes, c.served ? Texts{} : Texts{refusal}) << c.label;
    }
}

}  // namespace
