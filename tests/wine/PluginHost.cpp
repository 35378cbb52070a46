#include "PluginHost.h"

#include <stdexcept>

std::vector<MenuPropertyCall> MenuPropertyCalls;
int OtherServiceCalls;

std::string ProgramDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

LoadedPlugin::LoadedPlugin(const std::string& path) {
    MenuPropertyCalls.clear();
    OtherServiceCalls = 0;
    module = LoadLibraryA(path.c_str());
    if (!module) throw std::runtime_error("cannot load " + path);
    // A missing export leaves its entry null; the export tests say which.
    FindPluginExports(
        *this, [this](const char* name) { return GetProcAddress(module, name); },
        [](const char*) {});
}

LoadedPlugin::~LoadedPlugin() {
    if (module) FreeLibrary(module);
}

TempDirectory::TempDirectory() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter;
    for (;;) {
        path_ = std::string(base) + "nupero-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter) + "\\";
        if (CreateDirectoryA(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temp directory");
    }
}

static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(dir + name + "\\");
            } else {
                DeleteFileA((dir + name).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

TempDirectory::~TempDirectory() { RemoveTree(path_); }

std::string TempDirectory::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = path_ + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

UINT HMouseActionMessage() { return RegisterWindowMessageA("TTBase HMouse Action"); }
