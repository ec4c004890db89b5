#include "settings_file_pure.h"

#include <cstdio>
#include <cstring>

#include "text_pure.h"
#include "font_print_pure.h"
#include "pages_pure.h"

namespace {

const CustomFeedSet& CustomSetOf(int format, const CustomFeedTable& custom) {
    return format < 0 ? custom.record : custom.formats[format];
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
        return Printf("%08lX のビットのみ", static_cast<long>(OtherSwitchMask()));
    }
    return "";
}

std::string SettingDisplay(int index, const PrinterSettings& settings, ChoiceTextFn choiceText, void* context) {
    int format;
    const SettingDef& def = SettingAt(index, &format);
    const int32_t value = GetSettingValue(index, settings);
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
    for (int i = 0; i < SettingCount(); ++i)
        if (!FileNames(parsed, i)) return 0;
    return 1;
}

PrinterSettings FileOver(const ParsedSettings& parsed, const PrinterSettings& base) {
    PrinterSettings settings = base;
    if (parsed.hasBlock) SettingsOfBlock(parsed.block, &settings);
    for (int i = 0; i < SettingCount(); ++i)
        if (parsed.present[i]) SetSettingValue(i, &settings, parsed.value[i]);
    for (int i = 0; i < SettingCount(); ++i) {
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
    for (int i = 0; i < SettingCount(); ++i) {
        int format;
        const SettingDef& def = SettingAt(i, &format);
        if (format != lastFormat) {
            out += Printf("\n[format%ld]\n", format + 1);
            lastFormat = format;
        } else if (i == 0) {
            out += "\n";
        }
        const int32_t value = GetSettingValue(i, settings);
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
