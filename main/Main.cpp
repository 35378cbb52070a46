#include "Main.h"

#include "../plugin/MessageDef.h"
#include "../plugin/PluginState.h"
#include "../support/FileNameRule.h"
#include "../support/IniFile.h"
#include "../support/QueryDialog.h"
#include "../support/Win32Handles.h"
#include "../support/WindowTitle.h"

#include <windows.h>

#include <cstring>

const char PluginName[] = "Nupero for TTBase";

// Captions in code page 932: "タイトルを変更(&T)" is also the dialog's prompt.
const PluginCommandInfo CommandTable[CommandTableSize] = {
    {"Command1", "Nupero(&T)", 0, 0, 0xFFFFFFFFu, 5, 0, 0},
    {"Command2", "\x83\x5E\x83\x43\x83\x67\x83\x8B\x82\xF0\x95\xCF\x8D\x58(&T)", 1, 0, 0xFFFFFFFFu,
     4, 0, 0},
};

namespace {

std::int32_t MouseClickType;
std::uint32_t TriggerMessage;
bool Active;
std::uint32_t CheckFlags;

bool IsSystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

void UpdateCheckMark() {
    CheckFlags = Active ? CheckedFlag : 0;
    // A host without this service, or a command before the first Init, has
    // no entry to call; the new state stands all the same.
    if (auto setMenuProperty = reinterpret_cast<TTBPlugin_SetMenuPropertyFn>(
            reinterpret_cast<void (*)()>(HostServices[HostService::SetMenuProperty]))) {
        setMenuProperty(PluginHandle, SwitchCommandId, CheckMarkMask, CheckFlags);
    }
}

// Host strings are code page 932 text; the dialog is Unicode so that any title
// survives whatever the system's code page.
void DecodeCp932(const char* text, wchar_t* out, int capacity) {
    if (MultiByteToWideChar(932, 0, text, -1, out, capacity) == 0) out[0] = L'\0';
}

void ChangeWindowTitle(HWND window) {
    // The count 255 leaves at most 254 units; a cut that would end on the
    // first half of a surrogate pair drops that half.
    wchar_t title[QueryTextLimit + 1] = {};
    ReadWindowTitle(window, title, QueryTextLimit);
    const std::size_t length = wcslen(title);
    if (length == QueryTextLimit - 1 && IS_HIGH_SURROGATE(title[length - 1])) title[length - 1] = 0;

    // The calling thread's input joins the foreground window's thread, so
    // that the dialog can take the foreground; the detach follows on every
    // way out. Input joined to a program that does not respond would freeze
    // the host's keyboard and mouse with it, and the dialog too: then nothing
    // is joined, as when the attach fails.
    const DWORD self = GetCurrentThreadId();
    const HWND foreground = GetForegroundWindow();
    const DWORD foregroundThread = GetWindowThreadProcessId(foreground, nullptr);
    const bool join = !IsHungAppWindow(foreground);
    if (join) AttachThreadInput(self, foregroundThread, TRUE);
    const auto detach = ScopeExit([=]() noexcept {
        if (join) AttachThreadInput(self, foregroundThread, FALSE);
    });

    wchar_t prompt[64];
    wchar_t caption[64];
    DecodeCp932(CommandTable[1].Caption, prompt, ARRAYSIZE(prompt));
    DecodeCp932(PluginName, caption, ARRAYSIZE(caption));
    if (InputQuery(caption, prompt, title, window)) SendWindowTitle(window, title);
}

// Empty when the plugin's name is unknown: then there is no settings file.
HeapBlock SettingsFileName() {
    if (!PluginFileNameKnown()) return HeapBlock();
    const char* name = PluginFileName();
    const std::size_t stem = filename::ExtensionStart(name, std::strlen(name), IsSystemLeadByte);
    HeapBlock block(GetProcessHeap(), stem + sizeof filename::SettingsExtension);
    if (block) filename::BuildSettingsFileName(name, stem, block.get<char>());
    return block;
}

}  // namespace

bool MainInit() {
    {
        // Without a name (no memory for it) the reader has no file: the defaults.
        HeapBlock settingsName = SettingsFileName();
        IniFile settings(settingsName ? settingsName.get<const char>() : nullptr);
        MouseClickType = settings.ReadInteger("OPTION", "MouseClickType", 0);
        Active = settings.ReadBool("OPTION", "StartMode", true);
    }
    TriggerMessage = MouseClickType == 1 ? WM_NCMBUTTONDBLCLK : WM_NCMBUTTONDOWN;
    UpdateCheckMark();
    return true;
}

void MainUnload() {}

bool MainExecute(std::int32_t commandId, std::uint32_t /*value*/) {
    switch (commandId) {
    case 0:
        Active = !Active;
        UpdateCheckMark();
        return true;
    case 1:
        if (!Active) return false;
        ChangeWindowTitle(GetForegroundWindow());
        return true;
    default: return true;
    }
}

void MainHook(std::uint16_t message, std::uint32_t wParam, std::uint32_t lParam) {
    // Called for every relayed message: the three comparisons come first, in
    // this order, and nothing else is touched until all hold. The usual case,
    // switched on and some other message, is laid out to fall straight through.
    if (__builtin_expect(!Active, 0)) return;
    if (__builtin_expect(message != HostMessages[HostMessage::HMouseAction], 1)) return;
    if (wParam != TriggerMessage) return;
    ChangeWindowTitle(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(lParam)));
}
