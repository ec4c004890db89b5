// Finding, opening and reading the printers for rpsettings.
#include "printer_access.h"

#include "codec.h"
#include "messages.h"
#include "printer_scan.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "shell_pure.h"
#include "srm_api.h"
#include "status_items.h"
#include "text_pure.h"
#include "tool_files.h"
#include "tool_output.h"

namespace rps {

namespace {

constexpr int kReadAttempts = 3;  // as the panel: a read that gives no settings is tried again

}  // namespace

int Discover() {
    DropPrinterList();
    PrinterEntry* found = nullptr;
    const int count = ScanServedPrinters(&found);
    AdoptPrinterList(found, count > 0 ? count : 0, nullptr);
    if (count > 0) return kExitOk;
    Err(Text(IDS_RPS_NO_PRINTERS));
    return kExitPrinter;
}

int ResolvePrinters(const std::vector<std::string>& names, std::vector<const PrinterEntry*>* printers) {
    for (const std::string& name : names) {
        const PrinterEntry* entry = ListedPrinter(name.c_str());
        if (!entry) {
            Err(Compose(IDS_RPS_NOT_SERVED, name.c_str()));
            return kExitUsage;
        }
        bool seen = false;
        for (const PrinterEntry* earlier : *printers) seen |= earlier == entry;
        if (!seen) printers->push_back(entry);
    }
    return kExitOk;
}

int OnePrinter(const std::string& name, const PrinterEntry** printer) {
    std::vector<const PrinterEntry*> printers;
    if (int code = ResolvePrinters({name}, &printers)) return code;
    *printer = printers[0];
    return kExitOk;
}

int OperandPrinters(const Options& options, size_t first, size_t last, std::vector<const PrinterEntry*>* printers) {
    if (options.all) {
        for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) printers->push_back(entry);
        return kExitOk;
    }
    std::vector<std::string> names;
    if (int code = ExpandNameLists({options.args.begin() + first, options.args.begin() + last}, &names)) return code;
    if (names.empty()) {  // lists that name no printer: nothing to do is a mistake in the arguments
        Err(Text(IDS_RPS_LIST_EMPTY));
        return kExitUsage;
    }
    return ResolvePrinters(names, printers);
}

std::string OpenPrinter(const PrinterEntry& printer, SrmSession* session, StatusVerdict* verdict) {
    if (IsFilePort(printer.destination)) return ConsoleText(Text(IDS_FILE_PORT));
    if (session->Open(printer.name) != 0 || session->get() == 0) return Text(IDS_RPS_CANNOT_OPEN);
    StatusItemValues items = {kUnreadItem, {kUnreadItem, kUnreadItem, kUnreadItem}, kUnreadItem};
    if (const UINT failed = ReadStatusItemsOf(session->get(), &items)) return Text(failed);
    *verdict = EvaluateStatusBits(items.extStatus, reinterpret_cast<const uint32_t*>(items.status), items.authority);
    return "";
}

std::string StatusTextOf(const StatusVerdict& verdict) {
    char text[kTextSize];
    LoadStatusTextOf(verdict.textId, text, kTextSize);
    return ConsoleText(text);
}

std::string StillUpdatable(DWORD handle, StatusVerdict* verdict) {
    StatusItemValues items = {kUnreadItem, {kUnreadItem, kUnreadItem, kUnreadItem}, kUnreadItem};
    if (const UINT failed = ReadStatusItemsOf(handle, &items)) return Text(failed);
    *verdict = EvaluateStatusBits(items.extStatus, reinterpret_cast<const uint32_t*>(items.status), items.authority);
    if (!verdict->usable || !verdict->updateAllowed || verdict->printerNotReady) return StatusTextOf(*verdict);
    unsigned char port[kPortItemSize] = {};
    char destination[kDestinationSize] = "";
    DWORD length = 0;
    if (GetPrinterStatusA(handle, SRM_ITEM_PORT, port, kSrmSizePort, &length) == 0)
        FormatDestination(destination, sizeof destination, port);
    if (IsFilePort(destination)) return ConsoleText(Text(IDS_FILE_PORT));
    return "";
}

int ReadSettings(DWORD handle, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD length = 0;
        if (GetPrinterStatusA(handle, SRM_ITEM_SETTINGS, block, kSrmSizeSettings, &length) == 0 &&
            SettingsOfBlock(block, settings))
            return 1;
    }
    return 0;
}

std::string ReadPrinter(const PrinterEntry& printer, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]) {
    SrmSession session;
    StatusVerdict verdict = {};
    const std::string failure = OpenPrinter(printer, &session, &verdict);
    if (!failure.empty()) return failure;
    if (!verdict.usable || !verdict.readAllowed) return StatusTextOf(verdict);
    if (!ReadSettings(session.get(), settings, block)) return Text(IDS_READ_FAILED);
    return "";
}

int ReadOrReport(const PrinterEntry& printer, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]) {
    const std::string failure = ReadPrinter(printer, settings, block);
    if (failure.empty()) return kExitOk;
    Err(std::string(printer.name) + ": " + failure);
    return kExitPrinter;
}

}  // namespace rps
