// Faults a test can ask of a simulated printer: any of the nine functions
// fails the next N calls, or every call, on that printer only.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "codec.h"
#include "settings.h"
#include "srm_api.h"
#include "support_srm.h"

namespace {

std::vector<uint8_t> DefaultCommand() {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    record.printPressure = 2;  // differs from the factory block
    CustomFeedTable custom = {};
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    std::vector<uint8_t> area(kCommandAreaSize);
    BuildUpdateCommand(block, area.data());
    return area;
}

// What one call of a function needs: a printer, an open handle, a window and
// a write request to ask about.
struct Context {
    const SimulatedPrinter* printer;
    DWORD handle;
    HWND window;
    DWORD requestId;
    std::vector<uint8_t> area;
};

struct FaultCase {
    const char* function;
    std::function<DWORD(const Context&)> call;  // one call; cleans up after a success
    const char* needs;                          // the function the call also makes, or null
};

DWORD OpenAndClose(const Context& c) {
    DWORD handle = 0;
    char user[256] = "tester";
    const DWORD result = OpenManagerExA(c.printer->CName(), user, kSrmAccess, &handle);
    if (result == 0) CloseManager(handle);
    return result;
}

const FaultCase kFaultCases[] = {
    {"OpenManagerExA", OpenAndClose, nullptr},
    {"CloseManager",
     [](const Context& c) {
         DWORD handle = 0;
         char user[256] = "tester";
         if (OpenManagerExA(c.printer->CName(), user, kSrmAccess, &handle) != 0) return DWORD(0xBAD);
         return CloseManager(handle);  // a failed close leaves a handle this test no longer needs
     },
     "OpenManagerExA"},
    {"GetPrinterStatusA",
     [](const Context& c) {
         DWORD words[3];
         return GetPrinterStatusA(c.handle, SRM_ITEM_PRINTERSTATUS, words, sizeof words, nullptr);
     }},
    {"GetReqPrinterStatusMsgA",
     [](const Context& c) { return GetReqPrinterStatusMsgA(c.handle, SRM_ITEM_SETTINGS, c.window, 1226); }},
    {"SetPrinterStatusDirectA",
     [](const Context& c) { return SetPrinterStatusDirectA(c.handle, SRM_ITEM_SETTINGS, c.area.data(), 260); }},
    {"SetReqPrinterStatusMsgA",
     [](const Context& c) {
         DWORD id = 0;
         return SetReqPrinterStatusMsgA(c.handle, SRM_ITEM_SETTINGS, c.area.data(), 260, c.window, 1233, &id);
     }},
    {"ResSetPrinterStatus",
     [](const Context& c) {
         DWORD status = 0;
         return ResSetPrinterStatus(c.handle, c.requestId, &status);
     }},
    {"SetNotificationMsgA",
     [](const Context& c) {
         DWORD id = 0;
         const DWORD result = SetNotificationMsgA(c.handle, SRM_ITEM_PORT, c.window, 1238, &id);
         if (result == 0) KillNotificationMsg(c.handle, id);
         return result;
     }},
    {"KillNotificationMsg",
     [](const Context& c) {
         DWORD id = 0;
         if (SetNotificationMsgA(c.handle, SRM_ITEM_PORT, c.window, 1238, &id) != 0) return DWORD(0xBAD);
         return KillNotificationMsg(c.handle, id);
     },
     "SetNotificationMsgA"},
};

class SrmFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(printer_.AddResult(), 0u);
        ASSERT_EQ(handle_.OpenResult(), 0u);
        context_ = {&printer_, handle_.Get(), recorder_.Window(), 0, DefaultCommand()};
        ASSERT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, context_.area.data(), 260,
                                          recorder_.Window(), 1233, &context_.requestId),
                  0u);
    }
    SimulatedPrinter printer_{"FAULT"};
    SrmHandle handle_{printer_.Name()};
    MessageRecorder recorder_;
    Context context_;
};

TEST_F(SrmFaults, NextCallsFailThenWorkAgain) {
    for (const FaultCase& c : kFaultCases) {
        ASSERT_EQ(c.call(context_), 0u) << c.function << " works before the fault";
        ASSERT_EQ(printer_.Fail(c.function, 2), 0u) << c.function;
        EXPECT_EQ(c.call(context_), kSrmErrInjected) << c.function << ", first call";
        EXPECT_EQ(printer_.FaultCount(c.function), 1u) << c.function;
        EXPECT_EQ(c.call(context_), kSrmErrInjected) << c.function << ", second call";
        EXPECT_EQ(printer_.FaultCount(c.function), 0u) << c.function;
        EXPECT_EQ(c.call(context_), 0u) << c.function << ", third call";
    }
}

TEST_F(SrmFaults, AlwaysFailsUntilSwitchedOffAndTouchesNoOtherFunction) {
    for (const FaultCase& c : kFaultCases) {
        ASSERT_EQ(printer_.Fail(c.function, kSrmFailAlways), 0u) << c.function;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(c.call(context_), kSrmErrInjected) << c.function << ", call " << i;
        EXPECT_EQ(printer_.FaultCount(c.function), kSrmFailAlways) << c.function;
        for (const FaultCase& other : kFaultCases) {
            if (&other == &c || (other.needs != nullptr && std::string(other.needs) == c.function)) continue;
            EXPECT_EQ(other.call(context_), 0u) << other.function << " while " << c.function << " fails";
        }
        ASSERT_EQ(printer_.Fail(c.function, kSrmFailOff), 0u) << c.function;
        EXPECT_EQ(c.call(context_), 0u) << c.function << " after off";
    }
}

TEST_F(SrmFaults, FaultsBelongToOnePrinter) {
    SimulatedPrinter other("FAULT2");
    ASSERT_EQ(other.AddResult(), 0u);
    ASSERT_EQ(printer_.Fail("GetPrinterStatusA", kSrmFailAlways), 0u);
    SrmHandle otherHandle(other.Name());
    ASSERT_EQ(otherHandle.OpenResult(), 0u);
    DWORD words[3];
    EXPECT_EQ(GetPrinterStatusA(otherHandle.Get(), SRM_ITEM_PRINTERSTATUS, words, sizeof words, nullptr), 0u);
    EXPECT_EQ(GetPrinterStatusA(handle_.Get(), SRM_ITEM_PRINTERSTATUS, words, sizeof words, nullptr),
              kSrmErrInjected);
    EXPECT_EQ(SrmSimSetFault(printer_.CName(), "NoSuchFunction", 1), kSrmErrArgument);
    EXPECT_EQ(SrmSimSetFault("NoSuchPrinter-FAULT", "CloseManager", 1), kSrmErrUnknownPrinter);
}

TEST_F(SrmFaults, FailedCallsHaveNoEffect) {
    ASSERT_EQ(printer_.ClearLog(), 0u);
    const std::vector<uint8_t> factory = FactoryBlock();
    ASSERT_EQ(printer_.SetBlock(factory.data()), 0u);
    recorder_.Drain();
    recorder_.Clear();
    for (const char* function : {"SetPrinterStatusDirectA", "SetReqPrinterStatusMsgA", "GetReqPrinterStatusMsgA"}) {
        ASSERT_EQ(printer_.Fail(function, kSrmFailAlways), 0u);
    }
    DWORD id = 0x77;
    EXPECT_EQ(SetPrinterStatusDirectA(handle_.Get(), SRM_ITEM_SETTINGS, context_.area.data(), 260), kSrmErrInjected);
    EXPECT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, context_.area.data(), 260,
                                      recorder_.Window(), 1233, &id),
              kSrmErrInjected);
    EXPECT_EQ(id, 0x77u);
    EXPECT_EQ(GetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, recorder_.Window(), 1226), kSrmErrInjected);
    ASSERT_TRUE(recorder_.Drain());
    EXPECT_TRUE(recorder_.Entries().empty());
    EXPECT_EQ(printer_.Block(), factory);
    EXPECT_TRUE(printer_.Log().empty());

    // A close that fails leaves the handle working.
    ASSERT_EQ(printer_.Fail("CloseManager", 1), 0u);
    EXPECT_EQ(CloseManager(handle_.Get()), kSrmErrInjected);
    DWORD words[3];
    EXPECT_EQ(GetPrinterStatusA(handle_.Get(), SRM_ITEM_PRINTERSTATUS, words, sizeof words, nullptr), 0u);
}

}  // namespace
