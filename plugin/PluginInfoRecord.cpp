// The information record: built from the plugin's own heap and released when
// the host hands it back.
#include "HostAbi.h"
#include "Plugin.h"
#include "PluginState.h"

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

// A block of exactly the string's byte length plus one, holding the string;
// null when there is no memory.
char* CopyString(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    auto* block = static_cast<char*>(HeapAlloc(PluginHeap(), 0, size));
    if (block) std::memcpy(block, text, size);
    return block;
}

// Releases every block the record holds and the record. A record still being
// built is zero-filled where it has no block yet; releasing null does nothing.
void ReleaseRecord(PluginInfo* info) {
    const HANDLE heap = PluginHeap();
    auto release = [heap](const void* block) {
        if (block) HeapFree(heap, 0, const_cast<void*>(block));
    };
    // The record's own count, not the table's: the host may have changed it.
    if (info->Commands) {
        for (int i = 0; i < info->CommandCount; ++i) {
            release(info->Commands[i].Name);
            release(info->Commands[i].Caption);
        }
    }
    release(info->Commands);
    release(info->FileName);
    release(info->Name);
    release(info);
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

extern "C" PluginInfo* __stdcall TTBEvent_InitPluginInfo(const char* fileName) {
    if (!fileName) fileName = "";  // the host never passes null; treat it as empty

    // Running out of memory anywhere in the call releases what was taken and
    // returns null: that holds for the plugin's own copy of the name and the
    // version block too, without which the record would report version
    // 0.0.0.0 as a fact.
    if (!SetPluginFileName(fileName)) return nullptr;
    auto* info =
        static_cast<PluginInfo*>(HeapAlloc(PluginHeap(), HEAP_ZERO_MEMORY, sizeof(PluginInfo)));
    if (!info) return nullptr;
    // A partial record goes the way of one the host hands back. Zero-filled,
    // HostWordA and HostWordB hold their 0 already.
    auto releasePartial = ScopeExit([info]() noexcept { ReleaseRecord(info); });

    if (!(info->Name = CopyString(PluginName))) return nullptr;
    if (!(info->FileName = CopyString(fileName))) return nullptr;

    DWORD versionMS, versionLS;  // the record's fields are packed: no references
    if (ReadFileVersion(PluginFileName(), versionMS, versionLS) == FileVersion::OutOfMemory) {
        return nullptr;
    }
    info->VersionMS = versionMS;
    info->VersionLS = versionLS;

    info->CommandCount = CommandTableSize;
    info->Commands = static_cast<PluginCommandInfo*>(
        HeapAlloc(PluginHeap(), HEAP_ZERO_MEMORY, sizeof(PluginCommandInfo) * CommandTableSize));
    if (!info->Commands) return nullptr;
    for (int i = 0; i < CommandTableSize; ++i) {
        // The host's six values as the table has them; the strings are the
        // record's own, never the table's.
        PluginCommandInfo& entry = info->Commands[i];
        std::memcpy(&entry, &CommandTable[i], sizeof entry);
        entry.Name = entry.Caption = nullptr;
        if (!(entry.Name = CopyString(CommandTable[i].Name))) return nullptr;
        if (!(entry.Caption = CopyString(CommandTable[i].Caption))) return nullptr;
    }

    releasePartial.release();
    return info;
}

extern "C" void __stdcall TTBEvent_FreePluginInfo(PluginInfo* info) {
    if (info) ReleaseRecord(info);
}
