// The panel dialog, its tab host and its process-wide data, shared by the
// panel, the status display, the update procedure and the setting pages.
#pragma once
#include <windows.h>
#include <commctrl.h>

constexpr int kPageCount = 6;

// Per-panel record of the tab host; allocated zero-filled (LocalAlloc) by the
// panel on its first WM_INITDIALOG, kept in the panel's GWLP_USERDATA and
// freed by start-up's clean-up after the message loop.
struct PanelState {
    HWND tabControl;                    // control 284
    HWND currentPage;
    HWND pages[kPageCount];
    HWND focusReturn;
    RECT PageArea;                      // tab control rectangle in panel coordinates, shifted (-2, -6)
    LPCDLGTEMPLATEA templates[kPageCount];
    DLGPROC procedures[kPageCount];
    HIMAGELIST tabImages;
};

// Pages place themselves at PageArea + (kPageOffsetX, kPageOffsetY).
constexpr int kPageOffsetX = 6;
constexpr int kPageOffsetY = 50;

// Process-wide panel data. Defined in panel_data.cpp.
enum NotificationSlot {
    NotifyPrinterName, NotifyPort, NotifyExtStatus, NotifyStatus, NotifyAuthority, NotifySettings,
    kNotificationCount
};
extern DWORD SrmHandle;                          // 0 = not open
extern DWORD Notifications[kNotificationCount];  // 0 = not registered
extern DWORD WriteRequestId;
extern int ReadAllowed;       // 1
extern int UpdateAllowed;     // 1
extern int PrinterNotReady;   // 0
extern int ReadPending;       // 0
extern int WritePending;      // 0
extern int ReadRetries;       // 3
extern DWORD ExtStatusValue;          // -1
extern DWORD StatusValues[3];         // -1, -1, -1
extern DWORD AuthorityValue;          // -1
extern char StatusText[256];

// Kills every registered notification in slot order, clears the slots and
// closes the SRM handle (no-op without a handle).
void ReleaseSrmHandle();

// The panel's PanelState, or null before the first WM_INITDIALOG.
PanelState* GetPanelState(HWND panel);
