// rpsettings: saves the panel settings of a served printer into a settings
// file, compares printers and files, and applies a file to many printers at
// once. It reaches the printers through the same SRM and the same settings
// core as the panel: discovery, the status evaluation, the claim of one panel
// per printer, the password, the codec and the update command are the panel's.
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "codec.h"
#include "messages.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "settings_file_pure.h"
#include "status.h"
#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitDiffers = 1;    // diff: something differs; apply: a printer failed
constexpr int kExitUsage = 2;      // arguments, the file or the password
constexpr int kExitPrinter = 3;    // a printer could not be read
constexpr int kMaxWorkers = 32;    // printers handled at once; each mostly waits on its device
constexpr DWORD kMaxFileSize = 1 << 20;

constexpr UINT kTextExtStatusFailed = 110;
constexpr UINT kTextStatusFailed = 84;
constexpr UINT kTextAuthorityFailed = 86;

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

// Line breaks of the panel's two-line texts become blanks on one line.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

void Out(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
void Err(const std::string& text) {
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

// The panel's message boxes (discovery and the like) are lines on the console here.
int ConsoleMessageBox(HWND, LPCSTR text, LPCSTR, UINT) {
    Err(OneLine(TextOrEmpty(text)));
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

// ---- One printer ----

struct PrinterSettings {
    SettingsRecord record;
    CustomFeedTable custom;
};

// Reads the three status items and evaluates them as the panel does. Empty
// when they were read; else the panel's text for the item that failed.
std::string EvaluatePrinter(DWORD handle, StatusVerdict* verdict) {
    const DWORD unread = static_cast<DWORD>(-1);
    DWORD ext = unread, words[3] = {unread, unread, unread}, authority = unread, length = 0;
    if (GetPrinterStatusA(handle, SRM_ITEM_PRINTEREXTSTATUS, &ext, kSrmSizePrinterExtStatus, &length) != 0 ||
        ext == unread)
        return Text(kTextExtStatusFailed);
    if (GetPrinterStatusA(handle, SRM_ITEM_PRINTERSTATUS, words, kSrmSizePrinterStatus, &length) != 0 ||
        words[1] == unread || words[2] == unread)
        return Text(kTextStatusFailed);
    if (GetPrinterStatusA(handle, SRM_ITEM_USERAUTHORITY, &authority, kSrmSizeUserAuthority, &length) != 0)
        return Text(kTextAuthorityFailed);
    *verdict = EvaluateStatusBits(ext, reinterpret_cast<const uint32_t*>(words), authority);
    return "";
}

std::string StatusTextOf(const StatusVerdict& verdict) {
    char text[kTextSize];
    LoadStatusTextOf(verdict.textId, text, kTextSize);
    return OneLine(text);
}

// Reads the settings block into *settings; 1 when the printer gave a loaded record.
int ReadSettings(DWORD handle, PrinterSettings* settings) {
    uint8_t block[kSettingsBlockSize] = {};
    DWORD length = 0;
    InvalidateSettings(&settings->record);
    if (GetPrinterStatusA(handle, SRM_ITEM_SETTINGS, block, kSrmSizeSettings, &length) != 0) return 0;
    return DecodeSettingsBlock(block, &settings->record, &settings->custom) && SwitchBytesLoaded(&settings->record);
}

// Opens the printer and checks, as the panel does, that its settings may be
// read now (and, with forUpdate, updated). Empty when so, else the reason.
std::string OpenPrinter(const char* name, bool forUpdate, SrmSession* session) {
    if (session->Open(name) != 0 || session->get() == 0) return Text(IDS_RPS_CANNOT_OPEN);
    StatusVerdict verdict = {};
    const std::string failure = EvaluatePrinter(session->get(), &verdict);
    if (!failure.empty()) return failure;
    if (!verdict.usable || !verdict.readAllowed) return StatusTextOf(verdict);
    if (forUpdate && (!verdict.updateAllowed || verdict.printerNotReady)) return StatusTextOf(verdict);
    return "";
}

// Opens the printer and reads its settings. Empty on success, else the reason.
std::string ReadPrinter(const char* name, PrinterSettings* settings) {
    SrmSession session;
    const std::string failure = OpenPrinter(name, false, &session);
    if (!failure.empty()) return failure;
    if (!ReadSettings(session.get(), settings)) return Text(IDS_READ_FAILED);
    return "";
}

// "key: this -> that  (name)" of one setting.
std::string DifferenceLine(int index, const PrinterSettings& mine, const SettingsRecord& theirs,
                           const CustomFeedTable& theirCustom, ControlTexts* texts) {
    return SettingFullKey(index) + ": " +
           SettingDisplay(index, mine.record, mine.custom, ControlTexts::Resolve, texts) + " -> " +
           SettingDisplay(index, theirs, theirCustom, ControlTexts::Resolve, texts) + "  (" + SettingName(index) +
           ")\n";
}

// ---- Applying a file ----

struct ApplyJob {
    std::string printer;
    bool ok = false;
    std::string failure;
    PrinterSettings before = {};
    SettingsRecord after = {};
};

struct ApplyRun {
    const ParsedSettings* parsed;
    bool dryRun;
    std::vector<ApplyJob>* jobs;
    volatile LONG next;
};

std::string MergeFailure(const MergeProblem& problem) {
    switch (problem.error) {
    case MergeNoCustomFeed: return Compose(IDS_RPS_NO_CUSTOM_FEED, SettingFullKey(problem.setting).c_str());
    case MergeFormatCheck: {  // "formatN: " and the format dialog's own message
        const std::string key = SettingFullKey(problem.setting);
        return key.substr(0, key.find('.')) + ": " + Text(problem.messageId);
    }
    case MergeSwitchFF: return Text(IDS_RPS_SWITCH_FF);
    case MergeOk: break;
    }
    return "";
}

// One printer: usable and updatable, not held by a panel, read, merged,
// written synchronously and read back. Empty on success, else the reason.
std::string ApplyToPrinter(const ParsedSettings& parsed, bool dryRun, ApplyJob* job) {
    SrmSession session;
    std::string failure = OpenPrinter(job->printer.c_str(), true, &session);
    if (!failure.empty()) return failure;

    // The panel's claim, held while this writes: a panel that starts meanwhile stays out.
    HANDLE claim = nullptr;
    switch (TryClaimPrinter(job->printer.c_str(), &claim)) {
    case ClaimHeld: return Text(IDS_ALREADY_RUNNING);
    case ClaimFailed: return Text(IDS_MAPPING_FAILED);
    case ClaimTaken: break;
    }
    ScopedHandle claimOwner(claim);

    // This read is also the update procedure's pre-read: a custom feed row
    // writes back the value the printer reports now.
    if (!ReadSettings(session.get(), &job->before)) return Text(IDS_READ_FAILED);
    job->after = job->before.record;
    failure = MergeFailure(MergeSettings(parsed, job->before.custom, &job->after));
    if (!failure.empty() || dryRun) return failure;

    uint8_t block[kSettingsBlockSize];
    uint8_t area[kCommandAreaSize];
    EncodeSettings(job->after, job->before.custom, block);
    BuildUpdateCommand(block, area);
    if (SetPrinterStatusDirectA(session.get(), SRM_ITEM_SETTINGS, area, kCommandAreaSize) != 0)
        return Text(IDS_WRITE_FAILED);

    PrinterSettings now = {};
    if (!ReadSettings(session.get(), &now)) return Text(IDS_READ_FAILED);
    for (int i = 0; i < SettingCount(); ++i) {
        if (parsed.present[i] && SettingDiffers(i, job->after, job->before.custom, now.record, now.custom))
            return Compose(IDS_RPS_VERIFY_FAILED, SettingFullKey(i).c_str());
    }
    return "";
}

DWORD WINAPI ApplyWorker(void* parameter) {
    ApplyRun* run = static_cast<ApplyRun*>(parameter);
    for (;;) {
        const LONG index = InterlockedIncrement(&run->next) - 1;
        if (index >= static_cast<LONG>(run->jobs->size())) return 0;
        ApplyJob& job = (*run->jobs)[static_cast<size_t>(index)];
        job.failure = ApplyToPrinter(*run->parsed, run->dryRun, &job);
        job.ok = job.failure.empty();
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

// "  key: old -> new  (name)" for each setting of the file the printer changes.
std::string ChangeLines(const ParsedSettings& parsed, const ApplyJob& job, ControlTexts* texts) {
    std::string lines;
    for (int i = 0; i < SettingCount(); ++i) {
        if (!parsed.present[i] ||
            !SettingDiffers(i, job.before.record, job.before.custom, job.after, job.before.custom))
            continue;
        lines += "  " + DifferenceLine(i, job.before, job.after, job.before.custom, texts);
    }
    return lines;
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

std::string ModelName() { return Text(IDS_MODEL_NAME); }

// Reads and checks a settings file; kExitOk, or kExitUsage after the message.
int LoadSettingsFile(const char* path, ParsedSettings* parsed) {
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        Err(Compose(IDS_RPS_CANNOT_READ_FILE, path));
        return kExitUsage;
    }
    const FileProblem problem = ReadSettingsFile(text.data(), text.size(), ModelName().c_str(), parsed);
    if (problem.error != FileOk) {
        static const UINT kReasons[] = {0,
                                        IDS_RPS_BAD_LINE,
                                        IDS_RPS_UNKNOWN_SECTION,
                                        IDS_RPS_UNKNOWN_KEY,
                                        IDS_RPS_REPEATED_KEY,
                                        IDS_RPS_BAD_VALUE,
                                        IDS_RPS_OUT_OF_RANGE,
                                        IDS_RPS_WRONG_MODEL,
                                        IDS_RPS_WRONG_VERSION,
                                        IDS_RPS_MISSING_HEADER};
        Err(Compose(IDS_RPS_FILE_LINE, path, problem.line, Text(kReasons[problem.error]).c_str()));
        return kExitUsage;
    }
    if (parsed->count == 0) {
        Err(Text(IDS_RPS_FILE_NO_SETTINGS));
        return kExitUsage;
    }
    return kExitOk;
}

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- Commands ----

int ReadOrReport(const char* printer, PrinterSettings* settings) {
    const std::string failure = ReadPrinter(printer, settings);
    if (failure.empty()) return kExitOk;
    Err(std::string(printer) + ": " + failure);
    return kExitPrinter;
}

int CommandList() {
    if (DiscoverPrinters() <= 0) {
        Err(Text(IDS_RPS_NO_PRINTERS));
        return kExitPrinter;
    }
    static const UINT kLabels[3] = {IDS_STATUS_ONLINE, IDS_STATUS_OFFLINE, IDS_STATUS_UNKNOWN};
    for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next) {
        Out(std::string(TextOrEmpty(entry->name)) + "\t" + Text(kLabels[ReadStatusLabel(entry->name)]) + "\t" +
            TextOrEmpty(entry->destination) + "\n");
    }
    return kExitOk;
}

int CommandShow(const char* printer) {
    PrinterSettings settings;
    if (int code = ReadOrReport(printer, &settings)) return code;
    ControlTexts texts;
    for (int i = 0; i < SettingCount(); ++i) {
        Out(SettingFullKey(i) + "=" + SettingValueText(i, GetSettingValue(i, settings.record)) + "\t" +
            SettingName(i) + "\t" +
            SettingDisplay(i, settings.record, settings.custom, ControlTexts::Resolve, &texts) + "\n");
    }
    return kExitOk;
}

int CommandSave(const char* printer, const char* path) {
    PrinterSettings settings;
    if (int code = ReadOrReport(printer, &settings)) return code;
    ControlTexts texts;
    int skipped = 0;
    const std::string text = WriteSettingsFile(settings.record, settings.custom, ModelName().c_str(),
                                               ControlTexts::Resolve, &texts, &skipped);
    if (!WriteWholeFile(path, text)) {
        Err(Compose(IDS_RPS_CANNOT_WRITE_FILE, path));
        return kExitUsage;
    }
    if (skipped) Err(Compose(IDS_RPS_NOT_SAVED, printer, skipped));
    Out(Compose(IDS_RPS_SAVED, printer, path) + "\n");
    return kExitOk;
}

int CommandDiff(const char* printer, const char* other) {
    PrinterSettings mine;
    PrinterSettings theirs;
    ParsedSettings parsed;
    const bool file = IsFile(other);
    if (file) {
        if (int code = LoadSettingsFile(other, &parsed)) return code;
    }
    if (int code = ReadOrReport(printer, &mine)) return code;
    if (file) {
        theirs = mine;
        for (int i = 0; i < SettingCount(); ++i)
            if (parsed.present[i]) SetSettingValue(i, &theirs.record, parsed.value[i]);
    } else if (int code = ReadOrReport(other, &theirs)) {
        return code;
    }
    ControlTexts texts;
    int differences = 0;
    for (int i = 0; i < SettingCount(); ++i) {
        if (file && !parsed.present[i]) continue;
        if (!SettingDiffers(i, mine.record, mine.custom, theirs.record, theirs.custom)) continue;
        ++differences;
        Out(DifferenceLine(i, mine, theirs.record, theirs.custom, &texts));
    }
    return differences ? kExitDiffers : kExitOk;
}

int CommandApply(const std::vector<std::string>& args) {
    bool all = false;
    bool dryRun = false;
    std::vector<std::string> printers;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--all") all = true;
        else if (args[i] == "--dry-run") dryRun = true;
        else printers.push_back(args[i]);
    }
    if (args.empty() || all == !printers.empty()) {
        Err(Usage());
        return kExitUsage;
    }
    ParsedSettings parsed;
    if (int code = LoadSettingsFile(args[0].c_str(), &parsed)) return code;
    if (all) {
        if (DiscoverPrinters() <= 0) {
            Err(Text(IDS_RPS_NO_PRINTERS));
            return kExitPrinter;
        }
        for (const PrinterEntry* entry = PrinterList; entry; entry = entry->next)
            printers.push_back(TextOrEmpty(entry->name));
    }

    std::vector<ApplyJob> jobs(printers.size());
    for (size_t i = 0; i < printers.size(); ++i) jobs[i].printer = printers[i];
    ApplyRun run = {&parsed, dryRun, &jobs, 0};
    RunJobs(&run);

    ControlTexts texts;
    int failed = 0;
    for (const ApplyJob& job : jobs) {
        if (!job.ok) {
            ++failed;
            Out(Compose(IDS_RPS_FAILED, job.printer.c_str(), job.failure.c_str()) + "\n");
            continue;
        }
        const std::string changes = ChangeLines(parsed, job, &texts);
        if (dryRun && changes.empty()) Out(Compose(IDS_RPS_NO_CHANGE, job.printer.c_str()) + "\n");
        else if (dryRun) Out(Compose(IDS_RPS_DRY_RUN, job.printer.c_str()) + "\n" + changes);
        else Out(Compose(IDS_RPS_APPLIED, job.printer.c_str()) + "\n");
    }
    return failed ? kExitDiffers : kExitOk;
}

// The suite's panel password guards every command that reads or writes settings.
int CheckPassword(const char* given) {
    LocalBlock<char> stored;
    if (!ReadStoredPassword(&stored)) {
        Err(Text(IDS_REGISTRY_NOT_OPEN));
        return kExitUsage;
    }
    if (stored.get()[0] == '\0' || PasswordMatches(given, stored.get())) return kExitOk;
    Err(Text(given ? IDS_RPS_WRONG_PASSWORD : IDS_RPS_PASSWORD_NEEDED));
    return kExitUsage;
}

int Run(int argc, char** argv) {
    std::vector<std::string> args;
    const char* password = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            Out(Usage());
            return kExitOk;
        }
        if (arg != "--password") {
            args.push_back(arg);
        } else if (i + 1 < argc) {
            password = argv[++i];
        } else {  // the switch without its text
            args.clear();
            break;
        }
    }
    if (args.empty()) {
        Out(Usage());
        return kExitUsage;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "list" && args.empty()) return CommandList();

    const bool known = (command == "show" && args.size() == 1) || (command == "save" && args.size() == 2) ||
                       (command == "diff" && args.size() == 2) || (command == "apply" && args.size() >= 2);
    if (!known) {
        Err(Usage());
        return kExitUsage;
    }
    if (int code = CheckPassword(password)) return code;
    if (command == "show") return CommandShow(args[0].c_str());
    if (command == "save") return CommandSave(args[0].c_str(), args[1].c_str());
    if (command == "diff") return CommandDiff(args[0].c_str(), args[1].c_str());
    return CommandApply(args);
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
