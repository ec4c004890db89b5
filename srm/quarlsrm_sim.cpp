// The control functions of the stand-in (srm_sim.h): what srmctl.exe and the
// tests use to add printers and steer them. The panel never calls these.
#include <windows.h>
#include <strsafe.h>

#include <cstring>
#include <string>
#include <vector>

#include "srm_sim.h"
#include "store.h"

namespace {

bool IsFunctionName(LPCSTR function) {
    if (function == nullptr) return false;
    for (const char* name : kSrmFunctionNames) {
        if (std::strcmp(name, function) == 0) return true;
    }
    return false;
}

}  // namespace

SRMAPI SrmSimAddPrinter(LPCSTR name, LPCSTR port, LPCSTR detail, LPCSTR driver) {
    return srmstore::AddPrinter(name, port, detail, driver);
}

SRMAPI SrmSimRemovePrinter(LPCSTR name) { return srmstore::RemovePrinter(name); }

SRMAPI SrmSimRenamePrinter(LPCSTR name, LPCSTR newName, DWORD inSpooler) {
    return srmstore::RenamePrinter(name, newName, inSpooler != 0);
}

SRMAPI SrmSimEnumPrinters(DWORD index, LPSTR name, DWORD size) {
    if (name == nullptr || size == 0) return kSrmErrArgument;
    std::string found;
    const DWORD result = srmstore::EnumPrinterName(index, &found);
    if (result != 0) return result;
    if (found.size() >= size) return kSrmErrBufferTooSmall;
    return SUCCEEDED(StringCchCopyA(name, size, found.c_str())) ? 0 : kSrmErrBufferTooSmall;
}

SRMAPI SrmSimSetItem(LPCSTR name, LPCSTR item, const void* data, DWORD size) {
    if (data == nullptr) return kSrmErrArgument;
    std::string keyName;
    const DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    const srmstore::ItemInfo* info = srmstore::FindItem(item);
    if (info == nullptr) return kSrmErrUnknownItem;
    if (size != info->size) return kSrmErrSize;
    return srmstore::WriteItem(keyName, *info, data);
}

SRMAPI SrmSimGetItem(LPCSTR name, LPCSTR item, void* buffer, DWORD size) {
    if (buffer == nullptr) return kSrmErrArgument;
    std::string keyName;
    DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    const srmstore::ItemInfo* info = srmstore::FindItem(item);
    if (info == nullptr) return kSrmErrUnknownItem;
    if (size < info->size) return kSrmErrBufferTooSmall;
    std::vector<uint8_t> data;
    result = srmstore::ReadItem(keyName, *info, &data);
    if (result != 0) return result;
    memcpy(buffer, data.data(), info->size);
    return 0;
}

SRMAPI SrmSimSetFault(LPCSTR name, LPCSTR function, DWORD count) {
    std::string keyName;
    const DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    if (!IsFunctionName(function)) return kSrmErrArgument;
    return srmstore::SetControlValue(keyName, srmstore::FaultValueName(function), count);
}

SRMAPI SrmSimGetFault(LPCSTR name, LPCSTR function, DWORD* count) {
    if (count == nullptr) return kSrmErrArgument;
    std::string keyName;
    const DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    if (!IsFunctionName(function)) return kSrmErrArgument;
    return srmstore::GetControlValue(keyName, srmstore::FaultValueName(function), count);
}

SRMAPI SrmSimSetWriteStatus(LPCSTR name, DWORD status) {
    std::string keyName;
    const DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    return srmstore::SetControlValue(keyName, srmstore::kWriteStatusValue, status);
}

SRMAPI SrmSimSetReplyDelay(LPCSTR name, DWORD kind, DWORD milliseconds) {
    std::string keyName;
    const DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    const char* const values[] = {srmstore::kReadReplyValue, srmstore::kWriteReplyValue,
                                  srmstore::kDeviceDelayValue};
    if (kind >= ARRAYSIZE(values)) return kSrmErrArgument;
    return srmstore::SetControlValue(keyName, values[kind], milliseconds);
}

SRMAPI SrmSimReadLog(LPCSTR name, void* buffer, DWORD size, DWORD* needed) {
    if (needed == nullptr) return kSrmErrArgument;
    std::string keyName;
    DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    std::vector<uint8_t> log;
    result = srmstore::ReadLog(keyName, &log);
    if (result != 0) return result;
    *needed = static_cast<DWORD>(log.size());
    if (log.empty()) return 0;
    if (buffer == nullptr || size < log.size()) return kSrmErrBufferTooSmall;
    memcpy(buffer, log.data(), log.size());
    return 0;
}

SRMAPI SrmSimClearLog(LPCSTR name) {
    std::string keyName;
    const DWORD result = srmstore::FindPrinter(name, false, &keyName);
    if (result != 0) return result;
    return srmstore::ClearLog(keyName);
}

SRMAPI SrmSimSetSuiteValue(DWORD which, LPCSTR text) { return srmstore::SetSuiteValue(which, text); }
