// The Paper page (template 193) and its advanced paper settings (198), run
// from the program's resources inside a window that plays the panel.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "test_paper_host.h"

using namespace pagetest;

namespace {

constexpr int kPaperIndex = 0;
constexpr int kFormatIndex = 1;

const int kPaperSettingControls[] = {1159, 1160, 1162, 1169, 1171, 1164, 1173, 1323, 1326, 1176,
                                     1174, 1324, 1327, 1177, 1175, 1325, 1328, 1179, 1166};

class PaperPageTest : public PageTest<kPaperIndex> {};

// ---- Template ----

const ControlCase kPageControls[] = {
    {1159, "Button", "用紙セット位置", 0x10000},
    {1160, "Button", "センタ(&N)", 0x10000},
    {1162, "Button", "レフト(&L)", 0x10000},
    {1301, "Static", nullptr, 0x10010},
    {1169, "Button", "ハガキ印刷モード(&P)", 0x10020},
    {1171, "Button", "ミシン目スキップ(&M) ", 0x10030},
    {1302, "Static", nullptr, 0x10040},
    {1164, "Button", "用紙吸入時ヘッドセンタリング位置", 0x10050},
    {1173, "Static", "カット紙(&T)", 0x10060},
    {1323, "Edit", nullptr, 0x10060},
    {1326, "msctls_updown32", nullptr, 0x10060},
    {1176, "Static", "桁", 0x10060},
    {1174, "Static", "連続紙・前(&F)", 0x10070},
    {1324, "Edit", nullptr, 0x10070},
    {1327, "msctls_updown32", nullptr, 0x10070},
    {1177, "Static", "桁", 0x10070},
    {1175, "Static", "連続紙・後(&B)", 0x10080},
    {1325, "Edit", nullptr, 0x10080},
    {1328, "msctls_updown32", nullptr, 0x10080},
    {1179, "Static", "桁", 0x10080},
    {1166, "Button", "高度設定(&D)...", 0x10090},
};

TEST_F(PaperPageTest, TemplateControlsStartDisabledWithoutRecord) {
    InvalidateSettings();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    ExpectControls(page, kPageControls, ARRAYSIZE(kPageControls), true);
    EXPECT_EQ(ControlText(page, 1323), "");
    EXPECT_FALSE(Checked(page, 1160));
    EXPECT_FALSE(Checked(page, 1162));
    EXPECT_TRUE(host.notices.empty());

    // A load request while the record is not loaded does nothing.
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1323)));

    LoadDefaultSettings();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kPaperSettingControls, true);
    EXPECT_EQ(ControlText(page, 1323), "40");
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(PaperPageTest, TemplateStylesAndSize) {
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    const LONG pageStyle = GetWindowLongA(page, GWL_STYLE);
    EXPECT_TRUE(pageStyle & WS_CHILD);
    EXPECT_FALSE(pageStyle & WS_CAPTION);
    ExpectSize(page, 223, 110);
    const SpinCase spins[] = {{1326, 1323, 10, 68}, {1327, 1324, 10, 68}, {1328, 1325, 68, 126}};
    ExpectSpins(page, spins, ARRAYSIZE(spins));
}

// ---- Contract with the panel ----

TEST_F(PaperPageTest, PlacesItselfAndTakesTheForegroundRole) {
    HWND page = OpenPage();
    ExpectPlacedInPageArea(host, page);
    EXPECT_EQ(ForegroundRoleWindow, page);
}

TEST_F(PaperPageTest, DisableRequestDisablesTheSettingControls) {
    HWND page = OpenPage();
    SendMessageA(page, RPM_DISABLE, 0, 0);
    ExpectEnabled(page, kPaperSettingControls, false);
    EXPECT_TRUE(host.notices.empty());
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kPaperSettingControls, true);
}

// A page keeps the handles it has looked up; a miss is asked again, and a
// window that is no page (the host) is asked each time.
TEST_F(PaperPageTest, KeepsTheControlsItHasLookedUp) {
    HWND page = OpenPage();
    for (int id : kPaperSettingControls) EXPECT_EQ(DialogItem(page, id), GetDlgItem(page, id)) << id;

    constexpr int kLate = 1999;
    EXPECT_EQ(DialogItem(page, kLate), nullptr);
    HWND late = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, page,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLate)), AppInstance, nullptr);
    EXPECT_EQ(DialogItem(page, kLate), late);

    const LONG_PTR table = GetWindowLongPtrA(page, DWLP_USER);
    EXPECT_NE(table, 0);
    SendMessageA(page, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(GetWindowLongPtrA(page, DWLP_USER), table) << "a second WM_INITDIALOG keeps the table";
    EXPECT_EQ(DialogItem(page, kLate), late);

    EXPECT_EQ(DialogItem(host.window(), IDC_TABS), host.tab());

    // More controls than the table holds: the rest are looked up each time.
    for (int id = 3000; id < 3080; ++id) {
        HWND extra = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, page,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance, nullptr);
        EXPECT_EQ(DialogItem(page, id), extra) << id;
        EXPECT_EQ(DialogItem(page, id), extra) << id << ", asked again";
    }
    for (int id : kPaperSettingControls) EXPECT_EQ(DialogItem(page, id), GetDlgItem(page, id)) << id;
}

struct LoadCase {
    const char* label;
    void (*change)(SettingsRecord*);
    const char* cut;
    const char* front;
    const char* rear;
    bool center;
    bool postcard;
    bool skip;
};

const LoadCase kLoadCases[] = {
    {"factory record", [](SettingsRecord*) {}, "40", "36", "96", false, false, false},
    {"range ends", [](SettingsRecord* r) { r->headCenterCut = 10; r->headCenterFront = 68; r->headCenterRear = 126; },
     "10", "68", "126", false, false, false},
    {"centre, postcard, skip", [](SettingsRecord* r) { r->paperSetCenter = 1; r->postcardMode = 1; r->switches[2] |= 0x80; },
     "40", "36", "96", true, true, true},
    {"any nonzero set position is centre; postcard only when 1",
     [](SettingsRecord* r) { r->paperSetCenter = 5; r->postcardMode = 2; }, "40", "36", "96", true, false, false},
    {"out-of-table feed values", [](SettingsRecord* r) { r->cutSheetFeed = 20; r->contFrontFeed = -1; r->formatSelect = 9; },
     "40", "36", "96", false, false, false},
};

TEST_F(PaperPageTest, LoadSendsNoNoticeAndTheFirstKeystrokeSendsOne) {
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        c.change(&Settings);
        HWND page = host.state().pages[kPaperIndex] ? host.state().pages[kPaperIndex] : OpenPage();
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        PumpPending();
        EXPECT_EQ(ControlText(page, 1323), c.cut);
        EXPECT_EQ(ControlText(page, 1324), c.front);
        EXPECT_EQ(ControlText(page, 1325), c.rear);
        EXPECT_EQ(Checked(page, 1160), c.center);
        EXPECT_EQ(Checked(page, 1162), !c.center);
        EXPECT_EQ(Checked(page, 1169), c.postcard);
        EXPECT_EQ(Checked(page, 1171), c.skip);
        EXPECT_EQ(IconShown(page, 1301), SharedIcon(c.center ? IDI_PAPERSET_CENTER : IDI_PAPERSET_LEFT));
        EXPECT_EQ(IconShown(page, 1302), SharedIcon(c.skip ? IDI_PERFSKIP_ON : IDI_PERFSKIP_OFF));
        EXPECT_TRUE(host.notices.empty());

        for (int edit : {1323, 1324, 1325}) {
            host.notices.clear();
            Type(page, edit, '1');
            EXPECT_EQ(host.NoticesFrom(page), 1) << "first keystroke in edit " << edit;
        }
        host.notices.clear();
    }
}

TEST_F(PaperPageTest, ReloadingTheSameValuesLeavesNoStaleEchoes) {
    HWND page = OpenPage();
    // The edits already show these values: a spin that finds its text right
    // may write nothing, so the load's echo count must not outlive the load.
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    EXPECT_TRUE(host.notices.empty());
    Type(page, 1323, '5');
    EXPECT_EQ(host.NoticesFrom(page), 1);
}

TEST_F(PaperPageTest, ClicksReportChangesAndIconsFollow) {
    HWND page = OpenPage();
    Click(page, 1160);
    EXPECT_EQ(IconShown(page, 1301), SharedIcon(IDI_PAPERSET_CENTER));
    EXPECT_EQ(host.NoticesFrom(page), 1);
    Click(page, 1162);
    EXPECT_EQ(IconShown(page, 1301), SharedIcon(IDI_PAPERSET_LEFT));
    EXPECT_EQ(host.NoticesFrom(page), 2);

    host.notices.clear();
    const HICON before = IconShown(page, 1302);
    Click(page, 1171);
    EXPECT_EQ(IconShown(page, 1302), SharedIcon(IDI_PERFSKIP_ON));
    Click(page, 1171);
    EXPECT_EQ(IconShown(page, 1302), before);
    EXPECT_EQ(host.NoticesFrom(page), 2);

    host.notices.clear();
    Click(page, 1169);
    EXPECT_EQ(host.NoticesFrom(page), 1);
}

TEST_F(PaperPageTest, SpinArrowKeysReportChanges) {
    HWND page = OpenPage();
    HWND edit = GetDlgItem(page, 1323);
    SendMessageA(edit, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(edit, WM_KEYUP, VK_UP, 0);
    PumpPending();
    EXPECT_EQ(ControlText(page, 1323), "41");
    EXPECT_GE(host.NoticesFrom(page), 1);

    // A scroll message alone (the spin's own notification) reports too.
    host.notices.clear();
    SendMessageA(page, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 42),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, 1328)));
    EXPECT_EQ(host.NoticesFrom(page), 1);
}

// ---- Store ----

struct StoreCase {
    const char* label;
    int edit;
    const char* text;
    bool accepted;
};

const StoreCase kStoreCases[] = {
    {"cut sheet 9", 1323, "9", false},      {"cut sheet 10", 1323, "10", true},
    {"cut sheet 68", 1323, "68", true},     {"cut sheet 69", 1323, "69", false},
    {"front 9", 1324, "9", false},          {"front 10", 1324, "10", true},
    {"front 68", 1324, "68", true},         {"front 69", 1324, "69", false},
    {"rear 67", 1325, "67", false},         {"rear 68", 1325, "68", true},
    {"rear 126", 1325, "126", true},        {"rear 127", 1325, "127", false},
    {"cut sheet empty", 1323, "", false},   {"rear pasted letters", 1325, "9x", false},
    {"front far too large", 1324, "4294967306", false},
};

TEST_F(PaperPageTest, StoreBoundaries) {
    HWND page = OpenPage();
    for (const StoreCase& c : kStoreCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        Boxes().clear();
        SetDlgItemTextA(page, c.edit, c.text);
        SetFocus(GetDlgItem(page, 1166));
        const int result = PageHost::Store(page);
        if (c.accepted) {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(Boxes().empty());
            const int32_t stored = c.edit == 1323 ? Settings.headCenterCut
                                   : c.edit == 1324 ? Settings.headCenterFront
                                                    : Settings.headCenterRear;
            EXPECT_EQ(stored, atoi(c.text));
        } else {
            EXPECT_EQ(result, 0);
            ASSERT_EQ(Boxes().size(), 1u);
            EXPECT_EQ(Boxes()[0].text, StringResource(79));
            char caption[kTextSize];
            BuildPanelCaption(caption, sizeof caption);
            EXPECT_EQ(Boxes()[0].caption, caption);
            EXPECT_EQ(Boxes()[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
            EXPECT_EQ(GetFocus(), GetDlgItem(page, c.edit));
        }
    }
}

TEST_F(PaperPageTest, StoreWritesExactlyItsFieldsAndTheCommandCarriesThem) {
    Settings.switches[2] = 0x06;  // other bits of the byte must survive
    HWND page = OpenPage();
    Click(page, 1160);
    Click(page, 1169);
    Click(page, 1171);
    SetDlgItemTextA(page, 1323, "50");
    SetDlgItemTextA(page, 1324, "20");
    SetDlgItemTextA(page, 1325, "100");
    SettingsRecord expected = Settings;
    expected.paperSetCenter = 1;
    expected.postcardMode = 1;
    expected.switches[2] = 0x86;
    expected.headCenterCut = 50;
    expected.headCenterFront = 20;
    expected.headCenterRear = 100;

    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, expected));

    const std::string command = CommandOf(Settings);
    EXPECT_EQ(command.substr(28, 2), "50") << "cut-sheet head position";
    EXPECT_EQ(command.substr(31, 2), "20") << "front head position";
    EXPECT_EQ(command.substr(34, 3), "100") << "rear head position";
    EXPECT_EQ(command[26], '0') << "paper set centre";
    EXPECT_EQ(command[24], '1') << "postcard mode";
    EXPECT_EQ(command[10], 0x06) << "switch byte 2, low nibble";
    EXPECT_EQ(command[11], 0x08) << "switch byte 2, high nibble (perforation skip)";

    // Unticking again clears the bit and returns to left.
    Click(page, 1162);
    Click(page, 1171);
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_EQ(Settings.paperSetCenter, 0);
    EXPECT_EQ(Settings.switches[2], 0x06);
    EXPECT_EQ(CommandOf(Settings)[26], '1');
}

TEST_F(PaperPageTest, FailedStoreKeepsEarlierStepsAndLaterFieldsUntouched) {
    HWND page = OpenPage();
    Click(page, 1160);
    SetDlgItemTextA(page, 1324, "69");
    SetDlgItemTextA(page, 1323, "30");
    SetDlgItemTextA(page, 1325, "70");
    EXPECT_EQ(PageHost::Store(page), 0);
    EXPECT_EQ(Settings.paperSetCenter, 1) << "stored before the failing step";
    EXPECT_EQ(Settings.headCenterCut, 30) << "stored before the failing step";
    EXPECT_EQ(Settings.headCenterFront, 36) << "the failing field keeps its value";
    EXPECT_EQ(Settings.headCenterRear, 96) << "not reached";
}

TEST_F(PaperPageTest, FailedStoreFromAnotherTabBringsThePaperTabForward) {
    HWND page = OpenPage();
    HWND format = host.Show(kFormatIndex);
    ASSERT_NE(format, nullptr);
    ASSERT_EQ(host.state().currentPage, format);
    ASSERT_FALSE(IsWindowVisible(page));

    SetDlgItemTextA(page, 1325, "127");
    EXPECT_EQ(PageHost::Store(page), 0);
    PumpPending();
    EXPECT_EQ(SendMessageA(host.tab(), TCM_GETCURSEL, 0, 0), kPaperIndex);
    EXPECT_EQ(host.state().currentPage, page);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_FALSE(IsWindowVisible(format));
    EXPECT_EQ(GetFocus(), GetDlgItem(page, 1325));
    EXPECT_EQ(Boxes().size(), 1u);
}

// ---- Context help ----

TEST_F(PaperPageTest, ContextHelpGoesThroughTheHelpSeam) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    HWND edit = GetDlgItem(page, 1323);
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = 1323;
    info.hItemHandle = edit;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(HelpCalls().size(), 1u);
    EXPECT_EQ(HelpCalls()[0].window, edit);
    EXPECT_EQ(HelpCalls()[0].command, static_cast<UINT>(HELP_WM_HELP));
    EXPECT_EQ(HelpCalls()[0].data, reinterpret_cast<ULONG_PTR>(HelpContextTable));

    info.iContextType = HELPINFO_MENUITEM;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(HelpCalls().size(), 1u) << "menu help asks nothing";

    HWND check = GetDlgItem(page, 1171);
    SendMessageA(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(check), MAKELPARAM(10, 10));
    ASSERT_EQ(HelpCalls().size(), 2u);
    EXPECT_EQ(HelpCalls()[1].window, check);
    EXPECT_EQ(HelpCalls()[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
    EXPECT_EQ(HelpCalls()[1].data, reinterpret_cast<ULONG_PTR>(HelpContextTable));
}

// ---- Advanced paper settings ----

struct AdvancedRun {
    INT_PTR ignored;
    HWND dialog;
    HWND roleWhileOpen;
    std::string caption;
    int rows;
    int selected;
    std::string selectedText;
    bool memoryTicked;
    bool ranOut;
};

// Opens the dialog from the page, looks at it, runs `act` on it and ends it with `button`.
AdvancedRun RunAdvanced(HWND page, std::function<void(HWND)> act, int button) {
    AdvancedRun run = {};
    ModalScript script({[&](HWND dialog) {
        run.dialog = dialog;
        run.roleWhileOpen = ForegroundRoleWindow;
        run.caption = Caption(dialog);
        run.rows = ComboCount(dialog, 1308);
        run.selected = ComboSelected(dialog, 1308);
        run.selectedText = ComboRowText(dialog, 1308, run.selected);
        run.memoryTicked = Checked(dialog, 1231);
        if (act) act(dialog);
        PostMessageA(dialog, WM_COMMAND, button, 0);
    }});
    Click(page, 1166);
    run.ranOut = script.ranOut();
    return run;
}

// A window that hands the pages no hooks: the page stays where its template
// puts it, a failed store leaves the tabs alone, and the page's dialogs run
// and report as plain modal dialogs.
TEST_F(PaperPageTest, WithoutHostHooksThePageStillWorks) {
    SetPageHostHooks(PageHostHooks{});
    HWND page = OpenPage();
    RECT rect;
    GetWindowRect(page, &rect);
    MapWindowPoints(nullptr, host.window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_FALSE(rect.left == kPageArea.left && rect.top == kPageArea.top) << "not placed";

    HWND format = host.Show(kFormatIndex);
    SetDlgItemTextA(page, 1325, "127");
    EXPECT_EQ(PageHost::Store(page), 0);
    PumpPending();
    EXPECT_EQ(SendMessageA(host.tab(), TCM_GETCURSEL, 0, 0), kFormatIndex);
    EXPECT_EQ(host.state().currentPage, format);
    EXPECT_EQ(Boxes().size(), 1u);

    host.notices.clear();
    int depthWhileOpen = -1;
    AdvancedRun run = RunAdvanced(page, [&](HWND) { depthWhileOpen = PanelModalDepth(); }, IDOK);
    EXPECT_FALSE(run.ranOut);
    EXPECT_EQ(depthWhileOpen, 0) << "no host counts it";
    EXPECT_EQ(host.NoticesFrom(page), 1);
    LinkPagesToPanel();
}

TEST_F(PaperPageTest, AdvancedDialogShowsTheRecord) {
    const struct {
        const char* label;
        int32_t thickness;
        uint8_t switches2;
        const char* row;
        bool ticked;
    } cases[] = {
        {"automatic, remembered", 0, 0x02, "オート", true},
        {"12 shows row 12", 12, 0x02, "12", true},
        {"13 shows automatic", 13, 0x02, "オート", true},
        {"only the low byte counts", 0x105, 0x02, "5", true},
        {"memory bit set: not remembered", 3, 0x06, "3", false},
    };
    HWND page = OpenPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Settings.paperThickness = c.thickness;
        Settings.switches[2] = c.switches2;
        const SettingsRecord before = Settings;
        host.notices.clear();
        AdvancedRun run = RunAdvanced(page, nullptr, IDCANCEL);
        EXPECT_FALSE(run.ranOut);
        EXPECT_EQ(run.caption, "高度な設定： 用紙 ");
        EXPECT_EQ(run.roleWhileOpen, run.dialog);
        EXPECT_EQ(run.rows, 13);
        EXPECT_EQ(run.selectedText, c.row);
        EXPECT_EQ(run.memoryTicked, c.ticked);
        EXPECT_TRUE(SameRecord(Settings, before)) << "cancel writes nothing";
        EXPECT_TRUE(host.notices.empty());
        EXPECT_EQ(ForegroundRoleWindow, page);
    }
}

TEST_F(PaperPageTest, AdvancedDialogOkWritesBothSettingsAndReports) {
    HWND page = OpenPage();
    Settings.switches[2] = 0x82;
    SettingsRecord expected = Settings;
    expected.switches[2] = 0x86;  // unticked: do not remember
    expected.paperThickness = 7;
    AdvancedRun run = RunAdvanced(page, [](HWND dialog) {
        Click(dialog, 1231);
        ChooseRow(dialog, 1308, 7);
    }, IDOK);
    EXPECT_FALSE(run.ranOut);
    EXPECT_TRUE(SameRecord(Settings, expected));
    EXPECT_EQ(host.NoticesFrom(page), 1);
    EXPECT_EQ(ForegroundRoleWindow, page);

    // OK without a change still reports.
    host.notices.clear();
    RunAdvanced(page, nullptr, IDOK);
    EXPECT_TRUE(SameRecord(Settings, expected));
    EXPECT_EQ(host.NoticesFrom(page), 1);

    // Ticking again clears the bit; row 12 stores 12.
    RunAdvanced(page, [](HWND dialog) {
        Click(dialog, 1231);
        ChooseRow(dialog, 1308, 12);
    }, IDOK);
    EXPECT_EQ(Settings.switches[2], 0x82);
    EXPECT_EQ(Settings.paperThickness, 12);
    EXPECT_EQ(CommandOf(Settings).substr(64, 2), "12");
}

TEST_F(PaperPageTest, AdvancedDialogWithoutSelectionKeepsTheThickness) {
    HWND page = OpenPage();
    Settings.paperThickness = 4;
    RunAdvanced(page, [](HWND dialog) { SendDlgItemMessageA(dialog, 1308, CB_SETCURSEL, static_cast<WPARAM>(-1), 0); },
                IDOK);
    EXPECT_EQ(Settings.paperThickness, 4);
}

TEST_F(PaperPageTest, AdvancedDialogTemplate) {
    HWND page = OpenPage();
    RunAdvanced(page, [](HWND dialog) {
        const ControlCase controls[] = {
            {1231, "Button", "用紙吸入位置を記憶する(&R)", 0x10500},
            {1232, "Static", "用紙厚調整の設定(&T)", 0x10510},
            {1308, "ComboBox", nullptr, 0x10510},
            {IDOK, "Button", "OK", 0x81000300},
            {IDCANCEL, "Button", "キャンセル", 0x81000400},
        };
        ExpectControls(dialog, controls, ARRAYSIZE(controls), false);
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        ExpectSize(dialog, 187, 107);
    }, IDCANCEL);
}

}  // namespace

// ---- Shared helpers: radio pairs bound to bits ----

namespace {

// Two radio pairs whose ids interleave (1207/1210 around 1208/1209), as on the
// operating environment page, and one check box, in a plain window.
class BitRadioTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        const int ids[] = {1207, 1208, 1209, 1210};
        for (int id : ids) {
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_RADIOBUTTON, 0, 0, 10, 10, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
        }
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

const BitBoundRadio kPairs[] = {
    {1208, 1209, 3, 0x20, 1209},  // set means the second radio
    {1207, 1210, 3, 0x01, 1210},
};
const BitBoundRadio kInverted[] = {
    {1208, 1209, 0, 0x80, 1208},  // set means the first radio
};

TEST_F(BitRadioTest, ShowTicksOneRadioOfEachPair) {
    const struct {
        uint8_t byte;
        bool ticked1207, ticked1208, ticked1209, ticked1210;
    } cases[] = {{0x21, false, false, true, true}, {0x00, true, true, false, false}, {0xDE, true, true, false, false},
                 {0x20, true, false, true, false}};
    for (const auto& c : cases) {
        uint8_t switches[4] = {0, 0, 0, c.byte};
        ShowBitRadios(window_, kPairs, ARRAYSIZE(kPairs), switches);
        EXPECT_EQ(Checked(window_, 1207), c.ticked1207) << "byte " << int(c.byte);
        EXPECT_EQ(Checked(window_, 1208), c.ticked1208) << "byte " << int(c.byte);
        EXPECT_EQ(Checked(window_, 1209), c.ticked1209) << "byte " << int(c.byte);
        EXPECT_EQ(Checked(window_, 1210), c.ticked1210) << "byte " << int(c.byte);
    }
}

TEST_F(BitRadioTest, StoreChangesOnlyItsBits) {
    uint8_t switches[4] = {0x11, 0x22, 0x33, 0x5A};
    ShowBitRadios(window_, kPairs, ARRAYSIZE(kPairs), switches);
    StoreBitRadios(window_, kPairs, ARRAYSIZE(kPairs), switches);
    EXPECT_EQ(switches[3], 0x5A) << "unchanged round trip";

    CheckDlgButton(window_, 1209, BST_CHECKED);
    CheckDlgButton(window_, 1208, BST_UNCHECKED);
    CheckDlgButton(window_, 1210, BST_CHECKED);
    CheckDlgButton(window_, 1207, BST_UNCHECKED);
    StoreBitRadios(window_, kPairs, ARRAYSIZE(kPairs), switches);
    EXPECT_EQ(switches[3], 0x7B);
    EXPECT_EQ(switches[0], 0x11);
    EXPECT_EQ(switches[1], 0x22);
    EXPECT_EQ(switches[2], 0x33);

    // Neither radio ticked: nothing is known, the bit stays.
    for (int id : {1207, 1208, 1209, 1210}) CheckDlgButton(window_, id, BST_UNCHECKED);
    StoreBitRadios(window_, kPairs, ARRAYSIZE(kPairs), switches);
    EXPECT_EQ(switches[3], 0x7B);

    // The first radio may be the one that means set.
    uint8_t inverted[4] = {0x00, 0, 0, 0};
    ShowBitRadios(window_, kInverted, ARRAYSIZE(kInverted), inverted);
    EXPECT_TRUE(Checked(window_, 1209));
    EXPECT_FALSE(Checked(window_, 1208));
    CheckDlgButton(window_, 1208, BST_CHECKED);
    CheckDlgButton(window_, 1209, BST_UNCHECKED);
    StoreBitRadios(window_, kInverted, ARRAYSIZE(kInverted), inverted);
    EXPECT_EQ(inverted[0], 0x80);
}

}  // namespace
