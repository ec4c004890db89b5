#include "support_seams.h"

// ---- Messages ----

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (condition()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return condition();
        // Sleeps until a message comes or a short slice passes, then looks again.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed < 20 ? timeoutMs - elapsed : 20,
                                  QS_ALLINPUT);
    }
}

namespace seams {

namespace {
BoxRecorder* activeBoxes = nullptr;
HelpRecorder* activeHelp = nullptr;
}  // namespace

// ---- The message-box seam ----

BoxRecorder::BoxRecorder() : previous_(activeBoxes) {
    activeBoxes = this;
    SetMessageBoxHook(&BoxRecorder::Hook);
}

BoxRecorder::~BoxRecorder() {
    activeBoxes = previous_;
    SetMessageBoxHook(previous_ ? &BoxRecorder::Hook : nullptr);
}

std::vector<std::string> BoxRecorder::Texts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes) texts.push_back(box.text);
    return texts;
}

int BoxRecorder::Hook(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    BoxRecorder* self = activeBoxes;
    if (!self) return IDOK;
    self->boxes.push_back({owner, text ? text : "", caption ? caption : "", style, !text || !caption});
    if (self->onBox) self->onBox(self->boxes.back());
    if (self->answers.empty()) return self->answer;
    const int answer = self->answers.front();
    self->answers.erase(self->answers.begin());
    return answer;
}

// ---- The help seam ----

HelpRecorder::HelpRecorder() : previous_(activeHelp) {
    activeHelp = this;
    SetHelpHook(&HelpRecorder::Hook);
}

HelpRecorder::~HelpRecorder() {
    activeHelp = previous_;
    SetHelpHook(previous_ ? &HelpRecorder::Hook : nullptr);
}

BOOL HelpRecorder::Hook(HelpEngine engine, HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    HelpRecorder* self = activeHelp;
    if (!self) return TRUE;
    self->calls.push_back({engine, window, file ? file : "(null)", command, data});
    return engine == HelpEngineHtmlHelp ? self->htmlHelpResult : TRUE;
}

}  // namespace seams
