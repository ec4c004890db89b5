// The settings catalogue against the codec: every entry's default and the
// ends of its range or list survive the block, and land in the bytes the
// entry names; keys and controls are each entry's own.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "catalogue.h"

namespace {

// The lowest and the highest value the page accepts for an entry, where the
// block can carry both.
std::vector<int32_t> EndsOf(const SettingDef& def) {
    switch (def.kind) {
    case SettingNumber: return {static_cast<int32_t>(def.rule->low), static_cast<int32_t>(def.rule->high)};
    case SettingChoice: return {0, def.texts[2] ? 2 : 1};
    case SettingCheck:
    case SettingBit:
    case SettingCheckBit: return {0, 1};
    case SettingFeed: return {0, FeedTableRows(def.feedTable) - 1};
    case SettingCustomFeed: return {1, 255};
    case SettingList: return {0, def.rowCount - 1};
    case SettingFine: return {def.fine->rows[0].stored, def.fine->rows[def.fine->count - 1].stored};
    case SettingCharset: return {0, 5};
    case SettingOtherBits: return {0, static_cast<int32_t>(OtherSwitchMask())};
    }
    return {};
}

PrinterSettings ThroughBlock(const PrinterSettings& settings, uint8_t block[kSettingsBlockSize]) {
    EncodeSettings(settings.record, settings.custom, block);
    block[0] = 1;
    block[1] = 4;
    PrinterSettings back = {};
    EXPECT_EQ(DecodeSettingsBlock(block, &back.record, &back.custom), 1);
    return back;
}

}  // namespace

TEST(Catalogue, DefaultsAndRangeEndsSurviveTheBlockInTheEntrysBytes) {
    const PrinterSettings defaults = DefaultPrinterSettings();
    uint8_t defaultBlock[kSettingsBlockSize];
    const PrinterSettings defaultsBack = ThroughBlock(defaults, defaultBlock);
    for (int i = 0; i < SettingCount(); ++i) {
        const SettingDef& def = SettingDefOf(i);
        const std::string key = def.key + std::to_string(i);
        EXPECT_EQ(GetSettingValue(i, defaults), def.defaultValue) << key;
        EXPECT_EQ(GetSettingValue(i, defaultsBack), def.defaultValue) << key;
        EXPECT_TRUE(SettingValueAccepted(i, def.defaultValue)) << key;
        for (int32_t end : EndsOf(def)) {
            ASSERT_TRUE(SettingValueAccepted(i, end)) << key << " " << end;
            PrinterSettings changed = defaults;
            // A custom position goes into the block only with its feed on the custom row.
            if (def.kind == SettingCustomFeed) SetSettingValue(i - 1, &changed, FeedCustomRow(def.feedTable));
            SetSettingValue(i, &changed, end);
            uint8_t block[kSettingsBlockSize];
            EXPECT_EQ(GetSettingValue(i, ThroughBlock(changed, block)), end) << key << " " << end;
            const int offset = SettingBlockOffset(i);
            for (int b = 2; b < static_cast<int>(kSettingsBlockSize); ++b) {
                if (block[b] != defaultBlock[b]) {
                    EXPECT_TRUE(b >= offset && b < offset + def.blockBytes) << key << " " << end << " byte " << b;
                }
            }
        }
    }
}

TEST(Catalogue, KeysFindTheirEntryAndShownSettingsNameTheirControl) {
    std::set<int> controls;
    for (int i = 0; i < SettingCount(); ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        const std::string key = format < 0 ? def.key : "format" + std::to_string(format + 1) + "." + def.key;
        EXPECT_EQ(SettingIndex(key.c_str()), i) << key;
        if (def.kind == SettingCustomFeed || def.kind == SettingOtherBits || format > 0) continue;
        EXPECT_NE(def.controlId, 0) << key;
        EXPECT_TRUE(controls.insert(def.controlId).second) << key << " shares control " << def.controlId;
        if (def.kind == SettingNumber) {
            EXPECT_NE(def.spinId, 0) << key;
        }
    }
}

TEST(Catalogue, StoreFormatWritesOnlyTheFormatItNames) {
    LoadDefaultSettings();
    const SettingsRecord before = Settings;
    FormatRecord edited;
    std::memset(&edited, 0x5A, sizeof edited);
    StoreFormat(4, edited);
    StoreFormat(-1, edited);
    EXPECT_EQ(std::memcmp(&before, &Settings, sizeof before), 0);
    StoreFormat(3, edited);
    SettingsRecord expected = before;
    expected.formats[3] = edited;
    EXPECT_EQ(std::memcmp(&expected, &Settings, sizeof expected), 0);
}
