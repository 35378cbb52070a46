#include "IniRules.h"

namespace ini {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

TextView Trim(const char* begin, const char* end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    return {begin, static_cast<std::size_t>(end - begin)};
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(TextView text, const char* name) {
    std::size_t i = 0;
    for (; i < text.size; ++i) {
        if (name[i] == '\0' || FoldAscii(text.data[i]) != FoldAscii(name[i])) return false;
    }
    return name[i] == '\0';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

TextView FindValue(TextView file, const char* section, const char* key) {
    // A NUL ends the text, whatever its stated size.
    const char* const end = file.data + file.size;
    const char* textEnd = file.data;
    while (textEnd < end && *textEnd != '\0') ++textEnd;

    TextView found;
    bool inSection = false;
    for (const char* line = file.data; line < textEnd;) {
        const char* lineEnd = line;
        while (lineEnd < textEnd && *lineEnd != '\r' && *lineEnd != '\n') ++lineEnd;
        const char* next = lineEnd;
        if (next < textEnd && *next == '\r') ++next;
        if (next < textEnd && *next == '\n') ++next;

        const TextView t = Trim(line, lineEnd);
        line = next;
        if (t.size == 0 || t.data[0] == ';') continue;

        if (t.data[0] == '[' && t.data[t.size - 1] == ']' && t.size >= 2) {
            // A later section of the same name replaces the earlier one whole.
            inSection = SameName(Trim(t.data + 1, t.data + t.size - 1), section);
            if (inSection) found = TextView{};
            continue;
        }
        if (!inSection) continue;

        const char* equals = t.data;
        while (equals < t.data + t.size && *equals != '=') ++equals;
        if (equals == t.data + t.size) continue;
        if (SameName(Trim(t.data, equals), key)) found = Trim(equals + 1, t.data + t.size);
    }
    return found;
}

bool ParseInteger(TextView text, std::int32_t& value) {
    const char* p = text.data;
    const char* const end = text.data + text.size;

    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = (*p++ == '-');

    bool hex = false;
    if (p < end && (*p == '$' || *p == 'x' || *p == 'X')) {
        hex = true;
        ++p;
    } else if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p == end) return false;

    // Accumulated in 64 bits; checked against the limit after every digit so
    // that any number of digits is safe.
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; p < end; ++p) {
        const int digit = hex ? HexDigit(*p) : ((*p >= '0' && *p <= '9') ? *p - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (magnitude > limit) return false;
    }

    // Hex is a 32-bit two's-complement pattern; "-" negates it modulo 2^32.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
}

std::int32_t ReadInteger(TextView file, const char* section, const char* key,
                         std::int32_t defaultValue) {
    // The reader's rewrite of a leading "0x" into "$" needs no step of its own:
    // the integer rule already takes "0x" as a hex marker, and "0x" alone
    // (too short to be rewritten) fails either way.
    std::int32_t value = 0;
    return ParseInteger(FindValue(file, section, key), value) ? value : defaultValue;
}

bool ReadBool(TextView file, const char* section, const char* key, bool defaultValue) {
    return ReadInteger(file, section, key, defaultValue ? 1 : 0) != 0;
}

}  // namespace ini
