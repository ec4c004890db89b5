// diff PRINTER OTHER: the settings in which a printer differs from another
// printer or from a settings file.
#include "commands.h"

#include "backup_store.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "setting_text.h"
#include "tool_files.h"

namespace rps {

int CommandDiff(const Options& options) {
    const std::string& other = options.args[2];
    const bool file = IsFile(other.c_str());
    const bool printer = ListedPrinter(other.c_str()) != nullptr;
    bool asFile = options.asFile;
    if (!options.asFile && !options.asPrinter) {
        if (file && printer) {
            Err(Compose(IDS_RPS_AMBIGUOUS, other.c_str()));
            return kExitUsage;
        }
        if (!file && !printer) {
            Err(Compose(IDS_RPS_NEITHER, other.c_str()));
            return kExitUsage;
        }
        asFile = file;
    }
    ParsedSettings parsed;
    const PrinterEntry* theirPrinter = nullptr;
    if (asFile) {
        if (int code = LoadSettingsFile(other.c_str(), &parsed)) return code;
    } else if (int code = OnePrinter(other, &theirPrinter)) {
        return code;
    }
    const PrinterEntry* mine = nullptr;
    if (int code = OnePrinter(options.args[1], &mine)) return code;

    PrinterSettings settings;
    PrinterSettings theirs;
    uint8_t block[kSettingsBlockSize];
    if (int code = ReadOrReport(*mine, &settings, block)) return code;
    if (asFile) theirs = FileOver(parsed, settings);
    else if (int code = ReadOrReport(*theirPrinter, &theirs, block)) return code;

    ControlTexts texts;
    JsonWriter json;
    json.BeginObject().Key("command").String("diff").Key("printer").String(Utf8(mine->name));
    json.Key("other").String(Utf8(other)).Key("otherKind").String(asFile ? "file" : "printer");
    json.Key("differences").BeginArray();
    int differences = 0;
    for (int i = 0; i < SettingCount(); ++i) {
        if ((asFile && !FileNames(parsed, i)) || !SettingDiffers(i, settings, theirs)) continue;
        ++differences;
        if (options.json)
            SettingPairJson(&json, i, settings, "value", "text", theirs, "otherValue", "otherText", &texts);
        else
            Out(ChangeLine(i, settings, theirs, &texts));
    }
    if (options.json) PrintJson(json.EndArray().EndObject());
    return differences ? kExitDiffers : kExitOk;
}

}  // namespace rps
