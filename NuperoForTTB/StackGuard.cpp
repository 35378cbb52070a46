// The stack protector's guard and failure routines, in place of those of the
// compiler's run-time library: its seed would import ADVAPI32, a DLL the
// plugin otherwise does without.
#include <windows.h>

#include <cstdint>

extern "C" {

// Replaced with a per-process value before any protected function runs.
void* __stack_chk_guard = reinterpret_cast<void*>(0xBB40E64E);

// A smashed stack cannot be trusted to unwind: end the host process at once,
// as Windows does for its own stack cookies.
[[noreturn]] void __stack_chk_fail() {
    if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE)) {
        __asm__ volatile("int $0x29" ::"c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE));
    }
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

// A fortified copy found its destination too small.
[[noreturn]] void __chk_fail() { __stack_chk_fail(); }

}  // extern "C"

// The seed Windows itself uses for its stack cookies: values that differ
// from one process and one moment to the next. Unprotected itself: it changes
// the guard its own check would compare against.
__attribute__((no_stack_protector)) void InitStackGuard() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    std::uintptr_t seed = now.dwLowDateTime ^ now.dwHighDateTime;
    seed ^= GetCurrentProcessId() ^ (GetCurrentThreadId() << 16) ^ GetTickCount();
    seed ^= counter.LowPart ^ counter.HighPart;
    seed ^= reinterpret_cast<std::uintptr_t>(&counter);
    if (seed == 0 || seed == reinterpret_cast<std::uintptr_t>(__stack_chk_guard))
        seed ^= 0x5A17C3E9;
    __stack_chk_guard = reinterpret_cast<void*>(seed);
}
