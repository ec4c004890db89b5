// A setting as the reports show it: "key: this -> that  (name)" lines for
// people, and the objects of the JSON output for scripts.
#pragma once
#include <string>
#include <vector>

#include "apply_plan_pure.h"
#include "settings_file_pure.h"
#include "site_pure.h"
#include "tool_output.h"

namespace rps {

// "key", "name" and, under the given names, a setting's value and its text.
void SettingJson(JsonWriter* json, int index, const PrinterSettings& settings, const char* valueKey,
                 const char* textKey, ControlTexts* texts);
// An object of "key", "name" and the value and text of a setting in a and in b.
void SettingPairJson(JsonWriter* json, int index, const PrinterSettings& a, const char* aValue, const char* aText,
                     const PrinterSettings& b, const char* bValue, const char* bText, ControlTexts* texts);
// With from null (a printer that cannot be read), "from" and "fromText" are empty.
void ChangesJson(JsonWriter* json, const std::vector<SettingChange>& changes, const PrinterSettings* from,
                 const PrinterSettings& to, ControlTexts* texts);
void PrintJson(const JsonWriter& json);

// "key: this -> that  (name)" of one setting.
std::string ChangeLine(int setting, const PrinterSettings& from, const PrinterSettings& to, ControlTexts* texts);
// The same for each change, indented.
std::string ChangeLines(const std::vector<SettingChange>& changes, const PrinterSettings& from,
                        const PrinterSettings& to, ControlTexts* texts);

}  // namespace rps
