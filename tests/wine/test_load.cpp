// What runs when the host loads the library. The DLL is mapped without its
// imports resolved; the test resolves them itself, watching user32, and then
// runs the library's start-up as the loader would.
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::string> registeredNames;

UINT WINAPI RecordRegister(LPCSTR name) {
    registeredNames.push_back(name);
    return RegisterWindowMessageA(name);
}

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

TEST(LibraryLoad, RegistersTheTwelveHostMessagesInOrderAndDoesNothingElseOfUser32) {
    const std::string path = ProgramDirectory() + "NuperoForTTB.dll";
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);
    auto* base = reinterpret_cast<unsigned char*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];

    std::vector<std::string> user32Imports;
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        const char* dll = reinterpret_cast<const char*>(base + desc->Name);
        HMODULE target = LoadLibraryA(dll);
        const bool user32 = _stricmp(dll, "USER32.dll") == 0;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* iat = reinterpret_cast<void**>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++iat) {
            const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            void* address = reinterpret_cast<void*>(GetProcAddress(target, name));
            if (user32) {
                user32Imports.push_back(name);
                if (std::strcmp(name, "RegisterWindowMessageA") == 0) address = reinterpret_cast<void*>(RecordRegister);
                else address = nullptr;  // a call during start-up would crash the test program
            }
            DWORD old;
            VirtualProtect(iat, sizeof *iat, PAGE_READWRITE, &old);
            *iat = address;
            VirtualProtect(iat, sizeof *iat, old, &old);
        }
    }
    ASSERT_FALSE(user32Imports.empty());

    auto entry = reinterpret_cast<EntryPoint>(base + nt->OptionalHeader.AddressOfEntryPoint);
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
