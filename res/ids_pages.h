// Resource and control ids (fixed numbers of the program).
#pragma once

// ---- Paper page (template 193) ----
#define IDD_PAPER_PAGE 193
#define IDC_PAPER_SETGROUP 1159     // group "用紙セット位置"; stands for the enabled state of all pages
#define IDC_PAPER_CENTER 1160       // radio: paper set centre
#define IDC_PAPER_LEFT 1162         // radio: paper set left
#define IDC_PAPER_SETICON 1301      // icon following the paper set position
#define IDC_PAPER_POSTCARD 1169     // check box: postcard print mode
#define IDC_PAPER_PERFSKIP 1171     // check box: perforation skip
#define IDC_PAPER_PERFICON 1302     // icon following the perforation skip
#define IDC_PAPER_HEADGROUP 1164    // group: head centring position at paper loading
#define IDC_PAPER_CUTLABEL 1173
#define IDC_PAPER_CUTEDIT 1323
#define IDC_PAPER_CUTSPIN 1326
#define IDC_PAPER_CUTUNIT 1176
#define IDC_PAPER_FRONTLABEL 1174
#define IDC_PAPER_FRONTEDIT 1324
#define IDC_PAPER_FRONTSPIN 1327
#define IDC_PAPER_FRONTUNIT 1177
#define IDC_PAPER_REARLABEL 1175
#define IDC_PAPER_REAREDIT 1325
#define IDC_PAPER_REARSPIN 1328
#define IDC_PAPER_REARUNIT 1179
#define IDC_PAPER_ADVANCED 1166     // button: opens dialog 198

// ---- Advanced paper settings dialog (template 198) ----
#define IDD_PAPER_ADVANCED 198
#define IDC_PAPERADV_MEMORY 1231     // check box: remember the paper load position
#define IDC_PAPERADV_THICKLABEL 1232
#define IDC_PAPERADV_THICKNESS 1308  // drop-down list: paper thickness adjustment

// ---- Format page (template 192) ----
#define IDD_FORMAT_PAGE 192
#define IDC_FORMAT_FEEDGROUP 1136    // group "吸入位置"
#define IDC_FORMAT_FRONTLABEL 1137
#define IDC_FORMAT_FRONTFEED 1330    // continuous paper, front
#define IDC_FORMAT_REARLABEL 1138
#define IDC_FORMAT_REARFEED 1331     // continuous paper, rear
#define IDC_FORMAT_CUTLABEL 1139
#define IDC_FORMAT_CUTFEED 1332      // cut sheet
#define IDC_FORMAT_POSTCARDLABEL 1140
#define IDC_FORMAT_POSTCARDFEED 1334 // postcard
#define IDC_FORMAT_LENGTHLABEL 1149
#define IDC_FORMAT_LENGTHEDIT 1317
#define IDC_FORMAT_LENGTHSPIN 1320
#define IDC_FORMAT_LENGTHUNIT 1153
#define IDC_FORMAT_ADJUSTGROUP 1151  // group "カット紙位置補正(&E)"
#define IDC_FORMAT_ADJUSTEDIT 1322
#define IDC_FORMAT_ADJUSTSPIN 1321
#define IDC_FORMAT_ADJUSTUNIT 1155
#define IDC_FORMAT_HINT 1358         // paper-size hint
#define IDC_FORMAT_SELECTGROUP 1329
#define IDC_FORMAT_SELECT 1134       // stored format selection
#define IDC_FORMAT_SETTINGS 1142     // button: opens dialog 199

// ---- Format settings dialog (template 199) ----
#define IDD_FORMAT_SETTINGS 199
#define IDC_FMTDLG_NAME 1356         // "書式１".."書式４"
#define IDC_FMTDLG_LENGTHLABEL 1234
#define IDC_FMTDLG_LENGTHEDIT 1318
#define IDC_FMTDLG_LENGTHSPIN 1161
#define IDC_FMTDLG_LENGTHUNIT 1250
#define IDC_FMTDLG_FEEDGROUP 1235
#define IDC_FMTDLG_FRONTLABEL 1236
#define IDC_FMTDLG_FRONTFEED 1333
#define IDC_FMTDLG_REARLABEL 1237
#define IDC_FMTDLG_REARFEED 1335
#define IDC_FMTDLG_CUTLABEL 1238
#define IDC_FMTDLG_CUTFEED 1336
#define IDC_FMTDLG_POSTCARDLABEL 1239
#define IDC_FMTDLG_POSTCARDFEED 1338
#define IDC_FMTDLG_CLEAR 1244
#define IDC_FMTDLG_LEFTLABEL 1240
#define IDC_FMTDLG_LEFTEDIT 1167
#define IDC_FMTDLG_LEFTSPIN 1170
#define IDC_FMTDLG_LEFTUNIT 1251
#define IDC_FMTDLG_RIGHTLABEL 1242
#define IDC_FMTDLG_RIGHTEDIT 1168
#define IDC_FMTDLG_RIGHTSPIN 1165
#define IDC_FMTDLG_RIGHTUNIT 1252
#define IDC_FMTDLG_ADJUSTGROUP 1245
#define IDC_FMTDLG_ADJUSTEDIT 1158
#define IDC_FMTDLG_ADJUSTSPIN 1163
#define IDC_FMTDLG_ADJUSTUNIT 1254
#define IDC_FMTDLG_HINT 1357

// ---- Strings used by the Paper and Format pages ----
#define IDS_MSG_RIGHT_NOT_ABOVE_LEFT 64  // right margin does not exceed the left margin
#define IDS_MSG_LEFT_ABOVE_RIGHT 65      // left margin exceeds the right margin
#define IDS_MSG_BAD_POS_ADJUST 68        // cut-sheet position correction not 0..68
#define IDS_MSG_BAD_PAGE_LENGTH 78       // page length not 1..99
#define IDS_MSG_BAD_HEAD_CENTER 79       // head centring position invalid
#define IDS_MSG_BAD_LEFT_MARGIN 81       // left margin not 0..135
#define IDS_MSG_BAD_RIGHT_MARGIN 82      // right margin not 1..136
#define IDS_HINT_A4_LANDSCAPE 36         // "A4ヨコ"
#define IDS_HINT_A4_PORTRAIT 37          // "A4タテ"
#define IDS_HINT_A5_PORTRAIT 38          // "A5タテ"
#define IDS_HINT_B4_PORTRAIT 39          // "B4タテ"
#define IDS_HINT_B5_PORTRAIT 40          // "B5タテ"
#define IDS_HINT_POSTCARD 41             // "ハガキ"
#define IDS_FORMAT_NAME_BASE 42          // + 1..4: "書式１".."書式４"
#define IDS_HINT_NONE 75                 // five blanks
