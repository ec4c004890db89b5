// libFuzzer target for the names rpsettings takes from outside: the input is
// a printer-name list ("@FILE"); every name read, and the whole input taken as
// one printer name, must give a file name Windows can hold (no forbidden
// character outside a double-byte character, no trailing dot or blank, not
// empty, at most 200 bytes), and the names of all of them must be distinct.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "text_pure.h"
#include "rpsettings/site_pure.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckSafe(const std::string& name) {
    Check(!name.empty() && name.size() <= kMaxSafeFileName && name.back() != '.' && name.back() != ' ');
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsLeadByte932(c)) {
            Check(i + 1 < name.size());  // never a lead byte without its trail byte
            ++i;
            continue;
        }
        Check(c >= 0x20 && std::string("\\/:*?\"<>|").find(static_cast<char>(c)) == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NameList list = ParseNameList(reinterpret_cast<const char*>(data), size);
    list.names.push_back(std::string(reinterpret_cast<const char*>(data), size));
    for (const std::string& name : list.names) CheckSafe(SafeFileName(name));
    std::vector<std::string> files = UniqueFileNames(list.names);
    Check(files.size() == list.names.size());
    std::set<std::string> upper;
    for (std::string file : files) {
        for (size_t i = 0; i < file.size(); ++i) {  // ASCII letters only, never a trail byte
            if (IsLeadByte932(static_cast<unsigned char>(file[i]))) ++i;
            else if (file[i] >= 'a' && file[i] <= 'z') file[i] = static_cast<char>(file[i] - 32);
        }
        Check(upper.insert(file).second);
    }
    return 0;
}
