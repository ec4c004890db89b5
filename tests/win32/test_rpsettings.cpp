// rpsettings.exe against printers of the stand-in: a saved file applied to
// another printer, one printer among three that fails, printers it must not
// write (not served, held), an update-only printer, the arguments, and a file
// with one bad line.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app.h"
#include "codec.h"
#include "messages.h"
#include "resource.h"
#include "rpsettings/backup_store.h"
#include "rpsettings/printer_jobs.h"
#include "rpsettings/settings_file_pure.h"
#include "support_srm.h"
#include "test_shell_support.h"

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

// The page length a saved file holds, or -1.
int PageLengthIn(const std::string& path) {
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        if (line.rfind("pageLength=", 0) == 0) return std::stoi(line.substr(11));
    return -1;
}

// The output's lines without the indented ones under a printer (its changes, its backup).
std::vector<std::string> ResultLines(const std::string& output) {
    std::vector<std::string> lines = OutputLines(output);
    const auto indented = [](const std::string& line) { return line.rfind("  ", 0) == 0; };
    lines.erase(std::remove_if(lines.begin(), lines.end(), indented), lines.end());
    return lines;
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

    // A printer of the given name (as srmctl add makes it).
    const SimulatedPrinter& AddNamed(const std::string& name) {
        EXPECT_EQ(SrmSimAddPrinter(name.c_str(), "LPT1:", "", kSrmDefaultDriver), 0u) << name;
        printers_.emplace_back(new SimulatedPrinter(SimulatedPrinter::Adopt(name)));
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

    static std::string FileText(const std::string& path) {
        ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string text(file.get() == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file.get(), nullptr), '\0');
        DWORD read = 0;
        if (!text.empty()) ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
        return text;
    }

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
    const SrmctlResult save = Rps({"save", source.Name(), file, "--overwrite"});
    ASSERT_EQ(save.exitCode, 0u) << save.output;
    const SrmctlResult apply = Rps({"apply", file, target.Name(), target.Name()});  // named twice: written once
    ASSERT_EQ(apply.exitCode, 0u) << apply.output;
    EXPECT_EQ(ResultLines(apply.output).size(), 2u) << apply.output;  // the printer, the summary
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
        const std::vector<std::string> lines = ResultLines(apply.output);
        ASSERT_EQ(lines.size(), 4u) << c.label << apply.output;  // three printers, the summary
        // In the order the printers are done.
        for (const std::string& line : {first.Name() + ": 設定しました。", last.Name() + ": 設定しました。"})
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << c.label << apply.output;
        EXPECT_NE(apply.output.find(broken.Name() + ": 設定できません: "), std::string::npos) << c.label;
        for (const SimulatedPrinter* changed : {&first, &last}) {
            EXPECT_EQ(changed->Block()[25], 60) << c.label;
            EXPECT_EQ(changed->Block()[81], 10) << c.label;
        }
        EXPECT_EQ(broken.Block(), FactoryBlock()) << c.label;
    }
}

enum class Hold { None, Panel, Tool, OtherSession };

// Whether apply's output says that printer's settings were saved before the write.
bool IsBackedUp(const std::string& output, const std::string& printer) {
    return output.find("\\" + printer + ".txt") != std::string::npos;
}

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
        {"a file: destination", SpoolerEntry::Register, kSrmDefaultDriver, "file:", Hold::None, nullptr, 1,
         "設定しません: \"FILE:\"に接続されているため"},
        {"held by a panel", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:", Hold::Panel, nullptr, 1,
         "設定しません: このプリンタのリモートパネルは現在起動されています。"},
        {"held by another run", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:", Hold::Tool, nullptr, 1,
         "設定しません: 別の rpsettings がこのプリンタに設定中です。"},
        // A panel in another logon session: only the pipe every session sees.
        {"held in another session", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:", Hold::OtherSession, nullptr,
         1, "設定しません: このプリンタのリモートパネルは現在起動されています。"},
        {"held by a panel, named as it now reports itself", SpoolerEntry::Register, kSrmDefaultDriver, "LPT1:",
         Hold::Panel, "-9", 2, "リモートパネルの対象プリンタではありません。"},
    };
    for (const Unserved& c : cases) {
        printers_.clear();
        const SimulatedPrinter& printer = AddPrinter(c.spooler, c.driver, c.port);
        const SimulatedPrinter& other = AddPrinter();
        std::vector<std::unique_ptr<ScopedHandle>> holds;
        HANDLE claim = nullptr;
        if (c.hold == Hold::Panel || c.hold == Hold::Tool) {
            ASSERT_EQ(TryClaimPrinter(printer.CName(), &claim), ClaimTaken) << c.label;
        }
        ScopedClaim held(claim);
        if (c.hold == Hold::OtherSession) holds.emplace_back(new ScopedHandle(shelltest::OtherSessionsClaim(printer.Name())));
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
        const std::string backups = TempFile("") + ".bk\\day";  // made with the folder above it
        const SrmctlResult apply = Rps({"apply", TempFile(kPartialFile), name, other.Name(), "--backup", backups});
        EXPECT_EQ(apply.exitCode, c.exitCode) << c.label << apply.output;
        EXPECT_NE(apply.output.find(c.says), std::string::npos) << c.label << apply.output;
        // Only the printer that was read has a backup, and only it is said to have one.
        files_.push_back(backups + "\\" + other.Name() + ".txt");
        EXPECT_EQ(IsBackedUp(apply.output, printer.Name()), false) << c.label << apply.output;
        EXPECT_EQ(IsBackedUp(apply.output, other.Name()), c.exitCode != 2) << c.label << apply.output;
        EXPECT_EQ(GetFileAttributesA(files_.back().c_str()) != INVALID_FILE_ATTRIBUTES, c.exitCode != 2) << c.label;
        TearDown();
        RemoveDirectoryA(backups.c_str());
        RemoveDirectoryA(backups.substr(0, backups.rfind('\\')).c_str());
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
    ASSERT_EQ(Rps({"save", source.Name(), saved, "--overwrite"}).exitCode, 0u);

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
    std::string upper = file;
    CharUpperA(&upper[0]);
    const Arguments cases[] = {
        {"a mistyped option", {"apply", file, "P", "--dryrun"}, 2, "未知のオプションです: --dryrun"},
        {"an option before the command", {"--dry-run", "apply", file, "P"}, 0, "--dry-run のため書き込みません"},
        {"help", {"diff", "-h"}, 0, "使い方: rpsettings"},
        {"a missing file", {"diff", "P", "nosuch.txt"}, 2, "nosuch.txt というファイルもプリンタもありません。"},
        {"a missing file said to be one", {"diff", "P", "nosuch.txt", "--file"}, 2, "設定ファイル nosuch.txt がありません。"},
        {"a file named like a printer", {"diff", "P", "F"}, 2, "--file か --printer で指定して下さい。"},
        {"that file", {"diff", "P", "F", "--file"}, 1, "pageLength: 66行 -> 60行"},
        {"that printer", {"diff", "P", "F", "--printer"}, 0, ""},
        {"a mistyped command", {"aply", file, "P"}, 2, "もしかして: apply"},
        {"one printer too many", {"show", "P", "P"}, 2, "show: 余分な引数です: "},
        {"an option of another command", {"check", file, "P", "--backup", "bk"}, 2, "--backup は check では使えません。"},
        {"a dry run", {"apply", file, "P", "--dry-run", "--backup", "dry.bk", "--log", "dry.jsonl"}, 0, "--dry-run"},
        {"a change log that cannot be written", {"apply", file, "P", "--log", "."}, 2, "を開けないため、どのプリンタにも書き込みません。"},
        {"a table of save", {"save", "P", "x.txt", "--csv", "x.csv"}, 2, "--csv は save では使えません。"},
        {"a merge of no folder", {"merge", "nosuch"}, 2, "フォルダ nosuch を読めません。"},
        {"a table in no folder", {"apply", file, "P", "--csv", "nodir\\x.csv"}, 2, "表 nodir\\x.csv に書き込めません。"},
        {"a table over the settings file", {"apply", file, "P", "--csv", upper}, 2, "と同じファイルです。"},
        {"a table over the change log", {"apply", file, "P", "--log", "t.jsonl", "--csv", "T.JSONL"}, 2, "と同じファイルです。"},
        {"a table among the backups", {"apply", file, "P", "--backup", "bk", "--csv", "bk\\x.csv"}, 2, "フォルダ bk の中"},
        {"a table among the results", {"merge", ".", "--csv", "PC9.JSON"}, 2, "フォルダ . の中"},
        {"an empty list", {"check", file, "@" + TempFile("# none\r\n")}, 2, "@ファイルにプリンタの名前がありません。"},
        {"help to its end", {"--help"}, 0, "5 Ctrl+C で中断"},
        {"an empty command", {""}, 2, "コマンドが空です。"},
        {"an empty log", {"apply", file, "P", "--log", ""}, 2, "--log の値  は使えません。"},
        {"no backup before a time", {"restore", ".", "P", "--before", "2000-01-01", "--dry-run"}, 1,
         "に 2000-01-01 より前のこのプリンタのバックアップがありません。"},
        {"a file that is there", {"save", "P", file}, 2, "は既にあります。置き換えるときは --overwrite"},
        {"a serial port", {"save", "P", "sub\\COM1.txt", "--overwrite"}, 2, "COM1.txt は装置の名前です"},
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
    for (const std::string& line : OutputLines(Rps({"--help"}).output)) {  // one column, as Shift-JIS shows it
        const size_t first = line.find_first_not_of(' '), gap = line.find("  ", first);
        EXPECT_TRUE(first != 2 || gap == std::string::npos || line.find_first_not_of(' ', gap) == 36) << line;
    }
    EXPECT_TRUE(printer.Log().empty());
    for (const char* made : {"dry.bk", "dry.jsonl", "bk"})  // a dry run, or a refused one, makes nothing at all
        EXPECT_EQ(GetFileAttributesA(made), INVALID_FILE_ATTRIBUTES) << made;
}

struct BadLineCase {
    const char* after;  // what follows kPartialFile
    const char* says;
};

TEST_F(RpsettingsTest, AFileWithOneBadLineChangesNoPrinter) {
    const SimulatedPrinter& first = AddPrinter();
    const SimulatedPrinter& second = AddPrinter();
    const BadLineCase cases[] = {
        {"rightMargin=137\n", "の 6 行目: format2.rightMargin の値が範囲外です。使える値: 1..136"},
        {"[end]\npageLength=66\n", "の 7 行目: 終わりの [end] の後に行があります。"},
    };
    for (const BadLineCase& c : cases) {
        const SrmctlResult apply = Rps({"apply", TempFile(std::string(kPartialFile) + c.after), first.Name(), second.Name()});
        EXPECT_EQ(apply.exitCode, 2u) << c.after;
        EXPECT_NE(apply.output.find(c.says), std::string::npos) << apply.output;
    }
    for (const SimulatedPrinter* printer : {&first, &second}) {
        EXPECT_EQ(printer->Block(), FactoryBlock());
        EXPECT_TRUE(printer->Log().empty());
    }
}

TEST_F(RpsettingsTest, ASiteIsSavedCheckedBackedUpAndRestored) {
    const SimulatedPrinter* site[3] = {&AddPrinter(), &AddPrinter(), &AddPrinter()};
    std::vector<uint8_t> blocks[3] = {FactoryBlock(), FactoryBlock(), FactoryBlock()};
    blocks[1][25] = 60;  // already as the site wants
    blocks[2][26] = 46;  // a custom front feed
    for (int i = 0; i < 3; ++i) ASSERT_EQ(site[i]->SetBlock(blocks[i].data()), 0u);
    const std::string names = TempFile("# the site\r\n" + site[0]->Name() + "\r\n\r\n" + site[1]->Name() + "\n" +
                                       site[2]->Name() + "\n");
    const std::string folder = TempFile("") + ".d";
    const std::string backups = folder + "\\backup";

    const SrmctlResult save = Rps({"save", "@" + names, folder});
    ASSERT_EQ(save.exitCode, 0u) << save.output;
    const SrmctlResult again = Rps({"save", "@" + names, folder});  // an earlier save stays
    EXPECT_EQ(again.exitCode, 2u) << again.output;
    EXPECT_NE(again.output.find(".txt は既にあります。"), std::string::npos) << again.output;
    for (const SimulatedPrinter* printer : site) {
        files_.push_back(folder + "\\" + printer->Name() + ".txt");
        files_.push_back(backups + "\\" + printer->Name() + ".txt");
        EXPECT_EQ(Rps({"diff", printer->Name(), files_[files_.size() - 2], "--file"}).exitCode, 0u);
    }

    const std::string wanted = TempFile(kPartialFile);
    const std::string table = folder + "\\site.csv";
    files_.push_back(table);
    const SrmctlResult check = Rps({"check", wanted, "@" + names, "--json", "--csv", table});
    EXPECT_EQ(check.exitCode, 1u) << check.output;
    // The table beside the JSON: a mark for spreadsheets, a row per difference.
    const std::vector<std::string> rows = OutputLines(FileText(table));
    ASSERT_EQ(rows.size(), 6u) << FileText(table);
    EXPECT_EQ(rows[0].substr(0, 13), "\xEF\xBB\xBF\"Computer\"");
    EXPECT_NE(FileText(table).find("\"1\",\"" + site[0]->Name() + "\",\"differs\",\"pageLength\",\"66\",\"60\""),
              std::string::npos) << FileText(table);
    const nlohmann::json report = nlohmann::json::parse(check.output, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << check.output;
    EXPECT_EQ(report["summary"]["differs"], 3);  // format 2's left margin differs everywhere
    for (const auto& printer : report["printers"]) {
        const bool second = printer["name"] == site[1]->Name();
        EXPECT_EQ(printer["differences"].size(), second ? 1u : 2u) << printer.dump();
        EXPECT_EQ(printer["differences"][0]["key"], second ? "format2.leftMargin" : "pageLength");
    }
    EXPECT_TRUE(site[0]->Log().empty());  // a check writes nothing
    {  // --all passes over a printer the panel refuses by its kind
        const SimulatedPrinter& toFile = AddPrinter(SpoolerEntry::Register, kSrmDefaultDriver, "FILE:");
        const SrmctlResult all = Rps({"check", wanted, "--all", "--json"});
        EXPECT_EQ(all.exitCode, 1u) << all.output;  // the three differ; none unreadable
        const nlohmann::json allReport = nlohmann::json::parse(all.output, nullptr, false);
        ASSERT_FALSE(allReport.is_discarded()) << all.output;
        EXPECT_EQ(allReport["summary"]["skipped"], 1) << all.output;
        EXPECT_EQ(Rps({"check", wanted, toFile.Name()}).exitCode, 3u);  // named, it is still refused
        printers_.pop_back();
    }

    // The nightly file of this PC and a broken one merge with a row for a PC that sent none.
    const std::string nightly = folder + "\\PC01.json", broken = folder + "\\PC02.json";
    files_.insert(files_.end(), {nightly, broken});
    const nlohmann::json result = {{"Computer", "PC01"}, {"ExitCode", 1}, {"Json", check.output}, {"Errors", ""}};
    ASSERT_TRUE(CopyFileA(TempFile(result.dump()).c_str(), nightly.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(TempFile("{\"Computer\":").c_str(), broken.c_str(), FALSE));
    const SrmctlResult merge = Rps({"merge", folder, "pc01", "PC03", "--csv", table});
    EXPECT_EQ(merge.exitCode, 1u) << merge.output;
    const std::string merged = FileText(table);
    EXPECT_EQ(OutputLines(merged).size(), 8u) << merged;
    EXPECT_NE(merged.find("\"PC02\",\"\",\"\",\"\",\"bad_file\""), std::string::npos) << merged;
    EXPECT_NE(merged.find("\"PC03\",\"\",\"\",\"\",\"no_file\""), std::string::npos) << merged;

    const SrmctlResult apply = Rps({"apply", wanted, "@" + names, "--backup", backups});
    EXPECT_EQ(apply.exitCode, 0u) << apply.output;
    EXPECT_EQ(site[2]->Block()[25], 60);
    const SrmctlResult listed = Rps({"restore", "--list", backups});
    EXPECT_EQ(OutputLines(listed.output).size(), 4u) << listed.output;  // a heading, a backup a printer
    const SrmctlResult restore = Rps({"restore", backups, "@" + names});
    EXPECT_EQ(restore.exitCode, 0u) << restore.output;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(CarriedBytes(site[i]->Block()), CarriedBytes(blocks[i])) << i;
        files_.push_back(backups + "\\" + site[i]->Name() + "~2.txt");  // what restore found, kept first
        EXPECT_EQ(PageLengthIn(files_.back()), 60) << restore.output;
    }
    TearDown();  // the files first, then their folders
    RemoveDirectoryA(backups.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Each printer's backup as an apply's JSON output reports it.
std::map<std::string, std::string> ReportedBackups(const SrmctlResult& run) {
    std::map<std::string, std::string> backups;
    const nlohmann::json report = nlohmann::json::parse(run.output, nullptr, false);
    if (report.is_discarded()) return backups;
    for (const auto& printer : report["printers"])
        backups[printer["name"].get<std::string>()] = printer["backup"].get<std::string>();
    return backups;
}

std::string PartialFile(int pageLength) {
    return "model=Tilbury 550TK\nversion=2\npageLength=" + std::to_string(pageLength) + "\n";
}

TEST_F(RpsettingsTest, ABackupNeverReplacesAnotherWithinARunOrAcrossRuns) {
    const std::string folder = TempFile("") + ".bk";
    const SimulatedPrinter& under = AddNamed("RpsBk_1");
    const SimulatedPrinter& slash = AddNamed("RpsBk/1");  // the same file name
    ASSERT_EQ(Rps({"apply", TempFile(PartialFile(50)), under.Name(), "--backup", folder}).exitCode, 0u);
    ASSERT_EQ(Rps({"apply", TempFile(PartialFile(70)), slash.Name()}).exitCode, 0u);
    const SrmctlResult both = Rps({"apply", TempFile(PartialFile(60)), under.Name(), slash.Name(), "--backup", folder,
                                   "--jobs", "1", "--json"});
    std::map<std::string, std::string> backups = ReportedBackups(both);
    ASSERT_EQ(backups.size(), 2u) << both.output;
    EXPECT_EQ(PageLengthIn(backups[under.Name()]), 50) << both.output;  // each printer's state before, in its own file
    EXPECT_EQ(PageLengthIn(backups[slash.Name()]), 70) << both.output;
    EXPECT_EQ(PageLengthIn(folder + "\\RpsBk_1.txt"), 66);  // the first backup is untouched

    // Two runs at once reach one printer (T, at 60) one after the other; the first has changed it meanwhile.
    const SimulatedPrinter& slowA = AddPrinter();
    const SimulatedPrinter& slowB = AddPrinter();
    const SimulatedPrinter& shared = AddPrinter();
    ASSERT_EQ(slowA.SetReplyDelay(SrmDeviceDelay, 200), 0u);
    ASSERT_EQ(slowB.SetReplyDelay(SrmDeviceDelay, 900), 0u);
    ASSERT_EQ(Rps({"apply", TempFile(PartialFile(60)), shared.Name()}).exitCode, 0u);
    const std::string log = TempFile("{\"time\":\"2026-");  // a record an earlier run could not finish
    SrmctlResult runs[2];
    const std::string files[2] = {TempFile(PartialFile(50)), TempFile(PartialFile(70))};
    std::thread first([&] {
        runs[0] = Rps({"apply", files[0], slowA.Name(), shared.Name(), "--backup", folder, "--jobs", "1", "--json",
                       "--log", log});
    });
    runs[1] = Rps({"apply", files[1], slowB.Name(), shared.Name(), "--backup", folder, "--jobs", "1", "--json", "--log",
                   log});
    first.join();
    const std::string kept[2] = {ReportedBackups(runs[0])[shared.Name()], ReportedBackups(runs[1])[shared.Name()]};
    EXPECT_NE(kept[0], kept[1]) << runs[0].output << runs[1].output;
    EXPECT_EQ(PageLengthIn(kept[0]) + PageLengthIn(kept[1]), 60 + 50) << runs[0].output << runs[1].output;

    // The change log holds both runs: whole records, each write "writing" and then its result.
    std::ifstream records(log);
    std::map<std::string, std::vector<std::string>> results;  // by run and printer
    int lines = 0;
    for (std::string line; std::getline(records, line); ++lines) {
        if (lines == 0) continue;  // the unfinished record keeps its own line
        const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
        ASSERT_FALSE(record.is_discarded()) << line;
        const std::string write = record["run"].get<std::string>() + " " + record["printer"].get<std::string>();
        results[write].push_back(record["result"]);
        EXPECT_FALSE(record["computer"].get<std::string>().empty()) << line;
        if (record["printer"] == shared.Name() && record["result"] == "applied") {
            EXPECT_EQ(record["changes"][0]["key"], "pageLength") << line;
        }
    }
    EXPECT_EQ(lines, 1 + 8);
    for (const auto& write : results)
        EXPECT_EQ(write.second, (std::vector<std::string>{"writing", "applied"})) << write.first;

    for (const std::string& name : TextFilesIn(folder + "\\")) files_.push_back(folder + "\\" + name);
    TearDown();
    RemoveDirectoryA(folder.c_str());
}

// A saved file with its saved= line as given, cut before its end mark when cut.
std::string SavedAt(std::string text, const std::string& saved, bool cut) {
    const size_t at = text.find("saved=") + 6;
    text.replace(at, text.find('\n', at) - at, saved);
    return cut ? text.substr(0, text.find("[end]")) : text;
}

struct RestoreCase {
    const char* label;
    std::vector<std::vector<std::string>> files;  // name, saved=, "cut"
    const char* restored, *says;  // the file restore takes; what it says on standard error
};

TEST_F(RpsettingsTest, RestoreTakesTheBackupSavedLastAndNamesNewerOnesItCannotUse) {
    const SimulatedPrinter& printer = AddPrinter();
    const std::string saved = Rps({"show", printer.Name()}).output;
    const std::string t = "2026-12-08T10:00:00";
    const RestoreCase cases[] = {
        {"in the same second", {{"b.txt", t + "Z"}, {"b~2.txt", t + "Z"}}, "b~2.txt", ""},
        {"~10 after ~7", {{"b~7.txt", t + ".5Z"}, {"b~10.txt", t + ".5Z"}}, "b~10.txt", ""},
        {"newer, cut short", {{"b.txt", t + "Z"}, {"b~2.txt", t + ".1Z", "cut"}}, "b.txt", "b~2.txt は使えない"},
        {"no time", {{"b.txt", t + "Z"}, {"b~2.txt", "x"}}, "b.txt", "b~2.txt は使えないため、使いません: saved= の値"},
        {"a time to come", {{"b.txt", t + "Z"}, {"b~2.txt", "2999-01-01"}}, "b.txt", "使いません: saved= の時刻が今"},
    };
    const std::string folder = TempFile("") + ".rs";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (const RestoreCase& c : cases) {
        TearDown();  // the files of the row before
        for (const std::vector<std::string>& file : c.files) {
            files_.push_back(folder + "\\" + file[0]);
            ASSERT_TRUE(CopyFileA(TempFile(SavedAt(saved, file[1], file.size() > 2)).c_str(),
                                  files_.back().c_str(), FALSE));
        }
        const SrmctlResult restore = Rps({"restore", folder, printer.Name(), "--dry-run"});
        EXPECT_NE(restore.output.find(folder + "\\" + c.restored + " ("), std::string::npos) << c.label << restore.output;
        EXPECT_NE(restore.output.find(c.says), std::string::npos) << c.label << restore.output;
    }
    // Restore keeps what a printer holds first: one that cannot be read is not written, and says why.
    ASSERT_EQ(printer.SetExtStatus(1), 0u);
    const SrmctlResult restore = Rps({"restore", folder, printer.Name()});
    EXPECT_NE(restore.output.find("設定を読み込めないプリンタのため、今の設定をバックアップに保存できません。"),
              std::string::npos) << restore.output;
    TearDown();
    RemoveDirectoryA(folder.c_str());
}

struct SlowPrinterCase {
    const char* label;
    DWORD delay;      // of each read and write of the slow printer
    const char* timeout;
    int others;       // printers after it, each of 150 ms
    DWORD exitCode;
    const char* says;
    size_t writes;    // the slow printer's
};

// A printer that answers too late: not written once it is reported, and a
// run that ends while a worker still talks to one ends with its own code.
TEST_F(RpsettingsTest, APrinterReportedAsNotAnsweringIsNeverWrittenAfterwards) {
    const SlowPrinterCase cases[] = {
        {"its read ends after the time allowed", 1500, "1", 10, 1, ": 1 秒以内に応答がありません。", 0},
        {"its read-back ends after the time allowed and after the run", 1400, "2", 0, 4,
         ": 設定しましたが、読み戻して確かめられません: 書き込んだ後、2 秒以内に応答がありません。", 1},
    };
    for (const SlowPrinterCase& c : cases) {
        const SimulatedPrinter& slow = AddPrinter();
        ASSERT_EQ(slow.SetReplyDelay(SrmDeviceDelay, c.delay), 0u);
        std::vector<std::string> args = {"apply", TempFile(PartialFile(60)), slow.Name(), "--timeout", c.timeout, "--jobs", "1"};
        for (int i = 0; i < c.others; ++i) {  // the run goes on with these past the time the slow one would write
            const SimulatedPrinter& other = AddPrinter();
            ASSERT_EQ(other.SetReplyDelay(SrmDeviceDelay, 150), 0u);
            args.push_back(other.Name());
        }
        const SrmctlResult apply = Rps(args);
        EXPECT_EQ(apply.exitCode, c.exitCode) << c.label << apply.output;
        EXPECT_NE(apply.output.find(slow.Name() + c.says), std::string::npos) << c.label << apply.output;
        EXPECT_EQ(slow.Log().size(), c.writes) << c.label << apply.output;
        if (c.writes == 0) {
            EXPECT_EQ(slow.Block(), FactoryBlock()) << c.label;
        }
    }
}

// The many-printer runner: Ctrl+C lets the printer under way finish and starts
// no other; a printer that does not answer is given up on while the others go on.
struct RunnerCase {
    const char* label;
    int workers;
    DWORD timeoutMs;
    int interruptAt;  // the job whose work interrupts (as Ctrl+C would), or -1
    int hangAt;       // the job that does not answer, or -1
    std::vector<JobEnd> ends;
    bool interrupted;
    bool abandoned;
    int writeAt = -1;  // the job that takes longer than the time allowed while it writes
};

struct RunnerContext {
    const RunnerCase* c;
    HANDLE release;
    std::vector<JobEnd> ends;
    std::vector<int> reported;
    volatile LONG worked[4];
    volatile LONG mayWrite[4];  // what StartJobWrite said after the work: 1 yes, 2 no
    HANDLE asked;               // set when the job that did not answer has asked
};

TEST(PrinterJobs, InterruptionAndPrintersThatDoNotAnswer) {
    const RunnerCase cases[] = {
        {"Ctrl+C during the first of four, one at a time", 1, INFINITE, 0, -1,
         {JobFinished, JobNotStarted, JobNotStarted, JobNotStarted}, true, false},
        {"one printer does not answer", 2, 300, -1, 1, {JobFinished, JobNotAnswering, JobFinished, JobFinished}, false,
         true},
        {"every printer answers", 4, 5000, -1, -1, {JobFinished, JobFinished, JobFinished, JobFinished}, false, false},
        {"a write is waited for, then given up on", 2, 300, -1, -1,
         {JobFinished, JobWrittenNotAnswering, JobFinished, JobFinished}, false, true, 1},
    };
    for (const RunnerCase& c : cases) {
        // Kept to the end: a worker given up on still writes into it.
        RunnerContext* context = new RunnerContext{&c, CreateEventA(nullptr, TRUE, FALSE, nullptr), {}, {}, {}, {},
                                                   CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        context->ends.assign(4, JobNotStarted);
        const JobRunOptions options = {c.workers, c.timeoutMs, false};
        const JobRunResult result = RunPrinterJobs(
            4, options,
            [](void* p, size_t i) {
                RunnerContext* run = static_cast<RunnerContext*>(p);
                if (static_cast<int>(i) == run->c->interruptAt) InterruptPrinterJobs();
                if (static_cast<int>(i) == run->c->hangAt) WaitForSingleObject(run->release, 10000);
                if (static_cast<int>(i) == run->c->writeAt && StartJobWrite()) {
                    WaitForSingleObject(run->release, 3 * run->c->timeoutMs);  // a write of three times the time allowed
                    EndJobWrite();
                    WaitForSingleObject(run->release, 10000);  // then no answer
                }
                InterlockedExchange(&run->worked[i], 1);
                InterlockedExchange(&run->mayWrite[i], StartJobWrite() ? 1 : 2);
                if (static_cast<int>(i) == run->c->hangAt) SetEvent(run->asked);
            },
            [](void* p, size_t i, JobEnd end) {
                RunnerContext* run = static_cast<RunnerContext*>(p);
                run->ends[i] = end;
                run->reported.push_back(static_cast<int>(i));
            },
            context);
        EXPECT_EQ(context->ends, c.ends) << c.label;
        EXPECT_EQ(context->reported.size(), 4u) << c.label;
        EXPECT_EQ(result.interrupted, c.interrupted) << c.label;
        EXPECT_EQ(result.abandoned, c.abandoned) << c.label;
        for (int i = 0; i < 4; ++i) {  // a job reported finished has done its work
            if (c.ends[i] != JobFinished) continue;
            EXPECT_EQ(context->worked[i], 1) << c.label << " job " << i;
            EXPECT_EQ(context->mayWrite[i], 1) << c.label << " job " << i;
        }
        SetEvent(context->release);
        if (c.hangAt < 0) continue;  // a printer reported as not answering is never written afterwards
        ASSERT_EQ(WaitForSingleObject(context->asked, 15000), WAIT_OBJECT_0) << c.label;
        EXPECT_EQ(context->mayWrite[c.hangAt], 2) << c.label;
    }
}

// Every choice caption the table shows, read without a window; one in full.
// On a console set to UTF-8, as PowerShell 7 often sets it, the Japanese
// texts still read right: they go to the console in wide characters.
TEST(RpsettingsTexts, AConsoleOfAnyCodePageShowsThemRight) {
    FreeConsole();  // a console of its own, whatever the test was started from
    ASSERT_TRUE(AllocConsole());
    ASSERT_TRUE(SetConsoleOutputCP(CP_UTF8));
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    ScopedHandle screen(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(screen.get(), INVALID_HANDLE_VALUE);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string path = program;
    path = path.substr(0, path.find_last_of('\\') + 1) + "rpsettings.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = screen.get();
    PROCESS_INFORMATION process = {};
    char line[] = "rpsettings.exe --help";
    ASSERT_TRUE(CreateProcessA(path.c_str(), line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    ScopedHandle child(process.hProcess), thread(process.hThread);
    ASSERT_EQ(WaitForSingleObject(child.get(), 30000), WAIT_OBJECT_0);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen.get(), &info));
    std::wstring shown(static_cast<size_t>(info.dwSize.X) * info.dwSize.Y, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen.get(), &shown[0], static_cast<DWORD>(shown.size()), {0, 0}, &read);
    EXPECT_NE(shown.find(L"\u4F7F\u3044\u65B9: rpsettings"), std::wstring::npos);  // 使い方
    FreeConsole();
}

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
