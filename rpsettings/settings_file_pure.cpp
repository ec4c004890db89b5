#include "settings_file_pure.h"

#include <cstdio>
#include <cstring>

#include "app/text_pure.h"
#include "pages/font_print_pure.h"
#include "pages/pages_pure.h"
#include "pages/switch_bits_pure.h"
#include "res/ids_env_other.h"
#include "res/ids_font_print.h"
#include "res/ids_pages.h"

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
SettingDef Bit(const char* key, const char* name, const BitBoundRadio& pair, int templateId) {
    SettingDef def = Base(key, name, SettingBit);
    def.byteIndex = pair.byteIndex;
    def.mask = pair.mask;
    def.templateId = templateId;
    def.texts[0] = ClearRadioOf(pair);
    def.texts[1] = pair.setId;
    return def;
}
// A bit of the switch bytes shown by a check box ("on" is the ticked box).
SettingDef CheckBit(const char* key, const char* name, const BitBoundCheck& check) {
    SettingDef def = Base(key, name, SettingCheckBit);
    def.byteIndex = check.byteIndex;
    def.mask = check.mask;
    def.texts[0] = check.tickedMeansClear ? kTextOn : kTextOff;
    def.texts[1] = check.tickedMeansClear ? kTextOff : kTextOn;
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
    Feed("contFrontFeed", "吸入位置（連続紙前）", &SettingsRecord::contFrontFeed, nullptr, FeedTableA,
         &CustomFeedSet::contFrontCustom),
    Feed("contRearFeed", "吸入位置（連続紙後）", &SettingsRecord::contRearFeed, nullptr, FeedTableA,
         &CustomFeedSet::contRearCustom),
    Feed("cutSheetFeed", "吸入位置（カット紙）", &SettingsRecord::cutSheetFeed, nullptr, FeedTableB,
         &CustomFeedSet::cutSheetCustom),
    Feed("postcardFeed", "吸入位置（ハガキ）", &SettingsRecord::postcardFeed, nullptr, FeedTableC,
         &CustomFeedSet::postcardCustom),
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
    Bit("switches.dc1dc3", "DC1/DC3コード処理", kOtherPageRadios[1], IDD_OTHER_PAGE),
    Bit("switches.autoCrLf", "自動CR-LF", kEnvironmentAdvancedRadios[4], IDD_ENVIRONMENT_ADVANCED),
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
    Bit("switches.edgeDetect", "用紙左右端検出", kEnvironmentPageRadios[1], IDD_ENVIRONMENT_PAGE),
    Bit("switches.feederLoad", "シートフィーダ吸入制御", kEnvironmentAdvancedRadios[1], IDD_ENVIRONMENT_ADVANCED),
    Bit("switches.dotDirection", "ドット列の印字方向", kPrintPageRadios[0], IDD_PRINT_PAGE),
    CheckBit("switches.draftAtPowerOn", "電源オン時のドラフトモード", kDraftAtPowerOnCheck),
    Bit("switches.cutSheetEject", "カット紙排出", kEnvironmentPageRadios[2], IDD_ENVIRONMENT_PAGE),
    Bit("switches.feederEject", "シートフィーダ排出", kEnvironmentAdvancedRadios[0], IDD_ENVIRONMENT_ADVANCED),
    Bit("switches.sheetGuideLoad", "シートガイド吸入", kEnvironmentPageRadios[0], IDD_ENVIRONMENT_PAGE),
    Base("switches.otherBits", "その他のスイッチ（16進）", SettingOtherBits),
};

// The eight fields of each format, in the order of the format settings dialog.
const SettingDef kFormatSettings[] = {
    FormatNumber("pageLength", "用紙長", &FormatRecord::pageLength, &kFormatPageLengthRule, kLines),
    FormatNumber("leftMargin", "レフトマージン", &FormatRecord::leftMargin, &kLeftMarginRule, kColumns),
    FormatNumber("rightMargin", "ライトマージン", &FormatRecord::rightMargin, &kRightMarginRule, kColumns),
    Feed("contFrontFeed", "吸入位置（連続紙前）", nullptr, &FormatRecord::contFrontFeed, FeedTableA,
         &CustomFeedSet::contFrontCustom),
    Feed("contRearFeed", "吸入位置（連続紙後）", nullptr, &FormatRecord::contRearFeed, FeedTableA,
         &CustomFeedSet::contRearCustom),
    Feed("cutSheetFeed", "吸入位置（カット紙）", nullptr, &FormatRecord::cutSheetFeed, FeedTableB,
         &CustomFeedSet::cutSheetCustom),
    Feed("postcardFeed", "吸入位置（ハガキ）", nullptr, &FormatRecord::postcardFeed, FeedTableC,
         &CustomFeedSet::postcardCustom),
    FormatNumber("cutSheetPosAdjust", "カット紙位置補正", &FormatRecord::cutSheetPosAdjust, &kFormatPosAdjustRule,
                 kColumns),
};

constexpr int kRecordCount = static_cast<int>(sizeof kRecordSettings / sizeof kRecordSettings[0]);
constexpr int kFormatCount = static_cast<int>(sizeof kFormatSettings / sizeof kFormatSettings[0]);
constexpr int kTotalCount = kRecordCount + 4 * kFormatCount;
static_assert(kTotalCount <= static_cast<int>(sizeof(ParsedSettings::present)), "room for every setting");

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

int32_t RawValue(const SettingDef& def, int format, const SettingsRecord& record) {
    if (def.formatField) return record.formats[format].*def.formatField;
    if (def.field) return record.*def.field;
    if (def.kind == SettingOtherBits) return static_cast<int32_t>(PackOtherBits(record.switches));
    const uint8_t bits = record.switches[def.byteIndex] & def.mask;
    return def.kind == SettingCharset ? bits : (bits ? 1 : 0);
}

std::string Printf(const char* format, long value) {
    char text[64];
    FormatText(text, sizeof text, format, value);
    return text;
}

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

// Decimal digits only, at most a 32-bit signed value; hexadecimal: exactly eight digits.
bool ParseValue(const char* begin, const char* end, bool hex, int32_t* value) {
    const size_t length = static_cast<size_t>(end - begin);
    if (length == 0 || length > (hex ? 8u : 10u) || (hex && length != 8)) return false;
    uint64_t result = 0;
    for (const char* p = begin; p < end; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9') digit = *p - '0';
        else if (hex && *p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
        else if (hex && *p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
        else return false;
        result = result * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    }
    if (!hex && result > 0x7FFFFFFFu) return false;
    *value = static_cast<int32_t>(static_cast<uint32_t>(result));
    return true;
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

int32_t GetSettingValue(int index, const SettingsRecord& record) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return RawValue(def, format, record);
}

void SetSettingValue(int index, SettingsRecord* record, int32_t value) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    if (def.formatField) {
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
        const uint8_t bits = def.kind == SettingCharset ? static_cast<uint8_t>(value) & def.mask
                                                        : (value ? def.mask : 0);
        byte = static_cast<uint8_t>((byte & ~def.mask) | bits);
    }
}

int32_t CustomValueOf(int index, const CustomFeedTable& custom) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    return def.kind == SettingFeed ? CustomSetOf(format, custom).*def.custom : 0;
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
        FormatText(text, sizeof text, "%ld", static_cast<long>(value));
    return text;
}

std::string SettingDisplay(int index, const SettingsRecord& record, const CustomFeedTable& custom,
                           ChoiceTextFn choiceText, void* context) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    const int32_t value = RawValue(def, format, record);
    switch (def.kind) {
    case SettingNumber:
        return Printf("%ld", value) + def.unit;
    case SettingChoice:
    case SettingCheck:
    case SettingBit:
    case SettingCheckBit:
        if (value < 0 || value > 2 || def.texts[value] == 0) break;
        return choiceText(context, def.templateId, def.texts[value]);
    case SettingFeed: {
        const int32_t customValue = CustomSetOf(format, custom).*def.custom;
        if (value == FeedCustomRow(def.feedTable) && customValue != 0) {
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
    return "?";  // a value no control of the page shows
}

int SettingDiffers(int index, const SettingsRecord& a, const CustomFeedTable& ca, const SettingsRecord& b,
                   const CustomFeedTable& cb) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    const int32_t value = RawValue(def, format, a);
    if (value != RawValue(def, format, b)) return 1;
    return def.kind == SettingFeed && value == FeedCustomRow(def.feedTable) &&
           CustomValueOf(index, ca) != CustomValueOf(index, cb);
}

FileProblem ReadSettingsFile(const char* text, size_t length, const char* model, ParsedSettings* parsed) {
    std::memset(parsed, 0, sizeof *parsed);
    bool haveModel = false;
    bool haveVersion = false;
    int section = 0;
    int lineNumber = 0;
    const char* end = text + length;
    const char* line = text;
    do {
        ++lineNumber;
        const char* lineEnd = static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
        if (!lineEnd) lineEnd = end;
        const char* next = lineEnd < end ? lineEnd + 1 : end;
        const char* begin = line;
        Trim(&begin, &lineEnd);
        line = next;
        if (begin == lineEnd || *begin == '#') continue;
        if (std::memchr(begin, '\0', static_cast<size_t>(lineEnd - begin))) return {FileBadLine, lineNumber, -1};
        const bool header = haveModel && haveVersion;
        if (*begin == '[') {
            if (lineEnd[-1] != ']') return {FileBadLine, lineNumber, -1};
            if (!header) return {FileMissingHeader, lineNumber, -1};
            const char* name = begin + 1;
            const char* nameEnd = lineEnd - 1;
            Trim(&name, &nameEnd);
            section = 0;
            for (int k = 1; k <= 4; ++k) {
                char expected[16];
                FormatText(expected, sizeof expected, "format%d", k);
                if (Equals(name, nameEnd, expected)) section = k;
            }
            if (section == 0) return {FileUnknownSection, lineNumber, -1};
            continue;
        }
        const char* equals = static_cast<const char*>(std::memchr(begin, '=', static_cast<size_t>(lineEnd - begin)));
        if (!equals) return {FileBadLine, lineNumber, -1};
        const char* key = begin;
        const char* keyEnd = equals;
        const char* value = equals + 1;
        const char* valueEnd = lineEnd;
        Trim(&key, &keyEnd);
        Trim(&value, &valueEnd);
        if (key == keyEnd) return {FileBadLine, lineNumber, -1};

        if (section == 0 && Equals(key, keyEnd, "model")) {
            if (haveModel) return {FileRepeatedKey, lineNumber, -1};
            if (!Equals(value, valueEnd, model ? model : "")) return {FileWrongModel, lineNumber, -1};
            haveModel = true;
        } else if (section == 0 && Equals(key, keyEnd, "version")) {
            if (haveVersion) return {FileRepeatedKey, lineNumber, -1};
            int32_t version = 0;
            if (!ParseValue(value, valueEnd, false, &version) || version != kSettingsFileVersion)
                return {FileWrongVersion, lineNumber, -1};
            haveVersion = true;
        } else {
            const int index = FindSetting(section, key, static_cast<size_t>(keyEnd - key));
            if (index < 0) return {FileUnknownKey, lineNumber, -1};
            if (!header) return {FileMissingHeader, lineNumber, index};
            if (parsed->present[index]) return {FileRepeatedKey, lineNumber, index};
            int format;
            const bool hex = SettingAt(index, &format).kind == SettingOtherBits;
            int32_t number = 0;
            if (!ParseValue(value, valueEnd, hex, &number)) return {FileBadValue, lineNumber, index};
            if (!SettingValueAccepted(index, number)) return {FileOutOfRange, lineNumber, index};
            parsed->present[index] = true;
            parsed->value[index] = number;
            parsed->line[index] = lineNumber;
            ++parsed->count;
        }
    } while (line < end);
    if (!haveModel || !haveVersion) return {FileMissingHeader, lineNumber + 1, -1};
    return {FileOk, 0, -1};
}

std::string WriteSettingsFile(const SettingsRecord& record, const CustomFeedTable& custom, const char* model,
                              ChoiceTextFn choiceText, void* context, int* skipped) {
    std::string out = "# rpsettings: パネル設定\n";
    out += std::string("model=") + TextOrEmpty(model) + "\n";
    out += Printf("version=%ld\n", kSettingsFileVersion);
    int lastFormat = -1;
    int notSaved = 0;
    for (int i = 0; i < kTotalCount; ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        if (format != lastFormat) {
            out += Printf("\n[format%ld]\n", format + 1);
            lastFormat = format;
        } else if (i == 0) {
            out += "\n";
        }
        const int32_t value = RawValue(def, format, record);
        out += "# " + SettingName(i) + ": " + SettingDisplay(i, record, custom, choiceText, context) + "\n";
        if (!SettingValueAccepted(i, value)) {
            out += "# 範囲外の値のため保存しません: ";
            ++notSaved;
        }
        out += std::string(def.key) + "=" + SettingValueText(i, value) + "\n";
    }
    if (skipped) *skipped = notSaved;
    return out;
}

MergeProblem MergeSettings(const ParsedSettings& parsed, const CustomFeedTable& custom, SettingsRecord* record) {
    for (int i = 0; i < kTotalCount; ++i)
        if (parsed.present[i]) SetSettingValue(i, record, parsed.value[i]);

    for (int i = 0; i < kTotalCount; ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        // The list offers the custom row only while the printer reports a custom value.
        if (parsed.present[i] && def.kind == SettingFeed && parsed.value[i] == FeedCustomRow(def.feedTable) &&
            CustomValueOf(i, custom) == 0)
            return {MergeNoCustomFeed, i, 0};
    }
    for (int k = 0; k < 4; ++k) {
        bool touched = false;
        for (int j = 0; j < kFormatCount; ++j) touched |= parsed.present[kRecordCount + k * kFormatCount + j];
        if (!touched) continue;
        const FormatRecord& f = record->formats[k];
        const FormatInputs inputs = {static_cast<uint32_t>(f.pageLength), static_cast<uint32_t>(f.leftMargin),
                                     static_cast<uint32_t>(f.rightMargin), static_cast<uint32_t>(f.cutSheetPosAdjust)};
        const FormatCheck check = CheckFormatInputs(inputs);
        if (check.messageId != 0) return {MergeFormatCheck, kRecordCount + k * kFormatCount, check.messageId};
    }
    if (UnsendableSwitchByte(*record) >= 0) return {MergeSwitchFF, -1, 0};
    return {MergeOk, -1, 0};
}
