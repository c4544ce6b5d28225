#include "dsk/DSK_PartitionParams.h"

#include "dsk/DSK_Exception.h"

namespace dsk {

namespace {

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

}  // namespace

std::uint32_t DefaultRootBlocks(std::uint32_t blockSize, std::uint32_t blockCount) {
  const std::uint32_t spb = blockSize / 512;
  std::uint32_t sectors = 240;
  std::uint64_t d = CeilDiv(sectors, spb);
  while (sectors > 0 && static_cast<double>(d) / blockCount > 0.1) {
    --sectors;
    d = CeilDiv(sectors, spb);
  }
  if (d > 65535) throw glo::OutOfRange_t(GLO_SRC);
  return static_cast<std::uint32_t>(d);
}

std::uint32_t RootBlocksForFiles(std::uint32_t blockSize, const std::vector<std::uint32_t>& sizes) {
  std::uint64_t spb = 1;
  if (blockSize >= 1024) {
    unsigned k = 1;
    for (std::uint64_t s = blockSize / 512; s > 3; s /= 2) ++k;
    spb = std::uint64_t(1) << k;
  }
  std::uint64_t records = 0, fileBlocks = 0;
  for (std::uint32_t size : sizes) {
    const std::uint64_t blocks = size == 0 ? 0 : CeilDiv(CeilDiv(size, 512), spb);
    if (blocks > 65535) throw DiskFull_t(GLO_SRC);
    records += blocks == 0 ? 1 : CeilDiv(blocks, 240);
    fileBlocks += blocks;
  }
  std::uint64_t b = 0, previous = 0, d = 0;
  for (;;) {
    d = CeilDiv(b + records + 2, spb);
    b = CeilDiv(d, 240);
    if (d > 65535) throw DiskFull_t(GLO_SRC);
    if (d == previous) break;
    previous = d;
  }
  if (fileBlocks + d > 65535) throw DiskFull_t(GLO_SRC);
  return static_cast<std::uint32_t>(d);
}

}  // namespace dsk
