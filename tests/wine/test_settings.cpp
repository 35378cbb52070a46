// Settings files on disk driving the switch and the trigger, read through the
// real DLL. The text rules themselves are covered natively, case by case.
#include "PluginTest.h"

namespace {

using namespace std::string_literals;

struct SettingsCase {
    std::string text;
    bool startsOn;
    UINT trigger;
};

class SettingsFileTest : public PluginTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsFileTest, SetsSwitchAndTrigger) {
    const SettingsCase& c = GetParam();
    ASSERT_EQ(InitWithSettings(c.text, 3), ExpectedTrue);
    ASSERT_EQ(MenuPropertyCalls.size(), 1u);
    EXPECT_EQ(MenuPropertyCalls[0], (MenuPropertyCall{3, 0, 8, c.startsOn ? 8u : 0u}));
    if (!c.startsOn) plugin.Execute(0, 0);  // the trigger shows only while on
    EXPECT_EQ(ProbeTrigger(), c.trigger);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsFileTest,
    ::testing::Values(
        SettingsCase{""s, true, WM_NCMBUTTONDOWN},
        SettingsCase{"[OPTION]\r\nMouseClickType=1\r\nStartMode=0\r\n"s, false, WM_NCMBUTTONDBLCLK},
        SettingsCase{"[option]\nmouseclicktype = 0x1\nstartmode\t=\t$0\n"s, false,
                     WM_NCMBUTTONDBLCLK},
        SettingsCase{"[ OPTION ]\rMouseClickType=x1\rStartMode=-0"s, false, WM_NCMBUTTONDBLCLK},
        SettingsCase{"[OPTION]\nMouseClickType=1 ; double\nStartMode=off\n"s, true,
                     WM_NCMBUTTONDOWN},
        SettingsCase{"[OPTION] ; options\nMouseClickType=1\nStartMode=0\n"s, true,
                     WM_NCMBUTTONDOWN},
        SettingsCase{"MouseClickType=1\nStartMode=0\n[OPTION]\n"s, true, WM_NCMBUTTONDOWN},
        SettingsCase{"[OPTION]\n;StartMode=0\nMouseClickType=2\n"s, true, WM_NCMBUTTONDOWN},
        SettingsCase{"[OPTION]\nStartMode=0\nStartMode=1\nMouseClickType=1\nMouseClickType=-1\n"s,
                     true, WM_NCMBUTTONDOWN},
        // Only the last section of a name is searched.
        SettingsCase{"[OPTION]\nMouseClickType=1\n[Other]\n[OPTION]\nStartMode=0\n"s, false,
                     WM_NCMBUTTONDOWN},
        // A NUL ends the text.
        SettingsCase{"[OPTION]\nStartMode=0\n\0MouseClickType=1\n"s, false, WM_NCMBUTTONDOWN}));

TEST_F(PluginTest, SettingsFileLockedByAnotherProgramGivesTheDefaults) {
    WriteSettings("[OPTION]\nMouseClickType=1\nStartMode=0\n");
    HANDLE lock = CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const HostBool result = plugin.Init(PluginPath().c_str(), 4);
    CloseHandle(lock);

    EXPECT_EQ(result, ExpectedTrue);
    EXPECT_EQ(MenuPropertyCalls, (std::vector<MenuPropertyCall>{{4, 0, 8, 8}}));
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN);
}

TEST_F(PluginTest, SettingsFileOpenForWritingWithSharingIsStillRead) {
    WriteSettings("[OPTION]\nStartMode=0\n");
    HANDLE writer = CreateFileA(SettingsPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    plugin.Init(PluginPath().c_str(), 4);
    CloseHandle(writer);
    EXPECT_EQ(LastFlags(), 0);
}

TEST_F(PluginTest, DirectoryInPlaceOfTheSettingsFileGivesTheDefaults) {
    ASSERT_TRUE(CreateDirectoryA(SettingsPath().c_str(), nullptr));
    EXPECT_EQ(plugin.Init(PluginPath().c_str(), 1), ExpectedTrue);
    EXPECT_EQ(LastFlags(), 8);
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN);
}

TEST_F(PluginTest, SettingsNameKeepsDotsOfDirectoriesAndReplacesOnlyTheLastExtension) {
    TempDirectory dotted;
    CreateDirectoryA((dotted.path() + "My.Tools").c_str(), nullptr);
    dotted.Write("My.Tools\\NuperoForTTB.ini", "[OPTION]\nStartMode=0\n");
    plugin.Init((dotted.path() + "My.Tools\\NuperoForTTB").c_str(), 1);
    EXPECT_EQ(LastFlags(), 0) << "a name without extension gets .ini appended";

    dir.Write("NuperoForTTB.old.ini", "[OPTION]\nStartMode=0\n");
    WriteSettings("[OPTION]\nStartMode=1\n");
    plugin.Init((dir.path() + "NuperoForTTB.old.dll").c_str(), 1);
    EXPECT_EQ(LastFlags(), 0);
}

TEST_F(PluginTest, DoubleByteCharacterEndingInBackslashCodeIsNoSeparator) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page (the cp932 run of ctest)";
    // 表 is 0x95 0x5C: its second byte is the code of "\".
    WriteSettings("");
    dir.Write("a.ini", "[OPTION]\nStartMode=0\n");
    plugin.Init((dir.path() + "a.\x95\x5C").c_str(), 1);
    EXPECT_EQ(LastFlags(), 0);
}

}  // namespace
