// The host interface: what the host handed over, and its services.
#pragma once

#include <windows.h>

#include <cstdint>

// The host's truth values are 32 bits wide with every bit set for true.
using HostBool = std::uint32_t;
constexpr HostBool HostTrue = 0xFFFFFFFFu;
constexpr HostBool HostFalse = 0;

using SetMenuPropertyFn = BOOL(WINAPI*)(DWORD pluginHandle, int commandId, DWORD changeMask,
                                         DWORD flags);

// The host's services, looked up by name in its main module; null where the
// host exports no such name.
struct HostServiceTable {
    FARPROC GetAllPluginInfo;
    FARPROC FreePluginInfoArray;
    FARPROC GetPluginInfo;
    FARPROC SetPluginInfo;
    FARPROC FreePluginInfo;
    FARPROC SetMenuProperty;
    FARPROC SetTaskTrayIcon;
    FARPROC WriteLog;
    FARPROC ExecuteCommand;
};

extern HostServiceTable HostServices;
extern DWORD PluginHandle;

// The plugin's file name as last given by the host; never null.
const char* PluginFileName();
// False before the first name and after a copy that found no memory: then no
// settings file is looked for, not even ".ini" in the current folder.
bool PluginFileNameKnown();
// A copy of `name` (null counts as empty); false when there was no memory.
bool SetPluginFileName(const char* name);

enum class FileVersion { Read, None, OutOfMemory };

// The file-version pair from the named file's version resource; 0 and 0 when
// it has none or cannot be read, and when memory ran out.
FileVersion ReadFileVersion(const char* fileName, DWORD& versionMS, DWORD& versionLS);
