#include "change_log.h"

#include <shlobj.h>

#include "backup_store.h"
#include "text_pure.h"

namespace {

// A range far past any end of the file: whoever holds it may append.
constexpr DWORD kLockOffsetHigh = 0x40000000;

}  // namespace

std::string DefaultChangeLogPath() {
    char folder[MAX_PATH] = "";
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return "";
    return std::string(folder) + "\\rpsettings\\changes.jsonl";
}

ChangeLog::ChangeLog() { InitializeCriticalSection(&lock_); }
ChangeLog::~ChangeLog() { DeleteCriticalSection(&lock_); }

bool ChangeLog::Open(const char* path) {
    path_ = path ? path : DefaultChangeLogPath();
    if (path_.empty()) return false;
    if (!path) CreateDirectoryA(path_.substr(0, path_.rfind('\\')).c_str(), nullptr);
    path_ = FullPath(path_);
    // Append only: every write goes to the end of the file, whoever wrote last.
    file_.reset(new ScopedHandle(CreateFileA(path_.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file_->get() == INVALID_HANDLE_VALUE) {
        file_.reset();
        return false;
    }

    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);
    char user[257] = "";
    size = sizeof user;
    GetUserNameA(user, &size);
    computer_ = Utf8(computer);
    user_ = Utf8(user);
    char run[64];
    FormatText(run, sizeof run, "%s-%lu", UtcNowText().c_str(), static_cast<unsigned long>(GetCurrentProcessId()));
    run_ = run;
    return true;
}

void ChangeLog::Begin(JsonWriter* json) const {
    json->BeginObject();
    json->Key("time").String(UtcNowText());
    json->Key("computer").String(computer_);
    json->Key("user").String(user_);
    json->Key("run").String(run_);
}

namespace {

// True when the file is empty or its last byte ends a line.
bool EndsWithLineEnd(HANDLE file) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) return false;
    if (size.QuadPart == 0) return true;
    const ULONGLONG last = static_cast<ULONGLONG>(size.QuadPart) - 1;
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(last);
    at.OffsetHigh = static_cast<DWORD>(last >> 32);
    char byte = 0;
    DWORD read = 0;
    return ReadFile(file, &byte, 1, &read, &at) && read == 1 && byte == '\n';
}

}  // namespace

bool ChangeLog::Append(const std::string& record) {
    if (!file_) return false;
    const HANDLE file = file_->get();
    EnterCriticalSection(&lock_);  // this run's threads, then the other runs
    OVERLAPPED range = {};
    range.OffsetHigh = kLockOffsetHigh;
    bool whole = false;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range)) {
        // A record cut short by an earlier failed write (a full disk, a run
        // that ended in the middle) keeps its own line: this one starts a new one.
        const std::string line = (EndsWithLineEnd(file) ? "" : "\r\n") + record + "\r\n";
        DWORD written = 0;
        whole = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                written == line.size() && FlushFileBuffers(file);
        UnlockFileEx(file, 0, 1, 0, &range);
    }
    LeaveCriticalSection(&lock_);
    return whole;
}
