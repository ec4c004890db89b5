// The site tables on disk.
#include "site_table.h"

#include <windows.h>

#include <algorithm>

#include "backup_store.h"
#include "scoped.h"
#include "text_pure.h"

namespace {

// A result file is small; a change log grows by a line a write.
constexpr DWORD kMaxResultFileSize = 64u << 20;

std::string Utf8Of(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size, nullptr, nullptr);
    return text;
}

std::wstring WideOf(const std::string& ansi) {
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], size);
    return wide;
}

bool EndsWithIgnoringCase(const std::wstring& name, const std::wstring& ending) {
    return name.size() > ending.size() &&
           CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str() + name.size() - ending.size(),
                          static_cast<int>(ending.size()), ending.c_str(), static_cast<int>(ending.size())) == CSTR_EQUAL;
}

std::string ReadBytes(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::string();
    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxResultFileSize) return std::string();
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (size && (!ReadFile(file.get(), &bytes[0], size, &read, nullptr) || read != size)) return std::string();
    return bytes;
}

bool WriteNewFile(const std::string& path, const std::string& bytes) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.get());
}

}  // namespace

std::string ComputerNameUtf8() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = ARRAYSIZE(name);
    if (!GetComputerNameW(name, &size)) return std::string();
    return Utf8Of(std::wstring(name, size));
}

std::string LocalTimeText() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[32];
    FormatText(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);
    return text;
}

bool ReadFolderFiles(const std::string& folder, const wchar_t* extension, std::vector<NamedText>* files) {
    std::wstring base = WideOf(folder);
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
    const DWORD attributes = GetFileAttributesW(base.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    WIN32_FIND_DATAW found = {};
    ScopedFind find(FindFirstFileW((base + L"*").c_str(), &found));
    if (find.get() == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    const std::wstring ending = extension;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !EndsWithIgnoringCase(name, ending)) continue;
        files->push_back({Utf8Of(name.substr(0, name.size() - ending.size())), ReadBytes(base + name)});
    } while (FindNextFileW(find.get(), &found));
    std::sort(files->begin(), files->end());
    return true;
}

namespace {

// The name beside path that WriteFileWhole writes first.
std::string TemporaryBeside(const std::string& path) {
    char suffix[32];
    FormatText(suffix, sizeof suffix, ".%lu.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    return path + suffix;
}

bool SameText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

bool CanWriteFileWhole(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {  // there already: a file that may be replaced
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
        ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) return false;
    }
    const std::string temporary = TemporaryBeside(path);
    const bool written = WriteNewFile(temporary, std::string());
    DeleteFileA(temporary.c_str());
    return written;
}

bool SamePath(const std::string& a, const std::string& b) { return SameText(FullPath(a), FullPath(b)); }

bool PathInFolder(const std::string& path, const std::string& folder, const std::string& ending) {
    const std::string full = FullPath(path);  // ending starts with '.', never part of a double-byte character
    if (full.size() <= ending.size() || !SameText(full.substr(full.size() - ending.size()), ending)) return false;
    const size_t slash = full.find_last_of('\\');
    std::string directory = FullPath(folder + "\\.");
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();  // a drive's root
    return slash != std::string::npos && SameText(full.substr(0, slash), directory);
}

bool WriteFileWhole(const std::string& path, const std::string& bytes) {
    const std::string temporary = TemporaryBeside(path);
    if (WriteNewFile(temporary, bytes) &&
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}
