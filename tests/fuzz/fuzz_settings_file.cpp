// libFuzzer target for the settings file reader: any bytes are read as a
// file. A file that is taken must merge without touching memory it should
// not, and what it sets must survive writing and reading again. A violation
// aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rpsettings/settings_file_pure.h"

namespace {

const char kModel[] = "Tilbury 550TK";

std::string AnyText(void*, int, int) { return "x"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParsedSettings parsed;
    const FileProblem problem = ReadSettingsFile(reinterpret_cast<const char*>(data), size, kModel, &parsed);
    if (problem.error != FileOk) {
        if (problem.line < 1) std::abort();  // every refusal names its line
        return 0;
    }
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom = {};
    MergeSettings(parsed, custom, &record);

    int skipped = 0;
    const std::string text = WriteSettingsFile(record, custom, kModel, AnyText, nullptr, &skipped);
    ParsedSettings again;
    if (ReadSettingsFile(text.data(), text.size(), kModel, &again).error != FileOk) std::abort();
    for (int i = 0; i < SettingCount(); ++i) {
        if (parsed.present[i] && (!again.present[i] || again.value[i] != parsed.value[i])) std::abort();
    }
    return 0;
}
