// The shell's window-free logic: the command line's password switch, the
// selection list's status word, the destination text and the instance object
// name. Shift-JIS texts are written as bytes (this build is not CP932).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell_pure.h"
#include "text_pure.h"

namespace {

// ---- Command line ----

struct CommandLineCase {
    const char* label;
    const char* line;
    const char* password;
    int passwordGiven;
    int restOffset;  // where rest starts in the line; -1 for null
    bool withProgram = false;  // the line as the system keeps it, program name first
};

const CommandLineCase kCommandLines[] = {
    {"no switch: the whole line is the printer", "TK-1", "secret", 0, 0},
    {"no switch: trailing blanks belong to the name", "TK-1  ", "secret", 0, 0},
    {"no switch: blanks inside the name stay", "My TK 1", "secret", 0, 0},
    {"empty line", "", "secret", 0, -1},
    {"right password and printer", "/P:secret TK-1", "secret", 1, 10},
    {"lower-case switch", "/p:secret TK-1", "secret", 1, 10},
    {"several blanks before the printer are skipped", "/P:secret   TK 1", "secret", 1, 12},
    {"switch and password only", "/P:secret", "secret", 1, -1},
    {"switch and password with trailing blanks only", "/P:secret   ", "secret", 1, -1},
    {"one more character after the password", "/P:secretX TK-1", "secret", 0, 11},
    {"wrong password still consumes its word", "/P:wrong TK-1", "secret", 0, 9},
    {"start of the password only", "/P:secre TK-1", "secret", 0, 9},
    {"password in other letter case", "/P:SECRET TK-1", "secret", 0, 10},
    {"printer before the switch is ignored", "TK-1 /P:secret", "secret", 1, -1},
    {"printer before the switch, then another", "TK-1 /P:secret TK-2", "secret", 1, 15},
    {"/p: is looked for before /P:", "/P:other /p:secret TK-1", "secret", 1, 19},
    {"/p: wins even when /P: carries the password", "/P:secret /p:wrong TK-1", "secret", 0, 19},
    {"no stored password: the switch word is still consumed", "/P:anything TK-1", "", 0, 12},
    {"no stored password (null)", "/P:anything TK-1", nullptr, 0, 12},
    {"switch at the end of the line", "TK-1 /P:", "secret", 0, -1},
    {"switch inside a word", "a/P:secret b", "secret", 1, 11},
    {"password with a 0x5C trail byte", "/P:\x83\x5C\x83\x5C TK", "\x83\x5C\x83\x5C", 1, 8},
    {"double-byte printer name", "/P:secret \x83\x76\x83\x8A\x83\x93\x83\x5E", "secret", 1, 10},
    // After the program name: 経理1, ああ, 表示 (0x5C trail byte), ソ.
    {"program, then a name beginning double-byte", "RP.exe \x8C\x6F\x97\x9D\x31", "", 0, 7, true},
    {"program, then double-byte characters only", "RP.exe  \x82\xA0\x82\xA0", "", 0, 8, true},
    {"quoted program path with blanks, 0x5C trail byte", "\"C:\\My Apps\\RP.exe\" \x95\x5C\x8E\xA6", "", 0, 20, true},
    {"quoted program, no blank, trailing blanks stay", "\"RP.exe\"\x83\x5C  ", "", 0, 8, true},
    {"program in a double-byte folder, a tab", "\x95\x5C\\RP.exe\t\x83\x5C", "", 0, 10, true},
    {"program, switch and a double-byte name", "RP.exe /P:secret \x82\xA0", "secret", 1, 17, true},
    {"program name only", "\"RP.exe\"  ", "", 0, -1, true},
};

TEST(SplitCommandLine, Table) {
    for (const CommandLineCase& c : kCommandLines) {
        CommandLineParts parts = SplitCommandLine(c.withProgram ? SkipProgramName(c.line) : c.line, c.password);
        EXPECT_EQ(parts.passwordGiven, c.passwordGiven) << c.label;
        if (c.restOffset < 0) {
            EXPECT_EQ(parts.rest, nullptr) << c.label;
        } else {
            EXPECT_EQ(parts.rest, c.line + c.restOffset) << c.label;
        }
    }
}

TEST(SplitCommandLine, NullLineHasNoRest) {
    CommandLineParts parts = SplitCommandLine(nullptr, "secret");
    EXPECT_EQ(parts.passwordGiven, 0);
    EXPECT_EQ(parts.rest, nullptr);
}

TEST(SplitCommandLine, TenThousandCharacterLine) {
    std::string line = "/P:secret " + std::string(9990, 'x');
    CommandLineParts parts = SplitCommandLine(line.c_str(), "secret");
    EXPECT_EQ(parts.passwordGiven, 1);
    ASSERT_NE(parts.rest, nullptr);
    EXPECT_EQ(std::strlen(parts.rest), 9990u);

    std::string password(5000, 'p');
    std::string withLongPassword = "/P:" + password + " TK";
    parts = SplitCommandLine(withLongPassword.c_str(), password.c_str());
    EXPECT_EQ(parts.passwordGiven, 1);
    ASSERT_NE(parts.rest, nullptr);
    EXPECT_STREQ(parts.rest, "TK");
}

// ---- Status word ----

struct StatusCase {
    const char* label;
    uint32_t w1;
    uint32_t w2;
    const char* port;
    const char* detail;
    PrinterStatusLabel expected;
};

const StatusCase kStatusCases[] = {
    {"nothing set", 0, 0, "LPT1:", "", StatusLabelUnknown},
    {"w2 lowest ready bit", 0, 0x00000001, "LPT1:", "", StatusLabelOnline},
    {"w2 ready bit 0x20", 0, 0x00000020, "LPT1:", "", StatusLabelOnline},
    {"w2 ready bit 0x100", 0, 0x00000100, "LPT1:", "", StatusLabelOnline},
    {"w2 ready bit 0x1000", 0, 0x00001000, "LPT1:", "", StatusLabelOnline},
    {"w2 highest ready bit", 0, 0x04000000, "LPT1:", "", StatusLabelOnline},
    {"w2 bits outside the ready masks", 0, 0x08000CC0, "LPT1:", "", StatusLabelUnknown},
    {"w1 offline bit 0x80", 0x00000080, 0, "LPT1:", "", StatusLabelOffline},
    {"w1 offline bit 0x100", 0x00000100, 0, "LPT1:", "", StatusLabelOffline},
    {"w1 offline bit 0x10000", 0x00010000, 0, "LPT1:", "", StatusLabelOffline},
    {"w1 bits outside the offline masks", 0x0000007F, 0, "LPT1:", "", StatusLabelUnknown},
    {"ready wins over offline", 0x00000080, 0x00000001, "LPT1:", "", StatusLabelOnline},
    {"network by port, state unknown, ready", 0x00100000, 0x00000001, "\\\\srv\\lp", "", StatusLabelUnknown},
    {"network by second text, state unknown", 0x00100080, 0x00000001, "IP_1", "host", StatusLabelUnknown},
    {"network, state known, ready", 0, 0x00000001, "\\\\srv\\lp", "", StatusLabelOnline},
    {"network, state known, offline", 0x00000080, 0, "\\\\srv\\lp", "", StatusLabelOffline},
    {"local with the network bit, ready", 0x00100000, 0x00000001, "LPT1:", "", StatusLabelOnline},
    {"local with the network bit, offline", 0x00100080, 0, "LPT1:", "", StatusLabelOffline},
    {"no port texts at all", 0x00100000, 0x00000001, nullptr, nullptr, StatusLabelOnline},
};

TEST(StatusLabelOf, Table) {
    for (const StatusCase& c : kStatusCases) {
        EXPECT_EQ(StatusLabelOf(c.w1, c.w2, c.port, c.detail), c.expected) << c.label;
    }
}

// ---- Destination ----

struct PortItem {
    unsigned char bytes[kPortItemSize];
    PortItem(const std::string& port, const std::string& detail) {
        std::memset(bytes, 0x7A, sizeof bytes);  // no terminators unless the texts bring them
        std::memcpy(bytes + kPortTextOffset, port.data(), port.size());
        std::memcpy(bytes + kPortDetailOffset, detail.data(), detail.size());
    }
};

struct DestinationCase {
    const char* label;
    std::string port;    // bytes placed at offset 4 (with their terminator if wanted)
    std::string detail;  // bytes placed at offset 132
    std::string expected;
};

TEST(FormatDestination, Table) {
    const std::string full(128, 'a');
    const std::string fullDetail(128, 'b');
    const DestinationCase cases[] = {
        {"port only", std::string("LPT1:\0", 6), std::string("\0", 1), "LPT1:"},
        {"port and second text", std::string("\\\\srv\\lp\0", 9), std::string("host\0", 5), "\\\\srv\\lp(host)"},
        {"garbage after the terminator is not read", std::string("COM1:\0junk", 10), std::string("\0x", 2), "COM1:"},
        {"both fields full without terminator", full, fullDetail, full + "(" + fullDetail + ")"},
        {"field ends on a lead byte without its trail", std::string(127, 'a') + "\x83", std::string("\0", 1),
         std::string(127, 'a')},
        {"double-byte texts stay whole", std::string("\x83\x5C\x83\x5C\0", 5), std::string("\x88\x9F\0", 3),
         "\x83\x5C\x83\x5C(\x88\x9F)"},
    };
    for (const DestinationCase& c : cases) {
        PortItem item(c.port, c.detail);
        char buffer[kDestinationSize];
        EXPECT_EQ(FormatDestination(buffer, sizeof buffer, item.bytes), 1) << c.label;
        EXPECT_EQ(std::string(buffer), c.expected) << c.label;
    }
}

TEST(FormatDestination, SmallBufferIsCutAtACharacterBoundary) {
    PortItem item(std::string("\x83\x5C\x83\x5C\x83\x5C\0", 7), std::string("\0", 1));
    char buffer[6];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(FormatDestination(buffer, 5, item.bytes), 0);
    EXPECT_STREQ(buffer, "\x83\x5C\x83\x5C");
    EXPECT_EQ(static_cast<unsigned char>(buffer[5]), 0x55);  // nothing past the given size
}

// ---- Instance object name ----

struct InstanceNameCase {
    const char* label;
    std::string name;
    int fits;
    std::string expected;
    size_t size = kInstanceNameSize;
};

TEST(BuildInstanceName, Table) {
    const InstanceNameCase cases[] = {
        {"local printer", "TK-1", 1, "QUARLRP_TK-1"},
        {"network printer", "\\\\host\\lp", 1, "QUARLRP_,,host,lp"},
        {"0x5C trail byte is not a backslash", "\x83\x5C\\x\x83\x5C", 1, "QUARLRP_\x83\x5C,x\x83\x5C"},
        {"lead byte without trail at the end", "a\x83", 1, "QUARLRP_a\x83"},
        {"empty name", "", 1, "QUARLRP_"},
        {"longest name that fits", std::string(251, 'n'), 1, "QUARLRP_" + std::string(251, 'n')},
        {"one character too long", std::string(252, 'n'), 0, ""},
        {"1000 characters", std::string(1000, 'n'), 0, ""},
        {"buffer of size 0", "TK-1", 0, "", 0},
    };
    for (const InstanceNameCase& c : cases) {
        char buffer[kInstanceNameSize + 8];
        std::memset(buffer, 0x55, sizeof buffer);
        EXPECT_EQ(BuildInstanceName(buffer, c.size, c.name.c_str()), c.fits) << c.label;
        if (c.size > 0) {
            EXPECT_EQ(std::string(buffer), c.expected) << c.label;
        }
        EXPECT_EQ(static_cast<unsigned char>(buffer[c.size]), 0x55) << c.label;
    }
}

TEST(BuildInstanceName, NullNameIsRefused) {
    char buffer[kInstanceNameSize] = "x";
    EXPECT_EQ(BuildInstanceName(buffer, sizeof buffer, nullptr), 0);
    EXPECT_STREQ(buffer, "");
}

// The pipe every session sees: the instance name while it fits the 256
// characters of a pipe name, a hash of it beyond (two long names, two pipes).
TEST(BuildSessionClaimName, Table) {
    const std::string longA(240, 'a'), longB = std::string(239, 'a') + "b";
    const InstanceNameCase cases[] = {
        {"network printer", "\\\\host\\lp", 1, "\\\\.\\pipe\\QUARLRP_,,host,lp"},
        {"longest name in full", std::string(239, 'n'), 1, "\\\\.\\pipe\\QUARLRP_" + std::string(239, 'n')},
        {"one more: hashed", longA, 1, "\\\\.\\pipe\\QUARLRP#"},
        {"too long for the mapping", std::string(252, 'n'), 0, ""},
        {"buffer of size 0", "TK-1", 0, "", 0},
        {"buffer too small for the name", "TK-1", 0, "", 21},
        {"buffer too small for the hash", longA, 0, "", 21},
    };
    for (const InstanceNameCase& c : cases) {
        char buffer[kSessionClaimNameSize] = {};
        // the rows without a size of their own take the whole buffer
        const size_t size = c.size == kInstanceNameSize ? sizeof buffer : c.size;
        EXPECT_EQ(BuildSessionClaimName(buffer, size, c.name.c_str()), c.fits) << c.label;
        EXPECT_EQ(std::string(buffer).substr(0, c.expected.size()), c.expected) << c.label;
        EXPECT_LE(std::strlen(buffer), 256u) << c.label;
    }
    char a[kSessionClaimNameSize], b[kSessionClaimNameSize];
    ASSERT_EQ(BuildSessionClaimName(a, sizeof a, longA.c_str()), 1);
    ASSERT_EQ(BuildSessionClaimName(b, sizeof b, longB.c_str()), 1);
    EXPECT_EQ(std::strlen(a), 9u + 8u + 16u);
    EXPECT_STRNE(a, b);
}

// ---- Name then text ----

TEST(FormatNameThenText, FitsWhole) {
    char buffer[64];
    EXPECT_EQ(FormatNameThenText(buffer, sizeof buffer, "TK-1", " ", "is not served."), 1);
    EXPECT_STREQ(buffer, "TK-1 is not served.");
}

TEST(FormatNameThenText, LongNameIsCutAndTheTextStaysWhole) {
    const std::string text = "is not served.";
    const std::string name(10000, 'x');
    char buffer[256];
    EXPECT_EQ(FormatNameThenText(buffer, sizeof buffer, name.c_str(), " ", text.c_str()), 0);
    std::string result(buffer);
    EXPECT_EQ(result.size(), 255u);
    EXPECT_EQ(result.substr(result.size() - text.size() - 1), " " + text);
    EXPECT_EQ(result.substr(0, 10), std::string(10, 'x'));
}

TEST(FormatNameThenText, DoubleByteNameIsCutBetweenCharacters) {
    std::string name;
    for (int i = 0; i < 300; ++i) name += "\x83\x5C";
    for (size_t size : {size_t(32), size_t(33), size_t(256)}) {
        char buffer[256];
        FormatNameThenText(buffer, size, name.c_str(), " ", "abc");  // the tail is 4 bytes
        std::string result(buffer);
        ASSERT_LT(result.size(), size);
        EXPECT_EQ(result.substr(result.size() - 4), " abc") << size;
        EXPECT_EQ((result.size() - 4) % 2, 0u) << size;
        EXPECT_EQ(CompleteTextLength(buffer, result.size()), result.size()) << size;
    }
}

TEST(FormatNameThenText, TextLongerThanTheBufferIsCutSafely) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "\x83\x5C";
    char buffer[17];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(FormatNameThenText(buffer, 16, "name", " ", text.c_str()), 0);
    std::string result(buffer);
    EXPECT_LT(result.size(), 16u);
    EXPECT_EQ(result.substr(0, 5), "name ");
    EXPECT_EQ(CompleteTextLength(buffer, result.size()), result.size());
    EXPECT_EQ(static_cast<unsigned char>(buffer[16]), 0x55);
}

}  // namespace
