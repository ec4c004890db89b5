// Resource and control ids (fixed numbers of the program): the application
// shell's dialogs and the string ids it loads.
#pragma once

// ---- Printer selection dialog ----
#define IDD_SELECTPRINTER 122
#define IDC_PRINTERLIST 285
#define IDC_SELECT_OK 1052
#define IDC_SELECT_CANCEL 1051

// ---- Password dialog ----
#define IDD_PASSWORD 1002
#define IDC_PASSWORD 1105

// ---- Strings the shell loads ----
#define IDS_TITLE 3
#define IDS_HEADING_NAME 11
#define IDS_HEADING_STATUS 12
#define IDS_HEADING_MODEL 13
#define IDS_HEADING_DESTINATION 14
#define IDS_SETTINGS_CHANGED 67
#define IDS_ALREADY_RUNNING 70
#define IDS_MAPPING_FAILED 71
#define IDS_CHOOSE_PRINTER 72
#define IDS_OS_NOT_SUPPORTED 73
#define IDS_MODEL_MISSING 74
#define IDS_PANEL_ENDS 76
#define IDS_REGISTRY_NOT_OPEN 77
#define IDS_MODEL_NAME 100
#define IDS_PRINTER_NOT_SERVED 101
#define IDS_STATUS_ONLINE 111
#define IDS_STATUS_OFFLINE 112
#define IDS_STATUS_UNKNOWN 113
#define IDS_ENUM_FAILED 123
