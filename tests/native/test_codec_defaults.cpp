#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codec.h"

TEST(UpdateCommand, DefaultsEncodeToTheFactoryCommand) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    uint8_t block[kSettingsBlockSize];
    uint8_t area[kCommandAreaSize];
    EncodeSettings(record, custom, block);
    BuildUpdateCommand(block, area);

    std::string expected("\x1c" "o0,", 4);
    expected += std::string("\x00\x00,\x00\x00,\x02\x00,\x00\x00,", 12);
    expected += "0,0,0,0,0,1,40,36,096,66,120,120,046,054,00,0,0,00,00,00,0";
    for (int k = 0; k < 4; ++k) expected += ",66,000,136,120,120,046,054,00";
    expected += ".";
    ASSERT_EQ(expected.size(), kUpdateCommandSize);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(area), kUpdateCommandSize), expected);
    for (size_t i = kUpdateCommandSize; i < kCommandAreaSize; ++i) EXPECT_EQ(area[i], 0) << i;
}
