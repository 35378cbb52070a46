#include "ImportHooks.h"

#include <cstring>
#include <stdexcept>

std::vector<ImportSlot> ListImports(HMODULE module) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<ImportSlot> slots;
    if (!dir.VirtualAddress) return slots;
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         desc->Name; ++desc) {
        const char* dll = reinterpret_cast<const char*>(base + desc->Name);
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
        auto* iat = reinterpret_cast<void**>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++iat) {
            std::string function = "#ordinal";
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                function = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            }
            slots.push_back({dll, function, iat});
        }
    }
    return slots;
}

static void WriteSlot(void** slot, void* value) {
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

ImportHook::ImportHook(HMODULE module, const char* function, void* replacement) {
    for (const ImportSlot& s : ListImports(module)) {
        if (s.function == function) {
            slot_ = s.slot;
            original_ = *s.slot;
            WriteSlot(slot_, replacement);
            return;
        }
    }
    throw std::runtime_error(std::string("the plugin does not import ") + function);
}

ImportHook::~ImportHook() { WriteSlot(slot_, original_); }

struct ImportCallCounter::Entry {
    std::string name;
    void** slot;
    void* original;
    volatile LONG count;
};

ImportCallCounter::ImportCallCounter(HMODULE module) {
    const std::vector<ImportSlot> slots = ListImports(module);
    entries_.reserve(slots.size());
    for (const ImportSlot& s : slots) entries_.push_back({s.dll + "!" + s.function, s.slot, *s.slot, 0});

    // Per import: "inc dword [count]; jmp [original]". It leaves the stack and
    // registers alone, so it works for any signature.
    constexpr size_t thunkSize = 12;
    thunks_ = static_cast<unsigned char*>(VirtualAlloc(
        nullptr, entries_.size() * thunkSize + 1, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    for (size_t i = 0; i < entries_.size(); ++i) {
        unsigned char* t = thunks_ + i * thunkSize;
        const auto count = reinterpret_cast<DWORD>(&entries_[i].count);
        const auto target = reinterpret_cast<DWORD>(&entries_[i].original);
        t[0] = 0xFF, t[1] = 0x05, std::memcpy(t + 2, &count, 4);
        t[6] = 0xFF, t[7] = 0x25, std::memcpy(t + 8, &target, 4);
        WriteSlot(entries_[i].slot, t);
    }
}

ImportCallCounter::~ImportCallCounter() {
    for (Entry& e : entries_) WriteSlot(e.slot, e.original);
    VirtualFree(thunks_, 0, MEM_RELEASE);
}

std::vector<std::string> ImportCallCounter::Called() const {
    std::vector<std::string> called;
    for (const Entry& e : entries_) {
        if (e.count) called.push_back(e.name);
    }
    return called;
}
