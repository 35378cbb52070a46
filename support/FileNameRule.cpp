#include "FileNameRule.h"

#include <cstring>

namespace filename {

std::size_t ExtensionStart(const char* name, std::size_t length, LeadBytePredicate isLeadByte) {
    std::size_t dot = length;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (isLeadByte(c) && i + 1 < length) {
            ++i;  // the trail byte may be 0x5C, the code of "\"
        } else if (c == '.') {
            dot = i;
        } else if (c == '\\' || c == ':') {
            dot = length;
        }
    }
    return dot;
}

std::size_t BuildSettingsFileName(const char* name, std::size_t stem, char* out) {
    std::memcpy(out, name, stem);
    std::memcpy(out + stem, SettingsExtension, sizeof(SettingsExtension));
    return stem + sizeof(SettingsExtension) - 1;
}

}  // namespace filename
