// Resource ids, control ids, command ids and private window messages of the
// remote panel. All numbers are fixed; windres includes this file too.
#pragma once

// ---- Private window messages (WM_USER = 1024) ----
// Page contract
#define RPM_SHOWRECORD 1025
// wParam of RPM_SHOWRECORD: enable the page as its controls stand (the user's
// changes kept) instead of filling it from the record.
#define RPM_SHOWRECORD_KEEP 1
#define RPM_DISABLE 1026
#define RPM_STORE 1027
#define RPM_SETTINGCHANGED 1128
// Main window, from other programs and a second start
#define RPM_PRINTERSCHANGED 1124
#define RPM_CLOSEPANEL 1225
#define RPM_BRINGTOFRONT 1324
// SRM replies and notifications, and the panel's own refresh messages
#define RPM_READREPLY 1226
#define RPM_REFRESH1 1227
#define RPM_REFRESH2 1228
#define RPM_REFRESH3 1229
#define RPM_REFRESH4 1230
#define RPM_REFRESH5 1231
#define RPM_WRITEREPLY 1233
#define RPM_EXTSTATUSCHANGED 1234
#define RPM_STATUSCHANGED 1235
#define RPM_AUTHORITYCHANGED 1236
#define RPM_NAMECHANGED 1237
#define RPM_PORTCHANGED 1238
#define RPM_SETTINGSCHANGED 1239

// ---- Commands (toolbar and accelerator table 132) ----
#define CMD_SHOWDEFAULTS 280
#define CMD_READSETTINGS 282
#define CMD_CHANGEPRINTER 283
#define CMD_HELPMODE 1029
#define IDM_ABOUT 0xE000

// ---- Accelerators ----
#define IDA_MAIN 132

// ---- Resource and control ids, one header per part of the program ----
#include "ids_shell.h"   // selection dialog 122, password dialog 1002
#include "ids_panel.h"   // main window, about box 116, panel 117, status pictures, tab icons
#include "ids_pages.h"   // the Paper and Format pages and their sub-dialogs
#include "ids_font_print.h"   // the Font and Print pages and their sub-dialogs
#include "ids_env_other.h"    // the Operating environment and Other pages
