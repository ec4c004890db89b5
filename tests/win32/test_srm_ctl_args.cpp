// srmctl.exe on bad input: exit code 2 with a message and nothing changed;
// exit code 1 for a printer that does not exist.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "srm_api.h"
#include "support_srm.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(Srmctl, ExitCodesAndNothingChangedOnBadArguments) {
    SimulatedPrinter printer("CTLARGS");
    ASSERT_EQ(printer.AddResult(), 0u);
    const std::string name = printer.Name();
    const std::string unknown = UniquePrinterName("NOSUCH");
    const std::vector<uint8_t> blockBefore = printer.Block();
    const std::vector<uint8_t> statusBefore = printer.Item(SRM_ITEM_PRINTERSTATUS, 12);
    struct Case {
        const char* label;
        std::vector<std::string> arguments;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"no command", {}, 2},
        {"unknown command", {"frobnicate", name}, 2},
        {"add without a name", {"add"}, 2},
        {"add with an unknown option", {"add", unknown, "--colour", "red"}, 2},
        {"add with an option missing its value", {"add", unknown, "--port"}, 2},
        {"add of a printer that exists", {"add", name, "--no-spooler"}, 2},
        {"add with a name over 220 bytes", {"add", unknown + std::string(221 - unknown.size(), 'N')}, 2},
        {"add with a port text too long", {"add", unknown, "--port", std::string(128, 'P'), "--no-spooler"}, 2},
        {"set of an unknown item", {"set", name, "colour", "1"}, 2},
        {"status with two words", {"set", name, "status", "1", "2"}, 2},
        {"number with trailing junk", {"set", name, "status", "1", "2x", "3"}, 2},
        {"decimal beyond 32 bits", {"set", name, "status", "4294967296", "0", "0"}, 2},
        {"hexadecimal beyond 32 bits", {"set", name, "status", "0x100000000", "0", "0"}, 2},
        {"bare 0x", {"set", name, "status", "0x", "0", "0"}, 2},
        {"settings one byte short", {"set", name, "settings", std::string(518, '0')}, 2},
        {"settings not hexadecimal", {"set", name, "settings", std::string(519, '0') + "G"}, 2},
        {"name too long", {"set", name, "name", std::string(256, 'N')}, 2},
        {"port detail too long", {"set", name, "port", "LPT1:", std::string(128, 'D')}, 2},
        {"get with an extra value", {"get", name, "status", "1"}, 2},
        {"fail of an unknown function", {"fail", name, "OpenManager", "1"}, 2},
        {"fail with a bad count", {"fail", name, "CloseManager", "sometimes"}, 2},
        {"reply neither read nor write", {"reply", name, "sideways", "5"}, 2},
        {"reply with a bad delay", {"reply", name, "read", "soon"}, 2},
        {"device delay never", {"delay", name, "never"}, 2},
        {"write-status without a number", {"write-status", name}, 2},
        {"log with an unknown option", {"log", name, "--all"}, 2},
        {"password without a value", {"password"}, 2},
        {"get of an unknown printer", {"get", unknown, "status"}, 1},
        {"set of an unknown printer", {"set", unknown, "ext-status", "1"}, 1},
        {"remove of an unknown printer", {"remove", unknown}, 1},
        {"fail of an unknown printer", {"fail", unknown, "CloseManager", "1"}, 1},
        {"log of an unknown printer", {"log", unknown}, 1},
        {"name in other letter case", {"get", Lower(name), "status"}, 1},
    };
    for (const Case& c : cases) {
        const SrmctlResult run = RunSrmctl(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.label << ": " << run.output;
        EXPECT_FALSE(run.output.empty()) << c.label << ": a failure says why";
    }
    EXPECT_EQ(printer.Block(), blockBefore);
    EXPECT_EQ(printer.Item(SRM_ITEM_PRINTERSTATUS, 12), statusBefore);
    EXPECT_EQ(printer.FaultCount("CloseManager"), 0u);
    SrmHandle gone(unknown);
    EXPECT_EQ(gone.OpenResult(), kSrmErrUnknownPrinter) << "no add with bad arguments made the printer";
}

}  // namespace
