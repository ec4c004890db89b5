// File names from printer names, printer-name lists, JSON output.
#include "site_pure.h"

#include <cstdint>
#include <algorithm>
#include <set>

#include "text_pure.h"

namespace {

bool IsTrailByte932(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Bytes of the character that starts at text[i]: 2 for a lead byte with a
// valid trail byte, 0 for a lead byte without one, else 1.
size_t CharLength932(const std::string& text, size_t i) {
    if (!IsLeadByte932(static_cast<unsigned char>(text[i]))) return 1;
    return i + 1 < text.size() && IsTrailByte932(static_cast<unsigned char>(text[i + 1])) ? 2 : 0;
}

bool IsForbiddenInFileName(unsigned char c) {
    return c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void TrimTrailingDotsAndBlanks(std::string* name) {
    while (!name->empty() && (name->back() == '.' || name->back() == ' ')) name->pop_back();
}

// At most kMaxSafeFileName bytes of complete characters (the name holds no
// terminator), then no trailing dots or blanks.
void CutAndTrim(std::string* name) {
    name->resize(CompleteTextLength(name->c_str(), kMaxSafeFileName));
    TrimTrailingDotsAndBlanks(name);
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 in any letter case, as the whole name or
// before its first dot (blanks before the dot do not count).
bool IsReservedDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    TrimTrailingDotsAndBlanks(&base);
    for (char& c : base) c = AsciiUpper(c);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (base == device) return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// Double-byte codes a file system takes as the same letter in another case
// (or the same character): first..last compare as to, to + 1, ...
struct FoldRange {
    uint16_t first, last, to;
};
constexpr FoldRange kFoldRanges[] = {
    {0x8281, 0x829A, 0x8260},  // full-width a-z -> A-Z
    {0x83BF, 0x83D6, 0x839F},  // Greek small -> capital
    {0x8470, 0x847E, 0x8440},  // Cyrillic small (up to the gap at 0x847F) -> capital
    {0x8480, 0x8491, 0x844F},
    {0xEEEF, 0xEEF8, 0x8754},  // small Roman numerals (two codes each) -> capital
    {0xFA40, 0xFA49, 0x8754},
    {0xFA4A, 0xFA53, 0x8754},  // the second code of the capital Roman numerals
};

// The name as the file system compares it.
std::string FoldedName(const std::string& name) {
    std::string key;
    for (size_t i = 0; i < name.size();) {
        size_t length = CharLength932(name, i);
        if (length != 2) {
            key += AsciiUpper(name[i]);
            ++i;
            continue;
        }
        unsigned code = static_cast<unsigned char>(name[i]) << 8 | static_cast<unsigned char>(name[i + 1]);
        for (const FoldRange& range : kFoldRanges)
            if (code >= range.first && code <= range.last) {
                code = range.to + (code - range.first);
                break;
            }
        key += static_cast<char>(code >> 8);
        key += static_cast<char>(code & 0xFF);
        i += 2;
    }
    return key;
}

}  // namespace

bool IsDeviceName(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/:", path.find_last_not_of(':')) + 1);
    while (!name.empty() && name.back() == ':') name.pop_back();  // "COM1:"
    return IsReservedDeviceName(name);
}

std::string SafeFileName(const std::string& printerName) {
    std::string safe;
    for (size_t i = 0; i < printerName.size();) {
        size_t length = CharLength932(printerName, i);
        if (length == 2) {
            safe.append(printerName, i, 2);
            i += 2;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(printerName[i++]);
        if (length == 0 && i == printerName.size()) break;  // a lead byte at the very end
        safe += length == 0 || IsForbiddenInFileName(c) ? '_' : static_cast<char>(c);
    }
    CutAndTrim(&safe);
    if (IsReservedDeviceName(safe)) {
        safe.insert(0, 1, '_');
        CutAndTrim(&safe);
    }
    return safe.empty() ? "_" : safe;
}

std::vector<std::string> UniqueFileNames(const std::vector<std::string>& printerNames) {
    std::vector<std::string> files(printerNames.size());
    std::set<std::string> taken;
    // A printer whose name is a file name already keeps it, whatever comes first;
    // the names that had to be changed then take what is left.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < printerNames.size(); ++i) {
            const std::string safe = SafeFileName(printerNames[i]);
            if ((safe == printerNames[i]) != (pass == 0)) continue;
            std::string file = safe + ".txt";
            for (int n = 2; !taken.insert(FoldedName(file)).second; ++n) file = safe + "~" + std::to_string(n) + ".txt";
            files[i] = file;
        }
    }
    return files;
}

bool IsValidUtf8(const char* text, size_t size) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < size;) {
        unsigned char c = s[i];
        size_t length;
        unsigned char low = 0x80, high = 0xBF;  // range of the second byte
        if (c < 0x80) length = 1;
        else if (c >= 0xC2 && c <= 0xDF) length = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;   // overlong
            if (c == 0xED) high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;   // overlong
            if (c == 0xF4) high = 0x8F;  // above U+10FFFF
        } else return false;
        if (size - i < length) return false;
        for (size_t k = 1; k < length; ++k) {
            unsigned char lo = k == 1 ? low : 0x80, hi = k == 1 ? high : 0xBF;
            if (s[i + k] < lo || s[i + k] > hi) return false;
        }
        i += length;
    }
    return true;
}

NameList ParseNameList(const char* data, size_t size) {
    NameList list{false, {}};
    std::string text(data, size);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        list.utf8 = true;
        text.erase(0, 3);
    } else {
        bool high = false;
        for (char c : text) high = high || static_cast<unsigned char>(c) >= 0x80;
        list.utf8 = high && IsValidUtf8(text.data(), text.size());
    }
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t first = text.find_first_not_of(" \t", start);
        size_t last = end;
        if (last > start && text[last - 1] == '\r') --last;
        while (last > start && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
        if (first < last && text[first] != '#') list.names.push_back(text.substr(first, last - first));
        start = end + 1;
    }
    return list;
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) return;
    if (!empty_.back()) text_ += ',';
    empty_.back() = false;
}

void JsonWriter::Quoted(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    text_ += '"';
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += c;
        } else if (u < 0x20) {
            text_ += "\\u00";
            text_ += kHex[u >> 4];
            text_ += kHex[u & 0xF];
        } else {
            text_ += c;
        }
    }
    text_ += '"';
}

JsonWriter& JsonWriter::Open(char bracket) {
    BeforeValue();
    text_ += bracket;
    empty_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
    if (!empty_.empty()) empty_.pop_back();
    text_ += bracket;
    return *this;
}

JsonWriter& JsonWriter::BeginObject() { return Open('{'); }
JsonWriter& JsonWriter::EndObject() { return Close('}'); }
JsonWriter& JsonWriter::BeginArray() { return Open('['); }
JsonWriter& JsonWriter::EndArray() { return Close(']'); }

JsonWriter& JsonWriter::Key(const std::string& key) {
    BeforeValue();
    Quoted(key);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& utf8) {
    BeforeValue();
    Quoted(utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(long long value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

namespace {

// Letters changed, added or left out between two words, letter case aside.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const size_t change = diagonal + (AsciiUpper(a[i - 1]) == AsciiUpper(b[j - 1]) ? 0 : 1);
            row[j] = std::min(std::min(above, row[j - 1]) + 1, change);
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool Digits(const std::string& text, size_t at, size_t count) {
    if (text.size() < at + count) return false;
    for (size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

std::string NearestName(const std::string& word, const std::vector<std::string>& names) {
    std::string nearest;
    size_t best = 3;  // at most two letters off
    for (const std::string& name : names) {
        const size_t distance = EditDistance(word, name);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

bool NormalizeUtcTime(const std::string& text, std::string* utc) {
    std::string t = text;
    if (!t.empty() && (t.back() == 'Z' || t.back() == 'z')) t.pop_back();
    if (t.size() == 10) t += "T00:00:00";
    else if (t.size() == 16) t += ":00";
    std::string fraction = "000";  // milliseconds: one to three digits after the seconds
    if (t.size() > 20 && t.size() <= 23 && t[19] == '.' && Digits(t, 20, t.size() - 20)) {
        fraction.replace(0, t.size() - 20, t, 20, std::string::npos);
        t.resize(19);
    }
    if (t.size() != 19 || !Digits(t, 0, 4) || t[4] != '-' || !Digits(t, 5, 2) || t[7] != '-' || !Digits(t, 8, 2) ||
        (t[10] != 'T' && t[10] != 't' && t[10] != ' ') || !Digits(t, 11, 2) || t[13] != ':' || !Digits(t, 14, 2) ||
        t[16] != ':' || !Digits(t, 17, 2))
        return false;
    const int month = std::stoi(t.substr(5, 2)), day = std::stoi(t.substr(8, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31 || std::stoi(t.substr(11, 2)) > 23 ||
        std::stoi(t.substr(14, 2)) > 59 || std::stoi(t.substr(17, 2)) > 59)
        return false;
    t[10] = 'T';
    *utc = t + "." + fraction + "Z";
    return true;
}

namespace {

// The file name without ".txt" and, where it has one, without "~N"; *number: N, else 1.
std::string BackupStem(const std::string& file, long* number) {
    std::string stem = file.substr(0, file.size() >= 4 ? file.size() - 4 : 0);
    *number = 1;
    const size_t tilde = stem.rfind('~');
    if (tilde != std::string::npos && tilde + 1 < stem.size() && stem.size() - tilde <= 9 &&
        stem.find_first_not_of("0123456789", tilde + 1) == std::string::npos) {
        *number = std::stol(stem.substr(tilde + 1));
        stem.erase(tilde);
    }
    return stem;
}

}  // namespace

bool BackupIsNewer(const BackupEntry& a, const BackupEntry& b) {
    if (a.time != b.time) return a.time > b.time;
    long numberA = 0, numberB = 0;  // saved at the same moment: the higher ~N was written last
    BackupStem(a.file, &numberA);
    BackupStem(b.file, &numberB);
    return numberA > numberB;
}

bool IsBackupOf(const BackupEntry& entry, const std::string& printer) {
    // A backup that names no printer (an older save) goes by its file name: base.txt or base~N.txt.
    long number = 0;
    return entry.printer.empty() ? FoldedName(BackupStem(entry.file, &number)) == FoldedName(SafeFileName(printer))
                                 : entry.printer == printer;
}

int NewestBackup(const std::vector<BackupEntry>& backups, const std::string& printer, const std::string& before) {
    int newest = -1;
    for (size_t i = 0; i < backups.size(); ++i) {
        const BackupEntry& entry = backups[i];
        if (!IsBackupOf(entry, printer) || (!before.empty() && entry.time >= before)) continue;
        if (newest < 0 || BackupIsNewer(entry, backups[static_cast<size_t>(newest)])) newest = static_cast<int>(i);
    }
    return newest;
}
