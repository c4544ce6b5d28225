#pragma once
// Version information of a program file, read from the file by path without
// loading it. The build places a version block in the ELF section named by
// kVersionSection of the executable and of the language module.
//
// Block layout (all integers little-endian):
//   "SVB1"            magic
//   u32               number of entries
//   entries, each:    u16 key length, key bytes (no NUL), u32 value length, value bytes
// Keys and values:
//   "\"                                fixed information: u32 file version (most
//                                      significant half), u32 file version (least
//                                      significant half), u32 product version (MS),
//                                      u32 product version (LS)
//   "\VarFileInfo\Translation"         (u16 language, u16 code page) pairs
//   "\StringFileInfo\<llllcccc>\<name>" a NUL-terminated text; llll language and
//                                      cccc code page as lower-case hexadecimal
// Keys are matched without regard to ASCII case.
#include <cstddef>
#include <string>
#include <vector>

namespace plat {

inline constexpr const char kVersionSection[] = ".stride_version";
inline constexpr const char kVersionBlockMagic[4] = {'S', 'V', 'B', '1'};

// Reads the version block of the file. False with last error 2/3/5 (file cannot be
// opened) or 1813 (no version block: not an ELF file or no such section).
bool ReadVersionBlock(const std::string& path, std::vector<unsigned char>& block);

// The value of 'key' in a block. False with last error 1813 when the key is
// missing, 13 when the block is malformed.
bool QueryVersionValue(const std::vector<unsigned char>& block, const std::string& key,
                       const unsigned char*& value, size_t& size);

// The file version of the block's fixed information: major, minor, third and
// fourth number (the high and low halves of its two 32-bit parts). False with
// last error 1813 when the block has no fixed information.
bool QueryFileVersion(const std::vector<unsigned char>& block, unsigned (&version)[4]);

// Builds a block from (key, value) entries, in the layout above.
std::vector<unsigned char> MakeVersionBlock(
    const std::vector<std::pair<std::string, std::vector<unsigned char>>>& entries);

}  // namespace plat
