// The host's ABI: everything the host and a plugin agree on, byte for byte.
// The plugin, the sample host and the benchmark take the contract from here;
// nothing else is included, so any of them can.
//
// The order in which the host calls the six exports (all stdcall, one 32-bit
// stack slot per argument, exported under their plain names):
//   1. The library is loaded: the plugin registers the twelve message names
//      (HostMessageNames) before any export can be called.
//   2. TTBEvent_InitPluginInfo(fileName), at any time, any number of times;
//      the host hands each record back, once, through TTBEvent_FreePluginInfo.
//   3. TTBEvent_Init(fileName, pluginId) before the first command; it may come
//      again and then repeats everything.
//   4. TTBEvent_Execute(commandId, value) and TTBEvent_WindowsHook(message,
//      wParam, lParam), any number of times, also nested inside a dialog the
//      plugin has open on the same thread.
//   5. TTBEvent_Unload(); then the library is unloaded.
// The plugin calls back through one service, TTBPlugin_SetMenuProperty, found
// by name in the host's main module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// Truth values crossing the boundary are 32 bits wide, every bit set for true.
using HostBool = std::uint32_t;
constexpr HostBool HostTrue = 0xFFFFFFFFu;
constexpr HostBool HostFalse = 0;

// The records handed to the host: packed, little-endian, 32-bit pointers.
#pragma pack(push, 1)

struct PluginCommandInfo {
    const char* Name;
    const char* Caption;  // display text with its "&" accelerator mark
    std::int32_t CommandId;
    // The host's own values, handed over unchanged.
    std::uint32_t HostValueA;
    std::uint32_t HostValueB;
    std::uint32_t HostValueC;
    std::uint32_t HostValueD;
    std::uint32_t HostValueE;
};

struct PluginInfo {
    std::uint16_t HostWordA;
    const char* Name;
    const char* FileName;
    std::uint16_t HostWordB;
    std::uint32_t VersionMS;
    std::uint32_t VersionLS;
    std::int32_t CommandCount;
    PluginCommandInfo* Commands;
    std::uint32_t HostTail;  // the host's; never written or read by the plugin
};

#pragma pack(pop)

static_assert(sizeof(void*) == 4, "the host's records have 32-bit pointers");

static_assert(sizeof(PluginCommandInfo) == 32, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, Name) == 0, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, Caption) == 4, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, CommandId) == 8, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueA) == 12, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueB) == 16, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueC) == 20, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueD) == 24, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueE) == 28, "PluginCommandInfo layout");

static_assert(sizeof(PluginInfo) == 32, "PluginInfo layout");
static_assert(offsetof(PluginInfo, HostWordA) == 0, "PluginInfo layout");
static_assert(offsetof(PluginInfo, Name) == 2, "PluginInfo layout");
static_assert(offsetof(PluginInfo, FileName) == 6, "PluginInfo layout");
static_assert(offsetof(PluginInfo, HostWordB) == 10, "PluginInfo layout");
static_assert(offsetof(PluginInfo, VersionMS) == 12, "PluginInfo layout");
static_assert(offsetof(PluginInfo, VersionLS) == 16, "PluginInfo layout");
static_assert(offsetof(PluginInfo, CommandCount) == 20, "PluginInfo layout");
static_assert(offsetof(PluginInfo, Commands) == 24, "PluginInfo layout");
static_assert(offsetof(PluginInfo, HostTail) == 28, "PluginInfo layout");

// The six exports, as the plugin defines them and the host finds them.
extern "C" {
HostBool __stdcall TTBEvent_Init(const char* fileName, std::uint32_t pluginId);
void __stdcall TTBEvent_Unload();
HostBool __stdcall TTBEvent_Execute(std::int32_t commandId, std::uint32_t value);
// Only the low 16 bits of `message` are the message number.
void __stdcall TTBEvent_WindowsHook(std::uint32_t message, std::uint32_t wParam,
                                    std::uint32_t lParam);
PluginInfo* __stdcall TTBEvent_InitPluginInfo(const char* fileName);
void __stdcall TTBEvent_FreePluginInfo(PluginInfo* info);
}

using TTBEvent_InitFn = decltype(&TTBEvent_Init);
using TTBEvent_UnloadFn = decltype(&TTBEvent_Unload);
using TTBEvent_ExecuteFn = decltype(&TTBEvent_Execute);
using TTBEvent_WindowsHookFn = decltype(&TTBEvent_WindowsHook);
using TTBEvent_InitPluginInfoFn = decltype(&TTBEvent_InitPluginInfo);
using TTBEvent_FreePluginInfoFn = decltype(&TTBEvent_FreePluginInfo);

// What a host keeps of a loaded plugin: its six exports, found by name.
struct PluginExports {
    TTBEvent_InitFn Init = nullptr;
    TTBEvent_UnloadFn Unload = nullptr;
    TTBEvent_ExecuteFn Execute = nullptr;
    TTBEvent_WindowsHookFn WindowsHook = nullptr;
    TTBEvent_InitPluginInfoFn InitPluginInfo = nullptr;
    TTBEvent_FreePluginInfoFn FreePluginInfo = nullptr;
};

// Fills `exports` through `lookup` (a name in, the export's address out, as
// GetProcAddress does); `missing` hears of each name not found. True when
// all six are there.
template <typename Lookup, typename Missing>
bool FindPluginExports(PluginExports& exports, Lookup lookup, Missing missing) {
    bool all = true;
    auto find = [&](const char* name, auto& entry) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
            reinterpret_cast<void (*)()>(lookup(name)));
        if (!entry) missing(name);
        all = all && entry;
    };
    find("TTBEvent_Init", exports.Init);
    find("TTBEvent_Unload", exports.Unload);
    find("TTBEvent_Execute", exports.Execute);
    find("TTBEvent_WindowsHook", exports.WindowsHook);
    find("TTBEvent_InitPluginInfo", exports.InitPluginInfo);
    find("TTBEvent_FreePluginInfo", exports.FreePluginInfo);
    return all;
}

// The host's service that shows the switch: the plugin identifier from
// TTBEvent_Init, the command, the change mask and the flags. Its result is not
// read.
using TTBPlugin_SetMenuPropertyFn = std::int32_t(__stdcall*)(std::uint32_t pluginId,
                                                             std::int32_t commandId,
                                                             std::uint32_t changeMask,
                                                             std::uint32_t flags);
constexpr std::int32_t SwitchCommandId = 0;  // the command whose check mark shows the switch
constexpr std::uint32_t CheckMarkMask = 8;   // change mask: the check mark
constexpr std::uint32_t CheckedFlag = 8;     // flags: checked

// The host's services, in the order the plugin looks them up in the host's
// main module.
enum class HostService {
    GetAllPluginInfo,
    FreePluginInfoArray,
    GetPluginInfo,
    SetPluginInfo,
    FreePluginInfo,
    SetMenuProperty,
    SetTaskTrayIcon,
    WriteLog,
    ExecuteCommand,
    Count
};
constexpr const char* HostServiceNames[] = {
    "TTBPlugin_GetAllPluginInfo", "TTBPlugin_FreePluginInfoArray",
    "TTBPlugin_GetPluginInfo",    "TTBPlugin_SetPluginInfo",
    "TTBPlugin_FreePluginInfo",   "TTBPlugin_SetMenuProperty",
    "TTBPlugin_SetTaskTrayIcon",  "TTBPlugin_WriteLog",
    "TTBPlugin_ExecuteCommand",
};
static_assert(std::extent_v<decltype(HostServiceNames)> ==
                  static_cast<std::size_t>(HostService::Count),
              "one name per service");

// The host's registered window messages, in the order the plugin registers
// them. Relayed mouse events come under HMouseAction: the first parameter is
// the mouse message (WM_NCMBUTTONDOWN or WM_NCMBUTTONDBLCLK), the second the
// window under the mouse.
enum class HostMessage {
    IconNotify,
    LoadDataFile,
    SaveDataFile,
    HShellActivateShellWindow,
    HShellGetMinRect,
    HShellLanguage,
    HShellRedraw,
    HShellTaskMan,
    HShellWindowActivated,
    HShellWindowCreated,
    HShellWindowDestroyed,
    HMouseAction,
    Count
};
constexpr const char* HostMessageNames[] = {
    "TTBase ICON NOTIFY",
    "TTBase LOAD DATA FILE",
    "TTBase SAVE DATA FILE",
    "TTBase HShell Activate ShellWindow",
    "TTBase HShell GetMinRect",
    "TTBase HShell Language",
    "TTBase HShell Redraw",
    "TTBase HShell TaskMan",
    "TTBase HShell WindowActivated",
    "TTBase HShell WindowCreated",
    "TTBase HShell WindowDestroyed",
    "TTBase HMouse Action",
};
static_assert(std::extent_v<decltype(HostMessageNames)> ==
                  static_cast<std::size_t>(HostMessage::Count),
              "one name per message");
