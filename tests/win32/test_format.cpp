// The Format page (template 192) and its format settings dialog (199), run
// from the program's resources inside a window that plays the panel.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "test_paper_host.h"

using namespace pagetest;

namespace {

constexpr int kPaperIndex = 0;
constexpr int kFormatIndex = 1;

const int kFormatSettingControls[] = {1136, 1137, 1330, 1138, 1331, 1139, 1332, 1140, 1334, 1149, 1317,
                                      1320, 1153, 1151, 1322, 1321, 1155, 1358, 1329, 1134, 1142};

class FormatPageTest : public PageTest<kFormatIndex> {};

// ---- Template ----

const ControlCase kPageControls[] = {
    {1136, "Button", "吸入位置", 0x11000},
    {1137, "Static", "連続紙・前(&F)", 0x11010},
    {1330, "ComboBox", nullptr, 0x11010},
    {1138, "Static", "連続紙・後(&B)", 0x11020},
    {1331, "ComboBox", nullptr, 0x11020},
    {1139, "Static", "カット紙(&T)", 0x11030},
    {1332, "ComboBox", nullptr, 0x11030},
    {1140, "Static", "はがき(&P)", 0x11040},
    {1334, "ComboBox", nullptr, 0x11040},
    {1149, "Static", "用紙長(&N)", 0x11050},
    {1317, "Edit", nullptr, 0x11050},
    {1320, "msctls_updown32", nullptr, 0x11050},
    {1153, "Static", "行", 0x11050},
    {1151, "Button", "カット紙位置補正(&E)", 0x11060},
    {1322, "Edit", nullptr, 0x11060},
    {1321, "msctls_updown32", nullptr, 0x11060},
    {1155, "Static", "桁", 0x11060},
    {1358, "Static", nullptr, 0x11070},
    {1329, "Button", "書式選択(&Y)", 0x11080},
    {1134, "ComboBox", nullptr, 0x11090},
    {1142, "Button", "書式の設定(&D)...", 0x110a0},
};

TEST_F(FormatPageTest, TemplateControlsStartDisabledAndEmptyWithoutRecord) {
    InvalidateSettings();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    ExpectControls(page, kPageControls, ARRAYSIZE(kPageControls), true);
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_CHILD);
    ExpectSize(page, 223, 110);
    EXPECT_EQ(ComboCount(page, 1332), 0);
    EXPECT_EQ(ControlText(page, 1317), "");
    EXPECT_TRUE(host.notices.empty());

    LoadDefaultSettings();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    for (int id : kFormatSettingControls) {
        if (id == 1142) continue;  // follows the format selection ("選択なし")
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, id))) << "control " << id;
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1142)));
    const SpinCase spins[] = {{1320, 1317, 1, 99}, {1321, 1322, 0, 68}};
    ExpectSpins(page, spins, ARRAYSIZE(spins));
    EXPECT_EQ(ControlText(page, 1317), "66");
    EXPECT_EQ(ControlText(page, 1322), "0");
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(FormatPageTest, ContractPlacementRoleDisableAndHelp) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    ExpectPlacedInPageArea(host, page);
    EXPECT_EQ(ForegroundRoleWindow, page);

    SendMessageA(page, RPM_DISABLE, 0, 0);
    ExpectEnabled(page, kFormatSettingControls, false);

    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = GetDlgItem(page, 1332);
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageA(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(page, 1317)), 0);
    ASSERT_EQ(HelpCalls().size(), 2u);
    EXPECT_EQ(HelpCalls()[0].window, GetDlgItem(page, 1332));
    EXPECT_EQ(HelpCalls()[0].command, static_cast<UINT>(HELP_WM_HELP));
    EXPECT_EQ(HelpCalls()[1].window, GetDlgItem(page, 1317));
    EXPECT_EQ(HelpCalls()[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
    EXPECT_EQ(HelpCalls()[1].data, reinterpret_cast<ULONG_PTR>(HelpContextTable));
}

// ---- Load ----

struct LoadCase {
    const char* label;
    void (*change)(SettingsRecord*, CustomFeedTable*);
    const char* pageLength;
    const char* posAdjust;
    UINT hint;
    int selections[4];  // 1330, 1331, 1332, 1334
    int formatRow;
};

const LoadCase kLoadCases[] = {
    {"factory record", [](SettingsRecord*, CustomFeedTable*) {}, "66", "0", 75, {7, 7, 6, 6}, 0},
    {"66 lines, correction 28", [](SettingsRecord* r, CustomFeedTable*) { r->cutSheetPosAdjust = 28; }, "66", "28", 37,
     {7, 7, 6, 6}, 0},
    {"out-of-table feed values",
     [](SettingsRecord* r, CustomFeedTable*) {
         r->contFrontFeed = 8;   // custom row without a custom value
         r->contRearFeed = 12;   // past the list
         r->cutSheetFeed = 20;   // past the list
         r->postcardFeed = -3;   // negative
         r->formatSelect = 9;    // past the list
     },
     "66", "0", 75, {-1, -1, -1, -1}, -1},
    {"custom rows selected",
     [](SettingsRecord* r, CustomFeedTable* c) {
         r->contFrontFeed = 8;
         c->record.contFrontCustom = 90;
         r->cutSheetFeed = 9;
         c->record.cutSheetCustom = 37;
         r->pageLength = 1;
         r->cutSheetPosAdjust = 68;
         r->formatSelect = 3;
     },
     "1", "68", 75, {8, 7, 9, 6}, 3},
};

TEST_F(FormatPageTest, LoadSendsNoNoticeAndTheFirstKeystrokeSendsOne) {
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        ClearCustomFeeds(&CustomFeeds);
        c.change(&Settings, &CustomFeeds);
        HWND page = host.state().pages[kFormatIndex] ? host.state().pages[kFormatIndex] : OpenPage();
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        PumpPending();
        EXPECT_EQ(ControlText(page, 1317), c.pageLength);
        EXPECT_EQ(ControlText(page, 1322), c.posAdjust);
        EXPECT_EQ(ControlText(page, 1358), StringResource(c.hint));
        const int combos[4] = {1330, 1331, 1332, 1334};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(ComboSelected(page, combos[i]), c.selections[i]) << "combo " << combos[i];
        EXPECT_EQ(ComboSelected(page, 1134), c.formatRow);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, 1142)) != 0, c.formatRow >= 1);
        EXPECT_TRUE(host.notices.empty());

        for (int edit : {1317, 1322}) {
            host.notices.clear();
            Type(page, edit, '1');
            EXPECT_EQ(host.NoticesFrom(page), 1) << "first keystroke in edit " << edit;
        }
        host.notices.clear();
    }
}

TEST_F(FormatPageTest, FeedListsHoldTheirRows) {
    HWND page = OpenPage();
    const struct {
        int combo;
        int rows;
        const char* row6;
        const char* row7;
    } lists[] = {{1330, 8, "1/2インチ", "1インチ"},
                 {1331, 8, "1/2インチ", "1インチ"},
                 {1332, 9, "9.7ミリ", "1/2インチ"},
                 {1334, 9, "11.5ミリ", "1/2インチ"}};
    for (const auto& l : lists) {
        EXPECT_EQ(ComboCount(page, l.combo), l.rows) << "combo " << l.combo;
        EXPECT_EQ(ComboRowText(page, l.combo, 0), "0インチ");
        EXPECT_EQ(ComboRowText(page, l.combo, 3), "6.03ミリ");
        EXPECT_EQ(ComboRowText(page, l.combo, 6), l.row6) << "combo " << l.combo;
        EXPECT_EQ(ComboRowText(page, l.combo, 7), l.row7) << "combo " << l.combo;
    }
    EXPECT_EQ(ComboCount(page, 1134), 5);
    EXPECT_EQ(ComboRowText(page, 1134, 0), "選択なし");
    EXPECT_EQ(ComboRowText(page, 1134, 4), "書式４");
}

struct CustomCase {
    const char* label;
    int combo;
    int32_t CustomFeedSet::*custom;
    int32_t SettingsRecord::*field;
    int customRow;
};

const CustomCase kCustomCases[] = {
    {"continuous front", 1330, &CustomFeedSet::contFrontCustom, &SettingsRecord::contFrontFeed, 8},
    {"continuous rear", 1331, &CustomFeedSet::contRearCustom, &SettingsRecord::contRearFeed, 8},
    {"cut sheet", 1332, &CustomFeedSet::cutSheetCustom, &SettingsRecord::cutSheetFeed, 9},
    {"postcard", 1334, &CustomFeedSet::postcardCustom, &SettingsRecord::postcardFeed, 9},
};

TEST_F(FormatPageTest, CustomRowsAppearAndDisappearWithTheirValues) {
    HWND page = OpenPage();
    for (const CustomCase& c : kCustomCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        ClearCustomFeeds(&CustomFeeds);
        CustomFeeds.record.*c.custom = 37;
        Settings.*c.field = c.customRow;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        EXPECT_EQ(ComboCount(page, c.combo), c.customRow + 1);
        EXPECT_EQ(ComboRowText(page, c.combo, c.customRow), "37/120インチ");
        EXPECT_EQ(ComboSelected(page, c.combo), c.customRow);
        ASSERT_EQ(PageHost::Store(page), 1);
        EXPECT_EQ(Settings.*c.field, c.customRow);
        // The command carries the custom value itself.
        EXPECT_NE(CommandOf(Settings).find("037"), std::string::npos);

        // Without its custom value the row goes; the stored row shows no
        // selection and a store keeps it.
        CustomFeeds.record.*c.custom = 0;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        EXPECT_EQ(ComboCount(page, c.combo), c.customRow);
        EXPECT_EQ(ComboSelected(page, c.combo), -1);
        ASSERT_EQ(PageHost::Store(page), 1);
        EXPECT_EQ(Settings.*c.field, c.customRow);

        // A custom value beside a fixed row still offers the custom row.
        CustomFeeds.record.*c.custom = 99;
        Settings.*c.field = 2;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        EXPECT_EQ(ComboCount(page, c.combo), c.customRow + 1);
        EXPECT_EQ(ComboRowText(page, c.combo, c.customRow), "99/120インチ");
        EXPECT_EQ(ComboSelected(page, c.combo), 2);
    }
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(FormatPageTest, FeedSelectionReportsAndStores) {
    HWND page = OpenPage();
    ChooseRow(page, 1332, 8);
    ChooseRow(page, 1330, 3);
    EXPECT_EQ(host.NoticesFrom(page), 2);
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_EQ(Settings.cutSheetFeed, 8);
    EXPECT_EQ(Settings.contFrontFeed, 3);
    const std::string command = CommandOf(Settings);
    EXPECT_EQ(command.substr(41, 3), "028") << "continuous front feed in 1/120 inch";
    EXPECT_EQ(command.substr(49, 3), "120") << "cut-sheet feed in 1/120 inch";
}

// ---- Paper-size hint ----

TEST_F(FormatPageTest, HintFollowsTheCorrectionEdit) {
    HWND page = OpenPage();
    const struct {
        const char* text;
        UINT stringId;
    } cases[] = {{"11", 36}, {"19", 39}, {"28", 37}, {"34", 40}, {"40", 38}, {"50", 41},
                 {"29", 75}, {"0", 75},  {"", 75},   {"68", 75}, {"011", 36}};
    for (const auto& c : cases) {
        TypeText(page, 1322, c.text);
        EXPECT_EQ(ControlText(page, 1358), StringResource(c.stringId)) << "typed \"" << c.text << "\"";
    }

    // The spin's arrow keys move the value and the hint with it.
    SetDlgItemTextA(page, 1322, "49");
    HWND edit = GetDlgItem(page, 1322);
    SendMessageA(edit, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(edit, WM_KEYUP, VK_UP, 0);
    PumpPending();
    EXPECT_EQ(ControlText(page, 1322), "50");
    EXPECT_EQ(ControlText(page, 1358), StringResource(41));
}

// ---- Store ----

struct StoreCase {
    const char* label;
    const char* pageLength;
    const char* posAdjust;
    int result;
    UINT message;
    int focus;
};

const StoreCase kStoreCases[] = {
    {"page length 0", "0", "0", 0, 78, 1317},
    {"page length 1", "1", "0", 1, 0, 0},
    {"page length 99", "99", "0", 1, 0, 0},
    {"page length 100", "100", "0", 0, 78, 1317},
    {"page length empty", "", "0", 0, 78, 1317},
    {"correction 68", "66", "68", 1, 0, 0},
    {"correction 69", "66", "69", 0, 68, 1322},
    {"correction empty stores 0", "66", "", 1, 0, 0},
    {"correction pasted letters", "66", "1a", 0, 68, 1322},
    {"page length checked first", "0", "69", 0, 78, 1317},
};

TEST_F(FormatPageTest, StoreBoundaries) {
    HWND page = OpenPage();
    for (const StoreCase& c : kStoreCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        Settings.cutSheetPosAdjust = 11;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        Boxes().clear();
        SetDlgItemTextA(page, 1317, c.pageLength);
        SetDlgItemTextA(page, 1322, c.posAdjust);
        SetFocus(GetDlgItem(page, 1134));
        EXPECT_EQ(PageHost::Store(page), c.result);
        if (c.result == 1) {
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(Settings.pageLength, atoi(c.pageLength));
            EXPECT_EQ(Settings.cutSheetPosAdjust, atoi(c.posAdjust));
        } else {
            ASSERT_EQ(Boxes().size(), 1u);
            EXPECT_EQ(Boxes()[0].text, StringResource(c.message));
            EXPECT_EQ(Boxes()[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
            EXPECT_EQ(GetFocus(), GetDlgItem(page, c.focus));
            if (c.focus == 1317) {
                EXPECT_EQ(Settings.cutSheetPosAdjust, 11) << "not reached";
            }
        }
    }
}

TEST_F(FormatPageTest, StoreWritesExactlyItsFieldsAndTheCommandCarriesThem) {
    Settings.formats[2].pageLength = 12;  // formats are the dialog's, not the store's
    HWND page = OpenPage();
    ChooseRow(page, 1330, 0);
    ChooseRow(page, 1331, 5);
    ChooseRow(page, 1332, 8);
    ChooseRow(page, 1334, 1);
    ChooseRow(page, 1134, 2);
    SetDlgItemTextA(page, 1317, "72");
    SetDlgItemTextA(page, 1322, "34");
    SettingsRecord expected = Settings;
    expected.contFrontFeed = 0;
    expected.contRearFeed = 5;
    expected.cutSheetFeed = 8;
    expected.postcardFeed = 1;
    expected.formatSelect = 2;
    expected.pageLength = 72;
    expected.cutSheetPosAdjust = 34;
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, expected));

    const std::string command = CommandOf(Settings);
    EXPECT_EQ(command.substr(38, 2), "72") << "page length";
    EXPECT_EQ(command.substr(41, 3), "000");
    EXPECT_EQ(command.substr(45, 3), "040");
    EXPECT_EQ(command.substr(49, 3), "120");
    EXPECT_EQ(command.substr(53, 3), "015");
    EXPECT_EQ(command.substr(57, 2), "34") << "cut-sheet position correction";
    EXPECT_EQ(command[73], '2') << "selected format";
}

TEST_F(FormatPageTest, FailedStoreFromAnotherTabBringsTheFormatTabForward) {
    HWND page = OpenPage();
    HWND paper = host.Show(kPaperIndex);
    ASSERT_NE(paper, nullptr);
    ASSERT_EQ(host.state().currentPage, paper);
    ASSERT_FALSE(IsWindowVisible(page));

    SetDlgItemTextA(page, 1322, "70");
    EXPECT_EQ(PageHost::Store(page), 0);
    PumpPending();
    EXPECT_EQ(SendMessageA(host.tab(), TCM_GETCURSEL, 0, 0), kFormatIndex);
    EXPECT_EQ(host.state().currentPage, page);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_FALSE(IsWindowVisible(paper));
    EXPECT_EQ(GetFocus(), GetDlgItem(page, 1322));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, StringResource(68));
}

TEST_F(FormatPageTest, FullCollectPassStopsAtTheFormatPage) {
    HWND paper = host.Show(kPaperIndex);
    HWND page = OpenPage();
    host.Show(kPaperIndex);
    ASSERT_NE(paper, nullptr);
    SetDlgItemTextA(page, 1317, "100");
    EXPECT_EQ(CollectPages(host.window()), 0);
    EXPECT_EQ(SendMessageA(host.tab(), TCM_GETCURSEL, 0, 0), kFormatIndex);
    EXPECT_EQ(GetFocus(), GetDlgItem(page, 1317));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, StringResource(78));
}

// ---- Format selection ----

TEST_F(FormatPageTest, FormatSelectionDrivesTheSettingsButton) {
    HWND page = OpenPage();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1142)));
    ChooseRow(page, 1134, 3);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 1142)));
    ChooseRow(page, 1134, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1142)));
    EXPECT_EQ(host.NoticesFrom(page), 2);
}

TEST_F(FormatPageTest, StoredSelectionOutsideTheListOpensNothing) {
    Settings.formatSelect = 7;
    HWND page = OpenPage();
    EXPECT_EQ(ComboSelected(page, 1134), -1);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1142)));
    // Even a click that reaches the page does not open format 4 for "no row".
    const SettingsRecord before = Settings;
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1142, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1142)));
    EXPECT_TRUE(SameRecord(Settings, before));
    EXPECT_TRUE(host.notices.empty());
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_EQ(Settings.formatSelect, 7) << "no selection keeps the stored value";
}

// ---- Format settings dialog ----

// Opens the dialog for a format row from the page, runs the steps, and
// reports whether the script had to cancel it.
bool RunFormatDialog(HWND page, int formatRow, std::vector<ModalScript::Step> steps) {
    ChooseRow(page, 1134, formatRow);
    ModalScript script(std::move(steps));
    Click(page, 1142);
    return !script.ranOut() && script.stepsRun() > 0;
}

void SetEdit(HWND dialog, int id, const char* text) {
    SetDlgItemTextA(dialog, id, text);
}

TEST_F(FormatPageTest, DialogShowsTheChosenFormat) {
    Settings.formats[2] = {12, 2, 3, 9, 9, 5, 80, 50};
    CustomFeeds.formats[2].cutSheetCustom = 37;
    CustomFeeds.formats[2].postcardCustom = 0;
    CustomFeeds.record.contFrontCustom = 90;  // the page's, not the format's
    HWND page = OpenPage();
    host.notices.clear();
    bool ok = RunFormatDialog(page, 3, {[&](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "書式の設定： 書式");
        EXPECT_EQ(ControlText(dialog, 1356), "書式３");
        EXPECT_EQ(ForegroundRoleWindow, dialog);
        EXPECT_EQ(ControlText(dialog, 1318), "12");
        EXPECT_EQ(ControlText(dialog, 1167), "5");
        EXPECT_EQ(ControlText(dialog, 1168), "80");
        EXPECT_EQ(ControlText(dialog, 1158), "50");
        EXPECT_EQ(ControlText(dialog, 1357), StringResource(41));
        EXPECT_EQ(ComboCount(dialog, 1333), 8) << "no custom row of the record's own";
        EXPECT_EQ(ComboSelected(dialog, 1333), 2);
        EXPECT_EQ(ComboSelected(dialog, 1335), 3);
        EXPECT_EQ(ComboCount(dialog, 1336), 10);
        EXPECT_EQ(ComboRowText(dialog, 1336, 9), "37/120インチ");
        EXPECT_EQ(ComboSelected(dialog, 1336), 9);
        EXPECT_EQ(ComboCount(dialog, 1338), 9);
        EXPECT_EQ(ComboSelected(dialog, 1338), -1);
        const SpinCase spins[] = {{1161, 1318, 1, 99}, {1170, 1167, 0, 135}, {1165, 1168, 1, 136}, {1163, 1158, 0, 68}};
        ExpectSpins(dialog, spins, ARRAYSIZE(spins));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_TRUE(ok);
    EXPECT_TRUE(host.NoticesFrom(page) == 1) << "the format selection only";
    EXPECT_EQ(ForegroundRoleWindow, page);
}

TEST_F(FormatPageTest, DialogTemplate) {
    HWND page = OpenPage();
    bool ok = RunFormatDialog(page, 1, {[&](HWND dialog) {
        const ControlCase controls[] = {
            {1356, "Static", "書式１", 0x11500},
            {1234, "Static", "用紙長(&N)", 0x11510},
            {1318, "Edit", nullptr, 0x11510},
            {1161, "msctls_updown32", nullptr, 0x11510},
            {1250, "Static", "行", 0x11510},
            {1235, "Button", "吸入位置", 0x11520},
            {1236, "Static", "連続紙・前(&F)", 0x11530},
            {1333, "ComboBox", nullptr, 0x11530},
            {1237, "Static", "連続紙・後(&B)", 0x11540},
            {1335, "ComboBox", nullptr, 0x11540},
            {1238, "Static", "カット紙(&T)", 0x11550},
            {1336, "ComboBox", nullptr, 0x11550},
            {1239, "Static", "はがき(&P)", 0x11560},
            {1338, "ComboBox", nullptr, 0x11560},
            {1244, "Button", "クリア(&C)", 0x11570},
            {1240, "Static", "レフトマージン幅(&L)", 0x11580},
            {1167, "Edit", nullptr, 0x11580},
            {1170, "msctls_updown32", nullptr, 0x11580},
            {1251, "Static", "桁", 0x11580},
            {1242, "Static", "ライトマージン幅(&R)", 0x11590},
            {1168, "Edit", nullptr, 0x11590},
            {1165, "msctls_updown32", nullptr, 0x11590},
            {1252, "Static", "桁", 0x11590},
            {1245, "Button", "カット紙位置補正(&E)", 0x115a0},
            {1158, "Edit", nullptr, 0x115a0},
            {1163, "msctls_updown32", nullptr, 0x115a0},
            {1254, "Static", "桁", 0x115a0},
            {1357, "Static", nullptr, 0x115b0},
            {IDOK, "Button", "OK", 0x81000300},
            {IDCANCEL, "Button", "キャンセル", 0x81000400},
        };
        ExpectControls(dialog, controls, ARRAYSIZE(controls), false);
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        ExpectSize(dialog, 221, 180);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_TRUE(ok);
}

struct DialogCheckCase {
    const char* label;
    const char* pageLength;
    const char* left;
    const char* right;
    const char* posAdjust;
    UINT message;  // 0: accepted
    int focus;
};

const DialogCheckCase kDialogCases[] = {
    {"L/R 20/10", "66", "20", "10", "0", 65, 1167},
    {"L/R 40/40", "66", "40", "40", "0", 64, 1168},
    {"L/R 10/137", "66", "10", "137", "0", 82, 1168},
    {"L/R 0/1", "66", "0", "1", "0", 0, 0},
    {"L/R 135/136", "66", "135", "136", "0", 0, 0},
    {"left 136", "66", "136", "136", "0", 81, 1167},
    {"left empty reads 0", "66", "", "50", "0", 0, 0},
    {"page length 0", "0", "0", "136", "0", 78, 1318},
    {"page length 100", "100", "0", "136", "0", 78, 1318},
    {"page length 99", "99", "0", "136", "0", 0, 0},
    {"correction 69", "66", "0", "136", "69", 68, 1158},
    {"correction 68", "66", "0", "136", "68", 0, 0},
};

TEST_F(FormatPageTest, DialogChecksInOrder) {
    HWND page = OpenPage();
    for (const DialogCheckCase& c : kDialogCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        const SettingsRecord before = Settings;
        host.notices.clear();
        Boxes().clear();
        HWND focusAfterOk = nullptr;
        HWND expectedFocus = nullptr;
        bool ok = RunFormatDialog(page, 2, {[&](HWND dialog) {
                                                SetEdit(dialog, 1318, c.pageLength);
                                                SetEdit(dialog, 1167, c.left);
                                                SetEdit(dialog, 1168, c.right);
                                                SetEdit(dialog, 1158, c.posAdjust);
                                                SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                                                if (c.message == 0) return;  // ended
                                                focusAfterOk = GetFocus();
                                                expectedFocus = GetDlgItem(dialog, c.focus);
                                                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                                            }});
        EXPECT_TRUE(ok);
        ASSERT_FALSE(host.notices.empty());
        host.notices.erase(host.notices.begin());  // the format selection itself
        if (c.message == 0) {
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(Settings.formats[1].pageLength, atoi(c.pageLength));
            EXPECT_EQ(Settings.formats[1].leftMargin, atoi(c.left));
            EXPECT_EQ(Settings.formats[1].rightMargin, atoi(c.right));
            EXPECT_EQ(Settings.formats[1].cutSheetPosAdjust, atoi(c.posAdjust));
            EXPECT_EQ(host.NoticesFrom(page), 1);
        } else {
            ASSERT_EQ(Boxes().size(), 1u);
            EXPECT_EQ(Boxes()[0].text, StringResource(c.message));
            EXPECT_EQ(Boxes()[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
            EXPECT_EQ(focusAfterOk, expectedFocus);
            EXPECT_TRUE(SameRecord(Settings, before)) << "nothing written";
            EXPECT_TRUE(host.notices.empty());
        }
    }
}

TEST_F(FormatPageTest, DialogOkWritesOnlyTheEditedFormat) {
    CustomFeeds.formats[3].contRearCustom = 44;
    Settings.formats[3].contRearFeed = 8;
    HWND page = OpenPage();
    SettingsRecord expected = Settings;
    expected.formats[3] = {40, 1, 8, 2, 7, 3, 77, 19};
    bool ok = RunFormatDialog(page, 4, {[&](HWND dialog) {
        EXPECT_EQ(ComboRowText(dialog, 1335, 8), "44/120インチ");
        SetEdit(dialog, 1318, "40");
        ChooseRow(dialog, 1333, 1);
        ChooseRow(dialog, 1336, 2);
        ChooseRow(dialog, 1338, 7);
        SetEdit(dialog, 1167, "3");
        SetEdit(dialog, 1168, "77");
        SetEdit(dialog, 1158, "19");
        EXPECT_EQ(ControlText(dialog, 1357), StringResource(39)) << "hint follows the edit";
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }});
    EXPECT_TRUE(ok);
    EXPECT_TRUE(SameRecord(Settings, expected));
    EXPECT_EQ(CustomFeeds.formats[3].contRearCustom, 44) << "custom values untouched";

    const std::string command = CommandOf(Settings);
    EXPECT_EQ(command.substr(165, 29), "40,003,077,015,044,020,060,19") << "format 4 in the command";
}

TEST_F(FormatPageTest, ClearThenCancelChangesNothingClearThenOkStoresTheDefaults) {
    Settings.formats[0] = {12, 2, 3, 1, 0, 5, 80, 50};
    HWND page = OpenPage();
    const SettingsRecord before = Settings;
    host.notices.clear();
    bool ok = RunFormatDialog(page, 1, {[&](HWND dialog) {
        Click(dialog, 1244);
        EXPECT_EQ(ControlText(dialog, 1318), "66");
        EXPECT_EQ(ControlText(dialog, 1167), "0");
        EXPECT_EQ(ControlText(dialog, 1168), "136");
        EXPECT_EQ(ControlText(dialog, 1158), "0");
        EXPECT_EQ(ControlText(dialog, 1357), StringResource(75));
        EXPECT_EQ(ComboRowText(dialog, 1333, ComboSelected(dialog, 1333)), "1インチ");
        EXPECT_EQ(ComboRowText(dialog, 1335, ComboSelected(dialog, 1335)), "1インチ");
        EXPECT_EQ(ComboRowText(dialog, 1336, ComboSelected(dialog, 1336)), "9.7ミリ");
        EXPECT_EQ(ComboRowText(dialog, 1338, ComboSelected(dialog, 1338)), "11.5ミリ");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }});
    EXPECT_TRUE(ok);
    EXPECT_TRUE(SameRecord(Settings, before));
    EXPECT_EQ(host.NoticesFrom(page), 1) << "the format selection only";

    host.notices.clear();
    ok = RunFormatDialog(page, 1, {[&](HWND dialog) {
        Click(dialog, 1244);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }});
    EXPECT_TRUE(ok);
    const FormatRecord& format = Settings.formats[0];
    EXPECT_EQ(format.pageLength, 66);
    EXPECT_EQ(format.leftMargin, 0);
    EXPECT_EQ(format.rightMargin, 136);
    EXPECT_EQ(format.cutSheetPosAdjust, 0);
    EXPECT_EQ(format.contFrontFeed, 7);
    EXPECT_EQ(format.contRearFeed, 7);
    EXPECT_EQ(format.cutSheetFeed, 6);
    EXPECT_EQ(format.postcardFeed, 6);
    EXPECT_EQ(host.NoticesFrom(page), 2) << "the format selection and the dialog's OK";
    EXPECT_EQ(ForegroundRoleWindow, page);
}

}  // namespace
