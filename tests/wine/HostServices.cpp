// The host's nine services, exported by the test program under their plain
// names (see host-services.def) so the plugin finds them in the main module.
#include "PluginHost.h"

#include <type_traits>

extern "C" std::int32_t __stdcall TTBPlugin_SetMenuProperty(std::uint32_t pluginHandle,
                                                            std::int32_t commandId,
                                                            std::uint32_t changeMask,
                                                            std::uint32_t flags) {
    MenuPropertyCalls.push_back({pluginHandle, commandId, changeMask, flags});
    return TRUE;
}
static_assert(std::is_same_v<decltype(&TTBPlugin_SetMenuProperty), TTBPlugin_SetMenuPropertyFn>,
              "the service as the plugin calls it");

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
