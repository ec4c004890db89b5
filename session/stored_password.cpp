// The panel password the suite keeps in the registry, and the test of a
// typed password against it: the panel's gate and rpsettings ask the same.
#include "stored_password.h"

#include "suite_keys.h"
#include "text_pure.h"

int ReadStoredPassword(LocalBlock<char>* password) {
    ScopedRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, SUITE_KEY, KEY_QUERY_VALUE) != ERROR_SUCCESS) return 0;

    DWORD bytes = 0;
    LONG result = RegQueryValueExA(key.get(), "Password", nullptr, nullptr, nullptr, &bytes);
    // A value that changes between the two reads is read again with its new size.
    for (int attempt = 0; attempt < 3 && result == ERROR_SUCCESS; ++attempt) {
        password->Reset(static_cast<char*>(LocalAlloc(LPTR, bytes + 1)));
        if (!password->get()) break;
        DWORD size = bytes;
        result = RegQueryValueExA(key.get(), "Password", nullptr, nullptr, reinterpret_cast<BYTE*>(password->get()),
                                  &size);
        if (result == ERROR_SUCCESS) {
            password->get()[size < bytes ? size : bytes] = '\0';  // the value may lack its terminator
            CutToCompleteText(password->get(), (size < bytes ? size : bytes) + 1);
            return 1;
        }
        if (result == ERROR_MORE_DATA) {
            bytes = size;
            result = ERROR_SUCCESS;
        }
    }
    password->Reset(static_cast<char*>(LocalAlloc(LPTR, 1)));  // no password
    return password->get() ? 1 : 0;
}

int PasswordMatches(LPCSTR typed, LPCSTR stored) {
    return typed && typed[0] != '\0' && TextEquals(typed, stored);
}
