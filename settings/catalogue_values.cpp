// The operations over the catalogue's table: a setting's value in a record
// and its custom feed values, read and written as its entry says; which values
// a setting accepts; the factory defaults; comparing two sets of settings;
// and the program-wide record written through the table, so that no page
// writes a field of it directly.
#include <cstring>

#include "catalogue.h"
#include "font_print_pure.h"

namespace {

// The switch bits no named setting covers, one mask per byte.
struct OtherMasks {
    uint8_t byte[4];
};
OtherMasks ComputeOtherMasks() {
    OtherMasks masks = {{0xFF, 0xFF, 0xFF, 0xFF}};
    for (int i = 0; i < SettingCount(); ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        if (def.byteIndex >= 0) masks.byte[def.byteIndex] &= static_cast<uint8_t>(~def.mask);
    }
    return masks;
}
const OtherMasks& Masks() {
    static const OtherMasks masks = ComputeOtherMasks();
    return masks;
}

// The custom feed values of the record (format -1) or of a format.
const CustomFeedSet& CustomSetOf(const CustomFeedTable& custom, int format) {
    return format < 0 ? custom.record : custom.formats[format];
}
CustomFeedSet& CustomSetOf(CustomFeedTable* custom, int format) {
    return format < 0 ? custom->record : custom->formats[format];
}

int32_t ValueIn(const SettingDef& def, int format, const SettingsRecord& record, const CustomFeedTable& custom) {
    if (def.kind == SettingCustomFeed) return CustomSetOf(custom, format).*def.custom;
    if (def.formatField) return record.formats[format].*def.formatField;
    if (def.field) return record.*def.field;
    if (def.kind == SettingOtherBits) return static_cast<int32_t>(OtherSwitchBits(record.switches));
    const uint8_t bits = record.switches[def.byteIndex] & def.mask;
    if (def.kind == SettingCharset) return bits;
    return (bits ? 1 : 0) ^ (def.inverted ? 1 : 0);
}

// custom may be null where only the record is written (the defaults).
void SetIn(const SettingDef& def, int format, SettingsRecord* record, CustomFeedTable* custom, int32_t value) {
    if (def.kind == SettingCustomFeed) {
        if (custom) CustomSetOf(custom, format).*def.custom = value;
    } else if (def.formatField) {
        record->formats[format].*def.formatField = value;
    } else if (def.field) {
        record->*def.field = value;
    } else if (def.kind == SettingOtherBits) {
        const OtherMasks& masks = Masks();
        for (int i = 0; i < 4; ++i) {
            const uint8_t bits = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * (3 - i)));
            record->switches[i] =
                static_cast<uint8_t>((record->switches[i] & ~masks.byte[i]) | (bits & masks.byte[i]));
        }
    } else {
        uint8_t& byte = record->switches[def.byteIndex];
        const bool set = (value != 0) != def.inverted;
        const uint8_t bits = def.kind == SettingCharset ? static_cast<uint8_t>(value) & def.mask
                                                        : (set ? def.mask : 0);
        byte = static_cast<uint8_t>((byte & ~def.mask) | bits);
    }
}

// A custom feed position the block can carry: none (0), or a byte that is no
// row's value (a row's value reads back as that row).
bool CustomAccepted(FeedTable table, int32_t value) {
    if (value == 0) return true;
    if (value < 0 || value > 255) return false;
    int32_t custom = 0;
    FeedRowFromValue(table, static_cast<uint8_t>(value), &custom);
    return custom == value;
}

}  // namespace

uint32_t OtherSwitchBits(const uint8_t switches[4]) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | (switches[i] & Masks().byte[i]);
    return value;
}

uint32_t OtherSwitchMask() { return OtherSwitchBits(Masks().byte); }

int SettingIndex(const char* key) { return FindSetting(0, key, std::strlen(key)); }

const SettingDef& SettingDefOf(int index) {
    int format;
    return SettingAt(index, &format);
}

int CustomSettingOf(int index) {
    int format;
    return SettingAt(index, &format).kind == SettingFeed ? index + 1 : -1;
}

int SettingBlockOffset(int index) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return format < 0 ? def.blockOffset : static_cast<int>(kFormatBlockBase[format]) + def.blockOffset;
}

int32_t GetSettingValue(int index, const PrinterSettings& settings) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return ValueIn(def, format, settings.record, settings.custom);
}

void SetSettingValue(int index, PrinterSettings* settings, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    SetIn(def, format, &settings->record, &settings->custom, value);
}

int SettingValueAccepted(int index, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    switch (def.kind) {
    case SettingNumber:
        return value >= 0 && static_cast<uint32_t>(value) >= def.rule->low &&
               static_cast<uint32_t>(value) <= def.rule->high;
    case SettingChoice:
        return value >= 0 && value < 3 && def.texts[value] != 0;
    case SettingCheck:
    case SettingBit:
    case SettingCheckBit:
        return value == 0 || value == 1;
    case SettingFeed:
        return value >= 0 && value <= FeedCustomRow(def.feedTable);
    case SettingCustomFeed:
        return CustomAccepted(def.feedTable, value);
    case SettingList:
        return value >= 0 && value < def.rowCount;
    case SettingFine:
        for (int row = 0; row < def.fine->count; ++row)
            if (def.fine->rows[row].stored == value) return 1;
        return 0;
    case SettingCharset:
        return value >= 0 && value <= kCharsetMask &&
               StoreCharsetRow(0, CharsetRowOf(static_cast<uint8_t>(value))) == value;
    case SettingOtherBits: {
        const uint32_t bits = static_cast<uint32_t>(value);
        uint8_t fixed[4] = {};
        for (int i = 0; i < 4; ++i) fixed[i] = static_cast<uint8_t>(bits >> (8 * (3 - i)));
        return OtherSwitchBits(fixed) == bits;
    }
    }
    return 0;
}

void ApplySettingDefaults(SettingsRecord* record) {
    for (int i = 0; i < SettingCount(); ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        SetIn(def, format, record, nullptr, def.defaultValue);
    }
}

int SettingDiffers(int index, const PrinterSettings& a, const PrinterSettings& b) {
    return GetSettingValue(index, a) != GetSettingValue(index, b);
}

int SameSettings(const PrinterSettings& a, const PrinterSettings& b) {
    for (int i = 0; i < SettingCount(); ++i)
        if (SettingDiffers(i, a, b)) return 0;
    return 1;
}

int SettingsOfBlock(const uint8_t block[kSettingsBlockSize], PrinterSettings* settings) {
    InvalidateSettings(&settings->record);
    settings->custom = {};
    return DecodeSettingsBlock(block, &settings->record, &settings->custom) && SwitchBytesLoaded(&settings->record);
}

PrinterSettings DefaultPrinterSettings() {
    PrinterSettings settings = {};
    LoadDefaultSettings(&settings.record);
    return settings;
}

int32_t CurrentSettingValue(int index) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return ValueIn(def, format, Settings, CustomFeeds);
}

void StoreSetting(int index, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    SetIn(def, format, &Settings, &CustomFeeds, value);
}

SwitchBytes CurrentSwitches() {
    SwitchBytes switches;
    std::memcpy(switches.byte, Settings.switches, sizeof switches.byte);
    return switches;
}

void StoreSwitches(const SwitchBytes& switches) {
    std::memcpy(Settings.switches, switches.byte, sizeof Settings.switches);
}

void StoreFormat(int index, const FormatRecord& format) {
    if (index >= 0 && index < 4) Settings.formats[index] = format;
}
