#pragma once
// Builds map images in memory for the tests: geometry, XOR byte, partitions,
// files with multi-record block lists and sub-directories, and a knob for each
// kind of damage the readers must refuse.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imgkit {

using Record_t = std::array<std::uint8_t, 512>;

// One directory record as stored: flag 1, base name and type (split at the
// first dot, blank-padded, case kept), size, attributes, part number, block
// numbers 240 * part onwards with 0xFFFF after the last.
Record_t MakeRecord(const std::string& name, std::uint32_t size, std::uint8_t attributes, std::uint8_t part,
                    const std::vector<std::uint16_t>& blocks, unsigned firstIndex);
// A free record: flag 0, the rest 0xFF.
Record_t FreeRecord();

struct FileSpec_t {
  std::string name;
  std::string data;
  std::uint8_t attributes = 0;
  // A directory: its entries (the attribute's directory bit is set for it).
  std::vector<FileSpec_t> children;
  // Damage: the stored size, the stored block list and the part numbers of
  // its records, in place of the right ones.
  std::optional<std::uint32_t> size;
  std::optional<std::vector<std::uint16_t>> blocks;
  std::vector<std::uint8_t> parts;
};

FileSpec_t File(const std::string& name, const std::string& data, std::uint8_t attributes = 0);
FileSpec_t Dir(const std::string& name, std::vector<FileSpec_t> children);

// Where the builder put a file (first partition, in build order, depth first).
struct Placed_t {
  std::string name;
  std::vector<std::uint16_t> blocks;
};

struct ImageBuilder_t {
  // Header.
  std::string signature = "DSKIMG";
  std::uint16_t bytesPerSector = 512;
  std::uint16_t sectorsPerTrack = 32;
  std::uint16_t heads = 16;
  std::optional<std::uint16_t> cylinders;  // enough for the image when absent
  std::uint8_t xorByte = 0;
  std::uint16_t magic = 0xAA55;
  // Boot record.
  std::string maker = "VORTAN";
  std::uint8_t e1 = 9;
  std::uint8_t e2 = 0;
  std::uint16_t blockCount = 256;
  std::uint8_t directoryStart = 2;
  std::optional<std::uint16_t> bootHeads, bootSectorsPerTrack;
  std::string description = "Built test image";
  // Root directory: its blocks (enough for its records when 0), its own
  // records (absent: none), and records appended after the files'.
  std::uint32_t rootBlocks = 0;
  bool rootOwnRecords = true;
  std::vector<std::uint8_t> rootOwnParts;  // part numbers of the own records
  std::optional<std::uint8_t> rootOwnAttributes;
  std::vector<Record_t> extraRootRecords;
  std::vector<FileSpec_t> files;
  // Sector counts of further partitions, each with an empty file system.
  std::vector<std::uint32_t> morePartitions;
  // The image stops after the last used block instead of at the partition's end.
  bool trimToData = false;

  std::uint32_t BlockSize() const;
  std::string Build() const;
  // The blocks each file got in the last Build().
  mutable std::vector<Placed_t> placed;
};

// The sector of a partition entry's CHS bytes, and the bytes of a sector.
struct Chs_t {
  std::uint8_t head, sector, cylinder;
};
Chs_t ToChs(std::uint32_t lba, std::uint16_t sectorsPerTrack, std::uint16_t heads);

// Writes a 16-byte partition table entry into a decoded first sector.
void PutPartitionEntry(std::string& image, unsigned index, std::uint32_t start, std::uint32_t count,
                       std::uint16_t sectorsPerTrack, std::uint16_t heads);

// The byte sum of a string, modulo 256, after undoing an XOR byte.
std::uint8_t DecodedSum(const std::string& bytes, std::uint8_t xorByte);

}  // namespace imgkit

namespace imgkit {

// n bytes that differ from block to block and from seed to seed.
std::string Pattern(std::size_t n, unsigned seed = 1);

}  // namespace imgkit
