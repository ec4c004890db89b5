// The panel password of the suite and the printer named on the command line.
#include <windows.h>
#include <strsafe.h>

#include "app.h"
#include "messages.h"
#include "resource.h"
#include "shell_pure.h"
#include "text_pure.h"

namespace {

// The text of an edit control, whole, in a LocalAlloc block.
char* ReadWholeText(HWND control) {
    int length = GetWindowTextLengthA(control);
    char* text = static_cast<char*>(LocalAlloc(LPTR, static_cast<SIZE_T>(length) + 1));
    if (text) GetWindowTextA(control, text, length + 1);
    return text;
}

void OnPasswordEntered(HWND dialog) {
    LPCSTR stored = reinterpret_cast<LPCSTR>(GetWindowLongPtrA(dialog, DWLP_USER));
    HWND edit = GetDlgItem(dialog, IDC_PASSWORD);
    LocalBlock<char> typed(ReadWholeText(edit));
    if (PasswordMatches(typed.get(), stored)) {
        EndDialog(dialog, 1);
        return;
    }
    char caption[kTextSize];
    LoadText(IDS_TITLE, caption, kTextSize);
    ShowMessageBox(dialog, "パスワードが違います。", caption, MB_ICONERROR);
    SetWindowTextA(edit, "");
    SetFocus(edit);
}

INT_PTR CALLBACK PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnPasswordEntered(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR RunPasswordDialog(LPCSTR storedPassword) {
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_PASSWORD), nullptr, PasswordDialogProc,
                                     reinterpret_cast<LPARAM>(storedPassword));
    return result == 1 ? 1 : 0;
}

int PasswordGate(LPCSTR commandLine, LPCSTR* rest) {
    *rest = commandLine;
    LocalBlock<char> password;
    if (!ReadStoredPassword(&password)) return 0;

    int granted = password.get()[0] == '\0' ? 1 : 0;
    CommandLineParts parts = SplitCommandLine(commandLine, password.get());
    if (parts.passwordGiven) granted = 1;
    *rest = parts.rest;
    if (!granted) granted = static_cast<int>(RunPasswordDialog(password.get()));
    return granted;
}

PrinterEntry* ResolveStartPrinter(LPCSTR commandLine) {
    LPCSTR rest = nullptr;
    if (!PasswordGate(commandLine, &rest)) return nullptr;
    if (!rest) return PrinterList;
    if (PrinterEntry* entry = ListedPrinter(rest)) return entry;

    // The name may be as long as the command line: it is cut, the reason stays whole.
    char reason[kTextSize];
    LoadText(IDS_PRINTER_NOT_SERVED, reason, kTextSize);
    FormatNameThenText(MessageText, kTextSize, rest, " ", reason);
    BuildTitleCaption(MessageCaption, kTextSize, rest);
    ShowMessageBox(nullptr, MessageText, MessageCaption, MB_ICONWARNING);
    return nullptr;
}
