// Entry point of the remote panel.
#include <windows.h>

#include "app.h"
#include "mainwnd.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "shell_pure.h"
#include "text_pure.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The rest of the line is taken from the system's own copy: the one the
    // start-up code passes in skips leading bytes of 0x80 and up as blanks,
    // which loses the first character of a Japanese printer name.
    LPCSTR commandLine = SkipProgramName(GetCommandLineA());

    // Settings marked not loaded, system check, discovery, password,
    // selection and the claim of the printer; every refusal ends here.
    int refused = SettlePrinter(instance, commandLine);
    if (refused) return refused;

    // The main window, whose creation builds the toolbar and the panel.
    if (!RegisterMainClass()) {
        ShowTwoTextMessage(nullptr, IDS_NO_WINDOW_CLASS, IDS_PANEL_ENDS, MB_ICONWARNING);
        CleanUpAfterLoop(nullptr);
        return 1;
    }
    HWND mainWindow = CreateMainWindow();
    if (!mainWindow) {
        CleanUpAfterLoop(nullptr);
        return 1;
    }
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDA_MAIN));
    ClearProgramCustomFeeds();
    return RunMessageLoop(accelerators);
}
