// The registry store of the simulated printers (layout in srm_sim.h), shared
// by the nine SRM functions and the control functions of the stand-in. Every
// change that reads before it writes runs under one named mutex, so that
// processes of the same prefix do not lose each other's changes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace srmstore {

// An open registry key, closed on destruction.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* Receive() { Close(); return &key_; }
    HKEY Get() const { return key_; }
    void Close() {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

// A kernel handle (event, thread, mutex), closed on destruction.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() { Reset(nullptr); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE Get() const { return handle_; }
    void Reset(HANDLE handle) {
        if (handle_ != nullptr) CloseHandle(handle_);
        handle_ = handle;
    }
    HANDLE Release() {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// A status item: its name and the size of its layout.
struct ItemInfo {
    const char* name;
    DWORD size;
};
// The item of that name (case-sensitive), or null.
const ItemInfo* FindItem(LPCSTR name);
const ItemInfo& SettingsItem();

// The printer's key name under the store's printers key. With reportedName
// a printer whose "PrinterName" item equals name is found too (a printer that
// was renamed is still reachable under its new name).
DWORD FindPrinter(LPCSTR name, bool reportedName, std::string* keyName);
DWORD OpenPrinterKey(const std::string& keyName, REGSAM access, RegKey* key);

// The item as stored; exactly item.size bytes.
DWORD ReadItem(const std::string& keyName, const ItemInfo& item, std::vector<uint8_t>* data);
DWORD ReadItemFromKey(HKEY printerKey, const ItemInfo& item, std::vector<uint8_t>* data);
DWORD WriteItem(const std::string& keyName, const ItemInfo& item, const void* data);

// Fault settings. TakeFault returns kSrmErrInjected when the function is to
// fail now (and counts the failure), else 0.
DWORD TakeFault(const std::string& keyName, const char* function);
DWORD SetControlValue(const std::string& keyName, const std::string& value, DWORD data);
DWORD GetControlValue(const std::string& keyName, const std::string& value, DWORD* data);
std::string FaultValueName(const char* function);  // "Fail." + function
extern const char kWriteStatusValue[];
extern const char kReadReplyValue[];
extern const char kWriteReplyValue[];
extern const char kDeviceDelayValue[];
// Waits the printer's device delay (srmctl delay), as a synchronous read or
// write of the settings block waits on the device; holds no lock meanwhile.
void WaitForDevice(const std::string& keyName);

// A well-formed command area received: logged, and applied to the block
// unless the printer refuses writes; *status is the printer's answer.
DWORD ReceiveCommand(const std::string& keyName, const uint8_t* area, DWORD* status);
DWORD ReadLog(const std::string& keyName, std::vector<uint8_t>* log);
DWORD ClearLog(const std::string& keyName);

DWORD AddPrinter(LPCSTR name, LPCSTR port, LPCSTR detail, LPCSTR driver);
DWORD RemovePrinter(LPCSTR name);
// Gives the printer `name` (as added) the reported name newName; inSpooler:
// also renames its spooler entry, whatever it is listed as now, as a person
// renaming the printer in the system does. All of it or nothing.
DWORD RenamePrinter(LPCSTR name, LPCSTR newName, bool inSpooler);
DWORD EnumPrinterName(DWORD index, std::string* name);
DWORD SetSuiteValue(DWORD which, LPCSTR text);

// The factory settings block: the defaults encoded, with the format marks 1, 4.
void FactoryBlock(uint8_t block[260]);

}  // namespace srmstore
