#include "Plugin.h"

#include "../main/Main.h"
#include "../support/Win32Handles.h"

#include <cstring>

HostServiceTable HostServices;
DWORD PluginHandle;

namespace {

// Released by its destructor when the library is unloaded.
HeapBlock FileNameStorage;

}  // namespace

const char* PluginFileName() { return FileNameStorage ? FileNameStorage.get<const char>() : ""; }

bool PluginFileNameKnown() { return static_cast<bool>(FileNameStorage); }

bool SetPluginFileName(const char* name) {
    if (!name) name = "";
    const std::size_t size = std::strlen(name) + 1;
    HeapBlock copy(GetProcessHeap(), size);
    if (copy) std::memcpy(copy.get(), name, size);
    // Out of memory leaves the name empty and unknown rather than stale.
    FileNameStorage = std::move(copy);
    return PluginFileNameKnown();
}

// The exports. They record what the host hands over and pass the call on; the
// plugin is built without exceptions, so nothing can unwind into the host.

extern "C" HostBool WINAPI TTBEvent_Init(const char* fileName, DWORD pluginHandle) {
    SetPluginFileName(fileName);
    PluginHandle = pluginHandle;

    static const char* const serviceNames[] = {
        "TTBPlugin_GetAllPluginInfo", "TTBPlugin_FreePluginInfoArray", "TTBPlugin_GetPluginInfo",
        "TTBPlugin_SetPluginInfo",    "TTBPlugin_FreePluginInfo",      "TTBPlugin_SetMenuProperty",
        "TTBPlugin_SetTaskTrayIcon",  "TTBPlugin_WriteLog",            "TTBPlugin_ExecuteCommand",
    };
    static_assert(sizeof serviceNames / sizeof serviceNames[0] ==
                      sizeof(HostServiceTable) / sizeof(FARPROC),
                  "one name per service");
    HMODULE host = GetModuleHandleA(nullptr);
    FARPROC* entry = &HostServices.GetAllPluginInfo;
    for (const char* name : serviceNames) *entry++ = GetProcAddress(host, name);

    return MainInit() ? HostTrue : HostFalse;
}

extern "C" void WINAPI TTBEvent_Unload() { MainUnload(); }

extern "C" HostBool WINAPI TTBEvent_Execute(int commandId, DWORD value) {
    return MainExecute(commandId, value) ? HostTrue : HostFalse;
}

extern "C" void WINAPI TTBEvent_WindowsHook(UINT message, DWORD wParam, DWORD lParam) {
    MainHook(static_cast<std::uint16_t>(message & 0xFFFF), wParam, lParam);
}
