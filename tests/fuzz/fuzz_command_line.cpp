// libFuzzer target for what the command line brings in: the program name
// before the rest (SkipProgramName), the password switch and the printer name
// (SplitCommandLine), and the texts built from that name (the instance
// object's name, a message that starts with the name).
// Input: the first byte is the stored password's length, the next bytes the
// password, the rest the whole command line; both are made terminated texts.
// A violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell_pure.h"
#include "text_pure.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The name must come back byte for byte, but for backslashes that stand alone.
void CheckInstanceName(const char* name) {
    char buffer[kInstanceNameSize];
    std::memset(buffer, 0x7E, sizeof buffer);
    const size_t length = std::strlen(name);
    const int built = BuildInstanceName(buffer, sizeof buffer, name);
    Check(built == (8 + length + 1 <= sizeof buffer ? 1 : 0));
    if (!built) {
        Check(buffer[0] == '\0');
        return;
    }
    Check(std::strncmp(buffer, "QUARLRP_", 8) == 0 && std::strlen(buffer) == 8 + length);
    bool trail = false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char in = static_cast<unsigned char>(name[i]);
        const char out = buffer[8 + i];
        if (!trail && in == '\\')
            Check(out == ',');
        else
            Check(out == name[i]);
        trail = !trail && IsLeadByte932(in) && i + 1 < length;
    }
}

// The name is cut, never the separator and the text, and never inside a character.
void CheckNameThenText(const char* name) {
    static const char kText[] = "\x82\xCD\x81\x41\x83\x54\x83\x7C\x81\x5B\x83\x67";  // は、サポート
    for (size_t size : {1, 8, 16, 64, 256}) {
        char buffer[256];
        std::memset(buffer, 0x7E, sizeof buffer);
        const int whole = FormatNameThenText(buffer, size, name, " ", kText);
        const size_t length = std::strlen(buffer);
        Check(length < size);
        const size_t tail = 1 + std::strlen(kText);
        Check(whole == (std::strlen(name) + tail < size ? 1 : 0));
        if (tail >= size) continue;
        Check(length >= tail && std::strcmp(buffer + length - tail, " \x82\xCD\x81\x41\x83\x54\x83\x7C\x81\x5B\x83\x67") == 0);
        const size_t kept = length - tail;
        Check(std::strncmp(buffer, name, kept) == 0);
        // A cut name ends on a character boundary (a whole name stays as given).
        if (!whole) Check(CompleteTextLength(name, kept) == kept);
    }
}

// Where the rest of a whole command line starts, worked out on its own: after
// the closing quote of a quoted program name, or else the first blank or tab,
// and after the blanks and tabs that follow.
size_t RestOffset(const std::string& whole) {
    size_t at = whole.empty() || whole[0] != '"' ? whole.find_first_of(" \t") : whole.find('"', 1);
    if (at == std::string::npos) return whole.size();
    if (whole[0] == '"') ++at;
    at = whole.find_first_not_of(" \t", at);
    return at == std::string::npos ? whole.size() : at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t passwordLength = data[0] < size - 1 ? data[0] : size - 1;
    const std::string password(reinterpret_cast<const char*>(data + 1), passwordLength);
    const std::string rawLine(reinterpret_cast<const char*>(data + 1 + passwordLength), size - 1 - passwordLength);
    const std::string whole = rawLine.substr(0, rawLine.find('\0'));
    const char* stored = password.c_str();

    // The program name goes, quoted or not, with the blanks or tabs after it;
    // the rest is the line's own end, byte for byte.
    const char* text = SkipProgramName(whole.c_str());
    Check(text == whole.c_str() + RestOffset(whole));
    const std::string line = text;

    const CommandLineParts parts = SplitCommandLine(text, stored);
    const char* switchAt = std::strstr(text, "/p:");
    if (!switchAt) switchAt = std::strstr(text, "/P:");
    if (parts.rest) {
        // A part of the line: its end, never empty; after a switch, the text
        // after the blanks that end the switch's word.
        Check(parts.rest >= text && parts.rest < text + line.size());
        Check(parts.rest[0] != '\0');
        Check(switchAt || parts.rest == text);
        if (switchAt) Check(parts.rest > switchAt + 3 && parts.rest[-1] == ' ' && parts.rest[0] != ' ');
    } else {
        Check(switchAt || line.empty());
    }
    if (parts.passwordGiven) {
        const size_t length = std::strlen(stored);
        Check(switchAt && length > 0 && std::strncmp(switchAt + 3, stored, length) == 0);
        Check(switchAt[3 + length] == '\0' || switchAt[3 + length] == ' ');
    }
    // Without a switch the whole line is the printer name, trailing blanks included.
    if (!switchAt && !line.empty()) Check(parts.rest == text);

    const char* name = parts.rest ? parts.rest : text;
    CheckInstanceName(name);
    CheckNameThenText(name);
    return 0;
}
