#include "plat/PLAT_VersionInfo.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileIo.h"

namespace plat {

namespace {

// Closes a file descriptor when it goes out of scope.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool ReadAt(int fd, uint64_t offset, void* buffer, size_t size) {
  char* p = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = RetryOnInterrupt([&] { return ::pread(fd, p, size, static_cast<off_t>(offset)); });
    if (n <= 0) return false;
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t Get64(const unsigned char* p) {
  return static_cast<uint64_t>(Get32(p)) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

bool NoBlock() {
  SetLastError(kErrorResourceTypeNotFound);
  return false;
}

// One section header, in the fields we need.
struct Section {
  uint32_t name;
  uint64_t offset;
  uint64_t size;
};

bool ReadSection(int fd, uint64_t fileSize, bool is64, uint64_t at, Section& s) {
  unsigned char h[64];
  const size_t size = is64 ? 64 : 40;
  if (at > fileSize || fileSize - at < size || !ReadAt(fd, at, h, size)) return false;
  s.name = Get32(h);
  s.offset = is64 ? Get64(h + 24) : Get32(h + 16);
  s.size = is64 ? Get64(h + 32) : Get32(h + 20);
  return true;
}

constexpr uint64_t kMaxBlock = 1 << 20;

}  // namespace

bool ReadVersionBlock(const std::string& path, std::vector<unsigned char>& block) {
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  struct stat st;
  if (::fstat(f.fd, &st) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) return NoBlock();
  const uint64_t fileSize = static_cast<uint64_t>(st.st_size);

  // ELF identification and header (little-endian files only: the build's own).
  unsigned char eh[64];
  if (fileSize < 52 || !ReadAt(f.fd, 0, eh, fileSize < 64 ? 52 : 64)) return NoBlock();
  if (std::memcmp(eh, "\x7f" "ELF", 4) != 0 || eh[5] != 1) return NoBlock();
  const bool is64 = eh[4] == 2;
  if (!is64 && eh[4] != 1) return NoBlock();
  if (is64 && fileSize < 64) return NoBlock();
  const uint64_t shoff = is64 ? Get64(eh + 40) : Get32(eh + 32);
  const uint16_t shentsize = Get16(eh + (is64 ? 58 : 46));
  const uint16_t shnum = Get16(eh + (is64 ? 60 : 48));
  const uint16_t shstrndx = Get16(eh + (is64 ? 62 : 50));
  if (shoff == 0 || shnum == 0 || shstrndx >= shnum || shentsize < (is64 ? 64 : 40)) return NoBlock();

  Section names;
  if (!ReadSection(f.fd, fileSize, is64, shoff + uint64_t(shstrndx) * shentsize, names)) return NoBlock();
  if (names.offset > fileSize || names.size > fileSize - names.offset) return NoBlock();
  const size_t wanted = sizeof(kVersionSection);  // including the NUL
  for (uint16_t i = 0; i < shnum; ++i) {
    Section s;
    if (!ReadSection(f.fd, fileSize, is64, shoff + uint64_t(i) * shentsize, s)) return NoBlock();
    if (s.name >= names.size || names.size - s.name < wanted) continue;
    char name[sizeof(kVersionSection)];
    if (!ReadAt(f.fd, names.offset + s.name, name, wanted)) return NoBlock();
    if (std::memcmp(name, kVersionSection, wanted) != 0) continue;
    if (s.size > kMaxBlock || s.offset > fileSize || s.size > fileSize - s.offset) return NoBlock();
    std::vector<unsigned char> bytes(static_cast<size_t>(s.size));
    if (!bytes.empty() && !ReadAt(f.fd, s.offset, bytes.data(), bytes.size())) return NoBlock();
    block.swap(bytes);
    return true;
  }
  return NoBlock();
}

bool QueryVersionValue(const std::vector<unsigned char>& block, const std::string& key,
                       const unsigned char*& value, size_t& size) {
  auto malformed = [] {
    SetLastError(kErrorInvalidData);
    return false;
  };
  if (block.size() < 8 || std::memcmp(block.data(), kVersionBlockMagic, 4) != 0) return malformed();
  const uint32_t count = Get32(block.data() + 4);
  size_t at = 8;
  for (uint32_t i = 0; i < count; ++i) {
    if (block.size() - at < 2) return malformed();
    const size_t keyLength = Get16(block.data() + at);
    at += 2;
    if (block.size() - at < keyLength + 4) return malformed();
    const unsigned char* k = block.data() + at;
    at += keyLength;
    const size_t valueLength = Get32(block.data() + at);
    at += 4;
    if (block.size() - at < valueLength) return malformed();
    bool same = keyLength == key.size();
    for (size_t j = 0; same && j < keyLength; ++j) {
      unsigned char a = k[j], b = static_cast<unsigned char>(key[j]);
      if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
      same = a == b;
    }
    if (same) {
      value = block.data() + at;
      size = valueLength;
      return true;
    }
    at += valueLength;
  }
  SetLastError(kErrorResourceTypeNotFound);
  return false;
}

bool QueryFileVersion(const std::vector<unsigned char>& block, unsigned (&version)[4]) {
  const unsigned char* fixed = nullptr;
  size_t size = 0;
  if (!QueryVersionValue(block, "\\", fixed, size)) return false;
  if (size < 8) {
    SetLastError(kErrorResourceTypeNotFound);
    return false;
  }
  const uint32_t ms = Get32(fixed);
  const uint32_t ls = Get32(fixed + 4);
  version[0] = ms >> 16;
  version[1] = ms & 0xFFFF;
  version[2] = ls >> 16;
  version[3] = ls & 0xFFFF;
  return true;
}

std::vector<unsigned char> MakeVersionBlock(
    const std::vector<std::pair<std::string, std::vector<unsigned char>>>& entries) {
  std::vector<unsigned char> block(kVersionBlockMagic, kVersionBlockMagic + 4);
  auto put32 = [&block](size_t v) {
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  put32(entries.size());
  for (const auto& [key, value] : entries) {
    block.push_back(static_cast<unsigned char>(key.size()));
    block.push_back(static_cast<unsigned char>(key.size() >> 8));
    block.insert(block.end(), key.begin(), key.end());
    put32(value.size());
    block.insert(block.end(), value.begin(), value.end());
  }
  return block;
}

}  // namespace plat
