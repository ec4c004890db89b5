// Shell logic free of windows: command line, status word, destination text,
// instance object name.
#include "shell_pure.h"

#include <cstring>

#include "text_pure.h"

namespace {

constexpr unsigned char kBlank = ' ';
constexpr unsigned char kTab = '\t';
constexpr unsigned char kQuote = '"';

// Bits of the "PrinterStatus" words that decide the selection list's word.
constexpr uint32_t kW1NetworkStateUnknown = 0x00100000;
constexpr uint32_t kW2ReadyBits = 0x0000003F | 0x07FFF300;
constexpr uint32_t kW1OfflineBits = 0x00000080 | 0x00010100;

const char* FindSwitch(const char* line) {
    // '/' never occurs as a trail byte, so a plain substring search is safe.
    const char* found = std::strstr(line, "/p:");
    if (!found) found = std::strstr(line, "/P:");
    return found;
}

// The line's bytes, unsigned: bytes of 0x80 and up are parts of characters.
const unsigned char* Bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }
const char* Chars(const unsigned char* bytes) { return reinterpret_cast<const char*>(bytes); }

const unsigned char* SkipBlanks(const unsigned char* scan) {
    while (*scan == kBlank) ++scan;
    return scan;
}

}  // namespace

// Blanks, tabs and quotes are never trail bytes in code page 932, so the
// program name can be scanned byte by byte.
const char* SkipProgramName(const char* commandLine) {
    const unsigned char* scan = Bytes(TextOrEmpty(commandLine));
    if (*scan == kQuote) {
        ++scan;
        while (*scan != '\0' && *scan != kQuote) ++scan;
        if (*scan == kQuote) ++scan;
    } else {
        while (*scan != '\0' && *scan != kBlank && *scan != kTab) ++scan;
    }
    while (*scan == kBlank || *scan == kTab) ++scan;
    return Chars(scan);
}

CommandLineParts SplitCommandLine(const char* commandLine, const char* password) {
    const char* line = TextOrEmpty(commandLine);
    password = TextOrEmpty(password);
    CommandLineParts parts = {0, line};

    if (const char* found = FindSwitch(line)) {
        const char* argument = found + 3;
        const char* scan = argument;
        size_t length = std::strlen(password);
        if (length > 0 && std::strncmp(argument, password, length) == 0 &&
            (Bytes(argument)[length] == '\0' || Bytes(argument)[length] == kBlank)) {
            parts.passwordGiven = 1;
            scan = argument + length - 1;  // the password's last character
        }
        // A blank (0x20) is never a trail byte either.
        const char* blank = std::strchr(scan, kBlank);
        parts.rest = blank ? Chars(SkipBlanks(Bytes(blank))) : nullptr;
    }
    if (parts.rest && parts.rest[0] == '\0') parts.rest = nullptr;
    return parts;
}

PrinterStatusLabel StatusLabelOf(uint32_t w1, uint32_t w2, const char* portText, const char* detailText) {
    bool network = TextOrEmpty(portText)[0] == '\\' || TextOrEmpty(detailText)[0] != '\0';
    if (network && (w1 & kW1NetworkStateUnknown)) return StatusLabelUnknown;
    if (w2 & kW2ReadyBits) return StatusLabelOnline;
    if (w1 & kW1OfflineBits) return StatusLabelOffline;
    return StatusLabelUnknown;
}

int FormatDestination(char* buffer, size_t size, const unsigned char* portItem) {
    if (!buffer || size == 0) return 0;
    if (!portItem) {
        buffer[0] = '\0';
        return 0;
    }
    char port[kPortFieldSize + 1];
    char detail[kPortFieldSize + 1];
    CopyField(port, sizeof port, reinterpret_cast<const char*>(portItem + kPortTextOffset), kPortFieldSize);
    CopyField(detail, sizeof detail, reinterpret_cast<const char*>(portItem + kPortDetailOffset), kPortFieldSize);
    if (detail[0] != '\0') return FormatText(buffer, size, "%s(%s)", port, detail);
    return FormatText(buffer, size, "%s", port);
}

int BuildInstanceName(char* buffer, size_t size, const char* printerName) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    if (!printerName) return 0;
    static const char kPrefix[] = "QUARLRP_";
    size_t prefixLength = sizeof kPrefix - 1;
    size_t nameLength = std::strlen(printerName);
    if (prefixLength + nameLength + 1 > size) return 0;

    std::memcpy(buffer, kPrefix, prefixLength);
    char* out = buffer + prefixLength;
    size_t i = 0;
    while (i < nameLength) {
        unsigned char c = static_cast<unsigned char>(printerName[i]);
        if (IsLeadByte932(c) && i + 1 < nameLength) {
            out[i] = printerName[i];
            out[i + 1] = printerName[i + 1];
            i += 2;
        } else {
            out[i] = c == '\\' ? ',' : printerName[i];
            i += 1;
        }
    }
    out[nameLength] = '\0';
    return 1;
}

int BuildSessionClaimName(char* buffer, size_t size, const char* printerName) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    char instance[kInstanceNameSize];
    if (!BuildInstanceName(instance, sizeof instance, printerName)) return 0;
    static const char kPrefix[] = "\\\\.\\pipe\\";
    const size_t length = std::strlen(instance);
    if (sizeof kPrefix - 1 + length < kSessionClaimNameSize) {
        if (sizeof kPrefix + length > size) return 0;
        std::memcpy(buffer, kPrefix, sizeof kPrefix - 1);
        std::memcpy(buffer + sizeof kPrefix - 1, instance, length + 1);
        return 1;
    }
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(instance[i])) * 0x100000001b3ull;
    if (FormatText(buffer, size, "%sQUARLRP#%08lx%08lx", kPrefix, static_cast<unsigned long>(hash >> 32),
                   static_cast<unsigned long>(hash & 0xFFFFFFFFu)))
        return 1;
    buffer[0] = '\0';
    return 0;
}

int FormatNameThenText(char* buffer, size_t size, const char* name, const char* separator, const char* text) {
    if (!buffer || size == 0) return 0;
    name = TextOrEmpty(name);
    separator = TextOrEmpty(separator);
    text = TextOrEmpty(text);
    size_t tail = std::strlen(separator) + std::strlen(text);
    if (std::strlen(name) + tail < size) return FormatText(buffer, size, "%s%s%s", name, separator, text);
    if (tail >= size) {
        // Not even the text fits: keep what fits from the start.
        FormatText(buffer, size, "%s%s%s", name, separator, text);
        return 0;
    }
    size_t kept = CompleteTextLength(name, size - 1 - tail);
    std::memcpy(buffer, name, kept);
    FormatText(buffer + kept, size - kept, "%s%s", separator, text);
    return 0;
}
