// Decoding the printer's 260-byte settings block into the record and the
// custom feed values.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "codec.h"

namespace {

struct Decoded {
    SettingsRecord record;
    CustomFeedTable custom;
};

// Each field of the record and the custom table by the name the cases use.
using Getter = int32_t (*)(const Decoded&);
struct NamedField {
    const char* name;
    Getter get;
};

#define RP_FIELD(expr) {#expr, [](const Decoded& d) -> int32_t { return d.expr; }}
const NamedField kFields[] = {
    RP_FIELD(record.switches[0]), RP_FIELD(record.switches[1]), RP_FIELD(record.switches[2]),
    RP_FIELD(record.switches[3]), RP_FIELD(record.paperSetCenter), RP_FIELD(record.postcardMode),
    RP_FIELD(record.headCenterCut), RP_FIELD(record.headCenterFront), RP_FIELD(record.headCenterRear),
    RP_FIELD(record.paperThickness), RP_FIELD(record.contFrontFeed), RP_FIELD(record.contRearFeed),
    RP_FIELD(record.cutSheetFeed), RP_FIELD(record.postcardFeed), RP_FIELD(record.pageLength),
    RP_FIELD(record.cutSheetPosAdjust), RP_FIELD(record.formatSelect), RP_FIELD(record.typeface),
    RP_FIELD(record.font1), RP_FIELD(record.font2), RP_FIELD(record.kanjiTable),
    RP_FIELD(record.reduction), RP_FIELD(record.quietPrint), RP_FIELD(record.printPressure),
    RP_FIELD(record.printPosition),
    RP_FIELD(custom.record.contFrontCustom), RP_FIELD(custom.record.contRearCustom),
    RP_FIELD(custom.record.cutSheetCustom), RP_FIELD(custom.record.postcardCustom),
#define RP_FORMAT_FIELDS(k)                                                                        \
    RP_FIELD(record.formats[k].pageLength), RP_FIELD(record.formats[k].contFrontFeed),             \
        RP_FIELD(record.formats[k].contRearFeed), RP_FIELD(record.formats[k].cutSheetFeed),        \
        RP_FIELD(record.formats[k].postcardFeed), RP_FIELD(record.formats[k].leftMargin),          \
        RP_FIELD(record.formats[k].rightMargin), RP_FIELD(record.formats[k].cutSheetPosAdjust),    \
        RP_FIELD(custom.formats[k].contFrontCustom), RP_FIELD(custom.formats[k].contRearCustom),   \
        RP_FIELD(custom.formats[k].cutSheetCustom), RP_FIELD(custom.formats[k].postcardCustom)
    RP_FORMAT_FIELDS(0), RP_FORMAT_FIELDS(1), RP_FORMAT_FIELDS(2), RP_FORMAT_FIELDS(3),
#undef RP_FORMAT_FIELDS
};
#undef RP_FIELD

Getter FieldNamed(const std::string& name) {
    for (const NamedField& f : kFields) {
        if (name == f.name) return f.get;
    }
    return nullptr;
}

struct ByteAt {
    size_t offset;
    uint8_t value;
};
struct Expect {
    const char* field;
    int32_t value;
};

// A block with the format marks and every other byte zero, then the case's bytes.
void MarkedBlock(uint8_t block[kSettingsBlockSize], std::initializer_list<ByteAt> bytes) {
    std::memset(block, 0, kSettingsBlockSize);
    block[0] = 1;
    block[1] = 4;
    for (const ByteAt& b : bytes) block[b.offset] = b.value;
}

// Destination filled with a pattern the decoder must overwrite completely.
Decoded Sentinel() {
    Decoded d;
    std::memset(&d, 0x5A, sizeof d);
    return d;
}

void ExpectFields(const Decoded& d, const std::vector<Expect>& expects, const char* label) {
    for (const Expect& e : expects) {
        Getter get = FieldNamed(e.field);
        if (get == nullptr) {
            ADD_FAILURE() << label << ": no field " << e.field;
            continue;
        }
        EXPECT_EQ(get(d), e.value) << label << ": " << e.field;
    }
}

struct DecodeCase {
    const char* label;
    std::vector<ByteAt> bytes;
    std::vector<Expect> expects;
};

const std::vector<DecodeCase>& DecodeCases() {
    static const std::vector<DecodeCase> cases = {
        // Reduction codes 1, 3, 5, 7 are the rows 1..4; everything else row 0.
        {"reduction 0", {{2, 0}}, {{"record.reduction", 0}}},
        {"reduction 1", {{2, 1}}, {{"record.reduction", 1}}},
        {"reduction 2 is no code", {{2, 2}}, {{"record.reduction", 0}}},
        {"reduction 3", {{2, 3}}, {{"record.reduction", 2}}},
        {"reduction 4 is no code", {{2, 4}}, {{"record.reduction", 0}}},
        {"reduction 5", {{2, 5}}, {{"record.reduction", 3}}},
        {"reduction 6 is no code", {{2, 6}}, {{"record.reduction", 0}}},
        {"reduction 7", {{2, 7}}, {{"record.reduction", 4}}},
        {"reduction 8 is no code", {{2, 8}}, {{"record.reduction", 0}}},
        {"reduction 255 is no code", {{2, 255}}, {{"record.reduction", 0}}},
        {"typeface 0", {{3, 0}}, {{"record.typeface", 0}}},
        {"typeface 1", {{3, 1}}, {{"record.typeface", 1}}},
        {"typeface 2", {{3, 2}}, {{"record.typeface", 1}}},
        {"typeface 255", {{3, 255}}, {{"record.typeface", 1}}},
        {"switch bytes copied in order",
         {{4, 0x5A}, {5, 0x01}, {6, 0x80}, {7, 0xFE}},
         {{"record.switches[0]", 0x5A}, {"record.switches[1]", 0x01},
          {"record.switches[2]", 0x80}, {"record.switches[3]", 0xFE}}},
        {"fonts 0xF3", {{20, 0xF3}}, {{"record.font1", 3}, {"record.font2", 15}}},
        {"fonts 0x42", {{20, 0x42}}, {{"record.font1", 2}, {"record.font2", 4}}},
        {"fonts 0x0F", {{20, 0x0F}}, {{"record.font1", 15}, {"record.font2", 0}}},
        {"flags 0xC2",
         {{21, 0xC2}},
         {{"record.kanjiTable", 2}, {"record.quietPrint", 1}, {"record.postcardMode", 1}}},
        {"flags 0x3F",
         {{21, 0x3F}},
         {{"record.kanjiTable", 3}, {"record.quietPrint", 0}, {"record.postcardMode", 0}}},
        {"flags 0x40 quiet only",
         {{21, 0x40}},
         {{"record.kanjiTable", 0}, {"record.quietPrint", 1}, {"record.postcardMode", 0}}},
        {"flags 0x81 postcard, 1983 table",
         {{21, 0x81}},
         {{"record.kanjiTable", 1}, {"record.quietPrint", 0}, {"record.postcardMode", 1}}},
        {"flags 0x3C bits 2-5 ignored",
         {{21, 0x3C}},
         {{"record.kanjiTable", 0}, {"record.quietPrint", 0}, {"record.postcardMode", 0}}},
        {"paper set 0xA8", {{22, 0xA8}}, {{"record.paperSetCenter", 0}, {"record.headCenterCut", 40}}},
        {"paper set 0x28", {{22, 0x28}}, {{"record.paperSetCenter", 1}, {"record.headCenterCut", 40}}},
        {"paper set 0xFF", {{22, 0xFF}}, {{"record.paperSetCenter", 0}, {"record.headCenterCut", 127}}},
        {"paper set 0x00", {{22, 0x00}}, {{"record.paperSetCenter", 1}, {"record.headCenterCut", 0}}},
        {"head centring and page length as is",
         {{23, 36}, {24, 200}, {25, 255}},
         {{"record.headCenterFront", 36}, {"record.headCenterRear", 200}, {"record.pageLength", 255}}},
        {"front feed 46 is custom in table A",
         {{26, 46}},
         {{"record.contFrontFeed", 8}, {"custom.record.contFrontCustom", 46}}},
        {"front feed 0 is row 0", {{26, 0}}, {{"record.contFrontFeed", 0}, {"custom.record.contFrontCustom", 0}}},
        {"front feed 60 is row 6", {{26, 60}}, {{"record.contFrontFeed", 6}, {"custom.record.contFrontCustom", 0}}},
        {"rear feed 120 is row 7", {{27, 120}}, {{"record.contRearFeed", 7}, {"custom.record.contRearCustom", 0}}},
        {"rear feed 255 is custom",
         {{27, 255}},
         {{"record.contRearFeed", 8}, {"custom.record.contRearCustom", 255}}},
        {"cut sheet 46 is row 6 in table B",
         {{28, 46}},
         {{"record.cutSheetFeed", 6}, {"custom.record.cutSheetCustom", 0}}},
        {"cut sheet 54 is custom in table B",
         {{28, 54}},
         {{"record.cutSheetFeed", 9}, {"custom.record.cutSheetCustom", 54}}},
        {"cut sheet 120 is row 8", {{28, 120}}, {{"record.cutSheetFeed", 8}, {"custom.record.cutSheetCustom", 0}}},
        {"postcard 54 is row 6 in table C",
         {{29, 54}},
         {{"record.postcardFeed", 6}, {"custom.record.postcardCustom", 0}}},
        {"postcard 46 is custom in table C",
         {{29, 46}},
         {{"record.postcardFeed", 9}, {"custom.record.postcardCustom", 46}}},
        {"postcard 60 is row 7", {{29, 60}}, {{"record.postcardFeed", 7}, {"custom.record.postcardCustom", 0}}},
        {"single bytes as is",
         {{30, 68}, {60, 12}, {61, 250}, {64, 255}},
         {{"record.cutSheetPosAdjust", 68}, {"record.paperThickness", 12},
          {"record.printPressure", 250}, {"record.printPosition", 255}}},
        {"bytes 62, 63 between pressure and position are not read",
         {{62, 9}, {63, 9}},
         {{"record.printPressure", 0}, {"record.printPosition", 0}}},
        {"format select 0", {{68, 0}}, {{"record.formatSelect", 0}}},
        {"format select 1", {{68, 1}}, {{"record.formatSelect", 1}}},
        {"format select 4", {{68, 4}}, {{"record.formatSelect", 4}}},
        {"format select 5 is none", {{68, 5}}, {{"record.formatSelect", 0}}},
        {"format select 255 is none", {{68, 255}}, {{"record.formatSelect", 0}}},
        // Format blocks: page length, left, right, then feeds A, A, B, C, then
        // the position correction; in the record the feeds come first.
        {"format 1 block order",
         {{69, 11}, {70, 1}, {71, 81}, {72, 15}, {73, 20}, {74, 28}, {75, 30}, {76, 5}},
         {{"record.formats[0].pageLength", 11}, {"record.formats[0].leftMargin", 1},
          {"record.formats[0].rightMargin", 81}, {"record.formats[0].contFrontFeed", 1},
          {"record.formats[0].contRearFeed", 2}, {"record.formats[0].cutSheetFeed", 3},
          {"record.formats[0].postcardFeed", 4}, {"record.formats[0].cutSheetPosAdjust", 5},
          {"record.formats[1].pageLength", 0}, {"record.pageLength", 0}}},
        {"format 2 block order",
         {{80, 22}, {81, 2}, {82, 82}, {83, 40}, {84, 60}, {85, 46}, {86, 54}, {87, 6}},
         {{"record.formats[1].pageLength", 22}, {"record.formats[1].leftMargin", 2},
          {"record.formats[1].rightMargin", 82}, {"record.formats[1].contFrontFeed", 5},
          {"record.formats[1].contRearFeed", 6}, {"record.formats[1].cutSheetFeed", 6},
          {"record.formats[1].postcardFeed", 6}, {"record.formats[1].cutSheetPosAdjust", 6},
          {"record.formats[0].pageLength", 0}, {"record.formats[2].pageLength", 0}}},
        {"format 3 block order",
         {{91, 33}, {92, 3}, {93, 83}, {94, 120}, {95, 0}, {96, 60}, {97, 120}, {98, 7}},
         {{"record.formats[2].pageLength", 33}, {"record.formats[2].leftMargin", 3},
          {"record.formats[2].rightMargin", 83}, {"record.formats[2].contFrontFeed", 7},
          {"record.formats[2].contRearFeed", 0}, {"record.formats[2].cutSheetFeed", 7},
          {"record.formats[2].postcardFeed", 8}, {"record.formats[2].cutSheetPosAdjust", 7},
          {"record.formats[3].pageLength", 0}}},
        {"format 4 block order",
         {{102, 99}, {103, 135}, {104, 136}, {105, 30}, {106, 40}, {107, 120}, {108, 15}, {109, 68}},
         {{"record.formats[3].pageLength", 99}, {"record.formats[3].leftMargin", 135},
          {"record.formats[3].rightMargin", 136}, {"record.formats[3].contFrontFeed", 4},
          {"record.formats[3].contRearFeed", 5}, {"record.formats[3].cutSheetFeed", 8},
          {"record.formats[3].postcardFeed", 1}, {"record.formats[3].cutSheetPosAdjust", 68}}},
        {"format 1 custom feeds",
         {{72, 46}, {73, 54}, {74, 54}, {75, 46}},
         {{"record.formats[0].contFrontFeed", 8}, {"custom.formats[0].contFrontCustom", 46},
          {"record.formats[0].contRearFeed", 8}, {"custom.formats[0].contRearCustom", 54},
          {"record.formats[0].cutSheetFeed", 9}, {"custom.formats[0].cutSheetCustom", 54},
          {"record.formats[0].postcardFeed", 9}, {"custom.formats[0].postcardCustom", 46},
          {"custom.record.contFrontCustom", 0}, {"custom.formats[1].contFrontCustom", 0}}},
        {"format 2 custom feeds",
         {{83, 1}, {84, 2}, {85, 3}, {86, 4}},
         {{"record.formats[1].contFrontFeed", 8}, {"custom.formats[1].contFrontCustom", 1},
          {"record.formats[1].contRearFeed", 8}, {"custom.formats[1].contRearCustom", 2},
          {"record.formats[1].cutSheetFeed", 9}, {"custom.formats[1].cutSheetCustom", 3},
          {"record.formats[1].postcardFeed", 9}, {"custom.formats[1].postcardCustom", 4}}},
        {"format 3 custom feeds",
         {{94, 121}, {95, 122}, {96, 123}, {97, 124}},
         {{"custom.formats[2].contFrontCustom", 121}, {"custom.formats[2].contRearCustom", 122},
          {"custom.formats[2].cutSheetCustom", 123}, {"custom.formats[2].postcardCustom", 124},
          {"custom.formats[1].postcardCustom", 0}, {"custom.formats[3].contFrontCustom", 0}}},
        {"format 4 custom feeds",
         {{105, 200}, {106, 201}, {107, 202}, {108, 255}},
         {{"record.formats[3].contFrontFeed", 8}, {"custom.formats[3].contFrontCustom", 200},
          {"record.formats[3].contRearFeed", 8}, {"custom.formats[3].contRearCustom", 201},
          {"record.formats[3].cutSheetFeed", 9}, {"custom.formats[3].cutSheetCustom", 202},
          {"record.formats[3].postcardFeed", 9}, {"custom.formats[3].postcardCustom", 255}}},
        {"gaps between formats are not read",
         {{77, 50}, {78, 50}, {79, 50}, {88, 50}, {89, 50}, {90, 50}, {99, 50}, {100, 50}, {101, 50}},
         {{"record.formats[0].cutSheetPosAdjust", 0}, {"record.formats[1].pageLength", 0},
          {"record.formats[1].cutSheetPosAdjust", 0}, {"record.formats[2].pageLength", 0},
          {"record.formats[2].cutSheetPosAdjust", 0}, {"record.formats[3].pageLength", 0}}},
    };
    return cases;
}

TEST(DecodeBlock, Fields) {
    for (const DecodeCase& c : DecodeCases()) {
        uint8_t block[kSettingsBlockSize];
        MarkedBlock(block, {});
        for (const ByteAt& b : c.bytes) block[b.offset] = b.value;
        Decoded d = Sentinel();
        EXPECT_EQ(DecodeSettingsBlock(block, &d.record, &d.custom), 1) << c.label;
        ExpectFields(d, c.expects, c.label);
    }
}

// One block in which every interpreted byte differs, decoded field by field.
TEST(DecodeBlock, WholeBlock) {
    uint8_t block[kSettingsBlockSize];
    MarkedBlock(block, {{2, 5},    {3, 1},    {4, 0x21},  {5, 0x43},  {6, 0x65},  {7, 0x87},
                        {20, 0x32}, {21, 0x81}, {22, 0x0C}, {23, 34},  {24, 110},  {25, 72},
                        {26, 15},  {27, 33},  {28, 46},   {29, 99},   {30, 8},    {60, 5},
                        {61, 254}, {64, 2},   {68, 3},
                        {69, 11},  {70, 1},   {71, 81},   {72, 20},   {73, 28},   {74, 30},
                        {75, 40},  {76, 2},
                        {80, 12},  {81, 3},   {82, 83},   {83, 0},    {84, 60},   {85, 60},
                        {86, 60},  {87, 4},
                        {91, 13},  {92, 5},   {93, 85},   {94, 120},  {95, 120},  {96, 120},
                        {97, 120}, {98, 6},
                        {102, 14}, {103, 7},  {104, 87},  {105, 17},  {106, 18},  {107, 19},
                        {108, 21}, {109, 8}});
    Decoded d = Sentinel();
    ASSERT_EQ(DecodeSettingsBlock(block, &d.record, &d.custom), 1);
    ExpectFields(d,
                 {{"record.switches[0]", 0x21}, {"record.switches[1]", 0x43},
                  {"record.switches[2]", 0x65}, {"record.switches[3]", 0x87},
                  {"record.paperSetCenter", 1}, {"record.postcardMode", 1},
                  {"record.headCenterCut", 12}, {"record.headCenterFront", 34},
                  {"record.headCenterRear", 110}, {"record.paperThickness", 5},
                  {"record.contFrontFeed", 1}, {"record.contRearFeed", 8},
                  {"record.cutSheetFeed", 6}, {"record.postcardFeed", 9},
                  {"record.pageLength", 72}, {"record.cutSheetPosAdjust", 8},
                  {"record.formatSelect", 3}, {"record.typeface", 1},
                  {"record.font1", 2}, {"record.font2", 3},
                  {"record.kanjiTable", 1}, {"record.reduction", 3},
                  {"record.quietPrint", 0}, {"record.printPressure", 254},
                  {"record.printPosition", 2},
                  {"custom.record.contFrontCustom", 0}, {"custom.record.contRearCustom", 33},
                  {"custom.record.cutSheetCustom", 0}, {"custom.record.postcardCustom", 99},
                  {"record.formats[0].pageLength", 11}, {"record.formats[0].contFrontFeed", 2},
                  {"record.formats[0].contRearFeed", 3}, {"record.formats[0].cutSheetFeed", 4},
                  {"record.formats[0].postcardFeed", 5}, {"record.formats[0].leftMargin", 1},
                  {"record.formats[0].rightMargin", 81}, {"record.formats[0].cutSheetPosAdjust", 2},
                  {"record.formats[1].pageLength", 12}, {"record.formats[1].contFrontFeed", 0},
                  {"record.formats[1].contRearFeed", 6}, {"record.formats[1].cutSheetFeed", 7},
                  {"record.formats[1].postcardFeed", 7}, {"record.formats[1].leftMargin", 3},
                  {"record.formats[1].rightMargin", 83}, {"record.formats[1].cutSheetPosAdjust", 4},
                  {"record.formats[2].pageLength", 13}, {"record.formats[2].contFrontFeed", 7},
                  {"record.formats[2].contRearFeed", 7}, {"record.formats[2].cutSheetFeed", 8},
                  {"record.formats[2].postcardFeed", 8}, {"record.formats[2].leftMargin", 5},
                  {"record.formats[2].rightMargin", 85}, {"record.formats[2].cutSheetPosAdjust", 6},
                  {"record.formats[3].pageLength", 14}, {"record.formats[3].contFrontFeed", 8},
                  {"record.formats[3].contRearFeed", 8}, {"record.formats[3].cutSheetFeed", 9},
                  {"record.formats[3].postcardFeed", 9}, {"record.formats[3].leftMargin", 7},
                  {"record.formats[3].rightMargin", 87}, {"record.formats[3].cutSheetPosAdjust", 8},
                  {"custom.formats[0].contFrontCustom", 0}, {"custom.formats[0].contRearCustom", 0},
                  {"custom.formats[0].cutSheetCustom", 0}, {"custom.formats[0].postcardCustom", 0},
                  {"custom.formats[1].contFrontCustom", 0}, {"custom.formats[1].contRearCustom", 0},
                  {"custom.formats[1].cutSheetCustom", 0}, {"custom.formats[1].postcardCustom", 0},
                  {"custom.formats[2].contFrontCustom", 0}, {"custom.formats[2].contRearCustom", 0},
                  {"custom.formats[2].cutSheetCustom", 0}, {"custom.formats[2].postcardCustom", 0},
                  {"custom.formats[3].contFrontCustom", 17}, {"custom.formats[3].contRearCustom", 18},
                  {"custom.formats[3].cutSheetCustom", 19}, {"custom.formats[3].postcardCustom", 21}},
                 "whole block");
    EXPECT_EQ(SwitchBytesLoaded(&d.record), 1);
}

// The decoder writes every field and all twenty custom values: two
// destinations with different old contents end up byte-identical.
TEST(DecodeBlock, OverwritesEverything) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 50; ++round) {
        uint8_t block[kSettingsBlockSize];
        for (uint8_t& byte : block) byte = static_cast<uint8_t>(random());
        block[0] = 1;
        block[1] = 4;
        Decoded a = Sentinel();
        Decoded b;
        std::memset(&b, 0, sizeof b);
        ASSERT_EQ(DecodeSettingsBlock(block, &a.record, &a.custom), 1);
        ASSERT_EQ(DecodeSettingsBlock(block, &b.record, &b.custom), 1);
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "round " << round;
    }
}

// Only the listed offsets are interpreted: filling every other byte changes nothing.
TEST(DecodeBlock, UnlistedBytesAreIgnored) {
    const size_t listed[] = {0,  1,  2,  3,  4,  5,  6,  7,  20, 21, 22, 23, 24, 25, 26, 27, 28,
                             29, 30, 60, 61, 64, 68, 69, 70, 71, 72, 73, 74, 75, 76, 80, 81, 82,
                             83, 84, 85, 86, 87, 91, 92, 93, 94, 95, 96, 97, 98, 102, 103, 104,
                             105, 106, 107, 108, 109};
    uint8_t clean[kSettingsBlockSize];
    MarkedBlock(clean, {{25, 66}, {28, 46}, {71, 136}});
    uint8_t noisy[kSettingsBlockSize];
    std::memset(noisy, 0xEE, sizeof noisy);
    for (size_t offset : listed) noisy[offset] = clean[offset];

    Decoded a = Sentinel();
    Decoded b = Sentinel();
    ASSERT_EQ(DecodeSettingsBlock(clean, &a.record, &a.custom), 1);
    ASSERT_EQ(DecodeSettingsBlock(noisy, &b.record, &b.custom), 1);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
}

struct MarkCase {
    const char* label;
    uint8_t byte0;
    uint8_t byte1;
};

const MarkCase kWrongMarks[] = {
    {"1, 5", 1, 5}, {"0, 4", 0, 4}, {"4, 1", 4, 1}, {"0, 0", 0, 0},
    {"2, 4", 2, 4}, {"1, 3", 1, 3}, {"0xFF, 0xFF", 0xFF, 0xFF}, {"1, 0", 1, 0},
};

// A block without its format marks is refused and leaves the destination and
// the custom values exactly as they were.
TEST(DecodeBlock, WrongFormatMarksTouchNothing) {
    for (const MarkCase& c : kWrongMarks) {
        uint8_t block[kSettingsBlockSize];
        MarkedBlock(block, {{4, 0}, {5, 0}, {6, 2}, {7, 0}, {26, 46}, {25, 66}});
        block[0] = c.byte0;
        block[1] = c.byte1;
        Decoded d;
        LoadDefaultSettings(&d.record);
        InvalidateSettings(&d.record);
        std::memset(&d.custom, 0x4D, sizeof d.custom);
        const Decoded before = d;
        EXPECT_EQ(DecodeSettingsBlock(block, &d.record, &d.custom), 0) << c.label;
        EXPECT_EQ(std::memcmp(&d, &before, sizeof d), 0) << c.label;
        EXPECT_EQ(SwitchBytesLoaded(&d.record), 0) << c.label;
    }
}

struct LoadedCase {
    const char* label;
    uint8_t switches[4];
    int loaded;
};

const LoadedCase kLoadedCases[] = {
    {"factory switches", {0x00, 0x00, 0x02, 0x00}, 1},
    {"0xFF in switch byte 1", {0x00, 0xFF, 0x02, 0x00}, 0},
    {"0xFF in switch byte 3", {0x10, 0x20, 0x02, 0xFF}, 0},
    {"0xFE everywhere", {0xFE, 0xFE, 0xFE, 0xFE}, 1},
};

TEST(DecodeBlock, LoadedMarkerFollowsTheSwitchBytes) {
    for (const LoadedCase& c : kLoadedCases) {
        uint8_t block[kSettingsBlockSize];
        MarkedBlock(block, {{4, c.switches[0]}, {5, c.switches[1]}, {6, c.switches[2]}, {7, c.switches[3]}});
        Decoded d = Sentinel();
        EXPECT_EQ(DecodeSettingsBlock(block, &d.record, &d.custom), 1) << c.label;
        EXPECT_EQ(SwitchBytesLoaded(&d.record), c.loaded) << c.label;
    }
}

// Any block at all decodes without undefined behaviour (the native build runs
// under the address and undefined-behaviour sanitizers), marks or not.
TEST(DecodeBlock, ArbitraryBlocks) {
    std::mt19937 random(7);
    int decoded = 0;
    for (int round = 0; round < 2000; ++round) {
        uint8_t block[kSettingsBlockSize];
        for (uint8_t& byte : block) byte = static_cast<uint8_t>(random());
        if (round % 2 == 0) {
            block[0] = 1;
            block[1] = 4;
        }
        Decoded d = Sentinel();
        const int result = DecodeSettingsBlock(block, &d.record, &d.custom);
        EXPECT_EQ(result, (block[0] == 1 && block[1] == 4) ? 1 : 0) << "round " << round;
        decoded += result;
        if (result == 1) {
            // Rows stay within their tables (custom row included), flags 0/1.
            EXPECT_LE(d.record.contFrontFeed, 8);
            EXPECT_LE(d.record.cutSheetFeed, 9);
            EXPECT_LE(d.record.postcardFeed, 9);
            EXPECT_LE(d.record.reduction, 4);
            EXPECT_LE(d.record.formatSelect, 4);
            EXPECT_LE(d.record.typeface, 1);
            EXPECT_LE(d.record.kanjiTable, 3);
            EXPECT_LE(d.record.headCenterCut, 127);
        }
    }
    EXPECT_GE(decoded, 1000);
}

}  // namespace
