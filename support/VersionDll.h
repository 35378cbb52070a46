// The three version functions of VERSION.dll, loaded from the system folder.
#pragma once

#include <windows.h>

struct VersionFunctions {
    decltype(&GetFileVersionInfoSizeA) GetFileVersionInfoSize;
    decltype(&GetFileVersionInfoA) GetFileVersionInfo;
    decltype(&VerQueryValueA) VerQueryValue;
};

// Null when the library or one of its functions cannot be had; the next call
// tries again. Once loaded it stays loaded for the life of the process.
const VersionFunctions* VersionDll();
