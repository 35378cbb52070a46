#include "VersionDll.h"

namespace {

VersionFunctions Loaded;

template <typename F>
bool Find(HMODULE module, const char* name, F& function) {
    function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    return function != nullptr;
}

}  // namespace

const VersionFunctions* VersionDll() {
    if (Loaded.VerQueryValue) return &Loaded;
    // Not a static import: VERSION.dll is not one of the system's known DLLs,
    // so the loader would look for it in the host's folder first, where anyone
    // who can write there could plant their own. Never released: releasing a
    // library from the unload notification is forbidden, and a system DLL that
    // stays loaded costs nothing.
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    static const wchar_t name[] = L"\\version.dll";
    if (length == 0 || length + sizeof name / sizeof name[0] > MAX_PATH) return nullptr;
    for (UINT i = 0; i < sizeof name / sizeof name[0]; ++i) path[length + i] = name[i];
    HMODULE module = LoadLibraryW(path);
    if (!module) return nullptr;
    VersionFunctions found;
    if (!Find(module, "GetFileVersionInfoSizeA", found.GetFileVersionInfoSize) ||
        !Find(module, "GetFileVersionInfoA", found.GetFileVersionInfo) ||
        !Find(module, "VerQueryValueA", found.VerQueryValue)) {
        return nullptr;  // the reference is kept; the system's own DLL never lacks them
    }
    Loaded = found;
    return &Loaded;
}
