// The settings record, its defaults, the loaded marker, the custom feed values
// and the three feed position tables.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "settings.h"

namespace {

// The printer's record is four switch bytes and 53 packed 32-bit fields.
static_assert(sizeof(FormatRecord) == 8 * 4, "a format is eight 32-bit fields");
static_assert(sizeof(SettingsRecord) == 4 + 53 * 4, "four switch bytes and 53 fields, no padding");
static_assert(sizeof(CustomFeedTable) == 20 * 4, "twenty custom feed values");

SettingsRecord Garbage() {
    SettingsRecord record;
    std::memset(&record, 0xA5, sizeof record);
    return record;
}

CustomFeedTable SomeCustomValues() {
    int32_t values[20];
    for (int i = 0; i < 20; ++i) values[i] = 100 + i;
    CustomFeedTable table;
    std::memcpy(&table, values, sizeof table);
    return table;
}

struct FieldDefault {
    const char* label;
    int32_t SettingsRecord::*field;
    int32_t expected;
};

const FieldDefault kRecordDefaults[] = {
    {"paperSetCenter", &SettingsRecord::paperSetCenter, 0},
    {"postcardMode", &SettingsRecord::postcardMode, 0},
    {"headCenterCut", &SettingsRecord::headCenterCut, 40},
    {"headCenterFront", &SettingsRecord::headCenterFront, 36},
    {"headCenterRear", &SettingsRecord::headCenterRear, 96},
    {"paperThickness", &SettingsRecord::paperThickness, 0},
    {"contFrontFeed", &SettingsRecord::contFrontFeed, 7},
    {"contRearFeed", &SettingsRecord::contRearFeed, 7},
    {"cutSheetFeed", &SettingsRecord::cutSheetFeed, 6},
    {"postcardFeed", &SettingsRecord::postcardFeed, 6},
    {"pageLength", &SettingsRecord::pageLength, 66},
    {"cutSheetPosAdjust", &SettingsRecord::cutSheetPosAdjust, 0},
    {"formatSelect", &SettingsRecord::formatSelect, 0},
    {"typeface", &SettingsRecord::typeface, 0},
    {"font1", &SettingsRecord::font1, 0},
    {"font2", &SettingsRecord::font2, 0},
    {"kanjiTable", &SettingsRecord::kanjiTable, 0},
    {"reduction", &SettingsRecord::reduction, 0},
    {"quietPrint", &SettingsRecord::quietPrint, 0},
    {"printPressure", &SettingsRecord::printPressure, 0},
    {"printPosition", &SettingsRecord::printPosition, 0},
};

TEST(SettingsDefaults, EveryFieldOverGarbage) {
    SettingsRecord record = Garbage();
    LoadDefaultSettings(&record);
    EXPECT_EQ(record.switches[0], 0x00);
    EXPECT_EQ(record.switches[1], 0x00);
    EXPECT_EQ(record.switches[2], 0x02);
    EXPECT_EQ(record.switches[3], 0x00);
    for (const FieldDefault& c : kRecordDefaults) EXPECT_EQ(record.*(c.field), c.expected) << c.label;
    for (int k = 0; k < 4; ++k) {
        const FormatRecord& f = record.formats[k];
        SCOPED_TRACE(testing::Message() << "format " << k + 1);
        EXPECT_EQ(f.pageLength, 66);
        EXPECT_EQ(f.contFrontFeed, 7);
        EXPECT_EQ(f.contRearFeed, 7);
        EXPECT_EQ(f.cutSheetFeed, 6);
        EXPECT_EQ(f.postcardFeed, 6);
        EXPECT_EQ(f.leftMargin, 0);
        EXPECT_EQ(f.rightMargin, 136);
        EXPECT_EQ(f.cutSheetPosAdjust, 0);
    }
    EXPECT_EQ(SwitchBytesLoaded(&record), 1);
}

TEST(SettingsDefaults, IdenticalWhateverTheRecordHeldBefore) {
    SettingsRecord fromGarbage = Garbage();
    SettingsRecord fromZero;
    std::memset(&fromZero, 0, sizeof fromZero);
    LoadDefaultSettings(&fromGarbage);
    LoadDefaultSettings(&fromZero);
    EXPECT_EQ(std::memcmp(&fromGarbage, &fromZero, sizeof fromZero), 0);
}

TEST(SettingsDefaults, LeaveTheCustomFeedValuesAlone) {
    SettingsRecord savedSettings = Settings;
    CustomFeedTable savedCustom = CustomFeeds;

    CustomFeeds = SomeCustomValues();
    InvalidateSettings();
    LoadDefaultSettings();  // the program-wide record
    EXPECT_EQ(IsRecordLoaded(), 1);
    EXPECT_EQ(Settings.headCenterRear, 96);
    const CustomFeedTable expected = SomeCustomValues();
    EXPECT_EQ(std::memcmp(&CustomFeeds, &expected, sizeof expected), 0);

    Settings = savedSettings;
    CustomFeeds = savedCustom;
}

struct MarkerCase {
    const char* label;
    uint8_t switches[4];
    int loaded;
};

const MarkerCase kMarkerCases[] = {
    {"factory switches", {0x00, 0x00, 0x02, 0x00}, 1},
    {"all bits but 0xFF", {0xFE, 0x7F, 0xEF, 0xF7}, 1},
    {"0xFF in byte 0", {0xFF, 0x00, 0x02, 0x00}, 0},
    {"0xFF in byte 1", {0x00, 0xFF, 0x02, 0x00}, 0},
    {"0xFF in byte 2", {0x00, 0x00, 0xFF, 0x00}, 0},
    {"0xFF in byte 3", {0x00, 0x00, 0x02, 0xFF}, 0},
    {"two 0xFF bytes", {0xFF, 0x12, 0x34, 0xFF}, 0},
    {"invalidated", {0xFF, 0xFF, 0xFF, 0xFF}, 0},
};

TEST(SettingsLoadedMarker, SwitchBytes) {
    for (const MarkerCase& c : kMarkerCases) {
        SettingsRecord record;
        LoadDefaultSettings(&record);
        std::memcpy(record.switches, c.switches, 4);
        EXPECT_EQ(SwitchBytesLoaded(&record), c.loaded) << c.label;
        EXPECT_EQ(UnsendableSwitchByte(record) < 0, c.loaded == 1) << c.label;
    }
}

TEST(SettingsLoadedMarker, InvalidateTouchesOnlyTheSwitchBytes) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    record.switches[0] = 0x35;
    SettingsRecord before = record;
    InvalidateSettings(&record);
    EXPECT_EQ(SwitchBytesLoaded(&record), 0);
    for (uint8_t byte : record.switches) EXPECT_EQ(byte, 0xFF);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&record) + 4,
                          reinterpret_cast<const uint8_t*>(&before) + 4, sizeof record - 4),
              0);
}

TEST(SettingsLoadedMarker, ProgramWideRecord) {
    SettingsRecord saved = Settings;
    LoadDefaultSettings();
    EXPECT_EQ(IsRecordLoaded(), 1);
    InvalidateSettings();
    EXPECT_EQ(IsRecordLoaded(), 0);
    EXPECT_EQ(Settings.switches[3], 0xFF);
    LoadDefaultSettings();
    Settings.switches[1] = 0xFF;  // as a page may store it: still loaded, but not as read
    EXPECT_EQ(IsRecordLoaded(), 1);
    TakeReadSettings();
    EXPECT_EQ(IsRecordLoaded(), 0);
    Settings = saved;
}

TEST(CustomFeeds, ClearSetsAllTwentyToZero) {
    CustomFeedTable table = SomeCustomValues();
    ClearCustomFeeds(&table);
    int32_t values[20];
    std::memcpy(values, &table, sizeof values);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(values[i], 0) << i;
}

TEST(FeedTables, SizesAndCustomRows) {
    EXPECT_EQ(FeedTableRows(FeedTableA), 8);
    EXPECT_EQ(FeedTableRows(FeedTableB), 9);
    EXPECT_EQ(FeedTableRows(FeedTableC), 9);
    EXPECT_EQ(FeedCustomRow(FeedTableA), 8);
    EXPECT_EQ(FeedCustomRow(FeedTableB), 9);
    EXPECT_EQ(FeedCustomRow(FeedTableC), 9);
}

struct RowCase {
    const char* label;
    FeedTable table;
    int32_t row;
    uint8_t value;
};

// Row -> printer value; 255 is the marker for "use the custom value".
const RowCase kRowToValue[] = {
    {"A row 0", FeedTableA, 0, 0},       {"A row 1", FeedTableA, 1, 15},
    {"A row 2", FeedTableA, 2, 20},      {"A row 3", FeedTableA, 3, 28},
    {"A row 4", FeedTableA, 4, 30},      {"A row 5", FeedTableA, 5, 40},
    {"A row 6", FeedTableA, 6, 60},      {"A row 7", FeedTableA, 7, 120},
    {"A custom row", FeedTableA, 8, 255}, {"A row 9", FeedTableA, 9, 255},
    {"B row 0", FeedTableB, 0, 0},       {"B row 5", FeedTableB, 5, 40},
    {"B row 6", FeedTableB, 6, 46},      {"B row 7", FeedTableB, 7, 60},
    {"B row 8", FeedTableB, 8, 120},     {"B custom row", FeedTableB, 9, 255},
    {"C row 1", FeedTableC, 1, 15},      {"C row 6", FeedTableC, 6, 54},
    {"C row 7", FeedTableC, 7, 60},      {"C row 8", FeedTableC, 8, 120},
    {"C custom row", FeedTableC, 9, 255}, {"C row 10", FeedTableC, 10, 255},
    {"A row -1", FeedTableA, -1, 255},   {"B row -1", FeedTableB, -1, 255},
    {"A INT32_MIN", FeedTableA, INT32_MIN, 255}, {"C INT32_MAX", FeedTableC, INT32_MAX, 255},
    {"B row 256", FeedTableB, 256, 255}, {"A row 263 (low byte 7)", FeedTableA, 263, 255},
};

TEST(FeedTables, RowToValue) {
    for (const RowCase& c : kRowToValue) EXPECT_EQ(FeedValueFromRow(c.table, c.row), c.value) << c.label;
}

struct ValueCase {
    const char* label;
    FeedTable table;
    uint8_t value;
    int row;
    int32_t custom;
};

const ValueCase kValueToRow[] = {
    {"A 0", FeedTableA, 0, 0, 0},
    {"A 15", FeedTableA, 15, 1, 0},
    {"A 40", FeedTableA, 40, 5, 0},
    {"A 46 is not a row", FeedTableA, 46, 8, 46},
    {"A 54 is not a row", FeedTableA, 54, 8, 54},
    {"A 60", FeedTableA, 60, 6, 0},
    {"A 120", FeedTableA, 120, 7, 0},
    {"A 255", FeedTableA, 255, 8, 255},
    {"A 1", FeedTableA, 1, 8, 1},
    {"B 46", FeedTableB, 46, 6, 0},
    {"B 54 is not a row", FeedTableB, 54, 9, 54},
    {"B 60", FeedTableB, 60, 7, 0},
    {"B 120", FeedTableB, 120, 8, 0},
    {"B 121", FeedTableB, 121, 9, 121},
    {"C 54", FeedTableC, 54, 6, 0},
    {"C 46 is not a row", FeedTableC, 46, 9, 46},
    {"C 60", FeedTableC, 60, 7, 0},
    {"C 120", FeedTableC, 120, 8, 0},
    {"C 255", FeedTableC, 255, 9, 255},
};

TEST(FeedTables, ValueToRow) {
    for (const ValueCase& c : kValueToRow) {
        int32_t custom = -12345;
        EXPECT_EQ(FeedRowFromValue(c.table, c.value, &custom), c.row) << c.label;
        EXPECT_EQ(custom, c.custom) << c.label;
    }
}

// Every printer value survives value -> row (+ custom) -> value, and exactly
// the table's own values are matched by a row.
TEST(FeedTables, EveryByteComesBack) {
    const struct {
        const char* label;
        FeedTable table;
        int matchedValues;
    } tables[] = {{"A", FeedTableA, 8}, {"B", FeedTableB, 9}, {"C", FeedTableC, 9}};
    for (const auto& t : tables) {
        int matched = 0;
        for (int v = 0; v <= 255; ++v) {
            int32_t custom = -1;
            const int row = FeedRowFromValue(t.table, static_cast<uint8_t>(v), &custom);
            const uint8_t back = FeedValueFromRow(t.table, row);
            if (custom == 0) {
                ++matched;
                EXPECT_EQ(back, v) << t.label << " value " << v;
            } else {
                EXPECT_EQ(row, FeedCustomRow(t.table)) << t.label << " value " << v;
                EXPECT_EQ(custom, v) << t.label << " value " << v;
                EXPECT_EQ(back, kFeedCustomMarker) << t.label << " value " << v;
            }
        }
        EXPECT_EQ(matched, t.matchedValues) << t.label;
    }
}

}  // namespace
