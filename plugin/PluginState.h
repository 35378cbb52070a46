// What the host handed over, kept for the life of the library: written by
// the exports, read by the title changer.
#pragma once

#include "HostAbi.h"

#include <windows.h>

// The host's services, looked up by name in its main module; null where the
// host exports no such name.
struct HostServiceTable {
    FARPROC entry[static_cast<int>(HostService::Count)];
    FARPROC operator[](HostService service) const { return entry[static_cast<int>(service)]; }
};

extern HostServiceTable HostServices;
extern std::uint32_t PluginHandle;

// The plugin's file name as last given by the host; never null.
const char* PluginFileName();
// False before the first name and after a copy that found no memory: then no
// settings file is looked for, not even ".ini" in the current folder.
bool PluginFileNameKnown();
// A copy of `name` (null counts as empty); false when there was no memory.
bool SetPluginFileName(const char* name);
