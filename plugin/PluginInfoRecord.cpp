// The information record: built from the plugin's own heap, block by block,
// and released by the host handing it back.
#include "Plugin.h"
#include "PluginInfo.h"

#include "../main/Main.h"
#include "../support/VersionDll.h"
#include "../support/Win32Handles.h"

#include <cstring>

namespace {

// Created on first use and never destroyed: records the host has not handed
// back stay valid, even after the plugin is unloaded.
HANDLE PluginHeap() {
    static HANDLE heap = HeapCreate(0, 0, 0);
    return heap;
}

// A block of exactly the string's byte length plus one, holding the string.
HeapBlock CopyString(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    HeapBlock block(PluginHeap(), size);
    if (block) std::memcpy(block.get(), text, size);
    return block;
}

}  // namespace

FileVersion ReadFileVersion(const char* fileName, DWORD& versionMS, DWORD& versionLS) {
    versionMS = 0;
    versionLS = 0;
    const VersionFunctions* version = VersionDll();
    if (!version) return FileVersion::None;
    DWORD handle = 0;
    const DWORD size = version->GetFileVersionInfoSize(fileName, &handle);
    if (size == 0) return FileVersion::None;
    HeapBlock block(GetProcessHeap(), size);
    if (!block) return FileVersion::OutOfMemory;
    if (!version->GetFileVersionInfo(fileName, handle, size, block.get())) return FileVersion::None;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!version->VerQueryValue(block.get(), "\\", reinterpret_cast<void**>(&fixed), &length)) {
        return FileVersion::None;
    }
    versionMS = fixed->dwFileVersionMS;
    versionLS = fixed->dwFileVersionLS;
    return FileVersion::Read;
}

extern "C" PluginInfo* WINAPI TTBEvent_InitPluginInfo(const char* fileName) {
    if (!fileName) fileName = "";  // the host never passes null; treat it as empty

    // Every block stays owned here until the record is complete, so running
    // out of memory part-way releases what was taken and returns null. That
    // holds for the plugin's own copy of the name and the version block too:
    // without them the record would report version 0.0.0.0 as a fact.
    if (!SetPluginFileName(fileName)) return nullptr;
    HeapBlock record(PluginHeap(), sizeof(PluginInfo));
    if (!record) return nullptr;
    auto* info = record.get<PluginInfo>();
    info->HostWordA = 0;

    HeapBlock name = CopyString(PluginName);
    if (!name) return nullptr;
    info->Name = name.get<const char>();

    HeapBlock file = CopyString(fileName);
    if (!file) return nullptr;
    info->FileName = file.get<const char>();
    info->HostWordB = 0;

    DWORD versionMS, versionLS;  // the record's fields are packed: no references
    if (ReadFileVersion(PluginFileName(), versionMS, versionLS) == FileVersion::OutOfMemory) {
        return nullptr;
    }
    info->VersionMS = versionMS;
    info->VersionLS = versionLS;
    info->CommandCount = CommandTableSize;

    HeapBlock commands(PluginHeap(), sizeof(PluginCommandInfo) * CommandTableSize);
    if (!commands) return nullptr;
    auto* entries = commands.get<PluginCommandInfo>();
    info->Commands = entries;

    HeapBlock strings[2 * CommandTableSize];
    for (int i = 0; i < CommandTableSize; ++i) {
        std::memcpy(&entries[i], &CommandTable[i], sizeof(PluginCommandInfo));
        strings[2 * i] = CopyString(CommandTable[i].Name);
        if (!strings[2 * i]) return nullptr;
        entries[i].Name = strings[2 * i].get<const char>();
        strings[2 * i + 1] = CopyString(CommandTable[i].Caption);
        if (!strings[2 * i + 1]) return nullptr;
        entries[i].Caption = strings[2 * i + 1].get<const char>();
    }

    for (HeapBlock& s : strings) s.release();
    commands.release();
    file.release();
    name.release();
    return static_cast<PluginInfo*>(record.release());
}

extern "C" void WINAPI TTBEvent_FreePluginInfo(PluginInfo* info) {
    if (!info) return;
    const HANDLE heap = PluginHeap();
    auto release = [heap](const void* block) {
        if (block) HeapFree(heap, 0, const_cast<void*>(block));
    };
    // The record's own count, not the table's: the host may have changed it.
    for (int i = 0; i < info->CommandCount; ++i) {
        release(info->Commands[i].Name);
        release(info->Commands[i].Caption);
    }
    release(info->Commands);
    release(info->FileName);
    release(info->Name);
    release(info);
}
