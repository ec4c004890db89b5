// The one in-memory image of the printer's panel settings, its defaults, the
// custom feed values kept beside it and the three feed position tables.
// Pure data and logic: no Windows types, so it also builds natively for tests.
#pragma once
#include <cstddef>
#include <cstdint>

// One of the printer's four stored page formats (ranges: catalogue.h).
struct FormatRecord {
    int32_t pageLength;        // lines
    int32_t contFrontFeed;     // row of feed table A, 8 = custom
    int32_t contRearFeed;      // row of feed table A, 8 = custom
    int32_t cutSheetFeed;      // row of feed table B, 9 = custom
    int32_t postcardFeed;      // row of feed table C, 9 = custom
    int32_t leftMargin;        // columns
    int32_t rightMargin;       // columns
    int32_t cutSheetPosAdjust; // columns
};

// Four switch bytes followed by 53 signed 32-bit fields. The ranges, lists
// and defaults of every field are those of its entry in the catalogue
// (catalogue.h).
struct SettingsRecord {
    uint8_t switches[4];        // bit fields; a byte of 0xFF marks "not loaded"
    int32_t paperSetCenter;     // 1 centre, 0 left
    int32_t postcardMode;       // 1 = on
    int32_t headCenterCut;      // columns
    int32_t headCenterFront;    // columns
    int32_t headCenterRear;     // columns
    int32_t paperThickness;     // row of the thickness list
    int32_t contFrontFeed;      // row of table A, 8 = custom
    int32_t contRearFeed;       // row of table A, 8 = custom
    int32_t cutSheetFeed;       // row of table B, 9 = custom
    int32_t postcardFeed;       // row of table C, 9 = custom
    int32_t pageLength;         // lines
    int32_t cutSheetPosAdjust;  // columns
    int32_t formatSelect;       // 0 none, else the format's number
    FormatRecord formats[4];    // format 1 first
    int32_t typeface;           // 0 Mincho, 1 Gothic
    int32_t font1;              // row of the font list (a read can deliver up to 15)
    int32_t font2;              // row of the font list
    int32_t kanjiTable;         // 0 = 1978, 1 = 1983, 2 = 1990 edition
    int32_t reduction;          // row of the reduction list
    int32_t quietPrint;         // 1 = on
    int32_t printPressure;      // low byte of a signed step of its list
    int32_t printPosition;      // low byte of a signed step of its list
};

// Feed positions (1/120 inch) the printer reported that match no row of their
// table; 0 means none. One set for the record's own feed fields, one per format.
struct CustomFeedSet {
    int32_t contFrontCustom;
    int32_t contRearCustom;
    int32_t cutSheetCustom;
    int32_t postcardCustom;
};
struct CustomFeedTable {
    CustomFeedSet record;
    CustomFeedSet formats[4];
};

// The program-wide record and custom feed values (user-interface thread only).
extern SettingsRecord Settings;
extern CustomFeedTable CustomFeeds;

// Feed position tables: row index -> printer value in 1/120 inch.
enum FeedTable { FeedTableA = 0, FeedTableB = 1, FeedTableC = 2 };
constexpr int kFeedCustomRowA = 8;  // continuous paper
constexpr int kFeedCustomRowBC = 9; // cut sheet, postcard
constexpr uint8_t kFeedCustomMarker = 255;
constexpr uint8_t kFeedTableA[8] = {0, 15, 20, 28, 30, 40, 60, 120};
constexpr uint8_t kFeedTableB[9] = {0, 15, 20, 28, 30, 40, 46, 60, 120};
constexpr uint8_t kFeedTableC[9] = {0, 15, 20, 28, 30, 40, 54, 60, 120};

// Number of table rows (the custom row not counted) and the custom row index.
int FeedTableRows(FeedTable table);
int FeedCustomRow(FeedTable table);
// Printer value -> row; a value matching no row gives the custom row and the
// value itself as *custom (0 on a match).
int FeedRowFromValue(FeedTable table, uint8_t value, int32_t* custom);
// Row -> printer value; the custom row and any row outside the table give 255.
uint8_t FeedValueFromRow(FeedTable table, int32_t row);

void LoadDefaultSettings(SettingsRecord* record);
void InvalidateSettings(SettingsRecord* record);
// 1 when none of the record's switch bytes is 0xFF: whether a block just
// decoded into it held settings.
int SwitchBytesLoaded(const SettingsRecord* record);
// The first switch byte (0..3) of the record that is 0xFF, or -1. An update
// command built from such a record must not be sent: the printer would then
// hold a block that every later read refuses.
int UnsendableSwitchByte(const SettingsRecord& record);

// The program-wide record. Whether it holds settings is a state of its own:
// the defaults and a read whose block held settings set it, invalidating
// clears it. What the pages store into the switch bytes never changes it.
void LoadDefaultSettings();
void InvalidateSettings();
int IsRecordLoaded();
// After a read into the program-wide record: loaded as its block says.
void TakeReadSettings();
// The switch bytes as the last read or the defaults gave them, before the
// pages stored anything (four bytes).
const uint8_t* LoadedSwitches();
// Sets all twenty custom feed values to 0 (start-up).
void ClearCustomFeeds(CustomFeedTable* table);
// The same for the program-wide CustomFeeds.
void ClearProgramCustomFeeds();
// Takes a record read from the printer as the program-wide record (then
// TakeReadSettings says whether it holds settings).
void AdoptSettings(const SettingsRecord& read);
