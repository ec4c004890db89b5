// The stand-in SRM's reading of the update command: which areas it takes for
// well-formed, and where each field lands in the printer's block.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "codec.h"
#include "update_command.h"

namespace {

const std::vector<int>& CarriedBytes() {
    static const std::vector<int> bytes = [] {
        std::vector<int> b = {4, 5, 6, 7, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 3, 2, 60, 61, 64, 68};
        for (int base : {69, 80, 91, 102}) {
            for (int i = 0; i < 8; ++i) b.push_back(base + i);
        }
        return b;
    }();
    return bytes;
}

std::vector<uint8_t> CommandOf(const SettingsRecord& record, const CustomFeedTable& custom) {
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    std::vector<uint8_t> area(kCommandAreaSize);
    BuildUpdateCommand(block, area.data());
    return area;
}

std::vector<uint8_t> DefaultCommand() {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    return CommandOf(record, custom);
}

TEST(SrmCommandTable, FieldsSeparatorsAndMarksCoverTheCommandOnce) {
    size_t count = 0;
    const CommandField* fields = UpdateCommandFields(&count);
    std::vector<int> cover(kUpdateCommandSize, 0);
    for (int i = 0; i < 4; ++i) ++cover[i];  // FS, "o", "0", comma
    std::set<int> bytes;
    std::vector<int> commas;
    for (size_t i = 0; i < count; ++i) {
        const CommandField& f = fields[i];
        for (int k = 0; k < f.width; ++k) ++cover[f.position + k];
        const size_t after = f.position + f.width;
        if (i + 1 < count && fields[i + 1].position != after) {
            ++cover[after];
            commas.push_back(static_cast<int>(after));
        }
        bytes.insert(f.blockByte);
        if (i > 0) {
            EXPECT_GT(f.position, fields[i - 1].position) << "fields in command order";
        }
    }
    ++cover[kUpdateCommandSize - 1];  // the full stop
    for (size_t p = 0; p < cover.size(); ++p) EXPECT_EQ(cover[p], 1) << "position " << p;
    EXPECT_EQ(bytes, std::set<int>(CarriedBytes().begin(), CarriedBytes().end()));
    // Every comma of the default command is where the table puts one.
    const std::vector<uint8_t> area = DefaultCommand();
    for (int p : commas) EXPECT_EQ(area[p], ',') << p;
}

TEST(SrmCommand, DefaultCommandAppliesToTheDefaultBytes) {
    const std::vector<uint8_t> area = DefaultCommand();
    ASSERT_EQ(IsWellFormedUpdateCommand(area.data(), area.size()), 1);
    uint8_t block[kSettingsBlockSize];
    std::memset(block, 0xEE, sizeof block);
    ASSERT_EQ(ApplyUpdateCommand(area.data(), area.size(), block), 1);
    struct Byte {
        int offset;
        uint8_t value;
    };
    const Byte expected[] = {
        {0, 0xEE}, {1, 0xEE}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 2}, {7, 0}, {8, 0xEE}, {19, 0xEE},
        {20, 0}, {21, 0xEE & 0x3C}, {22, 0xA8}, {23, 36}, {24, 96}, {25, 66}, {26, 120}, {27, 120}, {28, 46},
        {29, 54}, {30, 0}, {31, 0xEE}, {60, 0}, {61, 0}, {62, 0xEE}, {64, 0}, {68, 0}, {69, 66}, {70, 0},
        {71, 136}, {72, 120}, {73, 120}, {74, 46}, {75, 54}, {76, 0}, {77, 0xEE}, {109, 0}, {110, 0xEE},
        {259, 0xEE},
    };
    for (const Byte& b : expected) EXPECT_EQ(block[b.offset], b.value) << "byte " << b.offset;
}

TEST(SrmCommand, SizeAndNullAreChecked) {
    std::vector<uint8_t> area = DefaultCommand();
    area.resize(300, 0);
    for (size_t size : {0u, 195u, 259u, 261u, 300u}) {
        EXPECT_EQ(IsWellFormedUpdateCommand(area.data(), size), 0) << size;
    }
    EXPECT_EQ(IsWellFormedUpdateCommand(nullptr, kCommandAreaSize), 0);
    // The bytes after the command are not part of it.
    for (size_t i = kUpdateCommandSize; i < kCommandAreaSize; ++i) area[i] = 0xFF;
    EXPECT_EQ(IsWellFormedUpdateCommand(area.data(), kCommandAreaSize), 1);
}

// Every single-byte change of the default command is either refused or is a
// command the encoder itself could have written for the block it gives.
TEST(SrmCommand, AcceptedMutationsAreExactlyWhatTheBlockEncodesTo) {
    const std::vector<uint8_t> good = DefaultCommand();
    int accepted = 0;
    for (size_t position = 0; position < kUpdateCommandSize; ++position) {
        for (int value = 0; value < 256; ++value) {
            if (value == good[position]) continue;
            std::vector<uint8_t> area = good;
            area[position] = static_cast<uint8_t>(value);
            uint8_t block[kSettingsBlockSize] = {};
            uint8_t untouched[kSettingsBlockSize] = {};
            const int applied = ApplyUpdateCommand(area.data(), area.size(), block);
            ASSERT_EQ(applied, IsWellFormedUpdateCommand(area.data(), area.size()));
            if (!applied) {
                ASSERT_EQ(std::memcmp(block, untouched, sizeof block), 0) << "refused, yet changed";
                continue;
            }
            ++accepted;
            uint8_t rebuilt[kCommandAreaSize];
            BuildUpdateCommand(block, rebuilt);
            ASSERT_EQ(std::memcmp(rebuilt, area.data(), kUpdateCommandSize), 0)
                << "position " << position << " value " << value;
        }
    }
    // The eight raw nibbles alone allow 8 x 15 other values: the round trip
    // above ran on many accepted commands, not on none.
    EXPECT_GT(accepted, 500);
}

// Records across the whole valid ranges: encoded, built, applied to a random
// printer block, they give the encoded bytes where the command carries them
// and the printer's own bytes everywhere else.
TEST(SrmCommand, RandomRecordsRoundTripThroughThePrinterBlock) {
    std::mt19937 random(20240611);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto pickOf = [&random](std::initializer_list<int> values) {
        std::vector<int> v(values);
        return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(random)];
    };
    for (int round = 0; round < 2000; ++round) {
        SettingsRecord r;
        LoadDefaultSettings(&r);
        CustomFeedTable c = {};
        for (uint8_t& s : r.switches) s = static_cast<uint8_t>(pick(0, 255));
        r.paperSetCenter = pick(0, 1);
        r.postcardMode = pick(0, 1);
        r.headCenterCut = pick(10, 68);
        r.headCenterFront = pick(10, 68);
        r.headCenterRear = pick(68, 126);
        r.paperThickness = pick(0, 12);
        r.contFrontFeed = pick(0, 8);
        r.contRearFeed = pick(0, 8);
        r.cutSheetFeed = pick(0, 9);
        r.postcardFeed = pick(0, 9);
        r.pageLength = pick(1, 99);
        r.cutSheetPosAdjust = pick(0, 68);
        r.formatSelect = pick(0, 4);
        r.typeface = pick(0, 1);
        r.font1 = pick(0, 4);
        r.font2 = pick(0, 4);
        r.kanjiTable = pick(0, 2);
        r.reduction = pick(0, 4);
        r.quietPrint = pick(0, 1);
        r.printPressure = pickOf({0, 1, 2, 3, 250, 251, 252, 253, 254, 255});
        r.printPosition = pickOf({0, 1, 2, 3, 253, 254, 255});
        for (FormatRecord& f : r.formats) {
            f.pageLength = pick(1, 99);
            f.contFrontFeed = pick(0, 8);
            f.contRearFeed = pick(0, 8);
            f.cutSheetFeed = pick(0, 9);
            f.postcardFeed = pick(0, 9);
            f.leftMargin = pick(0, 135);
            f.rightMargin = pick(1, 136);
            f.cutSheetPosAdjust = pick(0, 68);
        }
        CustomFeedSet* sets[5] = {&c.record, &c.formats[0], &c.formats[1], &c.formats[2], &c.formats[3]};
        for (CustomFeedSet* set : sets) {
            set->contFrontCustom = pick(0, 255);
            set->contRearCustom = pick(0, 255);
            set->cutSheetCustom = pick(0, 255);
            set->postcardCustom = pick(0, 255);
        }
        uint8_t encoded[kSettingsBlockSize];
        EncodeSettings(r, c, encoded);
        std::vector<uint8_t> area(kCommandAreaSize);
        BuildUpdateCommand(encoded, area.data());

        uint8_t printer[kSettingsBlockSize];
        for (uint8_t& b : printer) b = static_cast<uint8_t>(pick(0, 255));
        uint8_t expected[kSettingsBlockSize];
        std::memcpy(expected, printer, sizeof expected);
        for (int byte : CarriedBytes()) expected[byte] = encoded[byte];
        expected[21] = static_cast<uint8_t>((encoded[21] & ~0x3C) | (printer[21] & 0x3C));

        ASSERT_EQ(ApplyUpdateCommand(area.data(), area.size(), printer), 1) << "round " << round;
        ASSERT_EQ(std::memcmp(printer, expected, sizeof printer), 0) << "round " << round;
    }
}

}  // namespace
