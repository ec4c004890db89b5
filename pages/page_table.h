// The six setting pages of the tab host, in tab order: dialog template, page
// procedure, tab text and tab icon. A page whose procedure is null, or whose
// template cannot be found, leaves its tab slot empty.
#pragma once
#include <windows.h>

#include "page_host.h"

struct PageTableEntry {
    WORD templateId;     // RT_DIALOG resource of the page
    DLGPROC procedure;   // null until the page exists
    UINT tabTextId;      // string resource of the tab text
    WORD tabIconId;      // 16 x 16 icon of the tab
};

// The program's own table.
extern const PageTableEntry kPageTable[kPageCount];

// The table the tab host uses: kPageTable unless a test substituted another.
const PageTableEntry* ActivePageTable();
// The locked dialog template of a page, or null when there is none.
LPCDLGTEMPLATEA FindPageTemplate(WORD templateId);

// Tests host their own pages: table holds kPageCount entries and stays valid
// while in use; finder supplies their templates (null: the program's dialog
// resources). A null table restores the program's table and lookup.
typedef LPCDLGTEMPLATEA (*PageTemplateFinder)(WORD templateId);
void SetPageTableForTesting(const PageTableEntry* table, PageTemplateFinder finder);
