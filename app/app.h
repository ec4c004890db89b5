// What the application shell (start-up, discovery, selection, password gate,
// one panel per printer, main window) offers to the rest of the program.
#pragma once
#include <windows.h>

#include "messages.h"
#include "scoped.h"
#include "suite_keys.h"
#include "claim.h"
#include "printer_scan.h"
#include "printers.h"
#include "shell_pure.h"
#include "stored_password.h"
#include "srm_api.h"



// Program-wide state (user-interface thread only). Defined in globals.cpp.
extern HANDLE InstanceMapping;         // the claim on CurrentPrinter, or null
extern HWND MainWindow;
extern HWND ToolbarWindow;             // null when the toolbar was not created
extern HWND HelpModeWindow;            // the context-help window while the mode is on

// Discovery.
int DiscoverPrinters();                // rebuilds PrinterList/PrinterCount/CurrentPrinter

// Password gate and the printer named on the command line; null: end with code 1.
PrinterEntry* ResolveStartPrinter(LPCSTR commandLine);

// One panel per printer: the claim's mapping handle (let go with ReleaseClaim),
// or null when this process may not serve it. With an owner (a panel changing printer) a printer that another
// panel serves is said so in a box of the owner before that panel comes forward.
HANDLE ClaimPrinter(LPCSTR printerName, HWND owner = nullptr);

// The served printer's names (served_names.cpp). After the SRM renamed it
// (CurrentPrinter has the new name): the claim is taken under the new name
// too, the former one kept while the spooler may still list it.
void HoldClaimUnderNewName(const char* formerName);
// After a rediscovery: current is the entry found under the served name (or
// null), underFormerName the one under the former name (or null). Returns
// the entry of the served printer, renamed to name when the spooler lists it
// under its former name only; lets the former claim go once the spooler no
// longer lists that name.
PrinterEntry* SettleServedEntry(PrinterEntry* current, PrinterEntry* underFormerName, const char* name);
int IsFormerName(const char* name);
// 1 for a name the served printer goes by (its name or its former one).
int IsServedName(const char* name);
// Lets every claim go: InstanceMapping and the one under a former name.
void ReleaseClaims();
// Closes every printer selection dialog open now as by Cancel.
void CancelSelectionDialogs();

// Printer selection dialog 122; 1 when another printer was chosen and claimed
// (the old claim and SRM handle are then released), 0 when nothing changed.
INT_PTR RunSelectionDialog(HWND owner);
// 1 while a selection dialog is open.
int SelectionDialogOpen();
// Rebuilds the rows of every open selection dialog from PrinterList as it is
// now (discovery calls it whenever it has replaced the list).
void RefreshSelectionDialog();

// Main window.
ATOM RegisterMainClass();

// A length in pixels at 96 dots per inch, for the screen's dots per inch (the
// program is aware of the system's setting and draws at it).
int ScaleForScreen(int pixelsAt96);

// ---- Owners (see scoped.h for the others) ----


// ---- Application shell: more of discovery, the gate, start-up and the loop ----



// Password gate: 1 when the user may use the panel; *rest receives the printer
// part of the command line (a pointer into it) or null.
int PasswordGate(LPCSTR commandLine, LPCSTR* rest);
// Password dialog 1002 (no owner): 1 when the stored password was entered, 0 on Cancel.
INT_PTR RunPasswordDialog(LPCSTR storedPassword);

// Start-up up to the claim of the printer, in order: settings marked not
// loaded, the system check, common controls, discovery, password gate and the
// printer of the command line, selection with two or more printers, claim.
// 0 when the panel goes on; otherwise the exit code (1), the user told, the
// printer list freed.
int SettlePrinter(HINSTANCE instance, LPCSTR commandLine);
// 1 on the Windows 95 family and on Windows NT 4.0 or later.
int IsSupportedSystem();

// The message loop: accelerators of the main window, then the panel and its
// current page as dialogs, then the usual translation and dispatch. Runs the
// clean-up afterwards and returns the WM_QUIT wParam.
struct PanelState;
int RunMessageLoop(HACCEL accelerators);
// Clean-up after the loop: the claim, the panel's PanelState, the printer list.
void CleanUpAfterLoop(PanelState* lastState);
