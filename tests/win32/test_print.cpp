// The Print page (template 195), its DOS environment dialog (202) and its
// advanced print settings (206), run from the program's resources inside a
// window that plays the panel.
#include <windows.h>
#include <gtest/gtest.h>

#include "test_paper_host.h"

using namespace pagetest;

namespace {

constexpr int kPrintIndex = 3;

const int kPrintSettingControls[] = {1199, 1309, 1303, 1195, 1200, 1202, 1203, 1304, 1197, 1198};

void ExpectModalFrame(HWND dialog, int width, int height) {
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    ExpectSize(dialog, width, height);
}

class PrintPageTest : public PageTest<kPrintIndex> {
protected:
    // Opens a dialog with a page button; `look` runs once the dialog is idle,
    // then `button` ends it. False when the script ran out.
    bool RunDialog(HWND page, int openButton, std::function<void(HWND)> look, int button) {
        ModalScript script({[&](HWND dialog) {
            dialogRole = ForegroundRoleWindow == dialog;
            if (look) look(dialog);
            PostMessageA(dialog, WM_COMMAND, button, 0);
        }});
        Click(page, openButton);
        return !script.ranOut() && script.stepsRun() == 1;
    }
    bool dialogRole = false;
};

// ---- Template ----

const ControlCase kPageControls[] = {
    {1199, "Button", "縮小印刷の選択(&N)", 0x13000},
    {1309, "ComboBox", nullptr, 0x13000},
    {1303, "Static", nullptr, 0x13010},
    {1195, "Button", "クワイエット印刷(&Q)", 0x13020},
    {1200, "Button", "ドット列の印刷方向", 0x13030},
    {1202, "Button", "片方向(&1)", 0x13030},
    {1203, "Button", "両方向(&2)", 0x13030},
    {1304, "Static", nullptr, 0x13040},
    {1197, "Button", "DOS環境(&M)...", 0x13050},
    {1198, "Button", "高度設定(&D)...", 0x13060},
};

TEST_F(PrintPageTest, TemplateStartsDisabledAndTheFirstLoadEnablesIt) {
    InvalidateSettings();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    ExpectControls(page, kPageControls, ARRAYSIZE(kPageControls), true);
    ExpectSize(page, 223, 110);
    EXPECT_EQ(ComboCount(page, 1309), 0);
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1309)));

    LoadDefaultSettings();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kPrintSettingControls, true);
    SendMessageA(page, RPM_DISABLE, 0, 0);
    ExpectEnabled(page, kPrintSettingControls, false);
    EXPECT_TRUE(host.notices.empty());

    ExpectPlacedInPageArea(host, page);
    EXPECT_EQ(ForegroundRoleWindow, page);
}

// ---- Load ----

struct LoadCase {
    const char* label;
    int32_t reduction;
    uint8_t switches3;
    int32_t quiet;
    const char* reductionText;
    int reductionIcon;  // 0: the icon stays as the previous case left it
    bool bidirectional;
    bool quietTicked;
};

const LoadCase kLoadCases[] = {
    {"factory record", 0, 0x00, 0, "標準", 239, false, false},
    {"2/3 left, both ways, quiet", 1, 0x08, 1, "2/3左基準", 236, true, true},
    {"2/3 centre, other bits set", 2, 0xF7, 0, "2/3中央基準", 235, false, false},
    {"4/5 left", 3, 0xFE, 1, "4/5左基準", 238, true, true},
    {"4/5 centre, quiet only when 1", 4, 0x00, 2, "4/5中央基準", 237, false, false},
    {"reduction past the list keeps the icon", 5, 0x08, 0, "(none)", 0, true, false},
};

TEST_F(PrintPageTest, LoadShowsTheRecordWithoutNotices) {
    HWND page = OpenPage();
    int lastIcon = 239;
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        Settings.reduction = c.reduction;
        Settings.switches[3] = c.switches3;
        Settings.quietPrint = c.quiet;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        PumpPending();
        EXPECT_EQ(ComboCount(page, 1309), 5);
        EXPECT_EQ(SelectedText(page, 1309), c.reductionText);
        if (c.reductionIcon) lastIcon = c.reductionIcon;
        EXPECT_EQ(IconShown(page, 1303), SharedIcon(lastIcon));
        EXPECT_EQ(Checked(page, 1203), c.bidirectional);
        EXPECT_EQ(Checked(page, 1202), !c.bidirectional);
        EXPECT_EQ(IconShown(page, 1304), SharedIcon(c.bidirectional ? 222 : 224));
        EXPECT_EQ(Checked(page, 1195), c.quietTicked);
        EXPECT_TRUE(host.notices.empty());

        // Storing what was shown: a reduction in no row is kept, quiet is 0 or 1.
        SettingsRecord expected = Settings;
        expected.quietPrint = c.quietTicked ? 1 : 0;
        ASSERT_EQ(PageHost::Store(page), 1);
        EXPECT_TRUE(SameRecord(Settings, expected));
    }
}

// ---- User changes ----

TEST_F(PrintPageTest, EachUserChangeSendsOneNoticeAndIconsFollow) {
    HWND page = OpenPage();
    ASSERT_TRUE(host.notices.empty());
    const UserChange cases[] = {
        {"both ways", [&] { Click(page, 1203); }, 1304, 222},
        {"one way", [&] { Click(page, 1202); }, 1304, 224},
        {"quiet", [&] { Click(page, 1195); }, 0, 0},
        {"4/5 centre", [&] { ChooseRow(page, 1309, 4); }, 1303, 237},
        {"2/3 centre", [&] { ChooseRow(page, 1309, 2); }, 1303, 235},
        {"standard", [&] { ChooseRow(page, 1309, 0); }, 1303, 239},
    };
    ExpectOneNoticeEach(host, page, cases);
    host.notices.clear();
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1309, CBN_DROPDOWN), reinterpret_cast<LPARAM>(GetDlgItem(page, 1309)));
    EXPECT_TRUE(host.notices.empty());
}

// ---- Store ----

TEST_F(PrintPageTest, StoreWritesExactlyItsFieldsAndBits) {
    Settings.switches[0] = 0x35;
    Settings.switches[1] = 0xFE;
    Settings.switches[2] = 0x00;
    Settings.switches[3] = 0x77;  // bits around the direction
    HWND page = OpenPage();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    Click(page, 1203);
    Click(page, 1195);
    ChooseRow(page, 1309, 3);
    SettingsRecord expected = Settings;
    expected.switches[3] = 0x7F;
    expected.quietPrint = 1;
    expected.reduction = 3;
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, expected));

    Click(page, 1202);
    Click(page, 1195);
    SendDlgItemMessageA(page, 1309, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    expected.switches[3] = 0x77;
    expected.quietPrint = 0;  // reduction: no selection keeps 3
    ASSERT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, expected));
}

TEST_F(PrintPageTest, ContextHelpGoesThroughTheHelpSeam) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    ExpectContextHelp(page, 1309, 1203, MAKELPARAM(5, 5));
    EXPECT_TRUE(HelpCalls().empty()) << "opening the page asks for no help";
}

// ---- DOS environment ----

TEST_F(PrintPageTest, DosDialogTemplate) {
    HWND page = OpenPage();
    std::string caption;
    ASSERT_TRUE(RunDialog(page, 1197, [&](HWND dialog) {
        caption = Caption(dialog);
        const ControlCase controls[] = {
            {1259, "Button", "印刷モードの初期設定 ", 0x13300},
            {1260, "Button", "HDパイカ(&1)", 0x13300},
            {1261, "Button", "HSパイカ(&2)", 0x13300},
            {1265, "Button", "印刷方向の初期設定 ", 0x13310},
            {1266, "Button", "片方向(&5)", 0x13310},
            {1267, "Button", "両方向最短(&6)", 0x13310},
            {1305, "Static", nullptr, 0x13320},
            {1262, "Button", "NHS,SHSパイカの初期設定 ", 0x13330},
            {1263, "Button", "SHSパイカ(&3)", 0x13330},
            {1264, "Button", "NHSパイカ(&4)", 0x13330},
            {1344, "Button", "シートフィーダの吸入コード", 0x13340},
            {1345, "Button", "ESC ａのみ(&E)", 0x13340},
            {1346, "Button", "ESC ａ,LF,US,VT(&U)", 0x13340},
            {1341, "Button", "ドット対応グラフィックドット数の初期設定 ", 0x13350},
            {1289, "Button", "ネイティブモード(&N)", 0x13350},
            {1290, "Button", "コピーモード(&P)", 0x13350},
            {1268, "Button", "電源オン時にドラフトモードにする(&F) ", 0x13360},
            {IDOK, "Button", "OK", HelpContextOf(IDOK)},
            {IDCANCEL, "Button", "キャンセル", HelpContextOf(IDCANCEL)},
        };
        ExpectControls(dialog, controls, ARRAYSIZE(controls), false);
        ExpectModalFrame(dialog, 251, 169);
    }, IDCANCEL));
    EXPECT_EQ(caption, "DOS環境： 印刷");
    EXPECT_TRUE(dialogRole);
    EXPECT_EQ(ForegroundRoleWindow, page);
}

// One radio pair (or the check box) of the DOS dialog: its bit and the control
// that is ticked when the bit is set (the other one when it is clear).
struct DosBit {
    const char* label;
    int byteIndex;
    uint8_t mask;
    int tickedWhenSet;
    int tickedWhenClear;  // 0 for the check box
};

const DosBit kDosBits[] = {
    {"print mode HS pica", 1, 0x10, 1261, 1260},
    {"NHS pica", 2, 0x02, 1264, 1263},
    {"one way (set bit)", 1, 0x80, 1266, 1267},
    {"ESC a, LF, US, VT", 2, 0x08, 1346, 1345},
    {"copy mode", 1, 0x04, 1290, 1289},
    {"draft at power-on", 3, 0x10, 1268, 0},
};

TEST_F(PrintPageTest, DosDialogShowsEachBitAndCancelWritesNothing) {
    HWND page = OpenPage();
    for (const DosBit& bit : kDosBits) {
        for (bool set : {false, true}) {
            SCOPED_TRACE(std::string(bit.label) + (set ? " set" : " clear"));
            // Every other bit holds the opposite value, so a wrong byte or mask shows.
            for (int i = 0; i < 4; ++i) Settings.switches[i] = set ? 0x00 : 0xFE;
            Settings.switches[bit.byteIndex] = set ? bit.mask : static_cast<uint8_t>(0xFE & ~bit.mask);
            const SettingsRecord before = Settings;
            host.notices.clear();
            bool tickedSet = false, tickedClear = false;
            HICON direction = nullptr;
            ASSERT_TRUE(RunDialog(page, 1197, [&](HWND dialog) {
                tickedSet = Checked(dialog, bit.tickedWhenSet);
                tickedClear = bit.tickedWhenClear ? Checked(dialog, bit.tickedWhenClear) : !tickedSet;
                direction = IconShown(dialog, 1305);
            }, IDCANCEL));
            EXPECT_EQ(tickedSet, set);
            EXPECT_EQ(tickedClear, !set);
            if (bit.mask == 0x80 && bit.byteIndex == 1) {
                EXPECT_EQ(direction, SharedIcon(set ? 224 : 222));
            }
            EXPECT_TRUE(SameRecord(Settings, before));
            EXPECT_TRUE(host.notices.empty());
        }
    }
}

TEST_F(PrintPageTest, DosDialogOkFlipsEachBitAlone) {
    HWND page = OpenPage();
    for (const DosBit& bit : kDosBits) {
        for (uint8_t background : {0x00, 0xFE}) {
            SCOPED_TRACE(std::string(bit.label) + (background ? " among set bits" : " among clear bits"));
            for (int i = 0; i < 4; ++i) Settings.switches[i] = background;
            SettingsRecord expected = Settings;
            expected.switches[bit.byteIndex] = static_cast<uint8_t>(background ^ bit.mask);
            const bool nowSet = (expected.switches[bit.byteIndex] & bit.mask) != 0;
            host.notices.clear();
            ASSERT_TRUE(RunDialog(page, 1197, [&](HWND dialog) {
                Click(dialog, nowSet || !bit.tickedWhenClear ? bit.tickedWhenSet : bit.tickedWhenClear);
            }, IDOK));
            EXPECT_TRUE(SameRecord(Settings, expected));
            EXPECT_EQ(host.NoticesFrom(page), 1) << "OK is one change of the page";
        }
    }
}

TEST_F(PrintPageTest, DosDirectionClickReportsAtOnceEvenWhenCancelled) {
    HWND page = OpenPage();
    Settings.switches[1] = 0x80;  // one way
    Settings.switches[3] = 0x08;  // page: both ways
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    EXPECT_TRUE(Checked(page, 1203));
    EXPECT_EQ(IconShown(page, 1304), SharedIcon(222));
    const SettingsRecord before = Settings;
    HWND dialogWindow = nullptr;
    size_t noticesWhileOpen = 0;
    HICON iconAfterClick = nullptr;
    ASSERT_TRUE(RunDialog(page, 1197, [&](HWND dialog) {
        dialogWindow = dialog;
        EXPECT_TRUE(Checked(dialog, 1266));
        EXPECT_EQ(IconShown(dialog, 1305), SharedIcon(224));
        Click(dialog, 1267);
        iconAfterClick = IconShown(dialog, 1305);
        noticesWhileOpen = host.notices.size();
    }, IDCANCEL));
    EXPECT_EQ(iconAfterClick, SharedIcon(222));
    ASSERT_EQ(noticesWhileOpen, 1u);
    EXPECT_EQ(host.notices[0], dialogWindow) << "the dialog reports as itself";
    EXPECT_EQ(host.notices.size(), 1u) << "cancel adds nothing";
    EXPECT_TRUE(SameRecord(Settings, before));
    EXPECT_EQ(ForegroundRoleWindow, page);
}

// ---- Advanced print settings ----

TEST_F(PrintPageTest, AdvancedDialogTemplate) {
    HWND page = OpenPage();
    std::string caption;
    ASSERT_TRUE(RunDialog(page, 1198, [&](HWND dialog) {
        caption = Caption(dialog);
        const ControlCase controls[] = {
            {1310, "Static", "印刷圧の微調整(&B)", 0x13600},
            {1311, "ComboBox", nullptr, 0x13600},
            {1269, "Static", "印刷位置の微調整(&K)", 0x13610},
            {1186, "ComboBox", nullptr, 0x13610},
            {IDOK, "Button", "OK", HelpContextOf(IDOK)},
            {IDCANCEL, "Button", "キャンセル", HelpContextOf(IDCANCEL)},
        };
        ExpectControls(dialog, controls, ARRAYSIZE(controls), false);
        ExpectModalFrame(dialog, 197, 103);
        const char* const pressure[] = {"+3", "+2", "+1", "0", "-1", "-2", "-3", "-4", "-5", "-6"};
        const char* const position[] = {"0mm", "+0.4mm", "+0.8mm", "+1.3mm", "-0.4mm", "-0.8mm", "-1.3mm"};
        ASSERT_EQ(ComboCount(dialog, 1311), 10);
        ASSERT_EQ(ComboCount(dialog, 1186), 7);
        for (int row = 0; row < 10; ++row) EXPECT_EQ(ComboRowText(dialog, 1311, row), pressure[row]);
        for (int row = 0; row < 7; ++row) EXPECT_EQ(ComboRowText(dialog, 1186, row), position[row]);
    }, IDCANCEL));
    EXPECT_EQ(caption, "高度な設定： 印刷");
    EXPECT_TRUE(dialogRole);
    EXPECT_EQ(ForegroundRoleWindow, page);
}

struct FineCase {
    const char* label;
    int32_t pressure, position;
    const char* pressureShown;
    const char* positionShown;
    int choosePressure, choosePosition;  // -1: leave; -2: clear the selection
    int32_t storedPressure, storedPosition;
};

const FineCase kFineCases[] = {
    {"-6 shown, -1 chosen", 250, 0, "-6", "0mm", 4, -1, 255, 0},
    {"4 shows 0 and stores 0", 4, 5, "0", "0mm", -1, -1, 0, 0},
    {"-1.3mm shown, kept", 3, 253, "+3", "-1.3mm", -1, -1, 3, 253},
    {"only the low byte counts", 0x1FD, -2, "-3", "-0.8mm", -1, -1, 253, 254},
    {"all the way up", 0, 0, "0", "0mm", 0, 3, 3, 3},
    {"no selection stores 0", 2, 1, "+2", "+0.4mm", -2, -2, 0, 0},
};

TEST_F(PrintPageTest, AdvancedDialogShowsAndStoresTheSteps) {
    HWND page = OpenPage();
    for (const FineCase& c : kFineCases) {
        SCOPED_TRACE(c.label);
        LoadDefaultSettings();
        Settings.printPressure = c.pressure;
        Settings.printPosition = c.position;
        SettingsRecord expected = Settings;
        expected.printPressure = c.storedPressure;
        expected.printPosition = c.storedPosition;
        std::string pressureShown, positionShown;
        host.notices.clear();
        ASSERT_TRUE(RunDialog(page, 1198, [&](HWND dialog) {
            pressureShown = SelectedText(dialog, 1311);
            positionShown = SelectedText(dialog, 1186);
            if (c.choosePressure >= 0) ChooseRow(dialog, 1311, c.choosePressure);
            if (c.choosePosition >= 0) ChooseRow(dialog, 1186, c.choosePosition);
            if (c.choosePressure == -2) SendDlgItemMessageA(dialog, 1311, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            if (c.choosePosition == -2) SendDlgItemMessageA(dialog, 1186, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        }, IDOK));
        EXPECT_EQ(pressureShown, c.pressureShown);
        EXPECT_EQ(positionShown, c.positionShown);
        EXPECT_TRUE(SameRecord(Settings, expected));
        EXPECT_EQ(host.NoticesFrom(page), 1);
        EXPECT_EQ(host.notices.size(), 1u);

        // Cancel after a change writes nothing and reports nothing.
        const SettingsRecord before = Settings;
        host.notices.clear();
        ASSERT_TRUE(RunDialog(page, 1198, [](HWND dialog) {
            ChooseRow(dialog, 1311, 9);
            ChooseRow(dialog, 1186, 6);
        }, IDCANCEL));
        EXPECT_TRUE(SameRecord(Settings, before));
        EXPECT_TRUE(host.notices.empty());
    }
}

}  // namespace
