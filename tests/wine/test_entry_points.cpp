// Init, Unload, Execute and WindowsHook as the host calls them: truth values,
// what reaches TTBPlugin_SetMenuProperty, the service lookups, commands and
// the hook's tests.
#include "DialogDriver.h"
#include "PluginTest.h"

namespace {

const std::vector<std::string> ServiceNames = {
    "TTBPlugin_GetAllPluginInfo", "TTBPlugin_FreePluginInfoArray",
    "TTBPlugin_GetPluginInfo",    "TTBPlugin_SetPluginInfo",
    "TTBPlugin_FreePluginInfo",   "TTBPlugin_SetMenuProperty",
    "TTBPlugin_SetTaskTrayIcon",  "TTBPlugin_WriteLog",
    "TTBPlugin_ExecuteCommand",
};

TEST_F(PluginTest, ExportsItsEntryPointsUnderPlainNames) {
    EXPECT_NE(plugin.Init, nullptr);
    EXPECT_NE(plugin.Unload, nullptr);
    EXPECT_NE(plugin.Execute, nullptr);
    EXPECT_NE(plugin.WindowsHook, nullptr);
}

TEST_F(PluginTest, InitWithoutSettingsStartsOnAndSendsTheCheckMark) {
    EXPECT_EQ(plugin.Init(PluginPath().c_str(), 0x1234ABCD), ExpectedTrue);
    EXPECT_EQ(MenuPropertyCalls, (std::vector<MenuPropertyCall>{{0x1234ABCD, 0, 8, 8}}));
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN);
    EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the settings file must not be created";
    EXPECT_EQ(OtherServiceCalls, 0);
}

TEST_F(PluginTest, InitLooksUpTheNineServicesInTheHostModuleInOrder) {
    plugin.Init(PluginPath().c_str(), 1);
    EXPECT_EQ(record.procLookups, ServiceNames);
    for (HMODULE m : record.procLookupModules) EXPECT_EQ(m, GetModuleHandleA(nullptr));

    // Every Init looks them all up again.
    record.procLookups.clear();
    plugin.Init(PluginPath().c_str(), 2);
    EXPECT_EQ(record.procLookups, ServiceNames);
}

TEST_F(PluginTest, InitWithNullNameReadsDotIniInTheCurrentDirectory) {
    // An empty file name gives the settings name ".ini", relative.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    dir.Write(".ini", "[OPTION]\nStartMode=0\n");
    SetCurrentDirectoryA(dir.path().c_str());
    const HostBool result = plugin.Init(nullptr, 5);
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(result, ExpectedTrue);
    EXPECT_EQ(record.procLookups.size(), 9u);
    EXPECT_EQ(MenuPropertyCalls, (std::vector<MenuPropertyCall>{{5, 0, 8, 0}}));
}

TEST_F(PluginTest, InitWithoutMemoryForTheNameReadsNoFileAndTakesTheDefaults) {
    // Unlike an empty name, a name that could not be copied is unknown: even
    // ".ini" in the current directory is not looked for.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    dir.Write(".ini", "[OPTION]\nStartMode=0\nMouseClickType=1\n");
    WriteSettings("[OPTION]\nStartMode=0\nMouseClickType=1\n");
    SetCurrentDirectoryA(dir.path().c_str());
    HostBool result;
    std::vector<std::string> called;
    {
        ImportCallCounter counter(plugin.module);
        HeapAllocFailure failure(plugin.module, 1);  // the copy of the name
        result = plugin.Init(PluginPath().c_str(), 6);
        called = counter.Called();
    }
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(result, ExpectedTrue);
    EXPECT_EQ(MenuPropertyCalls, (std::vector<MenuPropertyCall>{{6, 0, 8, 8}}));
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN);
    for (const std::string& call : called)
        EXPECT_EQ(call.find("CreateFile"), std::string::npos) << call;
}

TEST_F(PluginTest, ToggleFlipsTheSwitchAndSendsEachNewState) {
    plugin.Init(PluginPath().c_str(), 77);
    MenuPropertyCalls.clear();

    EXPECT_EQ(plugin.Execute(0, 0), ExpectedTrue);
    EXPECT_EQ(plugin.Execute(1, 0), 0u) << "command 1 is refused while off";
    EXPECT_EQ(plugin.Execute(0, 0xDEADBEEF), ExpectedTrue) << "the second value is ignored";
    EXPECT_EQ(MenuPropertyCalls, (std::vector<MenuPropertyCall>{{77, 0, 8, 0}, {77, 0, 8, 8}}));
    EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PluginTest, SecondInitReplacesHandleAndReturnsTheSwitchToStartMode) {
    InitWithSettings("[OPTION]\nStartMode=0\n", 1);
    plugin.Execute(0, 0);  // on
    EXPECT_EQ(LastFlags(), 8);

    WriteSettings("[OPTION]\nStartMode=0\nMouseClickType=1\n");
    EXPECT_EQ(plugin.Init(PluginPath().c_str(), 2), ExpectedTrue);
    EXPECT_EQ(MenuPropertyCalls.back(), (MenuPropertyCall{2, 0, 8, 0}));
    plugin.Execute(0, 0);
    EXPECT_EQ(MenuPropertyCalls.back(), (MenuPropertyCall{2, 0, 8, 8}));
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDBLCLK) << "the file is read afresh";
}

TEST_F(PluginTest, OtherCommandsReturnTrueAndDoNothing) {
    plugin.Init(PluginPath().c_str(), 1);
    MenuPropertyCalls.clear();
    ImportCallCounter calls(plugin.module);
    for (int command : {2, 7, -1, 0x7FFFFFFF, static_cast<int>(0x80000000)}) {
        EXPECT_EQ(plugin.Execute(command, 0), ExpectedTrue) << command;
    }
    EXPECT_TRUE(calls.Called().empty());
    EXPECT_TRUE(MenuPropertyCalls.empty());
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN) << "still on";
}

TEST_F(PluginTest, CommandOneWhileOffCallsNothingAtAll) {
    InitWithSettings("[OPTION]\nStartMode=0\n");
    ImportCallCounter calls(plugin.module);
    EXPECT_EQ(plugin.Execute(1, 0), 0u);
    EXPECT_EQ(calls.Called(), std::vector<std::string>{});
}

TEST_F(PluginTest, HookIgnoresEverythingButTheTriggerAndCallsNothing) {
    const UINT hmouse = HMouseActionMessage();
    // Before any Init the switch is off.
    {
        ImportCallCounter calls(plugin.module);
        plugin.WindowsHook(hmouse, WM_NCMBUTTONDOWN, 0);
        EXPECT_EQ(calls.Called(), std::vector<std::string>{});
    }
    plugin.Init(PluginPath().c_str(), 1);
    ImportCallCounter calls(plugin.module);
    const struct {
        UINT message;
        DWORD wParam;
    } misses[] = {
        {hmouse + 1, WM_NCMBUTTONDOWN},  // another message
        {RegisterWindowMessageA("TTBase ICON NOTIFY"), WM_NCMBUTTONDOWN},
        {hmouse, WM_NCMBUTTONDBLCLK},          // not the configured click
        {hmouse, WM_NCMBUTTONDOWN | 0x10000},  // all 32 bits of the parameter count
        {hmouse, WM_MBUTTONDOWN},
    };
    for (const auto& m : misses) plugin.WindowsHook(m.message, m.wParam, 0);
    EXPECT_EQ(calls.Called(), std::vector<std::string>{});
    EXPECT_EQ(record.dialogsRequested, 0);
}

TEST_F(PluginTest, HookMatchesTheMessageOnItsLow16BitsOnly) {
    plugin.Init(PluginPath().c_str(), 1);
    record.fakeDialog = true;
    plugin.WindowsHook(HMouseActionMessage() | 0xABCD0000u, WM_NCMBUTTONDOWN, 0);
    EXPECT_EQ(record.dialogsRequested, 1);
}

TEST_F(PluginTest, HookDoesNothingWhileSwitchedOff) {
    plugin.Init(PluginPath().c_str(), 1);
    plugin.Execute(0, 0);
    record.fakeDialog = true;
    plugin.WindowsHook(HMouseActionMessage(), WM_NCMBUTTONDOWN, 0);
    EXPECT_EQ(record.dialogsRequested, 0);
}

TEST_F(PluginTest, CommandsStillWorkAfterUnload) {
    plugin.Init(PluginPath().c_str(), 9);
    plugin.Unload();
    EXPECT_EQ(plugin.Execute(0, 0), ExpectedTrue);
    EXPECT_EQ(MenuPropertyCalls.back(), (MenuPropertyCall{9, 0, 8, 0}));
    plugin.Execute(0, 0);
    EXPECT_EQ(ProbeTrigger(), WM_NCMBUTTONDOWN);
}

TEST_F(PluginTest, ToggleBeforeInitChangesTheSwitchWithoutCallingTheHost) {
    // No Init yet: no service entry to call, but the switch turns on.
    EXPECT_EQ(plugin.Execute(0, 0), ExpectedTrue);
    EXPECT_TRUE(MenuPropertyCalls.empty());
    record.fakeDialog = true;
    EXPECT_EQ(plugin.Execute(1, 0), ExpectedTrue);
    EXPECT_EQ(record.dialogsRequested, 1);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

TEST_F(PluginTest, LoadingShowsNothing) {
    // The fixture has just loaded the DLL on this thread.
    DWORD count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 0u);
}

}  // namespace
