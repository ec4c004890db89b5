// The site-wide tables of rpsettings, free of <windows.h>: the JSON that runs
// and the change log write, read back; one row per computer, printer and
// setting; the nightly results of many PCs merged with a row for every PC
// expected; and the CSV that spreadsheet programs read. All texts are UTF-8.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// ---- JSON read back ----

// A parsed JSON value. Numbers keep their text; strings are UTF-8 (\u escapes
// decoded, surrogate pairs joined).
struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Null;
    std::string text;  // Bool: "true"/"false"; Number and String: the value
    std::vector<JsonValue> items;                           // Array
    std::vector<std::pair<std::string, JsonValue>> fields;  // Object, in order

    // The field of an object (null value when absent or not an object); keys
    // are compared without regard to ASCII letter case, as PowerShell does.
    const JsonValue& operator[](const std::string& key) const;
    // A scalar as text ("" for null, arrays and objects).
    const std::string& Scalar() const;
};

// The whole text as one JSON value, blanks around it and a UTF-8 byte-order
// mark allowed; false on anything else (nesting deeper than 64 included).
bool ParseJson(const std::string& text, JsonValue* value);

// ---- Rows and CSV ----

using CsvRow = std::vector<std::string>;

// A table as CSV: the UTF-8 byte-order mark (spreadsheet programs on Japanese
// Windows read the file as Shift-JIS without it), then the header and the
// rows, every field quoted ('"' doubled), CR-LF line ends.
std::string CsvText(const CsvRow& header, const std::vector<CsvRow>& rows);

// The columns of the site table: Computer, Time, ExitCode, Printer, Outcome,
// Key, PrinterValue, FileValue, Message, Backup (apply: the file saved first).
const CsvRow& SiteTableHeader();

// What one PC's run gave: the computer, the local time of the run
// (yyyy-MM-ddTHH:mm:ss), rpsettings' exit code, its JSON document of check
// or apply, and its messages.
struct RunResult {
    std::string computer;
    std::string time;
    std::string exitCode;
    std::string json;
    std::string errors;
};

// One row per printer and setting that differs (check: the printer's value
// and the file's) or changes (apply: the value before and after); a printer
// with nothing to show gets one row without a key; a run without a readable
// document one row with outcome "no_result" and its messages (or the reason).
std::vector<CsvRow> SiteRows(const RunResult& run);

// Why a result file gave no rows of printers, for the Message of its row
// (after the file's name): not the JSON object the scripts write (bad_file);
// its Json not a JSON object; a document without printers (no_result).
struct NightlyReasons {
    std::string notResultFile;
    std::string notDocument;
    std::string noPrinters;
};

// A nightly result file as the site scripts write it: a JSON object with
// Computer, Time, ExitCode, Json (rpsettings' document as a text) and Errors.
// computer: the name taken from the file name, used when the file has none.
std::vector<CsvRow> NightlyRows(const std::string& computer, const std::string& fileText,
                                const NightlyReasons& reasons);

// The rows of many PCs' files (name without extension, text) and a row
// "no_file" for every expected PC that no file stands for: none named after
// it and none whose Computer is it (without regard to ASCII letter case; a
// plain name matches the first label of a fully qualified one), in the order
// of the files, then of the expected PCs.
using NamedText = std::pair<std::string, std::string>;
std::vector<CsvRow> MergeNightly(const std::vector<NamedText>& files, const std::vector<std::string>& expected,
                                 const NightlyReasons& reasons);

// True for the outcome (or change-log result) of a row that stands for a PC
// whose result is missing or unreadable: no_result, bad_file, no_file, bad_line.
bool IsPcProblem(const std::string& token);

// ---- Change logs ----

// The columns of the change table.
const CsvRow& ChangeTableHeader();

// One row per setting changed in each record of a change log (JSON Lines),
// one row for a record without changes, and a row naming the line for a line
// that is not a JSON object; blank lines are skipped. computer: taken from
// the file name, for records without one.
std::vector<CsvRow> ChangeLogRows(const std::string& computer, const std::string& fileText);

// The change logs of many PCs, with a row for every expected PC without one
// (matched as MergeNightly matches, on the file's name and the records' computer).
std::vector<CsvRow> MergeChangeLogs(const std::vector<NamedText>& files, const std::vector<std::string>& expected);
