#pragma once
// Shared libraries loaded at run time. A name without a folder is looked for in
// the system's library search order; names of libraries that exist only on
// Windows (such as "uxtheme.dll") are simply not found.
#include <string>

namespace plat {

using LibraryHandle = void*;

// Loads the library; null and last error (126, module not found) on failure.
LibraryHandle LoadLibrary(const std::string& name);
// Unloads a library loaded by LoadLibrary.
bool FreeLibrary(LibraryHandle library);
// The address of an exported function; null and last error (127) when missing.
void* GetProcAddress(LibraryHandle library, const std::string& name);

}  // namespace plat
