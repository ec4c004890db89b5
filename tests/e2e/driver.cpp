#include "driver.h"

#include <commctrl.h>
#include <strsafe.h>

namespace e2e {

namespace {

constexpr DWORD kPollMs = 10;
constexpr UINT kSendTimeoutMs = 3000;
constexpr int kBoxTextId = 0xFFFF;

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

struct TopLevelSearch {
    DWORD process;
    const std::function<bool(HWND)>* filter;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    if (ProcessOf(window) == search->process && IsWindowVisible(window) && (*search->filter)(window))
        search->found.push_back(window);
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (GetDlgCtrlID(window) != search->id || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// The visible top-level windows of a process that pass the filter.
std::vector<HWND> TopLevel(DWORD process, const std::function<bool(HWND)>& filter) {
    TopLevelSearch search = {process, &filter, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsBox(HWND window) { return ClassOf(window) == "#32770" && GetDlgItem(window, kBoxTextId) != nullptr; }
bool IsPlainDialog(HWND window) { return ClassOf(window) == "#32770" && GetDlgItem(window, kBoxTextId) == nullptr; }

// The one that takes input when several are up (a modal window disables its owner).
HWND PreferEnabled(const std::vector<HWND>& windows) {
    for (HWND window : windows)
        if (IsWindowEnabled(window)) return window;
    return windows.empty() ? nullptr : windows.front();
}

void KeyEvent(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Memory in the other process, for messages whose parameters point to data.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, SIZE_T size)
        : process_(process), base_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    char* At(SIZE_T offset) const { return static_cast<char*>(base_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return base_ && WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return base_ && ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }

private:
    HANDLE process_;
    void* base_;
};

PROCESS_INFORMATION StartProcess(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\"";
    if (!arguments.empty()) line += " " + arguments;
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return PROCESS_INFORMATION{};
    CloseHandle(process.hThread);
    return process;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

std::string ModuleDirectory() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, ARRAYSIZE(path));
    std::string directory(path, length < ARRAYSIZE(path) ? length : 0);
    const size_t slash = directory.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
}

std::string ProgramPath() { return ModuleDirectory() + "RemotePanel.exe"; }

std::string ProgramText(UINT id) {
    static HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[256] = {};
    if (program) LoadStringA(program, id, text, ARRAYSIZE(text));
    return text;
}

std::string Lines(const std::vector<UINT>& ids) {
    std::string text;
    for (UINT id : ids) text += (text.empty() ? "" : "\n") + ProgramText(id);
    return text;
}

// ---- Windows and controls ----

std::string Text(HWND window) {
    if (!window) return std::string();
    char text[1024] = {};
    SendWithin(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, ARRAYSIZE(name));
    return name;
}

bool Enabled(HWND window) { return window && IsWindowEnabled(window); }

bool Checked(HWND button) { return button && SendWithin(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

int Selected(HWND list) { return list ? static_cast<int>(SendWithin(list, CB_GETCURSEL, 0, 0)) : -1; }

HWND Child(HWND root, int id) {
    ChildSearch search = {id, nullptr};
    if (root) EnumChildWindows(root, FindVisibleChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void Choose(HWND combo, int row) {
    SendWithin(combo, CB_SETCURSEL, row, 0);
    PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void Type(HWND edit, const std::string& text) {
    SendWithin(edit, EM_SETSEL, 0, -1);
    for (unsigned char c : text) PostMessageA(edit, WM_CHAR, c, 1);
}

void Command(HWND window, WORD id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    for (WORD modifier : modifiers) KeyEvent(modifier, false);
    KeyEvent(key, false);
    KeyEvent(key, true);
    for (auto it = modifiers.end(); it != modifiers.begin();) KeyEvent(*--it, true);
}

// ---- The program ----

Program::Program(const std::string& arguments) : Program(StartProcess(ProgramPath(), arguments)) {}

Program::Program(const std::string& executable, const std::string& arguments)
    : Program(StartProcess(executable, arguments)) {}

Program::Program(const PROCESS_INFORMATION& started)
    : process_(started.hProcess), id_(started.dwProcessId), thread_(started.dwThreadId) {}

Program::~Program() {
    if (Running()) {
        TerminateProcess(process_.get(), 0xFFFFFFFF);
        WaitForSingleObject(process_.get(), kWaitMs);
    }
}

bool Program::Running() const { return Started() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD Program::ExitCode(DWORD timeoutMs) const {
    if (!Started() || !WaitUntil([this] { return !Running(); }, timeoutMs)) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND Program::MainWindow(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> windows = TopLevel(id_, [](HWND w) { return ClassOf(w) == "RPWndClass"; });
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

HWND Program::Panel() const {
    std::vector<HWND> windows = TopLevel(id_, [](HWND w) { return ClassOf(w) == "RPWndClass"; });
    return windows.empty() ? nullptr : FindWindowExA(windows.front(), nullptr, "#32770", nullptr);
}

HWND Program::Control(int id) const { return Child(Panel(), id); }

HWND Program::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread_, &info) ? info.hwndFocus : nullptr;
}

HWND Program::WaitDialog(const std::string& caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = PreferEnabled(TopLevel(id_, [&](HWND w) {
                return IsPlainDialog(w) && (caption.empty() || Text(w) == caption);
            }));
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

bool Program::DialogOpen() const { return !TopLevel(id_, IsPlainDialog).empty(); }

Box Program::WaitBox(DWORD timeoutMs) const {
    Box box;
    WaitUntil(
        [&] {
            box.window = PreferEnabled(TopLevel(id_, IsBox));
            return box.window != nullptr || !Running();
        },
        timeoutMs);
    if (box.window) {
        box.caption = Text(box.window);
        box.text = Text(GetDlgItem(box.window, kBoxTextId));
    }
    return box;
}

bool Program::BoxOpen() const { return !TopLevel(id_, IsBox).empty(); }
int Program::BoxCount() const { return static_cast<int>(TopLevel(id_, IsBox).size()); }

bool Program::Answer(const Box& box, int button) const {
    HWND control = box.window ? GetDlgItem(box.window, button) : nullptr;
    if (!control) return false;
    Click(control);
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

bool Program::WaitReady(DWORD timeoutMs) const {
    const std::string ready = ProgramText(93);
    return WaitUntil([&] { return Status() == ready && Enabled(Control(1159)); }, timeoutMs);
}

int Program::Tab() const { return static_cast<int>(SendWithin(Tabs(), TCM_GETCURSEL, 0, 0)); }

bool Program::ShowTab(int index) const {
    HWND tabs = Tabs();
    if (!tabs) return false;
    SendWithin(tabs, TCM_SETCURFOCUS, index, 0);
    return WaitUntil([&] { return SendWithin(tabs, TCM_GETCURSEL, 0, 0) == index; });
}

bool Program::Foreground() const {
    HWND main = MainWindow();
    if (!main) return false;
    SetForegroundWindow(main);
    return WaitUntil([&] { return ProcessOf(GetForegroundWindow()) == id_; });
}

// ---- The selection dialog's list ----

std::vector<std::string> ListRows(const Program& program, HWND listView) {
    std::vector<std::string> rows;
    RemoteMemory memory(program.Process(), 1024);
    const int count = static_cast<int>(SendWithin(listView, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = memory.At(sizeof item);
        item.cchTextMax = 256;
        char text[256] = {};
        if (!memory.Write(0, &item, sizeof item) || !memory.Write(sizeof item, text, sizeof text)) break;
        SendWithin(listView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(memory.At(0)));
        memory.Read(sizeof item, text, sizeof text - 1);
        rows.push_back(text);
    }
    return rows;
}

bool ChooseListRow(const Program& program, HWND listView, int row) {
    RemoteMemory memory(program.Process(), sizeof(LVITEMA));
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!memory.Write(0, &item, sizeof item)) return false;
    return SendWithin(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory.At(0))) != 0;
}

}  // namespace e2e
