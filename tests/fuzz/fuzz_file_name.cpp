// Fuzzes the settings file-name rule: the result always ends in ".ini", keeps
// the name up to where the extension began, and never moves or drops a
// separator ("\" or ":" that is not the trail byte of a double-byte character).
#include "FileNameRule.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool Cp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* name = reinterpret_cast<const char*>(data);
    const std::size_t stem = filename::ExtensionStart(name, size, Cp932Lead);
    std::vector<char> out(stem + sizeof filename::SettingsExtension);
    const std::size_t length = filename::BuildSettingsFileName(name, stem, out.data());

    Check(stem <= size, "the extension starts inside the name");
    Check(length == stem + 4 && std::memcmp(out.data() + stem, ".ini", 5) == 0, "ends in .ini");
    Check(std::memcmp(out.data(), name, stem) == 0, "the name before the extension is kept");
    Check(stem == size || name[stem] == '.', "an extension starts at a dot");

    // Where the separators are, skipping trail bytes.
    std::size_t lastSeparatorEnd = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = data[i];
        if (Cp932Lead(c) && i + 1 < size) {
            ++i;
        } else if (c == '\\' || c == ':') {
            lastSeparatorEnd = i + 1;
        }
    }
    Check(lastSeparatorEnd <= stem, "no separator is cut off with the extension");
    return 0;
}
