// The outside driver: starts the real RemotePanel.exe as a child process and
// works it as a user does, through its windows only: finds the main window,
// the panel, its pages, dialogs and message boxes, reads control texts and
// states, clicks, types, chooses rows and answers boxes. Every wait is on a
// condition with a deadline; nothing sleeps for a fixed time.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scoped.h"

namespace e2e {

constexpr DWORD kWaitMs = 8000;  // the longest any single condition may take

// Polls condition() until it holds or timeoutMs pass, pumping this thread's
// messages meanwhile; returns condition().
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);

// The folder of this test executable (with its backslash), the program
// beside it, and the program's own string resources.
std::string ModuleDirectory();
std::string ProgramPath();
std::string ProgramText(UINT id);
// Texts of the program joined with "\n", as its two-line boxes show them.
std::string Lines(const std::vector<UINT>& ids);

// ---- Windows and controls (any process) ----

std::string Text(HWND window);      // WM_GETTEXT
std::string ClassOf(HWND window);
bool Enabled(HWND window);
bool Checked(HWND button);
int Selected(HWND list);            // CB_GETCURSEL of a combo box
HWND Child(HWND root, int id);      // a visible descendant with that id, or null

void Click(HWND button);                          // posted BM_CLICK
void Choose(HWND combo, int row);                 // as a user's choice: selection, then CBN_SELCHANGE
void Type(HWND edit, const std::string& text);    // replaces the text, one typed character at a time
void Command(HWND window, WORD id);               // posted WM_COMMAND, as a toolbar button or accelerator

// Keys as the keyboard gives them to the foreground window. A key is a
// virtual key; modifiers are VK_SHIFT, VK_CONTROL or VK_MENU.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// A message box: a "#32770" window whose text control has the id 0xFFFF.
struct Box {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// ---- The program ----

class Program {
public:
    // Starts RemotePanel.exe with the arguments (Shift-JIS) after its name.
    explicit Program(const std::string& arguments = std::string());
    // Starts another program (a full path) the same way, to be worked the same way.
    Program(const std::string& executable, const std::string& arguments);
    // Ends the process when it is still running.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return process_.get() != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Process() const { return process_.get(); }
    bool Running() const;
    // Waits for the end; the exit code, or 0xFFFFFFFF when it did not end in time.
    DWORD ExitCode(DWORD timeoutMs = kWaitMs) const;

    // The main window ("RPWndClass"), once it is shown; null when it never is.
    HWND MainWindow(DWORD timeoutMs = kWaitMs) const;
    HWND Panel() const;                       // the panel dialog inside the main window
    HWND Control(int id) const;               // a visible control of the panel or its shown page
    HWND Tabs() const { return Control(284); }
    int Tab() const;                          // the index of the tab shown
    std::string Status() const { return Text(Control(281)); }
    bool UpdateEnabled() const { return Enabled(Control(12321)); }
    // The window that has the keyboard focus in the program.
    HWND Focus() const;

    // A dialog of the program that is not a message box, with that caption
    // when one is given; null when none comes in time.
    HWND WaitDialog(const std::string& caption = std::string(), DWORD timeoutMs = kWaitMs) const;
    bool DialogOpen() const;
    // The next message box; an empty Box when none comes in time.
    Box WaitBox(DWORD timeoutMs = kWaitMs) const;
    bool BoxOpen() const;
    int BoxCount() const;
    // Answers a box with one of its buttons (IDOK, IDCANCEL, IDRETRY, IDYES, IDNO)
    // and waits until it is gone.
    bool Answer(const Box& box, int button) const;

    // The settings are shown: status "read and update", pages enabled.
    bool WaitReady(DWORD timeoutMs = kWaitMs) const;
    // Shows the tab with that index as a click on it does.
    bool ShowTab(int index) const;
    // Brings the main window forward so that keys reach it.
    bool Foreground() const;

private:
    explicit Program(const PROCESS_INFORMATION& started);
    ScopedHandle process_;
    DWORD id_ = 0;
    DWORD thread_ = 0;
};

// Rows of the selection dialog's list view, read and chosen from outside
// (the row texts live in the other process's memory).
std::vector<std::string> ListRows(const Program& program, HWND listView);
bool ChooseListRow(const Program& program, HWND listView, int row);

}  // namespace e2e
