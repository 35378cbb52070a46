// What runs when the host loads the library. The DLL is mapped without its
// imports resolved; the test resolves them itself, watching user32, and then
// runs the library's start-up as the loader would.
#include "ImportHooks.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> registeredNames;

UINT WINAPI RecordRegister(LPCSTR name) {
    registeredNames.push_back(name);
    return RegisterWindowMessageA(name);
}

TEST(LibraryLoad, RegistersTheTwelveHostMessagesInOrderAndDoesNothingElseOfUser32) {
    const std::string path = ProgramDirectory() + "NuperoForTTB.dll";
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);

    std::vector<std::string> user32Imports;
    for (const ImportSlot& import : ListImports(module)) {
        void* address = reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryA(import.dll.c_str()), import.function.c_str()));
        if (_stricmp(import.dll.c_str(), "USER32.dll") == 0) {
            user32Imports.push_back(import.function);
            // Any other call during start-up would crash the test program.
            address = import.function == "RegisterWindowMessageA"
                          ? reinterpret_cast<void*>(RecordRegister)
                          : nullptr;
        }
        WriteSlot(import.slot, address);
    }
    ASSERT_FALSE(user32Imports.empty());

    const DllEntryPoint entry = EntryPointOf(module);
    EXPECT_TRUE(entry(module, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(registeredNames, (std::vector<std::string>{
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
                               }));
    // Unloading runs no user32 call either.
    EXPECT_TRUE(entry(module, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(registeredNames.size(), 12u);
    FreeLibrary(module);
}

}  // namespace
