// Shared by the Operating environment and Other page tests: radio pairs bound
// to one switch bit, described as the printer defines them, and the checks
// that a page or dialog shows and stores exactly that bit.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "test_paper_host.h"

namespace radiotest {

using namespace pagetest;

struct RadioPair {
    const char* label;
    int clearId;     // ticked while the bit is clear
    int setId;       // ticked while the bit is set
    int byteIndex;   // switch byte
    uint8_t mask;
};

// Switch bytes to start from: all clear, and all set but for one bit per byte
// that none of these pages owns (a byte of 0xFF would mark the record empty).
constexpr uint8_t kBackgrounds[2][4] = {{0x00, 0x00, 0x00, 0x00}, {0xFB, 0xF7, 0xFD, 0xFB}};
constexpr const char* kBackgroundNames[2] = {"other bits clear", "other bits set"};

// A loaded record whose fields all differ from the factory values, with the
// given switch bytes and the pair's bit forced to `set`.
inline SettingsRecord RecordWith(const uint8_t (&switches)[4], const RadioPair& pair, bool set) {
    SettingsRecord record = FactoryRecord();
    int32_t* fields = reinterpret_cast<int32_t*>(reinterpret_cast<uint8_t*>(&record) + sizeof record.switches);
    const size_t fieldCount = (sizeof record - sizeof record.switches) / sizeof(int32_t);
    for (size_t i = 0; i < fieldCount; ++i) fields[i] = static_cast<int32_t>(1000 + i);
    std::memcpy(record.switches, switches, sizeof record.switches);
    uint8_t& byte = record.switches[pair.byteIndex];
    byte = static_cast<uint8_t>(set ? byte | pair.mask : byte & ~pair.mask);
    return record;
}

inline SettingsRecord Flipped(SettingsRecord record, const RadioPair& pair) {
    record.switches[pair.byteIndex] = static_cast<uint8_t>(record.switches[pair.byteIndex] ^ pair.mask);
    return record;
}

inline std::string SwitchBytes(const SettingsRecord& record) {
    char text[16];
    StringCchPrintfA(text, ARRAYSIZE(text), "%02X %02X %02X %02X", record.switches[0], record.switches[1],
                     record.switches[2], record.switches[3]);
    return text;
}

// Each radio of every pair ticked exactly as the bits say.
inline void ExpectTicks(HWND dialog, const RadioPair* pairs, size_t count, const uint8_t* switches) {
    for (size_t i = 0; i < count; ++i) {
        const RadioPair& pair = pairs[i];
        const bool set = (switches[pair.byteIndex] & pair.mask) != 0;
        EXPECT_EQ(Checked(dialog, pair.setId), set) << pair.label << ": radio " << pair.setId;
        EXPECT_EQ(Checked(dialog, pair.clearId), !set) << pair.label << ": radio " << pair.clearId;
    }
}

// On a page, for one pair, either way round and on both backgrounds: the load
// ticks every pair from its bit and reports nothing; a store without a change
// keeps the record; a click on the ticked radio reports but changes nothing;
// a click on the other radio reports once, moves only that pair, and the store
// then flips exactly that bit of the whole record.
inline void ExpectPagePairBothWays(PageHost& host, HWND page, const RadioPair* pairs, size_t count,
                                   const RadioPair& pair) {
    for (int background = 0; background < 2; ++background) {
        for (bool set : {false, true}) {
            SCOPED_TRACE(std::string(pair.label) + (set ? ", bit set, " : ", bit clear, ") +
                         kBackgroundNames[background]);
            Settings = RecordWith(kBackgrounds[background], pair, set);
            const SettingsRecord before = Settings;
            host.notices.clear();
            SendMessageA(page, RPM_SHOWRECORD, 0, 0);
            PumpPending();
            ExpectTicks(page, pairs, count, before.switches);
            EXPECT_TRUE(host.notices.empty()) << "a load is no change";
            EXPECT_EQ(PageHost::Store(page), 1);
            EXPECT_TRUE(SameRecord(Settings, before)) << SwitchBytes(Settings);

            Click(page, set ? pair.setId : pair.clearId);
            EXPECT_EQ(host.NoticesFrom(page), 1) << "click on the ticked radio";
            ExpectTicks(page, pairs, count, before.switches);

            host.notices.clear();
            Click(page, set ? pair.clearId : pair.setId);
            EXPECT_EQ(host.NoticesFrom(page), 1) << "click on the other radio";
            const SettingsRecord expected = Flipped(before, pair);
            ExpectTicks(page, pairs, count, expected.switches);
            EXPECT_EQ(PageHost::Store(page), 1);
            EXPECT_TRUE(SameRecord(Settings, expected))
                << "stored " << SwitchBytes(Settings) << ", wanted " << SwitchBytes(expected);
        }
    }
}

// A template's control: the shared checks, plus the kind of button.
struct TemplateControl {
    ControlCase control;
    LONG buttonType;  // BS_GROUPBOX, BS_AUTORADIOBUTTON, BS_PUSHBUTTON...
};

inline void ExpectTemplate(HWND dialog, const TemplateControl* controls, size_t count, bool createdDisabled) {
    for (size_t i = 0; i < count; ++i) {
        const TemplateControl& c = controls[i];
        ExpectControls(dialog, &c.control, 1, createdDisabled);
        HWND control = GetDlgItem(dialog, c.control.id);
        if (!control) continue;
        EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK, c.buttonType) << "control " << c.control.id;
        if (!createdDisabled) {
            EXPECT_TRUE(IsWindowEnabled(control)) << "control " << c.control.id;
        }
    }
}

inline std::string FontFace(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA face = {};
    if (!font || !GetObjectA(font, sizeof face, &face)) return "";
    return face.lfFaceName;
}

}  // namespace radiotest
