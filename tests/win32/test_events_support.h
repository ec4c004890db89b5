// Helpers for the Win32 tests of the update procedure and of the panel's
// reactions to printer events: message boxes answered by a script that may
// act while "the box is up" (where a real box would run its modal loop),
// posted messages of the panel counted, and the panel's state read back.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "codec.h"
#include "test_panel_support.h"

namespace eventtest {

using paneltest::ControlEnabled;
using paneltest::ControlText;
using paneltest::kWaitMs;
using paneltest::ToolbarEnabled;
using paneltest::WindowCaption;
using shelltest::RecordedBox;
using shelltest::Text;
using shelltest::Title;

// ---- Message boxes answered by a script ----

// Records every box through the program's seam, in the order they come up
// (a box opened while another one is up comes after it). A rule for a text
// runs when such a box comes up, in place of the box's modal loop, and gives
// the answer; boxes without a rule are answered with IDOK.
class ScriptedBoxes {
public:
    // occurrence counts the boxes of that text, from 1.
    using Rule = std::function<int(int occurrence)>;

    ScriptedBoxes() { Install(); }
    ~ScriptedBoxes() {
        SetMessageBoxHook(nullptr);
        if (active_ == this) active_ = nullptr;
    }
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

    // Makes this script the seam's answer again (after another recorder).
    void Install() {
        active_ = this;
        SetMessageBoxHook(&ScriptedBoxes::Hook);
    }
    void Reset() {
        boxes.clear();
        rules_.clear();
        seen_.clear();
    }
    void On(const std::string& text, Rule rule) { rules_[text] = std::move(rule); }
    // The same answers, in order, to boxes of that text (IDOK when used up).
    void Answer(const std::string& text, std::vector<int> answers) {
        auto queue = std::make_shared<std::vector<int>>(std::move(answers));
        On(text, [queue](int occurrence) {
            return occurrence <= static_cast<int>(queue->size()) ? (*queue)[occurrence - 1] : IDOK;
        });
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const RecordedBox& box : boxes) texts.push_back(box.text);
        return texts;
    }
    int Count(const std::string& text) const {
        int count = 0;
        for (const RecordedBox& box : boxes) count += box.text == text ? 1 : 0;
        return count;
    }

    std::vector<RecordedBox> boxes;

private:
    static int Hook(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
        ScriptedBoxes* self = active_;
        if (!self) return IDOK;
        const std::string shown = text ? text : "";
        self->boxes.push_back({owner, shown, caption ? caption : "", style});
        const int occurrence = ++self->seen_[shown];
        auto rule = self->rules_.find(shown);
        if (rule == self->rules_.end()) return IDOK;
        Rule copy = rule->second;  // the rule may add rules
        return copy(occurrence);
    }

    std::map<std::string, Rule> rules_;
    std::map<std::string, int> seen_;
    static inline ScriptedBoxes* active_ = nullptr;
};

// ---- Messages posted to the panel ----

// Counts the messages of one number that the panel takes from its queue.
class PostedToPanel {
public:
    explicit PostedToPanel(UINT message) : message_(message) {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, &PostedToPanel::Hook, nullptr, GetCurrentThreadId());
    }
    ~PostedToPanel() {
        if (hook_) UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    PostedToPanel(const PostedToPanel&) = delete;
    PostedToPanel& operator=(const PostedToPanel&) = delete;
    bool Hooked() const { return hook_ != nullptr; }
    int count = 0;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && active_ && message && PanelWindow &&
            message->hwnd == PanelWindow && message->message == active_->message_)
            ++active_->count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    UINT message_;
    HHOOK hook_ = nullptr;
    static inline PostedToPanel* active_ = nullptr;
};

// ---- The panel's state ----

inline std::string StatusShown() { return PanelWindow ? ControlText(PanelWindow, IDC_STATUSTEXT) : std::string(); }

inline bool WaitForStatus(const std::string& text, DWORD timeoutMs = kWaitMs) {
    return PumpUntil([&] { return StatusShown() == text; }, timeoutMs);
}

// The panel over simulated printers, with message boxes answered by script_.
class EventsTest : public paneltest::PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        script_.Reset();
        script_.Install();
    }

    std::string Caption() const {
        return Title() + " - " + (CurrentPrinter && CurrentPrinter->name ? CurrentPrinter->name : "");
    }

    ScriptedBoxes script_;
};

inline bool UpdateButtonsOn() { return ControlEnabled(IDC_UPDATE) && ControlEnabled(IDC_UPDATEQUIT); }
inline bool UpdateButtonsOff() { return !ControlEnabled(IDC_UPDATE) && !ControlEnabled(IDC_UPDATEQUIT); }

inline HWND PageWindow(int index) {
    PanelState* state = GetPanelState(PanelWindow);
    return state ? state->pages[index] : nullptr;
}

// The first page's marker control stands for the enabled state of all pages.
inline bool PagesOn() {
    HWND page = PageWindow(0);
    return page && IsWindowEnabled(GetDlgItem(page, IDC_PAGE0_MARKER)) != FALSE;
}

// Clicks a button or check box of a window as the mouse would.
inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// ---- Settings blocks and commands ----

// The factory block with some bytes changed.
inline std::vector<uint8_t> BlockWith(const std::vector<std::pair<size_t, uint8_t>>& bytes) {
    std::vector<uint8_t> block = FactoryBlock();
    for (const auto& byte : bytes) block[byte.first] = byte.second;
    return block;
}

// The record a block decodes to (the custom values into *custom).
inline SettingsRecord Decoded(const std::vector<uint8_t>& block, CustomFeedTable* custom) {
    SettingsRecord record;
    InvalidateSettings(&record);
    ClearCustomFeeds(custom);
    DecodeSettingsBlock(block.data(), &record, custom);
    return record;
}

// The 260-byte command area a record and its custom values are written as.
inline std::vector<uint8_t> CommandOf(const SettingsRecord& record, const CustomFeedTable& custom) {
    uint8_t block[kSettingsBlockSize] = {};
    EncodeSettings(record, custom, block);
    std::vector<uint8_t> area(kCommandAreaSize);
    BuildUpdateCommand(block, area.data());
    return area;
}

// Characters of the command at a position.
inline std::string CommandField(const std::vector<uint8_t>& area, size_t position, size_t width) {
    if (area.size() < position + width) return std::string();
    return std::string(reinterpret_cast<const char*>(area.data()) + position, width);
}

}  // namespace eventtest
