// The Font page (template 194) and its advanced font settings (200), run
// from the program's resources inside a window that plays the panel.
#include <windows.h>
#include <gtest/gtest.h>

#include "test_paper_host.h"

using namespace pagetest;

namespace {

constexpr int kFontIndex = 2;

const int kFontSettingControls[] = {1178, 1180, 1181, 1297, 1182, 1187, 1306, 1188, 1307, 1189, 1298, 1190, 1299, 1191};

class FontPageTest : public PageTest<kFontIndex> {};

// ---- Template ----

const ControlCase kPageControls[] = {
    {1178, "Button", "書体選択", 0x12000},
    {1180, "Button", "明朝体(&M)", 0x12000},
    {1181, "Button", "ゴシック体(&G)", 0x12000},
    {1297, "Static", nullptr, 0x12010},
    {1182, "Button", "フォント設定", 0x12020},
    {1187, "Static", "フォント1(&1)", 0x12030},
    {1306, "ComboBox", nullptr, 0x12030},
    {1188, "Static", "フォント2(&2)", 0x12040},
    {1307, "ComboBox", nullptr, 0x12040},
    {1189, "Button", "1バイトコード系ゼロにスラッシュを付ける(&K) ", 0x12050},
    {1298, "Static", nullptr, 0x12060},
    {1190, "Button", "2バイトコード系ゼロにスラッシュを付ける(&Z)", 0x12070},
    {1299, "Static", nullptr, 0x12080},
    {1191, "Button", "高度設定(&D)...", 0x12090},
};

TEST_F(FontPageTest, TemplateStartsDisabledAndTheFirstLoadEnablesIt) {
    InvalidateSettings();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    ExpectControls(page, kPageControls, ARRAYSIZE(kPageControls), true);
    ExpectSize(page, 223, 110);
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(ComboCount(page, 1306), 0);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(page, 1180), GWL_STYLE) & 0x0F, BS_AUTORADIOBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(page, 1189), GWL_STYLE) & 0x0F, BS_AUTOCHECKBOX);

    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1306))) << "a record not loaded shows nothing";

    LoadDefaultSettings();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kFontSettingControls, true);
    SendMessageA(page, RPM_DISABLE, 0, 0);
    ExpectEnabled(page, kFontSettingControls, false);
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(FontPageTest, PlacesItselfAndTakesTheForegroundRole) {
    HWND page = OpenPage();
    ExpectPlacedInPageArea(host, page);
    EXPECT_EQ(ForegroundRoleWindow, page);
}

// ---- Load ----

struct LoadCase {
    const char* label;
    int32_t typeface, font1, font2;
    uint8_t switches1, switches2;
    bool gothic;
    const char* font1Text;
    const char* font2Text;
    bool zero1, zero2;
};

const LoadCase kLoadCases[] = {
    {"factory record", 0, 0, 0, 0x00, 0x02, false, "標準", "標準", false, false},
    {"Gothic, last rows, both zeros", 1, 4, 3, 0x01, 0x42, true, "OCR-B", "ゴシック", true, true},
    {"any typeface but 0 is Gothic", 7, 1, 2, 0xFE, 0xBF, true, "イタリック", "クーリエ", false, false},
    {"fonts a read delivers past the list", 0, 15, 5, 0xFD, 0x40, false, "(none)", "(none)", true, true},
    {"negative font", 0, -1, 4, 0x00, 0x00, false, "(none)", "OCR-B", false, false},
};

TEST_F(FontPageTest, LoadShowsTheRecordWithoutNotices) {
    HWND page = OpenPage();
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        Settings.typeface = c.typeface;
        Settings.font1 = c.font1;
        Settings.font2 = c.font2;
        Settings.switches[1] = c.switches1;
        Settings.switches[2] = c.switches2;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        PumpPending();
        EXPECT_EQ(Checked(page, 1181), c.gothic);
        EXPECT_EQ(Checked(page, 1180), !c.gothic);
        EXPECT_EQ(ComboCount(page, 1306), 5);
        EXPECT_EQ(ComboCount(page, 1307), 5);
        EXPECT_EQ(SelectedText(page, 1306), c.font1Text);
        EXPECT_EQ(SelectedText(page, 1307), c.font2Text);
        EXPECT_EQ(Checked(page, 1189), c.zero1);
        EXPECT_EQ(Checked(page, 1190), c.zero2);
        EXPECT_EQ(IconShown(page, 1297), SharedIcon(c.gothic ? 225 : 226));
        EXPECT_EQ(IconShown(page, 1298), SharedIcon(c.zero1 ? 229 : 227));
        EXPECT_EQ(IconShown(page, 1299), SharedIcon(c.zero2 ? 230 : 228));
        EXPECT_TRUE(host.notices.empty());

        // Storing what was shown changes nothing, a font in no row included.
        const SettingsRecord shown = Settings;
        ASSERT_EQ(PageHost::Store(page), 1);
        SettingsRecord expected = shown;
        expected.typeface = c.gothic ? 1 : 0;
        EXPECT_TRUE(SameRecord(Settings, expected));
    }
    const std::vector<std::string> rows = {"標準", "イタリック", "クーリエ", "ゴシック", "OCR-B"};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(ComboRowText(page, 1306, row), rows[row]);
}

// ---- User changes ----

TEST_F(FontPageTest, EachUserChangeSendsOneNoticeAndIconsFollow) {
    HWND page = OpenPage();
    ASSERT_TRUE(host.notices.empty()) << "loading sends no notice";
    const UserChange cases[] = {
        {"Gothic", [&] { Click(page, 1181); }, 1297, 225},
        {"Mincho", [&] { Click(page, 1180); }, 1297, 226},
        {"one-byte zero on", [&] { Click(page, 1189); }, 1298, 229},
        {"one-byte zero off", [&] { Click(page, 1189); }, 1298, 227},
        {"two-byte zero on", [&] { Click(page, 1190); }, 1299, 230},
        {"two-byte zero off", [&] { Click(page, 1190); }, 1299, 228},
        {"font 1", [&] { ChooseRow(page, 1306, 2); }, 0, 0},
        {"font 2", [&] { ChooseRow(page, 1307, 4); }, 0, 0},
    };
    ExpectOneNoticeEach(host, page, cases);
    host.notices.clear();
    HWND combo = GetDlgItem(page, 1306);
    for (WORD code : {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SETFOCUS, CBN_KILLFOCUS})
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1306, code), reinterpret_cast<LPARAM>(combo));
    EXPECT_TRUE(host.notices.empty()) << "only a selection change is a change";
}

// ---- Store ----

TEST_F(FontPageTest, StoreWritesExactlyItsFieldsAndBits) {
    Settings.switches[0] = 0x5A;
    Settings.switches[1] = 0xB6;  // every bit but the one-byte zero
    Settings.switches[2] = 0x9B;  // every bit but the two-byte zero... and some more
    Settings.switches[3] = 0xC3;
    Settings.kanjiTable = 1;
    HWND page = OpenPage();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    Click(page, 1181);
    Click(page, 1189);
    Click(page, 1190);
    ChooseRow(page, 1306, 3);
    ChooseRow(page, 1307, 1);
    SettingsRecord expected = Settings;
    expected.typeface = 1;
    expected.font1 = 3;
    expected.font2 = 1;
    expected.switches[1] = 0xB7;
    expected.switches[2] = 0xDB;
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, expected));

    // Back again: the bits clear, nothing else moves.
    Click(page, 1180);
    Click(page, 1189);
    Click(page, 1190);
    expected.typeface = 0;
    expected.switches[1] = 0xB6;
    expected.switches[2] = 0x9B;
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, expected));
}

TEST_F(FontPageTest, StoreWithoutSelectionKeepsTheFonts) {
    HWND page = OpenPage();
    Settings.font1 = 2;
    Settings.font2 = 4;
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    SendDlgItemMessageA(page, 1306, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendDlgItemMessageA(page, 1307, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Settings.font1 = 13;  // whatever the record holds now stays
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_EQ(Settings.font1, 13);
    EXPECT_EQ(Settings.font2, 4);
}

// ---- Context help ----

TEST_F(FontPageTest, ContextHelpGoesThroughTheHelpSeam) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    ExpectContextHelp(page, 1307, 1190, MAKELPARAM(5, 5));
    EXPECT_TRUE(HelpCalls().empty()) << "opening the page asks for no help";
}

// ---- Advanced font settings ----

struct AdvancedView {
    HWND dialog;
    HWND roleWhileOpen;
    std::string caption;
    int rows;
    std::string charset;
    bool jis[3];
    bool ranOut;
};

// Opens the dialog from the page, looks at it, runs `act` on it and ends it with `button`.
AdvancedView RunAdvanced(HWND page, std::function<void(HWND)> act, int button) {
    AdvancedView view = {};
    ModalScript script({[&](HWND dialog) {
        view.dialog = dialog;
        view.roleWhileOpen = ForegroundRoleWindow;
        view.caption = Caption(dialog);
        view.rows = ComboCount(dialog, 1300);
        view.charset = SelectedText(dialog, 1300);
        for (int i = 0; i < 3; ++i) view.jis[i] = Checked(dialog, 1256 + i);
        if (act) act(dialog);
        PostMessageA(dialog, WM_COMMAND, button, 0);
    }});
    Click(page, 1191);
    view.ranOut = script.ranOut();
    return view;
}

TEST_F(FontPageTest, AdvancedDialogTemplate) {
    HWND page = OpenPage();
    AdvancedView view = RunAdvanced(page, [](HWND dialog) {
        const ControlCase controls[] = {
            {1253, "Static", "各国文字の切り替え(&C)", 0x12500},
            {1300, "ComboBox", nullptr, 0x12500},
            {1255, "Button", "漢字コード表", 0x12510},
            {1256, "Button", "JIS規格1978年度版(&7)", 0x12510},
            {1257, "Button", "JIS規格1983年度版(&8)", 0x12510},
            {1258, "Button", "JIS規格1990年度版(&9)", 0x12510},
            {IDOK, "Button", "OK", HelpContextOf(IDOK)},
            {IDCANCEL, "Button", "キャンセル", HelpContextOf(IDCANCEL)},
        };
        ExpectControls(dialog, controls, ARRAYSIZE(controls), false);
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        ExpectSize(dialog, 191, 101);
        const std::vector<std::string> rows = {"日本", "アメリカ", "イギリス", "ドイツ", "スウェーデン"};
        for (int row = 0; row < 5; ++row) EXPECT_EQ(ComboRowText(dialog, 1300, row), rows[row]);
    }, IDCANCEL);
    EXPECT_FALSE(view.ranOut);
    EXPECT_EQ(view.caption, "高度な設定： フォント");
    EXPECT_EQ(view.roleWhileOpen, view.dialog);
    EXPECT_EQ(ForegroundRoleWindow, page);
}

TEST_F(FontPageTest, AdvancedDialogShowsEveryCodeAndCancelWritesNothing) {
    const char* const shown[8] = {"日本", "スウェーデン", "アメリカ", "イギリス", "ドイツ", "スウェーデン", "スウェーデン", "スウェーデン"};
    HWND page = OpenPage();
    for (int code = 0; code < 8; ++code) {
        SCOPED_TRACE(code);
        Settings.switches[0] = static_cast<uint8_t>(0xA8 | code);
        Settings.kanjiTable = code;  // 0..2 tick a radio, 3..7 none
        const SettingsRecord before = Settings;
        host.notices.clear();
        AdvancedView view = RunAdvanced(page, nullptr, IDCANCEL);
        EXPECT_FALSE(view.ranOut);
        EXPECT_EQ(view.rows, 5);
        EXPECT_EQ(view.charset, shown[code]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(view.jis[i], i == code) << "radio " << 1256 + i;
        EXPECT_TRUE(SameRecord(Settings, before)) << "cancel writes nothing";
        EXPECT_TRUE(host.notices.empty()) << "cancel reports nothing";
        EXPECT_EQ(ForegroundRoleWindow, page);
    }
}

struct AdvancedOkCase {
    const char* label;
    uint8_t switches0;
    int32_t kanji;
    int chooseRow;   // -1: leave the list as shown; -2: clear the selection
    int tickRadio;   // 0: leave the radios as shown
    uint8_t storedSwitches0;
    int32_t storedKanji;
};

const AdvancedOkCase kAdvancedOkCases[] = {
    {"code 1 shown as Sweden stores 5", 0xF1, 0, -1, 0, 0xF5, 0},
    {"code 7 stores 5", 0x07, 1, -1, 0, 0x05, 1},
    {"Japan clears bits 0..2 only", 0xFC, 2, 0, 0, 0xF8, 2},
    {"USA", 0x10, 0, 1, 1257, 0x12, 1},
    {"UK", 0x10, 0, 2, 1258, 0x13, 2},
    {"Germany", 0x85, 2, 3, 1256, 0x84, 0},
    {"no selection writes 0", 0x4B, 0, -2, 0, 0x48, 0},
    {"kanji table 7 ticks none and stores 2", 0x02, 7, -1, 0, 0x02, 2},
};

TEST_F(FontPageTest, AdvancedDialogOkStoresAndReportsOnce) {
    HWND page = OpenPage();
    for (const AdvancedOkCase& c : kAdvancedOkCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        Settings.switches[0] = c.switches0;
        Settings.kanjiTable = c.kanji;
        SettingsRecord expected = Settings;
        expected.switches[0] = c.storedSwitches0;
        expected.kanjiTable = c.storedKanji;
        host.notices.clear();
        AdvancedView view = RunAdvanced(page, [&](HWND dialog) {
            if (c.chooseRow >= 0) ChooseRow(dialog, 1300, c.chooseRow);
            if (c.chooseRow == -2) SendDlgItemMessageA(dialog, 1300, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            if (c.tickRadio) Click(dialog, c.tickRadio);
        }, IDOK);
        EXPECT_FALSE(view.ranOut);
        EXPECT_TRUE(SameRecord(Settings, expected));
        EXPECT_EQ(host.NoticesFrom(page), 1);
        EXPECT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(ForegroundRoleWindow, page);
    }
}

}  // namespace
