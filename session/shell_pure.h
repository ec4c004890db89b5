// Logic of the application shell that needs no window: the command line's
// password switch, the selection list's status word, the destination text from
// the SRM's "Port" item and the name of the one-panel-per-printer object.
// Texts are Shift-JIS; nothing here cuts inside a double-byte character.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- Command line: "[/P:password ]printer" ----

// The rest of a whole command line as the system keeps it (the program name
// first): the program name, quoted or not, and the blanks or tabs after it
// skipped; what follows is returned as it stands, byte for byte (double-byte
// characters, trailing blanks and all). Null counts as empty.
const char* SkipProgramName(const char* commandLine);

// What the command line says. `rest` points into the command line, or is null.
struct CommandLineParts {
    int passwordGiven;  // 1: the switch carried the stored password
    const char* rest;   // the printer part of the line, or null when there is none
};

// Looks for the switch "/p:" and, when it is absent, "/P:" anywhere in the
// line. The password counts as given when it is not empty, the text right
// after the switch starts with it and the character after it is the end or a
// blank. The rest is the text after the first blank that follows the password
// (or the switch), further blanks skipped; without a switch it is the whole
// line. An empty rest is null. A null line or password counts as empty.
CommandLineParts SplitCommandLine(const char* commandLine, const char* password);

// ---- Status word of a printer in the selection list ----

enum PrinterStatusLabel { StatusLabelOnline = 0, StatusLabelOffline = 1, StatusLabelUnknown = 2 };

// "PrinterStatus" holds three words w0, w1, w2 (w0 is not looked at). A
// printer reached over the network (port text starting with '\', or a second
// port text) whose w1 says the network state is unknown is "unknown"; else w2
// with a ready bit is "online", w1 with an offline bit "offline", anything
// else "unknown". portText and detailText are the two texts of "Port"; only
// their first byte matters; null counts as empty.
PrinterStatusLabel StatusLabelOf(uint32_t w1, uint32_t w2, const char* portText, const char* detailText);

// ---- Destination text from the SRM's "Port" item ----

// Layout of "Port": 4 bytes, then two 128-byte texts that may lack their
// terminator (the port, and a second text shown in parentheses).
constexpr size_t kPortItemSize = 260;
constexpr size_t kPortTextOffset = 4;
constexpr size_t kPortDetailOffset = 132;
constexpr size_t kPortFieldSize = 128;
// Room for "port(detail)" with both fields full.
constexpr size_t kDestinationSize = 2 * kPortFieldSize + 3;

// "port(detail)", or "port" when the second text is empty, from the raw
// 260-byte item. A field without terminator ends after its 128 bytes, and a
// lead byte without its trail byte at its end is dropped. 1 when it fitted.
int FormatDestination(char* buffer, size_t size, const unsigned char* portItem);

// ---- Name of the object that marks a served printer ----

// Longest object name the system takes, terminator included.
constexpr size_t kInstanceNameSize = 260;

// "QUARLRP_" followed by the printer name with every backslash character
// replaced by a comma (\\host\lp gives QUARLRP_,,host,lp). A 0x5C trail byte
// of a double-byte character is part of that character and stays. Returns 1,
// or 0 with an empty buffer when the name is null or the whole name does not
// fit (a cut name could stand for another printer).
int BuildInstanceName(char* buffer, size_t size, const char* printerName);

// The same claim seen from every logon session of the machine: a named pipe,
// since pipe names are one namespace for the whole machine while the mapping's
// name lives in its session. "\\.\pipe\" followed by the instance name; when
// that would pass the 256 characters a pipe name may have, "\\.\pipe\QUARLRP#"
// and the 16 hexadecimal digits of a 64-bit FNV-1a hash of the instance name.
// Returns 1, or 0 with an empty buffer as BuildInstanceName does (or when the
// buffer is too small).
constexpr size_t kSessionClaimNameSize = 257;
int BuildSessionClaimName(char* buffer, size_t size, const char* printerName);

// ---- Messages that carry an outside name ----

// name, separator and text joined; when the whole does not fit, the name is cut
// (at a character boundary) so that the separator and the text stay whole.
// Returns 1 when nothing had to be cut.
int FormatNameThenText(char* buffer, size_t size, const char* name, const char* separator, const char* text);
