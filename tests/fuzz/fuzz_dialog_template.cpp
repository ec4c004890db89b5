// libFuzzer target: two bytes of control id, then any template. A caption lies
// inside the template and never grows without its mnemonic; else abort.
#include <cstdint>
#include <cstdlib>

#include "dialog_template_pure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text;
    const DialogTextResult found =
        size < 2 ? DialogTextMalformed : FindDialogControlText(data + 2, size - 2, data[0] | data[1] << 8, &text);
    if (found == DialogTextFound ? text.size() * 2 + 4 > size : !text.empty()) std::abort();
    if (WithoutMnemonic(text).size() > text.size()) std::abort();
    return 0;
}
