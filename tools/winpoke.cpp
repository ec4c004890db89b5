// winpoke: steers the panel from outside for tools/screenshots.sh. It waits
// for windows and controls and posts the messages a user's click or key would
// cause; nothing else. Windows are matched by a part of their caption (UTF-8
// on the command line), controls by their id among the visible windows.
//
//   winpoke wait CAPTION          waits for the window, prints its rectangle as WxH+X+Y
//   winpoke gone CAPTION          waits until no such window is left
//   winpoke enabled ID            waits until a visible control ID is enabled
//   winpoke click ID              posts BN_CLICKED of the control ID to its parent
//   winpoke key ID VK             posts a key press (VK decimal) to the control ID
//   winpoke settext ID TEXT       sets the text of the control ID
// (each of the last three first waits as "enabled" does)
//   winpoke command CAPTION ID    posts WM_COMMAND ID to the window (OK, Cancel)
//   winpoke syscommand CAPTION ID posts WM_SYSCOMMAND ID to the window
//   winpoke post CAPTION MESSAGE  posts MESSAGE (wParam 0, lParam 0), as the suite
//                                 posts 1124 when its printers changed
//
// Exit code 0 when done, 1 when the wait ran out (30 s), 2 on bad arguments.
#include <windows.h>
#include <strsafe.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kPollMs = 50;

struct Search {
    const wchar_t* caption;  // top-level windows: part of the caption
    int id;                  // visible, enabled controls: the id (caption null)
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    if (GetDlgCtrlID(window) != search->id || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    if (!IsWindowVisible(window)) return TRUE;
    if (search->caption == nullptr) {
        EnumChildWindows(window, MatchChild, lParam);
        return search->found == nullptr;
    }
    wchar_t text[512] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    if (std::wcsstr(text, search->caption) == nullptr) return TRUE;
    search->found = window;
    return FALSE;
}

HWND Find(const wchar_t* caption, int id) {
    Search search = {caption, id, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls until the window is there (present) or gone (!present); false when
// the wait ran out.
bool WaitFor(const wchar_t* caption, int id, bool present, HWND* window) {
    const DWORD start = GetTickCount();
    for (;;) {
        *window = Find(caption, id);
        if ((*window != nullptr) == present) return true;
        if (GetTickCount() - start > kWaitMs) return false;
        Sleep(kPollMs);
    }
}

bool Number(const wchar_t* text, int* value) {
    wchar_t* end = nullptr;
    const long parsed = std::wcstol(text, &end, 0);
    if (end == text || *end != L'\0') return false;
    *value = static_cast<int>(parsed);
    return true;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const wchar_t* verb = argv[1];
    int id = 0;
    if (std::wcscmp(verb, L"wait") == 0 || std::wcscmp(verb, L"gone") == 0) {
        const bool present = verb[0] == L'w';
        HWND window = nullptr;
        if (!WaitFor(argv[2], 0, present, &window)) return 1;
        if (present) {
            RECT rect = {};
            GetWindowRect(window, &rect);
            wchar_t out[64] = {};
            StringCchPrintfW(out, ARRAYSIZE(out), L"%ldx%ld+%ld+%ld\n", rect.right - rect.left,
                             rect.bottom - rect.top, rect.left, rect.top);
            std::fputws(out, stdout);
        }
        return 0;
    }
    if (std::wcscmp(verb, L"command") == 0 || std::wcscmp(verb, L"syscommand") == 0 ||
        std::wcscmp(verb, L"post") == 0) {
        if (argc != 4 || !Number(argv[3], &id)) return 2;
        HWND window = nullptr;
        if (!WaitFor(argv[2], 0, true, &window)) return 1;
        if (verb[0] == L'p') return PostMessageW(window, static_cast<UINT>(id), 0, 0) ? 0 : 1;
        const UINT message = verb[0] == L'c' ? WM_COMMAND : WM_SYSCOMMAND;
        return PostMessageW(window, message, static_cast<WPARAM>(id), 0) ? 0 : 1;
    }
    if (!Number(argv[2], &id)) return 2;
    HWND control = nullptr;
    if (!WaitFor(nullptr, id, true, &control)) return 1;
    if (std::wcscmp(verb, L"enabled") == 0 && argc == 3) return 0;
    if (std::wcscmp(verb, L"click") == 0 && argc == 3) {
        return PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(control))
                   ? 0
                   : 1;
    }
    int key = 0;
    if (std::wcscmp(verb, L"key") == 0 && argc == 4 && Number(argv[3], &key)) {
        const BOOL down = PostMessageW(control, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        const BOOL up = PostMessageW(control, WM_KEYUP, static_cast<WPARAM>(key), 0xC0000001);
        return down && up ? 0 : 1;
    }
    if (std::wcscmp(verb, L"settext") == 0 && argc == 4) {
        return SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3])) ? 0 : 1;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) { return Run(argc, argv); }
