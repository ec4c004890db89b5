// Message boxes and help: the shared text buffers, the caption rule, the
// allocation-error box, the text copy routine and the one help routine.
// Every message box and every help call of the program goes through the two
// seams below, so that tests can record them and answer message boxes.
#pragma once
#include <windows.h>

constexpr int kTextSize = 256;
// The module whose resources (texts, dialogs, icons) every call loads; the
// program's entry point sets it once.
extern HINSTANCE AppInstance;
void SetAppInstance(HINSTANCE instance);
// The window brought to the front when a second start of the program asks
// for this one (the innermost dialog or box of the panel, or the main window).
extern HWND ForegroundRoleWindow;
void SetForegroundRole(HWND window);
extern char MessageText[kTextSize];
extern char MessageCaption[kTextSize];

// Loads string resource id of the program into buffer (bounded, always terminated).
int LoadText(UINT id, char* buffer, int size);
// The caption of control controlId in the program's dialog template
// templateId, without its mnemonic ("センタ(&N)" gives "センタ"), in the same
// way: read from the resource itself, so no window is created and no display
// is needed. Returns its length; 0 and an empty buffer when the template or
// the control is missing or the control's title is not a text.
int LoadControlText(UINT templateId, UINT controlId, char* buffer, int size);

// Caption rule: string 3 alone without a current printer, else "%s - %s" of
// string 3 and the current printer's name (bounded; never cut inside a
// double-byte character).
void BuildPanelCaption(char* caption, size_t size);
// "%s - %s" of string 3 and that name (null: empty), bounded: the caption of
// a window or box about a printer other than (or besides) the current one.
void BuildTitleCaption(char* caption, size_t size, const char* name);
// Where the caption rule finds the current printer's name (null: none). The
// printer session gives it; null restores "no printer".
typedef const char* (*CaptionNameSource)();
void SetCaptionNameSource(CaptionNameSource source);

// The message-box seam. Returns the button pressed (IDOK, IDCANCEL, ...).
// A null text or caption (a failed copy) is shown as empty. While the owner's
// window has a modal window open, the box is modal to the innermost one, so
// that closing the box leaves the owner disabled.
int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
// Closes every box of the seam open now as by Cancel, the innermost first:
// each returns IDCANCEL, whatever was pressed (the printer they were about
// has gone, or the program ends).
void CancelMessageBoxes();
typedef int (*MessageBoxHook)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
void SetMessageBoxHook(MessageBoxHook hook);  // null restores MessageBoxA

// Shows "%s\n%s" of two of the program's texts with the bare title (string 3)
// as caption, as the refusals before and outside the panel's work do.
int ShowTwoTextMessage(HWND owner, UINT firstId, UINT secondId, UINT style);

void ShowAllocationError(HINSTANCE instance, HWND owner, DWORD error);
// A zero-filled LocalAlloc copy of text (null text gives null); the caller frees it with LocalFree.
char* DuplicateString(LPCSTR text);

// (control id, help context id) pairs ending with (0, 0).
constexpr int kHelpContextPairs = 176;  // pairs before the closing (0, 0)
extern const DWORD HelpContextTable[];
// The context id of a control, 0 when it has none.
DWORD HelpContextOf(DWORD controlId);

// The one help routine: WinHelp for ".HLP", HTML Help (HELP_CONTEXT,
// HELP_FINDER) or WinHelp on the ".POP" file beside a ".CHM".
void ShowHelp(HWND window, UINT command, ULONG_PTR data);
int ShowHtmlHelp(UINT command, ULONG_PTR data, LPCSTR path);
// WM_HELP (from a window) and WM_CONTEXTMENU through the help seam, with the
// program's control-to-context table. TRUE when the message was one of them.
BOOL HandleContextHelp(UINT message, WPARAM wParam, LPARAM lParam);

// The help file path from the registry ("RPHLP"), read on the first help
// request and kept; empty until then, and looked up again while empty.
extern char HelpFilePath[kTextSize];
// "HHCTRL.OCX" once HTML Help was first asked for; never unloaded.
extern HMODULE HtmlHelpModule;

// The help seam: which engine is called, with which file, command and data.
// For HTML Help the hook sees the desktop window and the translated command
// (HELP_CONTEXT as 0x0F, HELP_FINDER as 0); its result is ShowHtmlHelp's.
enum HelpEngine { HelpEngineWinHelp, HelpEngineHtmlHelp };
typedef BOOL (*HelpHook)(HelpEngine engine, HWND window, LPCSTR file, UINT command, ULONG_PTR data);
void SetHelpHook(HelpHook hook);  // null restores the real engines
