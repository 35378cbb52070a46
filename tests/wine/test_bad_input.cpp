// Settings files no person would write, and the entry points called in every
// order a host could use: the plugin keeps its defaults and the host runs on.
#include "DialogDriver.h"
#include "PluginTest.h"

#include <random>

namespace {

std::string RandomBytes(std::mt19937& random, size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

TEST_F(PluginTest, RandomSettingsFilesNeverBreakInit) {
    std::mt19937 random(20261211);
    for (int i = 0; i < 200; ++i) {
        std::string text = RandomBytes(random, random() % 4096);
        if (i % 2) text = "[OPTION]\n" + text;  // so the keys may be found too
        ASSERT_EQ(InitWithSettings(text, i), ExpectedTrue) << "file " << i;
        ASSERT_EQ(MenuPropertyCalls.back().pluginHandle, static_cast<DWORD>(i));
        const UINT trigger = ProbeTrigger();
        if (LastFlags() == 8) {
            EXPECT_TRUE(trigger == WM_NCMBUTTONDOWN || trigger == WM_NCMBUTTONDBLCLK);
        }
    }
}

struct OddFile {
    const char* what;
    std::string text;
    long flags;
    UINT trigger;
};

TEST_F(PluginTest, OddSettingsFilesGiveWhatTheRulesSay) {
    std::string big = "[OPTION]\r\n";
    while (big.size() < (1u << 20)) big += "Padding=" + std::string(120, 'p') + "\r\n";
    const OddFile cases[] = {
        {"1 MiB with the keys at the end", big + "StartMode=0\r\nMouseClickType=1\r\n", 0,
         WM_NCMBUTTONDBLCLK},
        {"NUL bytes before the section", std::string("\0\0\0[OPTION]\nStartMode=0\n", 25), 8,
         WM_NCMBUTTONDOWN},
        {"NUL inside a value", std::string("[OPTION]\nMouseClickType=1\0\nStartMode=0\n", 40), 8,
         WM_NCMBUTTONDBLCLK},
        {"a 100 000-byte line", "[OPTION]\nStartMode=" + std::string(100000, '0') + "\n", 0,
         WM_NCMBUTTONDOWN},
        {"a 100 000-byte key", "[OPTION]\n" + std::string(100000, 'k') + "=0\nStartMode=0\n", 0,
         WM_NCMBUTTONDOWN},
        {"a 100 000-byte section name", "[" + std::string(100000, 'S') + "]\nStartMode=0\n", 8,
         WM_NCMBUTTONDOWN},
        {"UTF-16 text", std::string("\xFF\xFE[\0O\0P\0T\0I\0O\0N\0]\0\n\0", 20), 8,
         WM_NCMBUTTONDOWN},
    };
    for (const OddFile& c : cases) {
        ASSERT_EQ(InitWithSettings(c.text), ExpectedTrue) << c.what;
        EXPECT_EQ(LastFlags(), c.flags) << c.what;
        if (c.flags == 0) plugin.Execute(0, 0);
        EXPECT_EQ(ProbeTrigger(), c.trigger) << c.what;
    }
}

TEST_F(PluginTest, PathLongerThanMaxPathGivesTheDefaults) {
    const std::string longName = dir.path() + std::string(300, 'n') + "\\NuperoForTTB.dll";
    EXPECT_EQ(plugin.Init(longName.c_str(), 1), ExpectedTrue);
    EXPECT_EQ(LastFlags(), 8);
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN);
    PluginInfo* info = plugin.InitPluginInfo(longName.c_str());
    ASSERT_NE(info, nullptr);
    plugin.FreePluginInfo(info);
}

TEST_F(PluginTest, EntryPointsInAnyOrderLeaveTheHostRunning) {
    // Before Init, after Unload, Init twice, Unload twice, information in between.
    const UINT hmouse = HMouseActionMessage();
    record.fakeDialog = true;
    plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, 0);
    EXPECT_EQ(plugin.Execute(1, 0), 0u);
    plugin.Unload();
    plugin.FreePluginInfo(plugin.InitPluginInfo("x.dll"));
    EXPECT_EQ(plugin.Init(nullptr, 1), ExpectedTrue);
    EXPECT_EQ(plugin.Init(PluginPath().c_str(), 2), ExpectedTrue);
    plugin.Unload();
    plugin.Unload();
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue);
    plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, 0);
    EXPECT_EQ(record.dialogsRequested, 2);
    EXPECT_EQ(plugin.Init(PluginPath().c_str(), 3), ExpectedTrue);
    EXPECT_EQ(MenuPropertyCalls.back(), (MenuPropertyCall{3, 0, 8, 8}));
}

TEST_F(PluginTest, EveryEntryPointNestedInAnOpenDialog) {
    ASSERT_EQ(plugin.Init(PluginPath().c_str(), 1), ExpectedTrue);
    HostWindow host(L"Nested host");
    PluginInfo* nestedInfo = nullptr;
    DialogDriver driver([&](DialogDriver& d) {
        HWND dialog = d.WaitForDialog();
        host.Send([&] {
            plugin.Init(PluginPath().c_str(), 5);
            nestedInfo = plugin.InitPluginInfo("nested.dll");
            plugin.Execute(0, 0);
            plugin.Execute(0, 0);
            plugin.Unload();
        });
        d.Press(dialog, VK_ESCAPE);
        d.WaitClosed(dialog);
    });
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue);
    EXPECT_EQ(driver.Finish(), std::vector<std::string>{});
    ASSERT_NE(nestedInfo, nullptr);
    plugin.FreePluginInfo(nestedInfo);
    EXPECT_EQ(MenuPropertyCalls.back(), (MenuPropertyCall{5, 0, 8, 8}));
}

}  // namespace
