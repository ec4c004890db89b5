// Printer discovery against the registry, the spooler and the SRM stand-in.
// Most cases run in a registry of their own (ScratchMachine), so the printer
// set is exactly the test's; one runs on the real prefix with printers made by
// srmctl and only looks at its own printers.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "app.h"
#include "messages.h"
#include "resource.h"
#include "support_srm.h"
#include "test_shell_support.h"

using namespace shelltest;

namespace {

std::vector<std::string> ListedNames() {
    std::vector<std::string> names;
    for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next)
        names.push_back(entry->name ? entry->name : "(null)");
    return names;
}

const PrinterEntry* FindListed(const std::string& name) {
    for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next)
        if (entry->name && name == entry->name) return entry;
    return nullptr;
}

// The spooler's own order of the printers whose driver is `driver`.
std::vector<std::string> SpoolerOrder(const std::string& driver) {
    std::vector<std::string> names;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return names;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(), needed, &needed,
                       &count))
        return names;
    const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (printers[i].pDriverName && driver == printers[i].pDriverName) names.push_back(printers[i].pPrinterName);
    return names;
}

// Keeps those of `names` that are in `wanted`, in the order of `names`.
std::vector<std::string> Only(const std::vector<std::string>& names, const std::vector<std::string>& wanted) {
    std::vector<std::string> kept;
    for (const std::string& name : names)
        for (const std::string& w : wanted)
            if (name == w) kept.push_back(name);
    return kept;
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        ResetShellState();
        ASSERT_TRUE(machine_.Ok());
    }
    void TearDown() override { ResetShellState(); }

    std::string KeyMessage() const {
        return Text(IDS_REGISTRY_NOT_OPEN) + "\nKey: HKEY_LOCAL_MACHINE\\Software\\Quarl\\Pavonet\\Printers";
    }

    ScratchMachine machine_;
    BoxRecorder boxes_;
};

// ---- The suite's model keys ----

TEST_F(DiscoveryTest, MissingPrintersKeyIsReportedWithTheKey) {
    EXPECT_EQ(ReadSuiteModelKeys(), nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, KeyMessage());
    EXPECT_EQ(boxes_.boxes[0].caption, Title());
    EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(boxes_.boxes[0].owner, nullptr);
}

TEST_F(DiscoveryTest, ModelSubkeys) {
    struct Case {
        const char* label;
        std::vector<std::string> subkeys;
        bool served;
    };
    const Case cases[] = {
        {"no subkey at all", {}, false},
        {"other letter case only", {"tilbury 550tk", "TILBURY 550TK"}, false},
        {"another model only", {"Tilbury 100"}, false},
        {"a longer name", {"Tilbury 550TKX"}, false},
        {"the model among others", {"Tilbury 100", "Tilbury 550TK", "tilbury 550tk"}, true},
    };
    for (const Case& c : cases) {
        ScratchMachine machine;
        ASSERT_TRUE(machine.CreateModelKeys(c.subkeys)) << c.label;
        boxes_.boxes.clear();
        PrinterListOwner drivers(ReadSuiteModelKeys());
        if (c.served) {
            ASSERT_NE(drivers.get(), nullptr) << c.label;
            EXPECT_EQ(drivers.get()->next, nullptr) << c.label;
            EXPECT_STREQ(drivers.get()->model, ServedDriver().c_str()) << c.label;
            EXPECT_EQ(drivers.get()->name, nullptr) << c.label;
            EXPECT_EQ(drivers.get()->destination, nullptr) << c.label;
            EXPECT_TRUE(boxes_.boxes.empty()) << c.label;
        } else {
            EXPECT_EQ(drivers.get(), nullptr) << c.label;
            ASSERT_EQ(boxes_.boxes.size(), 1u) << c.label;
            EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_MODEL_MISSING)) << c.label;
            EXPECT_EQ(boxes_.boxes[0].caption, Title()) << c.label;
            EXPECT_EQ(boxes_.boxes[0].style, static_cast<UINT>(MB_ICONWARNING)) << c.label;
        }
    }
}

// A key deleted while it is walked answers every index with the same error;
// the walk must end instead of asking forever.
DWORD WINAPI WalkDeletedKey(void* parameter) {
    HKEY key = static_cast<HKEY>(parameter);
    PrinterEntry* list = nullptr;
    int result = CollectModelDrivers(key, "Tilbury 550TK", &list);
    FreePrinterList(list);
    return result == 1 && list == nullptr ? 0 : 1;
}

TEST_F(DiscoveryTest, WalkOfADeletedKeyEnds) {
    ASSERT_TRUE(machine_.CreateModelKeys({"Tilbury 100", "Tilbury 550TK"}));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, SUITE_PRINTERS_KEY, 0, KEY_ENUMERATE_SUB_KEYS, &key), ERROR_SUCCESS);
    DeleteTree(HKEY_LOCAL_MACHINE, SUITE_PRINTERS_KEY);

    HANDLE thread = CreateThread(nullptr, 0, WalkDeletedKey, key, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    DWORD wait = WaitForSingleObject(thread, 5000);
    EXPECT_EQ(wait, WAIT_OBJECT_0) << "the walk of the deleted key did not end";
    if (wait != WAIT_OBJECT_0) TerminateThread(thread, 2);
    DWORD exitCode = 2;
    GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(thread);
    RegCloseKey(key);
}

// ---- Discovery ----

TEST_F(DiscoveryTest, PrintersOfTheModelInSpoolerOrderWithTheirDestinations) {
    SimulatedPrinter local("Local", SpoolerEntry::Register, ServedDriver(), "LPT1:", "");
    SimulatedPrinter remote("Remote", SpoolerEntry::Register, ServedDriver(), "\\\\srv\\queue", "office");
    SimulatedPrinter other("Other", SpoolerEntry::Register, "Quarl Tilbury 100", "LPT2:", "");
    SimulatedPrinter closed("Closed", SpoolerEntry::Register, ServedDriver(), "LPT3:", "");
    ASSERT_EQ(local.AddResult(), 0u);
    ASSERT_EQ(remote.AddResult(), 0u);
    ASSERT_EQ(other.AddResult(), 0u);
    ASSERT_EQ(closed.AddResult(), 0u);
    ASSERT_EQ(closed.Fail("OpenManagerExA", kSrmFailAlways), 0u);
    // A spooler printer the SRM does not know, listed under a network name.
    const std::string network = "\\\\server\\Spooled-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(machine_.AddSpoolerPrinter(network, ServedDriver(), "spooled-only"));

    int count = DiscoverPrinters();

    std::vector<std::string> expected = SpoolerOrder(ServedDriver());
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(PrinterCount, 4);
    EXPECT_EQ(ListedNames(), expected);
    EXPECT_EQ(FindListed(other.Name()), nullptr);
    EXPECT_TRUE(boxes_.boxes.empty());

    struct Expected {
        std::string name;
        std::string destination;
    };
    const Expected destinations[] = {
        {local.Name(), "LPT1:"},
        {remote.Name(), "\\\\srv\\queue(office)"},
        {closed.Name(), Text(IDS_STATUS_UNKNOWN)},
        {network, Text(IDS_STATUS_UNKNOWN)},
    };
    for (const Expected& e : destinations) {
        const PrinterEntry* entry = FindListed(e.name);
        ASSERT_NE(entry, nullptr) << e.name;
        ASSERT_NE(entry->destination, nullptr) << e.name;
        EXPECT_EQ(std::string(entry->destination), e.destination) << e.name;
        ASSERT_NE(entry->model, nullptr) << e.name;
        EXPECT_EQ(std::string(entry->model), ServedDriver()) << e.name;
    }
}

TEST_F(DiscoveryTest, FullPortFieldsWithoutTerminators) {
    SimulatedPrinter printer("FullPort", SpoolerEntry::Register, ServedDriver(), "LPT1:", "");
    ASSERT_EQ(printer.AddResult(), 0u);
    unsigned char port[260];
    memset(port, 'p', sizeof port);
    memset(port + 132, 'd', 128);
    ASSERT_EQ(SrmSimSetItem(printer.CName(), "Port", port, sizeof port), 0u);

    ASSERT_EQ(DiscoverPrinters(), 1);
    ASSERT_NE(PrinterList->destination, nullptr);
    EXPECT_EQ(std::string(PrinterList->destination), std::string(128, 'p') + "(" + std::string(128, 'd') + ")");
}

TEST_F(DiscoveryTest, NoSpoolerPrintersGivesNothingSilently) {
    ASSERT_TRUE(machine_.CreateModelKeys({"Tilbury 550TK"}));
    EXPECT_EQ(DiscoverPrinters(), 0);
    EXPECT_EQ(PrinterList, nullptr);
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(DiscoveryTest, PrinterWithoutTheModelSubkeyIsNotServed) {
    ASSERT_TRUE(machine_.CreateModelKeys({"tilbury 550tk"}));
    ASSERT_TRUE(machine_.AddSpoolerPrinter("Lonely", ServedDriver()));
    EXPECT_EQ(DiscoverPrinters(), 0);
    EXPECT_EQ(PrinterList, nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, Text(IDS_MODEL_MISSING));
}

TEST_F(DiscoveryTest, OnlyOtherModelsGivesNothingSilently) {
    ASSERT_TRUE(machine_.CreateModelKeys({"Tilbury 550TK"}));
    ASSERT_TRUE(machine_.AddSpoolerPrinter("Stranger", "Quarl Tilbury 100"));
    EXPECT_EQ(DiscoverPrinters(), 0);
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(DiscoveryTest, ServedPrinterIsFoundAgainByItsWholeName) {
    ASSERT_TRUE(machine_.CreateModelKeys({"Tilbury 550TK"}));
    // Two names that differ only after 255 characters.
    const std::string longA = std::string(999, 'L') + "A";
    const std::string longB = std::string(999, 'L') + "B";
    ASSERT_TRUE(machine_.AddSpoolerPrinter(longA, ServedDriver(), "long-a"));
    ASSERT_TRUE(machine_.AddSpoolerPrinter(longB, ServedDriver(), "long-b"));
    ASSERT_TRUE(machine_.AddSpoolerPrinter("Short", ServedDriver()));
    ASSERT_EQ(DiscoverPrinters(), 3);

    for (const std::string& name : {longB, longA, std::string("Short")}) {
        CurrentPrinter = const_cast<PrinterEntry*>(FindListed(name));
        ASSERT_NE(CurrentPrinter, nullptr);
        ASSERT_EQ(DiscoverPrinters(), 3);
        ASSERT_NE(CurrentPrinter, nullptr) << name.substr(995);
        EXPECT_EQ(std::string(CurrentPrinter->name), name) << name.substr(995);
        EXPECT_EQ(CurrentPrinter, FindListed(name));
    }

    // The served printer leaves the spooler: no current printer afterwards.
    CurrentPrinter = const_cast<PrinterEntry*>(FindListed(longB));
    DeleteTree(HKEY_LOCAL_MACHINE, std::string(ScratchMachine::kSpoolerRoot) + "\\long-b");
    ASSERT_EQ(DiscoverPrinters(), 2);
    EXPECT_EQ(CurrentPrinter, nullptr);
}

TEST_F(DiscoveryTest, CurrentPrinterWithoutNameDoesNotBreakARediscovery) {
    ASSERT_TRUE(machine_.CreateModelKeys({"Tilbury 550TK"}));
    ASSERT_TRUE(machine_.AddSpoolerPrinter("Printer", ServedDriver()));
    PrinterEntry* nameless = MakeEntry(nullptr, nullptr, nullptr);  // a copy that failed
    CurrentPrinter = nameless;
    EXPECT_EQ(DiscoverPrinters(), 1);
    EXPECT_EQ(CurrentPrinter, nullptr);
    FreePrinterList(nameless);
}

// ---- On the prefix's real registry, with printers made by srmctl ----

TEST(DiscoveryWithSrmctl, OwnPrintersInSpoolerOrder) {
    SetAppInstance(GetModuleHandleA(nullptr));
    ResetShellState();
    BoxRecorder boxes;
    const std::string first = UniquePrinterName("CtlFirst");
    const std::string second = UniquePrinterName("CtlSecond");
    const std::string stranger = UniquePrinterName("CtlOther");
    struct Removal {
        std::vector<std::string> names;
        ~Removal() {
            for (const std::string& name : names) RunSrmctl({"remove", name});
        }
    } removal{{first, second, stranger}};
    ASSERT_EQ(RunSrmctl({"add", first}).exitCode, 0u);
    ASSERT_EQ(RunSrmctl({"add", second, "--port", "COM3:", "--detail", "office"}).exitCode, 0u);
    ASSERT_EQ(RunSrmctl({"add", stranger, "--driver", "Quarl Tilbury 100"}).exitCode, 0u);

    ASSERT_GE(DiscoverPrinters(), 2);
    std::vector<std::string> mine = Only(ListedNames(), {first, second, stranger});
    EXPECT_EQ(mine, Only(SpoolerOrder(ServedDriver()), {first, second}));
    ASSERT_NE(FindListed(first), nullptr);
    ASSERT_NE(FindListed(second), nullptr);
    EXPECT_STREQ(FindListed(first)->destination, "LPT1:");
    EXPECT_STREQ(FindListed(second)->destination, "COM3:(office)");

    // An SRM that cannot be opened for a printer leaves it listed as unknown.
    ASSERT_EQ(RunSrmctl({"fail", second, "OpenManagerExA", "always"}).exitCode, 0u);
    ASSERT_GE(DiscoverPrinters(), 2);
    ASSERT_NE(FindListed(second), nullptr);
    EXPECT_EQ(std::string(FindListed(second)->destination), Text(IDS_STATUS_UNKNOWN));
    EXPECT_TRUE(boxes.boxes.empty());
    ResetShellState();
}

}  // namespace
