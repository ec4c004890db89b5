#include "settings_file_pure.h"

#include <cstdio>
#include <cstring>

#include "text_pure.h"
#include "font_print_pure.h"
#include "pages_pure.h"
#include "switch_bits_pure.h"
#include "ids_env_other.h"
#include "ids_font_print.h"
#include "ids_pages.h"

namespace {

typedef int32_t SettingsRecord::*RecordField;
typedef int32_t FormatRecord::*FormatField;

SettingDef Base(const char* key, const char* name, SettingKind kind) {
    SettingDef def = {};
    def.key = key;
    def.name = name;
    def.kind = kind;
    def.byteIndex = -1;
    return def;
}
SettingDef Number(const char* key, const char* name, RecordField field, const NumberRule* rule, const char* unit) {
    SettingDef def = Base(key, name, SettingNumber);
    def.field = field;
    def.rule = rule;
    def.unit = unit;
    return def;
}
SettingDef Choice(const char* key, const char* name, RecordField field, int templateId, int text0, int text1,
                  int text2 = 0) {
    SettingDef def = Base(key, name, SettingChoice);
    def.field = field;
    def.templateId = templateId;
    def.texts[0] = text0;
    def.texts[1] = text1;
    def.texts[2] = text2;
    return def;
}
SettingDef Check(const char* key, const char* name, RecordField field) {
    SettingDef def = Base(key, name, SettingCheck);
    def.field = field;
    def.texts[0] = kTextOff;
    def.texts[1] = kTextOn;
    return def;
}
SettingDef Feed(const char* key, const char* name, RecordField field, FormatField formatField, FeedTable table,
                int32_t CustomFeedSet::*custom) {
    SettingDef def = Base(key, name, SettingFeed);
    def.field = field;
    def.formatField = formatField;
    def.feedTable = table;
    def.custom = custom;
    return def;
}
// The custom position beside a feed row.
SettingDef Custom(const char* key, const char* name, FeedTable table, int32_t CustomFeedSet::*custom) {
    SettingDef def = Base(key, name, SettingCustomFeed);
    def.feedTable = table;
    def.custom = custom;
    return def;
}
SettingDef List(const char* key, const char* name, RecordField field, const char* const* rows, int count) {
    SettingDef def = Base(key, name, SettingList);
    def.field = field;
    def.rows = rows;
    def.rowCount = count;
    return def;
}
SettingDef Fine(const char* key, const char* name, RecordField field, const FineList* list) {
    SettingDef def = Base(key, name, SettingFine);
    def.field = field;
    def.fine = list;
    return def;
}
// A bit of the switch bytes shown by a radio pair of the page's dialog templateId.
// With inverted, the key's 1 is the radio of the bit clear (the key names that choice).
SettingDef Bit(const char* key, const char* name, const BitBoundRadio& pair, int templateId, bool inverted = false) {
    SettingDef def = Base(key, name, SettingBit);
    def.byteIndex = pair.byteIndex;
    def.mask = pair.mask;
    def.inverted = inverted;
    def.templateId = templateId;
    def.texts[inverted ? 1 : 0] = ClearRadioOf(pair);
    def.texts[inverted ? 0 : 1] = pair.setId;
    return def;
}
// A bit of the switch bytes shown by a check box: the key's 1 is the ticked box.
SettingDef CheckBit(const char* key, const char* name, const BitBoundCheck& check) {
    SettingDef def = Base(key, name, SettingCheckBit);
    def.byteIndex = check.byteIndex;
    def.mask = check.mask;
    def.inverted = check.tickedMeansClear;
    def.texts[0] = kTextOff;
    def.texts[1] = kTextOn;
    return def;
}
SettingDef FormatNumber(const char* key, const char* name, FormatField field, const NumberRule* rule,
                        const char* unit) {
    SettingDef def = Number(key, name, nullptr, rule, unit);
    def.formatField = field;
    return def;
}

// The margins have no edit rule of their own: the format dialog checks them
// in CheckFormatInputs; these are the same ranges.
constexpr NumberRule kLeftMarginRule = {IDC_FMTDLG_LEFTEDIT, 0, 135, IDS_MSG_BAD_LEFT_MARGIN};
constexpr NumberRule kRightMarginRule = {IDC_FMTDLG_RIGHTEDIT, 1, 136, IDS_MSG_BAD_RIGHT_MARGIN};

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

const SettingDef kRecordSettings[] = {
    Choice("paperSetCenter", "用紙セット位置", &SettingsRecord::paperSetCenter, IDD_PAPER_PAGE, IDC_PAPER_LEFT,
           IDC_PAPER_CENTER),
    Check("postcardMode", "ハガキ印刷モード", &SettingsRecord::postcardMode),
    Number("headCenterCut", "ヘッドセンタリング位置（カット紙）", &SettingsRecord::headCenterCut,
           &kHeadCenterRules[0], kColumns),
    Number("headCenterFront", "ヘッドセンタリング位置（連続紙前）", &SettingsRecord::headCenterFront,
           &kHeadCenterRules[1], kColumns),
    Number("headCenterRear", "ヘッドセンタリング位置（連続紙後）", &SettingsRecord::headCenterRear,
           &kHeadCenterRules[2], kColumns),
    List("paperThickness", "紙厚調整", &SettingsRecord::paperThickness, kThicknessRowTexts, kThicknessRows),
    Feed("contFrontFeed", kContFront, &SettingsRecord::contFrontFeed, nullptr, FeedTableA,
         &CustomFeedSet::contFrontCustom),
    Custom("contFrontCustom", kContFrontCustom, FeedTableA, &CustomFeedSet::contFrontCustom),
    Feed("contRearFeed", kContRear, &SettingsRecord::contRearFeed, nullptr, FeedTableA,
         &CustomFeedSet::contRearCustom),
    Custom("contRearCustom", kContRearCustom, FeedTableA, &CustomFeedSet::contRearCustom),
    Feed("cutSheetFeed", kCutSheet, &SettingsRecord::cutSheetFeed, nullptr, FeedTableB,
         &CustomFeedSet::cutSheetCustom),
    Custom("cutSheetCustom", kCutSheetCustom, FeedTableB, &CustomFeedSet::cutSheetCustom),
    Feed("postcardFeed", kPostcard, &SettingsRecord::postcardFeed, nullptr, FeedTableC,
         &CustomFeedSet::postcardCustom),
    Custom("postcardCustom", kPostcardCustom, FeedTableC, &CustomFeedSet::postcardCustom),
    Number("pageLength", "用紙長", &SettingsRecord::pageLength, &kFormatPageLengthRule, kLines),
    Number("cutSheetPosAdjust", "カット紙位置補正", &SettingsRecord::cutSheetPosAdjust, &kFormatPosAdjustRule,
           kColumns),
    List("formatSelect", "書式選択", &SettingsRecord::formatSelect, kFormatSelectTexts, kFormatSelectRows),
    Choice("typeface", "書体", &SettingsRecord::typeface, IDD_FONT_PAGE, IDC_FONT_MINCHO, IDC_FONT_GOTHIC),
    List("font1", "フォント１", &SettingsRecord::font1, kFontRowTexts, kFontRows),
    List("font2", "フォント２", &SettingsRecord::font2, kFontRowTexts, kFontRows),
    Choice("kanjiTable", "JIS漢字コード表", &SettingsRecord::kanjiTable, IDD_FONT_ADVANCED, IDC_FONTADV_JIS1978,
           IDC_FONTADV_JIS1983, IDC_FONTADV_JIS1990),
    List("reduction", "縮小印刷", &SettingsRecord::reduction, kReductionRowTexts, kReductionRows),
    Check("quietPrint", "クワイエット印刷", &SettingsRecord::quietPrint),
    Fine("printPressure", "印圧微調整", &SettingsRecord::printPressure, &kPressureList),
    Fine("printPosition", "印字位置微調整", &SettingsRecord::printPosition, &kPositionList),
    [] {
        SettingDef def = Base("switches.charset", "国際文字セット", SettingCharset);
        def.byteIndex = 0;
        def.mask = kCharsetMask;
        return def;
    }(),
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
    Bit("switches.picaMode", "NHS/SHSパイカ", kPrintDosRadios[1], IDD_PRINT_DOS),
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
    Base("switches.otherBits", "その他のスイッチ（16進）", SettingOtherBits),
};

// The eight fields of each format, in the order of the format settings dialog.
const SettingDef kFormatSettings[] = {
    FormatNumber("pageLength", "用紙長", &FormatRecord::pageLength, &kFormatPageLengthRule, kLines),
    FormatNumber("leftMargin", "レフトマージン", &FormatRecord::leftMargin, &kLeftMarginRule, kColumns),
    FormatNumber("rightMargin", "ライトマージン", &FormatRecord::rightMargin, &kRightMarginRule, kColumns),
    Feed("contFrontFeed", kContFront, nullptr, &FormatRecord::contFrontFeed, FeedTableA,
         &CustomFeedSet::contFrontCustom),
    Custom("contFrontCustom", kContFrontCustom, FeedTableA, &CustomFeedSet::contFrontCustom),
    Feed("contRearFeed", kContRear, nullptr, &FormatRecord::contRearFeed, FeedTableA,
         &CustomFeedSet::contRearCustom),
    Custom("contRearCustom", kContRearCustom, FeedTableA, &CustomFeedSet::contRearCustom),
    Feed("cutSheetFeed", kCutSheet, nullptr, &FormatRecord::cutSheetFeed, FeedTableB,
         &CustomFeedSet::cutSheetCustom),
    Custom("cutSheetCustom", kCutSheetCustom, FeedTableB, &CustomFeedSet::cutSheetCustom),
    Feed("postcardFeed", kPostcard, nullptr, &FormatRecord::postcardFeed, FeedTableC,
         &CustomFeedSet::postcardCustom),
    Custom("postcardCustom", kPostcardCustom, FeedTableC, &CustomFeedSet::postcardCustom),
    FormatNumber("cutSheetPosAdjust", "カット紙位置補正", &FormatRecord::cutSheetPosAdjust, &kFormatPosAdjustRule,
                 kColumns),
};

constexpr int kRecordCount = static_cast<int>(sizeof kRecordSettings / sizeof kRecordSettings[0]);
constexpr int kFormatCount = static_cast<int>(sizeof kFormatSettings / sizeof kFormatSettings[0]);
constexpr int kTotalCount = kRecordCount + 4 * kFormatCount;
static_assert(kTotalCount <= kMaxSettings, "room for every setting");

// The switch bits no named setting covers, one mask per byte.
struct OtherMasks {
    uint8_t byte[4];
};
OtherMasks ComputeOtherMasks() {
    OtherMasks masks = {{0xFF, 0xFF, 0xFF, 0xFF}};
    for (const SettingDef& def : kRecordSettings)
        if (def.byteIndex >= 0) masks.byte[def.byteIndex] &= static_cast<uint8_t>(~def.mask);
    return masks;
}
const OtherMasks kOtherMasks = ComputeOtherMasks();

uint32_t PackOtherBits(const uint8_t switches[4]) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | (switches[i] & kOtherMasks.byte[i]);
    return value;
}

const CustomFeedSet& CustomSetOf(int format, const CustomFeedTable& custom) {
    return format < 0 ? custom.record : custom.formats[format];
}

int32_t RawValue(const SettingDef& def, int format, const PrinterSettings& settings) {
    const SettingsRecord& record = settings.record;
    if (def.kind == SettingCustomFeed) return CustomSetOf(format, settings.custom).*def.custom;
    if (def.formatField) return record.formats[format].*def.formatField;
    if (def.field) return record.*def.field;
    if (def.kind == SettingOtherBits) return static_cast<int32_t>(PackOtherBits(record.switches));
    const uint8_t bits = record.switches[def.byteIndex] & def.mask;
    if (def.kind == SettingCharset) return bits;
    return (bits ? 1 : 0) ^ (def.inverted ? 1 : 0);
}

// A custom feed position the block can carry: none (0), or a byte that is no
// row's value (a row's value reads back as that row).
bool CustomAccepted(FeedTable table, int32_t value) {
    if (value == 0) return true;
    if (value < 0 || value > 255) return false;
    int32_t custom = 0;
    FeedRowFromValue(table, static_cast<uint8_t>(value), &custom);
    return custom == value;
}

std::string Printf(const char* format, long value) {
    char text[64];
    FormatText(text, sizeof text, format, value);
    return text;
}

// A fine adjustment's stored code as the signed step the page shows.
int32_t SignedStep(int32_t code) { return code >= 128 && code <= 255 ? code - 256 : code; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A line's text without the blanks around it.
void Trim(const char** begin, const char** end) {
    while (*begin < *end && IsBlank(**begin)) ++*begin;
    while (*end > *begin && IsBlank((*end)[-1])) --*end;
}

bool Equals(const char* begin, const char* end, const char* text) {
    const size_t length = std::strlen(text);
    return static_cast<size_t>(end - begin) == length && std::memcmp(begin, text, length) == 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decimal digits only (a leading '-' where signed), at most a 32-bit signed
// value; hexadecimal: exactly eight digits.
bool ParseValue(const char* begin, const char* end, bool hex, bool isSigned, int32_t* value) {
    const bool negative = isSigned && begin < end && *begin == '-';
    if (negative) ++begin;
    const size_t length = static_cast<size_t>(end - begin);
    if (length == 0 || length > (hex ? 8u : 10u) || (hex && length != 8)) return false;
    uint64_t result = 0;
    for (const char* p = begin; p < end; ++p) {
        const int digit = hex ? HexDigit(*p) : (*p >= '0' && *p <= '9' ? *p - '0' : -1);
        if (digit < 0) return false;
        result = result * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    }
    if (!hex && result > 0x7FFFFFFFu) return false;
    *value = static_cast<int32_t>(static_cast<uint32_t>(result));
    if (negative) *value = -*value;
    return true;
}

// Decimal digits, a '-' before them allowed, of any length.
bool IsDecimal(const char* begin, const char* end) {
    if (begin < end && *begin == '-') ++begin;
    if (begin == end) return false;
    for (const char* p = begin; p < end; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

bool ParseBlock(const char* begin, const char* end, uint8_t block[kSettingsBlockSize]) {
    if (static_cast<size_t>(end - begin) != 2 * kSettingsBlockSize) return false;
    for (size_t i = 0; i < kSettingsBlockSize; ++i) {
        const int high = HexDigit(begin[2 * i]);
        const int low = HexDigit(begin[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        block[i] = static_cast<uint8_t>(high * 16 + low);
    }
    PrinterSettings settings;
    return SettingsOfBlock(block, &settings) != 0;
}

// The section a "[name]" line opens: 0 general, 1..4 a format, -1 unknown.
int SectionOf(const char* name, const char* nameEnd) {
    if (Equals(name, nameEnd, "general")) return 0;
    for (int k = 1; k <= 4; ++k) {
        char expected[16];
        FormatText(expected, sizeof expected, "format%d", k);
        if (Equals(name, nameEnd, expected)) return k;
    }
    return -1;
}

// Where a line ends: at LF, CR LF or a CR alone.
const char* LineEnd(const char* line, const char* end) {
    while (line < end && *line != '\n' && *line != '\r') ++line;
    return line;
}

// Files before version 2 wrote the bit itself for the keys whose 1 now means what their name says.
int32_t FromVersion(int version, int index, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return version < 2 && def.inverted ? value ^ 1 : value;
}

}  // namespace

int SettingCount() { return kTotalCount; }

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

std::string SettingFullKey(int index) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    if (format < 0) return def.key;
    return Printf("format%ld.", format + 1) + def.key;
}

std::string SettingName(int index) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    if (format < 0) return def.name;
    return std::string(kFormatSelectTexts[format + 1]) + " " + def.name;
}

std::string CustomRowText(int index, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    if (def.kind != SettingCustomFeed || value <= 0 || value > 255) return "";
    int32_t custom = 0;
    const int row = FeedRowFromValue(def.feedTable, static_cast<uint8_t>(value), &custom);
    const char* text = custom == value ? nullptr : FeedRowText(def.feedTable, row);
    return TextOrEmpty(text);
}

int CustomSettingOf(int index) {
    int format;
    return SettingAt(index, &format).kind == SettingFeed ? index + 1 : -1;
}

int32_t GetSettingValue(int index, const PrinterSettings& settings) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return RawValue(def, format, settings);
}

void SetSettingValue(int index, PrinterSettings* settings, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    SettingsRecord* record = &settings->record;
    if (def.kind == SettingCustomFeed) {
        CustomFeedSet& set = format < 0 ? settings->custom.record : settings->custom.formats[format];
        set.*def.custom = value;
    } else if (def.formatField) {
        record->formats[format].*def.formatField = value;
    } else if (def.field) {
        record->*def.field = value;
    } else if (def.kind == SettingOtherBits) {
        for (int i = 0; i < 4; ++i) {
            const uint8_t bits = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * (3 - i)));
            record->switches[i] = static_cast<uint8_t>((record->switches[i] & ~kOtherMasks.byte[i]) |
                                                       (bits & kOtherMasks.byte[i]));
        }
    } else {
        uint8_t& byte = record->switches[def.byteIndex];
        const bool set = (value != 0) != def.inverted;
        const uint8_t bits = def.kind == SettingCharset ? static_cast<uint8_t>(value) & def.mask
                                                        : (set ? def.mask : 0);
        byte = static_cast<uint8_t>((byte & ~def.mask) | bits);
    }
}

int SettingValueAccepted(int index, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    switch (def.kind) {
    case SettingNumber:
        return value >= 0 && InRange(static_cast<uint32_t>(value), def.rule->low, def.rule->high);
    case SettingChoice:
        return value >= 0 && value < 3 && def.texts[value] != 0;
    case SettingCheck:
    case SettingBit:
    case SettingCheckBit:
        return value == 0 || value == 1;
    case SettingFeed:
        return value >= 0 && value <= FeedCustomRow(def.feedTable);
    case SettingCustomFeed:
        return CustomAccepted(def.feedTable, value);
    case SettingList:
        return value >= 0 && value < def.rowCount;
    case SettingFine:
        for (int row = 0; row < def.fine->count; ++row)
            if (def.fine->rows[row].stored == value) return 1;
        return 0;
    case SettingCharset:
        return value >= 0 && value <= kCharsetMask &&
               StoreCharsetRow(0, CharsetRowOf(static_cast<uint8_t>(value))) == value;
    case SettingOtherBits: {
        const uint32_t bits = static_cast<uint32_t>(value);
        uint8_t fixed[4] = {};
        for (int i = 0; i < 4; ++i) fixed[i] = static_cast<uint8_t>(bits >> (8 * (3 - i)));
        return PackOtherBits(fixed) == bits;
    }
    }
    return 0;
}

std::string SettingValueText(int index, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    char text[16];
    if (def.kind == SettingOtherBits)
        FormatText(text, sizeof text, "%08lX", static_cast<unsigned long>(static_cast<uint32_t>(value)));
    else
        FormatText(text, sizeof text, "%ld", static_cast<long>(def.kind == SettingFine ? SignedStep(value) : value));
    return text;
}

std::string SettingRangeText(int index) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    switch (def.kind) {
    case SettingNumber:
        return Printf("%ld..", static_cast<long>(def.rule->low)) + Printf("%ld", static_cast<long>(def.rule->high));
    case SettingChoice:
        return def.texts[2] ? "0..2" : "0, 1";
    case SettingCheck:
    case SettingBit:
    case SettingCheckBit:
        return "0, 1";
    case SettingFeed:
        return Printf("0..%ld", FeedCustomRow(def.feedTable));
    case SettingCustomFeed:
        return "0..255";
    case SettingList:
        return Printf("0..%ld", def.rowCount - 1);
    case SettingFine: {
        int32_t low = 0;
        int32_t high = 0;
        for (int row = 0; row < def.fine->count; ++row) {
            const int32_t step = SignedStep(def.fine->rows[row].stored);
            if (step < low) low = step;
            if (step > high) high = step;
        }
        return Printf("%ld..", low) + Printf("%ld", high);
    }
    case SettingCharset: {
        std::string codes;
        for (int row = 0; row < kCharsetRows; ++row)
            codes += (row ? ", " : "") + Printf("%ld", StoreCharsetRow(0, row));
        return codes;
    }
    case SettingOtherBits:
        return Printf("%08lX のビットのみ", static_cast<long>(PackOtherBits(kOtherMasks.byte)));
    }
    return "";
}

std::string SettingDisplay(int index, const PrinterSettings& settings, ChoiceTextFn choiceText, void* context) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    const int32_t value = RawValue(def, format, settings);
    switch (def.kind) {
    case SettingNumber:
        return Printf("%ld", value) + def.unit;
    case SettingChoice:
    case SettingCheck:
    case SettingBit:
    case SettingCheckBit:
        if (value < 0 || value > 2 || def.texts[value] == 0) break;
        return choiceText(context, def.templateId, def.texts[value]);
    case SettingFeed:
    case SettingCustomFeed: {
        const int32_t customValue = CustomSetOf(format, settings.custom).*def.custom;
        if (def.kind == SettingCustomFeed && value == 0) return "-";
        if (def.kind == SettingCustomFeed || (value == FeedCustomRow(def.feedTable) && customValue != 0)) {
            char text[32];
            FormatCustomFeedRow(text, sizeof text, customValue);
            return text;
        }
        const char* row = FeedRowText(def.feedTable, value);
        if (row) return row;
        break;
    }
    case SettingList:
        if (value >= 0 && value < def.rowCount) return def.rows[value];
        break;
    case SettingFine:
        return def.fine->rows[FineRowOf(*def.fine, value)].text;
    case SettingCharset:
        return kCharsetRowTexts[CharsetRowOf(static_cast<uint8_t>(value))];
    case SettingOtherBits:
        return SettingValueText(index, value);
    }
    return "(" + SettingValueText(index, value) + ")";  // a value no control of the page shows
}

int SettingDiffers(int index, const PrinterSettings& a, const PrinterSettings& b) {
    return GetSettingValue(index, a) != GetSettingValue(index, b);
}

int SameSettings(const PrinterSettings& a, const PrinterSettings& b) {
    for (int i = 0; i < kTotalCount; ++i)
        if (SettingDiffers(i, a, b)) return 0;
    return 1;
}

int SettingsOfBlock(const uint8_t block[kSettingsBlockSize], PrinterSettings* settings) {
    InvalidateSettings(&settings->record);
    settings->custom = {};
    return DecodeSettingsBlock(block, &settings->record, &settings->custom) && SwitchBytesLoaded(&settings->record);
}

PrinterSettings DefaultPrinterSettings() {
    PrinterSettings settings = {};
    LoadDefaultSettings(&settings.record);
    return settings;
}

namespace {

// A printer's name as printer= holds it: in double quotes when blanks around
// it would otherwise be lost, or when it starts and ends with a quote itself.
std::string QuotedName(const std::string& name) {
    const bool quote = !name.empty() && (IsBlank(name.front()) || IsBlank(name.back()) ||
                                         (name.size() >= 2 && name.front() == '"' && name.back() == '"'));
    return quote ? '"' + name + '"' : name;
}

// Passes over a UTF-8 byte-order mark; false for a UTF-16 text (a mark of
// its own, or a zero byte at its start).
bool SkipByteOrderMark(const char** text, size_t* length) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(*text);
    if (*length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF) ||
                         (*length >= 4 && (bytes[0] == 0 || bytes[1] == 0))))
        return false;
    if (*length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        *text += 3;
        *length -= 3;
    }
    return true;
}

// The format's version, one this program reads.
bool ReadVersion(const char* value, const char* valueEnd, int* version) {
    int32_t number = 0;
    if (!ParseValue(value, valueEnd, false, false, &number) || number < 1 || number > kSettingsFileVersion)
        return false;
    *version = number;
    return true;
}

// The printer's name (printer=) or the time (saved=) of a saved file.
FileProblem ReadSavedField(bool printer, const char* value, const char* valueEnd, bool header, int lineNumber,
                           ParsedSettings* parsed) {
    char* field = printer ? parsed->printer : parsed->saved;
    const size_t size = printer ? sizeof parsed->printer : sizeof parsed->saved;
    if (!header) return {FileMissingHeader, lineNumber, -1};
    if (field[0]) return {FileRepeatedKey, lineNumber, -1};
    if (printer && valueEnd - value >= 2 && *value == '"' && valueEnd[-1] == '"') {
        ++value;  // a quoted name: exactly what stands between the quotes
        --valueEnd;
    }
    if (value == valueEnd || static_cast<size_t>(valueEnd - value) >= size) return {FileBadValue, lineNumber, -1};
    std::memcpy(field, value, static_cast<size_t>(valueEnd - value));
    return {FileOk, 0, -1};
}

// A setting's line in its section: the value checked and taken.
FileProblem ReadSettingLine(int section, const char* key, const char* keyEnd, const char* value,
                            const char* valueEnd, bool header, int lineNumber, ParsedSettings* parsed) {
    const int index = FindSetting(section, key, static_cast<size_t>(keyEnd - key));
    if (index < 0) return {FileUnknownKey, lineNumber, -1};
    if (!header) return {FileMissingHeader, lineNumber, index};
    if (parsed->present[index]) return {FileRepeatedKey, lineNumber, index};
    int format;
    const SettingKind kind = SettingAt(index, &format).kind;
    int32_t number = 0;
    if (!ParseValue(value, valueEnd, kind == SettingOtherBits, kind != SettingOtherBits, &number))
        return {kind == SettingOtherBits ? FileNotHex : IsDecimal(value, valueEnd) ? FileOutOfRange : FileBadValue,
                lineNumber, index};
    if (kind == SettingFine && number < 0) number += 256;  // the page's "-6" is the stored 250
    number = FromVersion(parsed->version, index, number);
    if (!SettingValueAccepted(index, number))
        return {kind == SettingCustomFeed && !CustomRowText(index, number).empty() ? FileCustomIsRow : FileOutOfRange,
                lineNumber, index, number};
    parsed->present[index] = true;
    parsed->value[index] = number;
    parsed->line[index] = lineNumber;
    ++parsed->count;
    return {FileOk, 0, -1};
}

}  // namespace

FileProblem ReadSettingsFile(const char* text, size_t length, const char* model, ParsedSettings* parsed) {
    std::memset(parsed, 0, sizeof *parsed);
    if (!SkipByteOrderMark(&text, &length)) return {FileUtf16, 1, -1};
    bool haveModel = false;
    bool anything = false;
    bool ended = false;  // after [end]
    int section = 0;
    int lineNumber = 0;
    const char* end = text + length;
    const char* line = text;
    bool unterminated = false;  // the line read last has no line end
    // A saved file whose last line stops short of its line end was cut in that line.
    const auto Problem = [&](const FileProblem& problem) -> FileProblem {
        return parsed->saved[0] && unterminated ? FileProblem{FileCutShort, problem.line, -1} : problem;
    };
    do {
        ++lineNumber;
        const char* lineEnd = LineEnd(line, end);
        unterminated = lineEnd == end;
        const bool crlf = lineEnd < end && lineEnd[0] == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n';
        const char* next = lineEnd == end ? end : lineEnd + (crlf ? 2 : 1);
        const char* begin = line;
        Trim(&begin, &lineEnd);
        line = next;
        if (begin == lineEnd || *begin == '#') continue;
        if (ended) return Problem({FileAfterEnd, lineNumber, -1});  // nothing after [end]
        anything = true;
        if (std::memchr(begin, '\0', static_cast<size_t>(lineEnd - begin)))
            return Problem({FileBadLine, lineNumber, -1});
        const bool header = haveModel && parsed->version != 0;
        if (*begin == '[') {
            if (lineEnd[-1] != ']') return Problem({FileBadLine, lineNumber, -1});
            if (!header) return Problem({FileMissingHeader, lineNumber, -1});
            const char* name = begin + 1;
            const char* nameEnd = lineEnd - 1;
            Trim(&name, &nameEnd);
            ended = Equals(name, nameEnd, "end");
            if (ended) continue;
            section = SectionOf(name, nameEnd);
            if (section < 0) return Problem({FileUnknownSection, lineNumber, -1});
            continue;
        }
        const char* equals = static_cast<const char*>(std::memchr(begin, '=', static_cast<size_t>(lineEnd - begin)));
        if (!equals) return Problem({FileBadLine, lineNumber, -1});
        const char* key = begin;
        const char* keyEnd = equals;
        const char* value = equals + 1;
        const char* valueEnd = lineEnd;
        Trim(&key, &keyEnd);
        Trim(&value, &valueEnd);
        if (key == keyEnd) return Problem({FileBadLine, lineNumber, -1});

        if (section == 0 && Equals(key, keyEnd, "model")) {
            if (haveModel) return Problem({FileRepeatedKey, lineNumber, -1});
            if (!Equals(value, valueEnd, model ? model : "")) return Problem({FileWrongModel, lineNumber, -1});
            haveModel = true;
        } else if (section == 0 && Equals(key, keyEnd, "version")) {
            if (parsed->version != 0) return Problem({FileRepeatedKey, lineNumber, -1});
            if (!ReadVersion(value, valueEnd, &parsed->version)) return Problem({FileWrongVersion, lineNumber, -1});
        } else if (section == 0 && (Equals(key, keyEnd, "printer") || Equals(key, keyEnd, "saved"))) {
            const FileProblem problem = ReadSavedField(key[0] == 'p', value, valueEnd, header, lineNumber, parsed);
            if (problem.error != FileOk) return Problem(problem);
        } else if (section == 0 && Equals(key, keyEnd, "block")) {
            if (!header) return Problem({FileMissingHeader, lineNumber, -1});
            if (parsed->hasBlock) return Problem({FileRepeatedKey, lineNumber, -1});
            if (!ParseBlock(value, valueEnd, parsed->block)) return Problem({FileBadBlock, lineNumber, -1});
            parsed->hasBlock = true;
        } else {
            const FileProblem problem =
                ReadSettingLine(section, key, keyEnd, value, valueEnd, header, lineNumber, parsed);
            if (problem.error != FileOk) return Problem(problem);
        }
    } while (line < end);
    if (!anything) return {FileEmpty, 0, -1};
    if (!haveModel || parsed->version == 0) return {FileMissingHeader, lineNumber + 1, -1};
    if (parsed->saved[0] && !ended) return {FileCutShort, lineNumber + 1, -1};
    return {FileOk, 0, -1};
}

int FileNames(const ParsedSettings& parsed, int index) {
    if (parsed.hasBlock || parsed.present[index]) return 1;
    int format;
    if (SettingAt(index, &format).kind != SettingCustomFeed) return 0;
    return parsed.present[index - 1];  // the feed row before it
}

int FileIsComplete(const ParsedSettings& parsed) {
    for (int i = 0; i < kTotalCount; ++i)
        if (!FileNames(parsed, i)) return 0;
    return 1;
}

PrinterSettings FileOver(const ParsedSettings& parsed, const PrinterSettings& base) {
    PrinterSettings settings = base;
    if (parsed.hasBlock) SettingsOfBlock(parsed.block, &settings);
    for (int i = 0; i < kTotalCount; ++i)
        if (parsed.present[i]) SetSettingValue(i, &settings, parsed.value[i]);
    for (int i = 0; i < kTotalCount; ++i) {
        const int custom = CustomSettingOf(i);
        if (custom < 0 || !parsed.present[i] || parsed.present[custom]) continue;
        int format;
        const bool customRow = parsed.value[i] == FeedCustomRow(SettingAt(i, &format).feedTable);
        SetSettingValue(custom, &settings, customRow ? GetSettingValue(custom, settings) : 0);
    }
    return settings;
}

std::string WriteSettingsFile(const PrinterSettings& settings, const uint8_t* block, const char* model,
                              ChoiceTextFn choiceText, void* context, const char* printer, const char* savedTime) {
    std::string out = "# rpsettings: パネル設定\n";
    out += std::string("model=") + TextOrEmpty(model) + "\n";
    out += Printf("version=%ld\n", kSettingsFileVersion);
    if (savedTime) out += "printer=" + QuotedName(TextOrEmpty(printer)) + "\nsaved=" + savedTime + "\n";
    int lastFormat = -1;
    for (int i = 0; i < kTotalCount; ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        if (format != lastFormat) {
            out += Printf("\n[format%ld]\n", format + 1);
            lastFormat = format;
        } else if (i == 0) {
            out += "\n";
        }
        const int32_t value = RawValue(def, format, settings);
        out += "# " + SettingName(i) + ": " + SettingDisplay(i, settings, choiceText, context) + "\n";
        if (!SettingValueAccepted(i, value)) out += "# ページが受け付けない値のため、ブロック行にのみ記録: ";
        out += std::string(def.key) + "=" + SettingValueText(i, value) + "\n";
    }
    if (block) {
        out += "\n[general]\n# プリンタの設定ブロック全体（260バイト）。キーのない設定はここから取ります。\n"
               "# キーに書いた設定だけを送るときは、この行を消して下さい。\nblock=";
        for (size_t i = 0; i < kSettingsBlockSize; ++i) out += Printf("%02lX", block[i]);
        out += "\n";
    }
    if (savedTime) out += "\n# 保存したファイルの終わり。この行のないファイルは途中で切れたものとして読みません。\n"
                          "[end]\n";
    return out;
}
