// The page settings that are single bits of the record's switch bytes: which
// radio pair or check box of which page shows each bit. The pages show and
// store them by these tables; rpsettings names and shows the same bits by them.
// Free of <windows.h>.
#pragma once
#include <cstdint>

// Two radios bound to one bit.
struct BitBoundRadio {
    int firstId;     // the two radios of the pair
    int secondId;
    int byteIndex;   // which of the record's switch bytes
    uint8_t mask;    // the bit in it
    int setId;       // the radio (firstId or secondId) that stands for the bit set
};
// The radio of a pair that stands for the bit clear.
inline int ClearRadioOf(const BitBoundRadio& pair) {
    return pair.setId == pair.firstId ? pair.secondId : pair.firstId;
}

// A check box bound to one bit: ticked means the bit is set, or clear when tickedMeansClear.
struct BitBoundCheck {
    int checkId;
    int byteIndex;
    uint8_t mask;
    bool tickedMeansClear;
};

// Operating environment page (243) and its advanced dialog (208).
extern const BitBoundRadio kEnvironmentPageRadios[3];     // sheet guide loading, edge detection, cut-sheet ejection
extern const BitBoundRadio kEnvironmentAdvancedRadios[5];  // feeder ejection, feeder load, columns, CR, auto CR-LF
// Other page (197).
extern const BitBoundRadio kOtherPageRadios[3];  // print command, DC1/DC3, data bits
// Print page (195) and its DOS environment dialog (202).
extern const BitBoundRadio kPrintPageRadios[1];  // dot-column direction
extern const BitBoundRadio kPrintDosRadios[5];   // print mode, NHS/SHS pica, direction, load code, dot count
extern const BitBoundCheck kDraftAtPowerOnCheck;  // DOS dialog
// Paper page (193) and its advanced dialog (198).
extern const BitBoundCheck kPerforationSkipCheck;
extern const BitBoundCheck kLoadMemoryCheck;      // ticked: remember (the bit clear)
// Font page (194).
extern const BitBoundCheck kZeroOneByteCheck;
extern const BitBoundCheck kZeroTwoByteCheck;
