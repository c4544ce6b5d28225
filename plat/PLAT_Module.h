#pragma once
// Resource modules: shared objects that carry only data (texts, and later dialog
// templates, menus, toolbars, accelerator tables and pictures), loaded at run time
// and asked for their resources by kind and numeric id.
//
// A module exports one C-linkage function, named by kResourceEntryPoint, that
// returns its resource table. The table lists every resource as (kind, id, bytes)
// sorted by kind, then id; new kinds of resources need no change of the loader.
//
// Also the path of the running executable, beside which its modules lie.
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" {

// One resource of a module. Texts are UTF-8 bytes without a terminating NUL (the
// bytes are followed by one all the same); pictures are PNG files.
struct StrideResourceEntry {
  uint32_t kind;
  uint32_t id;
  uint32_t size;
  const unsigned char* data;
};

// The table a module's entry point returns.
struct StrideResourceTable {
  uint32_t magic;       // kResourceTableMagic
  uint32_t abiVersion;  // kResourceAbiVersion
  uint32_t count;
  const StrideResourceEntry* entries;  // sorted by (kind, id), ids unique per kind
};

typedef const StrideResourceTable* (*StrideResourceTableFn)(void);

}  // extern "C"

namespace plat {

inline constexpr const char kResourceEntryPoint[] = "StrideResources";
inline constexpr uint32_t kResourceTableMagic = 0x53524553;  // "SRES"
inline constexpr uint32_t kResourceAbiVersion = 1;

// Kinds of resources (the numbering of the classic resource types).
enum ResourceKind : uint32_t {
  kResourceBitmap = 2,
  kResourceIcon = 3,
  kResourceMenu = 4,
  kResourceDialog = 5,
  kResourceString = 6,
  kResourceAccelerator = 9,
  kResourceToolbar = 241,
};

// A loaded resource module; never unloaded once loaded.
using ModuleHandle = const void*;

// Full path of the running executable, and its folder (without a separator).
std::string ModulePath();
std::string ModuleDir();

// Loads the resource module at 'path' (dlopen) and checks its resource table.
// Null on failure, with last error 126 (cannot be loaded), 127 (no entry point)
// or 13 (a table of another layout).
ModuleHandle LoadResourceModule(const std::string& path);

// The bytes of resource (kind, id) of a module. False, with last error 1813 when
// the module has no resource of that kind at all, 1814 when it lacks that id.
bool FindResource(ModuleHandle module, uint32_t kind, uint32_t id, const unsigned char*& data,
                  size_t& size);

// Copies string 'id' into buffer (at most bufferSize - 1 bytes and a NUL) and
// gives the number of bytes copied; a longer text is cut at the buffer's end, so a
// caller that sees a full buffer asks again with a larger one. False with last
// error 1814 when the module lacks the string.
bool LoadString(ModuleHandle module, uint32_t id, char* buffer, size_t bufferSize, size_t& copied);

}  // namespace plat
