// Read-only INI file: takes the whole file into memory when constructed and
// answers reads from that copy by the rules of IniRules.h.
#pragma once

#include "IniRules.h"
#include "Win32Handles.h"

#include <cstdint>

class IniFile {
public:
    // A null name, or one that designates no readable file (absent, a
    // directory, locked by another process, unreadable), leaves the reader
    // without sections.
    explicit IniFile(const char* fileName);

    std::int32_t ReadInteger(const char* section, const char* key, std::int32_t defaultValue) const;
    bool ReadBool(const char* section, const char* key, bool defaultValue) const;

private:
    ini::TextView Text() const { return {text_.get<const char>(), size_}; }

    HeapBlock text_;
    std::size_t size_ = 0;
};
