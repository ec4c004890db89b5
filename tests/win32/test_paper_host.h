// A window that plays the panel for the setting pages: it holds the tab
// control 284 and a PanelState in its user data (so the real tab host can show
// and create the pages from the program's own templates and page table), and
// it records every changed notice a page sends. Beside it: the message-box and
// help seams recorded, and a driver for modal sub-dialogs that runs scripted
// steps each time the dialog's message loop goes idle.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <strsafe.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app.h"
#include "codec.h"
#include "messages.h"
#include "page_common.h"
#include "page_table.h"
#include "panel.h"
#include "resource.h"
#include "settings.h"
#include "support_seams.h"

namespace pagetest {

// ---- The message-box and help seams, recorded (support_seams.h) ----

using seams::HelpCall;
using seams::RecordedBox;

// Gives the help routine a WinHelp file without touching the registry that
// other test programs of the run share: the path is read only while empty.
class HelpFileRegistry {
public:
    HelpFileRegistry() { StringCchCopyA(HelpFilePath, ARRAYSIZE(HelpFilePath), "C:\\panel\\help\\remote.hlp"); }
    ~HelpFileRegistry() { HelpFilePath[0] = '\0'; }
    HelpFileRegistry(const HelpFileRegistry&) = delete;
    HelpFileRegistry& operator=(const HelpFileRegistry&) = delete;
};

// ---- Controls ----

inline std::string ControlText(HWND dialog, int id) {
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

inline std::string Caption(HWND window) {
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// A mouse click on a button, as the user makes it.
inline void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    PumpPending();
}

// One keystroke typed into an edit that has the focus.
inline void Type(HWND dialog, int id, char character) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(character), 1);
    PumpPending();
}

// Replaces the whole text of an edit by typing: select all, erase, then one
// keystroke per character.
inline void TypeText(HWND dialog, int id, const char* text) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (const char* c = text; *c; ++c) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
    PumpPending();
}

inline int ComboCount(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0)); }
inline int ComboSelected(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}
inline std::string ComboRowText(HWND dialog, int id, int row) {
    LRESULT length = SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, row, 0);
    if (length == CB_ERR) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::strlen(text.c_str()));
    return text;
}
// The text of the selected row, "(none)" without a selection.
inline std::string SelectedText(HWND dialog, int comboId) {
    const int row = ComboSelected(dialog, comboId);
    return row < 0 ? std::string("(none)") : ComboRowText(dialog, comboId, row);
}
// Chooses a row of a drop-down list the way the user does: the list reports
// the new selection to its dialog.
inline void ChooseRow(HWND dialog, int id, int row) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, row, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    PumpPending();
}

// An icon of the program as LoadImage shares it, and the icon a static shows.
inline HICON SharedIcon(int id) {
    return static_cast<HICON>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
inline HICON IconShown(HWND dialog, int staticId) {
    return reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, staticId, STM_GETICON, 0, 0));
}

inline std::string StringResource(UINT id) {
    char text[512] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

// ---- The host ----

constexpr char kHostClass[] = "PagesTestHost";
// Smaller than every page: a page fills it and keeps its template's size.
constexpr RECT kPageArea = {10, 20, 60, 50};

class PageHost {
public:
    PageHost() {
        SetAppInstance(GetModuleHandleA(nullptr));
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = AppInstance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kHostClass;
        RegisterClassA(&windowClass);  // fails harmlessly when already registered

        active_ = this;
        window_ = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 520, nullptr,
                                  nullptr, AppInstance, nullptr);
        tab_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 8, 8, 600, 440,
                               window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TABS)), AppInstance, nullptr);
        for (int i = 0; i < kPageCount; ++i) {
            char text[16] = "tab";
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            SendMessageA(tab_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        state_ = static_cast<PanelState*>(LocalAlloc(LPTR, sizeof(PanelState)));
        state_->tabControl = tab_;
        state_->PageArea = kPageArea;
        for (int i = 0; i < kPageCount; ++i) {
            state_->templates[i] = FindPageTemplate(kPageTable[i].templateId);
            state_->procedures[i] = kPageTable[i].procedure;
        }
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_));
        LinkPagesToPanel();  // as the panel's SetUpTabs does
        PanelWindow = window_;
        SetForegroundWindow(window_);
    }

    ~PageHost() {
        for (HWND& page : state_->pages) {
            if (page) DestroyWindow(page);
            page = nullptr;
        }
        DestroyWindow(window_);
        LocalFree(state_);
        PanelWindow = nullptr;
        SetForegroundRole(nullptr);
        active_ = nullptr;
        PumpPending();
    }

    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    // Every message box and help call while the host lives.
    seams::BoxRecorder boxes;
    seams::HelpRecorder help;

    HWND window() const { return window_; }
    HWND tab() const { return tab_; }
    PanelState& state() { return *state_; }

    // Shows a tab's page through the real tab host, the way a tab click does.
    HWND Show(int index) {
        SendMessageA(tab_, TCM_SETCURSEL, index, 0);
        ShowPage(window_, index);
        PumpPending();
        return state_->pages[index];
    }

    // Changed notices received (the wParam of each), and from which page.
    std::vector<HWND> notices;
    int NoticesFrom(HWND page) const {
        int count = 0;
        for (HWND from : notices) count += from == page ? 1 : 0;
        return count;
    }

    // Sends RPM_STORE and returns the result the page wrote (-1 when it wrote none).
    static int Store(HWND page) {
        int result = -1;
        SendMessageA(page, RPM_STORE, 0, reinterpret_cast<LPARAM>(&result));
        return result;
    }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == RPM_SETTINGCHANGED && active_) {
            active_->notices.push_back(reinterpret_cast<HWND>(wParam));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static inline PageHost* active_ = nullptr;
    HWND window_ = nullptr;
    HWND tab_ = nullptr;
    PanelState* state_ = nullptr;
};

// ---- The page fixture ----

// A PageHost on the factory record, the custom feeds cleared; OpenPage shows
// the page of tab kIndex. Boxes() and HelpCalls() are what the host recorded.
template <int kIndex>
class PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadDefaultSettings();
        ClearCustomFeeds(&CustomFeeds);
    }
    // Creates the page through the tab host with the record as it stands.
    HWND OpenPage() {
        HWND page = host.Show(kIndex);
        EXPECT_NE(page, nullptr);
        return page;
    }
    std::vector<RecordedBox>& Boxes() { return host.boxes.boxes; }
    std::vector<HelpCall>& HelpCalls() { return host.help.calls; }
    PageHost host;
};

// A page fills the page area from its corner.
inline void ExpectPlacedInPageArea(const PageHost& host, HWND page) {
    RECT rect;
    GetWindowRect(page, &rect);
    MapWindowPoints(nullptr, host.window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, kPageArea.left);
    EXPECT_EQ(rect.top, kPageArea.top);
    EXPECT_GE(rect.right, kPageArea.right);
    EXPECT_GE(rect.bottom, kPageArea.bottom);
}

// Every control of the list enabled (or every one disabled).
template <size_t kCount>
void ExpectEnabled(HWND dialog, const int (&ids)[kCount], bool enabled) {
    for (int id : ids) EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE, enabled) << "control " << id;
}

// ---- Modal sub-dialogs ----

// Drives the next modal dialog: each time its message loop goes idle
// (WM_ENTERIDLE from a dialog box), the next step runs with the dialog. When
// the steps are used up and the dialog is still open, it is cancelled and the
// script reports that it ran out.
class ModalScript {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~ModalScript() {
        if (hook_) UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    HWND dialog() const { return dialog_; }
    size_t stepsRun() const { return next_; }
    bool ranOut() const { return ranOut_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        ModalScript* script = active_;
        if (code == HC_ACTION && script && !script->running_ && call->message == WM_ENTERIDLE &&
            call->wParam == MSGF_DIALOGBOX) {
            script->running_ = true;
            HWND dialog = reinterpret_cast<HWND>(call->lParam);
            script->dialog_ = dialog;
            if (script->next_ < script->steps_.size()) {
                script->steps_[script->next_++](dialog);
            } else {
                script->ranOut_ = true;
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            script->running_ = false;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline ModalScript* active_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool running_ = false;
    bool ranOut_ = false;
    HWND dialog_ = nullptr;
    HHOOK hook_ = nullptr;
};

// ---- User changes ----

// A change the user makes on a page, and the icon a static then shows
// (iconStatic 0: no icon to check).
struct UserChange {
    const char* label;
    std::function<void()> act;
    int iconStatic;
    int icon;
};

// Each change, in order, sends exactly one notice, from the page, and brings its icon.
template <size_t kCount>
void ExpectOneNoticeEach(PageHost& host, HWND page, const UserChange (&changes)[kCount]) {
    for (const UserChange& c : changes) {
        SCOPED_TRACE(c.label);
        host.notices.clear();
        c.act();
        EXPECT_EQ(host.NoticesFrom(page), 1);
        EXPECT_EQ(host.notices.size(), 1u);
        if (c.iconStatic) {
            EXPECT_EQ(IconShown(page, c.iconStatic), SharedIcon(c.icon));
        }
    }
}

// ---- Templates ----

// One control of a template: its class, its text (null: not checked) and its
// help context in the program's table.
struct ControlCase {
    int id;
    const char* className;
    const char* text;
    DWORD helpContext;
};

inline void ExpectControls(HWND dialog, const ControlCase* cases, size_t count, bool createdDisabled) {
    for (size_t i = 0; i < count; ++i) {
        const ControlCase& c = cases[i];
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr) << "control " << c.id;
        char className[64] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_STRCASEEQ(className, c.className) << "control " << c.id;
        if (c.text) {
            EXPECT_EQ(ControlText(dialog, c.id), c.text) << "control " << c.id;
        }
        EXPECT_EQ(HelpContextOf(c.id), c.helpContext) << "help context of " << c.id;
        if (createdDisabled) {
            EXPECT_FALSE(IsWindowEnabled(control)) << "control " << c.id << " starts disabled";
        }
        if (strcmp(c.className, "ComboBox") == 0) {
            EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & 3, CBS_DROPDOWNLIST) << "control " << c.id;
        }
        if (strcmp(c.className, "Edit") == 0) {
            EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & ES_NUMBER) << "control " << c.id;
        }
    }
}

struct SpinCase {
    int spin;
    int edit;
    int low;
    int high;
};

inline void ExpectSpins(HWND dialog, const SpinCase* cases, size_t count) {
    const LONG wanted = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ARROWKEYS | UDS_ALIGNRIGHT;
    for (size_t i = 0; i < count; ++i) {
        const SpinCase& s = cases[i];
        HWND spin = GetDlgItem(dialog, s.spin);
        EXPECT_EQ(GetWindowLongA(spin, GWL_STYLE) & wanted, wanted) << "spin " << s.spin;
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)), GetDlgItem(dialog, s.edit))
            << "spin " << s.spin;
        int low = -1, high = -1;
        SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(low, s.low) << "spin " << s.spin;
        EXPECT_EQ(high, s.high) << "spin " << s.spin;
    }
}

inline void ExpectSize(HWND dialog, int width, int height) {
    RECT size = {0, 0, width, height};
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
}

// Context help on a page or dialog, through the help seam: F1 on a control
// and the right mouse button (at menuPoint) on another.
inline void ExpectContextHelp(HWND dialog, int helpId, int menuId, LPARAM menuPoint = 0) {
    seams::HelpRecorder help;
    std::vector<HelpCall>& calls = help.calls;
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = helpId;
    info.hItemHandle = GetDlgItem(dialog, helpId);
    SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, menuId)), menuPoint);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].window, GetDlgItem(dialog, helpId));
    EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_WM_HELP));
    EXPECT_EQ(calls[0].data, reinterpret_cast<ULONG_PTR>(HelpContextTable));
    EXPECT_EQ(calls[1].window, GetDlgItem(dialog, menuId));
    EXPECT_EQ(calls[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
    EXPECT_EQ(calls[1].data, reinterpret_cast<ULONG_PTR>(HelpContextTable));
}

// ---- Records ----

inline SettingsRecord FactoryRecord() {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    return record;
}

inline bool SameRecord(const SettingsRecord& a, const SettingsRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The update command the record turns into, with the program-wide custom values.
inline std::string CommandOf(const SettingsRecord& record) {
    uint8_t block[kSettingsBlockSize];
    uint8_t area[kCommandAreaSize];
    EncodeSettings(record, CustomFeeds, block);
    BuildUpdateCommand(block, area);
    return std::string(reinterpret_cast<const char*>(area), kUpdateCommandSize);
}

}  // namespace pagetest
