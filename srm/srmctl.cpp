// srmctl: steers the simulated printers of the stand-in QUARLSRM.DLL.
// Exit codes: 0 success, 1 unknown printer, 2 bad arguments (nothing
// changed), 3 the registry of the prefix could not be changed.
#include <windows.h>
#include <strsafe.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "srm_api.h"
#include "key_name.h"
#include "srm_sim.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnknownPrinter = 1;
constexpr int kExitBadArguments = 2;
constexpr int kExitFailed = 3;

const char kUsage[] =
    "usage: srmctl COMMAND ...\n"
    "  add NAME [--port TEXT] [--detail TEXT] [--driver TEXT] [--no-spooler]\n"
    "  remove NAME\n"
    "  list\n"
    "  set NAME ITEM VALUE...   get NAME ITEM\n"
    "      ITEM: ext-status N | status W1 W2 W3 | authority N | name TEXT [--spooler] |\n"
    "            port TEXT [DETAIL] | settings HEX (520 hex digits)\n"
    "  fail NAME FUNCTION COUNT|always|off\n"
    "  write-status NAME N\n"
    "  reply NAME read|write MS|never\n"
    "  delay NAME MS\n"
    "  log NAME [--clear]\n"
    "  password TEXT|--none\n"
    "  help-file PATH|--none\n"
    "Numbers are decimal (a leading - allowed) or 0x hexadecimal.\n";

typedef std::vector<std::string> Args;

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "srmctl: %s\n%s", message.c_str(), kUsage);
    return kExitBadArguments;
}

// Maps a result of the stand-in to the exit code, with a message on failure.
int Finish(DWORD result, const std::string& printer) {
    switch (result) {
    case 0:
        return kExitOk;
    case kSrmErrUnknownPrinter:
        std::fprintf(stderr, "srmctl: no simulated printer named \"%s\"\n", printer.c_str());
        return kExitUnknownPrinter;
    case kSrmErrExists:
        std::fprintf(stderr, "srmctl: a simulated printer named \"%s\" exists already\n", printer.c_str());
        return kExitBadArguments;
    case kSrmErrArgument:
        return BadArguments("a name or text is too long or empty");
    default:
        std::fprintf(stderr, "srmctl: the simulated printers could not be changed (error 0x%lX)\n",
                     static_cast<unsigned long>(result));
        return kExitFailed;
    }
}

// Decimal (optionally negative, as a 32-bit two's complement) or 0x hexadecimal.
bool ParseNumber(const std::string& text, DWORD* value) {
    if (text.empty()) return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool negative = !hex && text[0] == '-';
    const size_t start = hex ? 2 : (negative ? 1 : 0);
    if (start >= text.size()) return false;
    unsigned long long number = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        number = number * (hex ? 16 : 10) + digit;
        if (number > (negative ? 0x80000000ULL : 0xFFFFFFFFULL)) return false;
    }
    *value = static_cast<DWORD>(negative ? (0ULL - number) : number);
    return true;
}

std::string HexBytes(const uint8_t* data, size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 0x0F];
    }
    return text;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* data) {
    if (text.size() % 2 != 0) return false;
    data->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        DWORD value = 0;
        if (!ParseNumber("0x" + text.substr(i, 2), &value)) return false;
        data->push_back(static_cast<uint8_t>(value));
    }
    return true;
}

std::string Word(DWORD value) {
    char text[16];
    StringCchPrintfA(text, ARRAYSIZE(text), "0x%lX", static_cast<unsigned long>(value));
    return text;
}

// A text as an argument again: quoted when it is empty or holds a blank.
std::string Argument(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t") == std::string::npos) return text;
    return "\"" + text + "\"";
}

// A text of at most limit bytes, or a bad-arguments message.
bool FitsText(const std::string& text, size_t limit, const char* what, std::string* message) {
    if (text.size() <= limit) return true;
    *message = std::string(what) + " is longer than " + std::to_string(limit) + " bytes";
    return false;
}

// ---- Commands ----

int Add(const Args& args) {
    if (args.empty()) return BadArguments("add needs a printer name");
    const std::string& name = args[0];
    const char* port = nullptr;
    const char* detail = nullptr;
    const char* driver = kSrmDefaultDriver;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--no-spooler") {
            driver = nullptr;
            continue;
        }
        if (i + 1 >= args.size()) return BadArguments("unknown or incomplete option " + args[i]);
        if (args[i] == "--port") port = args[++i].c_str();
        else if (args[i] == "--detail") detail = args[++i].c_str();
        else if (args[i] == "--driver") driver = args[++i].c_str();
        else return BadArguments("unknown option " + args[i]);
    }
    std::string message;
    if (name.empty()) return BadArguments("the printer name is empty");
    if (!FitsText(name, 220, "the printer name", &message) ||
        (port != nullptr && !FitsText(port, kSrmPortTextSize - 1, "the port text", &message)) ||
        (detail != nullptr && !FitsText(detail, kSrmPortTextSize - 1, "the detail text", &message)) ||
        (driver != nullptr && !FitsText(driver, 255, "the driver name", &message))) {
        return BadArguments(message);
    }
    if (driver != nullptr && driver[0] == '\0') return BadArguments("the driver name is empty");
    const int code = Finish(SrmSimAddPrinter(name.c_str(), port, detail, driver), name);
    if (code == kExitOk && driver != nullptr && HoldsBackslash(name)) {
        std::fprintf(stderr, "srmctl: note: a name with a backslash cannot be a spooler printer here\n");
    }
    return code;
}

int Remove(const Args& args) {
    if (args.size() != 1) return BadArguments("remove needs exactly one printer name");
    return Finish(SrmSimRemovePrinter(args[0].c_str()), args[0]);
}

int List(const Args& args) {
    if (!args.empty()) return BadArguments("list takes no arguments");
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        const DWORD result = SrmSimEnumPrinters(index, name, sizeof name);
        if (result == kSrmErrNoMoreItems) return kExitOk;
        if (result != 0) return Finish(result, "");
        std::printf("%s\n", name);
    }
}

// An item as srmctl names it, with the status item behind it.
struct ItemName {
    const char* option;
    const char* item;
    size_t minArgs;
    size_t maxArgs;
};
const ItemName kItemNames[] = {
    {"ext-status", SRM_ITEM_PRINTEREXTSTATUS, 1, 1},
    {"status", SRM_ITEM_PRINTERSTATUS, 3, 3},
    {"authority", SRM_ITEM_USERAUTHORITY, 1, 1},
    {"name", SRM_ITEM_PRINTERNAME, 1, 1},
    {"port", SRM_ITEM_PORT, 1, 2},
    {"settings", SRM_ITEM_SETTINGS, 1, 1},
};

const ItemName* FindItemName(const std::string& option) {
    for (const ItemName& name : kItemNames) {
        if (option == name.option) return &name;
    }
    return nullptr;
}

// The item's bytes from the VALUE arguments, or false with a message.
bool BuildItem(const ItemName& name, const Args& values, std::vector<uint8_t>* data, std::string* message) {
    const std::string option = name.option;
    if (values.size() < name.minArgs || values.size() > name.maxArgs) {
        *message = option + " takes " + std::to_string(name.minArgs) +
                   (name.maxArgs != name.minArgs ? " or " + std::to_string(name.maxArgs) : std::string()) +
                   " value(s)";
        return false;
    }
    if (option == "ext-status" || option == "status" || option == "authority") {
        data->clear();
        for (const std::string& value : values) {
            DWORD word = 0;
            if (!ParseNumber(value, &word)) {
                *message = "not a number: " + value;
                return false;
            }
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&word);
            data->insert(data->end(), bytes, bytes + sizeof word);
        }
        return true;
    }
    if (option == "name") {
        if (!FitsText(values[0], kSrmSizePrinterName - 1, "the name", message)) return false;
        data->assign(kSrmSizePrinterName, 0);
        memcpy(data->data(), values[0].data(), values[0].size());
        return true;
    }
    if (option == "port") {
        const std::string detail = values.size() > 1 ? values[1] : std::string();
        if (!FitsText(values[0], kSrmPortTextSize - 1, "the port text", message) ||
            !FitsText(detail, kSrmPortTextSize - 1, "the detail text", message)) {
            return false;
        }
        data->assign(kSrmSizePort, 0);
        memcpy(data->data() + kSrmPortTextOffset, values[0].data(), values[0].size());
        memcpy(data->data() + kSrmPortDetailOffset, detail.data(), detail.size());
        return true;
    }
    if (!ParseHexBytes(values[0], data) || data->size() != kSrmSizeSettings) {
        *message = "settings need exactly 520 hexadecimal digits";
        return false;
    }
    return true;
}

// The item in the form set takes it.
std::string FormatItem(const ItemName& name, const std::vector<uint8_t>& data) {
    const std::string option = name.option;
    if (option == "ext-status" || option == "status" || option == "authority") {
        std::string text;
        for (size_t i = 0; i + 4 <= data.size(); i += 4) {
            DWORD word = 0;
            memcpy(&word, data.data() + i, sizeof word);
            if (!text.empty()) text += ' ';
            text += Word(word);
        }
        return text;
    }
    if (option == "name") return std::string(reinterpret_cast<const char*>(data.data()),
                                             strnlen(reinterpret_cast<const char*>(data.data()), data.size() - 1));
    if (option == "port") {
        const char* port = reinterpret_cast<const char*>(data.data() + kSrmPortTextOffset);
        const char* detail = reinterpret_cast<const char*>(data.data() + kSrmPortDetailOffset);
        const std::string portText(port, strnlen(port, kSrmPortTextSize - 1));
        const std::string detailText(detail, strnlen(detail, kSrmPortTextSize - 1));
        return detailText.empty() ? Argument(portText) : Argument(portText) + " " + Argument(detailText);
    }
    return HexBytes(data.data(), data.size());
}

// The suite's word to every running panel that the printer set changed.
void BroadcastPrintersChanged() {
    constexpr UINT kPrintersChanged = WM_USER + 100;
    for (HWND window = FindWindowExA(nullptr, nullptr, "RPWndClass", nullptr); window;
         window = FindWindowExA(nullptr, window, "RPWndClass", nullptr)) {
        PostMessageA(window, kPrintersChanged, 0, 0);
    }
}

// "name TEXT --spooler": renamed as a person renames a printer in the system,
// in the spooler too (under the name it is listed by now), and the panels are
// told as the suite tells them.
int RenameEverywhere(const std::string& printer, const std::vector<uint8_t>& data) {
    const char* newName = reinterpret_cast<const char*>(data.data());
    const DWORD result = SrmSimRenamePrinter(printer.c_str(), newName, 1);
    if (result == 0) BroadcastPrintersChanged();
    // Exists: the spooler lists another printer under the new name.
    return Finish(result, result == kSrmErrExists ? newName : printer);
}

int Set(const Args& given) {
    Args args;
    bool spooler = false;
    for (const std::string& arg : given) {
        if (arg == "--spooler") spooler = true;
        else args.push_back(arg);
    }
    if (args.size() < 2) return BadArguments("set needs a printer name, an item and its value");
    const ItemName* name = FindItemName(args[1]);
    if (name == nullptr) return BadArguments("unknown item " + args[1]);
    if (spooler && args[1] != "name") return BadArguments("--spooler goes with name only");
    std::vector<uint8_t> data;
    std::string message;
    if (!BuildItem(*name, Args(args.begin() + 2, args.end()), &data, &message)) return BadArguments(message);
    if (spooler) return RenameEverywhere(args[0], data);
    return Finish(SrmSimSetItem(args[0].c_str(), name->item, data.data(), static_cast<DWORD>(data.size())),
                  args[0]);
}

int Get(const Args& args) {
    if (args.size() != 2) return BadArguments("get needs a printer name and an item");
    const ItemName* name = FindItemName(args[1]);
    if (name == nullptr) return BadArguments("unknown item " + args[1]);
    std::vector<uint8_t> data(kSrmSizeSettings, 0);  // the largest item
    const DWORD result = SrmSimGetItem(args[0].c_str(), name->item, data.data(), static_cast<DWORD>(data.size()));
    if (result != 0) return Finish(result, args[0]);
    size_t size = data.size();
    if (name->item == std::string(SRM_ITEM_PRINTEREXTSTATUS) || name->item == std::string(SRM_ITEM_USERAUTHORITY)) {
        size = 4;
    } else if (name->item == std::string(SRM_ITEM_PRINTERSTATUS)) {
        size = 12;
    } else if (name->item == std::string(SRM_ITEM_PRINTERNAME)) {
        size = kSrmSizePrinterName;
    }
    data.resize(size);
    std::printf("%s\n", FormatItem(*name, data).c_str());
    return kExitOk;
}

int Fail(const Args& args) {
    if (args.size() != 3) return BadArguments("fail needs a printer name, a function and COUNT|always|off");
    const char* function = nullptr;
    for (const char* candidate : kSrmFunctionNames) {
        if (_stricmp(candidate, args[1].c_str()) == 0) function = candidate;
    }
    if (function == nullptr) return BadArguments("unknown function " + args[1]);
    DWORD count = 0;
    if (args[2] == "always") count = kSrmFailAlways;
    else if (args[2] == "off") count = kSrmFailOff;
    else if (!ParseNumber(args[2], &count)) return BadArguments("not a count: " + args[2]);
    return Finish(SrmSimSetFault(args[0].c_str(), function, count), args[0]);
}

int WriteStatus(const Args& args) {
    if (args.size() != 2) return BadArguments("write-status needs a printer name and a number");
    DWORD status = 0;
    if (!ParseNumber(args[1], &status)) return BadArguments("not a number: " + args[1]);
    return Finish(SrmSimSetWriteStatus(args[0].c_str(), status), args[0]);
}

int Reply(const Args& args) {
    if (args.size() != 3) return BadArguments("reply needs a printer name, read|write and MS|never");
    DWORD kind = 0;
    if (args[1] == "read") kind = SrmReplyRead;
    else if (args[1] == "write") kind = SrmReplyWrite;
    else return BadArguments("reply takes read or write, not " + args[1]);
    DWORD delay = 0;
    if (args[2] == "never") delay = kSrmReplyNever;
    else if (!ParseNumber(args[2], &delay)) return BadArguments("not a delay: " + args[2]);
    return Finish(SrmSimSetReplyDelay(args[0].c_str(), kind, delay), args[0]);
}

// The device delay of synchronous reads and writes of the settings block.
int Delay(const Args& args) {
    if (args.size() != 2) return BadArguments("delay needs a printer name and MS");
    DWORD delay = 0;
    if (!ParseNumber(args[1], &delay) || delay == kSrmReplyNever) return BadArguments("not a delay: " + args[1]);
    return Finish(SrmSimSetReplyDelay(args[0].c_str(), SrmDeviceDelay, delay), args[0]);
}

int Log(const Args& args) {
    if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "--clear")) {
        return BadArguments("log needs a printer name and optionally --clear");
    }
    if (args.size() == 2) return Finish(SrmSimClearLog(args[0].c_str()), args[0]);
    DWORD needed = 0;
    DWORD result = SrmSimReadLog(args[0].c_str(), nullptr, 0, &needed);
    std::vector<uint8_t> log(needed);
    if (result == kSrmErrBufferTooSmall) {
        result = SrmSimReadLog(args[0].c_str(), log.data(), needed, &needed);
    }
    if (result != 0) return Finish(result, args[0]);
    for (size_t offset = 0; offset + kSrmSizeSettings <= log.size(); offset += kSrmSizeSettings) {
        std::printf("%s\n", HexBytes(log.data() + offset, kSrmSizeSettings).c_str());
    }
    return kExitOk;
}

int SuiteValue(const Args& args, DWORD which, const char* command) {
    if (args.size() != 1) return BadArguments(std::string(command) + " needs one text or --none");
    const char* text = args[0] == "--none" ? nullptr : args[0].c_str();
    return Finish(SrmSimSetSuiteValue(which, text), "");
}

int Password(const Args& args) { return SuiteValue(args, SrmSuitePassword, "password"); }
int HelpFile(const Args& args) { return SuiteValue(args, SrmSuiteHelpFile, "help-file"); }
int Help(const Args&) {
    std::fputs(kUsage, stdout);
    return kExitOk;
}

struct Command {
    const char* name;
    int (*run)(const Args& args);
};
const Command kCommands[] = {
    {"add", Add}, {"remove", Remove}, {"list", List}, {"set", Set}, {"get", Get},
    {"fail", Fail}, {"write-status", WriteStatus}, {"reply", Reply}, {"delay", Delay}, {"log", Log},
    {"password", Password}, {"help-file", HelpFile}, {"help", Help}, {"--help", Help},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return BadArguments("no command given");
    const Args args(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (std::strcmp(command.name, argv[1]) == 0) {
            const int code = command.run(args);
            std::fflush(stdout);
            return code;
        }
    }
    return BadArguments(std::string("unknown command ") + argv[1]);
}
