// Library load: the stack guard is seeded before anything else runs, and the
// host's messages must be known before any entry point is called. At unload
// the static destructors release the copy of the file name; the heap of the
// information records is kept on purpose, since a record the host has not
// handed back must stay valid.
#include "../plugin/MessageDef.h"

#include <windows.h>

void InitStackGuard();

__attribute__((no_stack_protector)) BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        InitStackGuard();
        DisableThreadLibraryCalls(instance);
        RegisterHostMessages();
    }
    return TRUE;
}
