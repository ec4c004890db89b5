// rpsettings.exe against printers of the stand-in: a saved file applied to
// another printer, one printer among three that fails, printers it must not
// write (not served, held), an update-only printer, the arguments, and a file
// with one bad line.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "codec.h"
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

    const SimulatedPrinter& AddPrinter(SpoolerEntry spooler = SpoolerEntry::Register,
                                       const std::string& driver = kSrmDefaultDriver, const std::string& port = "LPT1:") {
        printers_.emplace_back(new SimulatedPrinter("Rps", spooler, driver, port));
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
    const SrmctlResult apply = Rps({"apply", file, target.Name(), target.Name()});  // named twice: written once
    ASSERT_EQ(apply.exitCode, 0u) << apply.output;
    EXPECT_EQ(OutputLines(apply.output).size(), 1u) << apply.output;
    EXPECT_EQ(target.Log().size(), 1u);

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

enum class Hold { None, Panel, Tool };

struct Unserved {
    const char* label;
    SpoolerEntry spooler;
    const char* driver;
    const char* port;
    Hold hold;
    const char* rename;  // the printer then reports its name with this added, and is named so
    DWORD exitCode;
    const char* says;
};

TEST_F(RpsettingsTest, APrinterThePanelWouldNotServeOrThatIsHeldIsNeverWritten) {
    const Unserved cases[] = {
        {"another model", SpoolerEntry::Register, "Quarl Other 100", "LPT1:", Hold::None, nullptr, 2,
         "リモートパネルの対象プリンタではありません。"},
        {"no spooler printer", SpoolerEntry::None, kSrmDefaultDriver, "LPT1:", Hold::None, nullptr, 2,
         "リモートパネルの対象プリンタではありません。"},
        {"a FILE: destination", SpoolerEntry::Register, kSrmDefaultDriver, "FILE:", Hold::None, nullptr, 1,
         "設定しません: \"FILE:\"に接続されているため、設定の読み込み/更新ができません。"},
        {"held by a panel", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:", Hold::Panel, nullptr, 1,
         "設定しません: このプリンタのリモートパネルは現在起動されています。"},
        {"held by another run", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:", Hold::Tool, nullptr, 1,
         "設定しません: 別の rpsettings がこのプリンタに設定中です。"},
        {"held by a panel, named as it now reports itself", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:",
         Hold::Panel, "-9", 2, "リモートパネルの対象プリンタではありません。"},
    };
    for (const Unserved& c : cases) {
        printers_.clear();
        const SimulatedPrinter& printer = AddPrinter(c.spooler, c.driver, c.port);
        const SimulatedPrinter& other = AddPrinter();
        std::vector<std::unique_ptr<ScopedHandle>> holds;
        if (c.hold != Hold::None) {
            HANDLE claim = nullptr;
            ASSERT_EQ(TryClaimPrinter(printer.CName(), &claim), ClaimTaken) << c.label;
            holds.emplace_back(new ScopedHandle(claim));
        }
        if (c.hold == Hold::Tool) {
            char mark[kInstanceNameSize];
            BuildInstanceName(mark, sizeof mark, printer.CName());
            holds.emplace_back(new ScopedHandle(CreateEventA(nullptr, TRUE, FALSE, (std::string(mark) + ".rpsettings").c_str())));
        }
        std::string name = printer.Name();
        if (c.rename) {
            name += c.rename;
            ASSERT_EQ(printer.SetReportedName(name), 0u) << c.label;
        }
        const SrmctlResult apply = Rps({"apply", TempFile(kPartialFile), name, other.Name()});
        EXPECT_EQ(apply.exitCode, c.exitCode) << c.label << apply.output;
        EXPECT_NE(apply.output.find(c.says), std::string::npos) << c.label << apply.output;
        EXPECT_TRUE(printer.Log().empty()) << c.label;
        // An argument error is found before any printer is touched.
        EXPECT_EQ(other.Log().size(), c.exitCode == 2 ? 0u : 1u) << c.label;
        if (c.hold == Hold::None) continue;
        HANDLE again = nullptr;  // the holder's claim is untouched
        EXPECT_EQ(TryClaimPrinter(printer.CName(), &again), ClaimHeld) << c.label;
    }
}

TEST_F(RpsettingsTest, AnUpdateOnlyPrinterTakesOnlyACompleteFileAndIsReportedNotVerified) {
    const SimulatedPrinter& source = AddPrinter();
    const SimulatedPrinter& target = AddPrinter();
    ASSERT_EQ(target.SetExtStatus(1), 0u);  // may be updated, not read
    std::vector<uint8_t> block = FactoryBlock();
    block[26] = 46;  // a custom front feed
    ASSERT_EQ(source.SetBlock(block.data()), 0u);
    const std::string saved = TempFile("");
    ASSERT_EQ(Rps({"save", source.Name(), saved}).exitCode, 0u);

    const SrmctlResult partial = Rps({"apply", TempFile(kPartialFile), target.Name()});
    EXPECT_EQ(partial.exitCode, 1u) << partial.output;
    EXPECT_NE(partial.output.find("ファイルにない設定を補えません"), std::string::npos) << partial.output;
    EXPECT_TRUE(target.Log().empty());

    const SrmctlResult complete = Rps({"apply", saved, target.Name()});
    EXPECT_EQ(complete.exitCode, 4u) << complete.output;
    EXPECT_NE(complete.output.find("読み戻して確かめられません"), std::string::npos) << complete.output;
    EXPECT_EQ(CarriedBytes(target.Block()), CarriedBytes(block));
}

struct Arguments {
    const char* label;
    std::vector<std::string> args;  // "P": the printer, "F": a file named like it
    DWORD exitCode;
    const char* says;
};

TEST_F(RpsettingsTest, ArgumentsAreCheckedBeforeAnyPrinterIsTouched) {
    const SimulatedPrinter& printer = AddPrinter();
    const std::string file = TempFile(kPartialFile);
    const Arguments cases[] = {
        {"a mistyped option", {"apply", file, "P", "--dryrun"}, 2, "未知のオプションです: --dryrun"},
        {"an option before the command", {"--dry-run", "apply", file, "P"}, 0, "--dry-run のため書き込みません"},
        {"help", {"diff", "-h"}, 0, "使い方: rpsettings"},
        {"a missing file", {"diff", "P", "nosuch.txt"}, 2, "nosuch.txt というファイルもプリンタもありません。"},
        {"a missing file said to be one", {"diff", "P", "nosuch.txt", "--file"}, 2, "設定ファイル nosuch.txt がありません。"},
        {"a file named like a printer", {"diff", "P", "F"}, 2, "--file か --printer で指定して下さい。"},
        {"that file", {"diff", "P", "F", "--file"}, 1, "pageLength: 66行 -> 60行"},
        {"that printer", {"diff", "P", "F", "--printer"}, 0, ""},
    };
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    const std::string likePrinter = std::string(directory) + printer.Name();
    ASSERT_TRUE(CopyFileA(file.c_str(), likePrinter.c_str(), FALSE));
    files_.push_back(likePrinter);
    SetCurrentDirectoryA(directory);
    for (const Arguments& c : cases) {
        std::vector<std::string> args;
        for (const std::string& arg : c.args) args.push_back(arg == "P" || arg == "F" ? printer.Name() : arg);
        const SrmctlResult run = Rps(args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.label << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << c.label << run.output;
    }
    EXPECT_TRUE(printer.Log().empty());
}

TEST_F(RpsettingsTest, AFileWithOneBadLineChangesNoPrinter) {
    const SimulatedPrinter& first = AddPrinter();
    const SimulatedPrinter& second = AddPrinter();
    const SrmctlResult apply =
        Rps({"apply", TempFile(std::string(kPartialFile) + "rightMargin=137\n"), first.Name(), second.Name()});
    EXPECT_EQ(apply.exitCode, 2u);
    EXPECT_NE(apply.output.find("の 6 行目: format2.rightMargin の値が範囲外です。使える値: 1..136"), std::string::npos) << apply.output;
    for (const SimulatedPrinter* printer : {&first, &second}) {
        EXPECT_EQ(printer->Block(), FactoryBlock());
        EXPECT_TRUE(printer->Log().empty());
    }
}

}  // namespace
