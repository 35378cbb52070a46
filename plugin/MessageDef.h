// The host's registered window messages, known from library load on.
#pragma once

#include "HostAbi.h"

#include <cstdint>

struct HostMessageIds {
    std::uint16_t id[static_cast<int>(HostMessage::Count)];
    std::uint16_t operator[](HostMessage message) const { return id[static_cast<int>(message)]; }
};

extern HostMessageIds HostMessages;

// Registers the twelve names in the host's order; called once at library load.
void RegisterHostMessages();
