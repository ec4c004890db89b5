#include "app.h"

HINSTANCE AppInstance = nullptr;
PrinterEntry* PrinterList = nullptr;
int PrinterCount = 0;
int MultiplePrinters = 1;
PrinterEntry* CurrentPrinter = nullptr;
HANDLE InstanceMapping = nullptr;
HWND MainWindow = nullptr;
HWND ToolbarWindow = nullptr;
HWND PanelWindow = nullptr;
HWND HelpModeWindow = nullptr;
HWND ForegroundRoleWindow = nullptr;
