// Simulated printers are kept under registry keys named after the printer.
// Printer names may hold backslashes (network printers such as \\server\lp),
// which a registry key name cannot: the key name writes '\' as "%5C" and '%'
// as "%25". Double-byte (Shift-JIS) characters are kept whole, so a trail byte
// 0x5C is never taken for a backslash. No Windows types: tested natively.
#pragma once
#include <string>

// The key name for a printer name.
std::string EscapePrinterKeyName(const std::string& name);
// The printer name back from a key name; false when the key name holds an
// escape other than "%5C" or "%25" (it was not made by EscapePrinterKeyName).
bool UnescapePrinterKeyName(const std::string& key, std::string* name);
// 1 when c is the lead byte of a double-byte character in code page 932.
int IsShiftJisLeadByte(unsigned char c);
// True when the name holds a backslash character (a registry key name cannot, so
// such a printer is no spooler printer here); the 0x5C trail byte of a
// double-byte character (表, ソ) is none.
bool HoldsBackslash(const std::string& name);
