// String ids of rpsettings.exe; beside them it loads the panel's own texts.
#pragma once

#define IDS_RPS_USAGE 2000
#define IDS_RPS_FILE_LINE 2001         // file, line, reason
#define IDS_RPS_BAD_LINE 2002
#define IDS_RPS_UNKNOWN_SECTION 2003
#define IDS_RPS_UNKNOWN_KEY 2004
#define IDS_RPS_REPEATED_KEY 2005
#define IDS_RPS_BAD_VALUE 2006
#define IDS_RPS_OUT_OF_RANGE 2007      // key, the values allowed
#define IDS_RPS_WRONG_MODEL 2008
#define IDS_RPS_WRONG_VERSION 2009
#define IDS_RPS_MISSING_HEADER 2010
#define IDS_RPS_CANNOT_READ_FILE 2011
#define IDS_RPS_CANNOT_WRITE_FILE 2012
#define IDS_RPS_WRONG_PASSWORD 2013
#define IDS_RPS_PASSWORD_NEEDED 2014
#define IDS_RPS_CANNOT_OPEN 2015
#define IDS_RPS_APPLIED 2016
#define IDS_RPS_FAILED 2017
#define IDS_RPS_NO_CHANGE 2018
#define IDS_RPS_ON 2019
#define IDS_RPS_OFF 2020
#define IDS_RPS_NO_CUSTOM_FEED 2021    // feed key, custom key
#define IDS_RPS_VERIFY_FAILED 2022
#define IDS_RPS_SWITCH_FF 2023
#define IDS_RPS_DRY_RUN 2024
#define IDS_RPS_NO_PRINTERS 2025
#define IDS_RPS_NOT_SAVED 2026         // printer, reason
#define IDS_RPS_SAVED 2029
#define IDS_RPS_FILE_NO_SETTINGS 2030
#define IDS_RPS_NOT_SERVED 2031        // printer
#define IDS_RPS_HELD_BY_TOOL 2032
#define IDS_RPS_NOT_VERIFIED 2033      // printer, reason
#define IDS_RPS_PARTIAL_UNREADABLE 2034
#define IDS_RPS_NOT_CARRIED 2035
#define IDS_RPS_COLLATERAL 2036
#define IDS_RPS_UNKNOWN_OPTION 2037    // option
#define IDS_RPS_AMBIGUOUS 2038         // name
#define IDS_RPS_NEITHER 2039           // name
#define IDS_RPS_FILE_EMPTY 2040
#define IDS_RPS_FILE_UTF16 2041
#define IDS_RPS_BAD_BLOCK 2042
#define IDS_RPS_NO_SUCH_FILE 2043      // path
#define IDS_RPS_UNREADABLE_DRY_RUN 2044  // printer
#define IDS_RPS_REFUSED 2045           // printer, reason
#define IDS_RPS_BAD_OPTION_VALUE 2046  // option, value
#define IDS_RPS_BACKUP_FAILED 2047     // path
#define IDS_RPS_BACKED_UP 2048         // path
#define IDS_RPS_NOT_ANSWERING 2049     // printer, seconds
#define IDS_RPS_NOT_STARTED 2050       // printer
#define IDS_RPS_APPLY_SUMMARY 2051     // the counts of each outcome, all printers
#define IDS_RPS_CHECK_SUMMARY 2052     // conform, differ, unreadable, not started, all
#define IDS_RPS_SAVE_SUMMARY 2053      // saved, not saved, all
#define IDS_RPS_CANNOT_MAKE_DIRECTORY 2054  // directory
#define IDS_RPS_CHECK_HEADER 2055
#define IDS_RPS_PASSWORD_PROMPT 2056
#define IDS_RPS_OPTION_NEEDS_VALUE 2057  // option
#define IDS_RPS_CANNOT_READ_LIST 2058    // path
#define IDS_RPS_SAVE_WHERE 2059          // printer
// Backups, the change log and restore; command-line words.
#define IDS_RPS_FILE_EXISTS 2100         // path
#define IDS_RPS_CUT_SHORT 2101
#define IDS_RPS_NOT_COMPLETE 2102
#define IDS_RPS_FILE_TOO_LARGE 2103      // KB
#define IDS_RPS_CUSTOM_IS_ROW 2104       // custom key, value, row text, feed key
#define IDS_RPS_LOG_FAILED 2105          // log path
#define IDS_RPS_RESULT_NOT_LOGGED 2106   // log path
#define IDS_RPS_CANNOT_OPEN_LOG 2107     // log path
#define IDS_RPS_NO_SUCH_FOLDER 2108      // folder
#define IDS_RPS_NO_BACKUP 2109           // folder
#define IDS_RPS_NOT_A_BACKUP 2110        // path, reason
#define IDS_RPS_BACKUPS_HEADER 2111
#define IDS_RPS_RESTORED_FROM 2112       // path, time
#define IDS_RPS_SKIPPED 2113             // printer, reason
#define IDS_RPS_SKIPPED_COUNT 2114       // count
#define IDS_RPS_UNKNOWN_COMMAND 2115     // word
#define IDS_RPS_DID_YOU_MEAN 2116        // command
#define IDS_RPS_OPTION_NOT_FOR 2117      // option, command
#define IDS_RPS_MISSING_OPERAND 2118     // command
#define IDS_RPS_EXTRA_OPERAND 2119       // command, operand
#define IDS_RPS_SEE_HELP 2120
#define IDS_RPS_DEVICE_NAME 2121         // path
#define IDS_RPS_BAD_SAVED_TIME 2122
#define IDS_RPS_SAVED_LATER 2123
#define IDS_RPS_NEWER_UNUSABLE 2124      // printer, path, reason
#define IDS_RPS_BACKUP_UNREADABLE 2125
#define IDS_RPS_NO_BACKUP_BEFORE 2126    // folder, time
#define IDS_RPS_EMPTY_COMMAND 2127
#define IDS_RPS_BAD_VALUE_OF 2128        // key
#define IDS_RPS_NOT_HEX 2129             // key
// Site tables (kept apart from the numbers above).
#define IDS_RPS_CANNOT_WRITE_TABLE 2130  // path
#define IDS_RPS_CANNOT_READ_FOLDER 2131  // folder
#define IDS_RPS_MERGE_SUMMARY 2132       // path, rows, files, rows of PCs without a result
#define IDS_RPS_NOT_RESULT_FILE 2140     // (a result file that is no JSON object)
#define IDS_RPS_RESULT_NOT_DOCUMENT 2141
#define IDS_RPS_RESULT_NO_PRINTERS 2142
#define IDS_RPS_TABLE_IS_INPUT 2143      // table path, the file it would replace
#define IDS_RPS_TABLE_IN_FOLDER 2144     // table path, folder
#define IDS_RPS_TABLE_NOT_WRITTEN 2145   // path, exit code
#define IDS_RPS_LIST_EMPTY 2146
// Later additions, numbered after every text above (a number used twice
// shows the other text).
#define IDS_RPS_AFTER_END 2147
#define IDS_RPS_READ_BACK_NOT_ANSWERING 2148  // seconds
