#pragma once
// Puts the sub-files of maps into an image and opens it as the map engine's
// image source over a medium in memory.
#include <optional>
#include <string>
#include <vector>

#include "mpl/MPL_EngineImage.h"
#include "tests/imgkit/MemoryMedia.h"
#include "tests/imgkit/SubfileHeader.h"
#include "tests/imgkit/TreBuilder.h"

namespace imgkit {

// One file of the image: the map name and extension together ("12345678.TRE").
struct MapFile_t {
  std::string name;
  std::string data;
};

// An image (one partition, blocks as large as its size needs) holding the files.
std::string MapImage(const std::vector<MapFile_t>& files);

// The image source over the bytes, read through a memory medium that the
// source owns; 'media', when given, receives it (for read counts and failures).
mpl::ImageSource_t OpenImage(const std::string& bytes, MemoryMedia_t** media = nullptr);

// The sub-files of one map. RGN: the header, then the object data, whose
// offset and length go into the header unless they were set.
struct MapBuilder_t {
  std::string name = "12345678";
  TreBuilder_t tre;
  RgnHeader_t rgn;
  std::string rgnData;
  LblHeader_t lbl;
  std::optional<NetHeader_t> net;
  std::optional<NodHeader_t> nod;
  bool dem = false;
  std::vector<MapFile_t> extra;  // further files of the image

  std::vector<MapFile_t> Files() const;
  std::string Build() const { return MapImage(Files()); }
};

}  // namespace imgkit
