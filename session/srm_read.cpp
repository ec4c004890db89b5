#include <cstring>

#include "codec.h"
#include "srm_api.h"

DWORD ReadStatusItem(DWORD handle, LPCSTR item, void* destination, DWORD size, DWORD* length) {
    if (item == nullptr || std::strcmp(item, SRM_ITEM_SETTINGS) != 0) {
        return GetPrinterStatusA(handle, item, destination, size, length);
    }
    if (destination == nullptr) return ERROR_INVALID_PARAMETER;
    uint8_t block[kSettingsBlockSize] = {};
    DWORD result = GetPrinterStatusA(handle, SRM_ITEM_SETTINGS, block, sizeof block, length);
    if (result != 0) return result;
    DecodePrinterBlock(block, static_cast<SettingsRecord*>(destination));
    return 0;
}
