// Watching the plugin's calls into Windows by patching its import table, so
// the tests see exactly what the real DLL calls, without changing it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Replaces one import of `module` while the object lives.
class ImportHook {
public:
    ImportHook(HMODULE module, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

private:
    void** slot_;
    void* original_;
};

// Counts every call that `module` makes through its import table.
class ImportCallCounter {
public:
    explicit ImportCallCounter(HMODULE module);
    ~ImportCallCounter();
    ImportCallCounter(const ImportCallCounter&) = delete;
    ImportCallCounter& operator=(const ImportCallCounter&) = delete;
    // "DLL!function" for every import called since construction.
    std::vector<std::string> Called() const;

private:
    struct Entry;
    std::vector<Entry> entries_;
    unsigned char* thunks_ = nullptr;
};

// The one walker of the plugin's PE image, loaded or only mapped.

// Every import slot of `module`: its DLL, function name and slot address.
struct ImportSlot {
    std::string dll;
    std::string function;
    void** slot;
};
std::vector<ImportSlot> ListImports(HMODULE module);

// Writes an import slot, which the loader leaves read-only.
void WriteSlot(void** slot, void* value);

// The export directory: the library's own name, the names and the count of
// its functions.
struct ExportList {
    std::string library;
    std::vector<std::string> names;
    DWORD functionCount = 0;
};
ExportList ListExports(HMODULE module);

// The entry point the loader calls with DLL_PROCESS_ATTACH and the like.
using DllEntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
DllEntryPoint EntryPointOf(HMODULE module);
