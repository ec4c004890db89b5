// Block -> record -> block over many generated printer blocks, and the
// stability of the command built from a decoded record.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "codec.h"

namespace {

// Feed values of the three tables, so that generated feed bytes hit table
// rows as often as custom values.
const uint8_t kFeedValues[] = {0, 15, 20, 28, 30, 40, 46, 54, 60, 120};

// A block as the printer could report it: marks 1, 4, switch bytes without
// 0xFF, every other byte random; feed bytes half the time a table value.
void GenerateBlock(std::mt19937& random, uint8_t block[kSettingsBlockSize]) {
    for (size_t i = 0; i < kSettingsBlockSize; ++i) block[i] = static_cast<uint8_t>(random());
    block[0] = 1;
    block[1] = 4;
    for (size_t i = 4; i <= 7; ++i) {
        if (block[i] == 0xFF) block[i] = static_cast<uint8_t>(random() % 0xFF);
    }
    const size_t feeds[] = {26,  27,  28,  29,  72,  73,  74,  75,  83,  84,
                            85,  86,  94,  95,  96,  97,  105, 106, 107, 108};
    for (size_t offset : feeds) {
        if (random() % 2 == 0) block[offset] = kFeedValues[random() % sizeof kFeedValues];
    }
    // Small codes often enough to cover the in-range paths.
    if (random() % 2 == 0) block[2] = static_cast<uint8_t>(random() % 9);
    if (random() % 2 == 0) block[3] = static_cast<uint8_t>(random() % 3);
    if (random() % 2 == 0) block[68] = static_cast<uint8_t>(random() % 6);
}

uint8_t CanonicalReduction(uint8_t code) {
    return (code == 1 || code == 3 || code == 5 || code == 7) ? code : 0;
}

std::string BuildFrom(const uint8_t block[kSettingsBlockSize]) {
    uint8_t area[kCommandAreaSize];
    std::memset(area, 0xCC, sizeof area);
    BuildUpdateCommand(block, area);
    return std::string(reinterpret_cast<const char*>(area), sizeof area);
}

TEST(CodecRoundTrip, GeneratedBlocks) {
    std::mt19937 random(0x550);
    int customSeen = 0;
    int rowSeen = 0;
    for (int round = 0; round < 3000; ++round) {
        uint8_t block[kSettingsBlockSize];
        GenerateBlock(random, block);
        SettingsRecord record;
        CustomFeedTable custom;
        ASSERT_EQ(DecodeSettingsBlock(block, &record, &custom), 1);
        ASSERT_EQ(SwitchBytesLoaded(&record), 1) << "round " << round;
        customSeen += record.cutSheetFeed == 9;
        rowSeen += record.cutSheetFeed != 9;

        uint8_t back[kSettingsBlockSize];
        EncodeSettings(record, custom, back);
        const std::string label = "round " + std::to_string(round);

        // Bytes carried unchanged.
        const size_t same[] = {4,  5,  6,  7,  22, 23, 24, 25, 26, 27, 28, 29, 30, 60, 61,
                               64, 69, 70, 71, 72, 73, 74, 75, 76, 80, 81, 82, 83, 84, 85,
                               86, 87, 91, 92, 93, 94, 95, 96, 97, 98, 102, 103, 104, 105, 106,
                               107, 108, 109};
        for (size_t offset : same) EXPECT_EQ(back[offset], block[offset]) << label << " offset " << offset;
        // Fonts keep three bits each; bits 2-5 of the flags are dropped.
        EXPECT_EQ(back[20], block[20] & 0x77) << label;
        EXPECT_EQ(back[21], block[21] & 0xC3) << label;
        // Typeface, reduction code and selected format come back canonical.
        EXPECT_EQ(back[3], block[3] != 0 ? 1 : 0) << label;
        EXPECT_EQ(back[2], CanonicalReduction(block[2])) << label;
        EXPECT_EQ(back[68], (block[68] >= 1 && block[68] <= 4) ? block[68] : 0) << label;
        // Nothing else: marks and uninterpreted bytes are 0.
        const size_t zero[] = {0, 1, 8, 19, 31, 59, 62, 63, 65, 67, 77, 79, 88, 90, 99, 101, 110, 259};
        for (size_t offset : zero) EXPECT_EQ(back[offset], 0) << label << " offset " << offset;

        // The command built from the decoded record equals the one built from
        // the printer's block except where the decoder canonicalises a value
        // the command would have sent differently: the fonts (three bits
        // kept) and the typeface (any nonzero byte is Gothic).
        const std::string direct = BuildFrom(block);
        const std::string command = BuildFrom(back);
        for (size_t i = 0; i < kCommandAreaSize; ++i) {
            if (i == 16 || i == 18 || i == 60) continue;
            EXPECT_EQ(command[i], direct[i]) << label << " position " << i;
        }
        EXPECT_EQ(command[60], block[3] != 0 ? '1' : '0') << label;

        // Stable: decoding the encoded block again gives the same block and command.
        uint8_t again[kSettingsBlockSize];
        std::memcpy(again, back, sizeof again);
        again[0] = 1;
        again[1] = 4;
        SettingsRecord record2;
        CustomFeedTable custom2;
        ASSERT_EQ(DecodeSettingsBlock(again, &record2, &custom2), 1);
        uint8_t back2[kSettingsBlockSize];
        EncodeSettings(record2, custom2, back2);
        EXPECT_EQ(std::memcmp(back2, back, sizeof back), 0) << label;
        EXPECT_EQ(BuildFrom(back2), command) << label;
        if (HasFailure()) break;
    }
    // The generator exercised both the table rows and the custom values.
    EXPECT_GT(customSeen, 500);
    EXPECT_GT(rowSeen, 500);
}

// The custom values read from the printer are what carries a feed position
// that fits no row back to it.
TEST(CodecRoundTrip, CustomValuesComeFromTheSameRead) {
    uint8_t block[kSettingsBlockSize] = {};
    block[0] = 1;
    block[1] = 4;
    block[26] = 46;   // not in table A
    block[28] = 54;   // not in table B
    block[29] = 46;   // not in table C
    block[108] = 37;  // format 4 postcard
    SettingsRecord record;
    CustomFeedTable custom;
    ASSERT_EQ(DecodeSettingsBlock(block, &record, &custom), 1);

    uint8_t back[kSettingsBlockSize];
    EncodeSettings(record, custom, back);
    EXPECT_EQ(back[26], 46);
    EXPECT_EQ(back[28], 54);
    EXPECT_EQ(back[29], 46);
    EXPECT_EQ(back[108], 37);

    // Encoding the same record with cleared custom values sends 0 for them.
    CustomFeedTable cleared;
    ClearCustomFeeds(&cleared);
    EncodeSettings(record, cleared, back);
    EXPECT_EQ(back[26], 0);
    EXPECT_EQ(back[28], 0);
    EXPECT_EQ(back[29], 0);
    EXPECT_EQ(back[108], 0);
}

// Arbitrary records: encode, decode, encode gives the same block.
TEST(CodecRoundTrip, EncodedBlocksAreFixedPoints) {
    std::mt19937 random(42);
    for (int round = 0; round < 1000; ++round) {
        uint8_t raw[sizeof(SettingsRecord) + sizeof(CustomFeedTable)];
        for (uint8_t& byte : raw) byte = static_cast<uint8_t>(random());
        SettingsRecord record;
        CustomFeedTable custom;
        std::memcpy(&record, raw, sizeof record);
        std::memcpy(&custom, raw + sizeof record, sizeof custom);

        uint8_t first[kSettingsBlockSize];
        EncodeSettings(record, custom, first);
        first[0] = 1;
        first[1] = 4;
        SettingsRecord decoded;
        CustomFeedTable decodedCustom;
        ASSERT_EQ(DecodeSettingsBlock(first, &decoded, &decodedCustom), 1);
        uint8_t second[kSettingsBlockSize];
        EncodeSettings(decoded, decodedCustom, second);
        second[0] = 1;
        second[1] = 4;
        EXPECT_EQ(std::memcmp(first, second, sizeof first), 0) << "round " << round;
        if (HasFailure()) break;
    }
}

}  // namespace
