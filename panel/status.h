// Reading and evaluating the printer's status items, the status text and
// picture of the panel, the SRM change notifications, and text fitting.
#pragma once
#include <windows.h>

#include "status_items.h"

// The print-enable switch case was last seen (0) or not (1).
extern int SwitchFlag;


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


// Shows the status text in control (281) and has the picture redrawn, unless
// nothing it shows changed since the last call.
void ShowStatus(HWND control);

// WM_DRAWITEM of the status picture button 277 of the panel.
void DrawStatusPicture(HWND panel, const DRAWITEMSTRUCT* item);

// Fits text into width pixels with the DC's font, ending in ellipsis when cut;
// never splits a double-byte character. 1 on success, 0 on failure.
int FitText(HDC dc, int width, LPCSTR text, LPCSTR ellipsis, char* out, size_t outSize);
