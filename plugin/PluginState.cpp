#include "PluginState.h"

#include "../support/Win32Handles.h"

#include <cstring>

HostServiceTable HostServices;
std::uint32_t PluginHandle;

namespace {

// Released by its destructor when the library is unloaded.
HeapBlock FileNameStorage;

}  // namespace

const char* PluginFileName() { return FileNameStorage ? FileNameStorage.get<const char>() : ""; }

bool PluginFileNameKnown() { return static_cast<bool>(FileNameStorage); }

bool SetPluginFileName(const char* name) {
    if (!name) name = "";
    const std::size_t size = std::strlen(name) + 1;
    HeapBlock copy(GetProcessHeap(), size);
    if (copy) std::memcpy(copy.get(), name, size);
    // Out of memory leaves the name empty and unknown rather than stale.
    FileNameStorage = std::move(copy);
    return PluginFileNameKnown();
}
