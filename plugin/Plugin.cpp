// The exports the host calls for the plugin's life. They record what the host
// hands over and pass the call on; the plugin is built without exceptions, so
// nothing can unwind into the host.
#include "HostAbi.h"
#include "PluginState.h"

#include "../main/Main.h"

extern "C" HostBool __stdcall TTBEvent_Init(const char* fileName, std::uint32_t pluginId) {
    SetPluginFileName(fileName);
    PluginHandle = pluginId;

    // Every name is looked up, in order, and kept as it comes, null or not.
    const HMODULE host = GetModuleHandleA(nullptr);
    for (int i = 0; i < static_cast<int>(HostService::Count); ++i) {
        HostServices.entry[i] = GetProcAddress(host, HostServiceNames[i]);
    }
    return MainInit() ? HostTrue : HostFalse;
}

extern "C" void __stdcall TTBEvent_Unload() { MainUnload(); }

extern "C" HostBool __stdcall TTBEvent_Execute(std::int32_t commandId, std::uint32_t value) {
    return MainExecute(commandId, value) ? HostTrue : HostFalse;
}

extern "C" void __stdcall TTBEvent_WindowsHook(std::uint32_t message, std::uint32_t wParam,
                                               std::uint32_t lParam) {
    MainHook(static_cast<std::uint16_t>(message & 0xFFFF), wParam, lParam);
}
