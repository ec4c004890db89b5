// The settings file: writing and reading back, every kind of bad line, and
// merging a partial file over a printer's settings.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "res/ids_pages.h"
#include "rpsettings/settings_file_pure.h"

namespace {

const char kModel[] = "Tilbury 550TK";
const char kHeader[] = "model=Tilbury 550TK\nversion=1\n";

std::string TextOf(void*, int templateId, int textRef) {
    return std::to_string(templateId) + ":" + std::to_string(textRef);
}

FileProblem Read(const std::string& text, ParsedSettings* parsed) {
    return ReadSettingsFile(text.data(), text.size(), kModel, parsed);
}

TEST(SettingsFile, RandomRecordsSurviveWritingAndReading) {
    std::mt19937 random(13);
    for (int round = 0; round < 200; ++round) {
        SettingsRecord record;
        LoadDefaultSettings(&record);
        CustomFeedTable custom = {};
        for (uint8_t& byte : record.switches) byte = static_cast<uint8_t>(random() % 255);
        // Every other setting: a random value the page accepts (or, rarely, its default).
        for (int i = 0; i < SettingCount(); ++i) {
            for (int tries = 0; tries < 64; ++tries) {
                const int32_t value = static_cast<int32_t>(random() % 256);
                if (SettingValueAccepted(i, value) && SettingValueAccepted(i, GetSettingValue(i, record))) {
                    SetSettingValue(i, &record, value);
                    break;
                }
            }
        }
        int32_t* customs = &custom.record.contFrontCustom;
        for (int i = 0; i < 20; ++i) customs[i] = static_cast<int32_t>(random() % 3 ? 0 : random() % 255 + 1);

        int skipped = -1;
        const std::string text = WriteSettingsFile(record, custom, kModel, TextOf, nullptr, &skipped);
        ParsedSettings parsed;
        const FileProblem problem = Read(text, &parsed);
        ASSERT_EQ(problem.error, FileOk) << "line " << problem.line << "\n" << text;
        EXPECT_EQ(parsed.count, SettingCount() - skipped);

        SettingsRecord merged;
        LoadDefaultSettings(&merged);
        MergeSettings(parsed, custom, &merged);
        for (int i = 0; i < SettingCount(); ++i) {
            if (!SettingValueAccepted(i, GetSettingValue(i, record))) continue;
            EXPECT_FALSE(SettingDiffers(i, record, custom, merged, custom)) << SettingFullKey(i);
        }
    }
}

TEST(SettingsFile, ValuesThePageRefusesAreWrittenAsComments) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    record.font1 = 15;  // a read can deliver it; the list has five rows
    CustomFeedTable custom = {};
    int skipped = 0;
    const std::string text = WriteSettingsFile(record, custom, kModel, TextOf, nullptr, &skipped);
    EXPECT_EQ(skipped, 1);
    ParsedSettings parsed;
    ASSERT_EQ(Read(text, &parsed).error, FileOk);
    EXPECT_FALSE(parsed.present[FindSetting(0, "font1", 5)]);
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
        {"repeated key", h + "pageLength=66\npageLength=60\n", FileRepeatedKey, 4},
        {"repeated model", h + "model=Tilbury 550TK\n", FileRepeatedKey, 3},
        {"sign", h + "pageLength=+66\n", FileBadValue, 3},
        {"letters", h + "pageLength=6six\n", FileBadValue, 3},
        {"empty value", h + "pageLength=\n", FileBadValue, 3},
        {"huge", h + "pageLength=99999999999\n", FileBadValue, 3},
        {"short hex", h + "switches.otherBits=0\n", FileBadValue, 3},
        {"page length 0", h + "pageLength=0\n", FileOutOfRange, 3},
        {"rear centring 67", h + "headCenterRear=67\n", FileOutOfRange, 3},
        {"feed past the custom row", h + "contFrontFeed=9\n", FileOutOfRange, 3},
        {"pressure step -7", h + "printPressure=249\n", FileOutOfRange, 3},
        {"charset code 1", h + "switches.charset=1\n", FileOutOfRange, 3},
        {"bit 2", h + "switches.dataBits=2\n", FileOutOfRange, 3},
        {"named bit in otherBits", h + "switches.otherBits=00200000\n", FileOutOfRange, 3},
        {"kanji table 3", h + "kanjiTable=3\n", FileOutOfRange, 3},
        {"right margin 137", h + "[format2]\nrightMargin=137\n", FileOutOfRange, 4},
        {"other model", "model=Tilbury 551TK\nversion=1\n", FileWrongModel, 1},
        {"other version", "model=Tilbury 550TK\nversion=2\n", FileWrongVersion, 2},
        {"setting before the header", "pageLength=66\n" + h, FileMissingHeader, 1},
        {"no header", "# nothing\n", FileMissingHeader, 2},
        {"empty file", "", FileMissingHeader, 2},
    };
    for (const BadFile& c : cases) {
        ParsedSettings parsed;
        const FileProblem problem = Read(c.text, &parsed);
        EXPECT_EQ(problem.error, c.error) << c.label;
        EXPECT_EQ(problem.line, c.line) << c.label;
    }
}

TEST(SettingsFile, APartialFileChangesOnlyItsSettings) {
    ParsedSettings parsed;
    ASSERT_EQ(Read(std::string(kHeader) + " pageLength = 60 \r\nswitches.dataBits=1\n[format3]\nleftMargin=10\n",
                   &parsed).error,
              FileOk);
    SettingsRecord printer;
    LoadDefaultSettings(&printer);
    printer.switches[1] = 0x0A;  // bits no setting names
    printer.headCenterCut = 50;
    CustomFeedTable custom = {};
    SettingsRecord merged = printer;
    EXPECT_EQ(MergeSettings(parsed, custom, &merged).error, MergeOk);

    SettingsRecord expected = printer;
    expected.pageLength = 60;
    expected.switches[1] = 0x2A;
    expected.formats[2].leftMargin = 10;
    EXPECT_EQ(std::memcmp(&merged, &expected, sizeof merged), 0);
}

struct BadMerge {
    const char* label;
    const char* text;
    MergeError error;
    int messageId;
};

TEST(SettingsFile, AMergeTheProgramWouldRefuseIsReported) {
    const BadMerge cases[] = {
        {"custom row without a custom value", "cutSheetFeed=9\n", MergeNoCustomFeed, 0},
        {"left margin above the printer's right", "[format1]\nleftMargin=135\nrightMargin=100\n", MergeFormatCheck,
         IDS_MSG_LEFT_ABOVE_RIGHT},
        {"switch byte 1 all set", "switches.otherBits=000A0000\nswitches.slashedZero1=1\nswitches.dotCount=1\n"
         "switches.printMode=1\nswitches.dataBits=1\nswitches.printColumns=1\nswitches.printDirection=1\n",
         MergeSwitchFF, 0},
    };
    for (const BadMerge& c : cases) {
        ParsedSettings parsed;
        ASSERT_EQ(Read(std::string(kHeader) + c.text, &parsed).error, FileOk) << c.label;
        SettingsRecord record;
        LoadDefaultSettings(&record);
        CustomFeedTable custom = {};
        const MergeProblem problem = MergeSettings(parsed, custom, &record);
        EXPECT_EQ(problem.error, c.error) << c.label;
        EXPECT_EQ(problem.messageId, c.messageId) << c.label;
    }
    // The same custom row is taken where the printer reports a custom value.
    ParsedSettings parsed;
    ASSERT_EQ(Read(std::string(kHeader) + "cutSheetFeed=9\n", &parsed).error, FileOk);
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    custom.record.cutSheetCustom = 37;
    EXPECT_EQ(MergeSettings(parsed, custom, &record).error, MergeOk);
}

}  // namespace
