// Entry point of the remote panel.
#include <windows.h>
#include <commctrl.h>

#include "settings.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    (void)instance;
    InvalidateSettings();
    InitCommonControls();
    return 0;
}
