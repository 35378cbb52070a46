// The title changer: the plugin's feature and what it tells the host about itself.
#pragma once

#include "../plugin/HostAbi.h"

#include <cstdint>

extern const char PluginName[];

constexpr int CommandTableSize = 2;
extern const PluginCommandInfo CommandTable[CommandTableSize];

bool MainInit();
void MainUnload();
bool MainExecute(std::int32_t commandId, std::uint32_t value);
void MainHook(std::uint16_t message, std::uint32_t wParam, std::uint32_t lParam);
