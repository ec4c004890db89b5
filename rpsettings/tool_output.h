// What every part of rpsettings says and how: its exit codes, the texts of
// the program's string table, the console lines on standard output and
// error, the panel's message boxes as console lines, and the captions of the
// pages' controls for the settings' texts.
#pragma once
#include <windows.h>

#include <string>

namespace rps {

constexpr int kExitOk = 0;
constexpr int kExitDiffers = 1;      // diff: something differs; apply: a printer was not set, or a
                                     // result is missing from the change log
constexpr int kExitUsage = 2;        // arguments, the file or the password
constexpr int kExitPrinter = 3;      // a printer could not be read
constexpr int kExitNotVerified = 4;  // apply: written, but the read-back could not be made
constexpr int kExitInterrupted = 5;  // Ctrl+C: what was done is reported

std::string Text(UINT id);
std::string Usage();
// A text of the string table used as a format.
std::string Compose(UINT id, ...);
// A panel text for the console: without the panel's own ending ("the panel
// ends"), which a console tool does not do, and on one line.
std::string ConsoleText(std::string text);

void Out(const std::string& text);      // standard output, in the ANSI code page
void OutUtf8(const std::string& text);  // standard output, in UTF-8
void Err(const std::string& text);      // a line on standard error
// The panel's message boxes (discovery and the like) are lines on the console here.
int ConsoleMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

// The captions of the pages' radios and check boxes, read from the program's
// own dialog templates (no window, so no display is needed).
class ControlTexts {
public:
    static std::string Resolve(void*, int templateId, int textRef);
};

}  // namespace rps
