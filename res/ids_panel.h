// Resource and control ids (fixed numbers of the program).
#pragma once

// ---- Main window ----
#define IDC_TOOLBAR 10000          // toolbar child of the main window

// ---- About box 116 ----
#define IDD_ABOUT 116
#define IDC_ABOUT_ICON 1063
#define IDC_ABOUT_GROUP 1064

// ---- Panel dialog 117 ----
#define IDD_PANEL 117
#define IDC_UPDATEQUIT 1050        // "更新後終了(&S)"
#define IDC_QUIT 8                 // "終了(&X)"
#define IDC_UPDATE 12321           // "更新(&A)"
#define IDC_HELPBUTTON 9           // "ヘルプ(&H)"
#define IDC_STATUSFRAME 1061       // frame around the status picture
#define IDC_STATUSPICTURE 277      // owner-drawn status picture
#define IDC_STATUSTEXT 281
#define IDC_MODELLABEL 1046
#define IDC_MODELTEXT 278
#define IDC_PORTLABEL 1047
#define IDC_PORTTEXT 279
#define IDC_TABS 284

// Control of the first page whose enabled state stands for all pages.
#define IDC_PAGE0_MARKER 1159

// ---- Strings of the main window, the panel and the update procedure ----
#define IDS_ABOUT_MENU 1            // system menu item of the about box
#define IDS_TAB_FORMAT 2            // tab texts
#define IDS_TAB_PAPER 7
#define IDS_TAB_FONT 8
#define IDS_TAB_ENVIRONMENT 9
#define IDS_TAB_OTHER 10
#define IDS_TAB_PRINT 128
#define IDS_DEFAULTS_SHOWN 61       // settings unreadable, defaults shown
#define IDS_QUIT_UNFINISHED 69      // setting not finished; quit?
#define IDS_RETRY_WRITE 83          // setting failed; again?
#define IDS_BUSY_PRINTER 92         // printer busy or in error
#define IDS_PANEL_UNUSABLE 96       // panel cannot be used with this printer
#define IDS_TIP_SHOWDEFAULTS 97     // toolbar tooltips
#define IDS_TIP_READ 98
#define IDS_TIP_CHANGEPRINTER 99
#define IDS_SRM_NOT_OPENED 102
#define IDS_READ_FAILED 103
#define IDS_WRITE_FAILED 109
#define IDS_BUSY_WRITING 115
#define IDS_NAME_FAILED 116
#define IDS_PORT_CHANGED 118
#define IDS_PRINTER_REMOVED 121
#define IDS_BUSY_READING 122
#define IDS_TIP_HELP 124
#define IDS_NO_WINDOW_CLASS 125
#define IDS_FEATURE_UNAVAILABLE 126
#define IDS_FILE_PORT 135           // "FILE:" port cannot be read or updated
#define IDS_SETTINGS_UNSENDABLE 136 // the printer cannot take this combination

// ---- pictures (drawn by tools/make-art.py into res/art/, listed in art.rc) ----
#define IDI_PROGRAM 97              // program icon, 32 x 32 and 16 x 16
#define IDI_TAB_ENVIRONMENT 99      // tab icons (16 x 16 and 32 x 32)
#define IDI_TAB_OTHER 101
#define IDI_TAB_FONT 240
#define IDI_TAB_PAPER 241
#define IDI_TAB_FORMAT 244
#define IDI_TAB_PRINT 246
#define IDB_TOOLBAR 131             // four 16 x 16 toolbar images on silver
#define IDB_STATUS_PRINTER 211      // 35 x 35 printer on teal RGB(0,128,128)
#define IDI_STATUS_READONLY 142     // overlays of the status picture, 32 x 32
#define IDI_STATUS_UPDATEONLY 143
#define IDI_STATUS_NEITHER 144
#define IDI_PERFSKIP_OFF 231        // Paper page pictures, 32 x 32
#define IDI_PERFSKIP_ON 232
#define IDI_PAPERSET_LEFT 233
#define IDI_PAPERSET_CENTER 234
#define IDCUR_HELPMODE 310          // context-help cursor, hotspot at the arrow tip
