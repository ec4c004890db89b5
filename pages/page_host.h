// How the setting pages meet the window that hosts them (the panel) without
// knowing it: the number of pages, the few things a page asks of its host,
// handed down by the host as a table of callbacks, and what the host may ask
// of the pages in return (closing their open dialogs). The pages' own table
// (templates, procedures, tabs) is in page_table.h.
#pragma once
#include <windows.h>

constexpr int kPageCount = 6;

// What the host does for its pages. The host hands its hooks over before it
// creates its first page. Until then, and for a null hook, a page is left
// where its template puts it, its dialogs run as plain modal dialogs and no
// tab is brought forward.
struct PageHostHooks {
    // The area a page of parent fills (parent's client coordinates). false
    // when parent keeps none: the page stays where it is.
    bool (*pageArea)(HWND parent, RECT* area);
    // Runs body(context) as one modal window of the host: a quit of the host
    // that arrives meanwhile waits for it, and may be carried out before
    // runModal returns (the page may be gone then).
    void (*runModal)(void (*body)(void* context), void* context);
    // Selects that tab of the host and shows its page, unless it is current.
    void (*bringTabForward)(HWND parent, int index);
};
void SetPageHostHooks(const PageHostHooks& hooks);

// Closes every dialog of the pages open now, and the boxes they have open,
// as by Cancel, the innermost first: when the printer goes away or the panel
// must end, nothing edited in them may reach the record.
void CancelPageDialogs();
