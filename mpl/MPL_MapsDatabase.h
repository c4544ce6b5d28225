#pragma once
// The maps, name indexes and sort tables of an image, and the choice among an
// image's maps of the one to show for a position at a zoom resolution.
//
// Names are the base names of the image's root entries (the part before the
// first '.'), in directory order. A map's level range is the pair of
// resolution bits of its coarsest and its finest usable level.
#include <cstdint>
#include <string>
#include <vector>

#include "geo/GEO_Position.h"
#include "mpl/MPL_EngineImage.h"

namespace mpl {

struct LevelRange_t {
  std::uint8_t lo = 0;  // coarsest level's bits
  std::uint8_t hi = 0;  // finest level's bits
  friend bool operator==(const LevelRange_t& a, const LevelRange_t& b) { return a.lo == b.lo && a.hi == b.hi; }
};

// The maps of the image (entries whose name contains ".TRE"); an image without
// any is glo::Assert_t.
std::vector<std::string> GetImageMapNames(const ImageSource_t& image);
// The name indexes (".MDR") and sort tables (".SRT"); possibly none.
std::vector<std::string> GetImageIndexNames(const ImageSource_t& image);
std::vector<std::string> GetImageSortNames(const ImageSource_t& image);

// Of two level ranges, the one that serves the requested resolution 'bits'
// better: a range containing the bits first (the finer one when both do), else
// the range nearest above or below them, else the one lying above them.
// 'candidate' wins ties where a finer or equal range is kept, 'best' where a
// coarser one is.
LevelRange_t ChooseLevelRange(unsigned bits, const LevelRange_t& candidate, const LevelRange_t& best);

// The map of the image to show at 'position' with 'bits' of resolution: among
// the maps whose bounds hold the position (a map may cross the 180-degree
// meridian), the one whose level range ChooseLevelRange keeps, the later map
// winning among equal ranges; the first map when none holds the position.
// A map that fails to open raises its MdbException_t.
std::string SelectMapName(const ImageSource_t& image, const geo::Position_t& position, unsigned bits);

}  // namespace mpl
