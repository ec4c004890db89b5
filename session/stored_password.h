// The suite's panel password: read from the registry and compared with what
// was typed. The panel's password gate and rpsettings share it.
#pragma once
#include <windows.h>

#include "scoped.h"

// Reads the suite's "Password" value whole, however long, into a LocalAlloc
// block (an empty text when the value is missing or unreadable). 0 when the
// suite key cannot be opened.
int ReadStoredPassword(LocalBlock<char>* password);
// The password dialog's test: a typed text that is not empty and equals the
// stored password byte for byte.
int PasswordMatches(LPCSTR typed, LPCSTR stored);
