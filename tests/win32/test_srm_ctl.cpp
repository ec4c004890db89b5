// srmctl.exe: what it prints, what it changes and its exit codes (0 success,
// 1 unknown printer, 2 bad arguments with nothing changed).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "codec.h"
#include "settings.h"
#include "srm_api.h"
#include "support_srm.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// The test's own driver name keeps its printers out of other tests' discovery.
std::string TestDriver() { return UniquePrinterName("SRM Test Driver"); }

TEST(Srmctl, AddGetWriteAndLogAsThePanelWould) {
    std::string name = UniquePrinterName("TK");
    name += std::string(220 - name.size(), 'N');  // the longest name srmctl takes
    const SrmctlResult add = RunSrmctl({"add", name, "--driver", TestDriver()});
    ASSERT_EQ(add.exitCode, 0u) << add.output;
    SimulatedPrinter printer = SimulatedPrinter::Adopt(name);

    const SrmctlResult factory = RunSrmctl({"get", name, "settings"});
    EXPECT_EQ(factory.exitCode, 0u);
    EXPECT_EQ(OutputLines(factory.output), std::vector<std::string>{Hex(FactoryBlock())});

    SettingsRecord record;
    LoadDefaultSettings(&record);
    record.printPressure = 250;
    record.formats[3].leftMargin = 12;
    CustomFeedTable custom = {};
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    std::vector<uint8_t> area(kCommandAreaSize);
    BuildUpdateCommand(block, area.data());
    SrmHandle handle(name);
    ASSERT_EQ(handle.OpenResult(), 0u);
    ASSERT_EQ(SetPrinterStatusDirectA(handle.Get(), SRM_ITEM_SETTINGS, area.data(), 260), 0u);

    const SrmctlResult log = RunSrmctl({"log", name});
    EXPECT_EQ(log.exitCode, 0u);
    EXPECT_EQ(OutputLines(log.output), std::vector<std::string>{Hex(area)});
    const SrmctlResult changed = RunSrmctl({"get", name, "settings"});
    std::vector<uint8_t> expected = FactoryBlock();
    expected[61] = 250;
    expected[103] = 12;
    EXPECT_EQ(OutputLines(changed.output), std::vector<std::string>{Hex(expected)});

    EXPECT_EQ(RunSrmctl({"log", name, "--clear"}).exitCode, 0u);
    EXPECT_TRUE(printer.Log().empty());
    const SrmctlResult list = RunSrmctl({"list"});
    EXPECT_EQ(list.exitCode, 0u);
    bool listed = false;
    for (const std::string& line : OutputLines(list.output)) listed = listed || line == name;
    EXPECT_TRUE(listed) << list.output;
    EXPECT_EQ(RunSrmctl({"remove", name}).exitCode, 0u);
    EXPECT_EQ(RunSrmctl({"add", name, "--driver", TestDriver()}).exitCode, 0u) << "nothing of it stayed";
}

TEST(Srmctl, SetAndGetEveryItem) {
    SimulatedPrinter printer("CTLITEM");
    ASSERT_EQ(printer.AddResult(), 0u);
    std::vector<uint8_t> block(260);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(255 - i);
    struct Case {
        const char* label;
        std::vector<std::string> values;  // after "set NAME"
        std::string printed;              // what get prints
        const char* item;
        std::vector<uint8_t> stored;      // the first bytes the printer then holds
    };
    const Case cases[] = {
        {"extended status", {"ext-status", "3"}, "0x3", SRM_ITEM_PRINTEREXTSTATUS, {3, 0, 0, 0}},
        {"status words, -1 and hexadecimal", {"status", "-1", "0x400", "7"}, "0xFFFFFFFF 0x400 0x7",
         SRM_ITEM_PRINTERSTATUS, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x04, 0, 0, 7, 0, 0, 0}},
        {"authority", {"authority", "24"}, "0x18", SRM_ITEM_USERAUTHORITY, {0x18, 0, 0, 0}},
        {"name", {"name", "プリンタ２"}, "プリンタ２", SRM_ITEM_PRINTERNAME,
         std::vector<uint8_t>(std::begin("プリンタ２"), std::end("プリンタ２"))},
        {"port alone", {"port", "COM1:"}, "COM1:", SRM_ITEM_PORT, {0, 0, 0, 0, 'C', 'O', 'M', '1', ':', 0}},
        {"port with a detail", {"port", "LPT2:", "net 1"}, "LPT2: \"net 1\"", SRM_ITEM_PORT,
         {0, 0, 0, 0, 'L', 'P', 'T', '2', ':', 0}},
        {"settings in lower case", {"settings", Lower(Hex(block))}, Hex(block), SRM_ITEM_SETTINGS,
         std::vector<uint8_t>(block.begin(), block.begin() + 8)},
    };
    for (const Case& c : cases) {
        std::vector<std::string> set = {"set", printer.Name()};
        set.insert(set.end(), c.values.begin(), c.values.end());
        const SrmctlResult run = RunSrmctl(set);
        ASSERT_EQ(run.exitCode, 0u) << c.label << ": " << run.output;
        const SrmctlResult get = RunSrmctl({"get", printer.Name(), c.values[0]});
        EXPECT_EQ(get.exitCode, 0u) << c.label;
        EXPECT_EQ(OutputLines(get.output), std::vector<std::string>{c.printed}) << c.label;
        const std::vector<uint8_t> stored = printer.Item(c.item, c.item == std::string(SRM_ITEM_PRINTERNAME) ? 256
                                                                 : c.item == std::string(SRM_ITEM_PRINTERSTATUS) ? 12
                                                                 : c.item == std::string(SRM_ITEM_PORT) ? 260
                                                                 : c.item == std::string(SRM_ITEM_SETTINGS) ? 260
                                                                                                             : 4);
        ASSERT_GE(stored.size(), c.stored.size()) << c.label;
        EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.begin() + c.stored.size()), c.stored) << c.label;
    }
    std::vector<uint8_t> port = printer.Item(SRM_ITEM_PORT, 260);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(port.data() + 132)), "net 1");
}

TEST(Srmctl, FaultAndReplySettingsTakeEffect) {
    SimulatedPrinter printer("CTLFAULT");
    ASSERT_EQ(printer.AddResult(), 0u);
    EXPECT_EQ(RunSrmctl({"fail", printer.Name(), "closemanager", "2"}).exitCode, 0u);
    EXPECT_EQ(printer.FaultCount("CloseManager"), 2u);
    EXPECT_EQ(RunSrmctl({"fail", printer.Name(), "GetPrinterStatusA", "always"}).exitCode, 0u);
    EXPECT_EQ(printer.FaultCount("GetPrinterStatusA"), kSrmFailAlways);
    EXPECT_EQ(RunSrmctl({"fail", printer.Name(), "GetPrinterStatusA", "off"}).exitCode, 0u);
    EXPECT_EQ(printer.FaultCount("GetPrinterStatusA"), 0u);

    EXPECT_EQ(RunSrmctl({"write-status", printer.Name(), "0x10"}).exitCode, 0u);
    EXPECT_EQ(RunSrmctl({"reply", printer.Name(), "read", "never"}).exitCode, 0u);
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    MessageRecorder recorder;
    ASSERT_EQ(GetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1226), 0u);
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    uint8_t area[kCommandAreaSize];
    BuildUpdateCommand(block, area);
    DWORD id = 0;
    ASSERT_EQ(SetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, area, 260, recorder.Window(), 1233, &id), 0u);
    ASSERT_TRUE(recorder.WaitFor(1233, 2000));
    DWORD status = 0;
    ASSERT_EQ(ResSetPrinterStatus(handle.Get(), id, &status), 0u);
    EXPECT_EQ(status, 0x10u);
    EXPECT_EQ(recorder.Count(1226), 0) << "the read reply is withheld";

    EXPECT_EQ(RunSrmctl({"delay", printer.Name(), "300"}).exitCode, 0u);
    DWORD length = 0;
    const DWORD start = GetTickCount();
    ASSERT_EQ(GetPrinterStatusA(handle.Get(), SRM_ITEM_SETTINGS, block, kSettingsBlockSize, &length), 0u);
    EXPECT_GE(GetTickCount() - start, 290u) << "a synchronous read of the block waits on the device";
}

}  // namespace
