#include "plat/PLAT_Module.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_Error.h"

namespace plat {

namespace {

const StrideResourceTable* Table(ModuleHandle module) {
  return static_cast<const StrideResourceTable*>(module);
}

}  // namespace

std::string ModulePath() {
  // readlink gives no length up front: grow until the whole path fits.
  std::vector<char> buf(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) {
      SetLastErrorFromErrno(errno);
      return std::string();
    }
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

std::string ModuleDir() {
  const std::string path = ModulePath();
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return std::string(".");
  if (slash == 0) return std::string("/");
  return path.substr(0, slash);
}

ModuleHandle LoadResourceModule(const std::string& path) {
  // RTLD_NODELETE: the module stays mapped for the rest of the run, whatever
  // happens to the handle.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) {
    SetLastError(kErrorModNotFound);
    return nullptr;
  }
  auto entry = reinterpret_cast<StrideResourceTableFn>(::dlsym(handle, kResourceEntryPoint));
  if (!entry) {
    ::dlclose(handle);
    SetLastError(kErrorProcNotFound);
    return nullptr;
  }
  const StrideResourceTable* table = entry();
  if (!table || table->magic != kResourceTableMagic || table->abiVersion != kResourceAbiVersion ||
      (table->count > 0 && !table->entries)) {
    ::dlclose(handle);
    SetLastError(kErrorInvalidData);
    return nullptr;
  }
  // The handle itself is kept open on purpose: the module is never unloaded.
  return table;
}

bool FindResource(ModuleHandle module, uint32_t kind, uint32_t id, const unsigned char*& data,
                  size_t& size) {
  const StrideResourceTable* table = Table(module);
  if (!table) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  const StrideResourceEntry* begin = table->entries;
  const StrideResourceEntry* end = begin + table->count;
  auto less = [](const StrideResourceEntry& e, std::pair<uint32_t, uint32_t> key) {
    return e.kind != key.first ? e.kind < key.first : e.id < key.second;
  };
  const StrideResourceEntry* found = std::lower_bound(begin, end, std::make_pair(kind, id), less);
  if (found == end || found->kind != kind || found->id != id) {
    const bool kindPresent = std::any_of(begin, end, [kind](const StrideResourceEntry& e) { return e.kind == kind; });
    SetLastError(kindPresent ? kErrorResourceNameNotFound : kErrorResourceTypeNotFound);
    return false;
  }
  data = found->data;
  size = found->size;
  return true;
}

bool LoadString(ModuleHandle module, uint32_t id, char* buffer, size_t bufferSize, size_t& copied) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!FindResource(module, kResourceString, id, data, size)) {
    // A module without any string still lacks this one string.
    SetLastError(kErrorResourceNameNotFound);
    return false;
  }
  if (!buffer || bufferSize == 0) {
    SetLastError(kErrorInsufficientBuffer);
    return false;
  }
  copied = std::min(size, bufferSize - 1);
  if (copied > 0) std::memcpy(buffer, data, copied);
  buffer[copied] = '\0';
  return true;
}

}  // namespace plat
