// The yardstick for the benchmarks: a DLL built like the plugin whose only
// export takes three arguments and does nothing.
#include <windows.h>

extern "C" void WINAPI Empty(UINT, DWORD, DWORD) {}
