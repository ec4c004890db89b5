// rpsettings: saves the panel settings of a served printer into a settings
// file, compares printers and files, and applies a file to many printers at
// once. It reaches the printers through the same SRM and the same settings
// core as the panel: discovery, the status items and their evaluation, the
// claim of one panel per printer, the password, the codec and the update
// command are the panel's. It serves exactly the printers the panel serves.
// This is its entry point; the commands and what they share are the other
// files of this folder.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "commands.h"
#include "messages.h"
#include "printer_access.h"
#include "tool_output.h"

int main(int argc, char** argv) {
    SetAppInstance(GetModuleHandleA(nullptr));
    SetMessageBoxHook(rps::ConsoleMessageBox);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const int code = rps::RunCommandLine(argc, argv);
    DropPrinterList();
    std::fflush(stdout);
    return code;
}
