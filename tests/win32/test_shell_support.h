// Helpers for the application shell's Win32 tests: message boxes recorded
// through the program's seam (support_seams.h), modal dialogs of this thread
// driven from a thread timer, a registry of the test's own standing in for
// HKEY_LOCAL_MACHINE (so that the suite key, the spooler's printers and the
// simulated printers can be exactly what a test needs, whatever other test
// programs of the run do meanwhile), and child processes whose message boxes
// are read and answered from outside.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "support_seams.h"

namespace shelltest {

// ---- Texts of the program ----

inline std::string Text(UINT id) {
    char buffer[kTextSize];
    LoadText(id, buffer, kTextSize);
    return buffer;
}

inline std::string Title() { return Text(IDS_TITLE); }

// ---- Message boxes through the seam ----

using seams::BoxRecorder;
using seams::RecordedBox;

// ---- Modal dialogs of this thread ----

inline std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Acts once on every modal dialog that comes up on this thread while the
// script lives. The action runs from a thread timer inside the dialog's own
// modal loop; it may read and drive the dialog and end it. A dialog that is
// still open giveUpMs after its action is cancelled, so that a broken program
// fails the test instead of hanging it.
class DialogScript {
public:
    using Action = std::function<void(HWND dialog)>;
    explicit DialogScript(Action action, DWORD giveUpMs = 5000) : action_(std::move(action)), giveUpMs_(giveUpMs) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 15, &DialogScript::Tick);
    }
    ~DialogScript() {
        if (timer_) KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::vector<std::string> captions;  // of every dialog acted on, in order
    int timedOut = 0;                   // dialogs cancelled by the script itself

private:
    struct Handled {
        HWND dialog;
        DWORD tick;
    };
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        if (IsWindowVisible(window) && IsWindowEnabled(window) && ClassOf(window) == "#32770") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* self = active_;
        if (!self || self->busy_) return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &DialogScript::FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        for (Handled& handled : self->handled_) {
            if (handled.dialog != dialog) continue;
            if (GetTickCount() - handled.tick > self->giveUpMs_) {
                self->timedOut += 1;
                handled.tick = GetTickCount();
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            return;
        }
        self->handled_.push_back({dialog, GetTickCount()});
        self->captions.push_back(WindowText(dialog));
        self->busy_ = true;
        self->action_(dialog);
        self->busy_ = false;
    }

    Action action_;
    DWORD giveUpMs_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    std::vector<Handled> handled_;
    static inline DialogScript* active_ = nullptr;
};

// Presses a button of a dialog as the user would.
inline void Press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// ---- The selection dialog's list ----

inline HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_PRINTERLIST); }

inline std::string ItemText(HWND list, int item, int column) {
    char text[2048] = {};
    LVITEMA request = {};
    request.iSubItem = column;
    request.pszText = text;
    request.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&request));
    return text;
}

inline int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

inline std::vector<std::string> Column(HWND list, int column) {
    std::vector<std::string> texts;
    for (int i = 0; i < RowCount(list); ++i) texts.push_back(ItemText(list, i, column));
    return texts;
}

inline UINT RowState(HWND list, int item) {
    return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, item, LVIS_SELECTED | LVIS_FOCUSED));
}

inline int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

inline void SetRowSelected(HWND list, int item, bool selected) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
    SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

inline int RowOf(HWND list, const std::string& name) {
    for (int i = 0; i < RowCount(list); ++i)
        if (ItemText(list, i, 0) == name) return i;
    return -1;
}

// ---- A registry of the test's own as HKEY_LOCAL_MACHINE ----

inline void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (;;) {
            char name[260] = {};
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteTree(root, path + "\\" + name);
            // A subkey that cannot be deleted would make this loop endless.
            HKEY probe = nullptr;
            if (RegOpenKeyExA(key, name, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
                break;
            }
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path.c_str());
}

// For its lifetime every HKEY_LOCAL_MACHINE access of this process (the
// program's, the spooler's, the SRM stand-in's) lands in an empty key of its
// own; other processes keep seeing the real one.
class ScratchMachine {
public:
    ScratchMachine() {
        static LONG counter = 0;
        path_ = "Software\\RemotePanelTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(InterlockedIncrement(&counter));
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        root_ = key;
        if (root_) ok_ = RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_) == ERROR_SUCCESS;
    }
    ~ScratchMachine() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        if (root_) RegCloseKey(root_);
        DeleteTree(HKEY_CURRENT_USER, path_);
    }
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

    bool Ok() const { return ok_; }

    bool CreateKey(const std::string& path) const {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    bool SetValue(const std::string& path, const char* name, DWORD type, const void* data, DWORD size) const {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        bool done = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return done;
    }
    bool SetString(const std::string& path, const char* name, const std::string& text) const {
        return SetValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    bool SetDword(const std::string& path, const char* name, DWORD value) const {
        return SetValue(path, name, REG_DWORD, &value, sizeof value);
    }

    // The suite's printers key, with the given model subkeys.
    bool CreateModelKeys(const std::vector<std::string>& models) const {
        bool done = CreateKey(SUITE_PRINTERS_KEY);
        for (const std::string& model : models) done = CreateKey(std::string(SUITE_PRINTERS_KEY) + "\\" + model) && done;
        return done;
    }
    bool SetPassword(const std::string& password) const { return SetString(SUITE_KEY, "Password", password); }

    // A spooler printer as the system lists it. keyName is the registry key;
    // the listed name is `name` (which may be longer than a key name can be).
    bool AddSpoolerPrinter(const std::string& name, const std::string& driver,
                           const std::string& keyName = std::string()) const {
        std::string path = std::string(kSpoolerRoot) + "\\" + (keyName.empty() ? name : keyName);
        return SetString(path, "Name", name) && SetString(path, "Port", "LPT1:") &&
               SetString(path, "Printer Driver", driver) && SetString(path, "Datatype", "RAW") &&
               SetString(path, "Print Processor", "WinPrint") && SetDword(path, "Attributes", 0x40) &&
               SetDword(path, "Priority", 1) && SetDword(path, "Status", 0);
    }

    static constexpr const char* kSpoolerRoot = "System\\CurrentControlSet\\Control\\Print\\Printers";

private:
    std::string path_;
    HKEY root_ = nullptr;
    bool ok_ = false;
};

// The driver name of the served model.
inline std::string ServedDriver() { return "Quarl " + Text(IDS_MODEL_NAME); }

// ---- Program state ----

// A PrinterEntry made by hand (texts copied with LocalAlloc, null stays null).
inline PrinterEntry* MakeEntry(const char* name, const char* destination, const char* model) {
    PrinterEntry* entry = static_cast<PrinterEntry*>(LocalAlloc(LPTR, sizeof(PrinterEntry)));
    entry->name = DuplicateString(name);
    entry->destination = DuplicateString(destination);
    entry->model = DuplicateString(model);
    return entry;
}

// Leaves the shell's program-wide state as a fresh process has it.
inline void ResetShellState() {
    DropPrinterList();
    SetMultiplePrinters(1);
    ReleaseClaim(InstanceMapping);
    InstanceMapping = nullptr;
    MainWindow = nullptr;
    PanelWindow = nullptr;
}

// ---- Kernel objects ----

inline bool MappingExists(const std::string& objectName) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, objectName.c_str());
    if (!mapping) return false;
    CloseHandle(mapping);
    return true;
}

// What a panel in another logon session leaves visible here: the pipe of its
// claim without the mapping (Wine runs one session, so the pipe is made directly).
inline HANDLE OtherSessionsClaim(const std::string& printer) {
    char name[kSessionClaimNameSize];
    if (!BuildSessionClaimName(name, sizeof name, printer.c_str())) return nullptr;
    return CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE, PIPE_TYPE_BYTE, 1, 0, 0, 0,
                            nullptr);
}

// Held for its lifetime by every test that shows a real message box captioned
// with the bare title, or that needs none to exist anywhere: a second start
// brings such a box forward instead of the panel it looks for.
class BareTitleLock {
public:
    BareTitleLock() : mutex_(CreateMutexA(nullptr, FALSE, "RemotePanelTests.BareTitleBoxes")) {
        if (mutex_) {
            DWORD result = WaitForSingleObject(mutex_, 120000);
            held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        }
    }
    ~BareTitleLock() {
        if (held_) ReleaseMutex(mutex_);
        if (mutex_) CloseHandle(mutex_);
    }
    BareTitleLock(const BareTitleLock&) = delete;
    BareTitleLock& operator=(const BareTitleLock&) = delete;
    bool Held() const { return held_; }

private:
    HANDLE mutex_;
    bool held_ = false;
};

// ---- Child processes ----

inline std::string ModuleDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash) *slash = '\0';
    return path;
}

// What a child process showed and how it ended.
struct ChildRun {
    DWORD exitCode = 0xFFFFFFFF;        // 0xFFFFFFFF: not started or killed at the deadline
    std::vector<RecordedBox> boxes;     // message boxes (owner unknown, style 0), in order
    std::vector<std::string> dialogs;   // captions of other dialogs, in order
    std::string output;                 // standard output and error, when asked for
};

struct ChildWindows {
    DWORD process;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectChildDialogs(HWND window, LPARAM data) {
    ChildWindows* windows = reinterpret_cast<ChildWindows*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == windows->process && IsWindowVisible(window) && ClassOf(window) == "#32770")
        windows->found.push_back(window);
    return TRUE;
}

// Runs a program and, until it ends, reads every message box it shows (the
// text control 0xFFFF) and presses its OK button; other dialogs are cancelled.
// Messages of this thread are pumped meanwhile, so the child may send to a
// window of the test. With captureOutput the child's standard output and
// error go to a file that is read back.
inline ChildRun RunChild(const std::string& commandLine, DWORD timeoutMs, bool captureOutput = false,
                         const std::function<void()>& whileWaiting = nullptr) {
    ChildRun run;
    char outputPath[MAX_PATH] = {};
    HANDLE outputFile = INVALID_HANDLE_VALUE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (captureOutput) {
        char directory[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, directory);
        GetTempFileNameA(directory, "rps", 0, outputPath);
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        outputFile = CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = outputFile;
        startup.hStdError = outputFile;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, captureOutput ? TRUE : FALSE, 0, nullptr,
                                  nullptr, &startup, &process);
    if (outputFile != INVALID_HANDLE_VALUE) CloseHandle(outputFile);
    if (!started) return run;
    CloseHandle(process.hThread);

    std::vector<HWND> handled;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) break;
        PumpPending();
        if (whileWaiting) whileWaiting();
        ChildWindows windows = {process.dwProcessId, {}};
        EnumWindows(&CollectChildDialogs, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows.found) {
            bool seen = false;
            for (HWND old : handled) seen = seen || old == window;
            if (seen) continue;
            handled.push_back(window);
            HWND textControl = GetDlgItem(window, 0xFFFF);
            if (textControl) {
                char text[4096] = {};
                SendMessageA(textControl, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
                run.boxes.push_back({nullptr, text, WindowText(window), 0});
                HWND ok = GetDlgItem(window, IDOK);
                if (ok)
                    SendMessageA(ok, BM_CLICK, 0, 0);
                else
                    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            } else {
                run.dialogs.push_back(WindowText(window));
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            }
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(process.hProcess, 0xFFFFFFFF);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);

    if (captureOutput) {
        HANDLE file = CreateFileA(outputPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char chunk[4096];
            DWORD got = 0;
            while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) run.output.append(chunk, got);
            CloseHandle(file);
        }
        DeleteFileA(outputPath);
    }
    return run;
}

// Texts for a child's environment travel as hexadecimal digits: Wine's
// environment conversion loses bytes of double-byte texts.
inline std::string ToHex(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

inline std::string FromHex(const std::string& hex) {
    auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string text;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) text += static_cast<char>(value(hex[i]) * 16 + value(hex[i + 1]));
    return text;
}

// Runs one disabled test of this very test program in a child process, with
// the environment variables given (name=value) set for it.
inline ChildRun RunChildTest(const std::string& testName, const std::vector<std::pair<std::string, std::string>>& env,
                             const std::function<void()>& whileWaiting = nullptr) {
    for (const auto& variable : env) SetEnvironmentVariableA(variable.first.c_str(), variable.second.c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=" + testName;
    ChildRun run = RunChild(commandLine, 30000, true, whileWaiting);
    for (const auto& variable : env) SetEnvironmentVariableA(variable.first.c_str(), nullptr);
    return run;
}

inline std::string Environment(const char* name) {
    char value[4096] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value) : std::string();
}

}  // namespace shelltest
