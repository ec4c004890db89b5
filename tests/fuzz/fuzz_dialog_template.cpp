// libFuzzer target for the dialog template reader: the first two bytes are a
// control id (the program's ids fit in them), the rest is read as a template
// and searched for that control. A caption must lie inside the template, and
// losing its mnemonic never lengthens it. A violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/dialog_template_pure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const unsigned long id = data[0] | data[1] << 8;
    data += 2;
    size -= 2;
    std::u16string text;
    const DialogTextResult result = FindDialogControlText(size ? data : nullptr, size, id, &text);
    if (result != DialogTextFound) {
        if (!text.empty()) std::abort();
        return 0;
    }
    if (text.size() * 2 >= size) std::abort();
    if (WithoutMnemonic(text).size() > text.size()) std::abort();
    return 0;
}
