// The stand-in SRM seen as the panel sees it: opening and closing handles,
// the layout of every status item, the asynchronous read reply, and what bad
// input gets. Printers are made through the stand-in's control functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "srm_api.h"
#include "support_srm.h"

namespace {

std::vector<uint8_t> Bytes(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

std::vector<uint8_t> ReadItem(DWORD handle, const char* item, DWORD size, DWORD* result) {
    std::vector<uint8_t> buffer(size, 0xCC);
    DWORD length = 0;
    *result = GetPrinterStatusA(handle, item, buffer.data(), size, &length);
    if (*result == 0) {
        EXPECT_EQ(length, size) << item;
    }
    return buffer;
}

TEST(SrmOpen, HandlesAreNonzeroUniqueAndEndWithClose) {
    SimulatedPrinter printer("OPEN");
    ASSERT_EQ(printer.AddResult(), 0u);
    char user[256] = "tester";
    DWORD first = 0;
    DWORD second = 0;
    ASSERT_EQ(OpenManagerExA(printer.CName(), user, kSrmAccess, &first), 0u);
    ASSERT_EQ(OpenManagerExA(printer.CName(), user, kSrmAccess, &second), 0u);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);

    DWORD ext = 0;
    EXPECT_EQ(GetPrinterStatusA(first, SRM_ITEM_PRINTEREXTSTATUS, &ext, sizeof ext, nullptr), 0u);
    EXPECT_EQ(CloseManager(first), 0u);
    EXPECT_NE(CloseManager(first), 0u) << "a closed handle closes only once";
    EXPECT_EQ(GetPrinterStatusA(first, SRM_ITEM_PRINTEREXTSTATUS, &ext, sizeof ext, nullptr), kSrmErrHandle);
    // The other handle of the same printer lives on.
    EXPECT_EQ(GetPrinterStatusA(second, SRM_ITEM_PRINTEREXTSTATUS, &ext, sizeof ext, nullptr), 0u);
    EXPECT_EQ(CloseManager(second), 0u);
    EXPECT_NE(CloseManager(0), 0u);
}

TEST(SrmOpen, RefusalsLeaveTheHandleZero) {
    SimulatedPrinter printer("REFUSE");
    ASSERT_EQ(printer.AddResult(), 0u);
    std::string lowerCase = printer.Name();
    for (char& c : lowerCase) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    char user[256] = "tester";
    struct Case {
        const char* label;
        const char* printer;
        const char* user;
        DWORD access;
        DWORD expected;
    };
    const Case cases[] = {
        {"unknown printer", "NoSuchPrinter-SRM", user, kSrmAccess, kSrmErrUnknownPrinter},
        {"name in other letter case", lowerCase.c_str(), user, kSrmAccess, kSrmErrUnknownPrinter},
        {"empty name", "", user, kSrmAccess, kSrmErrUnknownPrinter},
        {"access other than 11", printer.CName(), user, 10, kSrmErrAccess},
        {"null printer", nullptr, user, kSrmAccess, kSrmErrArgument},
        {"null user", printer.CName(), nullptr, kSrmAccess, kSrmErrArgument},
    };
    for (const Case& c : cases) {
        DWORD handle = 0xDEADBEEF;
        EXPECT_EQ(OpenManagerExA(c.printer, c.user, c.access, &handle), c.expected) << c.label;
        EXPECT_EQ(handle, 0u) << c.label;
    }
    EXPECT_EQ(OpenManagerExA(printer.CName(), user, kSrmAccess, nullptr), kSrmErrArgument);
}

TEST(SrmOpen, PrinterNamesWithBackslashesAndDoubleByteCharacters) {
    // "ソ" is 0x83 0x5C in code page 932: its trail byte is a backslash byte.
    const std::string names[] = {
        "\\\\srv-" + UniquePrinterName("NET") + "\\lp",
        UniquePrinterName("プリンタソ"),
        UniquePrinterName("100%"),
    };
    for (const std::string& name : names) {
        ASSERT_EQ(SrmSimAddPrinter(name.c_str(), nullptr, nullptr, nullptr), 0u) << name;
        SimulatedPrinter printer = SimulatedPrinter::Adopt(name);
        SrmHandle handle(name);
        EXPECT_EQ(handle.OpenResult(), 0u) << name;
        char reported[kSrmSizePrinterName] = {};
        EXPECT_EQ(GetPrinterStatusA(handle.Get(), SRM_ITEM_PRINTERNAME, reported, sizeof reported, nullptr), 0u);
        EXPECT_EQ(std::string(reported), name);

        bool listed = false;
        char listedName[256];
        for (DWORD index = 0; SrmSimEnumPrinters(index, listedName, sizeof listedName) == 0; ++index) {
            if (name == listedName) listed = true;
        }
        EXPECT_TRUE(listed) << name;
    }
    for (const std::string& name : names) {
        SrmHandle gone(name);
        EXPECT_EQ(gone.OpenResult(), kSrmErrUnknownPrinter) << "removed: " << name;
    }
}

TEST(SrmOpen, RenamedPrinterOpensUnderItsNewName) {
    SimulatedPrinter printer("RENAME");
    ASSERT_EQ(printer.AddResult(), 0u);
    const std::string newName = UniquePrinterName("RENAMED");
    ASSERT_EQ(printer.SetReportedName(newName), 0u);
    SrmHandle handle(newName);
    ASSERT_EQ(handle.OpenResult(), 0u);
    char reported[kSrmSizePrinterName] = {};
    ASSERT_EQ(GetPrinterStatusA(handle.Get(), SRM_ITEM_PRINTERNAME, reported, sizeof reported, nullptr), 0u);
    EXPECT_EQ(std::string(reported), newName);
    SrmHandle original(printer.Name());
    EXPECT_EQ(original.OpenResult(), 0u);
}

TEST(SrmItems, FreshPrinterReportsReadyWithTheFactoryBlock) {
    SimulatedPrinter printer("FRESH", SpoolerEntry::None, "", "LPT1:", "");
    ASSERT_EQ(printer.AddResult(), 0u);
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    DWORD result = 0;

    const std::vector<uint8_t> ext = ReadItem(handle.Get(), SRM_ITEM_PRINTEREXTSTATUS, 4, &result);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(ext, (std::vector<uint8_t>{3, 0, 0, 0}));
    const std::vector<uint8_t> status = ReadItem(handle.Get(), SRM_ITEM_PRINTERSTATUS, 12, &result);
    EXPECT_EQ(status, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, kSrmReadyStatusWord3, 0, 0, 0}));
    const std::vector<uint8_t> authority = ReadItem(handle.Get(), SRM_ITEM_USERAUTHORITY, 4, &result);
    EXPECT_EQ(authority, (std::vector<uint8_t>{0x18, 0, 0, 0}));

    const std::vector<uint8_t> block = ReadItem(handle.Get(), SRM_ITEM_SETTINGS, 260, &result);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(block, FactoryBlock());
    // The defaults as the printer holds them: marks, switch bytes, centring, page length, feeds.
    const uint8_t head[] = {1, 4, 0, 0, 0x00, 0x00, 0x02, 0x00};
    EXPECT_EQ(Bytes(block.data(), 8), Bytes(head, 8));
    const uint8_t packed[] = {0x00, 0x00, 0xA8, 36, 96, 66, 120, 120, 46, 54, 0};
    EXPECT_EQ(Bytes(block.data() + 20, 11), Bytes(packed, 11));
    const uint8_t format[] = {66, 0, 136, 120, 120, 46, 54, 0};
    for (size_t base : {69, 80, 91, 102}) EXPECT_EQ(Bytes(block.data() + base, 8), Bytes(format, 8)) << base;
}

TEST(SrmItems, EveryItemHasItsLayout) {
    SimulatedPrinter printer("LAYOUT");
    ASSERT_EQ(printer.AddResult(), 0u);
    ASSERT_EQ(printer.SetExtStatus(0x01020304), 0u);
    ASSERT_EQ(printer.SetStatus(0x11, 0xFFFFFFFF, 0x7FFE32C), 0u);
    ASSERT_EQ(printer.SetAuthority(0x08), 0u);
    ASSERT_EQ(printer.SetReportedName("名前 TK"), 0u);
    ASSERT_EQ(printer.SetPort("COM2:", "192.168.0.5"), 0u);
    std::vector<uint8_t> block(260);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + 1);
    ASSERT_EQ(printer.SetBlock(block.data()), 0u);

    std::vector<uint8_t> name(256, 0);
    const char nameText[] = "名前 TK";
    std::memcpy(name.data(), nameText, sizeof nameText - 1);
    std::vector<uint8_t> port(260, 0);
    std::memcpy(port.data() + 4, "COM2:", 5);
    std::memcpy(port.data() + 132, "192.168.0.5", 11);

    struct Case {
        const char* item;
        DWORD size;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {SRM_ITEM_PRINTEREXTSTATUS, 4, {0x04, 0x03, 0x02, 0x01}},
        {SRM_ITEM_PRINTERSTATUS, 12, {0x11, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x2C, 0xE3, 0xFF, 0x07}},
        {SRM_ITEM_USERAUTHORITY, 4, {0x08, 0, 0, 0}},
        {SRM_ITEM_PRINTERNAME, 256, name},
        {SRM_ITEM_PORT, 260, port},
        {SRM_ITEM_SETTINGS, 260, block},
    };
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    for (const Case& c : cases) {
        // A larger buffer than the item: only the item's bytes are written.
        std::vector<uint8_t> buffer(c.size + 16, 0xCC);
        DWORD length = 0;
        ASSERT_EQ(GetPrinterStatusA(handle.Get(), c.item, buffer.data(), static_cast<DWORD>(buffer.size()), &length),
                  0u)
            << c.item;
        EXPECT_EQ(length, c.size) << c.item;
        EXPECT_EQ(Bytes(buffer.data(), c.size), c.expected) << c.item;
        EXPECT_EQ(Bytes(buffer.data() + c.size, 16), std::vector<uint8_t>(16, 0xCC)) << c.item;
    }
}

TEST(SrmItems, ShortBuffersAndBadReadsWriteNothing) {
    SimulatedPrinter printer("SHORT");
    ASSERT_EQ(printer.AddResult(), 0u);
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    SrmHandle closed(printer.Name());
    const DWORD closedHandle = closed.Get();
    ASSERT_EQ(closed.Close(), 0u);

    struct ItemSize {
        const char* item;
        DWORD size;
    };
    const ItemSize items[] = {
        {SRM_ITEM_PRINTEREXTSTATUS, 4}, {SRM_ITEM_PRINTERSTATUS, 12}, {SRM_ITEM_USERAUTHORITY, 4},
        {SRM_ITEM_PRINTERNAME, 256},    {SRM_ITEM_PORT, 260},         {SRM_ITEM_SETTINGS, 260},
    };
    for (const ItemSize& item : items) {
        std::vector<uint8_t> buffer(item.size, 0xCC);
        EXPECT_EQ(GetPrinterStatusA(handle.Get(), item.item, buffer.data(), item.size - 1, nullptr),
                  kSrmErrBufferTooSmall)
            << item.item;
        EXPECT_EQ(buffer, std::vector<uint8_t>(item.size, 0xCC)) << item.item;
    }

    struct Case {
        const char* label;
        DWORD handle;
        const char* item;
        bool nullBuffer;
        DWORD expected;
    };
    const Case cases[] = {
        {"unknown item", handle.Get(), "PrinterModel", false, kSrmErrUnknownItem},
        {"item in other letter case", handle.Get(), "printerstatus", false, kSrmErrUnknownItem},
        {"empty item name", handle.Get(), "", false, kSrmErrUnknownItem},
        {"null item", handle.Get(), nullptr, false, kSrmErrArgument},
        {"null buffer", handle.Get(), SRM_ITEM_PRINTERSTATUS, true, kSrmErrArgument},
        {"closed handle", closedHandle, SRM_ITEM_PRINTERSTATUS, false, kSrmErrHandle},
        {"handle 0", 0, SRM_ITEM_PRINTERSTATUS, false, kSrmErrHandle},
        {"handle never given", handle.Get() + 0x1000, SRM_ITEM_PRINTERSTATUS, false, kSrmErrHandle},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> buffer(260, 0xCC);
        DWORD length = 0x5555;
        EXPECT_EQ(GetPrinterStatusA(c.handle, c.item, c.nullBuffer ? nullptr : buffer.data(), 260, &length),
                  c.expected)
            << c.label;
        EXPECT_EQ(buffer, std::vector<uint8_t>(260, 0xCC)) << c.label;
    }
}

TEST(SrmItems, RemovedPrinterFailsOnItsOpenHandle) {
    auto printer = std::make_unique<SimulatedPrinter>("GONE");
    ASSERT_EQ(printer->AddResult(), 0u);
    SrmHandle handle(printer->Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    printer.reset();
    DWORD ext = 0;
    EXPECT_EQ(GetPrinterStatusA(handle.Get(), SRM_ITEM_PRINTEREXTSTATUS, &ext, sizeof ext, nullptr),
              kSrmErrUnknownPrinter);
}

TEST(SrmReadReply, ArrivesAtOnceByDefault) {
    SimulatedPrinter printer("READ");
    ASSERT_EQ(printer.AddResult(), 0u);
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    MessageRecorder recorder;
    ASSERT_EQ(GetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1226), 0u);
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1226), 1) << "the reply was posted before the call returned";
    EXPECT_EQ(recorder.Entries().size(), 1u);
}

TEST(SrmReadReply, ComesAfterTheDelayOrNever) {
    SimulatedPrinter printer("DELAY");
    ASSERT_EQ(printer.AddResult(), 0u);
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    MessageRecorder recorder;

    ASSERT_EQ(printer.SetReplyDelay(SrmReplyRead, 400), 0u);
    const DWORD asked = GetTickCount();
    ASSERT_EQ(GetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1226), 0u);
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1226), 0) << "not before the delay";
    ASSERT_TRUE(recorder.WaitFor(1226, 5000));
    EXPECT_GE(recorder.Entries().back().tick - asked, 350u);

    recorder.Clear();
    ASSERT_EQ(printer.SetReplyDelay(SrmReplyRead, kSrmReplyNever), 0u);
    ASSERT_EQ(GetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1226), 0u);
    ASSERT_TRUE(recorder.Drain());
    ASSERT_EQ(printer.SetReplyDelay(SrmReplyRead, 0), 0u);
    ASSERT_EQ(GetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1300), 0u);
    ASSERT_TRUE(recorder.WaitFor(1300, 2000));
    EXPECT_EQ(recorder.Count(1226), 0) << "a request without reply stays without reply";

    // A delayed reply of a handle closed meanwhile never comes; one asked
    // for later on another handle comes after it would have.
    recorder.Clear();
    ASSERT_EQ(printer.SetReplyDelay(SrmReplyRead, 100), 0u);
    SrmHandle closing(printer.Name());
    ASSERT_EQ(GetReqPrinterStatusMsgA(closing.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1301), 0u);
    ASSERT_EQ(GetReqPrinterStatusMsgA(handle.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1302), 0u);
    ASSERT_EQ(closing.Close(), 0u);
    ASSERT_TRUE(recorder.WaitFor(1302, 5000));
    EXPECT_EQ(recorder.Count(1301), 0) << "dropped with its handle";
}

TEST(SrmReadReply, BadRequestsPostNothing) {
    SimulatedPrinter printer("READBAD");
    ASSERT_EQ(printer.AddResult(), 0u);
    SrmHandle handle(printer.Name());
    ASSERT_EQ(handle.OpenResult(), 0u);
    MessageRecorder recorder;
    HWND destroyed = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(destroyed, nullptr);
    DestroyWindow(destroyed);

    struct Case {
        const char* label;
        DWORD handle;
        const char* item;
        HWND window;
        DWORD expected;
    };
    const Case cases[] = {
        {"unknown item", handle.Get(), "RPVariables", recorder.Window(), kSrmErrUnknownItem},
        {"null item", handle.Get(), nullptr, recorder.Window(), kSrmErrArgument},
        {"null window", handle.Get(), SRM_ITEM_SETTINGS, nullptr, kSrmErrArgument},
        {"destroyed window", handle.Get(), SRM_ITEM_SETTINGS, destroyed, kSrmErrArgument},
        {"unknown handle", handle.Get() + 0x1000, SRM_ITEM_SETTINGS, recorder.Window(), kSrmErrHandle},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetReqPrinterStatusMsgA(c.handle, c.item, c.window, 1226), c.expected) << c.label;
    }
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1226), 0);
}

}  // namespace
