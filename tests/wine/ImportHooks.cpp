#include "ImportHooks.h"

#include <cstring>
#include <stdexcept>

namespace {

unsigned char* Base(HMODULE module) { return reinterpret_cast<unsigned char*>(module); }

IMAGE_NT_HEADERS* Headers(HMODULE module) {
    return reinterpret_cast<IMAGE_NT_HEADERS*>(
        Base(module) + reinterpret_cast<IMAGE_DOS_HEADER*>(module)->e_lfanew);
}

}  // namespace

std::vector<ImportSlot> ListImports(HMODULE module) {
    unsigned char* base = Base(module);
    const IMAGE_DATA_DIRECTORY& dir =
        Headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
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
                function =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            }
            slots.push_back({dll, function, iat});
        }
    }
    return slots;
}

void WriteSlot(void** slot, void* value) {
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

ExportList ListExports(HMODULE module) {
    unsigned char* base = Base(module);
    auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(
        base +
        Headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    ExportList list;
    list.library = reinterpret_cast<const char*>(base + exports->Name);
    list.functionCount = exports->NumberOfFunctions;
    auto* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        list.names.push_back(reinterpret_cast<const char*>(base + names[i]));
    }
    return list;
}

DllEntryPoint EntryPointOf(HMODULE module) {
    return reinterpret_cast<DllEntryPoint>(Base(module) +
                                           Headers(module)->OptionalHeader.AddressOfEntryPoint);
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
    for (const ImportSlot& s : slots)
        entries_.push_back({s.dll + "!" + s.function, s.slot, *s.slot, 0});

    // Per import: "inc dword [count]; jmp [original]". It leaves the stack and
    // registers alone, so it works for any signature.
    constexpr size_t thunkSize = 12;
    thunks_ =
        static_cast<unsigned char*>(VirtualAlloc(nullptr, entries_.size() * thunkSize + 1,
                                                 MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
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
