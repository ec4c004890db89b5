// The simulated printers behind the stand-in QUARLSRM.DLL: result codes, the
// names of the things a test can steer, and the control functions that
// srmctl.exe and the tests call. The panel uses none of this; it sees only the
// nine functions of srm_api.h.
//
// Simulated printers live in the registry of the Wine prefix, so every process
// of the prefix sees the same printers:
//   HKLM\Software\Quarl\Pavonet\SRM\Printers\<key name>   (key_name.h)
//     "Name"                the printer name (the key name is escaped)
//     one binary value per status item, laid out exactly as the item is read
//     subkey "Control": the fault settings and the command log
#pragma once
#include "srm_api.h"

// Result codes; every failure of the stand-in is one of these.
constexpr DWORD kSrmErrArgument = 0x5301;        // null pointer, bad window, bad text
constexpr DWORD kSrmErrUnknownPrinter = 0x5302;  // no simulated printer of that name
constexpr DWORD kSrmErrHandle = 0x5303;          // unknown or closed handle
constexpr DWORD kSrmErrUnknownItem = 0x5304;
constexpr DWORD kSrmErrBufferTooSmall = 0x5305;
constexpr DWORD kSrmErrSize = 0x5306;            // a write whose size is not the item's
constexpr DWORD kSrmErrMalformedCommand = 0x5307;
constexpr DWORD kSrmErrReadOnly = 0x5308;        // the item cannot be written through the SRM
constexpr DWORD kSrmErrAccess = 0x5309;          // an access mode other than 11
constexpr DWORD kSrmErrInjected = 0x530A;        // a fault a test asked for
constexpr DWORD kSrmErrRefused = 0x530B;         // the printer refused the settings
constexpr DWORD kSrmErrUnknownRequest = 0x530C;
constexpr DWORD kSrmErrUnknownNotification = 0x530D;
constexpr DWORD kSrmErrExists = 0x530E;          // adding a printer that exists
constexpr DWORD kSrmErrStore = 0x530F;           // the registry could not be read or written
constexpr DWORD kSrmErrNoMoreItems = 0x5310;     // end of SrmSimEnumPrinters

// Fault counts: fail the next N calls, or every call.
constexpr DWORD kSrmFailOff = 0;
constexpr DWORD kSrmFailAlways = 0xFFFFFFFF;
// Reply delays in milliseconds: 0 posts at once, kSrmReplyNever never posts.
constexpr DWORD kSrmReplyNever = 0xFFFFFFFF;
// SrmDeviceDelay: how long a synchronous read or write of the settings block
// waits on the device (0: not at all).
enum SrmReplyKind { SrmReplyRead = 0, SrmReplyWrite = 1, SrmDeviceDelay = 2 };
// Values of the suite that srmctl can set.
enum SrmSuiteValue { SrmSuitePassword = 0, SrmSuiteHelpFile = 1 };

// What a freshly added printer reports.
constexpr DWORD kSrmReadyExtStatus = 3;        // communication works, settings readable
constexpr DWORD kSrmReadyAuthority = 0x18;     // may read and update
// Third status word: online. Bit 0x1 counts as online in the printer list and
// means neither busy, error nor the print-enable switch to the panel.
constexpr DWORD kSrmReadyStatusWord3 = 0x1;
constexpr char kSrmDefaultPort[] = "LPT1:";
constexpr char kSrmServedModel[] = "Tilbury 550TK";
constexpr char kSrmDefaultDriver[] = "Quarl Tilbury 550TK";
// The nine functions, as fault settings name them.
constexpr const char* kSrmFunctionNames[] = {
    "OpenManagerExA", "CloseManager", "GetPrinterStatusA", "GetReqPrinterStatusMsgA",
    "SetPrinterStatusDirectA", "SetReqPrinterStatusMsgA", "ResSetPrinterStatus",
    "SetNotificationMsgA", "KillNotificationMsg",
};

// Adds a ready printer with the factory settings block. port and detail may
// be null ("LPT1:" and an empty text). With a driver (not null, not empty) the
// printer is also made known to the system as the suite's installation would:
// a spooler printer of that driver and the suite's key for the served model;
// a name holding a backslash cannot be a spooler key and is left out there.
SRMAPI SrmSimAddPrinter(LPCSTR name, LPCSTR port, LPCSTR detail, LPCSTR driver);
// Removes the printer and its spooler entry (the suite's model key stays).
SRMAPI SrmSimRemovePrinter(LPCSTR name);
// Gives the printer `name` the reported name newName; with inSpooler not 0
// its spooler entry (under whatever name it is listed now) is renamed too.
// All of it or nothing: kSrmErrUnknownPrinter without a spooler entry,
// kSrmErrExists when the spooler lists another printer as newName.
SRMAPI SrmSimRenamePrinter(LPCSTR name, LPCSTR newName, DWORD inSpooler);
// The name of the index-th printer (0 upward); kSrmErrNoMoreItems at the end.
SRMAPI SrmSimEnumPrinters(DWORD index, LPSTR name, DWORD size);
// Reads or replaces a status item as the printer holds it; size must be the
// item's size (srm_api.h). Writing "RPVariables_PSV" here stores the block
// itself (the printer's own change), not an update command.
SRMAPI SrmSimSetItem(LPCSTR name, LPCSTR item, const void* data, DWORD size);
SRMAPI SrmSimGetItem(LPCSTR name, LPCSTR item, void* buffer, DWORD size);
// Fault count of one of the nine functions on this printer.
SRMAPI SrmSimSetFault(LPCSTR name, LPCSTR function, DWORD count);
SRMAPI SrmSimGetFault(LPCSTR name, LPCSTR function, DWORD* count);
// The status ResSetPrinterStatus reports for later writes; nonzero means the
// printer refuses them: the block stays as it is (the command is still logged)
// and SetPrinterStatusDirectA fails with kSrmErrRefused.
SRMAPI SrmSimSetWriteStatus(LPCSTR name, DWORD status);
SRMAPI SrmSimSetReplyDelay(LPCSTR name, DWORD kind, DWORD milliseconds);
// The command log: every accepted command area (260 bytes each), oldest
// first. *needed receives the log's size in bytes; a buffer too small (or
// null) gives kSrmErrBufferTooSmall.
SRMAPI SrmSimReadLog(LPCSTR name, void* buffer, DWORD size, DWORD* needed);
SRMAPI SrmSimClearLog(LPCSTR name);
// Sets the suite's "Password" or "RPHLP" value; null text deletes it.
SRMAPI SrmSimSetSuiteValue(DWORD which, LPCSTR text);
// For tests in this process: SetNotificationMsgA calls hook(context) after it
// has taken the item and before the registration exists, so that a test can
// change the printer in between. Null removes it.
typedef void(WINAPI* SrmSimRegistrationHook)(void* context);
SRMAPI SrmSimSetRegistrationHook(SrmSimRegistrationHook hook, void* context);
