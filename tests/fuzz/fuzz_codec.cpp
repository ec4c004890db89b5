// libFuzzer target for the settings codec. The input is taken two ways:
//  - as a settings block from the printer (padded with zeros or cut to 260
//    bytes), decoded as is and once more with its format marks forced;
//  - as the raw bytes of a settings record and its custom feed values.
// Every command built must have its fixed shape, and decoding what was encoded
// must give the same block again. A violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codec.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

enum Chars { kNibble, kZero, kDigit0To4, kDigit0To2, kBit, kReduction, kDecimal, kHex };

struct FieldSpot {
    uint8_t pos;
    uint8_t width;
    Chars chars;
};

// Fields before the four formats; each format is 2+3+3+3+3+3+3+2 digits.
constexpr FieldSpot kHeadFields[] = {
    {2, 1, kZero},       {4, 2, kNibble},     {7, 2, kNibble},   {10, 2, kNibble},  {13, 2, kNibble},
    {16, 1, kDigit0To4}, {18, 1, kDigit0To4}, {20, 1, kDigit0To2}, {22, 1, kBit},   {24, 1, kBit},
    {26, 1, kBit},       {28, 2, kDecimal},   {31, 2, kDecimal}, {34, 3, kDecimal}, {38, 2, kDecimal},
    {41, 3, kDecimal},   {45, 3, kDecimal},   {49, 3, kDecimal}, {53, 3, kDecimal}, {57, 2, kDecimal},
    {60, 1, kBit},       {62, 1, kReduction}, {64, 2, kDecimal}, {67, 2, kHex},     {70, 2, kHex},
    {73, 1, kDigit0To4},
};
constexpr uint8_t kFormatBases[] = {75, 105, 135, 165};  // in the command
constexpr size_t kBlockFormatBases[] = {69, 80, 91, 102};  // in the block
constexpr uint8_t kFormatOffsets[] = {0, 3, 7, 11, 15, 19, 23, 27};
constexpr uint8_t kFormatWidths[] = {2, 3, 3, 3, 3, 3, 3, 2};

bool Allowed(Chars chars, uint8_t c) {
    switch (chars) {
    case kNibble: return c <= 0x0F;
    case kZero: return c == '0';
    case kDigit0To4: return c >= '0' && c <= '4';
    case kDigit0To2: return c >= '0' && c <= '2';
    case kBit: return c == '0' || c == '1';
    case kReduction: return c == '0' || c == '1' || c == '3' || c == '5' || c == '7';
    case kDecimal: return c >= '0' && c <= '9';
    case kHex: return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    }
    return false;
}

// 195 bytes of command with every field in place, commas between, the end
// mark at 194 and zeros up to 260.
void CheckCommand(const uint8_t area[kCommandAreaSize]) {
    bool inField[kUpdateCommandSize] = {};
    auto field = [&](size_t pos, size_t width, Chars chars) {
        for (size_t i = pos; i < pos + width; ++i) {
            Check(i < kUpdateCommandSize && !inField[i]);
            inField[i] = true;
            Check(Allowed(chars, area[i]));
        }
    };
    for (const FieldSpot& f : kHeadFields) field(f.pos, f.width, f.chars);
    for (uint8_t base : kFormatBases) {
        for (size_t k = 0; k < 8; ++k) field(base + kFormatOffsets[k], kFormatWidths[k], kDecimal);
    }
    Check(area[0] == 0x1C && area[1] == 'o' && area[194] == '.');
    size_t commas = 0;
    for (size_t i = 2; i < 194; ++i) {
        if (inField[i]) continue;
        Check(area[i] == ',');
        ++commas;
    }
    Check(commas == 57);
    for (size_t i = kUpdateCommandSize; i < kCommandAreaSize; ++i) Check(area[i] == 0);
}

// Encodes a record, checks the command, and checks that decoding the encoded
// block and encoding again reproduces the same block and command.
void EncodeAndCheck(const SettingsRecord& record, const CustomFeedTable& custom) {
    uint8_t block[kSettingsBlockSize];
    std::memset(block, 0xEE, sizeof block);
    EncodeSettings(record, custom, block);
    Check(block[0] == 0 && block[1] == 0);
    Check((block[21] & 0x3C) == 0);
    Check((block[20] & 0x88) == 0);

    uint8_t area[kCommandAreaSize];
    std::memset(area, 0xCC, sizeof area);
    BuildUpdateCommand(block, area);
    CheckCommand(area);

    uint8_t marked[kSettingsBlockSize];
    std::memcpy(marked, block, sizeof marked);
    marked[0] = 1;
    marked[1] = 4;
    SettingsRecord again;
    CustomFeedTable againCustom;
    Check(DecodeSettingsBlock(marked, &again, &againCustom) == 1);
    uint8_t block2[kSettingsBlockSize];
    EncodeSettings(again, againCustom, block2);
    Check(std::memcmp(block, block2, sizeof block) == 0);
    uint8_t area2[kCommandAreaSize];
    BuildUpdateCommand(block2, area2);
    Check(std::memcmp(area, area2, sizeof area) == 0);
}

void DecodeAndCheck(const uint8_t block[kSettingsBlockSize]) {
    SettingsRecord record;
    CustomFeedTable custom;
    std::memset(&record, 0x5A, sizeof record);
    std::memset(&custom, 0x5A, sizeof custom);
    const int result = DecodeSettingsBlock(block, &record, &custom);
    if (block[0] != 1 || block[1] != 4) {
        // Refused, and nothing touched.
        Check(result == 0);
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
        for (size_t i = 0; i < sizeof record; ++i) Check(bytes[i] == 0x5A);
        bytes = reinterpret_cast<const uint8_t*>(&custom);
        for (size_t i = 0; i < sizeof custom; ++i) Check(bytes[i] == 0x5A);
        return;
    }
    Check(result == 1);
    Check(SwitchBytesLoaded(&record) == (std::memchr(block + 4, 0xFF, 4) == nullptr ? 1 : 0));

    // The bytes the command carries come back, some in canonical form.
    uint8_t back[kSettingsBlockSize];
    EncodeSettings(record, custom, back);
    Check(std::memcmp(back + 4, block + 4, 4) == 0);
    Check(back[20] == (block[20] & 0x77));
    Check(back[21] == (block[21] & 0xC3));
    Check(std::memcmp(back + 22, block + 22, 9) == 0);
    Check(back[3] == (block[3] != 0 ? 1 : 0));
    const uint8_t r = block[2];
    Check(back[2] == ((r == 1 || r == 3 || r == 5 || r == 7) ? r : 0));
    Check(back[60] == block[60] && back[61] == block[61] && back[64] == block[64]);
    Check(back[68] == ((block[68] >= 1 && block[68] <= 4) ? block[68] : 0));
    for (size_t base : kBlockFormatBases) Check(std::memcmp(back + base, block + base, 8) == 0);

    EncodeAndCheck(record, custom);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t block[kSettingsBlockSize] = {};
    if (size > 0) std::memcpy(block, data, size < sizeof block ? size : sizeof block);
    DecodeAndCheck(block);
    block[0] = 1;
    block[1] = 4;
    DecodeAndCheck(block);

    // The same bytes as an arbitrary record and custom feed values.
    uint8_t raw[sizeof(SettingsRecord) + sizeof(CustomFeedTable)] = {};
    if (size > 0) std::memcpy(raw, data, size < sizeof raw ? size : sizeof raw);
    SettingsRecord record;
    CustomFeedTable custom;
    std::memcpy(&record, raw, sizeof record);
    std::memcpy(&custom, raw + sizeof record, sizeof custom);
    EncodeAndCheck(record, custom);
    return 0;
}
