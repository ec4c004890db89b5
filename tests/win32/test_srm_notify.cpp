// Change notifications of the stand-in SRM across processes: srmctl changes
// an item in its own process and the registered window here hears of it
// within a second; killed registrations and closed handles hear nothing.
// Also: a printer made known to the system shows in the spooler's list.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "srm_api.h"
#include "support_srm.h"

namespace {

struct Registered {
    const char* item;
    UINT message;
};
// The panel's six registrations, in its order.
const Registered kRegistrations[] = {
    {SRM_ITEM_PRINTERNAME, 1237},      {SRM_ITEM_PORT, 1238},          {SRM_ITEM_PRINTEREXTSTATUS, 1234},
    {SRM_ITEM_PRINTERSTATUS, 1235},    {SRM_ITEM_USERAUTHORITY, 1236}, {SRM_ITEM_SETTINGS, 1239},
};

DWORD ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// A ready printer, a handle on it and a window that records what is posted.
struct Watched {
    explicit Watched(const char* label) : printer(label), handle(printer.Name()) {}
    bool Ready() const { return printer.AddResult() == 0 && handle.OpenResult() == 0; }
    SimulatedPrinter printer;
    SrmHandle handle;
    MessageRecorder recorder;
};

std::string FactoryHexWith(size_t offset, uint8_t value) {
    std::vector<uint8_t> block = FactoryBlock();
    block[offset] = value;
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t byte : block) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

TEST(SrmNotify, ChangeBySrmctlReachesTheWindowWithinASecond) {
    Watched watched("NOTIFY");
    ASSERT_TRUE(watched.Ready());
    auto& [printer, handle, recorder] = watched;
    const DWORD threadsBefore = ThreadsOfThisProcess();
    DWORD ids[6] = {};
    for (int i = 0; i < 6; ++i) {
        ASSERT_EQ(SetNotificationMsgA(handle.Get(), kRegistrations[i].item, recorder.Window(),
                                      kRegistrations[i].message, &ids[i]),
                  0u)
            << kRegistrations[i].item;
        EXPECT_NE(ids[i], 0u);
        for (int j = 0; j < i; ++j) EXPECT_NE(ids[i], ids[j]);
    }
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore + 1) << "one watcher serves every registration";

    struct Case {
        const char* label;
        std::vector<std::string> arguments;  // after "set NAME"
        UINT message;
    };
    const Case cases[] = {
        {"extended status", {"ext-status", "1"}, 1234},
        {"status words", {"status", "0", "0x400", "0"}, 1235},
        {"authority", {"authority", "0x08"}, 1236},
        {"printer name", {"name", printer.Name() + "-new"}, 1237},
        {"port", {"port", "LPT2:", "second"}, 1238},
        {"settings block", {"settings", FactoryHexWith(61, 0xFA)}, 1239},
    };
    for (const Case& c : cases) {
        recorder.Clear();
        std::vector<std::string> arguments = {"set", printer.Name()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const SrmctlResult run = RunSrmctl(arguments);
        ASSERT_EQ(run.exitCode, 0u) << c.label << ": " << run.output;
        const DWORD changed = GetTickCount();  // srmctl has ended: the change is made
        EXPECT_TRUE(recorder.WaitFor(c.message, 5000)) << c.label;
        if (recorder.Count(c.message) > 0) {
            EXPECT_LE(recorder.Entries().front().tick - changed, 1000u) << c.label;
        }
        ASSERT_TRUE(recorder.Drain());
        EXPECT_EQ(recorder.Entries().size(), 1u) << c.label << ": only the changed item is notified";
    }
    for (DWORD id : ids) EXPECT_EQ(KillNotificationMsg(handle.Get(), id), 0u);
}

TEST(SrmNotify, KilledRegistrationsAndClosedHandlesHearNothing) {
    SimulatedPrinter printer("KILL");
    ASSERT_EQ(printer.AddResult(), 0u);
    SrmHandle live(printer.Name());
    SrmHandle closing(printer.Name());
    ASSERT_EQ(live.OpenResult(), 0u);
    ASSERT_EQ(closing.OpenResult(), 0u);
    MessageRecorder recorder;
    DWORD liveId = 0;
    DWORD killedId = 0;
    DWORD closedId = 0;
    ASSERT_EQ(SetNotificationMsgA(live.Get(), SRM_ITEM_PRINTERSTATUS, recorder.Window(), 1301, &liveId), 0u);
    ASSERT_EQ(SetNotificationMsgA(live.Get(), SRM_ITEM_PRINTERSTATUS, recorder.Window(), 1302, &killedId), 0u);
    ASSERT_EQ(SetNotificationMsgA(closing.Get(), SRM_ITEM_PRINTERSTATUS, recorder.Window(), 1303, &closedId), 0u);

    ASSERT_EQ(KillNotificationMsg(live.Get(), killedId), 0u);
    EXPECT_EQ(KillNotificationMsg(live.Get(), killedId), kSrmErrUnknownNotification) << "killed only once";
    EXPECT_EQ(KillNotificationMsg(live.Get(), closedId), kSrmErrUnknownNotification) << "another handle's id";
    EXPECT_EQ(KillNotificationMsg(live.Get(), 0), kSrmErrUnknownNotification);
    const DWORD closedHandle = closing.Get();
    ASSERT_EQ(closing.Close(), 0u);
    EXPECT_EQ(KillNotificationMsg(closedHandle, closedId), kSrmErrHandle);

    ASSERT_EQ(printer.SetStatus(0, 0x80, 0), 0u);
    ASSERT_TRUE(recorder.WaitFor(1301, 5000));
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1301), 1);
    EXPECT_EQ(recorder.Count(1302), 0);
    EXPECT_EQ(recorder.Count(1303), 0);

    // Writing the same value again is no change.
    recorder.Clear();
    ASSERT_EQ(printer.SetStatus(0, 0x80, 0), 0u);
    ASSERT_EQ(printer.SetStatus(0, 0x80, 0x1000), 0u);
    ASSERT_TRUE(recorder.WaitFor(1301, 5000));
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1301), 1);
    EXPECT_EQ(KillNotificationMsg(live.Get(), liveId), 0u);
}

TEST(SrmNotify, BadRegistrationsFail) {
    Watched watched("REGBAD");
    ASSERT_TRUE(watched.Ready());
    auto& [printer, handle, recorder] = watched;
    struct Case {
        const char* label;
        DWORD handle;
        const char* item;
        HWND window;
        bool nullId;
        DWORD expected;
    };
    const Case cases[] = {
        {"unknown item", handle.Get(), "Status", recorder.Window(), false, kSrmErrUnknownItem},
        {"null item", handle.Get(), nullptr, recorder.Window(), false, kSrmErrArgument},
        {"null window", handle.Get(), SRM_ITEM_PORT, nullptr, false, kSrmErrArgument},
        {"null id", handle.Get(), SRM_ITEM_PORT, recorder.Window(), true, kSrmErrArgument},
        {"unknown handle", handle.Get() + 0x1000, SRM_ITEM_PORT, recorder.Window(), false, kSrmErrHandle},
    };
    for (const Case& c : cases) {
        DWORD id = 0x4321;
        EXPECT_EQ(SetNotificationMsgA(c.handle, c.item, c.window, 1238, c.nullId ? nullptr : &id), c.expected)
            << c.label;
        EXPECT_EQ(id, 0x4321u) << c.label;
    }
}

// Between taking the item and registering: busy, and a change of a registered
// item of the same key; once that is posted, the service has read the key
// without the new registration.
void WINAPI ChangeInBetween(void* context) {
    Watched* w = static_cast<Watched*>(context);
    if (w->printer.SetStatus(0, 0, 0x4) == 0 && w->printer.SetExtStatus(1) == 0) w->recorder.WaitFor(1234, 5000);
}

// A change the service has seen before the registration existed: the
// registration is compared afresh, so the change back is still posted.
TEST(SrmNotify, ChangeBetweenSnapshotAndRegistrationIsNotLost) {
    Watched watched("SNAP");
    ASSERT_TRUE(watched.Ready());
    auto& [printer, handle, recorder] = watched;
    DWORD id = 0;
    ASSERT_EQ(SetNotificationMsgA(handle.Get(), SRM_ITEM_PRINTEREXTSTATUS, recorder.Window(), 1234, &id), 0u);
    SrmSimSetRegistrationHook(ChangeInBetween, &watched);
    const DWORD result = SetNotificationMsgA(handle.Get(), SRM_ITEM_PRINTERSTATUS, recorder.Window(), 1235, &id);
    SrmSimSetRegistrationHook(nullptr, nullptr);
    ASSERT_EQ(result, 0u);
    ASSERT_EQ(recorder.Count(1234), 1);
    // Compared afresh, the busy status differs from what the registration took.
    ASSERT_TRUE(recorder.WaitFor(1235, 5000)) << "the change made in between reaches the window";

    ASSERT_EQ(printer.SetStatus(0, 0, kSrmReadyStatusWord3), 0u);  // back to ready
    EXPECT_TRUE(recorder.WaitFor(1235, 5000, 2)) << "busy to ready reaches the window";
}

// The spooler's printers of one driver name, as EnumPrintersA(6, NULL, 2) lists them.
std::vector<std::string> SpoolerPrintersOf(const std::string& driver) {
    std::vector<std::string> names;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(6, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return names;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(6, nullptr, 2, buffer.data(), needed, &needed, &count)) return names;
    const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (printers[i].pDriverName != nullptr && driver == printers[i].pDriverName) {
            names.push_back(printers[i].pPrinterName);
        }
    }
    return names;
}

TEST(SrmSpooler, AddedPrinterIsListedWithItsDriverUntilRemoved) {
    // A driver name of its own, so that no other test's discovery sees it.
    const std::string driver = UniquePrinterName("SRM Test Driver");
    std::string name;
    {
        SimulatedPrinter printer("SPOOL", SpoolerEntry::Register, driver, "LPT3:");
        ASSERT_EQ(printer.AddResult(), 0u);
        name = printer.Name();
        EXPECT_EQ(SpoolerPrintersOf(driver), std::vector<std::string>{name});

        HKEY model = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quarl\\Pavonet\\Printers\\Tilbury 550TK", 0,
                                KEY_QUERY_VALUE, &model),
                  ERROR_SUCCESS);
        if (model != nullptr) RegCloseKey(model);
    }
    EXPECT_TRUE(SpoolerPrintersOf(driver).empty()) << "removed with the printer";
    HKEY model = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quarl\\Pavonet\\Printers\\Tilbury 550TK", 0,
                            KEY_QUERY_VALUE, &model),
              ERROR_SUCCESS)
        << "the suite's model key stays";
    if (model != nullptr) RegCloseKey(model);
}

}  // namespace
