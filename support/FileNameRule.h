// The settings file's name rule: the plugin's file name with its extension
// replaced by ".ini". Plain functions, so they build and test without Windows.
#pragma once

#include <cstddef>

namespace filename {

// True for a byte that starts a double-byte character in the code page in use.
using LeadBytePredicate = bool (*)(unsigned char);

// Where the extension of `name` begins: its last "." with no "\" or ":" after
// it, or `length` when it has none. The trail byte of a double-byte character
// is never taken for a separator or a dot.
std::size_t ExtensionStart(const char* name, std::size_t length, LeadBytePredicate isLeadByte);

constexpr char SettingsExtension[] = ".ini";

// Writes the settings file's name into `out`: the first `stem` bytes of
// `name` (its ExtensionStart) and ".ini". `out` must hold
// stem + sizeof(SettingsExtension) bytes; returns the name's length.
std::size_t BuildSettingsFileName(const char* name, std::size_t stem, char* out);

}  // namespace filename
