#include "tests/imgkit/MapImage.h"

#include "tests/imgkit/ImageBuilder.h"

namespace imgkit {

std::string MapImage(const std::vector<MapFile_t>& files) {
  ImageBuilder_t b;
  for (const MapFile_t& f : files) b.files.push_back(File(f.name, f.data));
  // Blocks of 512 bytes and up, so that the files, their directory records
  // and some room fit in at most 16000 blocks.
  b.e1 = 9;
  b.e2 = 0;
  auto blocksNeeded = [&](std::uint32_t blockSize) {
    std::uint64_t n = 8 + 2 * files.size();
    for (const MapFile_t& f : files) n += (f.data.size() + blockSize - 1) / blockSize;
    return n;
  };
  while (blocksNeeded(b.BlockSize()) > 16000 && b.e2 < 15) ++b.e2;
  const std::uint64_t needed = blocksNeeded(b.BlockSize());
  b.blockCount = static_cast<std::uint16_t>(needed < 64 ? 64 : needed + needed / 8);
  b.trimToData = true;
  return b.Build();
}

mpl::ImageSource_t OpenImage(const std::string& bytes, MemoryMedia_t** media) {
  auto* m = new MemoryMedia_t(bytes, true);
  glo::SmartPtr_t<glo::RefCounter_t> owner(m);
  if (media) *media = m;
  return mpl::ImageSource_t(*m, owner, 16);
}

std::vector<MapFile_t> MapBuilder_t::Files() const {
  std::vector<MapFile_t> files;
  files.push_back({name + ".TRE", tre.Build()});
  RgnHeader_t r = rgn;
  if (r.dataOffset == 0) r.dataOffset = r.length;
  if (r.dataLength == 0) r.dataLength = static_cast<std::uint32_t>(rgnData.size());
  std::string rgnFile = r.Build();
  if (rgnFile.size() < r.dataOffset) rgnFile.resize(r.dataOffset, '\0');
  files.push_back({name + ".RGN", rgnFile + rgnData});
  files.push_back({name + ".LBL", lbl.Build()});
  if (net) files.push_back({name + ".NET", net->Build()});
  if (nod) files.push_back({name + ".NOD", nod->Build()});
  if (dem) files.push_back({name + ".DEM", DemHeader()});
  files.insert(files.end(), extra.begin(), extra.end());
  return files;
}

}  // namespace imgkit
