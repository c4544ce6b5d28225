#include "win/WIN_FileVerInfo.h"

#include <cstdio>
#include <cstring>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_VersionInfo.h"
#include "win/WIN_Exception.h"

namespace win {

namespace {

uint32_t Get32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

FileVerInfo_t::FileVerInfo_t(const std::string& path) : m_path(path) {
  if (!plat::ReadVersionBlock(path, m_block)) throw Error_t(GLO_SRC);
}

uint32_t FileVerInfo_t::Translation() const {
  const unsigned char* value = nullptr;
  size_t size = 0;
  if (!plat::QueryVersionValue(m_block, "\\VarFileInfo\\Translation", value, size)) throw glo::Assert_t(GLO_SRC);
  if (size < 4 || size > 7) throw glo::Assert_t(GLO_SRC);
  return Get32(value);
}

std::string FileVerInfo_t::StringValue(const std::string& name) const {
  const uint32_t translation = Translation();
  char key[64];
  std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\", static_cast<unsigned>(translation & 0xFFFF),
                static_cast<unsigned>(translation >> 16));
  const unsigned char* value = nullptr;
  size_t size = 0;
  if (!plat::QueryVersionValue(m_block, key + name, value, size)) throw Error_t(GLO_SRC);
  const void* nul = std::memchr(value, 0, size);
  if (nul) size = static_cast<size_t>(static_cast<const unsigned char*>(nul) - value);
  return std::string(reinterpret_cast<const char*>(value), size);
}

std::string FileVerInfo_t::ClassNameGuid() const { return StringValue("ClassNameGuid"); }

std::array<unsigned, 4> FileVerInfo_t::FileVersion() const {
  unsigned version[4];
  if (!plat::QueryFileVersion(m_block, version)) throw glo::Assert_t(GLO_SRC);
  return {version[0], version[1], version[2], version[3]};
}

}  // namespace win
