// What the application shell (start-up, discovery, selection, password gate,
// one panel per printer, main window) offers to the rest of the program.
#pragma once
#include <windows.h>

// One served printer. All three texts are separate zero-filled LocalAlloc
// blocks owned by the entry (any may be null); FreePrinterList frees them.
struct PrinterEntry {
    char* name;         // spooler name, the key for finding and comparing a printer
    char* destination;  // "port(detail)", "port" or the text for "unknown"
    char* model;        // spooler driver name
    PrinterEntry* next;
};

// Registry keys of the printer-status suite (HKEY_LOCAL_MACHINE).
#define SUITE_KEY "Software\\Quarl\\Pavonet\\"
#define SUITE_PRINTERS_KEY "Software\\Quarl\\Pavonet\\Printers"

// Program-wide state (user-interface thread only). Defined in globals.cpp.
extern HINSTANCE AppInstance;          // every LoadString, dialog and resource call uses it
extern PrinterEntry* PrinterList;      // newest discovery; owned by discovery
extern int PrinterCount;
extern int MultiplePrinters;           // 1 when PrinterCount != 1
extern PrinterEntry* CurrentPrinter;   // points into PrinterList, or null
extern HANDLE InstanceMapping;         // the claim on CurrentPrinter, or null
extern HWND MainWindow;
extern HWND ToolbarWindow;             // null when the toolbar was not created
extern HWND PanelWindow;
extern HWND HelpModeWindow;            // the context-help window while the mode is on
extern HWND ForegroundRoleWindow;      // brought to the front when a second start asks

// Discovery. FreePrinterList accepts null and frees every text and entry.
void FreePrinterList(PrinterEntry* list);
PrinterEntry* ReadSuiteModelKeys();    // the driver list, or null after telling the user
int DiscoverPrinters();                // rebuilds PrinterList/PrinterCount/CurrentPrinter

// Password gate and the printer named on the command line; null: end with code 1.
PrinterEntry* ResolveStartPrinter(LPCSTR commandLine);

// One panel per printer: the mapping handle, or null when this process may not serve it.
HANDLE ClaimPrinter(LPCSTR printerName);

// Printer selection dialog 122; 1 when another printer was chosen (the old
// claim and SRM handle are then released), 0 when nothing changed.
INT_PTR RunSelectionDialog(HWND owner);

// Main window.
ATOM RegisterMainClass();
