// Fixture: a fresh load of the real DLL per test, a directory for its
// settings, and the recorders on its imports.
#pragma once

#include "PluginHost.h"
#include "Recorders.h"

#include <gtest/gtest.h>

class PluginTest : public ::testing::Test {
protected:
    TempDirectory dir;
    LoadedPlugin plugin;
    PlatformRecorder record{plugin.module};

    // The name the host would pass: the settings file is looked for beside it.
    std::string PluginPath() const { return dir.path() + "NuperoForTTB.dll"; }
    std::string SettingsPath() const { return dir.path() + "NuperoForTTB.ini"; }
    void WriteSettings(const std::string& text) const { dir.Write("NuperoForTTB.ini", text); }

    HostBool InitWithSettings(const std::string& text, DWORD handle = 1) {
        WriteSettings(text);
        return plugin.Init(PluginPath().c_str(), handle);
    }

    // The flags of the last check-mark update, or -1 when none was sent.
    long LastFlags() const {
        return MenuPropertyCalls.empty() ? -1 : static_cast<long>(MenuPropertyCalls.back().flags);
    }

    // Which relayed mouse message opens the dialog, with the switch on, found
    // without showing one: WM_NCMBUTTONDOWN, WM_NCMBUTTONDBLCLK, or 0 for neither.
    UINT ProbeTrigger() {
        record.fakeDialog = true;
        UINT trigger = 0;
        for (UINT candidate : {WM_NCMBUTTONDOWN, WM_NCMBUTTONDBLCLK}) {
            const int before = record.dialogsRequested;
            plugin.WindowsHook(HMouseActionMessage(), candidate, 0);
            if (record.dialogsRequested > before) trigger |= candidate;
        }
        record.fakeDialog = false;
        return trigger;
    }
};
