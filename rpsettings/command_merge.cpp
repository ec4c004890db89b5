// merge FOLDER [PC...|@LIST]: the nightly results or change logs of many PCs
// as one table.
#include "commands.h"

#include "backup_store.h"
#include "rpsettings_ids.h"
#include "site_table.h"
#include "site_table_pure.h"
#include "tool_files.h"
#include "tool_output.h"

namespace rps {

// merge FOLDER [PC...|@LIST]: the nightly results (with --changes the change
// logs) of many PCs as one table, with a row for every PC named. Exit 1 when
// some PC has no result, an unreadable one, or a line it cannot read.
int CommandMerge(const Options& options) {
    std::vector<std::string> names;
    if (int code = ExpandNameLists({options.args.begin() + 2, options.args.end()}, &names)) return code;
    std::vector<std::string> expected;
    for (const std::string& name : names) expected.push_back(Utf8(name));
    RunFiles inputs = {{}, options.args[1], options.changes ? ".jsonl" : ".json"};
    AddNameLists(options.args, &inputs);
    if (int code = CheckTable(options, inputs)) return code;
    std::vector<NamedText> files;
    if (!ReadFolderFiles(options.args[1], options.changes ? L".jsonl" : L".json", &files)) {
        Err(Compose(IDS_RPS_CANNOT_READ_FOLDER, options.args[1].c_str()));
        return kExitUsage;
    }
    const NightlyReasons reasons = {Utf8(Text(IDS_RPS_NOT_RESULT_FILE)), Utf8(Text(IDS_RPS_RESULT_NOT_DOCUMENT)),
                                    Utf8(Text(IDS_RPS_RESULT_NO_PRINTERS))};
    const std::vector<CsvRow> rows = options.changes ? MergeChangeLogs(files, expected)
                                                     : MergeNightly(files, expected, reasons);
    const CsvRow& header = options.changes ? ChangeTableHeader() : SiteTableHeader();
    int problems = 0;
    for (const CsvRow& row : rows) problems += IsPcProblem(row[options.changes ? 9 : 4]);
    if (!options.csv) {
        OutUtf8(CsvText(header, rows).substr(3));  // to a pipe or console: no byte-order mark
    } else if (WriteTable(options.csv, header, rows)) {
        Out(Compose(IDS_RPS_MERGE_SUMMARY, options.csv, static_cast<int>(rows.size()), static_cast<int>(files.size()),
                    problems) + "\n");
    } else {
        return kExitUsage;
    }
    return problems ? kExitDiffers : kExitOk;
}

}  // namespace rps
