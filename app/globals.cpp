#include "app.h"

HANDLE InstanceMapping = nullptr;
HWND MainWindow = nullptr;
HWND ToolbarWindow = nullptr;
HWND HelpModeWindow = nullptr;
