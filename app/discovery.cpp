// Printer discovery: the printers of the served model that the suite has
// registered and the print spooler knows, with the destination the SRM reports.
#include <windows.h>
#include <winspool.h>
#include <strsafe.h>

#include "app.h"
#include "printer_scan.h"
#include "messages.h"
#include "resource.h"
#include "shell_pure.h"
#include "srm_api.h"
#include "text_pure.h"

namespace {

int RebuildPrinterList() {
    // The served printer is found again by its whole name, however long.
    LocalBlock<char> remembered(CurrentPrinter ? DuplicateString(CurrentPrinter->name) : nullptr);

    FreePrinterList(PrinterList);
    PrinterList = nullptr;
    CurrentPrinter = nullptr;
    PrinterCount = 0;

    PrinterListOwner drivers(ReadSuiteModelKeys());
    if (!drivers.get()) return 0;

    DWORD count = 0;
    LocalBlock<BYTE> enumeration(EnumerateSpoolerPrinters(&count));
    if (!enumeration.get()) return 0;

    const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(enumeration.get());
    PrinterEntry* tail = nullptr;
    PrinterEntry* underFormerName = nullptr;
    for (DWORD i = 0; i < count; ++i) {
        const PRINTER_INFO_2A& printer = printers[i];
        for (const PrinterEntry* driver = drivers.get(); driver; driver = driver->next) {
            if (!TextEquals(driver->model, printer.pDriverName)) continue;

            PrinterEntry* entry = static_cast<PrinterEntry*>(LocalAlloc(LPTR, sizeof(PrinterEntry)));
            if (!entry) {
                DWORD error = GetLastError();
                FreePrinterList(PrinterList);
                PrinterList = nullptr;
                CurrentPrinter = nullptr;
                PrinterCount = 0;
                ReportDiscoveryAllocationFailure(error, MB_OK);
                return 0;
            }
            AppendPrinterEntry(&PrinterList, &tail, entry);
            PrinterCount += 1;
            entry->name = DuplicateString(printer.pPrinterName);
            if (TextEquals(entry->name, remembered.get()))
                CurrentPrinter = entry;
            else if (remembered.get() && IsFormerName(entry->name))
                underFormerName = entry;
            entry->destination = ReadPrinterDestination(printer.pPrinterName);
            entry->model = DuplicateString(printer.pDriverName);
        }
    }
    if (remembered.get()) CurrentPrinter = SettleServedEntry(CurrentPrinter, underFormerName, remembered.get());
    return PrinterCount;
}

}  // namespace

int DiscoverPrinters() {
    int count = RebuildPrinterList();
    RefreshSelectionDialog();  // its rows came from the list just replaced
    return count;
}
