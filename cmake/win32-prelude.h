// Read first by every Win32 unit of the project (cmake/win32.cmake passes it
// with -include). It brings in the C and C++ headers that declare the
// unbounded string functions and <windows.h>, then <strsafe.h> without
// STRSAFE_NO_DEPRECATE: from here on strcpy, strcat, sprintf, lstrcpyA,
// lstrcatA, wsprintfA and their kin do not compile, only the bounded
// StringCch* and StringCb* functions do.
#pragma once
#ifdef __cplusplus
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#endif
#include <windows.h>
#include <strsafe.h>
