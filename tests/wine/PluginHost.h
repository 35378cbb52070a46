// The test program plays the host: it loads NuperoForTTB.dll from beside
// itself, as the host loads a plugin, and (in hosts linked with
// HostServices.cpp) exports the host's services under their plain names.
#pragma once

#include "../../plugin/HostAbi.h"

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

// A top-level window on the calling thread whose window procedure runs
// queued callbacks, so another thread can make the host call into the plugin
// from inside the plugin's modal loop.
class HostWindow {
public:
    explicit HostWindow(const wchar_t* title);
    ~HostWindow();
    HWND hwnd() const { return hwnd_; }
    // Runs `call` on the window's thread the next time its messages are pumped.
    void Post(std::function<void()> call) const;
    // Runs `call` on the window's thread and returns once it has run.
    void Send(std::function<void()> call) const;

private:
    HWND hwnd_;
};

std::wstring WindowText(HWND window);

// The message number the host relays mouse events under.
UINT HMouseActionMessage();
