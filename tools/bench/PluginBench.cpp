// Measures the plugin against yardsticks in one run, interleaved, best of
// several rounds, so the machine's noise cancels. Prints one line per figure:
//   name <tab> value <tab> goal <tab> holds
#include "../../plugin/HostAbi.h"
#include "../probes/HeapProbe.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace {

using HookFn = TTBEvent_WindowsHookFn;

double Seconds(const std::function<void()>& run) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    run();
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// Best time of each of the measurements over `rounds`, taken in turn.
std::vector<double> Interleaved(int rounds, const std::vector<std::function<void()>>& runs) {
    std::vector<double> best(runs.size(), 1e30);
    for (int r = 0; r < rounds; ++r) {
        for (size_t i = 0; i < runs.size(); ++i) best[i] = std::min(best[i], Seconds(runs[i]));
    }
    return best;
}

void Report(const char* name, double value, const char* unit, double goal, bool atMost = true) {
    const bool holds = atMost ? value <= goal : value >= goal;
    std::printf("%-44s %10.3f %-6s goal %s %-8g %s\n", name, value, unit,
                atMost ? "<=" : ">=", goal, holds ? "holds" : "MISSED");
}

// Counting the instructions one call executes, by single-stepping it: the
// trap flag makes the processor stop after every instruction, and a
// vectored handler counts the stops and sets the flag again until the call
// has returned. The count is the same on every run, whatever the machine.
HookFn stepFunction;
UINT stepMessage;
DWORD stepWParam, stepLParam;
DWORD stepReturnAddress;
volatile long stepTraps;
volatile bool stepping;

LONG CALLBACK CountStep(EXCEPTION_POINTERS* e) {
    if (e->ExceptionRecord->ExceptionCode != EXCEPTION_SINGLE_STEP || !stepping) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    ++stepTraps;
    if (e->ContextRecord->Eip == stepReturnAddress) {
        stepping = false;
        e->ContextRecord->EFlags &= ~0x100u;
    } else {
        e->ContextRecord->EFlags |= 0x100u;
    }
    return EXCEPTION_CONTINUE_EXECUTION;
}

__attribute__((noinline)) long InstructionsOf(HookFn f, UINT message, DWORD wParam, DWORD lParam) {
    stepFunction = f;
    stepMessage = message;
    stepWParam = wParam;
    stepLParam = lParam;
    stepTraps = 0;
    stepping = true;
    PVOID handler = AddVectoredExceptionHandler(1, CountStep);
    // The arguments come from globals (absolute addresses), since the stack
    // moves under the pushes; the stdcall callee removes them.
    __asm__ volatile(
        "movl $1f, %[ret]\n\t"
        "pushl %[l]\n\t"
        "pushl %[w]\n\t"
        "pushl %[m]\n\t"
        "pushfl\n\t"
        "orl $0x100, (%%esp)\n\t"
        "popfl\n\t"
        "call *%[f]\n"
        "1:\n\t"
        : [ret] "=m"(stepReturnAddress)
        : [f] "m"(stepFunction), [m] "m"(stepMessage), [w] "m"(stepWParam), [l] "m"(stepLParam)
        : "eax", "ecx", "edx", "memory", "cc");
    RemoveVectoredExceptionHandler(handler);
    return stepTraps - 1;  // the first stop comes after the call instruction itself
}

void ReportCount(const char* name, long count, long goal) {
    std::printf("%-44s %10ld %-6s goal <= %-8ld %s\n", name, count, "instr", goal,
                count >= 0 && count <= goal ? "holds" : "MISSED");
}

}  // namespace

int main() {
    char self[MAX_PATH];
    std::string dir(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    dir = dir.substr(0, dir.find_last_of('\\') + 1);
    const std::string pluginPath = dir + "NuperoForTTB.dll";
    const std::string emptyPath = dir + "EmptyPlugin.dll";

    HMODULE plugin = LoadLibraryA(pluginPath.c_str());
    HMODULE empty = LoadLibraryA(emptyPath.c_str());
    if (!plugin || !empty) {
        std::printf("cannot load the DLLs\n");
        return 2;
    }
    PluginExports exports;
    FindPluginExports(
        exports, [plugin](const char* name) { return GetProcAddress(plugin, name); },
        [](const char* name) { std::printf("the plugin does not export %s\n", name); });
    auto init = exports.Init;
    auto execute = exports.Execute;
    auto hook = exports.WindowsHook;
    auto initInfo = exports.InitPluginInfo;
    auto freeInfo = exports.FreePluginInfo;
    auto emptyCall =
        reinterpret_cast<HookFn>(reinterpret_cast<void (*)()>(GetProcAddress(empty, "Empty")));

    // A plugin file name in a folder without settings: the defaults, switch on.
    init((dir + "bench\\NuperoForTTB.dll").c_str(), 1);
    auto registered = [](HostMessage m) {
        return RegisterWindowMessageA(HostMessageNames[static_cast<int>(m)]);
    };
    const UINT other = registered(HostMessage::IconNotify);

    // Instructions executed on each path that does not open the dialog.
    const UINT hmouse = registered(HostMessage::HMouseAction);
    ReportCount("instructions: empty stdcall export",
                InstructionsOf(emptyCall, other, WM_NCMBUTTONDOWN, 0), 1);
    ReportCount("instructions: hook, on, another message",
                InstructionsOf(hook, other, WM_NCMBUTTONDOWN, 0), 6);
    ReportCount("instructions: hook, on, mouse message, other click",
                InstructionsOf(hook, hmouse, WM_NCMBUTTONDBLCLK, 0), 9);
    execute(0, 0);
    ReportCount("instructions: hook, switch off", InstructionsOf(hook, hmouse, WM_NCMBUTTONDOWN, 0),
                3);
    execute(0, 0);

    constexpr int calls = 200000;
    volatile HookFn hookCall = hook, yardstick = emptyCall;
    auto many = [](HookFn f, UINT msg) {
        return [f, msg] {
            for (int i = 0; i < calls; ++i) f(msg, WM_NCMBUTTONDOWN, 0);
        };
    };
    std::vector<double> t = Interleaved(101, {many(yardstick, other), many(hookCall, other)});
    const double emptyNs = t[0] / calls * 1e9;
    std::printf("%-44s %10.3f ns\n", "empty stdcall export, 3 arguments", emptyNs);
    std::printf("%-44s %10.3f ns\n", "hook, switch on, another message", t[1] / calls * 1e9);
    Report("hook (on, another message) / empty export", t[1] / t[0], "x", 1.2);
    execute(0, 0);  // switch off
    t = Interleaved(101, {many(yardstick, other), many(hookCall, other)});
    std::printf("%-44s %10.3f ns\n", "hook, switch off", t[1] / calls * 1e9);
    Report("hook (off) / empty export", t[1] / t[0], "x", 1.2);

    // The information record against the bare version calls on the same file.
    constexpr int records = 2000;
    auto buildAndFree = [&] {
        for (int i = 0; i < records; ++i) freeInfo(initInfo(pluginPath.c_str()));
    };
    auto bareVersion = [&] {
        for (int i = 0; i < records; ++i) {
            DWORD handle = 0;
            const DWORD size = GetFileVersionInfoSizeA(pluginPath.c_str(), &handle);
            void* block = HeapAlloc(GetProcessHeap(), 0, size);
            GetFileVersionInfoA(pluginPath.c_str(), handle, size, block);
            VS_FIXEDFILEINFO* fixed;
            UINT length;
            VerQueryValueA(block, "\\", reinterpret_cast<void**>(&fixed), &length);
            HeapFree(GetProcessHeap(), 0, block);
        }
    };
    t = Interleaved(7, {bareVersion, buildAndFree});
    std::printf("%-44s %10.3f us\n", "three version functions", t[0] / records * 1e6);
    std::printf("%-44s %10.3f us\n", "InitPluginInfo + FreePluginInfo", t[1] / records * 1e6);
    Report("information record / version functions", t[1] / t[0], "x", 1.3);

    // Loading and unloading, against the yardstick DLL.
    constexpr int loads = 300;
    auto loadUnload = [](const std::string& path) {
        return [path] {
            for (int i = 0; i < loads; ++i) FreeLibrary(LoadLibraryA(path.c_str()));
        };
    };
    FreeLibrary(empty);
    // The plugin stays loaded above; measure fresh loads of copies.
    const std::string pluginCopy = dir + "bench-copy-NuperoForTTB.dll";
    CopyFileA(pluginPath.c_str(), pluginCopy.c_str(), FALSE);
    t = Interleaved(7, {loadUnload(emptyPath), loadUnload(pluginCopy)});
    std::printf("%-44s %10.3f us\n", "LoadLibrary + FreeLibrary, empty DLL", t[0] / loads * 1e6);
    std::printf("%-44s %10.3f us\n", "LoadLibrary + FreeLibrary, plugin", t[1] / loads * 1e6);
    Report("plugin load+unload / empty DLL", t[1] / t[0], "x", 1.3);
    DeleteFileA(pluginCopy.c_str());

    // Size and heap blocks.
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    GetFileAttributesExA(pluginPath.c_str(), GetFileExInfoStandard, &attributes);
    Report("NuperoForTTB.dll size (KiB)", attributes.nFileSizeLow / 1024.0, "KiB", 64);
    PluginInfo* probe = initInfo(pluginPath.c_str());
    HANDLE heap = OwningHeap(probe);
    freeInfo(probe);
    const size_t before = BusyBlocks(heap).size(),
                 processBefore = BusyBlocks(GetProcessHeap()).size();
    PluginInfo* one = initInfo(pluginPath.c_str());
    const size_t during = BusyBlocks(heap).size(),
                 processDuring = BusyBlocks(GetProcessHeap()).size();
    freeInfo(one);
    Report("heap blocks held by one record", double(during - before), "blocks", 8);
    Report("process heap blocks left by building it", double(processDuring) - double(processBefore),
           "blocks", 0);
    std::printf("%-44s %10zu blocks\n", "plugin heap after handing it back",
                BusyBlocks(heap).size() - before);
    return 0;
}
