// Library load: the host's messages must be known before any entry point is
// called. Unload needs no code: static destructors release what is held.
#include "../plugin/MessageDef.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        RegisterHostMessages();
    }
    return TRUE;
}
