#include "FileNameRule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Cp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool NoLead(unsigned char) { return false; }

std::string SettingsName(const std::string& name, filename::LeadBytePredicate lead = Cp932Lead) {
    const std::size_t stem = filename::ExtensionStart(name.data(), name.size(), lead);
    std::string out(stem + sizeof filename::SettingsExtension, '?');
    out.resize(filename::BuildSettingsFileName(name.data(), stem, &out[0]));
    return out;
}

TEST(SettingsFileName, ReplacesTheExtensionOfTheLastComponentOnly) {
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"C:\\Tools\\NuperoForTTB.dll", "C:\\Tools\\NuperoForTTB.ini"},
        {"D:\\x\\NuperoForTTB.old.dll", "D:\\x\\NuperoForTTB.old.ini"},
        {"C:\\My.Tools\\NuperoForTTB", "C:\\My.Tools\\NuperoForTTB.ini"},
        {"C:NuperoForTTB", "C:NuperoForTTB.ini"},
        {"C:.dir:file", "C:.dir:file.ini"},  // ":" ends a directory too
        {"a/b.c/d", "a/b.ini"},              // only "\" and ":" count
        {"plugin.", "plugin.ini"},
        {".dll", ".ini"},
        {"Plugins\\NuperoForTTB.dll", "Plugins\\NuperoForTTB.ini"},
        {"", ".ini"},
        {"\\\\server\\share.x\\p.dll", "\\\\server\\share.x\\p.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(SettingsName(c.name), c.expected) << c.name;
}

TEST(SettingsFileName, TrailBytesOfDoubleByteCharactersAreNeverSeparators) {
    // 表 is 0x95 0x5C in code page 932: its second byte is the code of "\".
    EXPECT_EQ(SettingsName("C:\\x\\a.\x95\x5C"), "C:\\x\\a.ini");
    EXPECT_EQ(SettingsName("C:\\\x95\x5C.dir\\a"), "C:\\\x95\x5C.dir\\a.ini");
    // In a single-byte code page the same bytes are a "\".
    EXPECT_EQ(SettingsName("C:\\x\\a.\x95\x5C", NoLead), "C:\\x\\a.\x95\x5C.ini");
    // A lead byte as the very last byte has no trail to hide.
    EXPECT_EQ(SettingsName("a.b\x95"), "a.ini");
    // A lead byte whose trail is "." hides that dot.
    EXPECT_EQ(SettingsName("a\x81.b"), "a\x81.b.ini");
}

}  // namespace
