// The Operating environment page (template 243) and its advanced dialog (208),
// run from the program's resources inside a window that plays the panel.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>

#include "test_env_other_radios.h"

using namespace pagetest;
using namespace radiotest;

namespace {

constexpr int kEnvironmentIndex = 4;

// The page's pairs, the edge pair (1207, 1210) enclosing the ejection pair.
const RadioPair kPagePairs[] = {
    {"cut-sheet ejection", 1208, 1209, 3, 0x20},
    {"edge detection", 1207, 1210, 3, 0x01},
    {"sheet-guide loading", 1204, 1205, 3, 0x80},
};

// The advanced dialog's pairs; CR function and automatic CR/LF name their
// choices in opposite order.
const RadioPair kAdvancedPairs[] = {
    {"sheet-feeder ejection", 1342, 1343, 3, 0x40},
    {"sheet-feeder load control", 1362, 1361, 3, 0x02},
    {"print columns", 1286, 1287, 1, 0x40},
    {"CR function", 1347, 1348, 0, 0x80},
    {"automatic CR/LF", 1349, 1350, 0, 0x20},
};

const int kPageList[] = {1337, 1208, 1209, 1339, 1204, 1205, 1340, 1207, 1210, 1213};

const TemplateControl kPageTemplate[] = {
    {{1337, "Button", "カット紙の排出方向の切り替え", 0x14000}, BS_GROUPBOX},
    {{1208, "Button", "手前排出(&T)", 0x14000}, BS_AUTORADIOBUTTON},
    {{1209, "Button", "後方排出(&K)", 0x14000}, BS_AUTORADIOBUTTON},
    {{1340, "Button", "用紙左右端検出の切り替え", 0x14020}, BS_GROUPBOX},
    {{1207, "Button", "検出する(&Y)", 0x14020}, BS_AUTORADIOBUTTON},
    {{1210, "Button", "検出しない(&N)", 0x14020}, BS_AUTORADIOBUTTON},
    {{1339, "Button", "シートガイドの自動吸入方式の切り替え", 0x14010}, BS_GROUPBOX},
    {{1204, "Button", "自動吸入(&J)", 0x14010}, BS_AUTORADIOBUTTON},
    {{1205, "Button", "吸入／退避スイッチによる吸入(&M)", 0x14010}, BS_AUTORADIOBUTTON},
    {{1213, "Button", "高度設定(&D)...", 0x14030}, BS_PUSHBUTTON},
};

const TemplateControl kAdvancedTemplate[] = {
    {{1288, "Button", "シートフィーダの排出方向の切り替え ", 0x14510}, BS_GROUPBOX},
    {{1342, "Button", "排出方向指定による(&T)", 0x14510}, BS_AUTORADIOBUTTON},
    {{1343, "Button", "後方排出固定(&B)", 0x14510}, BS_AUTORADIOBUTTON},
    {{1360, "Button", "シートフィーダの用紙吸入制御の切り替え", 0x14540}, BS_GROUPBOX},
    {{1361, "Button", "する(&Y)", 0x14540}, BS_AUTORADIOBUTTON},
    {{1362, "Button", "しない(&N)", 0x14540}, BS_AUTORADIOBUTTON},
    {{1285, "Button", "印刷桁数の切り替え ", 0x14500}, BS_GROUPBOX},
    {{1286, "Button", "136桁(&1)", 0x14500}, BS_AUTORADIOBUTTON},
    {{1287, "Button", "80桁(&2)", 0x14500}, BS_AUTORADIOBUTTON},
    {{1351, "Button", "CR機能の切り替え", 0x14520}, BS_GROUPBOX},
    {{1347, "Button", "復帰のみ(&3)", 0x14520}, BS_AUTORADIOBUTTON},
    {{1348, "Button", "復帰改行(&4)", 0x14520}, BS_AUTORADIOBUTTON},
    {{1352, "Button", "自動復改の切り替え", 0x14530}, BS_GROUPBOX},
    {{1349, "Button", "復帰改行(&5)", 0x14530}, BS_AUTORADIOBUTTON},
    {{1350, "Button", "復帰のみ(&6)", 0x14530}, BS_AUTORADIOBUTTON},
    {{IDOK, "Button", "OK", 0x81000300}, BS_DEFPUSHBUTTON},  // the help every dialog shares
    {{IDCANCEL, "Button", "キャンセル", 0x81000400}, BS_PUSHBUTTON},
};

class EnvironmentPageTest : public PageTest<kEnvironmentIndex> {};

TEST_F(EnvironmentPageTest, TemplateStartsDisabledAndEmptyWithoutRecord) {
    InvalidateSettings();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    ExpectTemplate(page, kPageTemplate, ARRAYSIZE(kPageTemplate), true);
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongA(page, GWL_STYLE) & WS_CAPTION);
    ExpectSize(page, 223, 110);
    EXPECT_EQ(FontFace(page), "ＭＳ Ｐゴシック");
    for (const RadioPair& pair : kPagePairs) {
        EXPECT_FALSE(Checked(page, pair.clearId)) << pair.label;
        EXPECT_FALSE(Checked(page, pair.setId)) << pair.label;
    }
    EXPECT_EQ(ForegroundRoleWindow, page);
}

TEST_F(EnvironmentPageTest, PlacementEnableDisableAndHelp) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    ExpectPlacedInPageArea(host, page);

    ExpectEnabled(page, kPageList, true);
    SendMessageA(page, RPM_DISABLE, 0, 0);
    ExpectEnabled(page, kPageList, false);
    // A record that is not loaded does not bring them back.
    InvalidateSettings();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kPageList, false);
    LoadDefaultSettings();
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kPageList, true);

    ExpectContextHelp(page, 1210, 1205);
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(EnvironmentPageTest, EachPairShowsAndStoresOnlyItsBit) {
    HWND page = OpenPage();
    for (const RadioPair& pair : kPagePairs)
        ExpectPagePairBothWays(host, page, kPagePairs, ARRAYSIZE(kPagePairs), pair);
}

// The edge pair's ids enclose the ejection pair's: in id order 1207 to 1210
// the two pairs must still show their own bits.
TEST_F(EnvironmentPageTest, InterleavedEdgeAndEjectionPairs) {
    const struct {
        const char* label;
        uint8_t switches3;
        bool ticked[4];  // 1207, 1208, 1209, 1210
    } cases[] = {
        {"detect, to the front", 0x00, {true, true, false, false}},
        {"do not detect, to the front", 0x01, {false, true, false, true}},
        {"detect, to the rear", 0x20, {true, false, true, false}},
        {"do not detect, to the rear", 0x21, {false, false, true, true}},
    };
    HWND page = OpenPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Settings.switches[3] = c.switches3;
        SendMessageA(page, RPM_SHOWRECORD, 0, 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Checked(page, 1207 + i), c.ticked[i]) << "radio " << 1207 + i;
        EXPECT_TRUE(Checked(page, 1204)) << "automatic loading";
    }
}

// ---- Advanced operating environment dialog ----

struct AdvancedRun {
    HWND dialog;
    HWND roleWhileOpen;
    std::string caption;
    bool ranOut;
};

// Opens the dialog from the page, looks at it, runs `act` on it and ends it with `button`.
AdvancedRun RunAdvanced(HWND page, std::function<void(HWND)> act, int button) {
    AdvancedRun run = {};
    ModalScript script({[&](HWND dialog) {
        run.dialog = dialog;
        run.roleWhileOpen = ForegroundRoleWindow;
        run.caption = Caption(dialog);
        if (act) act(dialog);
        PostMessageA(dialog, WM_COMMAND, button, 0);
    }});
    Click(page, 1213);
    run.ranOut = script.ranOut();
    return run;
}

TEST_F(EnvironmentPageTest, AdvancedDialogTemplateAndHelp) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    const SettingsRecord before = Settings;
    AdvancedRun run = RunAdvanced(page, [](HWND dialog) {
        ExpectTemplate(dialog, kAdvancedTemplate, ARRAYSIZE(kAdvancedTemplate), false);
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_POPUP), WS_CAPTION | WS_SYSMENU | WS_POPUP);
        EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        ExpectSize(dialog, 280, 161);
        EXPECT_EQ(FontFace(dialog), "ＭＳ Ｐゴシック");
        ExpectContextHelp(dialog, 1287, 1350);
    }, IDCANCEL);
    EXPECT_FALSE(run.ranOut);
    EXPECT_EQ(run.caption, "高度な設定： 動作環境");
    EXPECT_EQ(run.roleWhileOpen, run.dialog);
    EXPECT_EQ(ForegroundRoleWindow, page);
    EXPECT_TRUE(SameRecord(Settings, before));
    EXPECT_TRUE(host.notices.empty());
}

// For each pair either way round, on both backgrounds: the dialog ticks every
// pair from its bit; Cancel after a click writes nothing and reports nothing;
// OK after the same click flips exactly that bit and reports once.
TEST_F(EnvironmentPageTest, AdvancedDialogEachPairBothWays) {
    HWND page = OpenPage();
    for (const RadioPair& pair : kAdvancedPairs) {
        for (int background = 0; background < 2; ++background) {
            for (bool set : {false, true}) {
                SCOPED_TRACE(std::string(pair.label) + (set ? ", bit set, " : ", bit clear, ") +
                             kBackgroundNames[background]);
                Settings = RecordWith(kBackgrounds[background], pair, set);
                const SettingsRecord before = Settings;
                SendMessageA(page, RPM_SHOWRECORD, 0, 0);
                const SettingsRecord expected = Flipped(before, pair);
                auto flip = [&](HWND dialog) {
                    ExpectTicks(dialog, kAdvancedPairs, ARRAYSIZE(kAdvancedPairs), before.switches);
                    Click(dialog, set ? pair.clearId : pair.setId);
                    ExpectTicks(dialog, kAdvancedPairs, ARRAYSIZE(kAdvancedPairs), expected.switches);
                };
                host.notices.clear();
                EXPECT_FALSE(RunAdvanced(page, flip, IDCANCEL).ranOut);
                EXPECT_TRUE(SameRecord(Settings, before)) << "cancel wrote " << SwitchBytes(Settings);
                EXPECT_TRUE(host.notices.empty());

                EXPECT_FALSE(RunAdvanced(page, flip, IDOK).ranOut);
                EXPECT_TRUE(SameRecord(Settings, expected))
                    << "stored " << SwitchBytes(Settings) << ", wanted " << SwitchBytes(expected);
                EXPECT_EQ(host.NoticesFrom(page), 1);
                EXPECT_EQ(ForegroundRoleWindow, page);
            }
        }
    }
}

TEST_F(EnvironmentPageTest, AdvancedDialogOkWithoutChangeKeepsTheRecordAndReports) {
    HWND page = OpenPage();
    Settings.switches[0] = 0xA0;  // CR function: CR and LF; automatic CR/LF: CR only
    const SettingsRecord before = Settings;
    RunAdvanced(page, [](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, 1348));
        EXPECT_TRUE(Checked(dialog, 1350));
    }, IDOK);
    EXPECT_TRUE(SameRecord(Settings, before)) << SwitchBytes(Settings);
    EXPECT_EQ(host.NoticesFrom(page), 1);
}

}  // namespace
