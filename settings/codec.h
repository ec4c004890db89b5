// The printer's 260-byte settings block and the 195-byte update command.
// Bytes in, record and custom values out, and back: no window, no SRM call.
#pragma once
#include <cstddef>
#include <cstdint>
#include "settings.h"

constexpr size_t kSettingsBlockSize = 260;  // the block the printer reports
constexpr size_t kCommandAreaSize = 260;    // the area handed to the SRM
constexpr size_t kUpdateCommandSize = 195;  // the command inside that area
// Where the four stored formats start in the block (eight bytes each, eleven apart).
constexpr size_t kFormatBlockBase[4] = {69, 80, 91, 102};

// Decodes a block into *record and *custom. Returns 1 when the block carries
// the format marks 1, 4 in bytes 0 and 1 (every field and all twenty custom
// values are then written), 0 when it does not (nothing is touched).
int DecodeSettingsBlock(const uint8_t block[kSettingsBlockSize], SettingsRecord* record,
                        CustomFeedTable* custom);
// A block the printer gave: decoded into record, its custom feed values into
// the program-wide CustomFeeds.
int DecodePrinterBlock(const uint8_t block[kSettingsBlockSize], SettingsRecord* record);

// Packs a record and its custom feed values into a zero-filled block.
void EncodeSettings(const SettingsRecord& record, const CustomFeedTable& custom,
                    uint8_t block[kSettingsBlockSize]);

// Turns a block into the update command: the area is zero-filled and the
// command fills its first 195 bytes. The command holds raw bytes 0x00..0x0F,
// so it is never a NUL-terminated string.
void BuildUpdateCommand(const uint8_t block[kSettingsBlockSize], uint8_t area[kCommandAreaSize]);
