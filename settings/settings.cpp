#include "settings.h"

#include <cstring>

#include "catalogue.h"

namespace {

constexpr SettingsRecord NotLoadedRecord() {
    SettingsRecord record{};
    for (uint8_t& byte : record.switches) byte = 0xFF;
    return record;
}

}  // namespace

// Not loaded until a read or the defaults fill it; no custom feed values yet.
SettingsRecord Settings = NotLoadedRecord();
CustomFeedTable CustomFeeds;

namespace {

int settingsLoaded = 0;
uint8_t loadedSwitches[4] = {0xFF, 0xFF, 0xFF, 0xFF};

void TakeLoadedSwitches() {
    std::memcpy(loadedSwitches, Settings.switches, sizeof loadedSwitches);
}

const uint8_t* FeedTableValues(FeedTable table) {
    switch (table) {
    case FeedTableA: return kFeedTableA;
    case FeedTableB: return kFeedTableB;
    default: return kFeedTableC;
    }
}

}  // namespace

int FeedTableRows(FeedTable table) {
    return table == FeedTableA ? static_cast<int>(sizeof kFeedTableA) : static_cast<int>(sizeof kFeedTableB);
}

int FeedCustomRow(FeedTable table) {
    return table == FeedTableA ? kFeedCustomRowA : kFeedCustomRowBC;
}

int FeedRowFromValue(FeedTable table, uint8_t value, int32_t* custom) {
    const uint8_t* values = FeedTableValues(table);
    const int rows = FeedTableRows(table);
    for (int row = 0; row < rows; ++row) {
        if (values[row] == value) {
            *custom = 0;
            return row;
        }
    }
    *custom = value;
    return FeedCustomRow(table);
}

uint8_t FeedValueFromRow(FeedTable table, int32_t row) {
    if (row < 0 || row >= FeedTableRows(table)) return kFeedCustomMarker;
    return FeedTableValues(table)[row];
}

void LoadDefaultSettings(SettingsRecord* record) {
    // Every setting's factory value is its catalogue entry's; the switch bits
    // no setting names are clear.
    std::memset(record, 0, sizeof *record);
    ApplySettingDefaults(record);
}

void InvalidateSettings(SettingsRecord* record) {
    std::memset(record->switches, 0xFF, sizeof record->switches);
}

int UnsendableSwitchByte(const SettingsRecord& record) {
    for (int index = 0; index < 4; ++index) {
        if (record.switches[index] == 0xFF) return index;
    }
    return -1;
}

int SwitchBytesLoaded(const SettingsRecord* record) {
    return UnsendableSwitchByte(*record) < 0 ? 1 : 0;
}

void LoadDefaultSettings() {
    LoadDefaultSettings(&Settings);
    settingsLoaded = 1;
    TakeLoadedSwitches();
}

void InvalidateSettings() {
    InvalidateSettings(&Settings);
    settingsLoaded = 0;
}

int IsRecordLoaded() {
    return settingsLoaded;
}

void TakeReadSettings() {
    settingsLoaded = SwitchBytesLoaded(&Settings);
    TakeLoadedSwitches();
}

const uint8_t* LoadedSwitches() {
    return loadedSwitches;
}

void ClearCustomFeeds(CustomFeedTable* table) {
    std::memset(table, 0, sizeof *table);
}

void AdoptSettings(const SettingsRecord& read) {
    Settings = read;
}

void ClearProgramCustomFeeds() {
    ClearCustomFeeds(&CustomFeeds);
}
