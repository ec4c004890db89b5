#include "switch_bits_pure.h"

#include "ids_env_other.h"
#include "ids_font_print.h"
#include "ids_pages.h"

// The edge pair (1207, 1210) encloses the ejection pair (1208, 1209): each
// radio is ticked on its own, never by id range.
const BitBoundRadio kEnvironmentPageRadios[3] = {
    {IDC_ENV_LOADAUTO, IDC_ENV_LOADSWITCH, 3, 0x80, IDC_ENV_LOADSWITCH},
    {IDC_ENV_EDGEDETECT, IDC_ENV_EDGEOFF, 3, 0x01, IDC_ENV_EDGEOFF},
    {IDC_ENV_EJECTFRONT, IDC_ENV_EJECTREAR, 3, 0x20, IDC_ENV_EJECTREAR},
};

// The CR function and the automatic CR/LF name their choices in opposite
// order: a set bit means "CR and LF" for the first and "CR only" for the second.
const BitBoundRadio kEnvironmentAdvancedRadios[5] = {
    {IDC_ENVADV_FEEDEREJECTCMD, IDC_ENVADV_FEEDEREJECTREAR, 3, 0x40, IDC_ENVADV_FEEDEREJECTREAR},
    {IDC_ENVADV_FEEDERLOADON, IDC_ENVADV_FEEDERLOADOFF, 3, 0x02, IDC_ENVADV_FEEDERLOADON},
    {IDC_ENVADV_COLUMNS136, IDC_ENVADV_COLUMNS80, 1, 0x40, IDC_ENVADV_COLUMNS80},
    {IDC_ENVADV_CRONLY, IDC_ENVADV_CRLF, 0, 0x80, IDC_ENVADV_CRLF},
    {IDC_ENVADV_AUTOCRLF, IDC_ENVADV_AUTOCRONLY, 0, 0x20, IDC_ENVADV_AUTOCRONLY},
};

const BitBoundRadio kOtherPageRadios[3] = {
    {IDC_OTHER_COMMANDCR, IDC_OTHER_COMMANDMORE, 0, 0x40, IDC_OTHER_COMMANDMORE},
    {IDC_OTHER_DCON, IDC_OTHER_DCOFF, 0, 0x10, IDC_OTHER_DCOFF},
    {IDC_OTHER_BITS8, IDC_OTHER_BITS7, 1, 0x20, IDC_OTHER_BITS7},
};

// switches[3] bit 3 set means both ways.
const BitBoundRadio kPrintPageRadios[1] = {
    {IDC_PRINT_UNIDIR, IDC_PRINT_BIDIR, 3, 0x08, IDC_PRINT_BIDIR},
};

// Mind the direction: here the set bit means one way.
const BitBoundRadio kPrintDosRadios[5] = {
    {IDC_DOS_HDPICA, IDC_DOS_HSPICA, 1, 0x10, IDC_DOS_HSPICA},
    {IDC_DOS_SHSPICA, IDC_DOS_NHSPICA, 2, 0x02, IDC_DOS_NHSPICA},
    {IDC_DOS_UNIDIR, IDC_DOS_SHORTEST, 1, 0x80, IDC_DOS_UNIDIR},
    {IDC_DOS_ESCAONLY, IDC_DOS_ESCAMORE, 2, 0x08, IDC_DOS_ESCAMORE},
    {IDC_DOS_NATIVE, IDC_DOS_COPY, 1, 0x04, IDC_DOS_COPY},
};

const BitBoundCheck kDraftAtPowerOnCheck = {IDC_DOS_DRAFT, 3, 0x10, false};
const BitBoundCheck kPerforationSkipCheck = {IDC_PAPER_PERFSKIP, 2, 0x80, false};
const BitBoundCheck kLoadMemoryCheck = {IDC_PAPERADV_MEMORY, 2, 0x04, true};
const BitBoundCheck kZeroOneByteCheck = {IDC_FONT_ZERO1, 1, 0x01, false};
const BitBoundCheck kZeroTwoByteCheck = {IDC_FONT_ZERO2, 2, 0x40, false};
