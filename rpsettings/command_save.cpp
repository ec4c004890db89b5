// save: a printer into a settings file, or many printers into a folder.
#include "commands.h"

#include <windows.h>

#include "jobs.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "site_pure.h"
#include "tool_files.h"

namespace rps {

// save PRINTER FILE, or one file a printer into a directory: save --all DIR,
// save PRINTER... DIR (also one printer and an existing directory).
int CommandSave(const Options& options) {
    const std::string& last = options.args.back();
    const DWORD attributes = GetFileAttributesA(last.c_str());
    const bool directory = options.all || options.args.size() > 3 || options.args[1][0] == '@' ||
                           last.back() == '\\' || last.back() == '/' ||
                           (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if (!directory && attributes == INVALID_FILE_ATTRIBUTES && ListedPrinter(last.c_str())) {
        Err(Compose(IDS_RPS_SAVE_WHERE, last.c_str()));  // two printers and no folder, most likely
        return kExitUsage;
    }
    if (!directory && IsDeviceName(last)) {  // COM1, LPT1, NUL...: a device, never a settings file
        Err(Compose(IDS_RPS_DEVICE_NAME, last.c_str()));
        return kExitUsage;
    }
    if (!directory) return CommandShowOrSave(options, last.c_str());
    JobsRun run = {JobsSave, &options, nullptr, {}, nullptr, {}, {}};
    std::vector<const PrinterEntry*> printers;
    if (int code = OperandPrinters(options, 1, options.args.size() - 1, &printers)) return code;
    if (int code = PrepareJobs(printers, last.c_str(), &run)) return code;
    ControlTexts texts;
    run.texts = &texts;
    return RunJobs(&run);
}

}  // namespace rps
