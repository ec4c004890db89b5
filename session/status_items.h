// A printer's three status items read through an open SRM handle, and the
// status texts of the verdicts (status_pure.h).
#pragma once
#include <windows.h>

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

// The status text of a verdict's textId (status_pure.h) into buffer.
void LoadStatusTextOf(int textId, char* buffer, int size);
