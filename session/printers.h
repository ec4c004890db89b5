// The printers served: the list discovery found, the one the panel serves,
// and reading a printer's status items through an SRM handle of its own.
#pragma once
#include <windows.h>

#include "shell_pure.h"
#include "srm_api.h"

// One served printer. All three texts are separate zero-filled LocalAlloc
// blocks owned by the entry (any may be null); FreePrinterList frees them.
struct PrinterEntry {
    char* name;         // spooler name, the key for finding and comparing a printer
    char* destination;  // "port(detail)", "port" or the text for "unknown"
    char* model;        // spooler driver name
    PrinterEntry* next;
};

// The newest discovery (user-interface thread only).
extern PrinterEntry* PrinterList;
extern int PrinterCount;
extern int MultiplePrinters;           // 1 when PrinterCount != 1
extern PrinterEntry* CurrentPrinter;   // points into PrinterList, or null

// Frees every text and entry (null: nothing).
void FreePrinterList(PrinterEntry* list);
// The operations that change the four above; only they write them.
// Frees PrinterList: no list, no count, no current printer.
void DropPrinterList();
// Takes a newly built list (owned from now on) with its count and the entry
// of it that is served now (or null).
void AdoptPrinterList(PrinterEntry* list, int count, PrinterEntry* current);
void SetMultiplePrinters(int multiple);
// current points into PrinterList, or is null.
void ChooseCurrentPrinter(PrinterEntry* current);
// Gives the entry the name (a LocalAlloc block it owns from now on) and
// returns its former name, which the caller frees with LocalFree.
char* ReplacePrinterName(PrinterEntry* entry, char* name);
// The entry of PrinterList with exactly that name, or null (null name: null).
PrinterEntry* ListedPrinter(const char* name);

// A whole PrinterEntry list, freed with FreePrinterList.
class PrinterListOwner {
public:
    explicit PrinterListOwner(PrinterEntry* list = nullptr) : list_(list) {}
    ~PrinterListOwner() { FreePrinterList(list_); }
    PrinterListOwner(const PrinterListOwner&) = delete;
    PrinterListOwner& operator=(const PrinterListOwner&) = delete;
    PrinterEntry* get() const { return list_; }
    PrinterEntry** Receive() { return &list_; }
    PrinterEntry* Release() {
        PrinterEntry* list = list_;
        list_ = nullptr;
        return list;
    }

private:
    PrinterEntry* list_;
};

// An SRM handle opened under the logged-on user's name, closed when it goes
// out of scope.
class SrmSession {
public:
    SrmSession() = default;
    ~SrmSession() {
        if (handle_ != 0) CloseManager(handle_);
    }
    SrmSession(const SrmSession&) = delete;
    SrmSession& operator=(const SrmSession&) = delete;
    DWORD Open(LPCSTR printer);  // the SRM's result
    DWORD get() const { return handle_; }

private:
    DWORD handle_ = 0;
};

// The status word the selection list shows for a printer, asked from the SRM now.
PrinterStatusLabel ReadStatusLabel(LPCSTR printer);

// One status item to read from the SRM into a caller's buffer.
struct SrmItemRead {
    LPCSTR item;
    void* buffer;
    DWORD size;
};
// Opens an SRM handle for the printer under the logged-on user's name, reads
// the items in order (stopping at the first failure) and closes the handle.
// 1 when the handle opened and every item was read.
int ReadPrinterItems(LPCSTR printer, const SrmItemRead* items, int count);
