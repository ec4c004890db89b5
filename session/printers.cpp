// The printers served and their status items, read through an SRM handle of
// their own.
#include "printers.h"

#include "messages.h"
#include "text_pure.h"

PrinterEntry* PrinterList = nullptr;
int PrinterCount = 0;
int MultiplePrinters = 1;
PrinterEntry* CurrentPrinter = nullptr;

namespace {

// The caption rule names the printer served now.
const char* CurrentPrinterName() {
    return CurrentPrinter ? CurrentPrinter->name : nullptr;
}
const struct CaptionNameRegistration {
    CaptionNameRegistration() { SetCaptionNameSource(CurrentPrinterName); }
} captionNameRegistration;

}  // namespace

void FreePrinterList(PrinterEntry* list) {
    while (list) {
        PrinterEntry* next = list->next;
        if (list->name) LocalFree(list->name);
        if (list->destination) LocalFree(list->destination);
        if (list->model) LocalFree(list->model);
        LocalFree(list);
        list = next;
    }
}

void DropPrinterList() {
    AdoptPrinterList(nullptr, 0, nullptr);  // the current printer pointed into the list
}

void AdoptPrinterList(PrinterEntry* list, int count, PrinterEntry* current) {
    FreePrinterList(PrinterList);
    PrinterList = list;
    PrinterCount = count;
    CurrentPrinter = current;
}

void SetMultiplePrinters(int multiple) {
    MultiplePrinters = multiple;
}

void ChooseCurrentPrinter(PrinterEntry* current) {
    CurrentPrinter = current;
}

char* ReplacePrinterName(PrinterEntry* entry, char* name) {
    char* former = entry->name;
    entry->name = name;
    return former;
}

DWORD SrmSession::Open(LPCSTR printer) {
    char user[257] = {};
    DWORD userSize = 256;
    if (!GetUserNameA(user, &userSize)) user[0] = '\0';
    user[256] = '\0';
    return OpenManagerExA(TextOrEmpty(printer), user, kSrmAccess, &handle_);
}

int ReadPrinterItems(LPCSTR printer, const SrmItemRead* items, int count) {
    SrmSession session;
    if (session.Open(printer) != 0 || session.get() == 0) return 0;
    for (int i = 0; i < count; ++i) {
        DWORD length = 0;
        if (GetPrinterStatusA(session.get(), items[i].item, items[i].buffer, items[i].size, &length) != 0) return 0;
    }
    return 1;
}

PrinterStatusLabel ReadStatusLabel(LPCSTR printer) {
    DWORD words[3] = {};
    unsigned char port[kPortItemSize] = {};
    const SrmItemRead reads[] = {{SRM_ITEM_PRINTERSTATUS, words, kSrmSizePrinterStatus},
                                 {SRM_ITEM_PORT, port, kSrmSizePort}};
    if (!ReadPrinterItems(printer, reads, 2)) return StatusLabelUnknown;
    return StatusLabelOf(words[1], words[2], reinterpret_cast<const char*>(port + kPortTextOffset),
                         reinterpret_cast<const char*>(port + kPortDetailOffset));
}

PrinterEntry* ListedPrinter(const char* name) {
    for (PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        if (TextEquals(entry->name, name)) return entry;
    }
    return nullptr;
}
