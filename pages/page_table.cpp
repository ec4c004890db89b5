#include "page_table.h"

#include "messages.h"
#include "page_common.h"
#include "resource.h"

namespace {

const PageTableEntry* activeTable = kPageTable;
PageTemplateFinder templateFinder = nullptr;

}  // namespace

// The six pages in tab order.
const PageTableEntry kPageTable[kPageCount] = {
    {IDD_PAPER_PAGE, PaperPageProc, IDS_TAB_PAPER, IDI_TAB_PAPER},
    {IDD_FORMAT_PAGE, FormatPageProc, IDS_TAB_FORMAT, IDI_TAB_FORMAT},
    {IDD_FONT_PAGE, FontPageProc, IDS_TAB_FONT, IDI_TAB_FONT},
    {IDD_PRINT_PAGE, PrintPageProc, IDS_TAB_PRINT, IDI_TAB_PRINT},
    {IDD_ENVIRONMENT_PAGE, EnvironmentPageProc, IDS_TAB_ENVIRONMENT, IDI_TAB_ENVIRONMENT},
    {IDD_OTHER_PAGE, OtherPageProc, IDS_TAB_OTHER, IDI_TAB_OTHER},
};

const PageTableEntry* ActivePageTable() {
    return activeTable;
}

LPCDLGTEMPLATEA FindPageTemplate(WORD templateId) {
    if (templateFinder) return templateFinder(templateId);
    HRSRC resource = FindResourceA(AppInstance, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(AppInstance, resource);
    if (!loaded) return nullptr;
    return static_cast<LPCDLGTEMPLATEA>(LockResource(loaded));
}

void SetPageTableForTesting(const PageTableEntry* table, PageTemplateFinder finder) {
    activeTable = table ? table : kPageTable;
    templateFinder = table ? finder : nullptr;
}
