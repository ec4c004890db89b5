// Site tables: JSON read back, rows, merges and CSV.
#include "site_table_pure.h"

#include <cstdint>
#include <set>

namespace {

constexpr int kMaxDepth = 64;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    bool Whole(JsonValue* value) {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) at_ = 3;
        if (!Value(value, 0)) return false;
        Blanks();
        return at_ == text_.size();
    }

private:
    void Blanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
            ++at_;
    }
    bool Take(char c) {
        Blanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Word(const char* word, JsonValue::Kind kind, JsonValue* value) {
        const std::string w = word;
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        value->kind = kind;
        value->text = kind == JsonValue::Bool ? w : "";
        return true;
    }
    bool Hex4(uint32_t* code) {
        if (at_ + 4 > text_.size()) return false;
        *code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return false;
            *code = *code * 16 + static_cast<uint32_t>(digit);
        }
        return true;
    }
    bool String(std::string* out) {
        if (!Take('"')) return false;
        out->clear();
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char e = text_[at_++];
            static const char kFrom[] = "\"\\/bfnrt", kTo[] = "\"\\/\b\f\n\r\t";
            bool simple = false;
            for (int i = 0; kFrom[i]; ++i) {
                if (e != kFrom[i]) continue;
                *out += kTo[i];
                simple = true;
            }
            if (simple) continue;
            uint32_t code = 0;
            if (e != 'u' || !Hex4(&code)) return false;
            if (code >= 0xD800 && code < 0xDC00) {  // a pair: the low half follows
                uint32_t low = 0;
                if (text_.compare(at_, 2, "\\u") != 0) return false;
                at_ += 2;
                if (!Hex4(&low) || low < 0xDC00 || low > 0xDFFF) return false;
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            } else if (code >= 0xDC00 && code <= 0xDFFF) {
                return false;
            }
            AppendUtf8(code, out);
        }
        return false;
    }
    bool Number(JsonValue* value) {
        const size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        size_t digits = 0;
        while (at_ < text_.size() && ((text_[at_] >= '0' && text_[at_] <= '9') || text_[at_] == '.' ||
                                      text_[at_] == 'e' || text_[at_] == 'E' || text_[at_] == '+' ||
                                      (text_[at_] == '-' && digits > 0))) {
            ++at_;
            ++digits;
        }
        if (digits == 0) return false;
        value->kind = JsonValue::Number;
        value->text = text_.substr(start, at_ - start);
        return true;
    }
    bool Value(JsonValue* value, int depth) {
        if (depth >= kMaxDepth) return false;
        Blanks();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == '"') {
            value->kind = JsonValue::String;
            return String(&value->text);
        }
        if (c == '{') return Object(value, depth);
        if (c == '[') return Array(value, depth);
        if (c == 't') return Word("true", JsonValue::Bool, value);
        if (c == 'f') return Word("false", JsonValue::Bool, value);
        if (c == 'n') return Word("null", JsonValue::Null, value);
        return Number(value);
    }
    bool Array(JsonValue* value, int depth) {
        ++at_;
        value->kind = JsonValue::Array;
        if (Take(']')) return true;
        do {
            value->items.emplace_back();
            if (!Value(&value->items.back(), depth + 1)) return false;
        } while (Take(','));
        return Take(']');
    }
    bool Object(JsonValue* value, int depth) {
        ++at_;
        value->kind = JsonValue::Object;
        if (Take('}')) return true;
        do {
            value->fields.emplace_back();
            if (!String(&value->fields.back().first) || !Take(':') ||
                !Value(&value->fields.back().second, depth + 1))
                return false;
        } while (Take(','));
        return Take('}');
    }

    const std::string& text_;
    size_t at_ = 0;
};

const JsonValue& NullValue() {
    static const JsonValue kNull;
    return kNull;
}

std::string Quoted(const std::string& field) {
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// Whether two names stand for one PC: the same name, or a plain name and the
// first label of a fully qualified one (PC01 and pc01.corp.example).
bool SamePc(const std::string& a, const std::string& b) {
    if (SameIgnoringCase(a, b)) return true;
    const size_t dotA = a.find('.'), dotB = b.find('.');
    if ((dotA == std::string::npos) == (dotB == std::string::npos)) return false;
    return dotA == std::string::npos ? SameIgnoringCase(a, b.substr(0, dotB)) : SameIgnoringCase(a.substr(0, dotA), b);
}

// The expected PCs that none of the names (files' names and the computers
// their rows name) stands for.
std::vector<std::string> Unlisted(const std::vector<std::string>& expected, const std::set<std::string>& names) {
    std::vector<std::string> missing;
    for (const std::string& computer : expected) {
        bool found = false;
        for (const std::string& name : names) found = found || SamePc(name, computer);
        if (!found) missing.push_back(computer);
    }
    return missing;
}

// Outcome tokens of rows that stand for a PC, not a printer.
const char kNoResult[] = "no_result";  // rpsettings gave no document (its messages say why)
const char kBadFile[] = "bad_file";    // the result file is not what the scripts write
const char kNoFile[] = "no_file";      // an expected PC wrote no file
const char kBadLine[] = "bad_line";    // a line of a change log that is not a record

CsvRow PcRow(const std::string& computer, const std::string& time, const std::string& exitCode,
             const char* outcome, const std::string& message) {
    return {computer, time, exitCode, "", outcome, "", "", "", message, ""};
}

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    if (kind != Object) return NullValue();
    for (const auto& field : fields)
        if (SameIgnoringCase(field.first, key)) return field.second;
    return NullValue();
}

const std::string& JsonValue::Scalar() const {
    static const std::string kEmpty;
    return kind == Array || kind == Object ? kEmpty : text;
}

bool ParseJson(const std::string& text, JsonValue* value) {
    *value = JsonValue();
    return JsonReader(text).Whole(value);
}

std::string CsvText(const CsvRow& header, const std::vector<CsvRow>& rows) {
    std::string text = "\xEF\xBB\xBF";
    auto line = [&text](const CsvRow& row) {
        for (size_t i = 0; i < row.size(); ++i) text += (i ? "," : "") + Quoted(row[i]);
        text += "\r\n";
    };
    line(header);
    for (const CsvRow& row : rows) line(row);
    return text;
}

const CsvRow& SiteTableHeader() {
    static const CsvRow kHeader = {"Computer", "Time", "ExitCode", "Printer", "Outcome", "Key", "PrinterValue",
                                   "FileValue", "Message", "Backup"};
    return kHeader;
}

std::vector<CsvRow> SiteRows(const RunResult& run) {
    JsonValue doc;
    if (!ParseJson(run.json, &doc) || doc.kind != JsonValue::Object || doc["printers"].kind != JsonValue::Array)
        return {PcRow(run.computer, run.time, run.exitCode, kNoResult, run.errors)};
    const bool apply = doc["command"].Scalar() == "apply";
    std::vector<CsvRow> rows;
    for (const JsonValue& printer : doc["printers"].items) {
        std::vector<const JsonValue*> settings;
        for (const char* list : {"differences", "changes"})
            for (const JsonValue& setting : printer[list].items) settings.push_back(&setting);
        if (settings.empty()) settings.push_back(&NullValue());
        for (const JsonValue* setting : settings)
            rows.push_back({run.computer, run.time, run.exitCode, printer["name"].Scalar(), printer["outcome"].Scalar(),
                            (*setting)["key"].Scalar(), (*setting)[apply ? "from" : "value"].Scalar(),
                            (*setting)[apply ? "to" : "fileValue"].Scalar(), printer["message"].Scalar(),
                            printer["backup"].Scalar()});
    }
    if (rows.empty()) rows.push_back(PcRow(run.computer, run.time, run.exitCode, kNoResult, run.errors));
    return rows;
}

std::vector<CsvRow> NightlyRows(const std::string& computer, const std::string& fileText,
                                const NightlyReasons& reasons) {
    const std::string fileName = computer + ".json: ";
    JsonValue file;
    if (!ParseJson(fileText, &file) || file.kind != JsonValue::Object)
        return {PcRow(computer, "", "", kBadFile, fileName + reasons.notResultFile)};
    RunResult run;
    run.computer = file["Computer"].Scalar().empty() ? computer : file["Computer"].Scalar();
    run.time = file["Time"].Scalar();
    run.exitCode = file["ExitCode"].Scalar();
    run.json = file["Json"].Scalar();
    run.errors = file["Errors"].Scalar();
    std::vector<CsvRow> rows = SiteRows(run);
    if (rows.size() == 1 && rows[0][4] == kNoResult && rows[0][8].empty()) {  // nothing says why: the file does
        JsonValue doc;
        rows[0][8] = fileName + (ParseJson(run.json, &doc) && doc.kind == JsonValue::Object ? reasons.noPrinters
                                                                                             : reasons.notDocument);
    }
    return rows;
}

std::vector<CsvRow> MergeNightly(const std::vector<NamedText>& files, const std::vector<std::string>& expected,
                                 const NightlyReasons& reasons) {
    std::vector<CsvRow> rows;
    std::set<std::string> names;
    for (const NamedText& file : files) {
        names.insert(file.first);
        for (CsvRow& row : NightlyRows(file.first, file.second, reasons)) {
            names.insert(row[0]);
            rows.push_back(std::move(row));
        }
    }
    for (const std::string& computer : Unlisted(expected, names)) rows.push_back(PcRow(computer, "", "", kNoFile, ""));
    return rows;
}

bool IsPcProblem(const std::string& token) {
    return token == kNoResult || token == kBadFile || token == kNoFile || token == kBadLine;
}

const CsvRow& ChangeTableHeader() {
    static const CsvRow kHeader = {"Computer", "Time", "User", "Printer", "File", "Key", "From", "To", "Backup", "Result"};
    return kHeader;
}

std::vector<CsvRow> ChangeLogRows(const std::string& computer, const std::string& fileText) {
    // A write is logged twice, "writing" before it and its outcome after: the
    // first stays in the table only when no outcome followed (the run stopped).
    std::vector<std::pair<int, JsonValue>> records;  // line number (0: unreadable), record
    size_t start = fileText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; start < fileText.size(); ++number) {
        size_t end = fileText.find('\n', start);
        if (end == std::string::npos) end = fileText.size();
        const std::string line = fileText.substr(start, end - start);
        start = end + 1;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        JsonValue record;
        const bool read = ParseJson(line, &record) && record.kind == JsonValue::Object;
        records.emplace_back(read ? 0 : number, std::move(record));
    }
    const auto writeOf = [](const JsonValue& record) { return record["run"].Scalar() + '\n' + record["printer"].Scalar(); };
    std::set<std::string> ended;
    for (const auto& [bad, record] : records)
        if (!bad && !record["run"].Scalar().empty() && record["result"].Scalar() != "writing") ended.insert(writeOf(record));
    std::vector<CsvRow> rows;
    for (const auto& [bad, record] : records) {
        if (bad) {
            rows.push_back({computer, "", "", "", "", "line " + std::to_string(bad), "", "", "", kBadLine});
            continue;
        }
        if (record["result"].Scalar() == "writing" && ended.count(writeOf(record))) continue;
        const std::string& named = record["computer"].Scalar();
        CsvRow row = {named.empty() ? computer : named, record["time"].Scalar(), record["user"].Scalar(),
                      record["printer"].Scalar(), record["file"].Scalar(), "", "", "",
                      record["backup"].Scalar(), record["result"].Scalar()};
        if (record["changes"].items.empty()) rows.push_back(row);
        for (const JsonValue& change : record["changes"].items) {
            row[5] = change["key"].Scalar();
            row[6] = change["from"].Scalar();
            row[7] = change["to"].Scalar();
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<CsvRow> MergeChangeLogs(const std::vector<NamedText>& files, const std::vector<std::string>& expected) {
    std::vector<CsvRow> rows;
    std::set<std::string> names;
    for (const NamedText& file : files) {
        names.insert(file.first);
        for (CsvRow& row : ChangeLogRows(file.first, file.second)) {
            names.insert(row[0]);
            rows.push_back(std::move(row));
        }
    }
    for (const std::string& computer : Unlisted(expected, names))
        rows.push_back({computer, "", "", "", "", "", "", "", "", kNoFile});
    return rows;
}
