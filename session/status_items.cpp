#include "status_items.h"

#include <strsafe.h>

#include "messages.h"
#include "srm_api.h"
#include "status_pure.h"
#include "text_pure.h"

constexpr char kPrintEnableSwitchText[] = "印刷可スイッチが押されていません。\n設定の更新はできません。";

void LoadStatusTextOf(int textId, char* buffer, int size) {
    if (textId == kTextPrintEnableSwitch)
        CopyText(buffer, static_cast<size_t>(size), kPrintEnableSwitchText);
    else
        LoadText(static_cast<UINT>(textId), buffer, size);
}

UINT ReadStatusItemOf(DWORD handle, StatusItem which, StatusItemValues* values) {
    constexpr UINT kTextExtStatusFailed = 110;
    constexpr UINT kTextStatusFailed = 84;
    constexpr UINT kTextAuthorityFailed = 86;
    DWORD length = 0;
    switch (which) {
    case ItemExtStatus: {
        DWORD value = kUnreadItem;
        if (GetPrinterStatusA(handle, SRM_ITEM_PRINTEREXTSTATUS, &value, kSrmSizePrinterExtStatus, &length) != 0)
            return kTextExtStatusFailed;
        values->extStatus = value;
        return value != kUnreadItem ? 0 : kTextExtStatusFailed;
    }
    case ItemStatus: {
        DWORD words[3] = {kUnreadItem, kUnreadItem, kUnreadItem};
        if (GetPrinterStatusA(handle, SRM_ITEM_PRINTERSTATUS, words, kSrmSizePrinterStatus, &length) != 0)
            return kTextStatusFailed;
        for (int i = 0; i < 3; ++i) values->status[i] = words[i];
        return words[1] != kUnreadItem && words[2] != kUnreadItem ? 0 : kTextStatusFailed;
    }
    case ItemAuthority: {
        DWORD value = kUnreadItem;
        if (GetPrinterStatusA(handle, SRM_ITEM_USERAUTHORITY, &value, kSrmSizeUserAuthority, &length) != 0)
            return kTextAuthorityFailed;
        values->authority = value;
        return 0;
    }
    }
    return kTextStatusFailed;
}

UINT ReadStatusItemsOf(DWORD handle, StatusItemValues* values) {
    for (StatusItem item : {ItemExtStatus, ItemStatus, ItemAuthority})
        if (UINT failed = ReadStatusItemOf(handle, item, values)) return failed;
    return 0;
}
