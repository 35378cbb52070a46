// Looking at Win32 heaps from outside: which heap owns a block, and which
// blocks of a heap are in use. For the Wine tests and the benchmark alike.
#pragma once

#include <windows.h>

#include <set>

// The heap that owns `block`, or null.
inline HANDLE OwningHeap(const void* block) {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (HeapValidate(heaps[i], 0, block)) return heaps[i];
    }
    return nullptr;
}

inline std::set<const void*> BusyBlocks(HANDLE heap) {
    std::set<const void*> busy;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy.insert(entry.lpData);
    }
    HeapUnlock(heap);
    return busy;
}
