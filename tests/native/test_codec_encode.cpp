// Encoding the record into the work block and the block into the 195-byte
// update command. Expected bytes are written out by hand from the tables.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec.h"

namespace {

using Mutate = void (*)(SettingsRecord&, CustomFeedTable&);

std::string Bytes(const char* text, size_t length) { return std::string(text, length); }

// Encodes and builds into areas pre-filled with junk; returns the whole
// 260-byte command area.
std::string CommandArea(const SettingsRecord& record, const CustomFeedTable& custom) {
    uint8_t block[kSettingsBlockSize];
    uint8_t area[kCommandAreaSize];
    std::memset(block, 0xEE, sizeof block);
    std::memset(area, 0xCC, sizeof area);
    EncodeSettings(record, custom, block);
    BuildUpdateCommand(block, area);
    return std::string(reinterpret_cast<const char*>(area), sizeof area);
}

// The 195-byte command of a record, after checking that the rest of the area is zero.
std::string Command(const SettingsRecord& record, const CustomFeedTable& custom) {
    const std::string area = CommandArea(record, custom);
    EXPECT_EQ(area.substr(kUpdateCommandSize), std::string(kCommandAreaSize - kUpdateCommandSize, '\0'));
    return area.substr(0, kUpdateCommandSize);
}

// The factory command, byte for byte.
std::string FactoryCommand() {
    std::string text = Bytes("\x1c" "o0,", 4);
    text += Bytes("\x00\x00,\x00\x00,\x02\x00,\x00\x00,", 12);
    text += "0,0,0,0,0,1,40,36,096,66,120,120,046,054,00,0,0,00,00,00,0";
    for (int k = 0; k < 4; ++k) text += ",66,000,136,120,120,046,054,00";
    text += ".";
    return text;
}

// ---------------------------------------------------------------------------
// Layout of the command: every field with its position, width and the
// characters it may hold. Every other position but 0, 1 and 194 is a comma.

enum class Chars { Nibble, Zero, Digit0To4, Digit0To2, Bit, Reduction, Decimal, Hex };

struct FieldSpot {
    size_t pos;
    size_t width;
    Chars chars;
};

std::vector<FieldSpot> CommandFields() {
    std::vector<FieldSpot> fields = {
        {2, 1, Chars::Zero},
        {4, 2, Chars::Nibble},     {7, 2, Chars::Nibble},     {10, 2, Chars::Nibble},
        {13, 2, Chars::Nibble},    {16, 1, Chars::Digit0To4}, {18, 1, Chars::Digit0To4},
        {20, 1, Chars::Digit0To2}, {22, 1, Chars::Bit},       {24, 1, Chars::Bit},
        {26, 1, Chars::Bit},       {28, 2, Chars::Decimal},   {31, 2, Chars::Decimal},
        {34, 3, Chars::Decimal},   {38, 2, Chars::Decimal},   {41, 3, Chars::Decimal},
        {45, 3, Chars::Decimal},   {49, 3, Chars::Decimal},   {53, 3, Chars::Decimal},
        {57, 2, Chars::Decimal},   {60, 1, Chars::Bit},       {62, 1, Chars::Reduction},
        {64, 2, Chars::Decimal},   {67, 2, Chars::Hex},       {70, 2, Chars::Hex},
        {73, 1, Chars::Digit0To4},
    };
    for (size_t base : {75u, 105u, 135u, 165u}) {
        fields.push_back({base, 2, Chars::Decimal});
        for (size_t offset : {3u, 7u, 11u, 15u, 19u, 23u}) fields.push_back({base + offset, 3, Chars::Decimal});
        fields.push_back({base + 27, 2, Chars::Decimal});
    }
    return fields;
}

bool Allowed(Chars chars, uint8_t c) {
    switch (chars) {
    case Chars::Nibble: return c <= 0x0F;
    case Chars::Zero: return c == '0';
    case Chars::Digit0To4: return c >= '0' && c <= '4';
    case Chars::Digit0To2: return c >= '0' && c <= '2';
    case Chars::Bit: return c == '0' || c == '1';
    case Chars::Reduction: return c == '0' || c == '1' || c == '3' || c == '5' || c == '7';
    case Chars::Decimal: return c >= '0' && c <= '9';
    case Chars::Hex: return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }
    return false;
}

// Checks the whole 260-byte area: header, fields, commas, end mark, zeros.
void ExpectWellFormed(const std::string& area, const std::string& label) {
    ASSERT_EQ(area.size(), kCommandAreaSize) << label;
    std::vector<bool> inField(kUpdateCommandSize, false);
    for (const FieldSpot& f : CommandFields()) {
        for (size_t i = f.pos; i < f.pos + f.width; ++i) {
            inField[i] = true;
            EXPECT_TRUE(Allowed(f.chars, static_cast<uint8_t>(area[i])))
                << label << ": byte " << static_cast<int>(static_cast<uint8_t>(area[i])) << " at " << i;
        }
    }
    EXPECT_EQ(static_cast<uint8_t>(area[0]), 0x1C) << label;
    EXPECT_EQ(area[1], 'o') << label;
    EXPECT_EQ(area[194], '.') << label;
    int commas = 0;
    for (size_t i = 2; i < 194; ++i) {
        if (inField[i]) continue;
        ++commas;
        EXPECT_EQ(area[i], ',') << label << ": position " << i;
    }
    EXPECT_EQ(commas, 57) << label;
    for (size_t i = kUpdateCommandSize; i < kCommandAreaSize; ++i) EXPECT_EQ(area[i], '\0') << label << ": " << i;
}

// The defaults with all custom values 0 give the printer's factory command.
TEST(UpdateCommand, DefaultsEncodeToTheFactoryCommand) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    const CustomFeedTable custom = {};
    const std::string area = CommandArea(record, custom);
    ASSERT_EQ(FactoryCommand().size(), kUpdateCommandSize);
    EXPECT_EQ(area.substr(0, kUpdateCommandSize), FactoryCommand());
    for (size_t i = kUpdateCommandSize; i < kCommandAreaSize; ++i) EXPECT_EQ(area[i], '\0') << i;
}

TEST(UpdateCommand, LayoutCoversEveryPosition) {
    // 3 fixed bytes + 135 field characters + 57 commas.
    size_t characters = 0;
    for (const FieldSpot& f : CommandFields()) characters += f.width;
    EXPECT_EQ(characters, 135u);
}

TEST(UpdateCommand, FactoryCommandIsWellFormed) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    const CustomFeedTable custom = {};
    ExpectWellFormed(CommandArea(record, custom), "defaults");
}

// ---------------------------------------------------------------------------
// One change at a time against the factory command: the case's text appears at
// its position and nothing else in the command moves.

struct Splice {
    size_t pos;
    std::string text;
};

struct EncodeCase {
    const char* label;
    Mutate mutate;
    std::vector<Splice> expected;
};

const std::vector<EncodeCase>& EncodeCases() {
    static const std::vector<EncodeCase> cases = {
        {"switches 5A 00 02 FF", [](SettingsRecord& r, CustomFeedTable&) {
             r.switches[0] = 0x5A; r.switches[1] = 0x00; r.switches[2] = 0x02; r.switches[3] = 0xFF; },
         {{4, Bytes("\x0a\x05", 2)}, {7, Bytes("\x00\x00", 2)}, {10, Bytes("\x02\x00", 2)},
          {13, Bytes("\x0f\x0f", 2)}}},
        {"switches 12 34 56 78", [](SettingsRecord& r, CustomFeedTable&) {
             r.switches[0] = 0x12; r.switches[1] = 0x34; r.switches[2] = 0x56; r.switches[3] = 0x78; },
         {{4, Bytes("\x02\x01", 2)}, {7, Bytes("\x04\x03", 2)}, {10, Bytes("\x06\x05", 2)},
          {13, Bytes("\x08\x07", 2)}}},
        {"font1 4", [](SettingsRecord& r, CustomFeedTable&) { r.font1 = 4; }, {{16, "4"}}},
        {"font1 5 is no row", [](SettingsRecord& r, CustomFeedTable&) { r.font1 = 5; r.font2 = 2; },
         {{16, "0"}, {18, "2"}}},
        {"font1 6 is no row", [](SettingsRecord& r, CustomFeedTable&) { r.font1 = 6; r.font2 = 2; },
         {{16, "0"}, {18, "2"}}},
        {"font1 12 keeps three bits", [](SettingsRecord& r, CustomFeedTable&) { r.font1 = 12; }, {{16, "4"}}},
        {"font1 -4 keeps three bits", [](SettingsRecord& r, CustomFeedTable&) { r.font1 = -4; }, {{16, "4"}}},
        {"font2 3", [](SettingsRecord& r, CustomFeedTable&) { r.font2 = 3; }, {{18, "3"}}},
        {"font2 9 masked to 1", [](SettingsRecord& r, CustomFeedTable&) { r.font2 = 9; }, {{18, "1"}}},
        {"font2 15 masked to 7", [](SettingsRecord& r, CustomFeedTable&) { r.font2 = 15; r.font1 = 1; },
         {{16, "1"}, {18, "0"}}},
        {"kanji 1983", [](SettingsRecord& r, CustomFeedTable&) { r.kanjiTable = 1; }, {{20, "1"}}},
        {"kanji 1990", [](SettingsRecord& r, CustomFeedTable&) { r.kanjiTable = 2; }, {{20, "2"}}},
        {"kanji 3 is no edition", [](SettingsRecord& r, CustomFeedTable&) { r.kanjiTable = 3; }, {{20, "0"}}},
        {"kanji 6 keeps two bits", [](SettingsRecord& r, CustomFeedTable&) { r.kanjiTable = 6; }, {{20, "2"}}},
        {"kanji -1", [](SettingsRecord& r, CustomFeedTable&) { r.kanjiTable = -1; }, {{20, "0"}}},
        {"kanji 0x3D sets no stray bits",
         [](SettingsRecord& r, CustomFeedTable&) { r.kanjiTable = 0x3D; r.quietPrint = 1; },
         {{20, "1"}, {22, "1"}, {24, "0"}}},
        {"quiet on", [](SettingsRecord& r, CustomFeedTable&) { r.quietPrint = 1; }, {{22, "1"}}},
        {"quiet 2 is not on", [](SettingsRecord& r, CustomFeedTable&) { r.quietPrint = 2; }, {{22, "0"}}},
        {"quiet -1 is not on", [](SettingsRecord& r, CustomFeedTable&) { r.quietPrint = -1; }, {{22, "0"}}},
        {"postcard on", [](SettingsRecord& r, CustomFeedTable&) { r.postcardMode = 1; }, {{24, "1"}}},
        {"postcard 2 is not on", [](SettingsRecord& r, CustomFeedTable&) { r.postcardMode = 2; }, {{24, "0"}}},
        {"paper set centre", [](SettingsRecord& r, CustomFeedTable&) { r.paperSetCenter = 1; }, {{26, "0"}}},
        {"paper set 5 is not left", [](SettingsRecord& r, CustomFeedTable&) { r.paperSetCenter = 5; }, {{26, "0"}}},
        {"paper set -1 is not left", [](SettingsRecord& r, CustomFeedTable&) { r.paperSetCenter = -1; }, {{26, "0"}}},
        {"head centre cut 68", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterCut = 68; }, {{28, "68"}}},
        {"head centre cut 5", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterCut = 5; }, {{28, "05"}}},
        {"head centre cut 127 truncated", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterCut = 127; },
         {{28, "12"}}},
        {"head centre cut 128 keeps seven bits", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterCut = 128; },
         {{28, "00"}}},
        {"head centre cut 168 does not touch the paper set bit",
         [](SettingsRecord& r, CustomFeedTable&) { r.headCenterCut = 168; r.paperSetCenter = 1; },
         {{26, "0"}, {28, "40"}}},
        {"head centre front 68", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterFront = 68; }, {{31, "68"}}},
        {"head centre front 100 truncated", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterFront = 100; },
         {{31, "10"}}},
        {"head centre front 256 low byte", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterFront = 256; },
         {{31, "00"}}},
        {"head centre rear 126", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterRear = 126; }, {{34, "126"}}},
        {"head centre rear 68", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterRear = 68; }, {{34, "068"}}},
        {"head centre rear 300 low byte", [](SettingsRecord& r, CustomFeedTable&) { r.headCenterRear = 300; },
         {{34, "044"}}},
        {"page length 1", [](SettingsRecord& r, CustomFeedTable&) { r.pageLength = 1; }, {{38, "01"}}},
        {"page length 100 truncated", [](SettingsRecord& r, CustomFeedTable&) { r.pageLength = 100; }, {{38, "10"}}},
        {"front feed row 0", [](SettingsRecord& r, CustomFeedTable&) { r.contFrontFeed = 0; }, {{41, "000"}}},
        {"front feed row 6", [](SettingsRecord& r, CustomFeedTable&) { r.contFrontFeed = 6; }, {{41, "060"}}},
        {"front feed custom 46", [](SettingsRecord& r, CustomFeedTable& c) {
             r.contFrontFeed = 8; c.record.contFrontCustom = 46; }, {{41, "046"}}},
        {"front feed row -1 uses the custom value", [](SettingsRecord& r, CustomFeedTable& c) {
             r.contFrontFeed = -1; c.record.contFrontCustom = 33; }, {{41, "033"}}},
        {"rear feed row 1", [](SettingsRecord& r, CustomFeedTable&) { r.contRearFeed = 1; }, {{45, "015"}}},
        {"rear feed custom 250", [](SettingsRecord& r, CustomFeedTable& c) {
             r.contRearFeed = 8; c.record.contRearCustom = 250; }, {{45, "250"}}},
        {"rear feed row 9 is outside table A", [](SettingsRecord& r, CustomFeedTable& c) {
             r.contRearFeed = 9; c.record.contRearCustom = 5; }, {{45, "005"}}},
        {"cut sheet row 8", [](SettingsRecord& r, CustomFeedTable&) { r.cutSheetFeed = 8; }, {{49, "120"}}},
        {"cut sheet custom 37", [](SettingsRecord& r, CustomFeedTable& c) {
             r.cutSheetFeed = 9; c.record.cutSheetCustom = 37; }, {{49, "037"}}},
        {"cut sheet custom 0", [](SettingsRecord& r, CustomFeedTable&) { r.cutSheetFeed = 9; }, {{49, "000"}}},
        {"cut sheet custom 293 low byte", [](SettingsRecord& r, CustomFeedTable& c) {
             r.cutSheetFeed = 9; c.record.cutSheetCustom = 293; }, {{49, "037"}}},
        {"cut sheet custom -1 low byte", [](SettingsRecord& r, CustomFeedTable& c) {
             r.cutSheetFeed = 9; c.record.cutSheetCustom = -1; }, {{49, "255"}}},
        {"cut sheet custom unused on a table row", [](SettingsRecord& r, CustomFeedTable& c) {
             r.cutSheetFeed = 7; c.record.cutSheetCustom = 37; }, {{49, "060"}}},
        {"postcard row 7", [](SettingsRecord& r, CustomFeedTable&) { r.postcardFeed = 7; }, {{53, "060"}}},
        {"postcard custom 46", [](SettingsRecord& r, CustomFeedTable& c) {
             r.postcardFeed = 9; c.record.postcardCustom = 46; }, {{53, "046"}}},
        {"postcard row INT32_MAX", [](SettingsRecord& r, CustomFeedTable&) { r.postcardFeed = INT32_MAX; },
         {{53, "000"}}},
        {"a format's custom value is not the record's", [](SettingsRecord& r, CustomFeedTable& c) {
             r.cutSheetFeed = 9; c.formats[0].cutSheetCustom = 37; }, {{49, "000"}}},
        {"the record's custom value is not a format's", [](SettingsRecord& r, CustomFeedTable& c) {
             r.formats[0].cutSheetFeed = 9; c.record.cutSheetCustom = 37; }, {{94, "000"}}},
        {"cut sheet position 68", [](SettingsRecord& r, CustomFeedTable&) { r.cutSheetPosAdjust = 68; },
         {{57, "68"}}},
        {"cut sheet position 200 truncated", [](SettingsRecord& r, CustomFeedTable&) { r.cutSheetPosAdjust = 200; },
         {{57, "20"}}},
        {"typeface Gothic", [](SettingsRecord& r, CustomFeedTable&) { r.typeface = 1; }, {{60, "1"}}},
        {"typeface 2", [](SettingsRecord& r, CustomFeedTable&) { r.typeface = 2; }, {{60, "1"}}},
        {"typeface 256", [](SettingsRecord& r, CustomFeedTable&) { r.typeface = 256; }, {{60, "1"}}},
        {"typeface -1", [](SettingsRecord& r, CustomFeedTable&) { r.typeface = -1; }, {{60, "1"}}},
        {"reduction row 1", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = 1; }, {{62, "1"}}},
        {"reduction row 2", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = 2; }, {{62, "3"}}},
        {"reduction row 3", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = 3; }, {{62, "5"}}},
        {"reduction row 4", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = 4; }, {{62, "7"}}},
        {"reduction row 5", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = 5; }, {{62, "0"}}},
        {"reduction row 7", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = 7; }, {{62, "0"}}},
        {"reduction row -1", [](SettingsRecord& r, CustomFeedTable&) { r.reduction = -1; }, {{62, "0"}}},
        {"paper thickness 12", [](SettingsRecord& r, CustomFeedTable&) { r.paperThickness = 12; }, {{64, "12"}}},
        {"paper thickness 123 truncated", [](SettingsRecord& r, CustomFeedTable&) { r.paperThickness = 123; },
         {{64, "12"}}},
        {"print pressure +3", [](SettingsRecord& r, CustomFeedTable&) { r.printPressure = 3; }, {{67, "03"}}},
        {"print pressure -6", [](SettingsRecord& r, CustomFeedTable&) { r.printPressure = 250; }, {{67, "FA"}}},
        {"print pressure -6 held negative", [](SettingsRecord& r, CustomFeedTable&) { r.printPressure = -6; },
         {{67, "FA"}}},
        {"print pressure 0x1FA low byte", [](SettingsRecord& r, CustomFeedTable&) { r.printPressure = 0x1FA; },
         {{67, "FA"}}},
        {"print position -1", [](SettingsRecord& r, CustomFeedTable&) { r.printPosition = 255; }, {{70, "FF"}}},
        {"print position -3", [](SettingsRecord& r, CustomFeedTable&) { r.printPosition = 253; }, {{70, "FD"}}},
        {"print position +1", [](SettingsRecord& r, CustomFeedTable&) { r.printPosition = 1; }, {{70, "01"}}},
        {"format select 1", [](SettingsRecord& r, CustomFeedTable&) { r.formatSelect = 1; }, {{73, "1"}}},
        {"format select 4", [](SettingsRecord& r, CustomFeedTable&) { r.formatSelect = 4; }, {{73, "4"}}},
        {"format select 5", [](SettingsRecord& r, CustomFeedTable&) { r.formatSelect = 5; }, {{73, "0"}}},
        {"format select 7", [](SettingsRecord& r, CustomFeedTable&) { r.formatSelect = 7; }, {{73, "0"}}},
        {"format select -1", [](SettingsRecord& r, CustomFeedTable&) { r.formatSelect = -1; }, {{73, "0"}}},
        {"format select 260 (low byte 4)", [](SettingsRecord& r, CustomFeedTable&) { r.formatSelect = 260; },
         {{73, "0"}}},
        // Formats: page length, margins, then the four feeds, then the position
        // correction, whatever the order of the record's fields.
        {"format 1 every field", [](SettingsRecord& r, CustomFeedTable&) {
             r.formats[0] = {12, 1, 2, 7, 8, 3, 80, 9}; },
         {{75, "12,003,080,015,020,060,120,09"}}},
        {"format 2 every field", [](SettingsRecord& r, CustomFeedTable&) {
             r.formats[1] = {24, 3, 4, 5, 1, 10, 90, 18}; },
         {{105, "24,010,090,028,030,040,015,18"}}},
        {"format 3 every field", [](SettingsRecord& r, CustomFeedTable&) {
             r.formats[2] = {36, 5, 6, 0, 2, 20, 100, 27}; },
         {{135, "36,020,100,040,060,000,020,27"}}},
        {"format 4 every field", [](SettingsRecord& r, CustomFeedTable&) {
             r.formats[3] = {48, 7, 0, 1, 3, 30, 110, 36}; },
         {{165, "48,030,110,120,000,015,028,36"}}},
        {"format 1 custom feeds", [](SettingsRecord& r, CustomFeedTable& c) {
             r.formats[0].contFrontFeed = 8; r.formats[0].contRearFeed = 8;
             r.formats[0].cutSheetFeed = 9; r.formats[0].postcardFeed = 9;
             c.formats[0] = {1, 2, 3, 4}; },
         {{86, "001,002,003,004"}}},
        {"format 2 custom feeds", [](SettingsRecord& r, CustomFeedTable& c) {
             r.formats[1].contFrontFeed = 8; r.formats[1].contRearFeed = 8;
             r.formats[1].cutSheetFeed = 9; r.formats[1].postcardFeed = 9;
             c.formats[1] = {46, 54, 54, 46}; },
         {{116, "046,054,054,046"}}},
        {"format 3 custom postcard 77", [](SettingsRecord& r, CustomFeedTable& c) {
             r.formats[2].postcardFeed = 9; c.formats[2].postcardCustom = 77; c.formats[3].postcardCustom = 99; },
         {{158, "077"}}},
        {"format 4 custom feeds", [](SettingsRecord& r, CustomFeedTable& c) {
             r.formats[3].contFrontFeed = 8; r.formats[3].contRearFeed = 8;
             r.formats[3].cutSheetFeed = 9; r.formats[3].postcardFeed = 9;
             c.formats[3] = {255, 254, 253, 252}; },
         {{176, "255,254,253,252"}}},
        {"format 4 wide values truncated", [](SettingsRecord& r, CustomFeedTable&) {
             r.formats[3].pageLength = 150; r.formats[3].leftMargin = 200; r.formats[3].cutSheetPosAdjust = 99; },
         {{165, "15"}, {168, "200"}, {192, "99"}}},
        {"format 2 right margin -1", [](SettingsRecord& r, CustomFeedTable&) { r.formats[1].rightMargin = -1; },
         {{112, "255"}}},
    };
    return cases;
}

TEST(UpdateCommand, OneChangeAtATime) {
    for (const EncodeCase& c : EncodeCases()) {
        SettingsRecord record;
        LoadDefaultSettings(&record);
        CustomFeedTable custom = {};
        c.mutate(record, custom);
        std::string expected = FactoryCommand();
        for (const Splice& s : c.expected) expected.replace(s.pos, s.text.size(), s.text);
        ASSERT_EQ(expected.size(), kUpdateCommandSize) << c.label;
        EXPECT_EQ(Command(record, custom), expected) << c.label;
    }
}

// ---------------------------------------------------------------------------
// A record in which every field differs, with its block and its command.

void WholeRecord(SettingsRecord* r, CustomFeedTable* c) {
    LoadDefaultSettings(r);
    *c = {};
    r->switches[0] = 0x21;
    r->switches[1] = 0x43;
    r->switches[2] = 0x65;
    r->switches[3] = 0x87;
    r->paperSetCenter = 1;
    r->postcardMode = 1;
    r->headCenterCut = 12;
    r->headCenterFront = 34;
    r->headCenterRear = 110;
    r->paperThickness = 5;
    r->contFrontFeed = 1;
    r->contRearFeed = 8;
    c->record.contRearCustom = 33;
    r->cutSheetFeed = 6;
    r->postcardFeed = 9;
    c->record.postcardCustom = 99;
    r->pageLength = 72;
    r->cutSheetPosAdjust = 8;
    r->formatSelect = 3;
    r->formats[0] = {11, 2, 3, 4, 5, 1, 81, 2};
    r->formats[1] = {12, 0, 6, 7, 7, 3, 83, 4};
    r->formats[2] = {13, 7, 7, 8, 8, 5, 85, 6};
    r->formats[3] = {14, 8, 8, 9, 9, 7, 87, 8};
    c->formats[3] = {17, 18, 19, 21};
    r->typeface = 1;
    r->font1 = 2;
    r->font2 = 3;
    r->kanjiTable = 1;
    r->reduction = 3;
    r->quietPrint = 0;
    r->printPressure = 254;
    r->printPosition = 2;
}

struct BlockByte {
    size_t offset;
    uint8_t value;
};

// Every nonzero byte of the work block for WholeRecord().
const BlockByte kWholeBlock[] = {
    {2, 5},     {3, 1},     {4, 0x21},  {5, 0x43},  {6, 0x65},  {7, 0x87},  {20, 0x32},
    {21, 0x81}, {22, 0x0C}, {23, 34},   {24, 110},  {25, 72},   {26, 15},   {27, 33},
    {28, 46},   {29, 99},   {30, 8},    {60, 5},    {61, 254},  {64, 2},    {68, 3},
    {69, 11},   {70, 1},    {71, 81},   {72, 20},   {73, 28},   {74, 30},   {75, 40},
    {76, 2},    {80, 12},   {81, 3},    {82, 83},   {84, 60},   {85, 60},   {86, 60},
    {87, 4},    {91, 13},   {92, 5},    {93, 85},   {94, 120},  {95, 120},  {96, 120},
    {97, 120},  {98, 6},    {102, 14},  {103, 7},   {104, 87},  {105, 17},  {106, 18},
    {107, 19},  {108, 21},  {109, 8},
};

TEST(EncodeSettings, WholeRecordBlock) {
    SettingsRecord record;
    CustomFeedTable custom;
    WholeRecord(&record, &custom);
    uint8_t expected[kSettingsBlockSize] = {};
    for (const BlockByte& b : kWholeBlock) expected[b.offset] = b.value;

    uint8_t block[kSettingsBlockSize];
    std::memset(block, 0xEE, sizeof block);
    EncodeSettings(record, custom, block);
    for (size_t i = 0; i < kSettingsBlockSize; ++i) EXPECT_EQ(block[i], expected[i]) << "offset " << i;
}

TEST(UpdateCommand, WholeRecordCommand) {
    SettingsRecord record;
    CustomFeedTable custom;
    WholeRecord(&record, &custom);
    std::string expected = Bytes("\x1c" "o0,\x01\x02,\x03\x04,\x05\x06,\x07\x08,", 16);
    expected += "2,3,1,0,1,0,12,34,110,72,015,033,046,099,08,1,5,05,FE,02,3,";
    expected += "11,001,081,020,028,030,040,02,";
    expected += "12,003,083,000,060,060,060,04,";
    expected += "13,005,085,120,120,120,120,06,";
    expected += "14,007,087,017,018,019,021,08.";
    ASSERT_EQ(expected.size(), kUpdateCommandSize);
    EXPECT_EQ(Command(record, custom), expected);
}

// Bits 2-5 of byte 21 are never set, and bytes 0 and 1 stay 0.
TEST(EncodeSettings, PackedFlagsAndMarks) {
    const struct {
        const char* label;
        int32_t kanji, quiet, postcard;
        uint8_t byte21;
    } cases[] = {
        {"all off", 0, 0, 0, 0x00},          {"1990 table", 2, 0, 0, 0x02},
        {"kanji 0x3F", 0x3F, 0, 0, 0x03},    {"kanji -1, both on", -1, 1, 1, 0xC3},
        {"quiet only", 0, 1, 0, 0x40},       {"postcard only", 0, 0, 1, 0x80},
        {"flags 2 are not on", 1, 2, 2, 0x01},
    };
    for (const auto& c : cases) {
        SettingsRecord record;
        LoadDefaultSettings(&record);
        record.kanjiTable = c.kanji;
        record.quietPrint = c.quiet;
        record.postcardMode = c.postcard;
        const CustomFeedTable custom = {};
        uint8_t block[kSettingsBlockSize];
        std::memset(block, 0xEE, sizeof block);
        EncodeSettings(record, custom, block);
        EXPECT_EQ(block[21], c.byte21) << c.label;
        EXPECT_EQ(block[0], 0) << c.label;
        EXPECT_EQ(block[1], 0) << c.label;
    }
}

// The command carries no block byte but those it lists: changing any other
// byte of the block leaves the command as it was.
TEST(UpdateCommand, IgnoresUncarriedBlockBytes) {
    const size_t carried[] = {2,  3,  4,  5,  6,  7,  20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 60, 61,
                              64, 68, 69, 70, 71, 72, 73, 74, 75, 76, 80, 81, 82, 83, 84, 85, 86, 87, 91,
                              92, 93, 94, 95, 96, 97, 98, 102, 103, 104, 105, 106, 107, 108, 109};
    SettingsRecord record;
    CustomFeedTable custom;
    WholeRecord(&record, &custom);
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    uint8_t noisy[kSettingsBlockSize];
    std::memset(noisy, 0xA7, sizeof noisy);
    for (size_t offset : carried) noisy[offset] = block[offset];

    uint8_t area[kCommandAreaSize];
    uint8_t noisyArea[kCommandAreaSize];
    BuildUpdateCommand(block, area);
    BuildUpdateCommand(noisy, noisyArea);
    EXPECT_EQ(std::memcmp(area, noisyArea, sizeof area), 0);
}

// Every carried byte moves the command: flipping it changes something.
TEST(UpdateCommand, EveryCarriedByteReachesTheCommand) {
    const struct {
        size_t offset;
        uint8_t value;  // differs from the factory block's byte in a sent bit
    } flips[] = {{2, 7},   {3, 1},    {4, 0x10}, {5, 0x01}, {6, 0x80}, {7, 0x08}, {20, 0x01}, {20, 0x20},
                 {21, 0x01}, {21, 0x40}, {21, 0x80}, {22, 0x00}, {22, 0x81}, {23, 35}, {24, 97}, {25, 67},
                 {26, 121}, {27, 119}, {28, 47}, {29, 53}, {30, 1}, {60, 1}, {61, 0x10}, {64, 0x01},
                 {68, 2},  {69, 65},  {70, 1},   {71, 137}, {72, 1},  {73, 2},  {74, 3},  {75, 4},
                 {76, 5},  {80, 65},  {87, 9},   {91, 65},  {98, 9},  {102, 65}, {109, 9}};
    SettingsRecord record;
    LoadDefaultSettings(&record);
    const CustomFeedTable custom = {};
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    uint8_t area[kCommandAreaSize];
    BuildUpdateCommand(block, area);
    for (const auto& f : flips) {
        uint8_t changed[kSettingsBlockSize];
        std::memcpy(changed, block, sizeof changed);
        changed[f.offset] = f.value;
        uint8_t changedArea[kCommandAreaSize];
        BuildUpdateCommand(changed, changedArea);
        EXPECT_NE(std::memcmp(area, changedArea, sizeof area), 0) << "offset " << f.offset;
    }
}

// Building straight from a block, for bytes the encoder never produces (the
// block as the printer reported it): the digit rules of each field.
struct BuildCase {
    const char* label;
    size_t offset;
    uint8_t value;
    std::vector<Splice> expected;
};

TEST(UpdateCommand, BuildFromBlockBytes) {
    const std::vector<BuildCase> cases = {
        {"fonts 0x40", 20, 0x40, {{16, "0"}, {18, "4"}}},
        {"fonts 0x04", 20, 0x04, {{16, "4"}, {18, "0"}}},
        {"fonts 0x95 are no rows", 20, 0x95, {{16, "0"}, {18, "0"}}},
        {"fonts 0x5F are no rows", 20, 0x5F, {{16, "0"}, {18, "0"}}},
        {"flags bits 2-5 not sent", 21, 0x3C, {}},
        {"flags kanji 3 is no edition", 21, 0x03, {{20, "0"}}},
        {"flags 0xFE", 21, 0xFE, {{20, "2"}, {22, "1"}, {24, "1"}}},
        {"paper set 0x7F", 22, 0x7F, {{26, "0"}, {28, "12"}}},
        {"paper set 0xE3", 22, 0xE3, {{26, "1"}, {28, "99"}}},
        {"typeface byte 1", 3, 1, {{60, "1"}}},
        {"typeface byte 2 is not 1", 3, 2, {{60, "0"}}},
        {"reduction code 7", 2, 7, {{62, "7"}}},
        {"reduction code 2 is no code", 2, 2, {{62, "0"}}},
        {"reduction code 9 is no code", 2, 9, {{62, "0"}}},
        {"format 4", 68, 4, {{73, "4"}}},
        {"format 5 is none", 68, 5, {{73, "0"}}},
        {"pressure 0xAB", 61, 0xAB, {{67, "AB"}}},
        {"position 0x0C", 64, 0x0C, {{70, "0C"}}},
        {"page length 200 truncated", 25, 200, {{38, "20"}}},
        {"thickness 100 truncated", 60, 100, {{64, "10"}}},
        {"head centre front 5", 23, 5, {{31, "05"}}},
        {"cut sheet position 255 truncated", 30, 255, {{57, "25"}}},
        {"format 3 left margin 7", 92, 7, {{138, "007"}}},
        {"format 4 position 100 truncated", 109, 100, {{192, "10"}}},
    };
    SettingsRecord record;
    LoadDefaultSettings(&record);
    const CustomFeedTable custom = {};
    uint8_t factory[kSettingsBlockSize];
    EncodeSettings(record, custom, factory);
    for (const BuildCase& c : cases) {
        uint8_t block[kSettingsBlockSize];
        std::memcpy(block, factory, sizeof block);
        block[c.offset] = c.value;
        uint8_t area[kCommandAreaSize];
        BuildUpdateCommand(block, area);
        std::string expected = FactoryCommand();
        for (const Splice& s : c.expected) expected.replace(s.pos, s.text.size(), s.text);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(area), kUpdateCommandSize), expected) << c.label;
    }
}

// ---------------------------------------------------------------------------
// Whatever the record holds, the command keeps its shape.

void FillAll(SettingsRecord* r, CustomFeedTable* c, int32_t value, uint8_t switches) {
    std::memset(r->switches, switches, 4);
    int32_t fields[53];
    for (int32_t& f : fields) f = value;
    std::memcpy(reinterpret_cast<uint8_t*>(r) + 4, fields, sizeof fields);
    int32_t customs[20];
    for (int32_t& v : customs) v = value;
    std::memcpy(c, customs, sizeof customs);
}

TEST(UpdateCommand, ExtremeRecords) {
    // Low byte 0xFF everywhere: widths cut "255" to "25" in two-digit fields.
    std::string high = Bytes("\x1c" "o0,\x0f\x0f,\x0f\x0f,\x0f\x0f,\x0f\x0f,", 16);
    high += "0,0,0,0,0,0,12,25,255,25,255,255,255,255,25,1,0,25,FF,FF,0";
    for (int k = 0; k < 4; ++k) high += ",25,255,255,255,255,255,255,25";
    high += ".";
    // Low byte 0 everywhere.
    std::string low = Bytes("\x1c" "o0,\x00\x08,\x00\x08,\x00\x08,\x00\x08,", 16);
    low += "0,0,0,0,0,0,00,00,000,00,000,000,000,000,00,1,0,00,00,00,0";
    for (int k = 0; k < 4; ++k) low += ",00,000,000,000,000,000,000,00";
    low += ".";

    const struct {
        const char* label;
        int32_t value;
        uint8_t switches;
        const std::string& expected;
    } cases[] = {
        {"all -1", -1, 0xFF, high},
        {"all INT32_MAX", INT32_MAX, 0xFF, high},
        {"all 0x12345FF", 0x12345FF, 0xFF, high},
        {"all INT32_MIN", INT32_MIN, 0x80, low},
        {"all 256", 256, 0x80, low},
        {"all -256", -256, 0x80, low},
    };
    for (const auto& c : cases) {
        SettingsRecord record;
        CustomFeedTable custom;
        FillAll(&record, &custom, c.value, c.switches);
        const std::string area = CommandArea(record, custom);
        ExpectWellFormed(area, c.label);
        EXPECT_EQ(area.substr(0, kUpdateCommandSize), c.expected) << c.label;
    }
}

TEST(UpdateCommand, RandomRecordsKeepTheirShape) {
    std::mt19937 random(195);
    for (int round = 0; round < 1000; ++round) {
        uint8_t raw[sizeof(SettingsRecord) + sizeof(CustomFeedTable)];
        for (uint8_t& byte : raw) byte = static_cast<uint8_t>(random());
        // Half the rounds with small numbers near the valid ranges.
        SettingsRecord record;
        CustomFeedTable custom;
        std::memcpy(&record, raw, sizeof record);
        std::memcpy(&custom, raw + sizeof record, sizeof custom);
        if (round % 2 == 1) {
            int32_t fields[53];
            std::memcpy(fields, reinterpret_cast<uint8_t*>(&record) + 4, sizeof fields);
            for (int32_t& f : fields) f = static_cast<int32_t>(random() % 300) - 20;
            std::memcpy(reinterpret_cast<uint8_t*>(&record) + 4, fields, sizeof fields);
        }
        ExpectWellFormed(CommandArea(record, custom), "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

}  // namespace
