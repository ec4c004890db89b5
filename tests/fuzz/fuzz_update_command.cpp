// libFuzzer target for the stand-in's parser of update commands (what a
// program hands the SRM as "RPVariables_PSV"). The input is taken as a
// 260-byte command area (padded with zeros or cut) and, a second time, as a
// settings block whose command is built and parsed back. A violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codec.h"
#include "update_command.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The bits of each block byte that some field of the command carries.
void CarriedBits(uint8_t carried[kSettingsBlockSize]) {
    std::memset(carried, 0, kSettingsBlockSize);
    size_t count = 0;
    const CommandField* fields = UpdateCommandFields(&count);
    for (size_t i = 0; i < count; ++i) carried[fields[i].blockByte] |= fields[i].mask;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t input[kCommandAreaSize] = {};
    std::memcpy(input, data, size < sizeof input ? size : sizeof input);
    uint8_t carried[kSettingsBlockSize];
    CarriedBits(carried);

    // As a command: applied exactly when well-formed; a refused one changes
    // nothing, an applied one only the bits it carries, and applying it twice
    // gives what applying it once gave.
    const int wellFormed = IsWellFormedUpdateCommand(input, sizeof input);
    Check(IsWellFormedUpdateCommand(input, sizeof input - 1) == 0);
    uint8_t block[kSettingsBlockSize];
    std::memset(block, 0xA5, sizeof block);
    Check(ApplyUpdateCommand(input, sizeof input, block) == wellFormed);
    for (size_t i = 0; i < sizeof block; ++i) Check((block[i] & ~carried[i]) == (0xA5 & ~carried[i]));
    if (!wellFormed) {
        for (uint8_t byte : block) Check(byte == 0xA5);
    } else {
        uint8_t again[kSettingsBlockSize];
        std::memcpy(again, block, sizeof again);
        Check(ApplyUpdateCommand(input, sizeof input, again) == 1);
        Check(std::memcmp(again, block, sizeof block) == 0);
    }

    // As a block: the program's command for it is well-formed, and the printer
    // that applies it is asked for the very same command again.
    uint8_t source[kSettingsBlockSize] = {};
    std::memcpy(source, data, size < sizeof source ? size : sizeof source);
    uint8_t command[kCommandAreaSize];
    BuildUpdateCommand(source, command);
    Check(IsWellFormedUpdateCommand(command, sizeof command) == 1);
    uint8_t printer[kSettingsBlockSize];
    std::memset(printer, 0x3C, sizeof printer);
    Check(ApplyUpdateCommand(command, sizeof command, printer) == 1);
    uint8_t commandAgain[kCommandAreaSize];
    BuildUpdateCommand(printer, commandAgain);
    Check(std::memcmp(command, commandAgain, sizeof command) == 0);
    return 0;
}
