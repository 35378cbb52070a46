// The host interface's own pieces beside the exports.
#pragma once

#include <windows.h>

enum class FileVersion { Read, None, OutOfMemory };

// The file-version pair from the named file's version resource; 0 and 0 when
// it has none or cannot be read, and when memory ran out.
FileVersion ReadFileVersion(const char* fileName, DWORD& versionMS, DWORD& versionLS);
