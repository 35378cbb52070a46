#include "IniFile.h"

IniFile::IniFile(const char* fileName) {
    if (!fileName) return;
    // Share everything: a settings file that another program has open for
    // writing should still be readable when it allows that.
    FileHandle file(CreateFileA(fileName, GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > MAXLONG) return;

    HeapBlock text(GetProcessHeap(), static_cast<SIZE_T>(size.QuadPart));
    if (!text) return;

    // A read error makes the file count as absent; a file that shrank while
    // being read gives what it still held.
    DWORD total = 0;
    while (total < size.QuadPart) {
        DWORD got = 0;
        if (!ReadFile(file.get(), text.get<char>() + total,
                      static_cast<DWORD>(size.QuadPart) - total, &got, nullptr)) {
            return;
        }
        if (got == 0) break;
        total += got;
    }
    if (total == 0) return;
    text_ = std::move(text);
    size_ = total;
}

std::int32_t IniFile::ReadInteger(const char* section, const char* key,
                                  std::int32_t defaultValue) const {
    return ini::ReadInteger(Text(), section, key, defaultValue);
}

bool IniFile::ReadBool(const char* section, const char* key, bool defaultValue) const {
    return ini::ReadBool(Text(), section, key, defaultValue);
}
