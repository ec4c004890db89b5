// The status manager library (QUARLSRM.DLL) of the printer-status suite: the
// nine functions the panel imports, the status items and their buffer sizes.
// Every function returns 0 for success and any other value for failure.
#pragma once
#include <windows.h>

#ifdef QUARLSRM_BUILDING_DLL
#define SRMAPI extern "C" __declspec(dllexport) DWORD WINAPI
#else
#define SRMAPI extern "C" __declspec(dllimport) DWORD WINAPI
#endif

SRMAPI OpenManagerExA(LPCSTR printer, LPCSTR user, DWORD access, DWORD* handle);
SRMAPI CloseManager(DWORD handle);
SRMAPI GetPrinterStatusA(DWORD handle, LPCSTR item, void* buffer, DWORD size, DWORD* length);
SRMAPI GetReqPrinterStatusMsgA(DWORD handle, LPCSTR item, HWND window, UINT message);
SRMAPI SetPrinterStatusDirectA(DWORD handle, LPCSTR item, const void* data, DWORD size);
SRMAPI SetReqPrinterStatusMsgA(DWORD handle, LPCSTR item, const void* data, DWORD size,
                               HWND window, UINT message, DWORD* requestId);
SRMAPI ResSetPrinterStatus(DWORD handle, DWORD requestId, DWORD* status);
SRMAPI SetNotificationMsgA(DWORD handle, LPCSTR item, HWND window, UINT message,
                           DWORD* notificationId);
SRMAPI KillNotificationMsg(DWORD handle, DWORD notificationId);

// The access mode the panel always asks for.
constexpr DWORD kSrmAccess = 11;

// Status items and the buffer size the panel passes for each.
#define SRM_ITEM_USERAUTHORITY "UserAuthority"
#define SRM_ITEM_PRINTERSTATUS "PrinterStatus"
#define SRM_ITEM_PRINTEREXTSTATUS "PrinterExtStatus"
#define SRM_ITEM_PRINTERNAME "PrinterName"
#define SRM_ITEM_PORT "Port"
#define SRM_ITEM_SETTINGS "RPVariables_PSV"

constexpr DWORD kSrmSizeUserAuthority = 4;
constexpr DWORD kSrmSizePrinterStatus = 12;   // three 32-bit words
constexpr DWORD kSrmSizePrinterExtStatus = 4;
constexpr DWORD kSrmSizePrinterName = 256;
constexpr DWORD kSrmSizePort = 260;           // 4 bytes, then two 128-byte texts
constexpr DWORD kSrmPortTextOffset = 4;
constexpr DWORD kSrmPortDetailOffset = 132;
constexpr DWORD kSrmPortTextSize = 128;
constexpr DWORD kSrmSizeSettings = 260;

// Reads a status item. For "RPVariables_PSV" the destination is a
// SettingsRecord: the block is read and decoded into it, and the program-wide
// custom feed values are refreshed (a block without its format marks counts as
// success and leaves both untouched). Any other item lands unchanged in the
// buffer. Returns 0 or the SRM's result unchanged.
DWORD ReadStatusItem(DWORD handle, LPCSTR item, void* destination, DWORD size, DWORD* length);
