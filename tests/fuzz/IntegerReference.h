// An independent reading of the integer rule, for the fuzzers to check the
// reader against: a table of character classes and a state machine decide
// whether the text is valid; the value is computed apart from that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace reference {

enum Class { Sign, Dollar, LetterX, Zero, Digit, HexLetter, Other, ClassCount };
enum State { Start, Signed, Marker, Decimal, Hex, ZeroSeen, Reject, StateCount };

inline Class ClassOf(unsigned char c) {
    if (c == '+' || c == '-') return Sign;
    if (c == '$') return Dollar;
    if (c == 'x' || c == 'X') return LetterX;
    if (c == '0') return Zero;
    if (c >= '1' && c <= '9') return Digit;
    if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) return HexLetter;
    return Other;
}

// Next state for each state and class. ZeroSeen is a leading "0" that may
// still turn into the "0x" marker.
// clang-format off
constexpr State Next[StateCount][ClassCount] = {
    //            Sign    Dollar  LetterX Zero      Digit    HexLetter Other
    /* Start  */ {Signed, Marker, Marker, ZeroSeen, Decimal, Reject,   Reject},
    /* Signed */ {Reject, Marker, Marker, ZeroSeen, Decimal, Reject,   Reject},
    /* Marker */ {Reject, Reject, Reject, Hex,      Hex,     Hex,      Reject},
    /* Decimal*/ {Reject, Reject, Reject, Decimal,  Decimal, Reject,   Reject},
    /* Hex    */ {Reject, Reject, Reject, Hex,      Hex,     Hex,      Reject},
    /* ZeroSeen*/{Reject, Reject, Marker, Decimal,  Decimal, Reject,   Reject},
    /* Reject */ {Reject, Reject, Reject, Reject,   Reject,  Reject,   Reject},
};
// clang-format on

// The value the rule gives `text`, or false when the rule rejects it.
inline bool Parse(const std::string& text, std::int32_t& value) {
    State state = Start;
    std::size_t digitsFrom = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const State next = Next[state][ClassOf(static_cast<unsigned char>(text[i]))];
        if (next == Marker) digitsFrom = i + 1;
        if ((next == Decimal || next == ZeroSeen) && state != Decimal && state != ZeroSeen)
            digitsFrom = i;
        state = next;
    }
    if (state != Decimal && state != Hex && state != ZeroSeen) return false;

    const bool negative = text[0] == '-';
    const bool hex = state == Hex;
    std::string digits = text.substr(digitsFrom);
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > (hex ? 8u : 10u)) return false;
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        const unsigned d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        magnitude = magnitude * (hex ? 16 : 10) + d;
    }
    if (hex) {
        const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
        value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return false;
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                               : static_cast<std::int64_t>(magnitude));
    return true;
}

}  // namespace reference
