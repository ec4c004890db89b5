// The main window "RPWndClass": the frame around toolbar and panel, the about
// box and the context-help window.
#pragma once
#include <windows.h>

// Creates MainWindow for CurrentPrinter ("%s - %s" of the title and the
// printer name); its WM_CREATE builds toolbar and panel. Null on failure.
HWND CreateMainWindow();
// The toolbar of the main window (control 10000), or null.
HWND CreateToolbar(HWND mainWindow);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Enables or disables one button of the toolbar (none: nothing).
void EnableToolbarButton(UINT command, BOOL enable);

// ---- Context-help mode (helpmode.cpp) ----
// The help button: the context-help window covers the frame (HelpModeWindow).
void EnterHelpMode();
// The help window moves with the frame.
void FollowFrameWithHelpMode(HWND window);
// The click (in the help window's coordinates) that ends the mode: the help
// window goes away and the control under the click shows its popup help.
void EndHelpModeAt(HWND window, LPARAM lParam);
// Window procedure of "TransWndClassName", the context-help window.
LRESULT CALLBACK HelpModeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
