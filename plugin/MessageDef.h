// The host's registered window messages.
#pragma once

#include <cstdint>

struct HostMessageIds {
    std::uint16_t IconNotify;
    std::uint16_t LoadDataFile;
    std::uint16_t SaveDataFile;
    std::uint16_t HShellActivateShellWindow;
    std::uint16_t HShellGetMinRect;
    std::uint16_t HShellLanguage;
    std::uint16_t HShellRedraw;
    std::uint16_t HShellTaskMan;
    std::uint16_t HShellWindowActivated;
    std::uint16_t HShellWindowCreated;
    std::uint16_t HShellWindowDestroyed;
    std::uint16_t HMouseAction;
};

extern HostMessageIds HostMessages;

// Registers the twelve names in the host's order; called once at library load.
void RegisterHostMessages();
