// Bounded text helpers for Shift-JIS (code page 932) texts, free of <windows.h>.
// Every function writes at most `size` bytes, always terminates a buffer of
// size > 0, and never cuts a text inside a double-byte character. A null text
// is treated as an empty one.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdio>

#if defined(__MINGW32__)
#define RP_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define RP_PRINTF_FORMAT printf
#endif

// Lead byte of a double-byte character in code page 932 (0x81-0x9F, 0xE0-0xFC).
// The trail byte that follows may be any byte 0x40-0xFC, 0x5C ('\') included.
inline bool IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The text itself, or "" for null: for %s arguments and comparisons.
inline const char* TextOrEmpty(const char* text) { return text ? text : ""; }

// Length in bytes of the longest start of text that holds only complete
// characters and is at most maxBytes long (stops at the terminator).
size_t CompleteTextLength(const char* text, size_t maxBytes);

// Terminates text within its buffer of `size` bytes (the last byte if no
// terminator is found) and drops a lead byte left without its trail byte at
// the end. Returns the new length.
size_t CutToCompleteText(char* text, size_t size);

// Formats into buffer like snprintf. Returns 1 when the whole text fitted, 0
// when it was cut (at a character boundary) or could not be formatted.
int FormatText(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(RP_PRINTF_FORMAT, 3, 4)));
int FormatTextV(char* buffer, size_t size, const char* format, va_list args)
    __attribute__((format(RP_PRINTF_FORMAT, 3, 0)));

// Copies a terminated text (null counts as empty). 1 when it fitted whole, 0 when cut.
int CopyText(char* buffer, size_t size, const char* text);

// Copies the text of a fixed-size field that may lack its terminator (for
// example an item read from the SRM): at most fieldSize bytes, up to the first
// terminator. 1 when it fitted whole, 0 when cut.
int CopyField(char* buffer, size_t size, const char* field, size_t fieldSize);

// 1 when both texts exist and are equal byte for byte (case-sensitive); a null
// text (a failed copy) equals nothing.
int TextEquals(const char* a, const char* b);

// 1 when a printer's destination is the port "FILE:", in any letter case, as
// Windows compares port names.
int IsFilePort(const char* destination);

// ---- Help file paths ----
enum HelpFileKind { HelpFileNone, HelpFileWinHelp, HelpFileHtmlHelp };

// The kind of help file by the last three characters of its path: "HLP" or
// "CHM" in any letter case; anything else (or a path under three characters) is none.
HelpFileKind HelpFileKindOf(const char* path);

// The WinHelp popup file beside an HTML Help file: the path without its last
// four characters (the dot and the extension) followed by ".POP".
// 1 on success, 0 when it does not fit (buffer then empty).
int BuildPopupPath(char* buffer, size_t size, const char* chmPath);
