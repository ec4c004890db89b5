// Codes of the Font and Print pages that need no window: the international
// character set rows, the font and reduction lists and the fine adjustments.
#include <gtest/gtest.h>

#include <cstring>

#include "font_print_pure.h"

namespace {

TEST(FontPrintPure, CharsetRowOfEveryCodeAndTheOtherBitsIgnored) {
    // code in bits 0..2 -> row; codes 1, 6, 7 have no row of their own.
    const int expected[8] = {0, 4, 1, 2, 3, 4, 4, 4};
    for (int code = 0; code < 8; ++code) {
        for (uint8_t high : {0x00, 0xF8, 0x50}) {
            EXPECT_EQ(CharsetRowOf(static_cast<uint8_t>(high | code)), expected[code])
                << "code " << code << " with bits 3..7 = " << int(high);
        }
    }
}

struct CharsetStoreCase {
    const char* label;
    uint8_t before;
    int row;
    uint8_t after;
};

const CharsetStoreCase kCharsetStores[] = {
    {"Japan clears the code", 0xF5, 0, 0xF0},
    {"USA is 2", 0x00, 1, 0x02},
    {"UK is 3", 0x07, 2, 0x03},
    {"Germany is 4", 0x81, 3, 0x84},
    {"Sweden is 5", 0x01, 4, 0x05},
    {"no selection writes 0", 0x3B, -1, 0x38},
    {"a row past the list writes 0", 0x0C, 5, 0x08},
};

TEST(FontPrintPure, CharsetStoreWritesOnlyBitsZeroToTwo) {
    for (const CharsetStoreCase& c : kCharsetStores) {
        EXPECT_EQ(StoreCharsetRow(c.before, c.row), c.after) << c.label;
    }
    // Showing a code and storing its row again: the loading rule turns 1, 6
    // and 7 into Sweden (5); the five listed codes survive.
    const uint8_t roundTrip[8] = {0, 5, 2, 3, 4, 5, 5, 5};
    for (uint8_t code = 0; code < 8; ++code) {
        EXPECT_EQ(StoreCharsetRow(static_cast<uint8_t>(0xA8 | code), CharsetRowOf(code)), 0xA8 | roundTrip[code])
            << "code " << int(code);
    }
}

TEST(FontPrintPure, FontAndReductionRows) {
    const struct {
        int32_t value;
        int row;
    } cases[] = {{0, 0}, {4, 4}, {5, kNoRow}, {15, kNoRow}, {-1, kNoRow}, {0x100, kNoRow}};
    for (const auto& c : cases) {
        EXPECT_EQ(FontRowOf(c.value), c.row) << "font " << c.value;
        EXPECT_EQ(ReductionRowOf(c.value), c.row) << "reduction " << c.value;
    }
    EXPECT_EQ(StoredRowOr(3, 15), 3);
    EXPECT_EQ(StoredRowOr(kNoRow, 15), 15) << "a value no row shows survives a store";
}

struct FineCase {
    const char* label;
    const FineList* list;
    int32_t value;
    const char* shown;
};

const FineCase kFineCases[] = {
    {"pressure +3", &kPressureList, 3, "+3"},
    {"pressure 0", &kPressureList, 0, "0"},
    {"pressure -1", &kPressureList, 255, "-1"},
    {"pressure -6", &kPressureList, 250, "-6"},
    {"pressure 4 is in no row", &kPressureList, 4, "0"},
    {"pressure 249 is in no row", &kPressureList, 249, "0"},
    {"pressure: only the low byte counts", &kPressureList, 0x1FE, "-2"},
    {"pressure: a sign-extended -3", &kPressureList, -3, "-3"},
    {"position 0", &kPositionList, 0, "0mm"},
    {"position +1.3", &kPositionList, 3, "+1.3mm"},
    {"position -0.4", &kPositionList, 255, "-0.4mm"},
    {"position -1.3", &kPositionList, 253, "-1.3mm"},
    {"position 5 is in no row", &kPositionList, 5, "0mm"},
    {"position 252 is in no row", &kPositionList, 252, "0mm"},
};

TEST(FontPrintPure, FineRowOfShowsTheLowByteOrTheZeroRow) {
    for (const FineCase& c : kFineCases) {
        const int row = FineRowOf(*c.list, c.value);
        ASSERT_GE(row, 0) << c.label;
        ASSERT_LT(row, c.list->count) << c.label;
        EXPECT_STREQ(c.list->rows[row].text, c.shown) << c.label;
    }
}

TEST(FontPrintPure, FineListsStoreTheSignedStepsAsLowBytes) {
    const int32_t pressure[] = {3, 2, 1, 0, 255, 254, 253, 252, 251, 250};
    const int32_t position[] = {0, 1, 2, 3, 255, 254, 253};
    ASSERT_EQ(kPressureList.count, 10);
    ASSERT_EQ(kPositionList.count, 7);
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(FineValueOfRow(kPressureList, row), pressure[row]) << "pressure row " << row;
        EXPECT_EQ(FineRowOf(kPressureList, pressure[row]), row) << "pressure row " << row;
    }
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(FineValueOfRow(kPositionList, row), position[row]) << "position row " << row;
        EXPECT_EQ(FineRowOf(kPositionList, position[row]), row) << "position row " << row;
    }
    EXPECT_EQ(FineValueOfRow(kPressureList, kNoRow), 0) << "no selection stores 0";
    EXPECT_EQ(FineValueOfRow(kPositionList, 7), 0) << "past the list stores 0";
}

}  // namespace
