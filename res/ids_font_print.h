// Resource and control ids of the Font and Print pages and their dialogs
// (fixed numbers of the program).
#pragma once

// ---- Font page (template 194) ----
#define IDD_FONT_PAGE 194
#define IDC_FONT_FACEGROUP 1178      // group "書体選択"
#define IDC_FONT_MINCHO 1180         // radio: typeface Mincho
#define IDC_FONT_GOTHIC 1181         // radio: typeface Gothic
#define IDC_FONT_FACEICON 1297       // icon following the typeface
#define IDC_FONT_FONTGROUP 1182      // group "フォント設定"
#define IDC_FONT_FONT1LABEL 1187
#define IDC_FONT_FONT1 1306          // drop-down list: font 1
#define IDC_FONT_FONT2LABEL 1188
#define IDC_FONT_FONT2 1307          // drop-down list: font 2
#define IDC_FONT_ZERO1 1189          // check box: slashed zero, one-byte codes
#define IDC_FONT_ZERO1ICON 1298
#define IDC_FONT_ZERO2 1190          // check box: slashed zero, two-byte codes
#define IDC_FONT_ZERO2ICON 1299
#define IDC_FONT_ADVANCED 1191       // button: opens dialog 200

// ---- Advanced font settings dialog (template 200) ----
#define IDD_FONT_ADVANCED 200
#define IDC_FONTADV_CHARSETLABEL 1253
#define IDC_FONTADV_CHARSET 1300     // drop-down list: international character set
#define IDC_FONTADV_KANJIGROUP 1255  // group "漢字コード表"
#define IDC_FONTADV_JIS1978 1256
#define IDC_FONTADV_JIS1983 1257
#define IDC_FONTADV_JIS1990 1258

// ---- Print page (template 195) ----
#define IDD_PRINT_PAGE 195
#define IDC_PRINT_REDUCTIONGROUP 1199  // group "縮小印刷の選択(&N)"
#define IDC_PRINT_REDUCTION 1309       // drop-down list: reduced printing
#define IDC_PRINT_REDUCTIONICON 1303
#define IDC_PRINT_QUIET 1195           // check box: quiet printing
#define IDC_PRINT_DIRGROUP 1200        // group "ドット列の印刷方向"
#define IDC_PRINT_UNIDIR 1202          // radio: dot columns one way
#define IDC_PRINT_BIDIR 1203           // radio: dot columns both ways
#define IDC_PRINT_DIRICON 1304
#define IDC_PRINT_DOS 1197             // button: opens dialog 202
#define IDC_PRINT_ADVANCED 1198        // button: opens dialog 206

// ---- DOS environment dialog (template 202) ----
#define IDD_PRINT_DOS 202
#define IDC_DOS_MODEGROUP 1259
#define IDC_DOS_HDPICA 1260
#define IDC_DOS_HSPICA 1261
#define IDC_DOS_DIRGROUP 1265
#define IDC_DOS_UNIDIR 1266
#define IDC_DOS_SHORTEST 1267
#define IDC_DOS_DIRICON 1305
#define IDC_DOS_PICAGROUP 1262
#define IDC_DOS_SHSPICA 1263
#define IDC_DOS_NHSPICA 1264
#define IDC_DOS_LOADGROUP 1344
#define IDC_DOS_ESCAONLY 1345
#define IDC_DOS_ESCAMORE 1346
#define IDC_DOS_DOTSGROUP 1341
#define IDC_DOS_NATIVE 1289
#define IDC_DOS_COPY 1290
#define IDC_DOS_DRAFT 1268             // check box: draft mode at power-on

// ---- Advanced print settings dialog (template 206) ----
#define IDD_PRINT_ADVANCED 206
#define IDC_PRINTADV_PRESSURELABEL 1310
#define IDC_PRINTADV_PRESSURE 1311     // drop-down list: print pressure fine adjustment
#define IDC_PRINTADV_POSITIONLABEL 1269
#define IDC_PRINTADV_POSITION 1186     // drop-down list: print position fine adjustment

// ---- Pictures of the Font and Print pages, 32 x 32 (tools/make-art.py) ----
#define IDI_DIRECTION_BIDIR 222        // print direction both ways
#define IDI_DIRECTION_UNIDIR 224       // print direction one way
#define IDI_FACE_GOTHIC 225
#define IDI_FACE_MINCHO 226
#define IDI_ZERO1_PLAIN 227            // one-byte zero without slash
#define IDI_ZERO2_PLAIN 228            // two-byte zero without slash
#define IDI_ZERO1_SLASHED 229
#define IDI_ZERO2_SLASHED 230
#define IDI_REDUCE_23_CENTER 235       // reduced printing
#define IDI_REDUCE_23_LEFT 236
#define IDI_REDUCE_45_CENTER 237
#define IDI_REDUCE_45_LEFT 238
#define IDI_REDUCE_NONE 239
