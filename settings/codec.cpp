#include "codec.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t DecodeReduction(uint8_t code) {
    switch (code) {
    case 1: return 1;
    case 3: return 2;
    case 5: return 3;
    case 7: return 4;
    default: return 0;
    }
}

uint8_t EncodeReduction(int32_t row) {
    switch (row) {
    case 1: return 1;
    case 2: return 3;
    case 3: return 5;
    case 4: return 7;
    default: return 0;
    }
}

// Feed position of a row, or the low byte of the custom value for the custom
// row (and any row outside the table).
uint8_t FeedByte(FeedTable table, int32_t row, int32_t customValue) {
    uint8_t value = FeedValueFromRow(table, row);
    if (value == kFeedCustomMarker) value = static_cast<uint8_t>(customValue & 0xFF);
    return value;
}

uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

void DecodeFormat(const uint8_t* b, FormatRecord* format, CustomFeedSet* custom) {
    format->pageLength = b[0];
    format->leftMargin = b[1];
    format->rightMargin = b[2];
    format->contFrontFeed = FeedRowFromValue(FeedTableA, b[3], &custom->contFrontCustom);
    format->contRearFeed = FeedRowFromValue(FeedTableA, b[4], &custom->contRearCustom);
    format->cutSheetFeed = FeedRowFromValue(FeedTableB, b[5], &custom->cutSheetCustom);
    format->postcardFeed = FeedRowFromValue(FeedTableC, b[6], &custom->postcardCustom);
    format->cutSheetPosAdjust = b[7];
}

void EncodeFormat(const FormatRecord& format, const CustomFeedSet& custom, uint8_t* b) {
    b[0] = LowByte(format.pageLength);
    b[1] = LowByte(format.leftMargin);
    b[2] = LowByte(format.rightMargin);
    b[3] = FeedByte(FeedTableA, format.contFrontFeed, custom.contFrontCustom);
    b[4] = FeedByte(FeedTableA, format.contRearFeed, custom.contRearCustom);
    b[5] = FeedByte(FeedTableB, format.cutSheetFeed, custom.cutSheetCustom);
    b[6] = FeedByte(FeedTableC, format.postcardFeed, custom.postcardCustom);
    b[7] = LowByte(format.cutSheetPosAdjust);
}

// Writes the comma-separated fields of the update command, each exactly its width.
class CommandWriter {
public:
    explicit CommandWriter(uint8_t* area) : area_(area) {}

    void Raw(uint8_t byte) { Put(byte); }
    void Comma() { Put(','); }
    void Digit(char digit) { Put(static_cast<uint8_t>(digit)); }
    // A decimal or hexadecimal number padded to its width; a longer text keeps
    // only its leading characters.
    void Number(unsigned value, int width, bool hex = false) {
        char text[16];
        std::snprintf(text, sizeof text, hex ? "%0*X" : "%0*u", width, value);
        for (int i = 0; i < width; ++i) Put(static_cast<uint8_t>(text[i]));
    }
    size_t Position() const { return pos_; }

private:
    void Put(uint8_t byte) {
        if (pos_ < kUpdateCommandSize) area_[pos_] = byte;
        ++pos_;
    }
    uint8_t* area_;
    size_t pos_ = 0;
};

char DigitUpTo(unsigned value, unsigned highest) {
    return value <= highest ? static_cast<char>('0' + value) : '0';
}

char ReductionDigit(uint8_t code) {
    switch (code) {
    case 1: case 3: case 5: case 7: return static_cast<char>('0' + code);
    default: return '0';
    }
}

}  // namespace

int DecodeSettingsBlock(const uint8_t block[kSettingsBlockSize], SettingsRecord* record,
                        CustomFeedTable* custom) {
    if (block[0] != 1 || block[1] != 4) return 0;

    SettingsRecord r;
    CustomFeedTable c;
    std::memset(&r, 0, sizeof r);
    std::memset(&c, 0, sizeof c);

    r.reduction = DecodeReduction(block[2]);
    r.typeface = block[3] == 0 ? 0 : 1;
    std::memcpy(r.switches, block + 4, 4);
    r.font1 = block[20] & 0x0F;
    r.font2 = (block[20] >> 4) & 0x0F;
    r.kanjiTable = block[21] & 0x03;
    r.quietPrint = (block[21] & 0x40) ? 1 : 0;
    r.postcardMode = (block[21] & 0x80) ? 1 : 0;
    r.paperSetCenter = (block[22] & 0x80) ? 0 : 1;
    r.headCenterCut = block[22] & 0x7F;
    r.headCenterFront = block[23];
    r.headCenterRear = block[24];
    r.pageLength = block[25];
    r.contFrontFeed = FeedRowFromValue(FeedTableA, block[26], &c.record.contFrontCustom);
    r.contRearFeed = FeedRowFromValue(FeedTableA, block[27], &c.record.contRearCustom);
    r.cutSheetFeed = FeedRowFromValue(FeedTableB, block[28], &c.record.cutSheetCustom);
    r.postcardFeed = FeedRowFromValue(FeedTableC, block[29], &c.record.postcardCustom);
    r.cutSheetPosAdjust = block[30];
    r.paperThickness = block[60];
    r.printPressure = block[61];
    r.printPosition = block[64];
    r.formatSelect = (block[68] >= 1 && block[68] <= 4) ? block[68] : 0;
    for (int k = 0; k < 4; ++k) DecodeFormat(block + kFormatBlockBase[k], &r.formats[k], &c.formats[k]);

    *record = r;
    *custom = c;
    return 1;
}

void EncodeSettings(const SettingsRecord& r, const CustomFeedTable& c,
                    uint8_t block[kSettingsBlockSize]) {
    std::memset(block, 0, kSettingsBlockSize);
    block[2] = EncodeReduction(r.reduction);
    block[3] = r.typeface != 0 ? 1 : 0;
    std::memcpy(block + 4, r.switches, 4);
    block[20] = static_cast<uint8_t>(((r.font2 & 7) << 4) | (r.font1 & 7));
    block[21] = static_cast<uint8_t>((r.postcardMode == 1 ? 0x80 : 0) | (r.quietPrint == 1 ? 0x40 : 0) |
                                     (r.kanjiTable & 3));
    block[22] = static_cast<uint8_t>((r.paperSetCenter == 0 ? 0x80 : 0) | (r.headCenterCut & 0x7F));
    block[23] = LowByte(r.headCenterFront);
    block[24] = LowByte(r.headCenterRear);
    block[25] = LowByte(r.pageLength);
    block[26] = FeedByte(FeedTableA, r.contFrontFeed, c.record.contFrontCustom);
    block[27] = FeedByte(FeedTableA, r.contRearFeed, c.record.contRearCustom);
    block[28] = FeedByte(FeedTableB, r.cutSheetFeed, c.record.cutSheetCustom);
    block[29] = FeedByte(FeedTableC, r.postcardFeed, c.record.postcardCustom);
    block[30] = LowByte(r.cutSheetPosAdjust);
    block[60] = LowByte(r.paperThickness);
    block[61] = LowByte(r.printPressure);
    block[64] = LowByte(r.printPosition);
    block[68] = (r.formatSelect >= 1 && r.formatSelect <= 4) ? static_cast<uint8_t>(r.formatSelect) : 0;
    for (int k = 0; k < 4; ++k) EncodeFormat(r.formats[k], c.formats[k], block + kFormatBlockBase[k]);
}

void BuildUpdateCommand(const uint8_t block[kSettingsBlockSize], uint8_t area[kCommandAreaSize]) {
    std::memset(area, 0, kCommandAreaSize);
    CommandWriter w(area);
    w.Raw(0x1C);
    w.Raw('o');
    w.Digit('0');
    w.Comma();
    for (int i = 4; i <= 7; ++i) {  // switch bytes: low nibble, then high nibble, raw
        w.Raw(block[i] & 0x0F);
        w.Raw(block[i] >> 4);
        w.Comma();
    }
    w.Digit(DigitUpTo(block[20] & 0x0F, 4));  // font 1
    w.Comma();
    w.Digit(DigitUpTo(block[20] >> 4, 4));    // font 2
    w.Comma();
    w.Digit(DigitUpTo(block[21] & 0x03, 2));  // kanji table edition
    w.Comma();
    w.Digit((block[21] & 0x40) ? '1' : '0');  // quiet printing
    w.Comma();
    w.Digit((block[21] & 0x80) ? '1' : '0');  // postcard mode
    w.Comma();
    w.Digit((block[22] & 0x80) ? '1' : '0');  // paper set left
    w.Comma();
    w.Number(block[22] & 0x7F, 2);            // head centring, cut sheet
    w.Comma();
    w.Number(block[23], 2);                   // head centring, continuous front
    w.Comma();
    w.Number(block[24], 3);                   // head centring, continuous rear
    w.Comma();
    w.Number(block[25], 2);                   // page length
    w.Comma();
    for (int i = 26; i <= 29; ++i) {          // feed positions, 1/120 inch
        w.Number(block[i], 3);
        w.Comma();
    }
    w.Number(block[30], 2);                   // cut-sheet position correction
    w.Comma();
    w.Digit(block[3] == 1 ? '1' : '0');       // typeface
    w.Comma();
    w.Digit(ReductionDigit(block[2]));        // reduction code
    w.Comma();
    w.Number(block[60], 2);                   // paper thickness
    w.Comma();
    w.Number(block[61], 2, true);             // print pressure
    w.Comma();
    w.Number(block[64], 2, true);             // print position
    w.Comma();
    w.Digit(DigitUpTo(block[68], 4));         // selected format
    for (size_t base : kFormatBlockBase) {
        const uint8_t* b = block + base;
        w.Comma();
        w.Number(b[0], 2);
        for (int i = 1; i <= 6; ++i) {
            w.Comma();
            w.Number(b[i], 3);
        }
        w.Comma();
        w.Number(b[7], 2);
    }
    w.Raw('.');
}

int DecodePrinterBlock(const uint8_t block[kSettingsBlockSize], SettingsRecord* record) {
    return DecodeSettingsBlock(block, record, &CustomFeeds);
}
