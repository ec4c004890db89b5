// The Other page (template 197), run from the program's resources inside a
// window that plays the panel.
#include <windows.h>
#include <gtest/gtest.h>

#include "test_env_other_radios.h"

using namespace pagetest;
using namespace radiotest;

namespace {

constexpr int kOtherIndex = 5;

const RadioPair kPairs[] = {
    {"print command", 1219, 1220, 0, 0x40},
    {"7/8-bit data", 1228, 1229, 1, 0x20},
    {"DC1/DC3 processing", 1223, 1225, 0, 0x10},
};

const int kPageList[] = {1353, 1219, 1220, 1354, 1223, 1225, 1355, 1228, 1229};

const TemplateControl kTemplate[] = {
    {{1353, "Button", "印刷指令の切り替え", 0x15000}, BS_GROUPBOX},
    {{1219, "Button", "CR(&1)", 0x15000}, BS_AUTORADIOBUTTON},
    {{1220, "Button", "CR+その他(&2)", 0x15000}, BS_AUTORADIOBUTTON},
    {{1355, "Button", "7/8ビットデータの切り替え", 0x15020}, BS_GROUPBOX},
    {{1228, "Button", "8ビット(&5)", 0x15020}, BS_AUTORADIOBUTTON},
    {{1229, "Button", "7ビット(&6)", 0x15020}, BS_AUTORADIOBUTTON},
    {{1354, "Button", "DC1/DC3コード処理の切り替え", 0x15010}, BS_GROUPBOX},
    {{1223, "Button", "有効(&3)", 0x15010}, BS_AUTORADIOBUTTON},
    {{1225, "Button", "無効(&4)", 0x15010}, BS_AUTORADIOBUTTON},
};

class OtherPageTest : public PageTest<kOtherIndex> {};

TEST_F(OtherPageTest, TemplateStartsDisabledAndEmptyWithoutRecord) {
    InvalidateSettings();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    ExpectTemplate(page, kTemplate, ARRAYSIZE(kTemplate), true);
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongA(page, GWL_STYLE) & WS_CAPTION);
    ExpectSize(page, 223, 110);
    EXPECT_EQ(FontFace(page), "ＭＳ Ｐゴシック");
    for (const RadioPair& pair : kPairs) {
        EXPECT_FALSE(Checked(page, pair.clearId)) << pair.label;
        EXPECT_FALSE(Checked(page, pair.setId)) << pair.label;
    }
    // A store from the empty page leaves the empty record as it is.
    const SettingsRecord before = Settings;
    EXPECT_EQ(PageHost::Store(page), 1);
    EXPECT_TRUE(SameRecord(Settings, before));
    EXPECT_EQ(IsRecordLoaded(), 0);
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(OtherPageTest, PlacementRoleEnableDisableAndHelp) {
    HelpFileRegistry helpFile;
    HWND page = OpenPage();
    ExpectPlacedInPageArea(host, page);
    EXPECT_EQ(ForegroundRoleWindow, page);

    ExpectEnabled(page, kPageList, true);
    SendMessageA(page, RPM_DISABLE, 0, 0);
    ExpectEnabled(page, kPageList, false);
    SendMessageA(page, RPM_SHOWRECORD, 0, 0);
    ExpectEnabled(page, kPageList, true);

    ExpectContextHelp(page, 1229, 1354);
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(OtherPageTest, EachPairShowsAndStoresOnlyItsBit) {
    HWND page = OpenPage();
    for (const RadioPair& pair : kPairs) ExpectPagePairBothWays(host, page, kPairs, ARRAYSIZE(kPairs), pair);
}

}  // namespace
