// Printer discovery: the printers of the served model that the suite has
// registered and the print spooler knows, with the destination the SRM reports
// (found by the session's scan), and the served printer found again among them.
#include <windows.h>

#include "app.h"
#include "messages.h"
#include "printer_scan.h"
#include "text_pure.h"

namespace {

int RebuildPrinterList() {
    // The served printer is found again by its whole name, however long.
    LocalBlock<char> remembered(CurrentPrinter ? DuplicateString(CurrentPrinter->name) : nullptr);

    FreePrinterList(PrinterList);
    PrinterList = nullptr;
    CurrentPrinter = nullptr;
    PrinterCount = 0;

    const int found = ScanServedPrinters(&PrinterList);
    if (found < 0) return 0;  // stopped early: no served printer to find again
    PrinterCount = found;
    PrinterEntry* underFormerName = nullptr;
    for (PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        if (TextEquals(entry->name, remembered.get()))
            CurrentPrinter = entry;
        else if (remembered.get() && IsFormerName(entry->name))
            underFormerName = entry;
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
