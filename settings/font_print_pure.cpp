#include "font_print_pure.h"

#include "ids_font_print.h"

namespace {

// The printer's character set codes in list order; code 1 is none of them.
constexpr uint8_t kCharsetCodes[kCharsetRows] = {0, 2, 3, 4, 5};

constexpr int kReductionIcons[kReductionRows] = {
    IDI_REDUCE_NONE, IDI_REDUCE_23_LEFT, IDI_REDUCE_23_CENTER, IDI_REDUCE_45_LEFT, IDI_REDUCE_45_CENTER,
};

}  // namespace

int FontRowOf(int32_t font) {
    return font >= 0 && font < kFontRows ? font : kNoRow;
}

int CharsetRowOf(uint8_t switches0) {
    const uint8_t code = switches0 & kCharsetMask;
    for (int row = 0; row < kCharsetRows; ++row)
        if (kCharsetCodes[row] == code) return row;
    return kCharsetRows - 1;  // 1, 6 and 7 are shown as the last row
}

uint8_t StoreCharsetRow(uint8_t switches0, int row) {
    const uint8_t code = row >= 0 && row < kCharsetRows ? kCharsetCodes[row] : 0;
    return static_cast<uint8_t>((switches0 & ~kCharsetMask) | code);
}

int ReductionIconOf(int32_t row) {
    return ReductionRowOf(row) == kNoRow ? 0 : kReductionIcons[row];
}

int FineRowOf(const FineList& list, int32_t value) {
    const uint8_t low = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    for (int row = 0; row < list.count; ++row)
        if (list.rows[row].stored == low) return row;
    return list.zeroRow;
}

int32_t FineValueOfRow(const FineList& list, int row) {
    return row >= 0 && row < list.count ? list.rows[row].stored : 0;
}

int TypefaceIconOf(bool gothic) {
    return gothic ? IDI_FACE_GOTHIC : IDI_FACE_MINCHO;
}

int SlashedZeroIconOf(bool twoByte, bool ticked) {
    if (twoByte) return ticked ? IDI_ZERO2_SLASHED : IDI_ZERO2_PLAIN;
    return ticked ? IDI_ZERO1_SLASHED : IDI_ZERO1_PLAIN;
}

int DirectionIconOf(bool bidirectional) {
    return bidirectional ? IDI_DIRECTION_BIDIR : IDI_DIRECTION_UNIDIR;
}
