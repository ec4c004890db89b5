// The suite's panel password, asked of every rpsettings command that reads or
// writes settings.
#pragma once

namespace rps {

// From --password (given), else RPSETTINGS_PASSWORD, else asked on the console
// when mayAsk (never with --no-prompt, nor when standard input is no
// console). kExitOk, or kExitUsage after the message.
int CheckPassword(const char* given, bool mayAsk);

}  // namespace rps
