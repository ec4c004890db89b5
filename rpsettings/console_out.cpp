// Console output and input of rpsettings in wide characters.
#include "console_out.h"

#include <cstdio>
#include <vector>

namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

std::wstring Widen(const std::string& text, UINT codePage) {
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

}  // namespace

void WriteStd(DWORD which, const std::string& text, UINT codePage) {
    FILE* stream = which == STD_ERROR_HANDLE ? stderr : stdout;
    const HANDLE handle = GetStdHandle(which);
    if (text.empty()) return;
    if (!IsConsole(handle)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    std::fflush(stream);
    const std::wstring wide = Widen(text, codePage);
    // In pieces: old consoles refuse a long write; a pair of surrogates stays whole.
    constexpr size_t kPiece = 8192;
    for (size_t at = 0; at < wide.size();) {
        size_t count = wide.size() - at < kPiece ? wide.size() - at : kPiece;
        if (at + count < wide.size() && wide[at + count - 1] >= 0xD800 && wide[at + count - 1] < 0xDC00) --count;
        DWORD written = 0;
        if (!WriteConsoleW(handle, wide.data() + at, static_cast<DWORD>(count), &written, nullptr) || written == 0) {
            // Not a console after all (a handle that only looks like one): the bytes, as to a file.
            if (at == 0) std::fwrite(text.data(), 1, text.size(), stream);
            return;
        }
        at += written;
    }
}

bool InputIsConsole() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

bool ReadHiddenLine(std::string* line) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    line->clear();
    if (!IsConsole(input) || !GetConsoleMode(input, &mode)) return false;
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::wstring typed;
    bool ok = true;
    while (typed.empty() || typed.back() != L'\n') {
        wchar_t buffer[128];
        DWORD read = 0;
        if (!ReadConsoleW(input, buffer, ARRAYSIZE(buffer), &read, nullptr) || read == 0) {
            ok = false;
            break;
        }
        typed.append(buffer, read);
    }
    SetConsoleMode(input, mode);
    while (!typed.empty() && (typed.back() == L'\n' || typed.back() == L'\r')) typed.pop_back();
    const int size = WideCharToMultiByte(CP_ACP, 0, typed.data(), static_cast<int>(typed.size()), nullptr, 0, nullptr, nullptr);
    if (size > 0) {
        line->assign(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, typed.data(), static_cast<int>(typed.size()), &(*line)[0], size, nullptr, nullptr);
    }
    SecureZeroMemory(&typed[0], typed.size() * sizeof(wchar_t));
    return ok;
}
