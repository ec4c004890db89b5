// rpsettings: saves the panel settings of a served printer into a settings
// file, compares printers and files, and applies a file to many printers at
// once. It reaches the printers through the same SRM and the same settings
// core as the panel: discovery, the status items and their evaluation, the
// claim of one panel per printer, the password, the codec and the update
// command are the panel's. It serves exactly the printers the panel serves.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "apply_plan_pure.h"
#include "backup_store.h"
#include "change_log.h"
#include "codec.h"
#include "console_out.h"
#include "messages.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "printer_jobs.h"
#include "settings_file_pure.h"
#include "site_pure.h"
#include "site_table.h"
#include "key_name.h"
#include "status.h"
#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitDiffers = 1;      // diff: something differs; apply: a printer was not set, or a
                                     // result is missing from the change log
constexpr int kExitUsage = 2;        // arguments, the file or the password
constexpr int kExitPrinter = 3;      // a printer could not be read
constexpr int kExitNotVerified = 4;  // apply: written, but the read-back could not be made
constexpr int kExitInterrupted = 5;  // Ctrl+C: what was done is reported
constexpr int kMaxWorkers = 32;      // printers handled at once; each mostly waits on its device
constexpr int kReadAttempts = 3;     // as the panel: a read that gives no settings is tried again

// ---- Texts and output ----

std::string Text(UINT id) {
    char text[kTextSize];
    LoadText(id, text, kTextSize);
    return text;
}

std::string Usage() {
    char text[4096];
    LoadText(IDS_RPS_USAGE, text, sizeof text);
    return text;
}

// A text of the string table used as a format.
std::string Compose(UINT id, ...) {
    char format[kTextSize];
    LoadText(id, format, kTextSize);
    char text[8 * kTextSize];  // room for long printer names and paths
    va_list args;
    va_start(args, id);
    FormatTextV(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// A panel text for the console: without the panel's own ending ("the panel
// ends"), which a console tool does not do, and on one line.
std::string ConsoleText(std::string text) {
    const std::string ending = Text(IDS_PANEL_ENDS);
    for (size_t at = 0; !ending.empty() && at < text.size();) {
        if (text.compare(at, ending.size(), ending) == 0) {
            text.erase(at, ending.size());
            continue;
        }
        at += IsShiftJisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
    std::string line;
    for (char c : text) {
        if (c != '\n') line += c;
        else if (!line.empty() && line.back() != ' ') line += ' ';
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

void Out(const std::string& text) { WriteStd(STD_OUTPUT_HANDLE, text); }
void OutUtf8(const std::string& text) { WriteStd(STD_OUTPUT_HANDLE, text, CP_UTF8); }
void Err(const std::string& text) {
    std::fflush(stdout);
    WriteStd(STD_ERROR_HANDLE, text + "\n");
}

// The panel's message boxes (discovery and the like) are lines on the console here.
int ConsoleMessageBox(HWND, LPCSTR text, LPCSTR, UINT) {
    const std::string line = ConsoleText(TextOrEmpty(text));
    if (!line.empty()) Err(line);
    return IDOK;
}

// ---- Texts of the pages' controls ----

// The captions of the pages' radios and check boxes, read from the program's
// own dialog templates (no window, so no display is needed).
class ControlTexts {
public:
    static std::string Resolve(void*, int templateId, int textRef) {
        if (textRef == kTextOn) return Text(IDS_RPS_ON);
        if (textRef == kTextOff) return Text(IDS_RPS_OFF);
        char text[kTextSize];
        LoadControlText(templateId, textRef, text, kTextSize);
        return text;
    }
};

// ---- Options ----

enum OptionId {
    OptPassword, OptAll, OptDryRun, OptFile, OptPrinter, OptHelp, OptJson, OptBackup, OptTimeout, OptJobs,
    OptOverwrite, OptLog, OptBefore, OptList, OptCsv, OptNoPrompt, OptChanges
};
struct OptionRow {
    const char* name;
    OptionId id;
    bool takesValue;
};
constexpr OptionRow kOptions[] = {
    {"--password", OptPassword, true}, {"--all", OptAll, false},         {"--dry-run", OptDryRun, false},
    {"--file", OptFile, false},        {"--printer", OptPrinter, false}, {"--help", OptHelp, false},
    {"-h", OptHelp, false},            {"/?", OptHelp, false},           {"--json", OptJson, false},
    {"--backup", OptBackup, true},     {"--timeout", OptTimeout, true},  {"--jobs", OptJobs, true},
    {"--overwrite", OptOverwrite, false}, {"--log", OptLog, true},     {"--before", OptBefore, true},
    {"--list", OptList, false},
    {"--csv", OptCsv, true},           {"--no-prompt", OptNoPrompt, false}, {"--changes", OptChanges, false},
};
constexpr int kDefaultTimeoutSeconds = 60;
constexpr int kMaxTimeoutSeconds = 24 * 60 * 60;

struct Options {
    std::vector<std::string> args;  // the command and its operands
    const char* password = nullptr;
    bool all = false;
    bool dryRun = false;
    bool asFile = false;
    bool asPrinter = false;
    bool help = false;
    bool json = false;
    const char* backup = nullptr;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    int jobs = kMaxWorkers;
    const char* csv = nullptr;  // the site table of check, apply or merge goes there
    bool noPrompt = false;      // never ask for the password, even on a console
    bool changes = false;       // merge: change logs, not results
    bool overwrite = false;      // save into a folder: replace files of an earlier save
    const char* log = nullptr;   // the change log, when not the machine's own
    const char* before = nullptr;  // restore: the newest backup before this time
    bool list = false;           // restore: list the backups
    unsigned used = 0;           // each option given: 1 << its OptionId
};

// A whole decimal number in low..high, or -1.
int CountOption(const char* text, int low, int high) {
    long value = 0;
    if (!*text) return -1;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > high) return -1;
        value = value * 10 + (*p - '0');
    }
    return value >= low && value <= high ? static_cast<int>(value) : -1;
}

// Options may stand anywhere; "--" ends them. kExitOk, or kExitUsage after the message.
int ParseOptions(int argc, char** argv, Options* options) {
    bool operandsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (operandsOnly || arg.size() < 2 || (arg[0] != '-' && arg != "/?")) {
            options->args.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const OptionRow* row = nullptr;
        for (const OptionRow& candidate : kOptions)
            if (arg == candidate.name) row = &candidate;
        const char* value = row && row->takesValue && i + 1 < argc ? argv[i + 1] : nullptr;
        if (!row || (row->takesValue && !value)) {
            Err(Compose(row ? IDS_RPS_OPTION_NEEDS_VALUE : IDS_RPS_UNKNOWN_OPTION, arg.c_str()));
            return kExitUsage;
        }
        if (value && !*value && row->id != OptPassword) {  // a file, folder, time or number: never empty
            Err(Compose(IDS_RPS_BAD_OPTION_VALUE, arg.c_str(), value));
            return kExitUsage;
        }
        if (value) ++i;
        options->used |= 1u << row->id;
        int number = 0;
        switch (row->id) {
        case OptPassword: options->password = value; break;
        case OptAll: options->all = true; break;
        case OptDryRun: options->dryRun = true; break;
        case OptFile: options->asFile = true; break;
        case OptPrinter: options->asPrinter = true; break;
        case OptHelp: options->help = true; break;
        case OptJson: options->json = true; break;
        case OptBackup: options->backup = value; break;
        case OptOverwrite: options->overwrite = true; break;
        case OptLog: options->log = value; break;
        case OptBefore: options->before = value; break;
        case OptList: options->list = true; break;
        case OptCsv: options->csv = value; break;
        case OptNoPrompt: options->noPrompt = true; break;
        case OptChanges: options->changes = true; break;
        case OptTimeout:
        case OptJobs:
            number = CountOption(value, 1, row->id == OptJobs ? kMaxWorkers : kMaxTimeoutSeconds);
            if (number < 0) {
                Err(Compose(IDS_RPS_BAD_OPTION_VALUE, arg.c_str(), value));
                return kExitUsage;
            }
            (row->id == OptJobs ? options->jobs : options->timeoutSeconds) = number;
            break;
        }
    }
    return kExitOk;
}

// ---- Text for scripts ----

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

// ---- Files ----

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ModelName() { return Text(IDS_MODEL_NAME); }

// Why a file was refused, in words.
std::string FileProblemText(const FileProblem& problem) {
    static const UINT kReasons[] = {0,
                                    IDS_RPS_BAD_LINE,
                                    IDS_RPS_UNKNOWN_SECTION,
                                    IDS_RPS_UNKNOWN_KEY,
                                    IDS_RPS_REPEATED_KEY,
                                    IDS_RPS_BAD_VALUE,
                                    IDS_RPS_OUT_OF_RANGE,
                                    IDS_RPS_WRONG_MODEL,
                                    IDS_RPS_WRONG_VERSION,
                                    IDS_RPS_MISSING_HEADER,
                                    IDS_RPS_FILE_EMPTY,
                                    IDS_RPS_FILE_UTF16,
                                    IDS_RPS_BAD_BLOCK,
                                    IDS_RPS_CUT_SHORT,
                                    0,
                                    0,
                                    IDS_RPS_NOT_COMPLETE,
                                    IDS_RPS_BAD_SAVED_TIME,
                                    IDS_RPS_SAVED_LATER,
                                    0,
                                    IDS_RPS_AFTER_END};
    if (problem.error == FileTooLarge) return Compose(IDS_RPS_FILE_TOO_LARGE, static_cast<int>(kMaxFileSize >> 10));
    if (problem.error == FileCustomIsRow)
        return Compose(IDS_RPS_CUSTOM_IS_ROW, SettingFullKey(problem.setting).c_str(), static_cast<int>(problem.value),
                       CustomRowText(problem.setting, problem.value).c_str(),
                       SettingFullKey(problem.setting - 1).c_str());
    if (problem.setting >= 0 && (problem.error == FileBadValue || problem.error == FileNotHex))
        return Compose(problem.error == FileNotHex ? IDS_RPS_NOT_HEX : IDS_RPS_BAD_VALUE_OF,
                       SettingFullKey(problem.setting).c_str());
    if (problem.error == FileOutOfRange)
        return Compose(IDS_RPS_OUT_OF_RANGE, SettingFullKey(problem.setting).c_str(),
                       SettingRangeText(problem.setting).c_str());
    return Text(kReasons[problem.error]);
}

// Reads and checks a settings file; kExitOk, or kExitUsage after the message.
int LoadSettingsFile(const char* path, ParsedSettings* parsed) {
    std::string text;
    if (!IsFile(path)) {
        Err(Compose(IDS_RPS_NO_SUCH_FILE, path));
        return kExitUsage;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data) &&
        (data.nFileSizeHigh || data.nFileSizeLow > kMaxFileSize)) {
        Err(std::string(path) + ": " + FileProblemText({FileTooLarge, 0, -1, 0}));
        return kExitUsage;
    }
    if (!ReadWholeFile(path, &text)) {
        Err(Compose(IDS_RPS_CANNOT_READ_FILE, path));
        return kExitUsage;
    }
    const FileProblem problem = ReadSettingsFile(text.data(), text.size(), ModelName().c_str(), parsed);
    if (problem.error == FileEmpty) {
        Err(std::string(path) + ": " + FileProblemText(problem));
        return kExitUsage;
    }
    if (problem.error != FileOk) {
        Err(Compose(IDS_RPS_FILE_LINE, path, problem.line, FileProblemText(problem).c_str()));
        return kExitUsage;
    }
    if (parsed->count == 0 && !parsed->hasBlock) {
        Err(std::string(path) + ": " + Text(IDS_RPS_FILE_NO_SETTINGS));
        return kExitUsage;
    }
    return kExitOk;
}

// ---- Printers ----

// The printers the panel serves, found as the panel finds them.
int Discover() {
    if (DiscoverPrinters() > 0) return kExitOk;
    Err(Text(IDS_RPS_NO_PRINTERS));
    return kExitPrinter;
}

// Each name, once, as discovery lists it; kExitUsage after naming one it does not list.
int ResolvePrinters(const std::vector<std::string>& names, std::vector<const PrinterEntry*>* printers) {
    for (const std::string& name : names) {
        const PrinterEntry* entry = ListedPrinter(name.c_str());
        if (!entry) {
            Err(Compose(IDS_RPS_NOT_SERVED, name.c_str()));
            return kExitUsage;
        }
        bool seen = false;
        for (const PrinterEntry* earlier : *printers) seen |= earlier == entry;
        if (!seen) printers->push_back(entry);
    }
    return kExitOk;
}

// Opens the printer and evaluates its status items as the panel does. Empty
// when the SRM answered; else why the printer cannot be used.
std::string OpenPrinter(const PrinterEntry& printer, SrmSession* session, StatusVerdict* verdict) {
    if (IsFilePort(printer.destination)) return ConsoleText(Text(IDS_FILE_PORT));
    if (session->Open(printer.name) != 0 || session->get() == 0) return Text(IDS_RPS_CANNOT_OPEN);
    StatusItemValues items = {kUnreadItem, {kUnreadItem, kUnreadItem, kUnreadItem}, kUnreadItem};
    if (const UINT failed = ReadStatusItemsOf(session->get(), &items)) return Text(failed);
    *verdict = EvaluateStatusBits(items.extStatus, reinterpret_cast<const uint32_t*>(items.status), items.authority);
    return "";
}

std::string StatusTextOf(const StatusVerdict& verdict) {
    char text[kTextSize];
    LoadStatusTextOf(verdict.textId, text, kTextSize);
    return ConsoleText(text);
}

// Reads the settings block into *settings and block; 1 when the printer gave
// settings, within the panel's number of attempts.
int ReadSettings(DWORD handle, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD length = 0;
        if (GetPrinterStatusA(handle, SRM_ITEM_SETTINGS, block, kSrmSizeSettings, &length) == 0 &&
            SettingsOfBlock(block, settings))
            return 1;
    }
    return 0;
}

// One printer read for show, save and diff. Empty on success, else the reason.
std::string ReadPrinter(const PrinterEntry& printer, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]) {
    SrmSession session;
    StatusVerdict verdict = {};
    const std::string failure = OpenPrinter(printer, &session, &verdict);
    if (!failure.empty()) return failure;
    if (!verdict.usable || !verdict.readAllowed) return StatusTextOf(verdict);
    if (!ReadSettings(session.get(), settings, block)) return Text(IDS_READ_FAILED);
    return "";
}

// "key: this -> that  (name)" of one setting.
std::string ChangeLine(int setting, const PrinterSettings& from, const PrinterSettings& to, ControlTexts* texts) {
    return SettingFullKey(setting) + ": " + SettingDisplay(setting, from, ControlTexts::Resolve, texts) + " -> " +
           SettingDisplay(setting, to, ControlTexts::Resolve, texts) + "  (" + SettingName(setting) + ")\n";
}

// ---- The claim of one panel per printer ----

// The panel's claim, taken while this writes, and beside it a mark that says
// the claim is this tool's, so that another run of it can say who holds it.
class ToolClaim {
public:
    // Empty when taken; else why not.
    std::string Take(const char* printer) {
        HANDLE mapping = nullptr;
        switch (TryClaimPrinter(printer, &mapping)) {
        case ClaimTaken:
            claim_.reset(new ScopedClaim(mapping));
            mark_.reset(new ScopedHandle(CreateEventA(nullptr, TRUE, FALSE, MarkName(printer).c_str())));
            return "";
        case ClaimHeld: {
            ScopedHandle other(OpenEventA(SYNCHRONIZE, FALSE, MarkName(printer).c_str()));
            return Text(other.get() ? IDS_RPS_HELD_BY_TOOL : IDS_ALREADY_RUNNING);
        }
        case ClaimFailed: break;
        }
        return Text(IDS_MAPPING_FAILED);
    }

private:
    static std::string MarkName(const char* printer) {
        char name[kInstanceNameSize];
        BuildInstanceName(name, sizeof name, printer);
        return std::string(name) + ".rpsettings";
    }
    std::unique_ptr<ScopedClaim> claim_;
    std::unique_ptr<ScopedHandle> mark_;
};

// The names of the operands with each "@FILE" replaced by the names it lists
// (one a line; Shift-JIS, or UTF-8 with or without its mark).
int ExpandNameLists(const std::vector<std::string>& operands, std::vector<std::string>* names) {
    for (const std::string& operand : operands) {
        if (operand.size() < 2 || operand[0] != '@') {
            names->push_back(operand);
            continue;
        }
        const char* path = operand.c_str() + 1;
        std::string text;
        if (!IsFile(path) || !ReadWholeFile(path, &text)) {
            Err(Compose(IDS_RPS_CANNOT_READ_LIST, path));
            return kExitUsage;
        }
        const NameList list = ParseNameList(text.data(), text.size());
        for (const std::string& name : list.names) names->push_back(list.utf8 ? Recode(name, CP_UTF8, CP_ACP) : name);
    }
    return kExitOk;
}

// Asks for the password on the console without echoing it; false when
// standard input is not a console.
bool AskPassword(std::string* typed) {
    if (!InputIsConsole()) return false;
    WriteStd(STD_ERROR_HANDLE, Text(IDS_RPS_PASSWORD_PROMPT));
    const bool ok = ReadHiddenLine(typed);
    WriteStd(STD_ERROR_HANDLE, "\n");
    return ok;
}

// ---- Many printers: apply, check and save ----

enum Outcome {
    Applied, Unchanged, WouldChange, Refused, Failed, NotVerified, Conforms, Differs, Unreadable, Saved,
    NotAnswering, NotStarted, Skipped, kOutcomeCount
};
// The outcome as the JSON output names it.
constexpr const char* kOutcomeTokens[kOutcomeCount] = {
    "applied", "unchanged", "would_change", "refused",  "failed",        "not_verified",
    "conforms", "differs",  "unreadable",   "saved",    "not_answering", "not_started", "skipped"};

struct PrinterJob {
    const PrinterEntry* printer = nullptr;
    Outcome outcome = Failed;
    std::string reason;
    bool readable = true;
    PrinterSettings current = {};  // as read (apply: before the write)
    PrinterSettings after = {};    // apply: as read back; check: what the file says
    bool readBackDiffers = false;
    ApplyPlan plan = {};
    std::string path;  // save: the file; apply: the backup
    bool backedUp = false;
    const ParsedSettings* file = nullptr;  // apply: the run's file; restore: the printer's backup
    std::string fileName;                  //   and its name
    std::string fileTime;                  // restore: when the backup was saved
    bool unlogged = false;                 // apply: the write's result is missing from the change log
};

enum JobsCommand { JobsApply, JobsCheck, JobsSave };

struct JobsRun {
    JobsCommand command;
    const Options* options;
    const ParsedSettings* parsed;  // apply, check
    std::vector<PrinterJob> jobs;
    ControlTexts* texts;           // the calling thread's
    JsonWriter json;               // the "printers" array, as reported
    int counts[kOutcomeCount];
    std::string folder;            // apply and restore: where the backups go (empty: none)
    ChangeLog* log;                // apply and restore: the change log
    bool restoring;                // restore: each printer its own backup
    int unlogged = 0;              // writes whose result the change log lacks
};

// A printer's settings as save writes them: the printer named, the time of
// reading, and the end mark after the block.
std::string SavedFileText(const char* printer, const PrinterSettings& settings,
                          const uint8_t block[kSettingsBlockSize]) {
    ControlTexts texts;  // this thread's own
    return WriteSettingsFile(settings, block, ModelName().c_str(), ControlTexts::Resolve, &texts, printer,
                             UtcNowText().c_str());
}

std::string RefusalText(const ApplyPlan& plan) {
    switch (plan.refusal) {
    case RefuseNotReadable: return Text(IDS_RPS_PARTIAL_UNREADABLE);
    case RefuseNoCustomFeed:
        return Compose(IDS_RPS_NO_CUSTOM_FEED, SettingFullKey(plan.setting).c_str(),
                       SettingFullKey(CustomSettingOf(plan.setting)).c_str());
    case RefuseFormatCheck: {  // "formatN: " and the format dialog's own message
        const std::string key = SettingFullKey(plan.setting);
        return key.substr(0, key.find('.')) + ": " + ConsoleText(Text(plan.messageId));
    }
    case RefuseSwitchFF: return Text(IDS_RPS_SWITCH_FF);
    case RefuseNotCarried: return Text(IDS_RPS_NOT_CARRIED);
    case RefuseCollateral: return Text(IDS_RPS_COLLATERAL);
    case RefuseNone: break;
    }
    return "";
}

// Empty when the open printer may be updated now (and *verdict is how it
// stands); else why not: its rights or state, or a destination of "FILE:".
std::string StillUpdatable(DWORD handle, StatusVerdict* verdict) {
    StatusItemValues items = {kUnreadItem, {kUnreadItem, kUnreadItem, kUnreadItem}, kUnreadItem};
    if (const UINT failed = ReadStatusItemsOf(handle, &items)) return Text(failed);
    *verdict = EvaluateStatusBits(items.extStatus, reinterpret_cast<const uint32_t*>(items.status), items.authority);
    if (!verdict->usable || !verdict->updateAllowed || verdict->printerNotReady) return StatusTextOf(*verdict);
    unsigned char port[kPortItemSize] = {};
    char destination[kDestinationSize] = "";
    DWORD length = 0;
    if (GetPrinterStatusA(handle, SRM_ITEM_PORT, port, kSrmSizePort, &length) == 0)
        FormatDestination(destination, sizeof destination, port);
    if (IsFilePort(destination)) return ConsoleText(Text(IDS_FILE_PORT));
    return "";
}

std::string ChangeRecord(const JobsRun& run, const PrinterJob& job, const char* result);
void WriteAndVerify(DWORD handle, const StatusVerdict& verdict, uint8_t block[kSettingsBlockSize], PrinterJob* job);

// One printer: usable and updatable, not held by a panel, read (and saved
// first with --backup), planned, recorded, written synchronously and read back.
void ApplyToPrinter(const JobsRun& run, PrinterJob* job) {
    job->outcome = Refused;
    SrmSession session;
    StatusVerdict verdict = {};
    job->reason = OpenPrinter(*job->printer, &session, &verdict);
    if (!job->reason.empty()) {
        if (!IsFilePort(job->printer->destination)) job->outcome = Failed;
        return;
    }
    if (!verdict.usable || !verdict.updateAllowed || verdict.printerNotReady) {
        job->reason = StatusTextOf(verdict);
        return;
    }
    job->readable = verdict.readAllowed != 0;

    // The panel's claim, held while this writes: a panel that starts meanwhile stays out.
    ToolClaim claim;
    job->reason = claim.Take(job->printer->name);
    if (!job->reason.empty()) return;

    uint8_t block[kSettingsBlockSize];
    if (job->readable && !ReadSettings(session.get(), &job->current, block)) {
        job->outcome = Failed;
        job->reason = Text(IDS_READ_FAILED);
        return;
    }
    // A backup is a new file, on the disk before anything is written (a dry run writes none).
    if (!run.folder.empty() && !run.options->dryRun) {
        const std::string base = SafeFileName(job->printer->name);
        job->backedUp = job->readable && WriteBackupFile(run.folder, base,
                                                         SavedFileText(job->printer->name, job->current, block),
                                                         &job->path);
        if (!job->backedUp) {
            job->reason = job->readable ? Compose(IDS_RPS_BACKUP_FAILED, job->path.c_str()) : Text(IDS_RPS_BACKUP_UNREADABLE);
            job->path.clear();
            return;
        }
    }
    job->plan = PlanApply(*job->file, job->readable ? &job->current : nullptr);
    if (job->plan.outcome == PlanUnchanged) {
        job->outcome = Unchanged;
        return;
    }
    if (job->plan.outcome == PlanRefused) {
        job->reason = RefusalText(job->plan);
        return;
    }
    if (run.options->dryRun) {
        job->outcome = WouldChange;
        return;
    }
    // The printer may have changed while it was read: as the panel, write only
    // to a printer that may be updated now.
    job->reason = StillUpdatable(session.get(), &verdict);
    if (!job->reason.empty()) return;
    // Nothing is written once the run has reported this printer as not
    // answering, nor without its record in the change log.
    if (!StartJobWrite()) return;
    if (!run.log->Append(ChangeRecord(run, *job, "writing"))) {
        job->outcome = Failed;
        job->reason = Compose(IDS_RPS_LOG_FAILED, run.log->Path().c_str());
        return;
    }
    WriteAndVerify(session.get(), verdict, block, job);
    job->unlogged = !run.log->Append(ChangeRecord(run, *job, kOutcomeTokens[job->outcome]));
}

// Sends the planned command and reads the printer back.
void WriteAndVerify(DWORD handle, const StatusVerdict& verdict, uint8_t block[kSettingsBlockSize], PrinterJob* job) {
    uint8_t area[kCommandAreaSize];
    CopyMemory(area, job->plan.area, sizeof area);
    const DWORD sent = SetPrinterStatusDirectA(handle, SRM_ITEM_SETTINGS, area, kCommandAreaSize);
    EndJobWrite();  // the read-back may be given up on again
    if (sent != 0) {
        job->outcome = Failed;
        job->reason = Text(IDS_WRITE_FAILED);
        return;
    }
    job->outcome = NotVerified;
    if (!job->readable) {
        job->reason = StatusTextOf(verdict);
    } else if (!ReadSettings(handle, &job->after, block)) {
        job->reason = Text(IDS_READ_FAILED);
    } else if (!VerifyApplied(job->plan, job->after).empty()) {
        job->outcome = Failed;
        job->readBackDiffers = true;
        job->reason = Text(IDS_RPS_VERIFY_FAILED);
    } else {
        job->outcome = Applied;
    }
}

// Read rights are enough; no claim is taken and nothing is written.
void CheckPrinter(const JobsRun& run, PrinterJob* job) {
    uint8_t block[kSettingsBlockSize];
    job->outcome = Unreadable;
    job->reason = ReadPrinter(*job->printer, &job->current, block);
    if (!job->reason.empty()) return;
    job->after = FileOver(*run.parsed, job->current);
    job->outcome = Conforms;
    for (int i = 0; i < SettingCount(); ++i)
        if (FileNames(*run.parsed, i) && SettingDiffers(i, job->current, job->after)) job->outcome = Differs;
}

void SavePrinter(const JobsRun& run, PrinterJob* job) {
    uint8_t block[kSettingsBlockSize];
    job->outcome = Unreadable;
    job->reason = ReadPrinter(*job->printer, &job->current, block);
    if (!job->reason.empty()) return;
    job->outcome = Saved;
    const WriteResult result = WriteTextFile(job->path.c_str(), SavedFileText(job->printer->name, job->current, block),
                                             run.options->overwrite ? WriteReplace : WriteNew);
    if (result == Written) return;
    job->outcome = Unreadable;  // reported as "cannot be saved", with the reason
    job->reason = Compose(result == NameTaken ? IDS_RPS_FILE_EXISTS : IDS_RPS_CANNOT_WRITE_FILE, job->path.c_str());
}

void WorkOnJob(void* context, size_t index) {
    JobsRun* run = static_cast<JobsRun*>(context);
    PrinterJob* job = &run->jobs[index];
    // --all passes over the printers the panel refuses by their kind; named, they are refused.
    if (run->options->all && IsFilePort(job->printer->destination)) {
        job->outcome = Skipped;
        job->reason = ConsoleText(Text(IDS_FILE_PORT));
        return;
    }
    if (run->command == JobsApply && !job->file && !IsFilePort(job->printer->destination)) {
        job->outcome = Refused;
        job->reason = run->options->before ? Compose(IDS_RPS_NO_BACKUP_BEFORE, run->options->args[1].c_str(),
                                                     run->options->before)
                                           : Compose(IDS_RPS_NO_BACKUP, run->options->args[1].c_str());
        return;
    }
    switch (run->command) {
    case JobsApply: ApplyToPrinter(*run, job); break;
    case JobsCheck: CheckPrinter(*run, job); break;
    case JobsSave: SavePrinter(*run, job); break;
    }
}

std::string ChangeLines(const std::vector<SettingChange>& changes, const PrinterSettings& from,
                        const PrinterSettings& to, ControlTexts* texts) {
    std::string lines;
    for (const SettingChange& change : changes) lines += "  " + ChangeLine(change.setting, from, to, texts);
    return lines;
}

// With from null (a printer that cannot be read), "from" and "fromText" are empty.
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

// The changes a write makes; a printer that cannot be read gets every setting.
void PlannedChangesJson(JsonWriter* json, const PrinterJob& job, ControlTexts* texts) {
    std::vector<SettingChange> all;
    for (int i = 0; !job.readable && i < SettingCount(); ++i) all.push_back({i, 0, 0});
    ChangesJson(json, job.readable ? job.plan.changes : all, job.readable ? &job.current : nullptr,
                job.plan.predicted, texts);
}

// A record of the change log for a write: "writing" before it, its outcome after.
std::string ChangeRecord(const JobsRun& run, const PrinterJob& job, const char* result) {
    ControlTexts texts;  // this thread's own
    JsonWriter json;
    run.log->Begin(&json);
    json.Key("command").String(run.restoring ? "restore" : "apply");
    json.Key("printer").String(Utf8(job.printer->name));
    json.Key("file").String(Utf8(FullPath(job.fileName)));
    json.Key("backup").String(job.backedUp ? Utf8(FullPath(job.path)) : "");
    json.Key("result").String(result);
    json.Key("message").String(Utf8(ConsoleText(job.reason)));
    PlannedChangesJson(&json, job, &texts);
    return json.EndObject().Text();
}

// The settings a check found different: the printer's, then the file's.
std::vector<int> CheckDifferences(const JobsRun& run, const PrinterJob& job) {
    std::vector<int> differing;
    for (int i = 0; job.outcome == Differs && i < SettingCount(); ++i)
        if (FileNames(*run.parsed, i) && SettingDiffers(i, job.current, job.after)) differing.push_back(i);
    return differing;
}

// The settings a write changes, from -> to; every setting, as it will be,
// for a printer that cannot be read (what it holds now is unknown).
std::string PlannedChangeLines(const PrinterJob& job, ControlTexts* texts) {
    const ApplyPlan& plan = job.plan;
    if (job.readable) return ChangeLines(plan.changes, job.current, plan.predicted, texts);
    std::string lines;
    for (int i = 0; i < SettingCount(); ++i)
        lines += "  " + SettingFullKey(i) + ": " + SettingDisplay(i, plan.predicted, ControlTexts::Resolve, texts) +
                 "  (" + SettingName(i) + ")\n";
    return lines;
}

// What happened to one printer, as lines of the human output.
std::string ReportLines(const JobsRun& run, const PrinterJob& job, ControlTexts* texts) {
    const char* name = job.printer->name;
    const ApplyPlan& plan = job.plan;
    std::string lines;
    switch (job.outcome) {
    case Applied: lines = Compose(IDS_RPS_APPLIED, name) + "\n" + PlannedChangeLines(job, texts); break;
    case Unchanged: lines = Compose(IDS_RPS_NO_CHANGE, name) + "\n"; break;
    case WouldChange:
        lines = Compose(job.readable ? IDS_RPS_DRY_RUN : IDS_RPS_UNREADABLE_DRY_RUN, name) + "\n" +
                PlannedChangeLines(job, texts);
        break;
    case Refused:
        lines = Compose(IDS_RPS_REFUSED, name, job.reason.c_str()) + "\n" +
                ChangeLines(plan.notCarried, plan.target, plan.predicted, texts);
        if (plan.refusal == RefuseNotCarried && !plan.collateral.empty())
            lines += "  " + Text(IDS_RPS_COLLATERAL) + "\n";
        lines += ChangeLines(plan.collateral, job.current, plan.predicted, texts);
        break;
    case Failed:
        lines = Compose(IDS_RPS_FAILED, name, job.reason.c_str()) + "\n";
        if (job.readBackDiffers) lines += ChangeLines(VerifyApplied(plan, job.after), plan.predicted, job.after, texts);
        break;
    case NotVerified:
        lines = Compose(IDS_RPS_NOT_VERIFIED, name, job.reason.c_str()) + "\n" + PlannedChangeLines(job, texts);
        break;
    case Conforms: break;  // the check's table has rows only for printers that differ
    case Differs:
        for (int i : CheckDifferences(run, job))
            lines += std::string(name) + "\t" + SettingFullKey(i) + "\t" +
                     SettingDisplay(i, job.current, ControlTexts::Resolve, texts) + "\t" +
                     SettingDisplay(i, job.after, ControlTexts::Resolve, texts) + "\t" + SettingName(i) + "\n";
        break;
    case Unreadable:
        lines = run.command == JobsCheck ? std::string(name) + "\t-\t" + job.reason + "\n"
                                         : Compose(IDS_RPS_NOT_SAVED, name, job.reason.c_str()) + "\n";
        break;
    case Saved: lines = Compose(IDS_RPS_SAVED, name, job.path.c_str()) + "\n"; break;
    case NotAnswering:
        lines = Compose(IDS_RPS_NOT_ANSWERING, name, run.options->timeoutSeconds) + "\n";
        break;
    case NotStarted: lines = Compose(IDS_RPS_NOT_STARTED, name) + "\n"; break;
    case Skipped: lines = Compose(IDS_RPS_SKIPPED, name, job.reason.c_str()) + "\n"; break;
    case kOutcomeCount: break;
    }
    if (run.restoring && job.file && job.outcome != Skipped)
        lines += "  " + Compose(IDS_RPS_RESTORED_FROM, job.fileName.c_str(), job.fileTime.c_str()) + "\n";
    if (job.backedUp) lines += "  " + Compose(IDS_RPS_BACKED_UP, job.path.c_str()) + "\n";
    if (job.unlogged) lines += "  " + Compose(IDS_RPS_RESULT_NOT_LOGGED, run.log->Path().c_str()) + "\n";
    return lines;
}

void ReportJson(const JobsRun& run, const PrinterJob& job, std::string message, JsonWriter* json,
                ControlTexts* texts) {
    json->BeginObject();
    json->Key("name").String(Utf8(job.printer->name));
    json->Key("outcome").String(kOutcomeTokens[job.outcome]);
    json->Key("message").String(Utf8(ConsoleText(message)));
    if (run.command == JobsCheck) {
        json->Key("differences").BeginArray();
        for (int i : CheckDifferences(run, job))
            SettingPairJson(json, i, job.current, "value", "text", job.after, "fileValue", "fileText", texts);
        json->EndArray();
    } else if (run.command == JobsApply) {
        json->Key("backup").String(job.backedUp ? Utf8(job.path) : "");
        if (run.restoring) {  // the backup given back, and when it was saved
            json->Key("restoredFrom").String(job.file ? Utf8(job.fileName) : "");
            json->Key("restoredTime").String(job.file ? job.fileTime : "");
        }
        const ApplyPlan& plan = job.plan;
        if (job.outcome == Refused) {
            ChangesJson(json, plan.collateral.empty() ? plan.notCarried : plan.collateral,
                        plan.collateral.empty() ? &plan.target : &job.current, plan.predicted, texts);
        } else if (job.outcome == Applied || job.outcome == WouldChange || job.outcome == NotVerified) {
            PlannedChangesJson(json, job, texts);
        } else {
            ChangesJson(json, {}, nullptr, plan.predicted, texts);
        }
    } else {
        json->Key("file").String(Utf8(job.path));
    }
    json->EndObject();
}

void ReportJob(void* context, size_t index, JobEnd end) {
    JobsRun* run = static_cast<JobsRun*>(context);
    // A printer given up on goes on in its worker: only what this thread set is read.
    PrinterJob shown;
    const PrinterJob& job = end == JobFinished ? run->jobs[index] : shown;
    shown.printer = run->jobs[index].printer;
    shown.outcome = end == JobNotAnswering ? NotAnswering : end == JobWrittenNotAnswering ? NotVerified : NotStarted;
    if (end == JobWrittenNotAnswering) shown.reason = Compose(IDS_RPS_READ_BACK_NOT_ANSWERING, run->options->timeoutSeconds);
    ++run->counts[job.outcome];
    run->unlogged += job.unlogged;
    const std::string lines = ReportLines(*run, job, run->texts);
    if (!run->options->json) {
        Out(lines);
        std::fflush(stdout);
        if (!run->options->csv) return;
    }
    // The message: the reason, or the result line without the printer's name.
    std::string message = job.reason;
    if (message.empty() && run->command != JobsCheck) {
        message = lines.substr(0, lines.find('\n'));
        const std::string prefix = std::string(job.printer->name) + ": ";
        if (message.compare(0, prefix.size(), prefix) == 0) message.erase(0, prefix.size());
    }
    if (job.unlogged) message += (message.empty() ? "" : " ") + Compose(IDS_RPS_RESULT_NOT_LOGGED, run->log->Path().c_str());
    ReportJson(*run, job, message, &run->json, run->texts);
}

// ---- Site tables ----

// A table as CSV into a file, whole or not at all; false after the message.
bool WriteTable(const char* path, const CsvRow& header, const std::vector<CsvRow>& rows) {
    if (WriteFileWhole(path, CsvText(header, rows))) return true;
    Err(Compose(IDS_RPS_CANNOT_WRITE_TABLE, path));
    return false;
}

// The files a run reads or writes besides its table, and the folder whose
// files it reads or writes (those ending in extension; null: all).
struct RunFiles {
    std::vector<std::string> files;
    std::string folder;
    const char* extension = nullptr;
};

// The @FILE lists among operands.
void AddNameLists(const std::vector<std::string>& operands, RunFiles* files) {
    for (const std::string& operand : operands)
        if (operand.size() > 1 && operand[0] == '@') files->files.push_back(operand.substr(1));
}

// The table of --csv, before anything is done: none of the run's own files
// (the settings file, a list, the change log, a file of its folder), and one
// that can be written. kExitOk, or kExitUsage after the message.
int CheckTable(const Options& options, const RunFiles& run) {
    if (!options.csv) return kExitOk;
    for (const std::string& file : run.files) {
        if (!SamePath(options.csv, file)) continue;
        Err(Compose(IDS_RPS_TABLE_IS_INPUT, options.csv, file.c_str()));
        return kExitUsage;
    }
    if (!run.folder.empty() && PathInFolder(options.csv, run.folder, run.extension ? run.extension : "")) {
        Err(Compose(IDS_RPS_TABLE_IN_FOLDER, options.csv, run.folder.c_str()));
        return kExitUsage;
    }
    if (CanWriteFileWhole(options.csv)) return kExitOk;
    Err(Compose(IDS_RPS_CANNOT_WRITE_TABLE, options.csv));
    return kExitUsage;
}

// Runs the jobs and reports them; the exit code.
int RunJobs(JobsRun* run) {
    run->json.BeginArray();
    const JobRunOptions options = {run->options->jobs, static_cast<DWORD>(run->options->timeoutSeconds) * 1000,
                                   !run->options->json && OnConsole()};
    const JobRunResult result = RunPrinterJobs(run->jobs.size(), options, WorkOnJob, ReportJob, run);
    run->json.EndArray();
    const int* n = run->counts;
    const int total = static_cast<int>(run->jobs.size());
    int code = kExitOk;
    const std::string skipped = n[Skipped] ? Compose(IDS_RPS_SKIPPED_COUNT, n[Skipped]) : "";
    switch (run->command) {
    case JobsApply:
        code = n[Refused] + n[Failed] + n[NotAnswering] ? kExitDiffers : n[NotVerified] ? kExitNotVerified : kExitOk;
        if (run->unlogged && code == kExitOk) code = kExitDiffers;  // the log must not say less than was done
        if (!run->options->json)
            Out(Compose(IDS_RPS_APPLY_SUMMARY, n[Applied], n[Unchanged], n[WouldChange], n[Refused], n[Failed],
                        n[NotVerified], n[NotAnswering], n[NotStarted], total) + skipped + "\n");
        break;
    case JobsCheck:
        code = n[Unreadable] + n[NotAnswering] ? kExitPrinter : n[Differs] ? kExitDiffers : kExitOk;
        if (!run->options->json)
            Out(Compose(IDS_RPS_CHECK_SUMMARY, n[Conforms], n[Differs], n[Unreadable] + n[NotAnswering],
                        n[NotStarted], total) + skipped + "\n");
        break;
    case JobsSave:
        code = n[Unreadable] + n[Failed] + n[NotAnswering] ? kExitPrinter : kExitOk;
        Out(Compose(IDS_RPS_SAVE_SUMMARY, n[Saved], total - n[Saved] - n[NotStarted] - n[Skipped], n[NotStarted],
                    total) + skipped + "\n");
        break;
    }
    if (run->options->json || run->options->csv) {
        JsonWriter json;
        json.BeginObject();
        json.Key("command").String(run->restoring ? "restore" : run->command == JobsApply ? "apply" : "check");
        json.Key("file").String(Utf8(run->options->args[1]));
        if (run->command == JobsApply) json.Key("dryRun").Bool(run->options->dryRun);
        json.Key("interrupted").Bool(result.interrupted);
        json.Key("printers");
        std::string text = json.Text() + run->json.Text();
        JsonWriter summary;
        summary.BeginObject().Key("printers").Number(total);
        const std::vector<Outcome> counted = run->command == JobsApply
            ? std::vector<Outcome>{Applied, Unchanged, WouldChange, Refused, Failed, NotVerified, NotAnswering,
                                   NotStarted, Skipped}
            : std::vector<Outcome>{Conforms, Differs, Unreadable, NotAnswering, NotStarted, Skipped};
        for (Outcome outcome : counted) summary.Key(kOutcomeTokens[outcome]).Number(n[outcome]);
        summary.EndObject();
        text += ",\"summary\":" + summary.Text() + "}";
        if (result.interrupted) code = kExitInterrupted;
        if (run->options->json) OutUtf8(text + "\n");
        // The table was found writable before any printer was touched; should
        // it fail now, the run's own outcome stands and the message says so.
        if (run->options->csv &&
            !WriteFileWhole(run->options->csv, CsvText(SiteTableHeader(), SiteRows({ComputerNameUtf8(), LocalTimeText(),
                                                                                     std::to_string(code), text, ""}))))
            Err(Compose(IDS_RPS_TABLE_NOT_WRITTEN, run->options->csv, code));
    }
    if (result.interrupted) code = kExitInterrupted;
    if (result.abandoned) {  // a worker still talks to a printer: end without cleaning up under it
        std::fflush(stdout);
        std::fflush(stderr);
        ExitProcess(static_cast<UINT>(code));
    }
    return code;
}

// A directory that must be there, with a backslash at its end; "" after the message.
std::string ExistingFolder(const std::string& directory) {
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Err(Compose(IDS_RPS_NO_SUCH_FOLDER, directory.c_str()));
        return "";
    }
    return directory.back() == '\\' || directory.back() == '/' ? directory : directory + "\\";
}

// Makes a directory and the ones above it that are missing; false when one cannot be made.
bool MakeDirectories(std::string directory) {
    while (directory.size() > 1 && (directory.back() == '\\' || directory.back() == '/') &&
           directory[directory.size() - 2] != ':')
        directory.pop_back();
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t parent = directory.find_last_of("\\/");
    if (parent != std::string::npos && parent > 0 && directory[parent - 1] != ':' &&
        directory.find_first_not_of("\\/", parent) != std::string::npos && !MakeDirectories(directory.substr(0, parent)))
        return false;
    return CreateDirectoryA(directory.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A file in a directory (made, with the ones above it, when missing); "" and
// the message when it cannot be made.
std::string DirectoryFor(const char* directory) {
    const DWORD attributes = GetFileAttributesA(directory);
    if (attributes == INVALID_FILE_ATTRIBUTES && !MakeDirectories(directory)) {
        Err(Compose(IDS_RPS_CANNOT_MAKE_DIRECTORY, directory));
        return "";
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Err(Compose(IDS_RPS_CANNOT_MAKE_DIRECTORY, directory));
        return "";
    }
    std::string path = directory;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path;
}

// The jobs of the printers; with a directory, each one's file in it (save)
// or the folder of the backups (apply and restore; a dry run makes none).
int PrepareJobs(const std::vector<const PrinterEntry*>& printers, const char* directory, JobsRun* run) {
    run->jobs.resize(printers.size());
    for (size_t i = 0; i < printers.size(); ++i) {
        run->jobs[i].printer = printers[i];
        run->jobs[i].file = run->parsed;
        if (run->parsed) run->jobs[i].fileName = run->options->args[1];
    }
    if (!directory || (run->command == JobsApply && run->options->dryRun)) return kExitOk;
    const std::string folder = DirectoryFor(directory);
    if (folder.empty()) return kExitUsage;
    if (run->command == JobsApply) {  // each backup takes the first free name as it is written
        run->folder = folder;
        return kExitOk;
    }
    std::vector<std::string> names;
    for (const PrinterEntry* printer : printers) names.push_back(printer->name);
    const std::vector<std::string> files = UniqueFileNames(names);
    int taken = 0;  // an earlier save's files stay unless --overwrite says otherwise
    for (size_t i = 0; i < printers.size(); ++i) {
        run->jobs[i].path = folder + files[i];
        if (run->options->overwrite || GetFileAttributesA(run->jobs[i].path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        Err(Compose(IDS_RPS_FILE_EXISTS, run->jobs[i].path.c_str()));
        ++taken;
    }
    return taken ? kExitUsage : kExitOk;
}

// ---- Commands ----

int ReadOrReport(const PrinterEntry& printer, PrinterSettings* settings, uint8_t block[kSettingsBlockSize]) {
    const std::string failure = ReadPrinter(printer, settings, block);
    if (failure.empty()) return kExitOk;
    Err(std::string(printer.name) + ": " + failure);
    return kExitPrinter;
}

// One printer named on the command line, as discovery lists it.
int OnePrinter(const std::string& name, const PrinterEntry** printer) {
    std::vector<const PrinterEntry*> printers;
    if (int code = ResolvePrinters({name}, &printers)) return code;
    *printer = printers[0];
    return kExitOk;
}

// The printers of the operands (names and @FILE lists), or all with --all.
int OperandPrinters(const Options& options, size_t first, size_t last, std::vector<const PrinterEntry*>* printers) {
    if (options.all) {
        for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) printers->push_back(entry);
        return kExitOk;
    }
    std::vector<std::string> names;
    if (int code = ExpandNameLists({options.args.begin() + first, options.args.begin() + last}, &names)) return code;
    if (names.empty()) {  // lists that name no printer: nothing to do is a mistake in the arguments
        Err(Text(IDS_RPS_LIST_EMPTY));
        return kExitUsage;
    }
    return ResolvePrinters(names, printers);
}

// Each printer: name, status word, destination and what the panel would allow now.
int CommandList(const Options& options) {
    if (int code = Discover()) return code;
    static const UINT kLabels[3] = {IDS_STATUS_ONLINE, IDS_STATUS_OFFLINE, IDS_STATUS_UNKNOWN};
    JsonWriter json;
    json.BeginObject().Key("command").String("list").Key("printers").BeginArray();
    for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        SrmSession session;
        StatusVerdict verdict = {};
        std::string allowed = OpenPrinter(*entry, &session, &verdict);
        const bool opened = allowed.empty();
        if (opened) allowed = StatusTextOf(verdict);
        const std::string label = Text(kLabels[ReadStatusLabel(entry->name)]);
        if (!options.json) {
            Out(std::string(TextOrEmpty(entry->name)) + "\t" + label + "\t" + TextOrEmpty(entry->destination) + "\t" +
                allowed + "\n");
            continue;
        }
        json.BeginObject();
        json.Key("name").String(Utf8(TextOrEmpty(entry->name)));
        json.Key("status").String(Utf8(label));
        json.Key("destination").String(Utf8(TextOrEmpty(entry->destination)));
        json.Key("read").Bool(opened && verdict.usable && verdict.readAllowed);
        json.Key("update").Bool(opened && verdict.usable && verdict.updateAllowed);
        json.Key("ready").Bool(opened && !verdict.printerNotReady);
        json.Key("text").String(Utf8(allowed));
        json.EndObject();
    }
    if (options.json) PrintJson(json.EndArray().EndObject());
    return kExitOk;
}

// show prints what save writes: a settings file (or, with --json, its settings).
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

// The change log of a run that writes (a dry run records nothing); kExitUsage
// after the message when it cannot be opened: then no printer is written.
int OpenChangeLog(const Options& options, ChangeLog* log) {
    if (options.dryRun || log->Open(options.log)) return kExitOk;
    Err(Compose(IDS_RPS_CANNOT_OPEN_LOG, log->Path().c_str()));
    return kExitUsage;
}

// apply FILE PRINTER...|--all and check FILE PRINTER...|--all.
int CommandApplyOrCheck(const Options& options, JobsCommand command) {
    ParsedSettings parsed;
    if (int code = LoadSettingsFile(options.args[1].c_str(), &parsed)) return code;
    std::vector<const PrinterEntry*> printers;
    if (int code = OperandPrinters(options, 2, options.args.size(), &printers)) return code;
    RunFiles files = {{options.args[1]}, command == JobsApply && options.backup ? options.backup : ""};
    AddNameLists(options.args, &files);
    if (command == JobsApply) files.files.push_back(options.log ? options.log : DefaultChangeLogPath());
    if (int code = CheckTable(options, files)) return code;
    ChangeLog log;
    if (command == JobsApply)
        if (int code = OpenChangeLog(options, &log)) return code;
    JobsRun run = {command, &options, &parsed, {}, nullptr, {}, {}, "", &log, false};
    if (int code = PrepareJobs(printers, command == JobsApply ? options.backup : nullptr, &run)) return code;
    ControlTexts texts;
    run.texts = &texts;
    if (command == JobsCheck && !options.json) Out(Text(IDS_RPS_CHECK_HEADER) + "\n");
    return RunJobs(&run);
}

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

// The suite's panel password guards every command that reads or writes
// settings: from --password, else RPSETTINGS_PASSWORD, else asked on the
// console (never with --no-prompt, nor when standard input is no console).
int CheckPassword(const char* given, bool mayAsk) {
    LocalBlock<char> stored;
    if (!ReadStoredPassword(&stored)) {
        Err(ConsoleText(Text(IDS_REGISTRY_NOT_OPEN)));
        return kExitUsage;
    }
    if (stored.get()[0] == '\0') return kExitOk;
    std::string typed;
    if (!given) {  // the environment holds Unicode: taken whole, then into the ANSI code page
        const DWORD size = GetEnvironmentVariableW(L"RPSETTINGS_PASSWORD", nullptr, 0);
        std::vector<wchar_t> wide(size ? size : 1);
        if (size && GetEnvironmentVariableW(L"RPSETTINGS_PASSWORD", wide.data(), size) == size - 1) {
            const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
            typed.assign(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
            WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, &typed[0], bytes, nullptr, nullptr);
            typed.resize(typed.size() - 1);
            given = typed.c_str();
        }
    }
    if (!given && mayAsk && AskPassword(&typed)) given = typed.c_str();
    if (PasswordMatches(given, stored.get())) return kExitOk;
    Err(Text(given ? IDS_RPS_WRONG_PASSWORD : IDS_RPS_PASSWORD_NEEDED));
    return kExitUsage;
}

// ---- The commands ----

constexpr unsigned Opt(OptionId id) { return 1u << id; }
constexpr unsigned kAnyCommand = Opt(OptPassword) | Opt(OptHelp) | Opt(OptTimeout) | Opt(OptJobs) | Opt(OptNoPrompt);

// What follows a command's fixed operands.
enum Rest { NoRest, Printers, Names };  // nothing; one printer or more (none with --all); any number
// A command: its name, the operands before the rest, what the rest is, the
// options it takes besides those of every command, whether it reaches
// printers (the password and the discovery first), and what runs it.
struct CommandRow {
    const char* name;
    size_t fixed;
    Rest rest;
    unsigned options;
    bool printers;
    int (*run)(const Options& options);
};
int CommandShow(const Options& options) { return CommandShowOrSave(options, nullptr); }
int CommandCheck(const Options& options) { return CommandApplyOrCheck(options, JobsCheck); }
int CommandApply(const Options& options) { return CommandApplyOrCheck(options, JobsApply); }
constexpr CommandRow kCommands[] = {
    {"list", 0, NoRest, Opt(OptJson), false, CommandList},
    {"show", 1, NoRest, Opt(OptJson), true, CommandShow},
    {"save", 1, Printers, Opt(OptAll) | Opt(OptOverwrite), true, CommandSave},
    {"diff", 2, NoRest, Opt(OptJson) | Opt(OptFile) | Opt(OptPrinter), true, CommandDiff},
    {"check", 1, Printers, Opt(OptAll) | Opt(OptJson) | Opt(OptCsv), true, CommandCheck},
    {"apply", 1, Printers, Opt(OptAll) | Opt(OptJson) | Opt(OptCsv) | Opt(OptDryRun) | Opt(OptBackup) | Opt(OptLog),
     true, CommandApply},
    {"restore", 1, Printers,
     Opt(OptAll) | Opt(OptJson) | Opt(OptCsv) | Opt(OptDryRun) | Opt(OptLog) | Opt(OptBefore) | Opt(OptList), true,
     CommandRestore},
    {"merge", 1, Names, Opt(OptCsv) | Opt(OptChanges), false, CommandMerge},
};
// restore --list DIR takes nothing else.
constexpr CommandRow kRestoreList = {"restore", 1, NoRest, Opt(OptList), false, CommandRestoreList};

// The command line's command, or null after saying what is wrong with it.
const CommandRow* CheckCommand(const Options& options) {
    const std::string word = options.args.empty() ? "" : options.args[0];
    const CommandRow* row = nullptr;
    std::vector<std::string> names;
    for (const CommandRow& candidate : kCommands) {
        names.push_back(candidate.name);
        if (word == candidate.name) row = &candidate;
    }
    if (row && options.list && word == "restore") row = &kRestoreList;
    if (!row) {
        if (options.args.empty()) return nullptr;
        if (word.empty()) {
            Err(Text(IDS_RPS_EMPTY_COMMAND));
            return nullptr;
        }
        Err(Compose(IDS_RPS_UNKNOWN_COMMAND, word.c_str()));
        const std::string nearest = NearestName(word, names);
        if (!nearest.empty()) Err(Compose(IDS_RPS_DID_YOU_MEAN, nearest.c_str()));
        return nullptr;
    }
    for (const OptionRow& option : kOptions) {
        if (!(options.used & Opt(option.id)) || ((row->options | kAnyCommand) & Opt(option.id))) continue;
        Err(Compose(IDS_RPS_OPTION_NOT_FOR, option.name, row == &kRestoreList ? "restore --list" : row->name));
        return nullptr;
    }
    if (options.asFile && options.asPrinter) {
        Err(Compose(IDS_RPS_OPTION_NOT_FOR, "--printer", "--file"));
        return nullptr;
    }
    const size_t operands = options.args.size() - 1;
    const size_t least = row->fixed + (row->rest == Printers && !options.all ? 1 : 0);
    const bool more = row->rest == Names || (row->rest == Printers && !options.all);
    if (operands < least) {
        Err(Compose(IDS_RPS_MISSING_OPERAND, word.c_str()));
        return nullptr;
    }
    if (operands > least && !more) {
        Err(Compose(IDS_RPS_EXTRA_OPERAND, word.c_str(), options.args[least + 1].c_str()));
        return nullptr;
    }
    return row;
}

int Run(int argc, char** argv) {
    Options options;
    if (int code = ParseOptions(argc, argv, &options)) {
        Err(Usage());
        return code;
    }
    if (options.help) {
        Out(Usage());
        return kExitOk;
    }
    const CommandRow* row = CheckCommand(options);
    if (!row) {
        Err(options.args.empty() ? Usage() : Text(IDS_RPS_SEE_HELP));
        return kExitUsage;
    }
    if (row->printers) {
        if (int code = CheckPassword(options.password, !options.noPrompt)) return code;
        if (int code = Discover()) return code;
    }
    return row->run(options);
}

}  // namespace

int main(int argc, char** argv) {
    SetAppInstance(GetModuleHandleA(nullptr));
    SetMessageBoxHook(ConsoleMessageBox);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const int code = Run(argc, argv);
    FreePrinterList(PrinterList);
    PrinterList = nullptr;
    std::fflush(stdout);
    return code;
}
