#pragma once
// Sizing of a root directory when a partition is formatted.
#include <cstdint>
#include <vector>

namespace dsk {

// Root blocks of the default format: about a tenth of the partition, at most
// 240 sectors.
std::uint32_t DefaultRootBlocks(std::uint32_t blockSize, std::uint32_t blockCount);

// Root blocks just large enough for files of these sizes (dsk::DiskFull_t when
// a file, the directory or the total needs more than 65535 blocks).
std::uint32_t RootBlocksForFiles(std::uint32_t blockSize, const std::vector<std::uint32_t>& sizes);

}  // namespace dsk
