#pragma once
// A map for the label tests: the small map of the engine tests (or another
// builder's map) with its label sub-file replaced by a built one, opened.
#include <string>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Lbl.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/mpl/MapFixture.h"

namespace lbltest {

inline std::vector<imgkit::MapFile_t> WithLbl(const imgkit::MapBuilder_t& m, const std::string& lbl) {
  std::vector<imgkit::MapFile_t> files = m.Files();
  for (imgkit::MapFile_t& f : files)
    if (f.name == m.name + ".LBL") f.data = lbl;
  return files;
}

struct LblMap_t {
  explicit LblMap_t(const imgkit::LblBuilder_t& lbl, imgkit::MapBuilder_t m = mpltest::BasicMap(),
                    const std::vector<imgkit::MapFile_t>& extra = {}, const std::string& sortName = "")
      : LblMap_t(lbl.Build(), m, extra, sortName) {}
  LblMap_t(const std::string& lbl, imgkit::MapBuilder_t m, const std::vector<imgkit::MapFile_t>& extra = {},
           const std::string& sortName = "") {
    std::vector<imgkit::MapFile_t> files = WithLbl(m, lbl);
    files.insert(files.end(), extra.begin(), extra.end());
    result = mpl::MdbOpen(map, m.name, sortName, imgkit::OpenImage(imgkit::MapImage(files)));
  }
  std::string Text(std::uint32_t offset, std::uint32_t flags = 0, std::size_t size = 256) {
    std::string buffer(size, '\x7F');
    last = mpl::MdbReadLabelText(map, offset, buffer.data(), buffer.size(), flags);
    return buffer.c_str();
  }
  mpl::MdbMap_t map;
  int result = -1;
  int last = -1;
};

}  // namespace lbltest
