// Finding the printers served: the printer models the suite has registered,
// the spooler's printers of those models and the destination the SRM reports
// for each. The panel's discovery and rpsettings both build their lists from
// these; none of them touches the program-wide printer list.
#include "printer_scan.h"

#include <winspool.h>
#include <strsafe.h>

#include "messages.h"
#include "resource.h"
#include "scoped.h"
#include "suite_keys.h"
#include "text_pure.h"

namespace {

constexpr DWORD kEnumFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;  // 6
constexpr DWORD kEnumLevel = 2;
// A printer added between sizing and reading the list makes the read fail
// with a short buffer; the list is sized again this many times.
constexpr int kEnumAttempts = 4;

}  // namespace

void ShowStartupMessage(UINT textId, UINT style) {
    char caption[kTextSize];
    LoadText(IDS_TITLE, caption, kTextSize);
    LoadText(textId, MessageText, kTextSize);
    ShowMessageBox(nullptr, MessageText, caption, style);
}

// The allocation-error box, then "the panel ends" with the given style.
void ReportDiscoveryAllocationFailure(DWORD error, UINT endStyle) {
    ShowAllocationError(AppInstance, nullptr, error);
    ShowStartupMessage(IDS_PANEL_ENDS, endStyle);
}

// Appends entry at the end of the list whose last entry is *tail (null for an empty list).
void AppendPrinterEntry(PrinterEntry** list, PrinterEntry** tail, PrinterEntry* entry) {
    if (*tail)
        (*tail)->next = entry;
    else
        *list = entry;
    *tail = entry;
}

// The destination text of one printer: "port(detail)", "port" or "unknown".
char* ReadPrinterDestination(LPCSTR printer) {
    unsigned char port[kPortItemSize] = {};
    SrmItemRead read = {SRM_ITEM_PORT, port, kSrmSizePort};
    char text[kDestinationSize];
    if (ReadPrinterItems(printer, &read, 1))
        FormatDestination(text, sizeof text, port);
    else
        LoadText(IDS_STATUS_UNKNOWN, text, sizeof text);
    return DuplicateString(text);
}

// The spooler's printers (PRINTER_INFO_2), or null after telling the user; a
// spooler without printers gives null and *count 0 silently.
BYTE* EnumerateSpoolerPrinters(DWORD* count) {
    *count = 0;
    DWORD needed = 0;
    EnumPrintersA(kEnumFlags, nullptr, kEnumLevel, nullptr, 0, &needed, count);
    for (int attempt = 0; attempt < kEnumAttempts && needed != 0; ++attempt) {
        LocalBlock<BYTE> buffer(needed);
        if (!buffer.get()) {
            ReportDiscoveryAllocationFailure(GetLastError(), MB_OK);
            return nullptr;
        }
        DWORD size = needed;
        if (EnumPrintersA(kEnumFlags, nullptr, kEnumLevel, buffer.get(), size, &needed, count))
            return buffer.Release();
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= size) break;
    }
    *count = 0;
    if (needed != 0) ShowStartupMessage(IDS_ENUM_FAILED, MB_ICONWARNING);
    return nullptr;
}

int CollectModelDrivers(HKEY printersKey, LPCSTR modelName, PrinterEntry** list) {
    PrinterEntry* tail = *list;
    while (tail && tail->next) tail = tail->next;

    for (DWORD index = 0;; ++index) {
        char name[257] = {};
        DWORD length = 256;
        LONG result = RegEnumKeyExA(printersKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        // A name longer than the buffer cannot be the model's; any other
        // failure (the end, or a key deleted meanwhile) ends the walk.
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;
        name[256] = '\0';
        if (!TextEquals(name, modelName)) continue;

        PrinterEntry* entry = static_cast<PrinterEntry*>(LocalAlloc(LPTR, sizeof(PrinterEntry)));
        if (!entry) {
            DWORD error = GetLastError();
            bool first = *list == nullptr;
            FreePrinterList(*list);
            *list = nullptr;
            ReportDiscoveryAllocationFailure(error, first ? MB_ICONWARNING : MB_OK);
            return 0;
        }
        char driver[sizeof "Quarl " + 256];
        FormatText(driver, sizeof driver, "Quarl %s", name);
        entry->model = DuplicateString(driver);
        AppendPrinterEntry(list, &tail, entry);
    }
    return 1;
}

PrinterEntry* ReadSuiteModelKeys() {
    char model[kTextSize];
    LoadText(IDS_MODEL_NAME, model, kTextSize);

    PrinterListOwner drivers;
    {
        ScopedRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, SUITE_PRINTERS_KEY, KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) {
            char reason[kTextSize];
            char caption[kTextSize];
            LoadText(IDS_REGISTRY_NOT_OPEN, reason, kTextSize);
            LoadText(IDS_TITLE, caption, kTextSize);
            FormatText(MessageText, kTextSize, "%s\nKey: HKEY_LOCAL_MACHINE\\%s", reason, SUITE_PRINTERS_KEY);
            ShowMessageBox(nullptr, MessageText, caption, MB_ICONWARNING);
            return nullptr;
        }
        if (!CollectModelDrivers(key.get(), model, drivers.Receive())) return nullptr;
    }
    if (!drivers.get()) {
        ShowStartupMessage(IDS_MODEL_MISSING, MB_ICONWARNING);
        return nullptr;
    }
    return drivers.Release();
}

int ScanServedPrinters(PrinterEntry** list) {
    *list = nullptr;
    PrinterListOwner drivers(ReadSuiteModelKeys());
    if (!drivers.get()) return -1;

    DWORD count = 0;
    LocalBlock<BYTE> enumeration(EnumerateSpoolerPrinters(&count));
    if (!enumeration.get()) return -1;

    const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(enumeration.get());
    PrinterListOwner found;
    PrinterEntry* tail = nullptr;
    int served = 0;
    for (DWORD i = 0; i < count; ++i) {
        const PRINTER_INFO_2A& printer = printers[i];
        for (const PrinterEntry* driver = drivers.get(); driver; driver = driver->next) {
            if (!TextEquals(driver->model, printer.pDriverName)) continue;
            PrinterEntry* entry = static_cast<PrinterEntry*>(LocalAlloc(LPTR, sizeof(PrinterEntry)));
            if (!entry) {
                const DWORD error = GetLastError();
                FreePrinterList(found.Release());  // freed before the user is told
                ReportDiscoveryAllocationFailure(error, MB_OK);
                return -1;
            }
            AppendPrinterEntry(found.Receive(), &tail, entry);
            served += 1;
            entry->name = DuplicateString(printer.pPrinterName);
            entry->destination = ReadPrinterDestination(printer.pPrinterName);
            entry->model = DuplicateString(printer.pDriverName);
        }
    }
    *list = found.Release();
    return served;
}
