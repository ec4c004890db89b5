#include "support_srm.h"

#include <strsafe.h>

#include <cstring>

#include "codec.h"
#include "settings.h"

namespace {

constexpr DWORD kSrmctlTimeoutMs = 20000;
constexpr UINT kDrainMarker = WM_APP + 0x3FF0;
constexpr char kRecorderClass[] = "SrmTestMessageRecorder";

// One kernel handle, closed on destruction.
class ScopedHandle {
public:
    ScopedHandle() = default;
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE* Receive() { Reset(); return &handle_; }
    HANDLE Get() const { return handle_; }
    void Reset() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    // The usual rules: backslashes before a quote are doubled, quotes escaped.
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

// A program beside the test executable, unless the name is a full path.
std::string ToolPath(const char* program) {
    if (std::strchr(program, '\\')) return program;
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, ARRAYSIZE(path));
    if (length == 0 || length >= ARRAYSIZE(path)) return program;
    std::string directory(path, length);
    const size_t slash = directory.find_last_of("\\/");
    directory = slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
    return directory + program;
}

// Reads whatever the pipe holds without blocking.
void ReadAvailable(HANDLE pipe, std::string* output) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        char buffer[4096];
        DWORD read = 0;
        const DWORD wanted = available < sizeof buffer ? available : sizeof buffer;
        if (!ReadFile(pipe, buffer, wanted, &read, nullptr) || read == 0) return;
        output->append(buffer, read);
    }
}

}  // namespace

// ---- srmctl.exe ----

SrmctlResult RunSrmctl(const std::vector<std::string>& arguments) { return RunTool("srmctl.exe", arguments); }

SrmctlResult RunTool(const char* name, const std::vector<std::string>& arguments) {
    SrmctlResult result = {0xFFFFFFFF, std::string()};
    const std::string program = ToolPath(name);
    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    ScopedHandle readEnd;
    ScopedHandle writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0)) return result;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION process = {};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        result.output = "could not be started: " + program;
        return result;
    }
    ScopedHandle processHandle;
    *processHandle.Receive() = process.hProcess;
    CloseHandle(process.hThread);
    writeEnd.Reset();  // the child holds the only write end now

    const DWORD start = GetTickCount();
    for (;;) {
        ReadAvailable(readEnd.Get(), &result.output);
        const DWORD wait = WaitForSingleObject(processHandle.Get(), 20);
        if (wait == WAIT_OBJECT_0) break;
        if (GetTickCount() - start > kSrmctlTimeoutMs) {
            TerminateProcess(processHandle.Get(), 0xFFFFFFFF);
            WaitForSingleObject(processHandle.Get(), 5000);
            result.output += "\n(" + program + " did not end in time)";
            return result;
        }
    }
    ReadAvailable(readEnd.Get(), &result.output);
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    result.exitCode = exitCode;
    return result;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::vector<std::string> OutputLines(const std::string& output) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// ---- Simulated printers ----

std::string UniquePrinterName(const std::string& label) {
    static LONG counter = 0;
    char name[128];
    StringCchPrintfA(name, ARRAYSIZE(name), "%s-%lu-%ld", label.c_str(),
                     static_cast<unsigned long>(GetCurrentProcessId()), InterlockedIncrement(&counter));
    return name;
}

SimulatedPrinter::SimulatedPrinter(const std::string& label, SpoolerEntry spooler, const std::string& driver,
                                   const std::string& port, const std::string& detail)
    : name_(UniquePrinterName(label)) {
    addResult_ = SrmSimAddPrinter(name_.c_str(), port.c_str(), detail.c_str(),
                                  spooler == SpoolerEntry::Register ? driver.c_str() : nullptr);
    owned_ = addResult_ == 0;
}

SimulatedPrinter::SimulatedPrinter(AdoptTag, const std::string& name) : name_(name), owned_(true) {}

SimulatedPrinter SimulatedPrinter::Adopt(const std::string& name) { return SimulatedPrinter(AdoptTag{}, name); }

SimulatedPrinter::SimulatedPrinter(SimulatedPrinter&& other) noexcept
    : name_(std::move(other.name_)), addResult_(other.addResult_), owned_(other.owned_) {
    other.owned_ = false;
}

SimulatedPrinter::~SimulatedPrinter() {
    if (owned_) SrmSimRemovePrinter(name_.c_str());
}

DWORD SimulatedPrinter::SetExtStatus(DWORD value) const {
    return SrmSimSetItem(CName(), SRM_ITEM_PRINTEREXTSTATUS, &value, sizeof value);
}

DWORD SimulatedPrinter::SetStatus(DWORD s1, DWORD s2, DWORD s3) const {
    const DWORD words[3] = {s1, s2, s3};
    return SrmSimSetItem(CName(), SRM_ITEM_PRINTERSTATUS, words, sizeof words);
}

DWORD SimulatedPrinter::SetAuthority(DWORD value) const {
    return SrmSimSetItem(CName(), SRM_ITEM_USERAUTHORITY, &value, sizeof value);
}

DWORD SimulatedPrinter::SetReportedName(const std::string& name) const {
    char item[kSrmSizePrinterName] = {};
    if (FAILED(StringCchCopyA(item, ARRAYSIZE(item), name.c_str()))) return kSrmErrArgument;
    return SrmSimSetItem(CName(), SRM_ITEM_PRINTERNAME, item, sizeof item);
}

DWORD SimulatedPrinter::SetPort(const std::string& port, const std::string& detail) const {
    char item[kSrmSizePort] = {};
    if (FAILED(StringCchCopyA(item + kSrmPortTextOffset, kSrmPortTextSize, port.c_str())) ||
        FAILED(StringCchCopyA(item + kSrmPortDetailOffset, kSrmPortTextSize, detail.c_str()))) {
        return kSrmErrArgument;
    }
    return SrmSimSetItem(CName(), SRM_ITEM_PORT, item, sizeof item);
}

DWORD SimulatedPrinter::SetBlock(const uint8_t* block) const {
    return SrmSimSetItem(CName(), SRM_ITEM_SETTINGS, block, kSrmSizeSettings);
}

DWORD SimulatedPrinter::Fail(const char* function, DWORD count) const {
    return SrmSimSetFault(CName(), function, count);
}

DWORD SimulatedPrinter::SetWriteStatus(DWORD status) const { return SrmSimSetWriteStatus(CName(), status); }

DWORD SimulatedPrinter::SetReplyDelay(SrmReplyKind kind, DWORD milliseconds) const {
    return SrmSimSetReplyDelay(CName(), kind, milliseconds);
}

DWORD SimulatedPrinter::ClearLog() const { return SrmSimClearLog(CName()); }

std::vector<uint8_t> SimulatedPrinter::Item(const char* item, DWORD size) const {
    std::vector<uint8_t> data(size, 0);
    if (SrmSimGetItem(CName(), item, data.data(), size) != 0) data.clear();
    return data;
}

std::vector<uint8_t> SimulatedPrinter::Block() const { return Item(SRM_ITEM_SETTINGS, kSrmSizeSettings); }

std::vector<std::vector<uint8_t>> SimulatedPrinter::Log() const {
    std::vector<std::vector<uint8_t>> areas;
    DWORD needed = 0;
    DWORD result = SrmSimReadLog(CName(), nullptr, 0, &needed);
    if (result != kSrmErrBufferTooSmall) return areas;
    std::vector<uint8_t> log(needed);
    if (SrmSimReadLog(CName(), log.data(), needed, &needed) != 0) return areas;
    for (size_t offset = 0; offset + kSrmSizeSettings <= log.size(); offset += kSrmSizeSettings) {
        areas.emplace_back(log.begin() + offset, log.begin() + offset + kSrmSizeSettings);
    }
    return areas;
}

DWORD SimulatedPrinter::FaultCount(const char* function) const {
    DWORD count = 0;
    SrmSimGetFault(CName(), function, &count);
    return count;
}

std::vector<uint8_t> FactoryBlock() {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom;
    ClearCustomFeeds(&custom);
    std::vector<uint8_t> block(kSettingsBlockSize);
    EncodeSettings(record, custom, block.data());
    block[0] = 1;
    block[1] = 4;
    return block;
}

// ---- SRM handle ----

SrmHandle::SrmHandle(const std::string& printer) {
    char user[256] = "tester";
    openResult_ = OpenManagerExA(printer.c_str(), user, kSrmAccess, &handle_);
    if (openResult_ != 0) handle_ = 0;
}

SrmHandle::~SrmHandle() {
    if (handle_ != 0) CloseManager(handle_);
}

DWORD SrmHandle::Close() {
    const DWORD result = CloseManager(handle_);
    if (result == 0) handle_ = 0;
    return result;
}

// ---- Messages ----

MessageRecorder::MessageRecorder() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    RegisterClassA(&windowClass);  // fails harmlessly when registered already
    window_ = CreateWindowExA(0, kRecorderClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ != nullptr) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageRecorder::~MessageRecorder() {
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK MessageRecorder::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageRecorder* recorder = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (recorder != nullptr && message >= WM_USER) {
        recorder->entries_.push_back({message, wParam, lParam, GetTickCount()});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int MessageRecorder::Count(UINT message) const {
    int count = 0;
    for (const Entry& entry : entries_) {
        if (entry.message == message) ++count;
    }
    return count;
}

bool MessageRecorder::WaitFor(UINT message, DWORD timeoutMs, int count) {
    return PumpUntil([&] { return Count(message) >= count; }, timeoutMs);
}

bool MessageRecorder::Drain(DWORD timeoutMs) {
    const int before = Count(kDrainMarker);
    if (!PostMessageA(window_, kDrainMarker, 0, 0)) return false;
    const bool back = WaitFor(kDrainMarker, timeoutMs, before + 1);
    // The marker is the helper's own: leave no trace of it.
    for (auto it = entries_.begin(); it != entries_.end();) {
        it = it->message == kDrainMarker ? entries_.erase(it) : it + 1;
    }
    return back;
}
