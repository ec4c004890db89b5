// The catalogue's table itself: the ranges, the lists of texts and one entry
// per setting of the record and of a stored format, with where each lives in
// the record and the block, its default and the controls that show it. The
// operations over the table are in catalogue_values.cpp.
#include "catalogue.h"

#include <cstring>

#include "font_print_pure.h"
#include "ids_env_other.h"
#include "ids_font_print.h"
#include "ids_pages.h"
#include "switch_bits_pure.h"

namespace {

// The ranges, each written once: columns and lines the printer accepts.
constexpr uint32_t kHeadCenterLow = 10;   // cut sheet and continuous front
constexpr uint32_t kHeadCenterMid = 68;   // their highest, the rear's lowest
constexpr uint32_t kHeadCenterHigh = 126; // continuous rear
constexpr uint32_t kPageLengthLow = 1, kPageLengthHigh = 99;
constexpr uint32_t kPosAdjustLow = 0, kPosAdjustHigh = 68;
constexpr uint32_t kLeftMarginLow = 0, kLeftMarginHigh = 135;
constexpr uint32_t kRightMarginLow = 1, kRightMarginHigh = 136;

}  // namespace

const NumberRule kHeadCenterRules[3] = {
    {IDC_PAPER_CUTEDIT, kHeadCenterLow, kHeadCenterMid, IDS_MSG_BAD_HEAD_CENTER},
    {IDC_PAPER_FRONTEDIT, kHeadCenterLow, kHeadCenterMid, IDS_MSG_BAD_HEAD_CENTER},
    {IDC_PAPER_REAREDIT, kHeadCenterMid, kHeadCenterHigh, IDS_MSG_BAD_HEAD_CENTER},
};
const NumberRule kFormatPageLengthRule = {IDC_FORMAT_LENGTHEDIT, kPageLengthLow, kPageLengthHigh,
                                          IDS_MSG_BAD_PAGE_LENGTH};
const NumberRule kFormatPosAdjustRule = {IDC_FORMAT_ADJUSTEDIT, kPosAdjustLow, kPosAdjustHigh, IDS_MSG_BAD_POS_ADJUST};
const NumberRule kFormatDialogRules[4] = {
    {IDC_FMTDLG_LENGTHEDIT, kPageLengthLow, kPageLengthHigh, IDS_MSG_BAD_PAGE_LENGTH},
    {IDC_FMTDLG_LEFTEDIT, kLeftMarginLow, kLeftMarginHigh, IDS_MSG_BAD_LEFT_MARGIN},
    {IDC_FMTDLG_RIGHTEDIT, kRightMarginLow, kRightMarginHigh, IDS_MSG_BAD_RIGHT_MARGIN},
    {IDC_FMTDLG_ADJUSTEDIT, kPosAdjustLow, kPosAdjustHigh, IDS_MSG_BAD_POS_ADJUST},
};

const char* const kThicknessRowTexts[kThicknessRows] = {
    "オート", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
};
const char* const kFormatSelectTexts[kFormatSelectRows] = {
    "選択なし", "書式１", "書式２", "書式３", "書式４",
};
const char* const kFontRowTexts[kFontRows] = {"標準", "イタリック", "クーリエ", "ゴシック", "OCR-B"};
const char* const kCharsetRowTexts[kCharsetRows] = {"日本", "アメリカ", "イギリス", "ドイツ", "スウェーデン"};
const char* const kReductionRowTexts[kReductionRows] = {
    "標準", "2/3左基準", "2/3中央基準", "4/5左基準", "4/5中央基準",
};

namespace {

// Row texts of the three feed lists; the custom row follows the fixed rows.
constexpr const char* kRowsContinuous[8] = {
    "0インチ", "1/8インチ", "1/6インチ", "6.03ミリ", "1/4インチ", "1/3インチ", "1/2インチ", "1インチ",
};
constexpr const char* kRowsCutSheet[9] = {
    "0インチ", "1/8インチ", "1/6インチ", "6.03ミリ", "1/4インチ", "1/3インチ", "9.7ミリ", "1/2インチ", "1インチ",
};
constexpr const char* kRowsPostcard[9] = {
    "0インチ", "1/8インチ", "1/6インチ", "6.03ミリ", "1/4インチ", "1/3インチ", "11.5ミリ", "1/2インチ", "1インチ",
};

constexpr FineStep kPressureRows[] = {
    {"+3", 3}, {"+2", 2}, {"+1", 1}, {"0", 0}, {"-1", 255},
    {"-2", 254}, {"-3", 253}, {"-4", 252}, {"-5", 251}, {"-6", 250},
};
constexpr FineStep kPositionRows[] = {
    {"0mm", 0}, {"+0.4mm", 1}, {"+0.8mm", 2}, {"+1.3mm", 3}, {"-0.4mm", 255}, {"-0.8mm", 254}, {"-1.3mm", 253},
};

}  // namespace

const FineList kPressureList = {kPressureRows, static_cast<int>(sizeof kPressureRows / sizeof kPressureRows[0]), 3};
const FineList kPositionList = {kPositionRows, static_cast<int>(sizeof kPositionRows / sizeof kPositionRows[0]), 0};

const char* FeedRowText(FeedTable table, int row) {
    if (row < 0 || row >= FeedTableRows(table)) return nullptr;
    switch (table) {
    case FeedTableA: return kRowsContinuous[row];
    case FeedTableB: return kRowsCutSheet[row];
    default: return kRowsPostcard[row];
    }
}

namespace {

typedef int32_t SettingsRecord::*RecordField;
typedef int32_t FormatRecord::*FormatField;
typedef int32_t CustomFeedSet::*CustomField;

// Where a setting lives in the block and what it holds from the factory.
struct Place {
    int offset;
    int32_t defaultValue;
};

constexpr int kSwitchBlockOffset = 4;  // the four switch bytes follow the format marks and two codes

SettingDef Base(const char* key, const char* name, SettingKind kind, Place place = {-1, 0}) {
    SettingDef def = {};
    def.key = key;
    def.name = name;
    def.kind = kind;
    def.byteIndex = -1;
    def.blockOffset = place.offset;
    def.blockBytes = 1;
    def.defaultValue = place.defaultValue;
    return def;
}
SettingDef Number(const char* key, const char* name, RecordField field, const NumberRule* rule, const char* unit,
                  int spinId, Place place) {
    SettingDef def = Base(key, name, SettingNumber, place);
    def.field = field;
    def.rule = rule;
    def.unit = unit;
    def.controlId = rule->editId;
    def.spinId = spinId;
    return def;
}
SettingDef FormatNumber(const char* key, const char* name, FormatField field, FormatDialogEdit edit,
                        const char* unit, int spinId, Place place) {
    SettingDef def = Number(key, name, nullptr, &kFormatDialogRules[edit], unit, spinId, place);
    def.formatField = field;
    return def;
}
SettingDef Choice(const char* key, const char* name, RecordField field, Place place, int templateId, int text0,
                  int text1, int text2 = 0) {
    SettingDef def = Base(key, name, SettingChoice, place);
    def.field = field;
    def.templateId = templateId;
    def.texts[0] = text0;
    def.texts[1] = text1;
    def.texts[2] = text2;
    def.controlId = text0;
    return def;
}
SettingDef Check(const char* key, const char* name, RecordField field, int checkId, Place place) {
    SettingDef def = Base(key, name, SettingCheck, place);
    def.field = field;
    def.texts[0] = kTextOff;
    def.texts[1] = kTextOn;
    def.controlId = checkId;
    return def;
}
SettingDef Feed(const char* key, const char* name, RecordField field, FormatField formatField, FeedTable table,
                CustomField custom, int comboId, Place place) {
    SettingDef def = Base(key, name, SettingFeed, place);
    def.field = field;
    def.formatField = formatField;
    def.feedTable = table;
    def.custom = custom;
    def.controlId = comboId;
    return def;
}
// The custom position beside a feed row: in the same byte as the row, none from the factory.
SettingDef Custom(const char* key, const char* name, FeedTable table, CustomField custom, int offset) {
    SettingDef def = Base(key, name, SettingCustomFeed, {offset, 0});
    def.feedTable = table;
    def.custom = custom;
    return def;
}
SettingDef List(const char* key, const char* name, RecordField field, const char* const* rows, int count,
                int comboId, Place place) {
    SettingDef def = Base(key, name, SettingList, place);
    def.field = field;
    def.rows = rows;
    def.rowCount = count;
    def.controlId = comboId;
    return def;
}
SettingDef Fine(const char* key, const char* name, RecordField field, const FineList* list, int comboId, int offset) {
    SettingDef def = Base(key, name, SettingFine, {offset, 0});
    def.field = field;
    def.fine = list;
    def.controlId = comboId;
    return def;
}
// A bit of the switch bytes shown by a radio pair of the page's dialog templateId.
// With inverted, the key's 1 is the radio of the bit clear (the key names that choice).
// Every bit but those set from the factory is clear then.
SettingDef Bit(const char* key, const char* name, const BitBoundRadio& pair, int templateId, bool inverted = false,
               bool setFromFactory = false) {
    SettingDef def = Base(key, name, SettingBit, {kSwitchBlockOffset + pair.byteIndex, setFromFactory != inverted});
    def.byteIndex = pair.byteIndex;
    def.mask = pair.mask;
    def.inverted = inverted;
    def.templateId = templateId;
    def.texts[inverted ? 1 : 0] = ClearRadioOf(pair);
    def.texts[inverted ? 0 : 1] = pair.setId;
    def.controlId = pair.firstId;
    return def;
}
// A bit of the switch bytes shown by a check box: the key's 1 is the ticked box.
SettingDef CheckBit(const char* key, const char* name, const BitBoundCheck& check) {
    SettingDef def = Base(key, name, SettingCheckBit, {kSwitchBlockOffset + check.byteIndex, check.tickedMeansClear});
    def.byteIndex = check.byteIndex;
    def.mask = check.mask;
    def.inverted = check.tickedMeansClear;
    def.texts[0] = kTextOff;
    def.texts[1] = kTextOn;
    def.controlId = check.checkId;
    return def;
}
SettingDef Charset() {
    SettingDef def = Base("switches.charset", "国際文字セット", SettingCharset, {kSwitchBlockOffset, 0});
    def.byteIndex = 0;
    def.mask = kCharsetMask;
    def.controlId = IDC_FONTADV_CHARSET;
    return def;
}
SettingDef OtherBits() {
    SettingDef def = Base("switches.otherBits", "その他のスイッチ（16進）", SettingOtherBits, {kSwitchBlockOffset, 0});
    def.blockBytes = 4;
    return def;
}

const char kColumns[] = "桁";
const char kLines[] = "行";
const char kContFront[] = "吸入位置（連続紙前）";
const char kContRear[] = "吸入位置（連続紙後）";
const char kCutSheet[] = "吸入位置（カット紙）";
const char kPostcard[] = "吸入位置（ハガキ）";
const char kContFrontCustom[] = "吸入位置（連続紙前）のカスタム値";
const char kContRearCustom[] = "吸入位置（連続紙後）のカスタム値";
const char kCutSheetCustom[] = "吸入位置（カット紙）のカスタム値";
const char kPostcardCustom[] = "吸入位置（ハガキ）のカスタム値";

// Factory feed rows: 1 inch for continuous paper, 1/3 inch (the row before
// the table's own sixth) for cut sheets and postcards.
constexpr int32_t kContinuousFeedDefault = 7;
constexpr int32_t kSheetFeedDefault = 6;
constexpr int32_t kPageLengthDefault = 66;

const SettingDef kRecordSettings[] = {
    Choice("paperSetCenter", "用紙セット位置", &SettingsRecord::paperSetCenter, {22, 0}, IDD_PAPER_PAGE,
           IDC_PAPER_LEFT, IDC_PAPER_CENTER),
    Check("postcardMode", "ハガキ印刷モード", &SettingsRecord::postcardMode, IDC_PAPER_POSTCARD, {21, 0}),
    Number("headCenterCut", "ヘッドセンタリング位置（カット紙）", &SettingsRecord::headCenterCut,
           &kHeadCenterRules[0], kColumns, IDC_PAPER_CUTSPIN, {22, 40}),
    Number("headCenterFront", "ヘッドセンタリング位置（連続紙前）", &SettingsRecord::headCenterFront,
           &kHeadCenterRules[1], kColumns, IDC_PAPER_FRONTSPIN, {23, 36}),
    Number("headCenterRear", "ヘッドセンタリング位置（連続紙後）", &SettingsRecord::headCenterRear,
           &kHeadCenterRules[2], kColumns, IDC_PAPER_REARSPIN, {24, 96}),
    List("paperThickness", "紙厚調整", &SettingsRecord::paperThickness, kThicknessRowTexts, kThicknessRows,
         IDC_PAPERADV_THICKNESS, {60, 0}),
    Feed("contFrontFeed", kContFront, &SettingsRecord::contFrontFeed, nullptr, FeedTableA,
         &CustomFeedSet::contFrontCustom, IDC_FORMAT_FRONTFEED, {26, kContinuousFeedDefault}),
    Custom("contFrontCustom", kContFrontCustom, FeedTableA, &CustomFeedSet::contFrontCustom, 26),
    Feed("contRearFeed", kContRear, &SettingsRecord::contRearFeed, nullptr, FeedTableA,
         &CustomFeedSet::contRearCustom, IDC_FORMAT_REARFEED, {27, kContinuousFeedDefault}),
    Custom("contRearCustom", kContRearCustom, FeedTableA, &CustomFeedSet::contRearCustom, 27),
    Feed("cutSheetFeed", kCutSheet, &SettingsRecord::cutSheetFeed, nullptr, FeedTableB,
         &CustomFeedSet::cutSheetCustom, IDC_FORMAT_CUTFEED, {28, kSheetFeedDefault}),
    Custom("cutSheetCustom", kCutSheetCustom, FeedTableB, &CustomFeedSet::cutSheetCustom, 28),
    Feed("postcardFeed", kPostcard, &SettingsRecord::postcardFeed, nullptr, FeedTableC,
         &CustomFeedSet::postcardCustom, IDC_FORMAT_POSTCARDFEED, {29, kSheetFeedDefault}),
    Custom("postcardCustom", kPostcardCustom, FeedTableC, &CustomFeedSet::postcardCustom, 29),
    Number("pageLength", "用紙長", &SettingsRecord::pageLength, &kFormatPageLengthRule, kLines,
           IDC_FORMAT_LENGTHSPIN, {25, kPageLengthDefault}),
    Number("cutSheetPosAdjust", "カット紙位置補正", &SettingsRecord::cutSheetPosAdjust, &kFormatPosAdjustRule,
           kColumns, IDC_FORMAT_ADJUSTSPIN, {30, 0}),
    List("formatSelect", "書式選択", &SettingsRecord::formatSelect, kFormatSelectTexts, kFormatSelectRows,
         IDC_FORMAT_SELECT, {68, 0}),
    Choice("typeface", "書体", &SettingsRecord::typeface, {3, 0}, IDD_FONT_PAGE, IDC_FONT_MINCHO, IDC_FONT_GOTHIC),
    List("font1", "フォント１", &SettingsRecord::font1, kFontRowTexts, kFontRows, IDC_FONT_FONT1, {20, 0}),
    List("font2", "フォント２", &SettingsRecord::font2, kFontRowTexts, kFontRows, IDC_FONT_FONT2, {20, 0}),
    Choice("kanjiTable", "JIS漢字コード表", &SettingsRecord::kanjiTable, {21, 0}, IDD_FONT_ADVANCED,
           IDC_FONTADV_JIS1978, IDC_FONTADV_JIS1983, IDC_FONTADV_JIS1990),
    List("reduction", "縮小印刷", &SettingsRecord::reduction, kReductionRowTexts, kReductionRows,
         IDC_PRINT_REDUCTION, {2, 0}),
    Check("quietPrint", "クワイエット印刷", &SettingsRecord::quietPrint, IDC_PRINT_QUIET, {21, 0}),
    Fine("printPressure", "印圧微調整", &SettingsRecord::printPressure, &kPressureList, IDC_PRINTADV_PRESSURE, 61),
    Fine("printPosition", "印字位置微調整", &SettingsRecord::printPosition, &kPositionList, IDC_PRINTADV_POSITION,
         64),
    Charset(),
    Bit("switches.dc1dc3", "DC1/DC3コード処理", kOtherPageRadios[1], IDD_OTHER_PAGE, true),
    Bit("switches.autoCrLf", "自動CR-LF", kEnvironmentAdvancedRadios[4], IDD_ENVIRONMENT_ADVANCED, true),
    Bit("switches.printCommand", "印字命令", kOtherPageRadios[0], IDD_OTHER_PAGE),
    Bit("switches.crFunction", "CR機能", kEnvironmentAdvancedRadios[3], IDD_ENVIRONMENT_ADVANCED),
    CheckBit("switches.slashedZero1", "1バイトコード系ゼロにスラッシュ", kZeroOneByteCheck),
    Bit("switches.dotCount", "ドットグラフィックスのドット数", kPrintDosRadios[4], IDD_PRINT_DOS),
    Bit("switches.printMode", "印字モード", kPrintDosRadios[0], IDD_PRINT_DOS),
    Bit("switches.dataBits", "データビット", kOtherPageRadios[2], IDD_OTHER_PAGE),
    Bit("switches.printColumns", "印字桁数", kEnvironmentAdvancedRadios[2], IDD_ENVIRONMENT_ADVANCED),
    Bit("switches.printDirection", "印字方向", kPrintDosRadios[2], IDD_PRINT_DOS),
    Bit("switches.picaMode", "NHS/SHSパイカ", kPrintDosRadios[1], IDD_PRINT_DOS, false, true),
    CheckBit("switches.feedMemory", "用紙吸入位置の記憶", kLoadMemoryCheck),
    Bit("switches.loadCode", "シートフィーダ吸入コード", kPrintDosRadios[3], IDD_PRINT_DOS),
    CheckBit("switches.slashedZero2", "2バイトコード系ゼロにスラッシュ", kZeroTwoByteCheck),
    CheckBit("switches.perforationSkip", "ミシン目スキップ", kPerforationSkipCheck),
    Bit("switches.edgeDetect", "用紙左右端検出", kEnvironmentPageRadios[1], IDD_ENVIRONMENT_PAGE, true),
    Bit("switches.feederLoad", "シートフィーダ吸入制御", kEnvironmentAdvancedRadios[1], IDD_ENVIRONMENT_ADVANCED),
    Bit("switches.dotDirection", "ドット列の印字方向", kPrintPageRadios[0], IDD_PRINT_PAGE),
    CheckBit("switches.draftAtPowerOn", "電源オン時のドラフトモード", kDraftAtPowerOnCheck),
    Bit("switches.cutSheetEject", "カット紙排出", kEnvironmentPageRadios[2], IDD_ENVIRONMENT_PAGE),
    Bit("switches.feederEject", "シートフィーダ排出", kEnvironmentAdvancedRadios[0], IDD_ENVIRONMENT_ADVANCED),
    Bit("switches.sheetGuideLoad", "シートガイド吸入", kEnvironmentPageRadios[0], IDD_ENVIRONMENT_PAGE, true),
    OtherBits(),
};

// The eight fields of each format, in the order of the format settings dialog;
// offsets from the format's start in the block.
const SettingDef kFormatSettings[] = {
    FormatNumber("pageLength", "用紙長", &FormatRecord::pageLength, FormatEditLength, kLines, IDC_FMTDLG_LENGTHSPIN,
                 {0, kPageLengthDefault}),
    FormatNumber("leftMargin", "レフトマージン", &FormatRecord::leftMargin, FormatEditLeft, kColumns,
                 IDC_FMTDLG_LEFTSPIN, {1, static_cast<int32_t>(kLeftMarginLow)}),
    FormatNumber("rightMargin", "ライトマージン", &FormatRecord::rightMargin, FormatEditRight, kColumns,
                 IDC_FMTDLG_RIGHTSPIN, {2, static_cast<int32_t>(kRightMarginHigh)}),
    Feed("contFrontFeed", kContFront, nullptr, &FormatRecord::contFrontFeed, FeedTableA,
         &CustomFeedSet::contFrontCustom, IDC_FMTDLG_FRONTFEED, {3, kContinuousFeedDefault}),
    Custom("contFrontCustom", kContFrontCustom, FeedTableA, &CustomFeedSet::contFrontCustom, 3),
    Feed("contRearFeed", kContRear, nullptr, &FormatRecord::contRearFeed, FeedTableA,
         &CustomFeedSet::contRearCustom, IDC_FMTDLG_REARFEED, {4, kContinuousFeedDefault}),
    Custom("contRearCustom", kContRearCustom, FeedTableA, &CustomFeedSet::contRearCustom, 4),
    Feed("cutSheetFeed", kCutSheet, nullptr, &FormatRecord::cutSheetFeed, FeedTableB,
         &CustomFeedSet::cutSheetCustom, IDC_FMTDLG_CUTFEED, {5, kSheetFeedDefault}),
    Custom("cutSheetCustom", kCutSheetCustom, FeedTableB, &CustomFeedSet::cutSheetCustom, 5),
    Feed("postcardFeed", kPostcard, nullptr, &FormatRecord::postcardFeed, FeedTableC,
         &CustomFeedSet::postcardCustom, IDC_FMTDLG_POSTCARDFEED, {6, kSheetFeedDefault}),
    Custom("postcardCustom", kPostcardCustom, FeedTableC, &CustomFeedSet::postcardCustom, 6),
    FormatNumber("cutSheetPosAdjust", "カット紙位置補正", &FormatRecord::cutSheetPosAdjust, FormatEditAdjust,
                 kColumns, IDC_FMTDLG_ADJUSTSPIN, {7, static_cast<int32_t>(kPosAdjustLow)}),
};

constexpr int kRecordCount = static_cast<int>(sizeof kRecordSettings / sizeof kRecordSettings[0]);
constexpr int kFormatCount = static_cast<int>(sizeof kFormatSettings / sizeof kFormatSettings[0]);
static_assert(kRecordCount + 4 * kFormatCount <= kMaxSettingCount, "room for every setting");

}  // namespace

int SettingCount() { return kRecordCount + 4 * kFormatCount; }

const SettingDef& SettingAt(int index, int* format) {
    if (index < kRecordCount) {
        *format = -1;
        return kRecordSettings[index];
    }
    *format = (index - kRecordCount) / kFormatCount;
    return kFormatSettings[(index - kRecordCount) % kFormatCount];
}

int FindSetting(int section, const char* key, size_t keyLength) {
    if (section == 0 && keyLength > 8 && std::memcmp(key, "format", 6) == 0 && key[6] >= '1' && key[6] <= '4' &&
        key[7] == '.')
        return FindSetting(key[6] - '0', key + 8, keyLength - 8);
    const int first = section == 0 ? 0 : kRecordCount + (section - 1) * kFormatCount;
    const int count = section == 0 ? kRecordCount : kFormatCount;
    for (int i = first; i < first + count; ++i) {
        int format;
        const char* name = SettingAt(i, &format).key;
        if (std::strlen(name) == keyLength && std::memcmp(name, key, keyLength) == 0) return i;
    }
    return -1;
}
