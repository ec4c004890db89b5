// rpsettings: saves the panel settings of a served printer into a settings
// file, compares printers and files, and applies a file to many printers at
// once. It reaches the printers through the same SRM and the same settings
// core as the panel: discovery, the status items and their evaluation, the
// claim of one panel per printer, the password, the codec and the update
// command are the panel's. It serves exactly the printers the panel serves.
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "apply_plan_pure.h"
#include "codec.h"
#include "messages.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "settings_file_pure.h"
#include "srm/key_name.h"
#include "status.h"
#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitDiffers = 1;      // diff: something differs; apply: a printer was not set
constexpr int kExitUsage = 2;        // arguments, the file or the password
constexpr int kExitPrinter = 3;      // a printer could not be read
constexpr int kExitNotVerified = 4;  // apply: written, but the read-back could not be made
constexpr int kMaxWorkers = 32;      // printers handled at once; each mostly waits on its device
constexpr int kReadAttempts = 3;     // as the panel: a read that gives no settings is tried again
constexpr DWORD kMaxFileSize = 1 << 20;
constexpr char kFilePort[] = "FILE:";

// ---- Texts and output ----

std::string Text(UINT id) {
    char text[kTextSize];
    LoadText(id, text, kTextSize);
    return text;
}

std::string Usage() {
    char text[2048];
    LoadText(IDS_RPS_USAGE, text, sizeof text);
    return text;
}

// A text of the string table used as a format.
std::string Compose(UINT id, ...) {
    char format[kTextSize];
    LoadText(id, format, kTextSize);
    char text[2 * kTextSize];
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

void Out(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
void Err(const std::string& text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

// The panel's message boxes (discovery and the like) are lines on the console here.
int ConsoleMessageBox(HWND, LPCSTR text, LPCSTR, UINT) {
    const std::string line = ConsoleText(TextOrEmpty(text));
    if (!line.empty()) Err(line);
    return IDOK;
}

// ---- Texts of the pages' controls ----

INT_PTR CALLBACK SilentDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The captions of the pages' radios and check boxes, read from the program's
// own dialog templates, created hidden once each (user-interface thread only).
class ControlTexts {
public:
    ~ControlTexts() {
        for (auto& dialog : dialogs_)
            if (dialog.second) DestroyWindow(dialog.second);
        if (parent_) DestroyWindow(parent_);
    }
    static std::string Resolve(void* self, int templateId, int textRef) {
        return static_cast<ControlTexts*>(self)->Get(templateId, textRef);
    }

private:
    std::string Get(int templateId, int textRef) {
        if (textRef == kTextOn) return Text(IDS_RPS_ON);
        if (textRef == kTextOff) return Text(IDS_RPS_OFF);
        char text[kTextSize] = "";
        if (HWND dialog = Dialog(templateId)) GetDlgItemTextA(dialog, textRef, text, kTextSize);
        return WithoutAccelerator(text);
    }
    HWND Dialog(int templateId) {
        auto found = dialogs_.find(templateId);
        if (found != dialogs_.end()) return found->second;
        if (!parent_)
            parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, AppInstance, nullptr);
        HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(templateId), parent_, SilentDialogProc, 0);
        dialogs_[templateId] = dialog;
        return dialog;
    }
    // "センタ(&N)" shows as "センタ": the mnemonic and the blanks after the text go.
    static std::string WithoutAccelerator(const char* caption) {
        std::string text;
        for (const char* p = caption; *p; ++p) {
            if (p[0] == '(' && p[1] == '&' && p[2] && p[3] == ')') {
                p += 3;
            } else if (*p == '&') {
                if (p[1] == '&') text += *++p;
            } else {
                text += *p;
            }
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }

    HWND parent_ = nullptr;
    std::map<int, HWND> dialogs_;
};

// ---- Options ----

enum OptionId { OptPassword, OptAll, OptDryRun, OptFile, OptPrinter, OptHelp };
struct OptionRow {
    const char* name;
    OptionId id;
    bool takesValue;
};
constexpr OptionRow kOptions[] = {
    {"--password", OptPassword, true}, {"--all", OptAll, false},     {"--dry-run", OptDryRun, false},
    {"--file", OptFile, false},        {"--printer", OptPrinter, false}, {"--help", OptHelp, false},
    {"-h", OptHelp, false},            {"/?", OptHelp, false},
};

struct Options {
    std::vector<std::string> args;  // the command and its operands
    const char* password = nullptr;
    bool all = false;
    bool dryRun = false;
    bool asFile = false;
    bool asPrinter = false;
    bool help = false;
};

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
        if (!row || (row->takesValue && i + 1 >= argc)) {
            Err(Compose(IDS_RPS_UNKNOWN_OPTION, arg.c_str()));
            return kExitUsage;
        }
        switch (row->id) {
        case OptPassword: options->password = argv[++i]; break;
        case OptAll: options->all = true; break;
        case OptDryRun: options->dryRun = true; break;
        case OptFile: options->asFile = true; break;
        case OptPrinter: options->asPrinter = true; break;
        case OptHelp: options->help = true; break;
        }
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
    if (TextEquals(printer.destination, kFilePort)) return ConsoleText(Text(IDS_FILE_PORT));
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
            claim_.reset(new ScopedHandle(mapping));
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
    std::unique_ptr<ScopedHandle> claim_;
    std::unique_ptr<ScopedHandle> mark_;
};

// ---- Applying a file ----

enum Outcome { Applied, Unchanged, WouldChange, Refused, Failed, NotVerified };

struct ApplyJob {
    const PrinterEntry* printer = nullptr;
    Outcome outcome = Failed;
    std::string reason;
    bool readable = true;
    PrinterSettings current = {};  // as read before the write
    PrinterSettings after = {};    // as read back after it
    bool readBackDiffers = false;
    ApplyPlan plan = {};
};

struct ApplyRun {
    const ParsedSettings* parsed;
    bool dryRun;
    std::vector<ApplyJob>* jobs;
    volatile LONG next;
};

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

// One printer: usable and updatable, not held by a panel, read, planned,
// written synchronously and read back.
void ApplyToPrinter(const ParsedSettings& parsed, bool dryRun, ApplyJob* job) {
    job->outcome = Refused;
    SrmSession session;
    StatusVerdict verdict = {};
    job->reason = OpenPrinter(*job->printer, &session, &verdict);
    if (!job->reason.empty()) {
        if (!TextEquals(job->printer->destination, kFilePort)) job->outcome = Failed;
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
    job->plan = PlanApply(parsed, job->readable ? &job->current : nullptr);
    if (job->plan.outcome == PlanUnchanged) {
        job->outcome = Unchanged;
        return;
    }
    if (job->plan.outcome == PlanRefused) {
        job->reason = RefusalText(job->plan);
        return;
    }
    if (dryRun) {
        job->outcome = WouldChange;
        return;
    }
    uint8_t area[kCommandAreaSize];
    CopyMemory(area, job->plan.area, sizeof area);
    if (SetPrinterStatusDirectA(session.get(), SRM_ITEM_SETTINGS, area, kCommandAreaSize) != 0) {
        job->outcome = Failed;
        job->reason = Text(IDS_WRITE_FAILED);
        return;
    }

    job->outcome = NotVerified;
    if (!job->readable) {
        job->reason = StatusTextOf(verdict);
    } else if (!ReadSettings(session.get(), &job->after, block)) {
        job->reason = Text(IDS_READ_FAILED);
    } else if (!VerifyApplied(job->plan, job->after).empty()) {
        job->outcome = Failed;
        job->readBackDiffers = true;
        job->reason = Text(IDS_RPS_VERIFY_FAILED);
    } else {
        job->outcome = Applied;
    }
}

DWORD WINAPI ApplyWorker(void* parameter) {
    ApplyRun* run = static_cast<ApplyRun*>(parameter);
    for (;;) {
        const LONG index = InterlockedIncrement(&run->next) - 1;
        if (index >= static_cast<LONG>(run->jobs->size())) return 0;
        ApplyToPrinter(*run->parsed, run->dryRun, &(*run->jobs)[static_cast<size_t>(index)]);
    }
}

// Every job, by a bounded pool of threads; returns when all are done.
void RunJobs(ApplyRun* run) {
    const size_t workers = run->jobs->size() < kMaxWorkers ? run->jobs->size() : kMaxWorkers;
    std::vector<std::unique_ptr<ScopedHandle>> threads;
    for (size_t i = 0; i < workers; ++i) {
        std::unique_ptr<ScopedHandle> thread(new ScopedHandle(CreateThread(nullptr, 0, ApplyWorker, run, 0, nullptr)));
        if (thread->get()) threads.push_back(std::move(thread));
    }
    if (threads.empty()) ApplyWorker(run);  // no thread to be had: this one does it all
    for (const auto& thread : threads) WaitForSingleObject(thread->get(), INFINITE);
}

std::string ChangeLines(const std::vector<SettingChange>& changes, const PrinterSettings& from,
                        const PrinterSettings& to, ControlTexts* texts) {
    std::string lines;
    for (const SettingChange& change : changes) lines += "  " + ChangeLine(change.setting, from, to, texts);
    return lines;
}

// What happened to one printer, as lines.
std::string Report(const ApplyJob& job, ControlTexts* texts) {
    const char* name = job.printer->name;
    const ApplyPlan& plan = job.plan;
    switch (job.outcome) {
    case Applied: return Compose(IDS_RPS_APPLIED, name) + "\n";
    case Unchanged: return Compose(IDS_RPS_NO_CHANGE, name) + "\n";
    case WouldChange:
        return Compose(job.readable ? IDS_RPS_DRY_RUN : IDS_RPS_UNREADABLE_DRY_RUN, name) + "\n" +
               ChangeLines(plan.changes, job.current, plan.predicted, texts);
    case Refused: {
        std::string lines = Compose(IDS_RPS_REFUSED, name, job.reason.c_str()) + "\n" +
                            ChangeLines(plan.notCarried, plan.target, plan.predicted, texts);
        if (plan.refusal == RefuseNotCarried && !plan.collateral.empty())
            lines += "  " + Text(IDS_RPS_COLLATERAL) + "\n";
        return lines + ChangeLines(plan.collateral, job.current, plan.predicted, texts);
    }
    case Failed:
        return Compose(IDS_RPS_FAILED, name, job.reason.c_str()) + "\n" +
               (job.readBackDiffers
                    ? ChangeLines(VerifyApplied(plan, job.after), plan.predicted, job.after, texts)
                    : std::string());
    case NotVerified: return Compose(IDS_RPS_NOT_VERIFIED, name, job.reason.c_str()) + "\n";
    }
    return "";
}

// ---- Files ----

int ReadWholeFile(const char* path, std::string* text) {
    ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return 0;
    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxFileSize) return 0;
    text->assign(size, '\0');
    DWORD read = 0;
    return size == 0 || (ReadFile(file.get(), &(*text)[0], size, &read, nullptr) && read == size);
}

int WriteWholeFile(const char* path, const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ScopedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    return WriteFile(file.get(), crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr) &&
           written == crlf.size();
}

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
                                    IDS_RPS_BAD_BLOCK};
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
        Err(Text(IDS_RPS_FILE_NO_SETTINGS));
        return kExitUsage;
    }
    return kExitOk;
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

// Each printer: name, status word, destination and what the panel would allow now.
int CommandList() {
    if (int code = Discover()) return code;
    static const UINT kLabels[3] = {IDS_STATUS_ONLINE, IDS_STATUS_OFFLINE, IDS_STATUS_UNKNOWN};
    for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        SrmSession session;
        StatusVerdict verdict = {};
        std::string allowed = OpenPrinter(*entry, &session, &verdict);
        if (allowed.empty()) allowed = StatusTextOf(verdict);
        Out(std::string(TextOrEmpty(entry->name)) + "\t" + Text(kLabels[ReadStatusLabel(entry->name)]) + "\t" +
            TextOrEmpty(entry->destination) + "\t" + allowed + "\n");
    }
    return kExitOk;
}

// show prints what save writes: a settings file.
int CommandSave(const std::string& name, const char* path) {
    const PrinterEntry* printer = nullptr;
    if (int code = OnePrinter(name, &printer)) return code;
    PrinterSettings settings;
    uint8_t block[kSettingsBlockSize];
    if (int code = ReadOrReport(*printer, &settings, block)) return code;
    ControlTexts texts;
    const std::string text = WriteSettingsFile(settings, block, ModelName().c_str(), ControlTexts::Resolve, &texts);
    if (!path) {
        Out(text);
        return kExitOk;
    }
    if (!WriteWholeFile(path, text)) {
        Err(Compose(IDS_RPS_CANNOT_WRITE_FILE, path));
        return kExitUsage;
    }
    Out(Compose(IDS_RPS_SAVED, printer->name, path) + "\n");
    return kExitOk;
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
    int differences = 0;
    for (int i = 0; i < SettingCount(); ++i) {
        if ((asFile && !FileNames(parsed, i)) || !SettingDiffers(i, settings, theirs)) continue;
        ++differences;
        Out(ChangeLine(i, settings, theirs, &texts));
    }
    return differences ? kExitDiffers : kExitOk;
}

int CommandApply(const Options& options) {
    const std::vector<std::string> names(options.args.begin() + 2, options.args.end());
    ParsedSettings parsed;
    if (int code = LoadSettingsFile(options.args[1].c_str(), &parsed)) return code;
    std::vector<const PrinterEntry*> printers;
    if (options.all) {
        for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) printers.push_back(entry);
    } else if (int code = ResolvePrinters(names, &printers)) {
        return code;
    }

    std::vector<ApplyJob> jobs(printers.size());
    for (size_t i = 0; i < printers.size(); ++i) jobs[i].printer = printers[i];
    ApplyRun run = {&parsed, options.dryRun, &jobs, 0};
    RunJobs(&run);

    ControlTexts texts;
    bool failed = false;
    bool unverified = false;
    for (const ApplyJob& job : jobs) {
        Out(Report(job, &texts));
        failed |= job.outcome == Refused || job.outcome == Failed;
        unverified |= job.outcome == NotVerified;
    }
    return failed ? kExitDiffers : unverified ? kExitNotVerified : kExitOk;
}

// The suite's panel password guards every command that reads or writes settings.
int CheckPassword(const char* given) {
    LocalBlock<char> stored;
    if (!ReadStoredPassword(&stored)) {
        Err(ConsoleText(Text(IDS_REGISTRY_NOT_OPEN)));
        return kExitUsage;
    }
    if (stored.get()[0] == '\0' || PasswordMatches(given, stored.get())) return kExitOk;
    Err(Text(given ? IDS_RPS_WRONG_PASSWORD : IDS_RPS_PASSWORD_NEEDED));
    return kExitUsage;
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
    const std::vector<std::string>& args = options.args;
    const std::string command = args.empty() ? "" : args[0];
    const size_t operands = args.empty() ? 0 : args.size() - 1;
    const bool known = (command == "list" && operands == 0) || (command == "show" && operands == 1) ||
                       (command == "save" && operands == 2) || (command == "diff" && operands == 2) ||
                       (command == "apply" && (options.all ? operands == 1 : operands >= 2));
    const bool misplaced = (options.all && command != "apply") || (options.dryRun && command != "apply") ||
                           ((options.asFile || options.asPrinter) && command != "diff") ||
                           (options.asFile && options.asPrinter);
    if (!known || misplaced) {
        Err(Usage());
        return kExitUsage;
    }
    if (command == "list") return CommandList();
    if (int code = CheckPassword(options.password)) return code;
    if (int code = Discover()) return code;
    if (command == "show") return CommandSave(args[1], nullptr);
    if (command == "save") return CommandSave(args[1], args[2].c_str());
    if (command == "diff") return CommandDiff(options);
    return CommandApply(options);
}

}  // namespace

int main(int argc, char** argv) {
    AppInstance = GetModuleHandleA(nullptr);
    SetMessageBoxHook(ConsoleMessageBox);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const int code = Run(argc, argv);
    FreePrinterList(PrinterList);
    PrinterList = nullptr;
    std::fflush(stdout);
    return code;
}
