#include "update_command.h"

#include <cstring>

namespace {

constexpr uint8_t kFs = 0x1C;
constexpr size_t kEndMark = kUpdateCommandSize - 1;  // position of the final "."

// The eight fields of one stored format, command position p, block base b.
#define RP_FORMAT_FIELDS(p, b)                                      \
    {(p), 2, FieldDecimal, nullptr, 99, (b), 0xFF, 0},              \
    {(p) + 3, 3, FieldDecimal, nullptr, 255, (b) + 1, 0xFF, 0},     \
    {(p) + 7, 3, FieldDecimal, nullptr, 255, (b) + 2, 0xFF, 0},     \
    {(p) + 11, 3, FieldDecimal, nullptr, 255, (b) + 3, 0xFF, 0},    \
    {(p) + 15, 3, FieldDecimal, nullptr, 255, (b) + 4, 0xFF, 0},    \
    {(p) + 19, 3, FieldDecimal, nullptr, 255, (b) + 5, 0xFF, 0},    \
    {(p) + 23, 3, FieldDecimal, nullptr, 255, (b) + 6, 0xFF, 0},    \
    {(p) + 27, 2, FieldDecimal, nullptr, 99, (b) + 7, 0xFF, 0}

// Position 0..3 hold FS, "o", "0" and a comma; everything else is a field.
constexpr CommandField kFields[] = {
    // switch bytes 0..3: low nibble, then high nibble, as raw bytes
    {4, 1, FieldNibble, nullptr, 0, 4, 0x0F, 0},
    {5, 1, FieldNibble, nullptr, 0, 4, 0xF0, 4},
    {7, 1, FieldNibble, nullptr, 0, 5, 0x0F, 0},
    {8, 1, FieldNibble, nullptr, 0, 5, 0xF0, 4},
    {10, 1, FieldNibble, nullptr, 0, 6, 0x0F, 0},
    {11, 1, FieldNibble, nullptr, 0, 6, 0xF0, 4},
    {13, 1, FieldNibble, nullptr, 0, 7, 0x0F, 0},
    {14, 1, FieldNibble, nullptr, 0, 7, 0xF0, 4},
    {16, 1, FieldDigit, "01234", 0, 20, 0x0F, 0},   // font 1
    {18, 1, FieldDigit, "01234", 0, 20, 0xF0, 4},   // font 2
    {20, 1, FieldDigit, "012", 0, 21, 0x03, 0},     // kanji table edition
    {22, 1, FieldDigit, "01", 0, 21, 0x40, 6},      // quiet printing
    {24, 1, FieldDigit, "01", 0, 21, 0x80, 7},      // postcard mode
    {26, 1, FieldDigit, "01", 0, 22, 0x80, 7},      // paper set left
    {28, 2, FieldDecimal, nullptr, 99, 22, 0x7F, 0},   // head centring, cut sheet
    {31, 2, FieldDecimal, nullptr, 99, 23, 0xFF, 0},   // head centring, continuous front
    {34, 3, FieldDecimal, nullptr, 255, 24, 0xFF, 0},  // head centring, continuous rear
    {38, 2, FieldDecimal, nullptr, 99, 25, 0xFF, 0},   // page length
    {41, 3, FieldDecimal, nullptr, 255, 26, 0xFF, 0},  // feed positions, 1/120 inch
    {45, 3, FieldDecimal, nullptr, 255, 27, 0xFF, 0},
    {49, 3, FieldDecimal, nullptr, 255, 28, 0xFF, 0},
    {53, 3, FieldDecimal, nullptr, 255, 29, 0xFF, 0},
    {57, 2, FieldDecimal, nullptr, 99, 30, 0xFF, 0},   // cut-sheet position correction
    {60, 1, FieldDigit, "01", 0, 3, 0xFF, 0},          // typeface
    {62, 1, FieldDigit, "01357", 0, 2, 0xFF, 0},       // reduction code
    {64, 2, FieldDecimal, nullptr, 99, 60, 0xFF, 0},   // paper thickness
    {67, 2, FieldHex, nullptr, 0, 61, 0xFF, 0},        // print pressure
    {70, 2, FieldHex, nullptr, 0, 64, 0xFF, 0},        // print position
    {73, 1, FieldDigit, "01234", 0, 68, 0xFF, 0},      // selected format
    RP_FORMAT_FIELDS(75, 69),
    RP_FORMAT_FIELDS(105, 80),
    RP_FORMAT_FIELDS(135, 91),
    RP_FORMAT_FIELDS(165, 102),
};
#undef RP_FORMAT_FIELDS

constexpr size_t kFieldCount = sizeof kFields / sizeof kFields[0];

int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value a field's text stands for, or -1 when the text is not in the field's form.
int FieldValue(const CommandField& field, const uint8_t* text) {
    switch (field.kind) {
    case FieldNibble:
        return text[0] <= 0x0F ? text[0] : -1;
    case FieldDigit:
        if (text[0] == 0 || std::strchr(field.allowed, text[0]) == nullptr) return -1;
        return text[0] - '0';
    case FieldDecimal: {
        int value = 0;
        for (int i = 0; i < field.width; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value <= field.maximum ? value : -1;
    }
    case FieldHex: {
        const int high = HexValue(text[0]);
        const int low = HexValue(text[1]);
        return (high < 0 || low < 0) ? -1 : high * 16 + low;
    }
    }
    return -1;
}

// Checks the command and collects every field's value; 0 when not well-formed.
int ParseCommand(const uint8_t* area, size_t size, int values[kFieldCount]) {
    if (area == nullptr || size != kCommandAreaSize) return 0;
    if (area[0] != kFs || area[1] != 'o' || area[2] != '0' || area[3] != ',') return 0;
    for (size_t i = 0; i < kFieldCount; ++i) {
        const CommandField& field = kFields[i];
        values[i] = FieldValue(field, area + field.position);
        if (values[i] < 0) return 0;
        const size_t after = static_cast<size_t>(field.position) + field.width;
        const bool last = i + 1 == kFieldCount;
        if (!last && kFields[i + 1].position == after) continue;  // a nibble pair: no comma between
        if (area[after] != (last ? '.' : ',')) return 0;
        if (last && after != kEndMark) return 0;
    }
    return 1;
}

}  // namespace

const CommandField* UpdateCommandFields(size_t* count) {
    *count = kFieldCount;
    return kFields;
}

int IsWellFormedUpdateCommand(const uint8_t* area, size_t size) {
    int values[kFieldCount];
    return ParseCommand(area, size, values);
}

int ApplyUpdateCommand(const uint8_t* area, size_t size, uint8_t block[kSettingsBlockSize]) {
    int values[kFieldCount];
    if (!ParseCommand(area, size, values)) return 0;
    for (size_t i = 0; i < kFieldCount; ++i) {
        const CommandField& field = kFields[i];
        uint8_t& byte = block[field.blockByte];
        const unsigned bits = (static_cast<unsigned>(values[i]) << field.shift) & field.mask;
        byte = static_cast<uint8_t>((byte & ~field.mask) | bits);
    }
    return 1;
}
