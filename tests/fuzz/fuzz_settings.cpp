// Fuzzes the settings reader: the integer read agrees with the independent
// reference on any value text, every 32-bit value in each accepted form reads
// back as written, and the truth read follows the integer read.
#include "IniRules.h"
#include "IntegerReference.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::int32_t Sentinel = 0x5A5A5A5A;

void Check(bool ok, const char* what, const std::string& text) {
    if (ok) return;
    std::fprintf(stderr, "property failed: %s for \"%s\"\n", what, text.c_str());
    std::abort();
}

std::int32_t ReadKey(const std::string& file, std::int32_t defaultValue) {
    return ini::ReadInteger({file.data(), file.size()}, "OPTION", "Key", defaultValue);
}

// Writes `value` in one of the accepted forms chosen by `form`.
std::string Written(std::uint32_t bits, unsigned form, unsigned zeros, std::int32_t& expected) {
    static const char* const markers[] = {"$", "x", "X", "0x", "0X"};
    const std::string pad(zeros % 12, '0');
    char digits[16];
    switch (form % 4) {
    case 0: {  // decimal, sign when negative or when asked for
        const std::int32_t v = static_cast<std::int32_t>(bits);
        expected = v;
        std::snprintf(digits, sizeof digits, "%lld",
                      v < 0 ? -static_cast<long long>(v) : static_cast<long long>(v));
        return (v < 0 ? "-" : (form & 4) ? "+" : "") + pad + digits;
    }
    case 1: {  // hex pattern, optionally "+"
        expected = static_cast<std::int32_t>(bits);
        std::snprintf(digits, sizeof digits, (form & 8) ? "%X" : "%x", bits);
        return std::string((form & 4) ? "+" : "") + markers[(form >> 4) % 5] + pad + digits;
    }
    case 2: {  // "-" before a hex pattern negates it
        expected = static_cast<std::int32_t>(0u - bits);
        std::snprintf(digits, sizeof digits, "%X", bits);
        return std::string("-") + markers[(form >> 4) % 5] + pad + digits;
    }
    default: {  // a decimal with a blank inside is no number
        expected = Sentinel;
        std::snprintf(digits, sizeof digits, "%u", bits % 1000);
        return std::string(digits) + " 1";
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // 1. The input as a value text, on a line of its own.
    if (input.find_first_of("\r\n", 0) == std::string::npos &&
        input.find('\0') == std::string::npos) {
        const std::string file = "[OPTION]\nKey=" + input + "\n";
        std::int32_t expected = Sentinel;
        // The reader trims the value; the rule applies to what is left.
        std::size_t b = 0, e = input.size();
        while (b < e && static_cast<unsigned char>(input[b]) <= 32) ++b;
        while (e > b && static_cast<unsigned char>(input[e - 1]) <= 32) --e;
        if (!reference::Parse(input.substr(b, e - b), expected)) expected = Sentinel;
        Check(ReadKey(file, Sentinel) == expected, "integer read agrees with the reference", input);
    }

    // 2. The input as a whole file: the truth read follows the integer read.
    {
        const ini::TextView file = {input.data(), input.size()};
        const bool on = ini::ReadBool(file, "OPTION", "Key", true);
        Check(on == (ini::ReadInteger(file, "OPTION", "Key", 1) != 0), "truth read", input);
        const bool off = ini::ReadBool(file, "OPTION", "Key", false);
        Check(off == (ini::ReadInteger(file, "OPTION", "Key", 0) != 0), "truth read", input);
    }

    // 3. A 32-bit value written in a chosen form reads back as written.
    if (size >= 6) {
        std::uint32_t bits;
        std::memcpy(&bits, data, 4);
        std::int32_t expected = 0;
        const std::string text = Written(bits, data[4], data[5], expected);
        Check(ReadKey("[option]\r\n key = " + text + " \r\n", Sentinel) == expected,
              "value reads back as written", text);
    }
    return 0;
}
