// How rpsettings reaches the printers: the printers the panel serves, found
// as the panel finds them and kept in a list of this tool's own; opening a
// printer and judging its status items as the panel does; reading its
// settings block.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "options.h"
#include "printers.h"
#include "settings_file_pure.h"
#include "status_pure.h"

namespace rps {

// The printers the panel serves, found as the panel finds them, into the
// session's PrinterList (ListedPrinter finds one by name; DropPrinterList
// lets them go); kExitOk, or kExitPrinter after the message when there is none.
int Discover();

// Each name, once, as discovery lists it; kExitUsage after naming one it does not list.
int ResolvePrinters(const std::vector<std::string>& names, std::vector<const PrinterEntry*>* printers);
// One printer named on the command line, as discovery lists it.
int OnePrinter(const std::string& name, const PrinterEntry** printer);
// The printers of the operands (names and @FILE lists), or all with --all.
int OperandPrinters(const Options& options, size_t first, size_t last, std::vector<const PrinterEntry*>* printers);

// Opens the printer and evaluates its status items as the panel does. Empty
// when the SRM answered; else why the printer cannot be used.
std::string OpenPrinter(const PrinterEntry& printer, SrmSession* session, StatusVerdict* verdict);
std::string StatusTextOf(const StatusVerdict& verdict);
// Empty when the open printer may be updated now (and *verdict is how it
// stands); else why not: its rights or state, or a destination of "FILE:".
std::string StillUpdatable(DWORD handle, StatusVerdict* verdict);

// Reads the settings block into *settings and block; 1 when the printer gave
// settings, within the panel's number of attempts.
int ReadSettings(DWORD handle, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]);
// One printer read for show, save and diff. Empty on success, else the reason.
std::string ReadPrinter(const PrinterEntry& printer, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]);
// The same; kExitPrinter after the message naming the printer when it fails.
int ReadOrReport(const PrinterEntry& printer, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]);

}  // namespace rps
