// Shared by every Win32 test: the program's message-box and help seams
// recorded, and the message pump.
//
// The recorders nest: each one takes over its seam for its lifetime and, when
// it goes, hands the seam back to the recorder that had it before (or to the
// real message box and help engines when there was none).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "messages.h"

// ---- Messages ----

// Dispatches every message waiting for this thread (no waiting for new ones).
void PumpPending();
// Pumps messages until condition() holds or timeoutMs pass; returns condition().
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);

namespace seams {

// ---- The message-box seam ----

struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
    bool hadNull = false;  // the text or the caption came as a null pointer (recorded as "")
};

// Records every box for its lifetime and answers with the queued answers in
// order, then with `answer` (IDOK unless changed). onBox, when set, runs as
// each box comes up, after it is recorded.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    std::vector<RecordedBox> boxes;
    std::vector<int> answers;
    int answer = IDOK;
    std::function<void(const RecordedBox&)> onBox;

    std::vector<std::string> Texts() const;

private:
    static int Hook(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
    BoxRecorder* previous_;
};

// ---- The help seam ----

struct HelpCall {
    HelpEngine engine;
    HWND window;
    std::string file;  // "(null)" for a null pointer
    UINT command;
    ULONG_PTR data;
};

// Records every help call for its lifetime. Calls of the WinHelp engine
// succeed; calls of the HTML Help engine return htmlHelpResult.
class HelpRecorder {
public:
    HelpRecorder();
    ~HelpRecorder();
    HelpRecorder(const HelpRecorder&) = delete;
    HelpRecorder& operator=(const HelpRecorder&) = delete;

    std::vector<HelpCall> calls;
    BOOL htmlHelpResult = TRUE;

private:
    static BOOL Hook(HelpEngine engine, HWND window, LPCSTR file, UINT command, ULONG_PTR data);
    HelpRecorder* previous_;
};

}  // namespace seams
