// restore DIR PRINTER...|--all: each printer its newest backup; restore
// --list DIR: the backups a folder holds.
#include "commands.h"

#include <algorithm>

#include "backup_store.h"
#include "jobs.h"
#include "printer_access.h"
#include "rpsettings_ids.h"
#include "tool_files.h"

namespace rps {

// restore DIR PRINTER...|--all: each printer its newest backup in DIR (before
// --before), after a backup of what it holds now into DIR.
int CommandRestore(const Options& options) {
    const std::string folder = ExistingFolder(options.args[1]);
    if (folder.empty()) return kExitUsage;
    std::string before;
    if (options.before && !NormalizeUtcTime(options.before, &before)) {
        Err(Compose(IDS_RPS_BAD_OPTION_VALUE, "--before", options.before));
        return kExitUsage;
    }
    std::vector<const PrinterEntry*> printers;
    if (int code = OperandPrinters(options, 2, options.args.size(), &printers)) return code;
    std::vector<FolderBackup> backups = ReadBackups(folder, ModelName().c_str());
    std::vector<BackupEntry> entries;  // only those that can be restored
    for (const FolderBackup& backup : backups)
        entries.push_back(backup.problem.error == FileOk ? backup.entry : BackupEntry());
    RunFiles files = {{options.log ? options.log : DefaultChangeLogPath()}, folder};
    AddNameLists(options.args, &files);
    if (int code = CheckTable(options, files)) return code;
    ChangeLog log;
    if (int code = OpenChangeLog(options, &log)) return code;
    JobsRun run = {JobsApply, &options, nullptr, {}, nullptr, {}, {}, "", &log, true};
    if (int code = PrepareJobs(printers, folder.c_str(), &run)) return code;
    for (PrinterJob& job : run.jobs) {
        const int newest = NewestBackup(entries, job.printer->name, before);
        // A newer file of the printer that cannot be restored (cut short, a bad time) is passed over, not silently.
        for (const FolderBackup& backup : backups) {
            if (backup.problem.error == FileOk || !IsBackupOf(backup.entry, job.printer->name) ||
                (!before.empty() && backup.entry.time >= before) ||
                (newest >= 0 && !BackupIsNewer(backup.entry, entries[static_cast<size_t>(newest)])))
                continue;
            Err(Compose(IDS_RPS_NEWER_UNUSABLE, job.printer->name, backup.path.c_str(),
                        FileProblemText(backup.problem).c_str()));
        }
        if (newest < 0) continue;  // refused with the reason
        job.file = backups[static_cast<size_t>(newest)].parsed.get();
        job.fileName = backups[static_cast<size_t>(newest)].path;
        job.fileTime = entries[static_cast<size_t>(newest)].time;
    }
    ControlTexts texts;
    run.texts = &texts;
    return RunJobs(&run);
}

// restore --list DIR: the backups in DIR, by printer and time, and the files
// that cannot be restored with the reason.
int CommandRestoreList(const Options& options) {
    const std::string folder = ExistingFolder(options.args[1]);
    if (folder.empty()) return kExitUsage;
    std::vector<FolderBackup> backups = ReadBackups(folder, ModelName().c_str());
    std::vector<const FolderBackup*> usable;
    for (const FolderBackup& backup : backups) {
        if (backup.problem.error == FileOk) usable.push_back(&backup);
        else Err(Compose(IDS_RPS_NOT_A_BACKUP, backup.path.c_str(), FileProblemText(backup.problem).c_str()));
    }
    std::stable_sort(usable.begin(), usable.end(), [](const FolderBackup* a, const FolderBackup* b) {
        if (a->entry.printer != b->entry.printer) return a->entry.printer < b->entry.printer;
        return BackupIsNewer(a->entry, b->entry);
    });
    Out(Text(IDS_RPS_BACKUPS_HEADER) + "\n");
    for (const FolderBackup* backup : usable)
        Out((backup->entry.printer.empty() ? "-" : backup->entry.printer) + "\t" + backup->entry.time + "\t" +
            backup->path + "\n");
    return kExitOk;
}

}  // namespace rps
