// The settings file: writing and reading back, every kind of bad line, and
// merging a partial file over a printer's settings.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ids_font_print.h"
#include "ids_pages.h"
#include "rpsettings/settings_file_pure.h"

namespace {

const char kModel[] = "Tilbury 550TK";
const char kHeader[] = "model=Tilbury 550TK\nversion=2\n";

std::string TextOf(void*, int templateId, int textRef) {
    return std::to_string(templateId) + ":" + std::to_string(textRef);
}

FileProblem Read(const std::string& text, ParsedSettings* parsed) {
    return ReadSettingsFile(text.data(), text.size(), kModel, parsed);
}

// A block line of zeros after the block's marks (a block the reader takes),
// one byte written as the two digits given.
std::string BlockLine(size_t byte, const char* digits) {
    std::string hex = "0104" + std::string(2 * kSettingsBlockSize - 4, '0');
    hex.replace(2 * byte, 2, digits);
    return "block=" + hex + "\n";
}

TEST(SettingsFile, RandomRecordsSurviveWritingAndReading) {
    std::mt19937 random(13);
    for (int round = 0; round < 200; ++round) {
        PrinterSettings settings = DefaultPrinterSettings();
        for (uint8_t& byte : settings.record.switches) byte = static_cast<uint8_t>(random() % 255);
        // Every other setting: a random value the page accepts (or, rarely, its default).
        for (int i = 0; i < SettingCount(); ++i) {
            for (int tries = 0; tries < 64; ++tries) {
                const int32_t value = static_cast<int32_t>(random() % 256);
                if (SettingValueAccepted(i, value) && SettingValueAccepted(i, GetSettingValue(i, settings))) {
                    SetSettingValue(i, &settings, value);
                    break;
                }
            }
        }
        const std::string text = WriteSettingsFile(settings, nullptr, kModel, TextOf, nullptr);
        ParsedSettings parsed;
        const FileProblem problem = Read(text, &parsed);
        ASSERT_EQ(problem.error, FileOk) << "line " << problem.line << "\n" << text;

        const PrinterSettings merged = FileOver(parsed, DefaultPrinterSettings());
        for (int i = 0; i < SettingCount(); ++i) {
            if (!SettingValueAccepted(i, GetSettingValue(i, settings))) continue;
            EXPECT_FALSE(SettingDiffers(i, settings, merged)) << SettingFullKey(i);
        }
    }
}

// A printer's block with some values no page accepts, and a custom front feed.
std::vector<uint8_t> OddBlock() {
    PrinterSettings settings = DefaultPrinterSettings();
    settings.record.font1 = 15;
    settings.record.headCenterFront = 100;
    settings.record.contFrontFeed = 8;
    settings.custom.record.contFrontCustom = 46;
    std::vector<uint8_t> block(kSettingsBlockSize);
    EncodeSettings(settings.record, settings.custom, block.data());
    block[0] = 1;
    block[1] = 4;
    block[200] = 0x5A;  // a byte no setting covers
    return block;
}

TEST(SettingsFile, ASavedFileIsACompleteRecordOfThePrinter) {
    const std::vector<uint8_t> block = OddBlock();
    PrinterSettings printer;
    ASSERT_TRUE(SettingsOfBlock(block.data(), &printer));
    for (const char* name : {"x ", " x", "\"x\""}) {  // blanks and quotes of a name are kept
        ParsedSettings named;
        ASSERT_EQ(Read(WriteSettingsFile(printer, nullptr, kModel, TextOf, nullptr, name, "1"), &named).error, FileOk);
        EXPECT_STREQ(named.printer, name);
    }
    const std::string text =
        WriteSettingsFile(printer, block.data(), kModel, TextOf, nullptr, "TK/1", "2026-12-08T14:05:09Z");
    ParsedSettings parsed;
    ASSERT_EQ(Read(text, &parsed).error, FileOk);
    EXPECT_STREQ(parsed.printer, "TK/1");
    EXPECT_STREQ(parsed.saved, "2026-12-08T14:05:09Z");
    // Cut anywhere before its end mark (inside a number, before the block), it is refused.
    for (size_t cut = 120; cut + 6 < text.size(); cut += 37) {
        ParsedSettings part;
        EXPECT_NE(Read(text.substr(0, cut), &part).error, FileOk) << cut;
    }
    EXPECT_FALSE(parsed.present[FindSetting(0, "font1", 5)]);  // written as a comment
    EXPECT_TRUE(parsed.present[FindSetting(0, "contFrontCustom", 15)]);
    EXPECT_TRUE(FileIsComplete(parsed));
    EXPECT_TRUE(SameSettings(FileOver(parsed, DefaultPrinterSettings()), printer));
    EXPECT_EQ(std::vector<uint8_t>(parsed.block, parsed.block + kSettingsBlockSize), block);
}

struct BadFile {
    const char* label;
    std::string text;
    SettingsFileError error;
    int line;
};

TEST(SettingsFile, EveryKindOfBadLineIsRefusedWithItsLine) {
    const std::string h = kHeader;
    const BadFile cases[] = {
        {"no equals sign", h + "pageLength 66\n", FileBadLine, 3},
        {"no key", h + "=66\n", FileBadLine, 3},
        {"unclosed section", h + "[format1\n", FileBadLine, 3},
        {"NUL inside a line", h + std::string("pageLength=6\0" "6\n", 14), FileBadLine, 3},
        {"unknown section", h + "[format5]\n", FileUnknownSection, 3},
        {"unknown key", h + "# note\n\npageLenght=66\n", FileUnknownKey, 5},
        {"format key in the record's part", h + "leftMargin=3\n", FileUnknownKey, 3},
        {"full key inside a format", h + "[format1]\nformat1.leftMargin=3\n", FileUnknownKey, 4},
        {"record key after [general]", h + "[format1]\nleftMargin=3\n[general]\nleftMargin=3\n", FileUnknownKey, 6},
        {"repeated key", h + "pageLength=66\npageLength=60\n", FileRepeatedKey, 4},
        {"repeated by full key", h + "format1.leftMargin=3\n[format1]\nleftMargin=3\n", FileRepeatedKey, 5},
        {"repeated model", h + "model=Tilbury 550TK\n", FileRepeatedKey, 3},
        {"sign", h + "pageLength=+66\n", FileBadValue, 3},
        {"negative number", h + "pageLength=-6\n", FileOutOfRange, 3},
        {"letters", h + "pageLength=6six\n", FileBadValue, 3},
        {"empty value", h + "pageLength=\n", FileBadValue, 3},
        {"huge", h + "pageLength=99999999999\n", FileOutOfRange, 3},
        {"short hex", h + "switches.otherBits=0\n", FileNotHex, 3},
        {"page length 0", h + "pageLength=0\n", FileOutOfRange, 3},
        {"rear centring 67", h + "headCenterRear=67\n", FileOutOfRange, 3},
        {"feed past the custom row", h + "contFrontFeed=9\n", FileOutOfRange, 3},
        {"custom position of a row", h + "cutSheetCustom=46\n", FileCustomIsRow, 3},
        {"custom position 256", h + "[format2]\npostcardCustom=256\n", FileOutOfRange, 4},
        {"pressure step -7", h + "printPressure=-7\n", FileOutOfRange, 3},
        {"pressure code of -7", h + "printPressure=249\n", FileOutOfRange, 3},
        {"charset code 1", h + "switches.charset=1\n", FileOutOfRange, 3},
        {"bit 2", h + "switches.dataBits=2\n", FileOutOfRange, 3},
        {"named bit in otherBits", h + "switches.otherBits=00200000\n", FileOutOfRange, 3},
        {"kanji table 3", h + "kanjiTable=3\n", FileOutOfRange, 3},
        {"right margin 137", h + "[format2]\nrightMargin=137\n", FileOutOfRange, 4},
        {"short block", h + "block=0104\n", FileBadBlock, 3},
        {"block without settings", h + "block=" + std::string(520, '0') + "\n", FileBadBlock, 3},
        {"a bad digit in one pair of the block", h + BlockLine(2, "0G"), FileBadBlock, 3},
        {"a switch byte all set in the block", h + BlockLine(4, "FF"), FileBadBlock, 3},
        {"other model", "model=Tilbury 551TK\nversion=1\n", FileWrongModel, 1},
        {"later version", "model=Tilbury 550TK\nversion=3\n", FileWrongVersion, 2},
        {"version 0", "model=Tilbury 550TK\nversion=0\n", FileWrongVersion, 2},
        {"setting between model and version", "model=Tilbury 550TK\npageLength=66\nversion=2\n", FileMissingHeader, 2},
        {"setting before the header", "pageLength=66\n" + h, FileMissingHeader, 1},
        {"no version", "model=Tilbury 550TK\n", FileMissingHeader, 2},
        {"only comments", "# nothing\n\n", FileEmpty, 0},
        {"saved, cut short", h + "printer=TK\nsaved=2026-12-08T00:00:00Z\npageLength=6", FileCutShort, 6},
        {"a line after [end]", h + "[end]\npageLength=66\n", FileAfterEnd, 4},
        {"saved, cut in a line", h + "printer=TK\nsaved=x\n[format1]\nleftMar", FileCutShort, 6},
        {"a saved time twice", h + "saved=1\nsaved=2\n", FileRepeatedKey, 4},
        {"a printer name of nothing", h + "printer=\"\"\n", FileBadValue, 3},
        {"CR alone ends lines", "model=Tilbury 550TK\rversion=2\rpageLength=0\r", FileOutOfRange, 3},
        {"empty file", "", FileEmpty, 0},
        {"UTF-16 with its mark", std::string("\xFF\xFEm\0o\0", 6), FileUtf16, 1},
        {"UTF-16 without a mark", std::string("m\0o\0d\0", 6), FileUtf16, 1},
        {"UTF-16 of two characters", std::string("m\0o\0", 4), FileUtf16, 1},
        {"a UTF-8 mark and nothing else", "\xEF\xBB\xBF", FileEmpty, 0},
    };
    for (const BadFile& c : cases) {
        ParsedSettings parsed;
        const FileProblem problem = Read(c.text, &parsed);
        EXPECT_EQ(problem.error, c.error) << c.label;
        EXPECT_EQ(problem.line, c.line) << c.label;
    }
}

struct GoodLine {
    const char* label;
    std::string text;  // after the header
    const char* key;   // full key
    int32_t value;     // as the record holds it
};

TEST(SettingsFile, ValuesAreReadAsThePageShowsThem) {
    const GoodLine cases[] = {
        {"a step as shown", "printPressure=-6\n", "printPressure", 250},
        {"the stored code", "printPressure=250\n", "printPressure", 250},
        {"a format's key in the general part", "format3.leftMargin=7\n", "format3.leftMargin", 7},
        {"a margin of 0 by the last format's key", "format4.leftMargin=0\n", "format4.leftMargin", 0},
        {"back to the general part", "[format1]\nleftMargin=1\n[general]\npageLength=9\n", "pageLength", 9},
        {"1 is what the name says", "switches.feedMemory=1\n", "switches.feedMemory", 1},
        {"no custom position", "contFrontCustom=0\n", "contFrontCustom", 0},
        {"blanks and CR", " pageLength = 60 \r\n", "pageLength", 60},
        {"CR alone, then [end]", "printer=TK\rsaved=x\rpageLength=60\r[end]\r", "pageLength", 60},
        {"a hand-written file may end with [end]", "pageLength=60\n[end]\n# done\n", "pageLength", 60},
        {"a block in lower-case hex", BlockLine(61, "fa"), "printPressure", 250},
    };
    for (const GoodLine& c : cases) {
        for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
            ParsedSettings parsed;
            ASSERT_EQ(Read(prefix + "model=Tilbury 550TK\nversion=2\n" + c.text, &parsed).error, FileOk) << c.label;
            const int index = FindSetting(0, c.key, std::strlen(c.key));  // a full key, as diff prints it
            ASSERT_GE(index, 0) << c.label;
            EXPECT_TRUE(FileNames(parsed, index)) << c.label;
            EXPECT_EQ(GetSettingValue(index, FileOver(parsed, DefaultPrinterSettings())), c.value) << c.label;
        }
    }
}

TEST(SettingsFile, SwitchKeysMeanWhatTheirNamesSayAndVersion1FilesStillRead) {
    // Version 1 wrote the bit: feedMemory=1 and dc1dc3=1 set the bits that turn them off.
    const struct {
        const char* version;
        uint8_t byte0;  // dc1dc3 is bit 4 of switch byte 0
        uint8_t byte2;  // feedMemory is bit 2 of switch byte 2, perforationSkip bit 7
    } cases[] = {{"1", 0x10, 0x84}, {"2", 0x00, 0x80}};
    for (const auto& c : cases) {
        ParsedSettings parsed;
        ASSERT_EQ(Read(std::string("model=Tilbury 550TK\nversion=") + c.version +
                           "\nswitches.feedMemory=1\nswitches.dc1dc3=1\nswitches.perforationSkip=1\n",
                       &parsed)
                      .error,
                  FileOk);
        PrinterSettings base = DefaultPrinterSettings();
        base.record.switches[2] = 0;
        const PrinterSettings merged = FileOver(parsed, base);
        EXPECT_EQ(merged.record.switches[0], c.byte0) << c.version;
        EXPECT_EQ(merged.record.switches[2], c.byte2) << c.version;
    }
}

struct ForPeople {
    const char* key;
    const char* range;  // as an out-of-range message gives it
    int32_t value;      // set on the factory settings, with a custom front feed of 46
    std::string shown;
    const char* name = nullptr;  // as messages name the setting, where given
};

TEST(SettingsFile, RangesAndValuesReadAsThePageSaysThem) {
    const ForPeople cases[] = {
        {"headCenterRear", "68..126", 120, "120桁"},
        {"font1", "0..4", 15, "(15)"},
        {"font2", "0..4", 5, "(5)"},
        {"printPressure", "-6..3", 250, "-6"},
        {"switches.charset", "0, 2, 3, 4, 5", 0, "日本"},
        {"cutSheetFeed", "0..9", 0, "0インチ"},
        {"contFrontFeed", "0..8", 8, "46/120インチ"},
        {"contFrontCustom", "0..255", 0, "-"},
        {"kanjiTable", "0..2", 2, std::to_string(IDD_FONT_ADVANCED) + ":" + std::to_string(IDC_FONTADV_JIS1990)},
        {"kanjiTable", "0..2", 3, "(3)"},
        {"format1.leftMargin", "0..135", 3, "3桁", "書式１ レフトマージン"},
    };
    for (const ForPeople& c : cases) {
        const int index = FindSetting(0, c.key, std::strlen(c.key));
        ASSERT_GE(index, 0) << c.key;
        EXPECT_EQ(SettingRangeText(index), c.range) << c.key;
        PrinterSettings settings = DefaultPrinterSettings();
        settings.custom.record.contFrontCustom = 46;
        SetSettingValue(index, &settings, c.value);
        EXPECT_EQ(SettingDisplay(index, settings, TextOf, nullptr), c.shown) << c.key;
        if (c.name) {
            EXPECT_EQ(SettingName(index), c.name) << c.key;
        }
    }
}

}  // namespace
