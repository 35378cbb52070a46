#include "IniRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace std::string_literals;

ini::TextView View(const std::string& s) { return {s.data(), s.size()}; }

constexpr std::int32_t Fails = 0x5A5A5A5A;  // a default no case produces

std::int32_t Integer(const std::string& value) {
    const std::string file = "[OPTION]\nKey=" + value + "\n";
    return ini::ReadInteger(View(file), "OPTION", "Key", Fails);
}

TEST(IntegerRule, AcceptedForms) {
    // clang-format off
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0}, {"00", 0}, {"-0", 0}, {"+0", 0}, {"1", 1}, {"01", 1}, {"+1", 1}, {"-1", -1},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"+2147483647", 2147483647},
        {"000000000000002147483647", 2147483647},
        {"$0", 0}, {"$1", 1}, {"x1", 1}, {"X1", 1}, {"0x1", 1}, {"0X1", 1}, {"0x0", 0},
        {"$ff", 255}, {"$FF", 255}, {"xAbC", 0xABC}, {"$7FFFFFFF", 2147483647},
        {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"$0000000000FFFFFFFF", -1},
        {"-$1", -1}, {"-$FFFFFFFF", 1}, {"-$80000000", INT32_MIN}, {"+$10", 16},
        {"-x10", -16}, {"-0x10", -16}, {"+0X10", 16},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(Integer(c.text), c.value) << c.text;
}

TEST(IntegerRule, RejectedFormsGiveTheDefault) {
    // clang-format off
    const char* cases[] = {
        "", "+", "-", "$", "x", "X", "0x", "-0x", "+$", "--1", "+-1", "1.0", "1 ; comment",
        "1 2", "one", "false", "off", "1a", "a1", "$G", "0x1G", "2147483648", "-2147483649",
        "99999999999999999999", "$100000000", "0x100000000", "-$100000000", "$-1", "0x-1",
        "0xx1", "0x$1", "$$1", "x0x1", "1e3", "١",
    };
    // clang-format on
    for (const char* c : cases) EXPECT_EQ(Integer(c), Fails) << c;
}

TEST(IntegerRule, ParseIntegerAgreesWithTheReader) {
    std::int32_t v = 0;
    EXPECT_TRUE(ini::ParseInteger(View("0x10"), v));
    EXPECT_EQ(v, 16);
    EXPECT_FALSE(ini::ParseInteger(View("0x"), v));
}

struct FileCase {
    std::string file;
    std::int32_t value;  // of OPTION/Key, or Fails when absent
};

TEST(IniText, LinesSectionsAndKeys) {
    // clang-format off
    const FileCase cases[] = {
        {"[OPTION]\nKey=1\n", 1},
        {"[OPTION]\r\nKey=2\r\n", 2},
        {"[OPTION]\rKey=3", 3},                        // CR alone ends a line; no final newline
        {"[option]\nkEy=4\n", 4},                      // case-insensitive names
        {"  [ OPTION ]  \n\t Key \t=\t 5 \t\n", 5},    // blanks trimmed everywhere
        {"\x01[OPTION]\x1F\nKey=6\x7F\n", Fails},      // 0x7F is no blank
        {"\x01[OPTION]\x1F\nKey=\x02" "7\x1F\n", 7},   // control codes are blanks
        {"[OPTION] ; note\nKey=8\n", Fails},           // not a header: no section
        {"[OPTION]\n[OPTION] ; note\nKey=9\n", 9},     // ... and the open one goes on
        {"Key=10\n[OPTION]\n", Fails},                 // before any section
        {"[OPTION]\n;Key=11\n", Fails},
        {"[OPTION]\n  ;Key=12\n", Fails},
        {"[OPTION]\nKey=1\nKey=13\n", 13},             // last line wins
        {"[OPTION]\nKey=14\n[Other]\nKey=1\n", 14},
        {"[OPTION]\nKey=15\n[OPTION]\nOther=1\n", Fails},  // only the last section counts
        {"[OPTION]\nKey=1\n[OPTION]\nKey=16\n", 16},
        {"[OPTION]\nKey=17=18\n", Fails},              // value is "17=18"
        {"[OPTION]\nKey==18\n", Fails},
        {"[OPTION]\nKey 19\n", Fails},                 // no "=": defines nothing
        {"[OPTION]\nKey=20\n\0Key=1\n"s, 20},          // NUL ends the text
        {"[OPT\0ION]\nKey=21\n"s, Fails},
        {"[OPTION]\nKey=22;c\n", Fails},               // no trailing comments
        {"[OPTIONS]\nKey=23\n", Fails},
        {"[OPTION]\nKeys=24\n", Fails},
        {"[]\nKey=25\n", Fails},
        {"[OPTION]\n=26\nKey=27\n", 27},
        {"[\x83" "OPTION]\nKey=28\n", Fails},          // non-ASCII byte in the name
        {"[OPTION]\n\n\n\r\n\r\rKey=29", 29},
        {"", Fails},
        {"[OPTION]", Fails},
        {"[", Fails},
        {"]", Fails},
    };
    // clang-format on
    for (const FileCase& c : cases) {
        EXPECT_EQ(ini::ReadInteger(View(c.file), "OPTION", "Key", Fails), c.value) << c.file;
    }
}

TEST(IniText, TruthValues) {
    // clang-format off
    const struct {
        const char* value;
        bool on;
    } cases[] = {
        {"0", false}, {"00", false}, {"-0", false}, {"0x0", false}, {"$0", false},
        {"1", true}, {"2", true}, {"-1", true}, {"false", true}, {"off", true}, {"", true},
        {"no", true}, {"0 ", false}, {"0;", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::string file = "[OPTION]\nStartMode=" + std::string(c.value) + "\n";
        EXPECT_EQ(ini::ReadBool(View(file), "OPTION", "StartMode", true), c.on) << c.value;
    }
    EXPECT_FALSE(ini::ReadBool(View("[OPTION]\nStartMode=x\n"), "OPTION", "StartMode", false));
    EXPECT_TRUE(ini::ReadBool(View("[OPTION]\n"), "OPTION", "StartMode", true));
}

TEST(IniText, LargeFileIsScannedWhole) {
    std::string file = "[OPTION]\n";
    while (file.size() < (1u << 20)) file += "Filler=" + std::string(100, 'f') + "\n";
    file += "Key=42";
    EXPECT_EQ(ini::ReadInteger(View(file), "OPTION", "Key", Fails), 42);
}

}  // namespace
