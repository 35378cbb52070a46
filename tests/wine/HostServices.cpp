// The host's nine services, exported by the test program under their plain
// names (see host-services.def) so the plugin finds them in the main module.
#include "PluginHost.h"

extern "C" BOOL WINAPI TTBPlugin_SetMenuProperty(DWORD pluginHandle, int commandId,
                                                 DWORD changeMask, DWORD flags) {
    MenuPropertyCalls.push_back({pluginHandle, commandId, changeMask, flags});
    return TRUE;
}

// The plugin must never call the other eight; their forms are the host's.
#define UNCALLED_SERVICE(name) \
    extern "C" void WINAPI name() { ++OtherServiceCalls; }
UNCALLED_SERVICE(TTBPlugin_GetAllPluginInfo)
UNCALLED_SERVICE(TTBPlugin_FreePluginInfoArray)
UNCALLED_SERVICE(TTBPlugin_GetPluginInfo)
UNCALLED_SERVICE(TTBPlugin_SetPluginInfo)
UNCALLED_SERVICE(TTBPlugin_FreePluginInfo)
UNCALLED_SERVICE(TTBPlugin_SetTaskTrayIcon)
UNCALLED_SERVICE(TTBPlugin_WriteLog)
UNCALLED_SERVICE(TTBPlugin_ExecuteCommand)
