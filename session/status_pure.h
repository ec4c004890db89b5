// The decisions behind the status display, free of <windows.h>: the bit tests
// of the three status items, the choice of the overlay icon and of the status
// line, and the text fitting with the measuring function passed in.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- Status evaluation ----

// Bits of the status items (every test is a plain AND with the mask).
constexpr uint32_t kS2Unsupported = 0x200;       // not one of the suite's printers
constexpr uint32_t kExtCommunication = 0x1;      // must be set: the link works
constexpr uint32_t kS2NoCommunication = 0x71000;
constexpr uint32_t kAuthorityUpdate = 0x10;
constexpr uint32_t kAuthorityRead = 0x8;
constexpr uint32_t kS2CannotRead = 0x400;
constexpr uint32_t kExtReadable = 0x2;           // must be set for reading
constexpr uint32_t kS2Busy = 0x180;
constexpr uint32_t kS3Busy = 0x7FFE32C;
constexpr uint32_t kS3PrintEnableSwitch = 0x1000;  // only together with S2 = 0

// String ids of the status texts.
constexpr int kTextNoCommunication = 88;
constexpr int kTextUnsupported = 89;
constexpr int kTextReading = 90;
constexpr int kTextUpdating = 91;
constexpr int kTextNotReady = 92;
constexpr int kTextReadUpdate = 93;
constexpr int kTextReadOnly = 94;
constexpr int kTextUpdateOnly = 95;
constexpr int kTextUnusable = 96;
constexpr int kTextPanelEnds = 76;
constexpr int kTextNeither = 127;
// Not a string id: the status text is the print-enable switch literal.
constexpr int kTextPrintEnableSwitch = -1;

// What the three items allow.
struct StatusVerdict {
    int usable;           // 0: the panel cannot work with the printer
    int readAllowed;
    int updateAllowed;
    int printerNotReady;
    int textId;           // string id of the status text, or kTextPrintEnableSwitch
    int switchFlag;       // new SwitchFlag: 0, 1, or -1 to leave it as it is
};

// status holds S1, S2, S3 (S1 is not examined).
StatusVerdict EvaluateStatusBits(uint32_t extStatus, const uint32_t status[3], uint32_t authority);

// ---- Overlay icon of the status picture ----

// Icon id for the flags: 144 neither, 142 read only, 143 update only, 0 none.
int OverlayIconFor(int updateAllowed, int readAllowed);

// ---- Status line ----

struct StatusFlags {
    int updateAllowed;
    int readAllowed;
    int printerNotReady;
    int readPending;
    int writePending;
    int switchFlag;
};

// 1 when the display must be renewed: something it shows changed since last,
// or a read, a write or a not-ready state is going on.
int StatusNeedsShowing(const StatusFlags& now, const char* text, const StatusFlags& last,
                       const char* lastText);

// String id of the line to show (kTextReading, kTextUpdating), or 0 for the status text.
int ChooseStatusLine(const StatusFlags& flags);

// ---- Text fitting ----

// Measures the first length bytes of text; false when it cannot.
typedef bool (*TextMeasure)(void* context, const char* text, size_t length, long* width);
// The character after the one at text (never past a terminator).
typedef const char* (*NextCharacter)(const char* text);

// Code page 932 stepping: a lead byte takes its trail byte with it unless the
// text ends there.
const char* NextChar932(const char* text);

// Fits text into width: out receives the whole text, or the longest start of
// whole characters followed by the ellipsis, or the ellipsis alone. Never
// writes more than outSize bytes and never splits a double-byte character.
//   width <= 0, no text or no output buffer: 0, out untouched.
//   empty text: out empty, 1.
//   not even the ellipsis fits (in width or in outSize): out empty, 0.
//   a measuring failure: out empty, 0 (unless a fitting start was found).
int FitTextCore(const char* text, const char* ellipsis, long width, char* out, size_t outSize,
                TextMeasure measure, void* context, NextCharacter next);
