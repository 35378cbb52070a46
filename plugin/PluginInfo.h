// The records handed to the host. Their byte layout is the host's contract:
// packed, little-endian, 32-bit pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct PluginCommandInfo {
    const char* Name;
    const char* Caption;  // display text with its "&" accelerator mark
    std::int32_t CommandId;
    // The host's own values, handed over unchanged.
    std::uint32_t HostValueA;
    std::uint32_t HostValueB;
    std::uint32_t HostValueC;
    std::uint32_t HostValueD;
    std::uint32_t HostValueE;
};

struct PluginInfo {
    std::uint16_t HostWordA;
    const char* Name;
    const char* FileName;
    std::uint16_t HostWordB;
    std::uint32_t VersionMS;
    std::uint32_t VersionLS;
    std::int32_t CommandCount;
    PluginCommandInfo* Commands;
    std::uint32_t HostTail;  // the host's; never written or read here
};

#pragma pack(pop)

static_assert(sizeof(void*) == 4, "the host's records have 32-bit pointers");

static_assert(sizeof(PluginCommandInfo) == 32, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, Name) == 0, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, Caption) == 4, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, CommandId) == 8, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueA) == 12, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueB) == 16, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueC) == 20, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueD) == 24, "PluginCommandInfo layout");
static_assert(offsetof(PluginCommandInfo, HostValueE) == 28, "PluginCommandInfo layout");

static_assert(sizeof(PluginInfo) == 32, "PluginInfo layout");
static_assert(offsetof(PluginInfo, HostWordA) == 0, "PluginInfo layout");
static_assert(offsetof(PluginInfo, Name) == 2, "PluginInfo layout");
static_assert(offsetof(PluginInfo, FileName) == 6, "PluginInfo layout");
static_assert(offsetof(PluginInfo, HostWordB) == 10, "PluginInfo layout");
static_assert(offsetof(PluginInfo, VersionMS) == 12, "PluginInfo layout");
static_assert(offsetof(PluginInfo, VersionLS) == 16, "PluginInfo layout");
static_assert(offsetof(PluginInfo, CommandCount) == 20, "PluginInfo layout");
static_assert(offsetof(PluginInfo, Commands) == 24, "PluginInfo layout");
static_assert(offsetof(PluginInfo, HostTail) == 28, "PluginInfo layout");
