#include "backup_store.h"

#include <algorithm>

#include "scoped.h"
#include "text_pure.h"

#include "settings_file_pure.h"

namespace {

constexpr int kMaxBackupNumber = 9999;

std::string UtcText(const SYSTEMTIME& time) {
    char text[32];
    FormatText(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", time.wYear, time.wMonth, time.wDay,
               time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    return text;
}

}  // namespace

WriteResult WriteTextFile(const char* path, const std::string& text, WriteMode mode) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ScopedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, mode == WriteNew ? CREATE_NEW : CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS ? NameTaken : WriteFailed;
    DWORD written = 0;
    const bool whole = WriteFile(file.get(), crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr) &&
                       written == crlf.size() && FlushFileBuffers(file.get());
    if (whole) return Written;
    CloseHandle(file.Release());
    DeleteFileA(path);
    return WriteFailed;
}

bool WriteBackupFile(const std::string& folder, const std::string& base, const std::string& text,
                     std::string* path) {
    for (int n = 1; n <= kMaxBackupNumber; ++n) {
        char suffix[16];
        FormatText(suffix, sizeof suffix, n == 1 ? ".txt" : "~%d.txt", n);
        *path = folder + base + suffix;
        switch (WriteTextFile(path->c_str(), text, WriteNew)) {
        case Written: return true;
        case NameTaken: continue;
        case WriteFailed: return false;
        }
    }
    return false;
}

std::string UtcNowText() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return UtcText(now);
}

std::string FileTimeText(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME time;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) || !FileTimeToSystemTime(&data.ftLastWriteTime, &time))
        return "";
    return UtcText(time);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

std::vector<std::string> TextFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA((folder + "*.txt").c_str(), &found));
    if (search.get() == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// A text of the ANSI code page (Shift-JIS) in UTF-8, and back.
std::string Recode(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return text;
    const int wide = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(wide > 0 ? wide : 1));
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), buffer.data(), wide);
    const int size = WideCharToMultiByte(to, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(to, 0, buffer.data(), wide, &out[0], size, nullptr, nullptr);
    return out;
}
std::string Utf8(const std::string& ansi) { return Recode(ansi, CP_ACP, CP_UTF8); }

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

std::vector<FolderBackup> ReadBackups(const std::string& folder, const char* model) {
    std::vector<FolderBackup> backups;
    const std::string now = UtcNowText();
    for (const std::string& name : TextFilesIn(folder)) {
        FolderBackup backup;
        backup.entry.file = name;
        backup.path = folder + name;
        backup.parsed.reset(new ParsedSettings);
        std::string text;
        if (!ReadWholeFile(backup.path.c_str(), &text)) {
            backup.problem = {FileTooLarge, 0, -1};
        } else {
            backup.problem = ReadSettingsFile(text.data(), text.size(), model, backup.parsed.get());
        }
        if (backup.problem.error == FileOk && !FileIsComplete(*backup.parsed)) backup.problem = {FileNotComplete, 0, -1};
        // A file that cannot be restored still says whose it is and when it was
        // saved, as far as it can be read: restore names it when it is newer.
        const ParsedSettings& parsed = *backup.parsed;
        backup.entry.printer = parsed.printer;
        const bool timed = parsed.saved[0] && NormalizeUtcTime(parsed.saved, &backup.entry.time);
        if (!timed) backup.entry.time = FileTimeText(backup.path.c_str());
        if (backup.problem.error == FileOk && parsed.saved[0] && !timed) backup.problem = {FileBadSavedTime, 0, -1};
        if (backup.problem.error == FileOk && timed && backup.entry.time > now) backup.problem = {FileSavedLater, 0, -1};
        backups.push_back(std::move(backup));
    }
    return backups;
}
