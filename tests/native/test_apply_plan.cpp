// Applying a file to a printer, worked out at the level of the printer's
// block: what is written, what is refused, and what is left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rpsettings/apply_plan_pure.h"
#include "update_command.h"

namespace {

const char kModel[] = "Tilbury 550TK";
const char kHeader[] = "model=Tilbury 550TK\nversion=2\n";

std::string NoText(void*, int, int) { return ""; }

// The factory block with one byte changed (offset < 0: none).
std::vector<uint8_t> Block(int offset = -1, uint8_t value = 0) {
    std::vector<uint8_t> block(kSettingsBlockSize);
    PrinterSettings settings = DefaultPrinterSettings();
    EncodeSettings(settings.record, settings.custom, block.data());
    block[0] = 1;
    block[1] = 4;
    if (offset >= 0) block[static_cast<size_t>(offset)] = value;
    return block;
}

// A saved file of a printer with that block.
std::string SavedFile(const std::vector<uint8_t>& block) {
    PrinterSettings settings;
    SettingsOfBlock(block.data(), &settings);
    return WriteSettingsFile(settings, block.data(), kModel, NoText, nullptr);
}

struct PlanCase {
    const char* label;
    std::vector<uint8_t> printer;
    bool readable;
    std::string file;  // whole file
    PlanOutcome outcome;
    PlanRefusal refusal;
    int byte;           // a block byte after the write, -1 none
    uint8_t value;
    const char* named = nullptr;  // the setting a refusal names, where given
};

TEST(ApplyPlan, OnlyWhatTheFileNamesChangesAndOnlyAsItSays) {
    const std::string h = kHeader;
    const PlanCase cases[] = {
        {"a reference printer's custom feed to a factory printer", Block(), true, SavedFile(Block(26, 46)), PlanWrite,
         RefuseNone, 26, 46},
        {"over another custom position", Block(26, 50), true, SavedFile(Block(26, 46)), PlanWrite, RefuseNone, 26,
         46},
        {"a custom position in a hand-written file", Block(), true, h + "[format2]\ncutSheetFeed=9\ncutSheetCustom=37\n",
         PlanWrite, RefuseNone, 85, 37},
        {"a custom row the printer has no position for", Block(), true, h + "contFrontFeed=8\n", PlanRefused,
         RefuseNoCustomFeed, -1, 0, "contFrontFeed"},
        {"a custom row takes the printer's position", Block(27, 50), true, "model=Tilbury 550TK\nversion=1\n"
         "contRearFeed=8\npageLength=60\n", PlanWrite, RefuseNone, 27, 50},
        {"a row chosen over a custom position", Block(26, 50), true, h + "contFrontFeed=0\n", PlanWrite, RefuseNone,
         26, 0},
        {"head centring 100 would be cut to 10", Block(23, 100), true, h + "pageLength=60\n", PlanRefused,
         RefuseCollateral, -1, 0},
        {"paper thickness 150 would become 15", Block(60, 150), true, h + "pageLength=60\n", PlanRefused,
         RefuseCollateral, -1, 0},
        {"font 15 would become 0", Block(20, 0x0F), true, h + "pageLength=60\n", PlanRefused, RefuseCollateral, -1,
         0},
        {"the file's own odd value cannot be carried", Block(), true, SavedFile(Block(23, 100)), PlanRefused,
         RefuseNotCarried, -1, 0},
        {"a printer that already holds the file", Block(25, 60), true, h + "pageLength=60\n", PlanUnchanged,
         RefuseNone, -1, 0},
        {"its own backup, odd values and all", Block(23, 100), true, SavedFile(Block(23, 100)), PlanUnchanged,
         RefuseNone, -1, 0},
        {"a complete file on an update-only printer", Block(), false, SavedFile(Block(26, 46)), PlanWrite, RefuseNone,
         26, 46},
        {"a partial file on an update-only printer", Block(), false, h + "pageLength=60\n", PlanRefused,
         RefuseNotReadable, -1, 0},
        {"a format the format dialog refuses", Block(), true, h + "[format1]\nleftMargin=135\nrightMargin=100\n",
         PlanRefused, RefuseFormatCheck, -1, 0, "format1.pageLength"},
        {"a format the file leaves alone is not checked", Block(71, 0), true, h + "pageLength=60\n", PlanWrite,
         RefuseNone, 25, 60},
        {"a later format is named by its own key", Block(), true, h + "[format3]\nleftMargin=135\nrightMargin=100\n",
         PlanRefused, RefuseFormatCheck, -1, 0, "format3.pageLength"},
        {"a switch byte all set", Block(), true, h + "switches.otherBits=000A0000\nswitches.slashedZero1=1\n"
         "switches.dotCount=1\nswitches.printMode=1\nswitches.dataBits=1\nswitches.printColumns=1\n"
         "switches.printDirection=1\n", PlanRefused, RefuseSwitchFF, -1, 0},
    };
    for (const PlanCase& c : cases) {
        ParsedSettings parsed;
        ASSERT_EQ(ReadSettingsFile(c.file.data(), c.file.size(), kModel, &parsed).error, FileOk) << c.label;
        PrinterSettings current;
        ASSERT_TRUE(SettingsOfBlock(c.printer.data(), &current)) << c.label;
        const ApplyPlan plan = PlanApply(parsed, c.readable ? &current : nullptr);
        EXPECT_EQ(plan.outcome, c.outcome) << c.label;
        EXPECT_EQ(plan.refusal, c.refusal) << c.label;
        if (c.named) {
            EXPECT_EQ(SettingFullKey(plan.setting), c.named) << c.label;
        }
        if (c.outcome != PlanWrite) continue;
        std::vector<uint8_t> after = c.printer;
        ASSERT_TRUE(ApplyUpdateCommand(plan.area, kCommandAreaSize, after.data())) << c.label;
        EXPECT_EQ(after[static_cast<size_t>(c.byte)], c.value) << c.label;
        // Every other byte the reader interprets is as the printer had it, unless the file names it.
        PrinterSettings result;
        ASSERT_TRUE(SettingsOfBlock(after.data(), &result)) << c.label;
        EXPECT_TRUE(SameSettings(result, plan.predicted)) << c.label;
        EXPECT_TRUE(VerifyApplied(plan, result).empty()) << c.label;
        for (int i = 0; i < SettingCount(); ++i) {
            if (FileNames(parsed, i) || !c.readable) continue;
            EXPECT_FALSE(SettingDiffers(i, result, current)) << c.label << " " << SettingFullKey(i);
        }
    }
}

TEST(ApplyPlan, ARefusalNamesEverySettingThatWouldChange) {
    std::vector<uint8_t> printer = Block(23, 100);
    printer[20] = 0x0F;
    PrinterSettings current;
    ASSERT_TRUE(SettingsOfBlock(printer.data(), &current));
    const std::string file = std::string(kHeader) + "pageLength=60\n";
    ParsedSettings parsed;
    ASSERT_EQ(ReadSettingsFile(file.data(), file.size(), kModel, &parsed).error, FileOk);
    const ApplyPlan plan = PlanApply(parsed, &current);
    ASSERT_EQ(plan.collateral.size(), 2u);
    EXPECT_EQ(SettingFullKey(plan.collateral[0].setting), "headCenterFront");
    EXPECT_EQ(plan.collateral[0].from, 100);
    EXPECT_EQ(plan.collateral[0].to, 10);
    EXPECT_EQ(SettingFullKey(plan.collateral[1].setting), "font1");
    EXPECT_EQ(plan.collateral[1].to, 0);
    ASSERT_EQ(plan.changes.size(), 1u);
    EXPECT_EQ(SettingFullKey(plan.changes[0].setting), "pageLength");
}

}  // namespace
