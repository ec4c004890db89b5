// Resource and control ids of the setting pages (fixed numbers of the program).
#pragma once

// ---- Operating environment page (template 243) ----
#define IDD_ENVIRONMENT_PAGE 243
#define IDC_ENV_EJECTGROUP 1337     // group: cut-sheet ejection direction
#define IDC_ENV_EJECTFRONT 1208     // radio: to the front (switches[3] bit 5 clear)
#define IDC_ENV_EJECTREAR 1209      // radio: to the rear (bit 5 set)
#define IDC_ENV_EDGEGROUP 1340      // group: paper left/right edge detection
#define IDC_ENV_EDGEDETECT 1207     // radio: detect (switches[3] bit 0 clear); encloses 1208 and 1209
#define IDC_ENV_EDGEOFF 1210        // radio: do not detect (bit 0 set)
#define IDC_ENV_LOADGROUP 1339      // group: sheet-guide automatic loading
#define IDC_ENV_LOADAUTO 1204       // radio: automatic (switches[3] bit 7 clear)
#define IDC_ENV_LOADSWITCH 1205     // radio: by the load/park switch (bit 7 set)
#define IDC_ENV_ADVANCED 1213       // button: opens dialog 208

// ---- Advanced operating environment dialog (template 208) ----
#define IDD_ENVIRONMENT_ADVANCED 208
#define IDC_ENVADV_FEEDEREJECTGROUP 1288   // group: sheet-feeder ejection direction
#define IDC_ENVADV_FEEDEREJECTCMD 1342     // radio: as the ejection command says (switches[3] bit 6 clear)
#define IDC_ENVADV_FEEDEREJECTREAR 1343    // radio: always to the rear (bit 6 set)
#define IDC_ENVADV_FEEDERLOADGROUP 1360    // group: sheet-feeder paper-load control
#define IDC_ENVADV_FEEDERLOADON 1361       // radio: on (switches[3] bit 1 set)
#define IDC_ENVADV_FEEDERLOADOFF 1362      // radio: off (bit 1 clear)
#define IDC_ENVADV_COLUMNSGROUP 1285       // group: print columns
#define IDC_ENVADV_COLUMNS136 1286         // radio: 136 columns (switches[1] bit 6 clear)
#define IDC_ENVADV_COLUMNS80 1287          // radio: 80 columns (bit 6 set)
#define IDC_ENVADV_CRGROUP 1351            // group: CR function
#define IDC_ENVADV_CRONLY 1347             // radio: CR only (switches[0] bit 7 clear)
#define IDC_ENVADV_CRLF 1348               // radio: CR and LF (bit 7 set)
#define IDC_ENVADV_AUTOCRGROUP 1352        // group: automatic CR/LF
#define IDC_ENVADV_AUTOCRLF 1349           // radio: CR and LF (switches[0] bit 5 clear)
#define IDC_ENVADV_AUTOCRONLY 1350         // radio: CR only (bit 5 set)

// ---- Other page (template 197) ----
#define IDD_OTHER_PAGE 197
#define IDC_OTHER_COMMANDGROUP 1353   // group: print command
#define IDC_OTHER_COMMANDCR 1219      // radio: CR (switches[0] bit 6 clear)
#define IDC_OTHER_COMMANDMORE 1220    // radio: CR and others (bit 6 set)
#define IDC_OTHER_DCGROUP 1354        // group: DC1/DC3 code processing
#define IDC_OTHER_DCON 1223           // radio: enabled (switches[0] bit 4 clear)
#define IDC_OTHER_DCOFF 1225          // radio: disabled (bit 4 set)
#define IDC_OTHER_BITSGROUP 1355      // group: 7/8-bit data
#define IDC_OTHER_BITS8 1228          // radio: 8 bit (switches[1] bit 5 clear)
#define IDC_OTHER_BITS7 1229          // radio: 7 bit (bit 5 set)
