// The password check of rpsettings.
#include "password_check.h"

#include <windows.h>

#include <string>
#include <vector>

#include "console_out.h"
#include "resource.h"
#include "rpsettings_ids.h"
#include "stored_password.h"
#include "tool_output.h"

namespace rps {

namespace {

// Asks for the password on the console without echoing it; false when
// standard input is not a console.
bool AskPassword(std::string* typed) {
    if (!InputIsConsole()) return false;
    WriteStd(STD_ERROR_HANDLE, Text(IDS_RPS_PASSWORD_PROMPT));
    const bool ok = ReadHiddenLine(typed);
    WriteStd(STD_ERROR_HANDLE, "\n");
    return ok;
}

}  // namespace

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

}  // namespace rps
