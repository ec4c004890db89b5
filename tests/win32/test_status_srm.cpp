// Reading the three status items and registering the six change notifications
// against simulated printers made with srmctl.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app.h"
#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "srm_api.h"
#include "status.h"
#include "support_srm.h"

namespace {

std::string Text(UINT id) {
    char buffer[kTextSize] = "";
    LoadText(id, buffer, sizeof buffer);
    return buffer;
}

// A printer made with srmctl, removed at the end, with the panel's SRM handle open on it.
class StatusSrmTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        name = UniquePrinterName("STATUS");
        const SrmctlResult made = RunSrmctl({"add", name, "--no-spooler"});
        ASSERT_EQ(made.exitCode, 0u) << made.output;
        printer = new SimulatedPrinter(SimulatedPrinter::Adopt(name));
        ASSERT_EQ(OpenManagerExA(name.c_str(), "tester", kSrmAccess, &SrmHandle), 0u);
        ASSERT_NE(SrmHandle, 0u);
        ExtStatusValue = AuthorityValue = static_cast<DWORD>(-1);
        for (DWORD& word : StatusValues) word = static_cast<DWORD>(-1);
        MessageText[0] = '\0';
    }
    void TearDown() override {
        ReleaseSrmHandle();
        delete printer;
    }
    std::string name;
    SimulatedPrinter* printer = nullptr;
};

TEST_F(StatusSrmTest, ReadsTheThreeItems) {
    const SrmctlResult set = RunSrmctl({"set", name, "status", "7", "0x180", "0x1000"});
    ASSERT_EQ(set.exitCode, 0u) << set.output;
    ASSERT_EQ(printer->SetExtStatus(0x1), 0u);
    ASSERT_EQ(printer->SetAuthority(0x08), 0u);
    EXPECT_EQ(ReadStatusItems(), 1);
    EXPECT_EQ(ExtStatusValue, 0x1u);
    EXPECT_EQ(StatusValues[0], 7u);
    EXPECT_EQ(StatusValues[1], 0x180u);
    EXPECT_EQ(StatusValues[2], 0x1000u);
    EXPECT_EQ(AuthorityValue, 0x08u);
    EXPECT_STREQ(MessageText, "");
}

TEST_F(StatusSrmTest, ReadFailuresLoadTheirText) {
    const DWORD minus1 = static_cast<DWORD>(-1);
    struct Case {
        const char* label;
        DWORD ext, s1, s2, s3;
        DWORD failCalls;  // GetPrinterStatusA calls that fail from the start
        UINT text;        // 0: success
    } cases[] = {
        {"extended status -1", minus1, 0, 0, 0, 0, 110},
        {"first call fails", 0x3, 0, 0, 0, 1, 110},
        {"second word -1", 0x3, 0, minus1, 0, 0, 84},
        {"third word -1", 0x3, 0, 0, minus1, 0, 84},
        {"first word -1 is not examined", 0x3, minus1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MessageText[0] = '\0';
        ASSERT_EQ(printer->SetExtStatus(c.ext), 0u);
        ASSERT_EQ(printer->SetStatus(c.s1, c.s2, c.s3), 0u);
        ASSERT_EQ(printer->Fail("GetPrinterStatusA", c.failCalls), 0u);
        EXPECT_EQ(ReadStatusItems(), c.text == 0 ? 1 : 0);
        EXPECT_EQ(std::string(MessageText), c.text == 0 ? std::string() : Text(c.text));
        ASSERT_EQ(printer->Fail("GetPrinterStatusA", 0), 0u);
    }
}

TEST_F(StatusSrmTest, ReadingStopsAtTheFirstFailure) {
    ASSERT_EQ(printer->SetAuthority(0x18), 0u);
    ASSERT_EQ(printer->Fail("GetPrinterStatusA", 3), 0u);
    EXPECT_EQ(ReadStatusItems(), 0);
    EXPECT_EQ(std::string(MessageText), Text(110));
    EXPECT_EQ(printer->FaultCount("GetPrinterStatusA"), 2u) << "one call only";
    EXPECT_EQ(AuthorityValue, static_cast<DWORD>(-1)) << "the later items are not read";
}

TEST_F(StatusSrmTest, ChangedItemReadsOnlyThatItem) {
    ASSERT_EQ(printer->SetExtStatus(0x3), 0u);
    ASSERT_EQ(printer->SetStatus(1, 2, 4), 0u);
    ASSERT_EQ(printer->SetAuthority(0x10), 0u);
    struct Case {
        const char* label;
        UINT notification;
        DWORD ext, s2, authority;  // stored afterwards
        UINT failureText;
    } cases[] = {
        {"extended status", RPM_EXTSTATUSCHANGED, 0x3, 0xFFFFFFFF, 0xFFFFFFFF, 110},
        {"status", RPM_STATUSCHANGED, 0x3, 2, 0xFFFFFFFF, 84},
        {"authority", RPM_AUTHORITYCHANGED, 0x3, 2, 0x10, 86},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ReadChangedStatusItem(c.notification), 1);
        EXPECT_EQ(ExtStatusValue, c.ext);
        EXPECT_EQ(StatusValues[1], c.s2);
        EXPECT_EQ(AuthorityValue, c.authority);

        ASSERT_EQ(printer->Fail("GetPrinterStatusA", 1), 0u);
        MessageText[0] = '\0';
        EXPECT_EQ(ReadChangedStatusItem(c.notification), 0);
        EXPECT_EQ(std::string(MessageText), Text(c.failureText));
    }
    MessageText[0] = '\0';
    EXPECT_EQ(ReadChangedStatusItem(RPM_NAMECHANGED), 0) << "not a status item";
    EXPECT_STREQ(MessageText, "");
}

struct Registration {
    NotificationSlot slot;
    UINT message;
    std::vector<std::string> change;  // srmctl arguments after "set NAME"
};

TEST_F(StatusSrmTest, RegistersTheSixNotificationsInTheirSlots) {
    MessageRecorder panel;
    ASSERT_EQ(RegisterNotifications(panel.Window()), 1);
    for (int i = 0; i < kNotificationCount; ++i) {
        EXPECT_NE(Notifications[i], 0u) << i;
        for (int j = 0; j < i; ++j) EXPECT_NE(Notifications[i], Notifications[j]) << i << " " << j;
    }

    const std::string hex(520, '0');
    const Registration rows[] = {
        {NotifyPrinterName, RPM_NAMECHANGED, {"name", name + "-renamed"}},
        {NotifyPort, RPM_PORTCHANGED, {"port", "LPT2:"}},
        {NotifyExtStatus, RPM_EXTSTATUSCHANGED, {"ext-status", "1"}},
        {NotifyStatus, RPM_STATUSCHANGED, {"status", "0", "0x80", "0"}},
        {NotifyAuthority, RPM_AUTHORITYCHANGED, {"authority", "8"}},
        {NotifySettings, RPM_SETTINGSCHANGED, {"settings", hex}},
    };
    for (const Registration& row : rows) {
        SCOPED_TRACE(row.message);
        panel.Clear();
        std::vector<std::string> arguments = {"set", name};
        arguments.insert(arguments.end(), row.change.begin(), row.change.end());
        const SrmctlResult run = RunSrmctl(arguments);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_TRUE(panel.WaitFor(row.message, 3000));
        ASSERT_TRUE(panel.Drain());
        EXPECT_EQ(panel.Entries().size(), 1u) << "only the changed item is notified";
    }

    // Each slot holds the registration of its own item: killing it silences that item.
    ASSERT_EQ(KillNotificationMsg(SrmHandle, Notifications[NotifyStatus]), 0u);
    Notifications[NotifyStatus] = 0;
    panel.Clear();
    ASSERT_EQ(printer->SetStatus(0, 0, 0), 0u);
    ASSERT_EQ(printer->SetAuthority(0x18), 0u);
    EXPECT_TRUE(panel.WaitFor(RPM_AUTHORITYCHANGED, 3000));
    ASSERT_TRUE(panel.Drain());
    EXPECT_EQ(panel.Count(RPM_STATUSCHANGED), 0);
}

TEST_F(StatusSrmTest, RegistrationStopsAtTheFirstFailure) {
    MessageRecorder panel;
    const SrmctlResult fail = RunSrmctl({"fail", name, "SetNotificationMsgA", "3"});
    ASSERT_EQ(fail.exitCode, 0u) << fail.output;
    EXPECT_EQ(RegisterNotifications(panel.Window()), 0);
    EXPECT_EQ(std::string(MessageText), Text(114));
    EXPECT_EQ(printer->FaultCount("SetNotificationMsgA"), 2u) << "no call after the failed one";
    for (int i = 0; i < kNotificationCount; ++i) EXPECT_EQ(Notifications[i], 0u) << i;

    // Once the faults are used up, the registrations succeed again.
    ASSERT_EQ(printer->Fail("SetNotificationMsgA", 0), 0u);
    MessageText[0] = '\0';
    EXPECT_EQ(RegisterNotifications(panel.Window()), 1);
    EXPECT_STREQ(MessageText, "");
}

}  // namespace
