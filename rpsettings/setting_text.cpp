// A setting's lines and JSON objects in the reports.
#include "setting_text.h"

#include "backup_store.h"

namespace rps {

// "key", "name" and, under the given names, a setting's value and its text.
void SettingJson(JsonWriter* json, int index, const PrinterSettings& settings, const char* valueKey,
                 const char* textKey, ControlTexts* texts) {
    json->Key(valueKey).String(Utf8(SettingValueText(index, GetSettingValue(index, settings))));
    json->Key(textKey).String(Utf8(SettingDisplay(index, settings, ControlTexts::Resolve, texts)));
}

void SettingPairJson(JsonWriter* json, int index, const PrinterSettings& a, const char* aValue, const char* aText,
                     const PrinterSettings& b, const char* bValue, const char* bText, ControlTexts* texts) {
    json->BeginObject();
    json->Key("key").String(SettingFullKey(index));
    json->Key("name").String(Utf8(SettingName(index)));
    SettingJson(json, index, a, aValue, aText, texts);
    SettingJson(json, index, b, bValue, bText, texts);
    json->EndObject();
}

void PrintJson(const JsonWriter& json) { OutUtf8(json.Text() + "\n"); }

std::string ChangeLine(int setting, const PrinterSettings& from, const PrinterSettings& to, ControlTexts* texts) {
    return SettingFullKey(setting) + ": " + SettingDisplay(setting, from, ControlTexts::Resolve, texts) + " -> " +
           SettingDisplay(setting, to, ControlTexts::Resolve, texts) + "  (" + SettingName(setting) + ")\n";
}

std::string ChangeLines(const std::vector<SettingChange>& changes, const PrinterSettings& from,
                        const PrinterSettings& to, ControlTexts* texts) {
    std::string lines;
    for (const SettingChange& change : changes) lines += "  " + ChangeLine(change.setting, from, to, texts);
    return lines;
}

void ChangesJson(JsonWriter* json, const std::vector<SettingChange>& changes, const PrinterSettings* from,
                 const PrinterSettings& to, ControlTexts* texts) {
    json->Key("changes").BeginArray();
    for (const SettingChange& change : changes) {
        if (from) {
            SettingPairJson(json, change.setting, *from, "from", "fromText", to, "to", "toText", texts);
            continue;
        }
        json->BeginObject().Key("key").String(SettingFullKey(change.setting));
        json->Key("name").String(Utf8(SettingName(change.setting)));
        json->Key("from").String("").Key("fromText").String("");
        SettingJson(json, change.setting, to, "to", "toText", texts);
        json->EndObject();
    }
    json->EndArray();
}

}  // namespace rps
