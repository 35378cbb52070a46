// Settings text rules: how an INI file's bytes become values. Plain functions
// over a byte range, so they build and test without Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ini {

struct TextView {
    const char* data = nullptr;
    std::size_t size = 0;
};

// The value text of `key` in the last section named `section` (both matched
// without regard to ASCII letter case), trimmed; empty when either is missing.
TextView FindValue(TextView file, const char* section, const char* key);

// The integer rule: optional sign, then decimal digits or a hex marker
// ("$", "x", "X", "0x", "0X") with hex digits, and nothing else. False when the
// text does not follow the rule or the value is out of range.
bool ParseInteger(TextView text, std::int32_t& value);

// Integer read: the value text converted by the integer rule; the default
// when that fails. A reader that first turns a leading "0x" into "$" gives
// the same results, since the rule takes "0x" as a hex marker itself.
std::int32_t ReadInteger(TextView file, const char* section, const char* key,
                         std::int32_t defaultValue);

// Truth-value read: the integer read with default 1 or 0, true when nonzero.
bool ReadBool(TextView file, const char* section, const char* key, bool defaultValue);

}  // namespace ini
