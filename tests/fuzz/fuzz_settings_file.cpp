// libFuzzer target for the settings file reader: any bytes are read as a
// file. A file that is taken must merge without touching memory it should
// not, and what it sets must survive writing and reading again. A violation
// aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rpsettings/apply_plan_pure.h"

namespace {

const char kModel[] = "Tilbury 550TK";

std::string AnyText(void*, int, int) { return "x"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParsedSettings parsed;
    const FileProblem problem = ReadSettingsFile(reinterpret_cast<const char*>(data), size, kModel, &parsed);
    if (problem.error != FileOk) {
        if (problem.line < 1 && problem.error != FileEmpty) std::abort();  // every refusal names its line
        return 0;
    }
    const PrinterSettings settings = FileOver(parsed, DefaultPrinterSettings());
    const ApplyPlan plan = PlanApply(parsed, &settings);  // must not touch memory it should not
    if (plan.outcome != PlanUnchanged) std::abort();      // the file over itself changes nothing

    const std::string text = WriteSettingsFile(settings, parsed.hasBlock ? parsed.block : nullptr, kModel, AnyText,
                                               nullptr);
    ParsedSettings again;
    if (ReadSettingsFile(text.data(), text.size(), kModel, &again).error != FileOk) std::abort();
    // What the file set survives; with its block line, every setting does.
    const PrinterSettings reread = FileOver(again, DefaultPrinterSettings());
    for (int i = 0; i < SettingCount(); ++i) {
        const bool kept = parsed.hasBlock || SettingValueAccepted(i, GetSettingValue(i, settings));
        if (kept && GetSettingValue(i, reread) != GetSettingValue(i, settings)) std::abort();
    }
    return 0;
}
