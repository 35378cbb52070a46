// The test program plays the host: it loads NuperoForTTB.dll from beside
// itself, as the host loads a plugin, and (in hosts linked with
// HostServices.cpp) exports the host's services under their plain names.
#pragma once

#include "../../plugin/HostAbi.h"
#include "TestWindows.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the host must receive for true: every bit set. The tests' own value,
// not the header's; the record, too, is read by byte offsets, as the host
// reads it, never through the header's layout.
constexpr HostBool ExpectedTrue = 0xFFFFFFFFu;

struct MenuPropertyCall {
    DWORD pluginHandle;
    int commandId;
    DWORD changeMask;
    DWORD flags;
    bool operator==(const MenuPropertyCall& o) const {
        return pluginHandle == o.pluginHandle && commandId == o.commandId &&
               changeMask == o.changeMask && flags == o.flags;
    }
};

// What the exported services received; cleared by each LoadedPlugin.
extern std::vector<MenuPropertyCall> MenuPropertyCalls;
extern int OtherServiceCalls;

// Directory of the running test program, with a trailing backslash.
std::string ProgramDirectory();

// The plugin's entry points, found by their plain names as a host finds them.
class LoadedPlugin : public PluginExports {
public:
    explicit LoadedPlugin(const std::string& path = ProgramDirectory() + "NuperoForTTB.dll");
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    HMODULE module = nullptr;
};

// A fresh directory under %TEMP%, removed with its files afterwards.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::string& path() const { return path_; }  // ends with a backslash
    // Writes `bytes` to `name` inside the directory; returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// The message number the host relays mouse events under.
UINT HMouseActionMessage();
