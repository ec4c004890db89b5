// Reading and evaluating the printer's status items, the status text and
// picture of the panel, the SRM change notifications, and text fitting.
#pragma once
#include <windows.h>

// The print-enable switch case was last seen (0) or not (1).
extern int SwitchFlag;

// The three status items as the SRM gives them; an item not read holds kUnreadItem.
constexpr DWORD kUnreadItem = static_cast<DWORD>(-1);
struct StatusItemValues {
    DWORD extStatus;
    DWORD status[3];
    DWORD authority;
};
enum StatusItem { ItemExtStatus, ItemStatus, ItemAuthority };
// Reads one item of an open SRM handle into *values: 0 when it was read, else
// the id of the text saying which item failed (the value is then kept, or, as
// the SRM gave it, unread).
UINT ReadStatusItemOf(DWORD handle, StatusItem which, StatusItemValues* values);
// All three in that order; the first failure's text id, or 0.
UINT ReadStatusItemsOf(DWORD handle, StatusItemValues* values);

// Reads "PrinterExtStatus", "PrinterStatus", "UserAuthority" into the panel
// data; 1 when all three were read, else 0 with the failure text in MessageText.
int ReadStatusItems();
// Reads one item after its change notification (message 1234, 1235 or 1236);
// same result convention.
int ReadChangedStatusItem(UINT notification);

// Registers the six change notifications of the panel window in their fixed
// order; 1 when all are registered, else 0 with the failure text in MessageText.
int RegisterNotifications(HWND panel);

// Sets ReadAllowed, UpdateAllowed, PrinterNotReady and StatusText from the
// three items; 1 when the panel can work with the printer, 0 when it cannot
// (with one printer the reason has then been shown, owned by owner).
int EvaluateStatus(HWND owner, DWORD extStatus, const DWORD* status, DWORD authority);

// The status text of a verdict's textId (status_pure.h) into buffer.
void LoadStatusTextOf(int textId, char* buffer, int size);

// Shows the status text in control (281) and has the picture redrawn, unless
// nothing it shows changed since the last call.
void ShowStatus(HWND control);

// WM_DRAWITEM of the status picture button 277 of the panel.
void DrawStatusPicture(HWND panel, const DRAWITEMSTRUCT* item);

// Fits text into width pixels with the DC's font, ending in ellipsis when cut;
// never splits a double-byte character. 1 on success, 0 on failure.
int FitText(HDC dc, int width, LPCSTR text, LPCSTR ellipsis, char* out, size_t outSize);
