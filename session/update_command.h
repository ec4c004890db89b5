// The printer's side of the update command: whether a command area holds a
// well-formed update command, and the command applied to the printer's
// 260-byte settings block. No Windows types, so it builds natively for tests.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codec.h"

// 1 when area is exactly kCommandAreaSize bytes long and its first
// kUpdateCommandSize bytes are a well-formed update command: FS "o" "0", every
// field in its place and form (raw nibbles 0x00..0x0F, one-character digit
// fields with their allowed values, zero-padded decimal fields, upper-case
// hexadecimal fields), a comma after every field but the last, and "." at the
// end. The bytes after the command are not examined.
int IsWellFormedUpdateCommand(const uint8_t* area, size_t size);

// Applies a well-formed command to block: every field goes back into the block
// byte (or bits) it came from; the feed positions are stored as the printer
// values they are. Bits 2-5 of byte 21 and every byte the command does not
// carry keep their values. Returns 1 when applied, 0 (block untouched) when
// the area is not a well-formed command.
int ApplyUpdateCommand(const uint8_t* area, size_t size, uint8_t block[kSettingsBlockSize]);

// One field of the command: where it stands, how it is written and which bits
// of which block byte it carries. Exposed for the tests of the table itself.
enum CommandFieldKind {
    FieldNibble,   // one raw byte 0x00..0x0F
    FieldDigit,    // one character out of an allowed set
    FieldDecimal,  // width decimal digits, value at most the field's maximum
    FieldHex,      // two upper-case hexadecimal digits
};
struct CommandField {
    uint8_t position;
    uint8_t width;
    CommandFieldKind kind;
    const char* allowed;  // FieldDigit: the allowed characters
    uint16_t maximum;     // FieldDecimal: the largest value the block byte can give
    uint8_t blockByte;
    uint8_t mask;         // bits of the block byte that the field carries
    uint8_t shift;        // position of the field's value inside the byte
};
// The fields in command order; *count receives their number.
const CommandField* UpdateCommandFields(size_t* count);
