// Update commands written to the stand-in SRM: each field lands in the block
// byte it came from, what the command does not carry keeps the printer's
// value, every accepted area is logged as it came, and anything that is not a
// well-formed command of the right size changes nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codec.h"
#include "settings.h"
#include "srm_api.h"
#include "support_srm.h"

namespace {

// The block bytes the command carries, and nothing else.
std::vector<int> CarriedBytes() {
    std::vector<int> bytes = {4, 5, 6, 7, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 3, 2, 60, 61, 64, 68};
    for (int base : {69, 80, 91, 102}) {
        for (int i = 0; i < 8; ++i) bytes.push_back(base + i);
    }
    return bytes;
}

// A printer block whose every byte differs from what the commands below
// carry, so that a byte written by mistake shows.
std::vector<uint8_t> NoiseBlock() {
    std::vector<uint8_t> block(260);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 37 + 11);
    block[0] = 1;
    block[1] = 4;
    block[21] = 0x3C | 0x01;  // bits 2-5 all set
    return block;
}

std::vector<uint8_t> CommandArea(const SettingsRecord& record, const CustomFeedTable& custom) {
    uint8_t block[kSettingsBlockSize];
    EncodeSettings(record, custom, block);
    std::vector<uint8_t> area(kCommandAreaSize);
    BuildUpdateCommand(block, area.data());
    return area;
}

std::vector<uint8_t> DefaultCommand() {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    return CommandArea(record, custom);
}

// What the printer should hold after the command: its old block with the
// carried bytes of the encoded record, bits 2-5 of byte 21 kept.
std::vector<uint8_t> Expected(const std::vector<uint8_t>& before, const SettingsRecord& record,
                              const CustomFeedTable& custom) {
    uint8_t encoded[kSettingsBlockSize];
    EncodeSettings(record, custom, encoded);
    std::vector<uint8_t> expected = before;
    for (int byte : CarriedBytes()) expected[byte] = encoded[byte];
    expected[21] = static_cast<uint8_t>((encoded[21] & ~0x3C) | (before[21] & 0x3C));
    return expected;
}

struct CommandCase {
    const char* label;
    std::function<void(SettingsRecord*, CustomFeedTable*)> change;
    std::vector<std::pair<int, uint8_t>> bytes;  // block bytes the case is about
};

const CommandCase kCommandCases[] = {
    {"default command", [](SettingsRecord*, CustomFeedTable*) {},
     {{4, 0x00}, {6, 0x02}, {22, 0xA8}, {23, 36}, {24, 96}, {25, 66}, {26, 120}, {28, 46}, {29, 54}, {71, 136}}},
    {"custom feed values",
     [](SettingsRecord* r, CustomFeedTable* c) {
         r->cutSheetFeed = 9;
         c->record.cutSheetCustom = 37;
         r->contFrontFeed = 8;
         c->record.contFrontCustom = 46;
         r->formats[1].postcardFeed = 9;
         c->formats[1].postcardCustom = 99;
         r->formats[3].contRearFeed = 8;
         c->formats[3].contRearCustom = 200;
         r->postcardFeed = 0;
     },
     {{28, 37}, {26, 46}, {29, 0}, {86, 99}, {106, 200}}},
    {"hexadecimal fields",
     [](SettingsRecord* r, CustomFeedTable*) {
         r->printPressure = 250;
         r->printPosition = 255;
     },
     {{61, 0xFA}, {64, 0xFF}}},
    {"small hexadecimal values",
     [](SettingsRecord* r, CustomFeedTable*) {
         r->printPressure = 3;
         r->printPosition = 253;
     },
     {{61, 0x03}, {64, 0xFD}}},
    {"switch nibbles",
     [](SettingsRecord* r, CustomFeedTable*) {
         const uint8_t switches[4] = {0x5A, 0x00, 0x02, 0xFF};
         std::memcpy(r->switches, switches, 4);
     },
     {{4, 0x5A}, {5, 0x00}, {6, 0x02}, {7, 0xFF}}},
    {"packed fonts, kanji table and flags",
     [](SettingsRecord* r, CustomFeedTable*) {
         r->font1 = 4;
         r->font2 = 3;
         r->kanjiTable = 2;
         r->quietPrint = 1;
         r->postcardMode = 1;
         r->paperSetCenter = 1;
         r->headCenterCut = 68;
     },
     {{20, 0x34}, {21, 0xC2 | 0x3C}, {22, 68}}},
    {"typeface, reduction, format select and limits",
     [](SettingsRecord* r, CustomFeedTable*) {
         r->typeface = 1;
         r->reduction = 4;
         r->formatSelect = 3;
         r->paperThickness = 12;
         r->pageLength = 99;
         r->headCenterFront = 10;
         r->headCenterRear = 126;
         r->cutSheetPosAdjust = 68;
         r->formats[2].leftMargin = 135;
         r->formats[2].rightMargin = 1;
         r->formats[2].pageLength = 1;
     },
     {{3, 1}, {2, 7}, {68, 3}, {60, 12}, {25, 99}, {23, 10}, {24, 126}, {30, 68}, {91, 1}, {92, 135}, {93, 1}}},
};

class SrmWrite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(printer_.AddResult(), 0u);
        ASSERT_EQ(handle_.OpenResult(), 0u);
        ASSERT_EQ(printer_.SetBlock(NoiseBlock().data()), 0u);
    }
    SimulatedPrinter printer_{"WRITE"};
    SrmHandle handle_{printer_.Name()};
};

TEST_F(SrmWrite, CommandsLandInTheBlockBytesTheyCameFrom) {
    for (const CommandCase& c : kCommandCases) {
        SettingsRecord record;
        LoadDefaultSettings(&record);
        CustomFeedTable custom = {};
        c.change(&record, &custom);
        const std::vector<uint8_t> area = CommandArea(record, custom);
        const std::vector<uint8_t> before = NoiseBlock();
        ASSERT_EQ(printer_.SetBlock(before.data()), 0u);
        ASSERT_EQ(printer_.ClearLog(), 0u);

        ASSERT_EQ(SetPrinterStatusDirectA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260), 0u) << c.label;

        std::vector<uint8_t> block(260, 0);
        ASSERT_EQ(GetPrinterStatusA(handle_.Get(), SRM_ITEM_SETTINGS, block.data(), 260, nullptr), 0u);
        EXPECT_EQ(block, Expected(before, record, custom)) << c.label;
        for (const auto& byte : c.bytes) {
            EXPECT_EQ(block[byte.first], byte.second) << c.label << ", byte " << byte.first;
        }
        // Read back as the panel reads it, the block gives the record again.
        SettingsRecord decoded;
        CustomFeedTable decodedCustom;
        ASSERT_EQ(DecodeSettingsBlock(block.data(), &decoded, &decodedCustom), 1) << c.label;
        EXPECT_EQ(std::memcmp(&decoded, &record, sizeof record), 0) << c.label;
        EXPECT_EQ(std::memcmp(&decodedCustom, &custom, sizeof custom), 0) << c.label;

        const auto log = printer_.Log();
        ASSERT_EQ(log.size(), 1u) << c.label;
        EXPECT_EQ(log[0], area) << c.label;
    }
}

TEST_F(SrmWrite, LogKeepsEveryAreaAsItCameOldestFirst) {
    ASSERT_EQ(printer_.ClearLog(), 0u);
    std::vector<uint8_t> first = DefaultCommand();
    for (size_t i = kUpdateCommandSize; i < first.size(); ++i) first[i] = static_cast<uint8_t>(i);  // tail kept
    SettingsRecord record;
    LoadDefaultSettings(&record);
    record.printPressure = 1;
    CustomFeedTable custom = {};
    const std::vector<uint8_t> second = CommandArea(record, custom);

    ASSERT_EQ(SetPrinterStatusDirectA(handle_.Get(), SRM_ITEM_SETTINGS, first.data(), 260), 0u);
    MessageRecorder recorder;
    DWORD id = 0;
    ASSERT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, second.data(), 260, recorder.Window(), 1233,
                                      &id),
              0u);
    const auto log = printer_.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], first);
    EXPECT_EQ(log[1], second);
    ASSERT_EQ(printer_.ClearLog(), 0u);
    EXPECT_TRUE(printer_.Log().empty());
}

TEST_F(SrmWrite, AsynchronousWriteRepliesAndReportsThePrinterStatus) {
    MessageRecorder recorder;
    const std::vector<uint8_t> area = DefaultCommand();
    DWORD first = 0;
    ASSERT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260, recorder.Window(), 1233,
                                      &first),
              0u);
    EXPECT_NE(first, 0u);
    ASSERT_TRUE(recorder.WaitFor(1233, 2000));
    DWORD status = 0xFFFF;
    ASSERT_EQ(ResSetPrinterStatus(handle_.Get(), first, &status), 0u);
    EXPECT_EQ(status, 0u);
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    EXPECT_EQ(printer_.Block(), Expected(NoiseBlock(), record, custom));

    // A printer that refuses: the reply still comes, with its status; the block stays.
    const std::vector<uint8_t> before = NoiseBlock();
    ASSERT_EQ(printer_.SetBlock(before.data()), 0u);
    ASSERT_EQ(printer_.SetWriteStatus(7), 0u);
    DWORD second = 0;
    ASSERT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260, recorder.Window(), 1233,
                                      &second),
              0u);
    EXPECT_NE(second, first);
    ASSERT_TRUE(recorder.WaitFor(1233, 2000, 2));
    ASSERT_EQ(ResSetPrinterStatus(handle_.Get(), second, &status), 0u);
    EXPECT_EQ(status, 7u);
    EXPECT_EQ(printer_.Block(), before);
    EXPECT_EQ(SetPrinterStatusDirectA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260), kSrmErrRefused);
    EXPECT_EQ(printer_.Block(), before);
    EXPECT_EQ(printer_.Log().size(), 3u) << "refused commands were still received";
    // The earlier answer does not change.
    ASSERT_EQ(ResSetPrinterStatus(handle_.Get(), first, &status), 0u);
    EXPECT_EQ(status, 0u);

    SrmHandle other(printer_.Name());
    status = 0xFFFF;
    EXPECT_EQ(ResSetPrinterStatus(other.Get(), first, &status), kSrmErrUnknownRequest) << "another handle's request";
    EXPECT_EQ(ResSetPrinterStatus(handle_.Get(), second + 0x100, &status), kSrmErrUnknownRequest);
    EXPECT_EQ(ResSetPrinterStatus(handle_.Get(), 0, &status), kSrmErrUnknownRequest);
    EXPECT_EQ(status, 0xFFFFu) << "no status after a failed call";
    EXPECT_EQ(ResSetPrinterStatus(handle_.Get(), first, nullptr), kSrmErrArgument);
}

TEST_F(SrmWrite, WriteReplyCanBeDelayedOrWithheld) {
    MessageRecorder recorder;
    const std::vector<uint8_t> area = DefaultCommand();
    DWORD id = 0;
    ASSERT_EQ(printer_.SetReplyDelay(SrmReplyWrite, kSrmReplyNever), 0u);
    ASSERT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260, recorder.Window(), 1233,
                                      &id),
              0u);
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1233), 0);
    EXPECT_NE(printer_.Block(), NoiseBlock()) << "the write itself happened";

    ASSERT_EQ(printer_.SetReplyDelay(SrmReplyWrite, 300), 0u);
    const DWORD asked = GetTickCount();
    ASSERT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260, recorder.Window(), 1233,
                                      &id),
              0u);
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1233), 0);
    ASSERT_TRUE(recorder.WaitFor(1233, 5000));
    EXPECT_GE(recorder.Entries().back().tick - asked, 250u);
}

TEST_F(SrmWrite, BadWritesChangeNothing) {
    const std::vector<uint8_t> good = DefaultCommand();
    auto with = [&good](std::initializer_list<std::pair<int, uint8_t>> changes) {
        std::vector<uint8_t> area = good;
        for (const auto& change : changes) area[change.first] = change.second;
        return area;
    };
    struct Case {
        const char* label;
        std::vector<uint8_t> area;
        DWORD size;
        const char* item;
        DWORD expected;
    };
    const Case cases[] = {
        {"size 259", good, 259, SRM_ITEM_SETTINGS, kSrmErrSize},
        {"size 261", good, 261, SRM_ITEM_SETTINGS, kSrmErrSize},
        {"size 195 (the command alone)", good, 195, SRM_ITEM_SETTINGS, kSrmErrSize},
        {"size 0", good, 0, SRM_ITEM_SETTINGS, kSrmErrSize},
        {"unknown item", good, 260, "RPVariables", kSrmErrUnknownItem},
        {"an item the SRM only reads", good, 260, SRM_ITEM_PORT, kSrmErrReadOnly},
        {"null item", good, 260, nullptr, kSrmErrArgument},
        {"ESC instead of FS", with({{0, 0x1B}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"upper-case O", with({{1, 'O'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"1 instead of the constant 0", with({{2, '1'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"semicolon for a comma", with({{3, ';'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"nibble 0x10", with({{4, 0x10}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"nibble as ASCII digit", with({{5, '0'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"font digit 5", with({{16, '5'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"kanji table 3", with({{20, '3'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"quiet printing 2", with({{22, '2'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"reduction code 2", with({{62, '2'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"selected format 5", with({{73, '5'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"lower-case hexadecimal", with({{67, 'f'}, {68, 'a'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"letter beyond F", with({{70, 'G'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"blank in a decimal field", with({{28, ' '}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"hexadecimal in a decimal field", with({{75, 'A'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"feed position 256", with({{41, '2'}, {42, '5'}, {43, '6'}}), 260, SRM_ITEM_SETTINGS,
         kSrmErrMalformedCommand},
        {"comma for the full stop", with({{194, ','}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"no full stop", with({{194, 0}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"full stop too early", with({{164, '.'}}), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
        {"all zero", std::vector<uint8_t>(260, 0), 260, SRM_ITEM_SETTINGS, kSrmErrMalformedCommand},
    };
    MessageRecorder recorder;
    ASSERT_EQ(printer_.ClearLog(), 0u);
    for (const Case& c : cases) {
        std::vector<uint8_t> area = c.area;
        area.resize(300, 0);  // room for the oversized calls
        EXPECT_EQ(SetPrinterStatusDirectA(handle_.Get(), c.item, area.data(), c.size), c.expected) << c.label;
        DWORD id = 0x1234;
        EXPECT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), c.item, area.data(), c.size, recorder.Window(), 1233, &id),
                  c.expected)
            << c.label;
        EXPECT_EQ(id, 0x1234u) << c.label;
    }
    SrmHandle closed(printer_.Name());
    const DWORD closedHandle = closed.Get();
    ASSERT_EQ(closed.Close(), 0u);
    DWORD id = 0;
    EXPECT_EQ(SetPrinterStatusDirectA(closedHandle, SRM_ITEM_SETTINGS, good.data(), 260), kSrmErrHandle);
    EXPECT_EQ(SetPrinterStatusDirectA(handle_.Get(), SRM_ITEM_SETTINGS, nullptr, 260), kSrmErrArgument);
    EXPECT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, good.data(), 260, nullptr, 1233, &id),
              kSrmErrArgument);
    EXPECT_EQ(SetReqPrinterStatusMsgA(handle_.Get(), SRM_ITEM_SETTINGS, good.data(), 260, recorder.Window(), 1233,
                                      nullptr),
              kSrmErrArgument);

    EXPECT_EQ(printer_.Block(), NoiseBlock());
    EXPECT_TRUE(printer_.Log().empty());
    ASSERT_TRUE(recorder.Drain());
    EXPECT_EQ(recorder.Count(1233), 0);
}

TEST_F(SrmWrite, WriteThatChangesTheBlockNotifiesItsRegistrations) {
    MessageRecorder recorder;
    DWORD settingsId = 0;
    DWORD extId = 0;
    ASSERT_EQ(SetNotificationMsgA(handle_.Get(), SRM_ITEM_SETTINGS, recorder.Window(), 1239, &settingsId), 0u);
    ASSERT_EQ(SetNotificationMsgA(handle_.Get(), SRM_ITEM_PRINTEREXTSTATUS, recorder.Window(), 1234, &extId), 0u);
    const std::vector<uint8_t> area = DefaultCommand();
    const DWORD written = GetTickCount();
    ASSERT_EQ(SetPrinterStatusDirectA(handle_.Get(), SRM_ITEM_SETTINGS, area.data(), 260), 0u);
    ASSERT_TRUE(recorder.WaitFor(1239, 1000));
    EXPECT_LE(recorder.Entries().back().tick - written, 1000u);
    EXPECT_EQ(recorder.Count(1234), 0);
    EXPECT_EQ(KillNotificationMsg(handle_.Get(), settingsId), 0u);
    EXPECT_EQ(KillNotificationMsg(handle_.Get(), extId), 0u);
}

}  // namespace
