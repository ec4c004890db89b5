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
    DropPrinterList();

    PrinterListOwner built;
    const int found = ScanServedPrinters(built.Receive());
    if (found < 0) return 0;  // stopped early: no served printer to find again
    PrinterEntry* current = nullptr;
    PrinterEntry* underFormerName = nullptr;
    for (PrinterEntry* entry = built.get(); entry; entry = entry->next) {
        if (TextEquals(entry->name, remembered.get()))
            current = entry;
        else if (remembered.get() && IsFormerName(entry->name))
            underFormerName = entry;
    }
    if (remembered.get()) current = SettleServedEntry(current, underFormerName, remembered.get());
    AdoptPrinterList(built.Release(), found, current);
    return PrinterCount;
}

}  // namespace

int DiscoverPrinters() {
    int count = RebuildPrinterList();
    RefreshSelectionDialog();  // its rows came from the list just replaced
    return count;
}
