#include "MessageDef.h"

#include <windows.h>

HostMessageIds HostMessages;

void RegisterHostMessages() {
    // Same order as the fields of HostMessageIds.
    static const char* const names[] = {
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
    };
    static_assert(sizeof names / sizeof names[0] == sizeof(HostMessageIds) / sizeof(std::uint16_t),
                  "one name per message");

    std::uint16_t* ids = &HostMessages.IconNotify;
    for (const char* name : names) *ids++ = static_cast<std::uint16_t>(RegisterWindowMessageA(name));
}
