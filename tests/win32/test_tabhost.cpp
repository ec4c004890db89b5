// The tab host of the real panel, hosting test pages built in memory: the
// tabs, lazy creation, showing one page at a time, enabling and disabling
// the pages together, the toolbar rules, the collect pass and the focus.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "page_common.h"
#include "page_table.h"
#include "test_panel_support.h"

using namespace paneltest;

namespace {

constexpr int kMarker = IDC_PAGE0_MARKER;  // check box standing for the page's state
constexpr int kEdit = 1200;

// ---- Test pages ----

struct PageLog {
    int created = 0;
    int showRecord = 0;
    int disable = 0;
    int storeAnswer = 1;
};
PageLog pageLogs[kPageCount];
std::vector<int> storeOrder;

void EnablePage(HWND page, BOOL enable) {
    EnableWindow(GetDlgItem(page, kMarker), enable);
    EnableWindow(GetDlgItem(page, kEdit), enable);
}

template <int Index>
INT_PTR CALLBACK TestPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    PageLog& log = pageLogs[Index];
    switch (message) {
    case WM_INITDIALOG: {
        ++log.created;
        PlacePage(page);
        EnablePage(page, IsRecordLoaded());
        return TRUE;  // as the program's pages: the dialog manager focuses the first control
    }
    case RPM_SHOWRECORD:
        ++log.showRecord;
        if (IsRecordLoaded()) EnablePage(page, TRUE);
        return TRUE;
    case RPM_DISABLE:
        ++log.disable;
        EnablePage(page, FALSE);
        return TRUE;
    case RPM_STORE:
        storeOrder.push_back(Index);
        *reinterpret_cast<int*>(lParam) = log.storeAnswer;
        return TRUE;
    }
    return FALSE;
}

// A child page template: the marker check box and an edit, in dialog units.
std::vector<WORD> BuildPageTemplate() {
    std::vector<WORD> words;
    auto dword = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    auto align = [&] {
        if (words.size() % 2) words.push_back(0);
    };
    dword(WS_CHILD | WS_VISIBLE | DS_CONTROL);
    dword(0);
    words.push_back(2);  // items
    for (short v : {0, 0, 223, 110}) words.push_back(static_cast<WORD>(v));
    words.push_back(0);  // menu
    words.push_back(0);  // class
    words.push_back(0);  // title
    struct Item {
        DWORD style;
        short x, y, cx, cy;
        WORD id;
        WORD classAtom;
    } items[] = {
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 4, 60, 10, static_cast<WORD>(kMarker), 0x0080},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 4, 20, 60, 12, kEdit, 0x0081},
    };
    for (const Item& item : items) {
        align();
        dword(item.style);
        dword(0);
        for (short v : {item.x, item.y, item.cx, item.cy}) words.push_back(static_cast<WORD>(v));
        words.push_back(item.id);
        words.push_back(0xFFFF);
        words.push_back(item.classAtom);
        words.push_back(0);  // title
        words.push_back(0);  // creation data
    }
    return words;
}

constexpr WORD kTemplateBase = 60000;
constexpr WORD kMissingTemplate = 60099;

LPCDLGTEMPLATEA FindTestTemplate(WORD id) {
    static const std::vector<WORD> page = BuildPageTemplate();
    if (id == kMissingTemplate) return nullptr;
    return reinterpret_cast<LPCDLGTEMPLATEA>(page.data());
}

// The program's tab texts and icons with test pages behind them.
PageTableEntry testTable[kPageCount];
void FillTestTable() {
    const DLGPROC procedures[kPageCount] = {TestPageProc<0>, TestPageProc<1>, TestPageProc<2>,
                                            TestPageProc<3>, TestPageProc<4>, TestPageProc<5>};
    for (int i = 0; i < kPageCount; ++i) {
        testTable[i] = kPageTable[i];
        testTable[i].templateId = static_cast<WORD>(kTemplateBase + i);
        testTable[i].procedure = procedures[i];
    }
}

class TabHostTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        for (PageLog& log : pageLogs) log = PageLog();
        storeOrder.clear();
        FillTestTable();
        SetPageTableForTesting(testTable, FindTestTemplate);
    }
    void TearDown() override {
        PanelTest::TearDown();
        SetPageTableForTesting(nullptr, nullptr);
    }

    // The panel without a printer to open: only the tab host is set up.
    void OpenPanel() {
        AdoptPrinterList(shelltest::MakeEntry(nullptr, nullptr, nullptr), 1, nullptr);
        ChooseCurrentPrinter(PrinterList);
        SetMultiplePrinters(0);
        ASSERT_NE(CreateMainWindow(), nullptr);
        state_ = State();
        ASSERT_NE(state_, nullptr);
    }

    void SelectTab(int index) {
        SendMessageA(state_->tabControl, TCM_SETCURSEL, index, 0);
        ShowPage(PanelWindow, index);
    }
    static bool PageEnabled(HWND page) { return IsWindowEnabled(GetDlgItem(page, kMarker)) != FALSE; }
};

TEST_F(TabHostTest, TabsCarryTheirTextsAndIcons) {
    OpenPanel();
    HWND tabs = state_->tabControl;
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), kPageCount);
    const UINT texts[kPageCount] = {7, 2, 8, 128, 9, 10};
    std::vector<int> images;
    for (int i = 0; i < kPageCount; ++i) {
        char text[kTextSize] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(std::string(text), Text(texts[i])) << "tab " << i;
        images.push_back(item.iImage);
    }
    EXPECT_EQ(images, (std::vector<int>{0, 1, 2, 3, 4, 5})) << "every icon loaded, in tab order";
    EXPECT_EQ(ImageList_GetImageCount(state_->tabImages), kPageCount);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(tabs, TCM_GETIMAGELIST, 0, 0)), state_->tabImages);
}

TEST_F(TabHostTest, PagesAreMadeOnFirstUseAndShownOneAtATime) {
    OpenPanel();
    EXPECT_EQ(pageLogs[0].created, 1);
    for (int i = 1; i < kPageCount; ++i) EXPECT_EQ(pageLogs[i].created, 0) << i;
    EXPECT_EQ(state_->currentPage, Page(0));

    // The page area: the tab control's display area, below its tab rows, in
    // the panel's coordinates; the page fills it.
    RECT tabs = {};
    GetWindowRect(state_->tabControl, &tabs);
    MapWindowPoints(nullptr, PanelWindow, reinterpret_cast<POINT*>(&tabs), 2);
    RECT rows = {};
    SendMessageA(state_->tabControl, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rows));
    EXPECT_GT(state_->PageArea.left, tabs.left);
    EXPECT_GT(state_->PageArea.top, tabs.top + rows.bottom);
    EXPECT_LT(state_->PageArea.right, tabs.right);
    EXPECT_LT(state_->PageArea.bottom, tabs.bottom);
    RECT page = {};
    GetWindowRect(Page(0), &page);
    MapWindowPoints(nullptr, PanelWindow, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.left, state_->PageArea.left);
    EXPECT_EQ(page.top, state_->PageArea.top);
    EXPECT_GE(page.right, state_->PageArea.right);
    EXPECT_GE(page.bottom, state_->PageArea.bottom);

    SelectTab(3);
    SelectTab(0);
    SelectTab(3);
    EXPECT_EQ(pageLogs[0].created, 1);
    EXPECT_EQ(pageLogs[3].created, 1);
    EXPECT_EQ(state_->currentPage, Page(3));
    EXPECT_TRUE(GetWindowLongA(Page(3), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(Page(0), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(ForegroundRoleWindow, Page(3));
    EXPECT_EQ(ChildWindowFromPoint(PanelWindow, {page.left + 1, page.top + 1}), Page(3)) << "on top of the others";
}

TEST_F(TabHostTest, EmptySlotsShowNothing) {
    testTable[2].procedure = nullptr;
    testTable[4].templateId = kMissingTemplate;
    OpenPanel();
    for (int slot : {2, 4}) {
        SCOPED_TRACE(slot);
        SelectTab(slot);
        EXPECT_EQ(Page(slot), nullptr);
        EXPECT_EQ(state_->currentPage, nullptr);
        EXPECT_EQ(pageLogs[slot].created, 0);
        EXPECT_FALSE(GetWindowLongA(Page(0), GWL_STYLE) & WS_VISIBLE);
    }
    SelectTab(1);
    EXPECT_EQ(state_->currentPage, Page(1));
    EXPECT_EQ(pageLogs[1].created, 1);
}

TEST_F(TabHostTest, PagesAreEnabledAndDisabledTogether) {
    OpenPanel();
    SelectTab(1);
    SelectTab(0);
    InvalidateSettings();

    SetPagesEnabled(PanelWindow, 0);
    EXPECT_FALSE(ControlEnabled(IDC_MODELTEXT));
    EXPECT_FALSE(ControlEnabled(IDC_PORTTEXT));
    EXPECT_FALSE(ToolbarEnabled(CMD_SHOWDEFAULTS));
    EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS));
    for (int i : {0, 1}) {
        EXPECT_EQ(pageLogs[i].disable, 1) << i;
        EXPECT_FALSE(PageEnabled(Page(i))) << i;
    }

    // Not loaded: the frame texts and show defaults come back, the pages stay off.
    SetPagesEnabled(PanelWindow, 1);
    EXPECT_TRUE(ControlEnabled(IDC_MODELTEXT));
    EXPECT_TRUE(ControlEnabled(IDC_PORTTEXT));
    EXPECT_TRUE(ToolbarEnabled(CMD_SHOWDEFAULTS));
    EXPECT_FALSE(ToolbarEnabled(CMD_READSETTINGS)) << "read is the toolbar rules' business";
    for (int i : {0, 1}) {
        EXPECT_EQ(pageLogs[i].showRecord, 1) << i;
        EXPECT_FALSE(PageEnabled(Page(i))) << i;
    }
    EXPECT_EQ(pageLogs[2].showRecord + pageLogs[2].disable, 0) << "never created, never asked";

    LoadDefaultSettings();
    SetPagesEnabled(PanelWindow, 1);
    for (int i : {0, 1}) EXPECT_TRUE(PageEnabled(Page(i))) << i;
}

TEST_F(TabHostTest, ToolbarFollowsThePanelState) {
    OpenPanel();
    struct Case {
        const char* label;
        int read, update, notReady, readPending, writePending, multiple;
        bool pagesOn;
        bool readButton, defaultsButton, changeButton;
    } cases[] = {
        {"ready", 1, 1, 0, 0, 0, 1, true, true, true, true},
        {"one printer", 1, 1, 0, 0, 0, 0, true, true, true, false},
        {"pages off", 1, 1, 0, 0, 0, 1, false, true, false, true},
        {"not ready", 1, 1, 1, 0, 0, 1, true, false, true, true},
        {"reading", 1, 1, 0, 1, 0, 1, true, false, false, false},
        {"writing", 1, 1, 0, 0, 1, 1, true, false, true, false},
        {"update only", 0, 1, 0, 0, 0, 1, true, false, true, true},
        {"read only", 1, 0, 0, 0, 0, 1, true, true, true, true},
        {"neither", 0, 0, 0, 0, 0, 1, true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ReadAllowed = c.read;
        UpdateAllowed = c.update;
        PrinterNotReady = c.notReady;
        ReadPending = c.readPending;
        WritePending = c.writePending;
        MultiplePrinters = c.multiple;
        EnablePage(Page(0), c.pagesOn);
        RefreshToolbar();
        EXPECT_EQ(ToolbarEnabled(CMD_READSETTINGS), c.readButton);
        EXPECT_EQ(ToolbarEnabled(CMD_SHOWDEFAULTS), c.defaultsButton);
        EXPECT_EQ(ToolbarEnabled(CMD_CHANGEPRINTER), c.changeButton);
        EXPECT_TRUE(ToolbarEnabled(CMD_HELPMODE));
    }
}

TEST_F(TabHostTest, CollectPassStopsAtTheFirstRefusingPage) {
    struct Case {
        const char* label;
        std::vector<int> created;  // besides page 0
        std::vector<int> refusing;
        int result;
        std::vector<int> asked;
    } cases[] = {
        {"all six store", {1, 2, 3, 4, 5}, {}, 1, {0, 1, 2, 3, 4, 5}},
        {"third refuses", {1, 2, 3, 4, 5}, {2}, 0, {0, 1, 2}},
        {"first refuses", {1, 2, 3, 4, 5}, {0}, 0, {0}},
        {"empty slots keep the answer", {3}, {}, 1, {0, 3}},
        {"refusal after empty slots", {3}, {3}, 0, {0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        OpenPanel();
        for (int index : c.created) SelectTab(index);
        for (PageLog& log : pageLogs) log.storeAnswer = 1;
        for (int index : c.refusing) pageLogs[index].storeAnswer = 0;
        storeOrder.clear();
        EXPECT_EQ(CollectPages(PanelWindow), c.result);
        EXPECT_EQ(storeOrder, c.asked);
        TearDown();
        SetUp();
    }
}

// The tab control tells the panel of a change before and after it; whether
// the focus was on the strip then decides where it goes. (The mouse path
// depends on the tab control: under Wine a click first focuses the strip.)
void NotifyTabChange(HWND panel, HWND tabs, int index) {
    NMHDR header = {tabs, IDC_TABS, static_cast<UINT>(TCN_SELCHANGING)};
    SendMessageA(panel, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
    SendMessageA(tabs, TCM_SETCURSEL, index, 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(panel, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
}

TEST_F(TabHostTest, FocusMovesIntoTheNewPageUnlessOnTheStrip) {
    LoadDefaultSettings();  // pages with a record: their controls can take the focus
    OpenPanel();
    HWND tabs = state_->tabControl;
    SetFocus(GetDlgItem(Page(0), kEdit));
    ASSERT_EQ(GetFocus(), GetDlgItem(Page(0), kEdit));

    NotifyTabChange(PanelWindow, tabs, 2);
    ASSERT_EQ(state_->currentPage, Page(2));
    EXPECT_EQ(state_->focusReturn, Page(0));
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == Page(2) || IsChild(Page(2), focus)) << "focus in the new page";

    // Arrow keys on the focused strip: the real tab control sends the
    // notifications; the focus stays there, also on a page made just now.
    SetFocus(tabs);
    SendMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(state_->currentPage, Page(3));
    EXPECT_EQ(state_->focusReturn, tabs);
    EXPECT_EQ(GetFocus(), tabs);

    // A page that brings itself forward (TCM_SETCURSEL, no notification)
    // leaves the last focus-return choice standing.
    SetFocus(GetDlgItem(Page(3), kEdit));
    SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
    ShowPage(PanelWindow, 1);
    EXPECT_EQ(state_->focusReturn, tabs);
    EXPECT_EQ(state_->currentPage, Page(1));
}

}  // namespace
