// Reading files of a generated 64 MB map image: sequential and random reads
// with the two block cache sizes, from memory and from a file. Reports MB/s
// and media reads per distinct block. Run by hand: build/bin/img_bench
#include <chrono>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "dsk/DSK_Directory.h"
#include "dsk/DSK_Disk.h"
#include "dsk/DSK_File.h"
#include "dsk/DSK_FileBuffer.h"
#include "dsk/DSK_Partition.h"
#include "mpl/MPL_FileMedia.h"
// The image kit is test support; the benchmark builds it in itself so that it
// does not depend on the tests being configured.
#include "tests/imgkit/ImageBuilder.cpp"
#include "tests/imgkit/MemoryMedia.cpp"

namespace {

// Counts the reads that reach the medium underneath.
class Counting_t : public dsk::Media_t {
 public:
  explicit Counting_t(dsk::Media_t& inner) : m_inner(inner) {}
  std::uint64_t Size() override { return m_inner.Size(); }
  void Write(const void* d, std::uint32_t n) override { m_inner.Write(d, n); }
  std::uint32_t Read(void* b, std::uint32_t n) override {
    ++reads;
    return m_inner.Read(b, n);
  }
  void Seek(std::uint64_t o) override { m_inner.Seek(o); }
  std::string Name() const override { return m_inner.Name(); }
  bool IsReadOnly() const override { return m_inner.IsReadOnly(); }
  std::uint64_t reads = 0;

 private:
  dsk::Media_t& m_inner;
};

constexpr unsigned kFiles = 16;
constexpr std::uint32_t kFileSize = 4000000;

std::string BuildImage() {
  imgkit::ImageBuilder_t b;
  b.e2 = 5;  // 16 KB blocks
  b.blockCount = 4096;
  for (unsigned i = 0; i < kFiles; ++i) {
    std::string data(kFileSize, '\0');
    for (std::uint32_t k = 0; k < kFileSize; ++k) data[k] = static_cast<char>(k * 13 + i);
    b.files.push_back(imgkit::File("FILE" + std::to_string(i) + ".DAT", data));
  }
  return b.Build();
}

struct Result_t {
  double mbPerSecond;
  double readsPerBlock;
};

void Touch(std::set<std::uint32_t>& blocks, const dsk::FileBuffer_t& f, std::uint64_t from, std::uint64_t count,
           unsigned shift) {
  for (std::uint64_t i = from >> shift; i <= (from + count - 1) >> shift; ++i) blocks.insert(f.Blocks()[i]);
}

Result_t Run(dsk::Media_t& inner, unsigned cacheBlocks, bool random) {
  Counting_t media(inner);
  dsk::Disk_t disk(media, cacheBlocks);
  auto& partition = disk.GetPrivPartition(0);
  auto& root = partition.GetRootDirectory();
  std::vector<dsk::File_t> files;
  for (unsigned i = 0; i < kFiles; ++i) {
    files.emplace_back(root.FindFile("FILE" + std::to_string(i) + ".DAT"));
    files.back().Open(dsk::kModeRead);
  }
  const std::uint64_t readsBefore = media.reads;
  std::set<std::uint32_t> touched;
  std::vector<char> buffer(4096);
  std::uint64_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  if (!random) {
    for (auto& f : files) {
      for (std::uint32_t at = 0; at < kFileSize; at += 4096) {
        const std::uint32_t n = std::min<std::uint32_t>(4096, kFileSize - at);
        f.Read(buffer.data(), n);
        bytes += n;
      }
      Touch(touched, *f.Buffer(), 0, kFileSize, partition.BlockShift());
    }
  } else {
    // Random 512-byte reads within the first three blocks of each file: 48
    // blocks in all, which fit the larger cache but not the smaller.
    std::mt19937 rng(7);
    for (unsigned k = 0; k < 200000; ++k) {
      auto& f = files[rng() % kFiles];
      const std::uint64_t at = rng() % (3 * 16384 - 512);
      f.Seek(at);
      f.Read(buffer.data(), 512);
      bytes += 512;
      Touch(touched, *f.Buffer(), at, 512, partition.BlockShift());
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return Result_t{bytes / 1e6 / seconds, double(media.reads - readsBefore) / touched.size()};
}

}  // namespace

int main() {
  const std::string image = BuildImage();
  std::printf("image: %.1f MB, %u files of %u bytes, 16 KB blocks\n", image.size() / 1e6, kFiles, kFileSize);
  imgkit::MemoryMedia_t memory(image, true);
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp ? tmp : "/tmp") + "/img_bench.img";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size()) return 1;
    std::fclose(f);
  }
  mpl::FileMedia_t file(path, true, "", nullptr, plat::kInvalidHandle);
  struct Medium_t {
    const char* name;
    dsk::Media_t* media;
  };
  for (const Medium_t& m : {Medium_t{"memory", &memory}, Medium_t{"file", &file}})
    for (unsigned cache : {8u, 64u})
      for (bool random : {false, true}) {
        const Result_t r = Run(*m.media, cache, random);
        std::printf("%-6s cache %2u  %-10s  %8.1f MB/s  %.2f media reads per distinct block\n", m.name, cache,
                    random ? "random" : "sequential", r.mbPerSecond, r.readsPerBlock);
      }
  std::remove(path.c_str());
  return 0;
}
