#include "key_name.h"

int IsShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string EscapePrinterKeyName(const std::string& name) {
    std::string key;
    key.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsShiftJisLeadByte(c) && i + 1 < name.size()) {
            key += name[i];
            key += name[++i];
        } else if (c == '\\') {
            key += "%5C";
        } else if (c == '%') {
            key += "%25";
        } else {
            key += name[i];
        }
    }
    return key;
}

bool UnescapePrinterKeyName(const std::string& key, std::string* name) {
    std::string out;
    out.reserve(key.size());
    for (size_t i = 0; i < key.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(key[i]);
        if (IsShiftJisLeadByte(c) && i + 1 < key.size()) {
            out += key[i];
            out += key[++i];
        } else if (c == '%') {
            const std::string code = key.substr(i + 1, 2);
            if (code == "5C") out += '\\';
            else if (code == "25") out += '%';
            else return false;
            i += 2;
        } else {
            out += key[i];
        }
    }
    *name = out;
    return true;
}

bool HoldsBackslash(const std::string& name) {
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(name[i]))) ++i;
        else if (name[i] == '\\') return true;
    }
    return false;
}
