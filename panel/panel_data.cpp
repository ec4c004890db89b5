#include "messages.h"
#include "panel.h"
#include "srm_api.h"

DWORD SrmHandle = 0;
DWORD Notifications[kNotificationCount] = {};
DWORD WriteRequestId = 0;
int ReadAllowed = 1;
int UpdateAllowed = 1;
int PrinterNotReady = 0;
int ReadPending = 0;
int WritePending = 0;
int ChangesPending = 0;
int ReadRetries = 3;
DWORD ExtStatusValue = static_cast<DWORD>(-1);
DWORD StatusValues[3] = {static_cast<DWORD>(-1), static_cast<DWORD>(-1), static_cast<DWORD>(-1)};
DWORD AuthorityValue = static_cast<DWORD>(-1);
char StatusText[256] = "";

void ReleaseSrmHandle() {
    if (SrmHandle == 0) return;
    for (DWORD& id : Notifications) {
        if (id != 0) KillNotificationMsg(SrmHandle, id);
    }
    for (DWORD& id : Notifications) id = 0;
    CloseManager(SrmHandle);
    SrmHandle = 0;
}

int OpenSrmHandle(const char* printer) {
    char user[kTextSize] = "";
    DWORD userSize = sizeof user;
    if (!GetUserNameA(user, &userSize)) user[0] = '\0';
    DWORD handle = 0;
    if (OpenManagerExA(printer, user, kSrmAccess, &handle) != 0) return 0;
    ReleaseSrmHandle();
    SrmHandle = handle;
    ReadPending = 0;
    WritePending = 0;
    return 1;
}

PanelState* GetPanelState(HWND panel) {
    if (panel == nullptr) return nullptr;
    return reinterpret_cast<PanelState*>(GetWindowLongPtrA(panel, GWLP_USERDATA));
}
