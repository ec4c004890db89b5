// show PRINTER: the printer's settings as a settings file, or with --json
// its settings and block; also the single file of save PRINTER FILE.
#include "commands.h"

#include "backup_store.h"
#include "jobs.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "setting_text.h"
#include "text_pure.h"

namespace rps {

int CommandShowOrSave(const Options& options, const char* path) {
    const PrinterEntry* printer = nullptr;
    if (int code = OnePrinter(options.args[1], &printer)) return code;
    PrinterSettings settings;
    uint8_t block[kSettingsBlockSize];
    if (int code = ReadOrReport(*printer, &settings, block)) return code;
    ControlTexts texts;
    if (!path && options.json) {
        JsonWriter json;
        json.BeginObject().Key("command").String("show").Key("printer").String(Utf8(printer->name));
        json.Key("settings").BeginArray();
        for (int i = 0; i < SettingCount(); ++i) {
            json.BeginObject().Key("key").String(SettingFullKey(i)).Key("name").String(Utf8(SettingName(i)));
            SettingJson(&json, i, settings, "value", "text", &texts);
            json.EndObject();
        }
        std::string hex;
        for (uint8_t byte : block) {
            char digits[3];
            FormatText(digits, sizeof digits, "%02X", byte);
            hex += digits;
        }
        PrintJson(json.EndArray().Key("block").String(hex).EndObject());
        return kExitOk;
    }
    const std::string text = SavedFileText(printer->name, settings, block);
    if (!path) {
        Out(text);
        return kExitOk;
    }
    // As into a folder: a file that is there already stays unless --overwrite says otherwise.
    const WriteResult result = WriteTextFile(path, text, options.overwrite ? WriteReplace : WriteNew);
    if (result != Written) {
        Err(Compose(result == NameTaken ? IDS_RPS_FILE_EXISTS : IDS_RPS_CANNOT_WRITE_FILE, path));
        return kExitUsage;
    }
    Out(Compose(IDS_RPS_SAVED, printer->name, path) + "\n");
    return kExitOk;
}

int CommandShow(const Options& options) { return CommandShowOrSave(options, nullptr); }

}  // namespace rps
