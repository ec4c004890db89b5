// The texts and console lines of rpsettings.
#include "tool_output.h"

#include <cstdarg>
#include <cstdio>

#include "console_out.h"
#include "key_name.h"
#include "messages.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "settings_file_pure.h"
#include "text_pure.h"

namespace rps {

std::string Text(UINT id) {
    char text[kTextSize];
    LoadText(id, text, kTextSize);
    return text;
}

std::string Usage() {
    char text[4096];
    LoadText(IDS_RPS_USAGE, text, sizeof text);
    return text;
}

// A text of the string table used as a format.
std::string Compose(UINT id, ...) {
    char format[kTextSize];
    LoadText(id, format, kTextSize);
    char text[8 * kTextSize];  // room for long printer names and paths
    va_list args;
    va_start(args, id);
    FormatTextV(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// A panel text for the console: without the panel's own ending ("the panel
// ends"), which a console tool does not do, and on one line.
std::string ConsoleText(std::string text) {
    const std::string ending = Text(IDS_PANEL_ENDS);
    for (size_t at = 0; !ending.empty() && at < text.size();) {
        if (text.compare(at, ending.size(), ending) == 0) {
            text.erase(at, ending.size());
            continue;
        }
        at += IsShiftJisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    std::string line;
    for (char c : text) {
        if (c != '\n') line += c;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

void Out(const std::string& text) { WriteStd(STD_OUTPUT_HANDLE, text); }

void OutUtf8(const std::string& text) { WriteStd(STD_OUTPUT_HANDLE, text, CP_UTF8); }

void Err(const std::string& text) {
    std::fflush(stdout);
    WriteStd(STD_ERROR_HANDLE, text + "\n");
}

// The panel's message boxes (discovery and the like) are lines on the console here.
int ConsoleMessageBox(HWND, LPCSTR text, LPCSTR, UINT) {
    const std::string line = ConsoleText(TextOrEmpty(text));
    if (!line.empty()) Err(line);
    return IDOK;
}

std::string ControlTexts::Resolve(void*, int templateId, int textRef) {
    if (textRef == kTextOn) return Text(IDS_RPS_ON);
    if (textRef == kTextOff) return Text(IDS_RPS_OFF);
    char text[kTextSize];
    LoadControlText(templateId, textRef, text, kTextSize);
    return text;
}

}  // namespace rps
