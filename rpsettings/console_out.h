// Standard output and error of rpsettings. On a console a text goes through
// the console's wide-character call, so that its Japanese shows right
// whatever code page the console is set to (PowerShell 7 often sets UTF-8);
// to a file or a pipe its bytes go unchanged, so scripts read what they
// always read (the texts in the ANSI code page, --json in UTF-8).
#pragma once
#include <windows.h>

#include <string>

// text is in codePage (CP_ACP for the program's texts, CP_UTF8 for JSON);
// which is STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
void WriteStd(DWORD which, const std::string& text, UINT codePage = CP_ACP);

// True when standard input is a console that a person can type into.
bool InputIsConsole();

// One line typed on the console without echo, in the ANSI code page, the
// line end removed; false when standard input is not a console or ends.
bool ReadHiddenLine(std::string* line);
