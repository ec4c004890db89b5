// The captions of a dialog's controls read from the bytes of its template
// resource (DIALOG or DIALOGEX, little-endian, texts in UTF-16), so that no
// window has to be created for them. Free of <windows.h>: built natively
// under the sanitizers and fuzzed. Every read is checked against the size of
// the resource: a malformed template never makes it read past its end.
#pragma once
#include <cstddef>
#include <string>

enum DialogTextResult {
    DialogTextFound,      // the caption is in *text (it may be empty)
    DialogTextNoControl,  // the template is whole but holds no control with that id
    DialogTextNotText,    // the control's title is a resource number (an icon), not a text
    DialogTextMalformed,  // the template ends early or is no dialog template
};

// The caption of the first control with id controlId in the template of
// `size` bytes at data (UTF-16, without its terminator). *text is emptied
// unless the result is DialogTextFound.
DialogTextResult FindDialogControlText(const void* data, size_t size, unsigned long controlId,
                                       std::u16string* text);

// A caption as the page's choice shows it in a line of text: "センタ(&N)"
// becomes "センタ". A "(&x)" mnemonic and a lone '&' go, "&&" is one '&', and
// the blanks at the end go.
std::u16string WithoutMnemonic(const std::u16string& caption);
