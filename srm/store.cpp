#include "store.h"

#include <strsafe.h>

#include <atomic>
#include <cstring>

#include "codec.h"
#include "key_name.h"
#include "settings.h"
#include "srm_sim.h"
#include "update_command.h"

namespace srmstore {

namespace {

constexpr char kPrintersRoot[] = "Software\\Quarl\\Pavonet\\SRM\\Printers";
constexpr char kSuiteKey[] = "Software\\Quarl\\Pavonet";
constexpr char kSuiteModelKey[] = "Software\\Quarl\\Pavonet\\Printers\\Tilbury 550TK";
constexpr char kSpoolerRoot[] = "System\\CurrentControlSet\\Control\\Print\\Printers";
constexpr char kNameValue[] = "Name";
// The name of the printer's spooler entry (none: not in the spooler), which
// follows renames in the spooler whatever the printer reports as its name.
constexpr char kSpoolerNameValue[] = "SpoolerName";
constexpr char kControlKey[] = "Control";
constexpr char kLogValue[] = "CommandLog";
constexpr char kMutexName[] = "QuarlSrmStandInStore";
constexpr DWORD kLockTimeoutMs = 10000;
// Longest printer name accepted (the spooler's limit on a name), spooler
// printer or not.
constexpr size_t kMaxNameLength = 220;
constexpr size_t kMaxKeyNameLength = 255;
// Suite values may be longer than the panel reads, so that tests can try that.
constexpr size_t kMaxSuiteTextLength = 4096;

const ItemInfo kItems[] = {
    {SRM_ITEM_USERAUTHORITY, kSrmSizeUserAuthority},
    {SRM_ITEM_PRINTERSTATUS, kSrmSizePrinterStatus},
    {SRM_ITEM_PRINTEREXTSTATUS, kSrmSizePrinterExtStatus},
    {SRM_ITEM_PRINTERNAME, kSrmSizePrinterName},
    {SRM_ITEM_PORT, kSrmSizePort},
    {SRM_ITEM_SETTINGS, kSrmSizeSettings},
};

// Holds the store's named mutex for one read-modify-write.
class StoreLock {
public:
    StoreLock() {
        mutex_.Reset(CreateMutexA(nullptr, FALSE, kMutexName));
        if (mutex_.Get() == nullptr) return;
        const DWORD wait = WaitForSingleObject(mutex_.Get(), kLockTimeoutMs);
        locked_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~StoreLock() {
        if (locked_) ReleaseMutex(mutex_.Get());
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Locked() const { return locked_; }

private:
    KernelHandle mutex_;
    bool locked_ = false;
};

// A text from a caller, at most limit bytes; false when it is longer (or null).
bool BoundedText(LPCSTR text, size_t limit, std::string* out) {
    if (text == nullptr) return false;
    const size_t length = strnlen(text, limit + 1);
    if (length > limit) return false;
    out->assign(text, length);
    return true;
}

DWORD OpenKey(HKEY root, const std::string& path, REGSAM access, RegKey* key) {
    return RegOpenKeyExA(root, path.c_str(), 0, access, key->Receive()) == ERROR_SUCCESS
               ? 0 : kSrmErrStore;
}

DWORD CreateKey(HKEY root, const std::string& path, RegKey* key) {
    return RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, key->Receive(), nullptr) == ERROR_SUCCESS
               ? 0 : kSrmErrStore;
}

// A REG_SZ value, terminated here whatever the registry holds.
bool QueryText(HKEY key, const char* value, std::string* text) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ) return false;
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    buffer[size] = '\0';
    text->assign(buffer.data(), strnlen(buffer.data(), size));
    return true;
}

bool QueryBinary(HKEY key, const char* value, std::vector<uint8_t>* data) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_BINARY) return false;
    data->assign(size, 0);
    if (size == 0) return true;
    if (RegQueryValueExA(key, value, nullptr, &type, data->data(), &size) != ERROR_SUCCESS) return false;
    data->resize(size);
    return true;
}

DWORD SetText(HKEY key, const char* value, const std::string& text) {
    return RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS
               ? 0 : kSrmErrStore;
}

DWORD SetDword(HKEY key, const char* value, DWORD data) {
    return RegSetValueExA(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
                   ERROR_SUCCESS
               ? 0 : kSrmErrStore;
}

DWORD SetBinary(HKEY key, const char* value, const void* data, DWORD size) {
    return RegSetValueExA(key, value, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS
               ? 0 : kSrmErrStore;
}

// A printer's key below the store's printers key. The ANSI registry calls
// take a key path of at most 260 characters, which the root and a long name
// together exceed: the name is opened below the open root. Every call of the
// stand-in opens a printer's key, so the root is opened once per process and
// kept. When it has been deleted (and perhaps made again) it is opened anew;
// the handle of the deleted key is not closed, as another thread may still be
// using it.
DWORD OpenBelowPrinters(const std::string& name, REGSAM access, RegKey* key) {
    static std::atomic<HKEY> printers{nullptr};
    for (int attempt = 0; attempt < 2; ++attempt) {
        HKEY root = printers.load();
        if (root == nullptr) {
            HKEY opened = nullptr;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPrintersRoot, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
                return kSrmErrStore;
            }
            root = opened;
            HKEY none = nullptr;
            if (!printers.compare_exchange_strong(none, opened)) {
                RegCloseKey(opened);
                root = none;  // another thread's, as good
            }
        }
        const LONG status = RegOpenKeyExA(root, name.c_str(), 0, access, key->Receive());
        if (status == ERROR_SUCCESS) return 0;
        if (status != ERROR_KEY_DELETED) return kSrmErrStore;
        printers.compare_exchange_strong(root, nullptr);
    }
    return kSrmErrStore;
}

DWORD CreateBelow(const char* root, const std::string& name, RegKey* key) {
    RegKey parent;
    if (CreateKey(HKEY_LOCAL_MACHINE, root, &parent) != 0) return kSrmErrStore;
    return CreateKey(parent.Get(), name, key);
}

// Deletes the key `name` of parent with everything below it.
bool DeleteKeyTree(HKEY parent, const std::string& name) {
    {
        RegKey key;
        if (OpenKey(parent, name, KEY_ALL_ACCESS, &key) != 0) return false;
        for (;;) {
            char child[256] = {};
            DWORD length = sizeof child;
            if (RegEnumKeyExA(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            child[sizeof child - 1] = '\0';
            if (!DeleteKeyTree(key.Get(), child)) return false;
        }
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

// Deletes the key `name` below a root; 1 when it did not exist, 0 when it stays.
int DeleteBelow(const char* root, const std::string& name) {
    RegKey parent;
    if (OpenKey(HKEY_LOCAL_MACHINE, root, KEY_ALL_ACCESS, &parent) != 0) return 1;
    {
        RegKey probe;
        if (OpenKey(parent.Get(), name, KEY_QUERY_VALUE, &probe) != 0) return 1;
    }
    return DeleteKeyTree(parent.Get(), name) ? 1 : 0;
}

// The exact printer name stored with a key; false when the key is not a printer's.
bool StoredName(const std::string& keyName, std::string* name) {
    RegKey key;
    if (OpenPrinterKey(keyName, KEY_QUERY_VALUE, &key) != 0) return false;
    return QueryText(key.Get(), kNameValue, name);
}

DWORD OpenControlKey(const std::string& keyName, RegKey* key) {
    RegKey printer;
    if (OpenBelowPrinters(keyName, KEY_QUERY_VALUE, &printer) != 0) return kSrmErrStore;
    return OpenKey(printer.Get(), kControlKey, KEY_QUERY_VALUE | KEY_SET_VALUE, key);
}

DWORD RegisterWithSpooler(const std::string& name, const std::string& port, const std::string& driver) {
    RegKey key;
    if (CreateBelow(kSpoolerRoot, name, &key) != 0) return kSrmErrStore;
    DWORD result = SetText(key.Get(), "Name", name);
    if (result == 0) result = SetText(key.Get(), "Port", port);
    if (result == 0) result = SetText(key.Get(), "Printer Driver", driver);
    if (result == 0) result = SetText(key.Get(), "Datatype", "RAW");
    if (result == 0) result = SetText(key.Get(), "Print Processor", "WinPrint");
    if (result == 0) result = SetDword(key.Get(), "Attributes", 0x40);  // local printer
    if (result == 0) result = SetDword(key.Get(), "Priority", 1);
    if (result == 0) result = SetDword(key.Get(), "Status", 0);
    if (result == 0) {
        RegKey model;
        result = CreateKey(HKEY_LOCAL_MACHINE, kSuiteModelKey, &model);
    }
    return result;
}

// The printer's spooler entry's name; empty when it has none.
std::string SpoolerNameOf(const std::string& keyName) {
    RegKey key;
    std::string name;
    if (OpenBelowPrinters(keyName, KEY_QUERY_VALUE, &key) != 0 || !QueryText(key.Get(), kSpoolerNameValue, &name)) {
        return std::string();
    }
    return name;
}

DWORD SetSpoolerName(const std::string& keyName, const std::string& name) {
    RegKey key;
    if (OpenBelowPrinters(keyName, KEY_SET_VALUE, &key) != 0) return kSrmErrStore;
    return SetText(key.Get(), kSpoolerNameValue, name);
}

std::vector<uint8_t> TextItem(const std::string& text, DWORD size) {
    std::vector<uint8_t> item(size, 0);
    std::memcpy(item.data(), text.data(), text.size() < size ? text.size() : size - 1);
    return item;
}

}  // namespace

const char kWriteStatusValue[] = "WriteStatus";
const char kReadReplyValue[] = "ReadReply";
const char kWriteReplyValue[] = "WriteReply";
const char kDeviceDelayValue[] = "DeviceDelay";

void WaitForDevice(const std::string& keyName) {
    DWORD delay = 0;
    if (GetControlValue(keyName, kDeviceDelayValue, &delay) == 0 && delay != 0 && delay != kSrmReplyNever) Sleep(delay);
}

const ItemInfo* FindItem(LPCSTR name) {
    if (name == nullptr) return nullptr;
    for (const ItemInfo& item : kItems) {
        if (std::strcmp(item.name, name) == 0) return &item;
    }
    return nullptr;
}

const ItemInfo& SettingsItem() { return kItems[5]; }

std::string FaultValueName(const char* function) { return std::string("Fail.") + function; }

void FactoryBlock(uint8_t block[260]) {
    SettingsRecord record;
    LoadDefaultSettings(&record);
    CustomFeedTable custom;
    ClearCustomFeeds(&custom);
    EncodeSettings(record, custom, block);
    block[0] = 1;  // format marks
    block[1] = 4;
}

DWORD OpenPrinterKey(const std::string& keyName, REGSAM access, RegKey* key) {
    return OpenBelowPrinters(keyName, access, key) == 0 ? 0 : kSrmErrUnknownPrinter;
}

DWORD FindPrinter(LPCSTR name, bool reportedName, std::string* keyName) {
    std::string wanted;
    if (!BoundedText(name, kMaxNameLength, &wanted) || wanted.empty()) return kSrmErrUnknownPrinter;
    const std::string escaped = EscapePrinterKeyName(wanted);
    std::string stored;
    if (escaped.size() <= kMaxKeyNameLength && StoredName(escaped, &stored) && stored == wanted) {
        *keyName = escaped;
        return 0;
    }
    if (!reportedName) return kSrmErrUnknownPrinter;
    RegKey root;
    if (OpenKey(HKEY_LOCAL_MACHINE, kPrintersRoot, KEY_ENUMERATE_SUB_KEYS, &root) != 0) {
        return kSrmErrUnknownPrinter;
    }
    for (DWORD index = 0;; ++index) {
        char child[256] = {};
        DWORD length = sizeof child;
        if (RegEnumKeyExA(root.Get(), index, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        child[sizeof child - 1] = '\0';
        std::vector<uint8_t> reported;
        if (ReadItem(child, *FindItem(SRM_ITEM_PRINTERNAME), &reported) != 0) continue;
        reported.back() = 0;
        if (wanted == reinterpret_cast<const char*>(reported.data())) {
            *keyName = child;
            return 0;
        }
    }
    return kSrmErrUnknownPrinter;
}

DWORD ReadItemFromKey(HKEY printerKey, const ItemInfo& item, std::vector<uint8_t>* data) {
    if (!QueryBinary(printerKey, item.name, data) || data->size() != item.size) return kSrmErrStore;
    return 0;
}

DWORD ReadItem(const std::string& keyName, const ItemInfo& item, std::vector<uint8_t>* data) {
    RegKey key;
    const DWORD result = OpenPrinterKey(keyName, KEY_QUERY_VALUE, &key);
    if (result != 0) return result;
    return ReadItemFromKey(key.Get(), item, data);
}

DWORD WriteItem(const std::string& keyName, const ItemInfo& item, const void* data) {
    RegKey key;
    const DWORD result = OpenPrinterKey(keyName, KEY_SET_VALUE, &key);
    if (result != 0) return result;
    return SetBinary(key.Get(), item.name, data, item.size);
}

DWORD GetControlValue(const std::string& keyName, const std::string& value, DWORD* data) {
    RegKey key;
    if (OpenControlKey(keyName, &key) != 0) return kSrmErrUnknownPrinter;
    DWORD type = 0;
    DWORD size = sizeof *data;
    DWORD stored = 0;
    if (RegQueryValueExA(key.Get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof stored) {
        stored = 0;  // not set: off, at once, accepted
    }
    *data = stored;
    return 0;
}

DWORD SetControlValue(const std::string& keyName, const std::string& value, DWORD data) {
    RegKey key;
    if (OpenControlKey(keyName, &key) != 0) return kSrmErrUnknownPrinter;
    return SetDword(key.Get(), value.c_str(), data);
}

DWORD TakeFault(const std::string& keyName, const char* function) {
    const std::string value = FaultValueName(function);
    DWORD count = 0;
    // Nearly every call finds no fault set; seeing that takes no lock.
    if (GetControlValue(keyName, value, &count) == 0 && count == kSrmFailOff) return 0;
    StoreLock lock;
    if (!lock.Locked()) return kSrmErrStore;
    if (GetControlValue(keyName, value, &count) != 0) return kSrmErrUnknownPrinter;
    if (count == kSrmFailOff) return 0;
    if (count != kSrmFailAlways) SetControlValue(keyName, value, count - 1);
    return kSrmErrInjected;
}

DWORD ReceiveCommand(const std::string& keyName, const uint8_t* area, DWORD* status) {
    StoreLock lock;
    if (!lock.Locked()) return kSrmErrStore;
    RegKey control;
    if (OpenControlKey(keyName, &control) != 0) return kSrmErrUnknownPrinter;
    std::vector<uint8_t> block;
    DWORD result = ReadItem(keyName, SettingsItem(), &block);
    if (result != 0) return result;
    if (!ApplyUpdateCommand(area, kCommandAreaSize, block.data())) return kSrmErrMalformedCommand;
    DWORD writeStatus = 0;
    GetControlValue(keyName, kWriteStatusValue, &writeStatus);

    std::vector<uint8_t> log;
    QueryBinary(control.Get(), kLogValue, &log);
    log.insert(log.end(), area, area + kCommandAreaSize);
    result = SetBinary(control.Get(), kLogValue, log.data(), static_cast<DWORD>(log.size()));
    if (result != 0) return result;

    if (writeStatus == 0) {  // a printer that refuses keeps its block
        result = WriteItem(keyName, SettingsItem(), block.data());
        if (result != 0) return result;
    }
    *status = writeStatus;
    return 0;
}

DWORD ReadLog(const std::string& keyName, std::vector<uint8_t>* log) {
    RegKey control;
    if (OpenControlKey(keyName, &control) != 0) return kSrmErrUnknownPrinter;
    if (!QueryBinary(control.Get(), kLogValue, log)) log->clear();
    return 0;
}

DWORD ClearLog(const std::string& keyName) {
    StoreLock lock;
    if (!lock.Locked()) return kSrmErrStore;
    RegKey control;
    if (OpenControlKey(keyName, &control) != 0) return kSrmErrUnknownPrinter;
    return SetBinary(control.Get(), kLogValue, nullptr, 0);
}

DWORD AddPrinter(LPCSTR name, LPCSTR port, LPCSTR detail, LPCSTR driver) {
    std::string printer, portText, detailText, driverText;
    if (!BoundedText(name, kMaxNameLength, &printer) || printer.empty()) return kSrmErrArgument;
    if (!BoundedText(port != nullptr ? port : kSrmDefaultPort, kSrmPortTextSize - 1, &portText)) {
        return kSrmErrArgument;
    }
    if (!BoundedText(detail != nullptr ? detail : "", kSrmPortTextSize - 1, &detailText)) return kSrmErrArgument;
    if (driver != nullptr && !BoundedText(driver, 255, &driverText)) return kSrmErrArgument;
    const std::string keyName = EscapePrinterKeyName(printer);
    if (keyName.size() > kMaxKeyNameLength) return kSrmErrArgument;

    StoreLock lock;
    if (!lock.Locked()) return kSrmErrStore;
    {
        RegKey existing;
        if (OpenPrinterKey(keyName, KEY_QUERY_VALUE, &existing) == 0) return kSrmErrExists;
    }
    DWORD result = 0;
    {
        RegKey key;
        RegKey control;
        result = CreateBelow(kPrintersRoot, keyName, &key);
        if (result == 0) result = CreateKey(key.Get(), kControlKey, &control);
        if (result == 0) result = SetText(key.Get(), kNameValue, printer);

        const DWORD ext = kSrmReadyExtStatus;
        const DWORD status[3] = {0, 0, kSrmReadyStatusWord3};
        const DWORD authority = kSrmReadyAuthority;
        std::vector<uint8_t> portItem(kSrmSizePort, 0);
        std::memcpy(portItem.data() + kSrmPortTextOffset, portText.data(), portText.size());
        std::memcpy(portItem.data() + kSrmPortDetailOffset, detailText.data(), detailText.size());
        uint8_t block[kSettingsBlockSize];
        FactoryBlock(block);
        const std::vector<uint8_t> nameItem = TextItem(printer, kSrmSizePrinterName);

        if (result == 0) result = SetBinary(key.Get(), SRM_ITEM_PRINTEREXTSTATUS, &ext, sizeof ext);
        if (result == 0) result = SetBinary(key.Get(), SRM_ITEM_PRINTERSTATUS, status, sizeof status);
        if (result == 0) result = SetBinary(key.Get(), SRM_ITEM_USERAUTHORITY, &authority, sizeof authority);
        if (result == 0) result = SetBinary(key.Get(), SRM_ITEM_PRINTERNAME, nameItem.data(), kSrmSizePrinterName);
        if (result == 0) result = SetBinary(key.Get(), SRM_ITEM_PORT, portItem.data(), kSrmSizePort);
        if (result == 0) result = SetBinary(key.Get(), SRM_ITEM_SETTINGS, block, sizeof block);
        if (result == 0) result = SetBinary(control.Get(), kLogValue, nullptr, 0);
    }
    // A spooler key name cannot hold a backslash: such a printer stays below the spooler.
    if (result == 0 && !driverText.empty() && !HoldsBackslash(printer)) {
        result = RegisterWithSpooler(printer, portText, driverText);
        if (result == 0) result = SetSpoolerName(keyName, printer);
        if (result != 0) DeleteBelow(kSpoolerRoot, printer);
    }
    if (result != 0) DeleteBelow(kPrintersRoot, keyName);
    return result;
}

DWORD RemovePrinter(LPCSTR name) {
    std::string keyName;
    StoreLock lock;
    if (!lock.Locked()) return kSrmErrStore;
    DWORD result = FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    // Its spooler entry goes by the name it is listed under now.
    const std::string spooler = SpoolerNameOf(keyName);
    if (!DeleteBelow(kPrintersRoot, keyName)) return kSrmErrStore;
    return spooler.empty() || DeleteBelow(kSpoolerRoot, spooler) ? 0 : kSrmErrStore;
}

DWORD RenamePrinter(LPCSTR name, LPCSTR newName, bool inSpooler) {
    std::string to;
    if (!BoundedText(newName, kSrmSizePrinterName - 1, &to) || to.empty() || (inSpooler && HoldsBackslash(to))) {
        return kSrmErrArgument;
    }
    StoreLock lock;
    if (!lock.Locked()) return kSrmErrStore;
    std::string keyName;
    DWORD result = FindPrinter(name, false, &keyName);
    const ItemInfo& nameItem = *FindItem(SRM_ITEM_PRINTERNAME);
    std::vector<uint8_t> former;
    if (result == 0) result = ReadItem(keyName, nameItem, &former);
    if (result != 0) return result;
    // Everything the spooler rename needs is checked before anything changes.
    const std::string from = inSpooler ? SpoolerNameOf(keyName) : std::string();
    std::string port;
    std::string driver;
    if (inSpooler) {
        RegKey spooler;
        RegKey entry;
        if (from.empty() || OpenKey(HKEY_LOCAL_MACHINE, kSpoolerRoot, KEY_QUERY_VALUE, &spooler) != 0 ||
            OpenKey(spooler.Get(), from, KEY_QUERY_VALUE, &entry) != 0) {
            return kSrmErrUnknownPrinter;
        }
        if (!QueryText(entry.Get(), "Port", &port) || !QueryText(entry.Get(), "Printer Driver", &driver)) {
            return kSrmErrStore;
        }
        RegKey taken;
        if (to != from && OpenKey(spooler.Get(), to, KEY_QUERY_VALUE, &taken) == 0) return kSrmErrExists;
    }
    result = WriteItem(keyName, nameItem, TextItem(to, kSrmSizePrinterName).data());
    if (result != 0 || !inSpooler || to == from) return result;
    result = RegisterWithSpooler(to, port, driver);
    if (result == 0) result = SetSpoolerName(keyName, to);
    if (result == 0 && !DeleteBelow(kSpoolerRoot, from)) result = kSrmErrStore;
    if (result != 0) {
        // Nothing of it stays: the printer as it was.
        DeleteBelow(kSpoolerRoot, to);
        SetSpoolerName(keyName, from);
        WriteItem(keyName, nameItem, former.data());
    }
    return result;
}

DWORD EnumPrinterName(DWORD index, std::string* name) {
    RegKey root;
    if (OpenKey(HKEY_LOCAL_MACHINE, kPrintersRoot, KEY_ENUMERATE_SUB_KEYS, &root) != 0) return kSrmErrNoMoreItems;
    char child[256] = {};
    DWORD length = sizeof child;
    const LONG status = RegEnumKeyExA(root.Get(), index, child, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return kSrmErrNoMoreItems;
    if (status != ERROR_SUCCESS) return kSrmErrStore;
    child[sizeof child - 1] = '\0';
    if (StoredName(child, name)) return 0;
    return UnescapePrinterKeyName(child, name) ? 0 : kSrmErrStore;
}

DWORD SetSuiteValue(DWORD which, LPCSTR text) {
    const char* path = which == SrmSuitePassword ? kSuiteKey : kSuiteModelKey;
    const char* value = which == SrmSuitePassword ? "Password" : "RPHLP";
    if (which != SrmSuitePassword && which != SrmSuiteHelpFile) return kSrmErrArgument;
    std::string content;
    if (text != nullptr && !BoundedText(text, kMaxSuiteTextLength, &content)) return kSrmErrArgument;
    RegKey key;
    if (CreateKey(HKEY_LOCAL_MACHINE, path, &key) != 0) return kSrmErrStore;
    if (text == nullptr) {
        const LONG status = RegDeleteValueA(key.Get(), value);
        return (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) ? 0 : kSrmErrStore;
    }
    return SetText(key.Get(), value, content);
}

}  // namespace srmstore
