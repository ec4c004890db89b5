// rpsettings.exe against printers of the stand-in: a saved file applied to
// another printer, one printer among three that fails, a printer a panel
// holds, and a file with one bad line.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "codec.h"
#include "messages.h"
#include "resource.h"
#include "rpsettings/settings_file_pure.h"
#include "support_srm.h"

namespace {

const char kPartialFile[] = "model=Tilbury 550TK\nversion=1\npageLength=60\n[format2]\nleftMargin=10\n";

// The update command a block gives: every byte of the block that a command carries.
std::vector<uint8_t> CarriedBytes(const std::vector<uint8_t>& block) {
    SettingsRecord record;
    CustomFeedTable custom = {};
    InvalidateSettings(&record);
    if (block.size() != kSettingsBlockSize || !DecodeSettingsBlock(block.data(), &record, &custom)) return {};
    uint8_t work[kSettingsBlockSize];
    std::vector<uint8_t> area(kCommandAreaSize);
    EncodeSettings(record, custom, work);
    BuildUpdateCommand(work, area.data());
    return area;
}

class RpsettingsTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::string& path : files_) DeleteFileA(path.c_str());
    }

    const SimulatedPrinter& AddPrinter() {
        printers_.emplace_back(new SimulatedPrinter("Rps"));
        EXPECT_EQ(printers_.back()->AddResult(), 0u);
        return *printers_.back();
    }

    std::string TempFile(const std::string& text) {
        char directory[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, directory);
        GetTempFileNameA(directory, "rps", 0, path);
        files_.push_back(path);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    }

    static SrmctlResult Rps(const std::vector<std::string>& arguments) { return RunTool("rpsettings.exe", arguments); }

    std::vector<std::unique_ptr<SimulatedPrinter>> printers_;
    std::vector<std::string> files_;
};

TEST_F(RpsettingsTest, ASavedFileGivesAnotherPrinterEveryByteTheCommandCarries) {
    const SimulatedPrinter& source = AddPrinter();
    const SimulatedPrinter& target = AddPrinter();
    SettingsRecord record;
    LoadDefaultSettings(&record);
    record.switches[0] = 0x5B;  // a charset, bits of several pages and one no page names
    record.switches[3] = 0xA9;
    record.headCenterRear = 120;
    record.printPressure = 250;
    record.reduction = 3;
    record.formatSelect = 2;
    record.formats[3] = {12, 2, 5, 4, 0, 30, 100, 19};
    CustomFeedTable custom = {};
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    block[0] = 1;
    block[1] = 4;
    ASSERT_EQ(source.SetBlock(block), 0u);

    const std::string file = TempFile("");
    const SrmctlResult save = Rps({"save", source.Name(), file});
    ASSERT_EQ(save.exitCode, 0u) << save.output;
    const SrmctlResult apply = Rps({"apply", file, target.Name()});
    ASSERT_EQ(apply.exitCode, 0u) << apply.output;

    EXPECT_EQ(CarriedBytes(target.Block()), CarriedBytes(source.Block()));
    EXPECT_NE(CarriedBytes(target.Block()), CarriedBytes(FactoryBlock()));
    const SrmctlResult diff = Rps({"diff", source.Name(), target.Name()});
    EXPECT_EQ(diff.exitCode, 0u);
    EXPECT_EQ(diff.output, "");
}

struct Breakage {
    const char* label;
    const char* function;  // the SRM function that fails always, or null
    DWORD writeStatus;     // what the printer answers to writes
};

TEST_F(RpsettingsTest, APrinterThatFailsIsReportedAndTheOthersAreChanged) {
    const Breakage cases[] = {
        {"the printer refuses writes", nullptr, 1},
        {"the direct write fails", "SetPrinterStatusDirectA", 0},
    };
    for (const Breakage& c : cases) {
        printers_.clear();
        const SimulatedPrinter& first = AddPrinter();
        const SimulatedPrinter& broken = AddPrinter();
        const SimulatedPrinter& last = AddPrinter();
        if (c.function) {
            ASSERT_EQ(broken.Fail(c.function, kSrmFailAlways), 0u);
        }
        ASSERT_EQ(broken.SetWriteStatus(c.writeStatus), 0u);

        const SrmctlResult apply = Rps({"apply", TempFile(kPartialFile), first.Name(), broken.Name(), last.Name()});
        EXPECT_EQ(apply.exitCode, 1u) << c.label;
        const std::vector<std::string> lines = OutputLines(apply.output);
        ASSERT_EQ(lines.size(), 3u) << c.label << apply.output;
        EXPECT_EQ(lines[0], first.Name() + ": 設定しました。") << c.label;
        EXPECT_EQ(lines[1].find(broken.Name() + ": 設定できません: "), 0u) << c.label;
        EXPECT_EQ(lines[2], last.Name() + ": 設定しました。") << c.label;
        for (const SimulatedPrinter* changed : {&first, &last}) {
            EXPECT_EQ(changed->Block()[25], 60) << c.label;
            EXPECT_EQ(changed->Block()[81], 10) << c.label;
        }
        EXPECT_EQ(broken.Block(), FactoryBlock()) << c.label;
    }
}

TEST_F(RpsettingsTest, APrinterAPanelHoldsIsRefusedAndStaysHeld) {
    const SimulatedPrinter& held = AddPrinter();
    const SimulatedPrinter& other = AddPrinter();
    HANDLE claim = nullptr;
    ASSERT_EQ(TryClaimPrinter(held.CName(), &claim), ClaimTaken);
    ScopedHandle panelClaim(claim);

    const SrmctlResult apply = Rps({"apply", TempFile(kPartialFile), held.Name(), other.Name()});
    EXPECT_EQ(apply.exitCode, 1u) << apply.output;
    EXPECT_NE(apply.output.find(held.Name() + ": 設定できません: このプリンタのリモートパネルは現在起動されています。"),
              std::string::npos)
        << apply.output;
    EXPECT_EQ(held.Block(), FactoryBlock());
    EXPECT_TRUE(held.Log().empty());
    EXPECT_EQ(other.Block()[25], 60);

    // The panel's claim is untouched, and the tool let go of the one it took.
    HANDLE again = nullptr;
    EXPECT_EQ(TryClaimPrinter(held.CName(), &again), ClaimHeld);
    EXPECT_EQ(TryClaimPrinter(other.CName(), &again), ClaimTaken);
    ScopedHandle freeClaim(again);
}

TEST_F(RpsettingsTest, AFileWithOneBadLineChangesNoPrinter) {
    const SimulatedPrinter& first = AddPrinter();
    const SimulatedPrinter& second = AddPrinter();
    const SrmctlResult apply =
        Rps({"apply", TempFile(std::string(kPartialFile) + "rightMargin=137\n"), first.Name(), second.Name()});
    EXPECT_EQ(apply.exitCode, 2u);
    EXPECT_NE(apply.output.find("の 6 行目: 値が範囲外です。"), std::string::npos) << apply.output;
    for (const SimulatedPrinter* printer : {&first, &second}) {
        EXPECT_EQ(printer->Block(), FactoryBlock());
        EXPECT_TRUE(printer->Log().empty());
    }
}

// Every choice caption the table shows, read without a window; one in full.
TEST(RpsettingsTexts, EveryChoiceHasItsCaption) {
    char text[kTextSize];
    int format;
    for (int i = 0; i < SettingCount(); ++i)
        for (int ref : SettingAt(i, &format).texts)
            EXPECT_TRUE(ref <= 0 || LoadControlText(SettingAt(i, &format).templateId, ref, text, kTextSize)) << i << " " << ref;
    LoadControlText(IDD_PAPER_PAGE, IDC_PAPER_PERFSKIP, text, kTextSize);
    EXPECT_STREQ(text, "ミシン目スキップ");
}

}  // namespace
