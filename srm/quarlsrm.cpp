// Stand-in for the printer-status suite's status manager library.
// (Placeholder exports; the simulated printers come next.)
#include "srm_api.h"

SRMAPI OpenManagerExA(LPCSTR, LPCSTR, DWORD, DWORD*) { return 1; }
SRMAPI CloseManager(DWORD) { return 0; }
SRMAPI GetPrinterStatusA(DWORD, LPCSTR, void*, DWORD, DWORD*) { return 1; }
SRMAPI GetReqPrinterStatusMsgA(DWORD, LPCSTR, HWND, UINT) { return 1; }
SRMAPI SetPrinterStatusDirectA(DWORD, LPCSTR, const void*, DWORD) { return 1; }
SRMAPI SetReqPrinterStatusMsgA(DWORD, LPCSTR, const void*, DWORD, HWND, UINT, DWORD*) { return 1; }
SRMAPI ResSetPrinterStatus(DWORD, DWORD, DWORD*) { return 1; }
SRMAPI SetNotificationMsgA(DWORD, LPCSTR, HWND, UINT, DWORD*) { return 1; }
SRMAPI KillNotificationMsg(DWORD, DWORD) { return 1; }
