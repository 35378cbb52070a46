#include "MessageDef.h"

#include <windows.h>

HostMessageIds HostMessages;

void RegisterHostMessages() {
    // The low 16 bits are the message number; a failed registration leaves 0.
    for (int i = 0; i < static_cast<int>(HostMessage::Count); ++i) {
        HostMessages.id[i] =
            static_cast<std::uint16_t>(RegisterWindowMessageA(HostMessageNames[i]));
    }
}
