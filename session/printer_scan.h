// Finding the printers served, without touching the program-wide printer
// list: the models the suite has registered, the spooler's printers and the
// destination of each. The panel's discovery and rpsettings both use these.
#pragma once
#include <windows.h>

#include "printers.h"

// Walks the model subkeys of an open printers key and appends one driver-list
// entry ("Quarl <model>") per subkey named exactly modelName. Stops at the end
// of the subkeys or at any failure but a name too long for its buffer. 0 after
// an allocation failure (the user has been told; *list is freed), else 1.
int CollectModelDrivers(HKEY printersKey, LPCSTR modelName, PrinterEntry** list);
// The driver list of the served model, or null after telling the user.
PrinterEntry* ReadSuiteModelKeys();

// The spooler's printers (PRINTER_INFO_2, a LocalAlloc block the caller
// frees), or null after telling the user; a spooler without printers gives
// null and *count 0 silently.
BYTE* EnumerateSpoolerPrinters(DWORD* count);
// The destination text of one printer as a LocalAlloc block: "port(detail)",
// "port" or "unknown".
char* ReadPrinterDestination(LPCSTR printer);
// A box without owner: the text (left in MessageText) under the title.
void ShowStartupMessage(UINT textId, UINT style);
// The allocation-error box, then "the panel ends" with the given style.
void ReportDiscoveryAllocationFailure(DWORD error, UINT endStyle);
// Appends entry at the end of the list whose last entry is *tail (null for an empty list).
void AppendPrinterEntry(PrinterEntry** list, PrinterEntry** tail, PrinterEntry* entry);

// Every spooler printer of a registered model, in the spooler's order, as a
// new list (freed with FreePrinterList) in *list; the number found (0 and a
// null list: none). -1 and a null list when it stopped early: no driver
// list or no memory (the user has been told), or a spooler that lists no
// printer at all.
int ScanServedPrinters(PrinterEntry** list);
