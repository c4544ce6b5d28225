#include "mpl/MPL_MapsDatabase.h"

#include "glo/GLO_Exception.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_MapDirectory.h"

namespace mpl {

namespace {

bool Contains(const LevelRange_t& range, unsigned bits) { return range.lo <= bits && bits <= range.hi; }

// The range of the map's usable levels; (0, 0) for a map without any.
LevelRange_t RangeOf(const MapInfo_t& info) {
  LevelRange_t range;
  if (info.levelCount == 0) return range;
  const unsigned count = info.levelCount <= info.levelBits.size() ? info.levelCount : info.levelBits.size();
  range.hi = info.levelBits[0];
  range.lo = info.levelBits[count - 1];
  return range;
}

bool HoldsPosition(const MapInfo_t& info, const geo::Position_t& position) {
  const std::int32_t lat = position.GetLatitude();
  if (lat < info.south || lat > info.north) return false;
  const std::uint32_t fromWest = static_cast<std::uint32_t>(position.GetLongitude()) - static_cast<std::uint32_t>(info.west);
  const std::uint32_t width = static_cast<std::uint32_t>(info.east) - static_cast<std::uint32_t>(info.west);
  return fromWest <= width;
}

}  // namespace

std::vector<std::string> GetImageMapNames(const ImageSource_t& image) {
  std::vector<std::string> names = ListImageFiles(image, ".TRE");
  GLO_ASSERT(!names.empty());
  return names;
}

std::vector<std::string> GetImageIndexNames(const ImageSource_t& image) { return ListImageFiles(image, ".MDR"); }

std::vector<std::string> GetImageSortNames(const ImageSource_t& image) { return ListImageFiles(image, ".SRT"); }

LevelRange_t ChooseLevelRange(unsigned bits, const LevelRange_t& candidate, const LevelRange_t& best) {
  const bool inCandidate = Contains(candidate, bits);
  const bool inBest = Contains(best, bits);
  if (inCandidate) return inBest && best.hi > candidate.hi ? best : candidate;
  if (inBest) return best;
  if (bits > candidate.hi && bits > best.hi) return best.hi > candidate.hi ? best : candidate;
  if (bits < candidate.lo && bits < best.lo) return candidate.lo < best.lo ? candidate : best;
  // The bits lie between the two: the range above them.
  return candidate.lo > bits ? candidate : best;
}

std::string SelectMapName(const ImageSource_t& image, const geo::Position_t& position, unsigned bits) {
  const std::vector<std::string> names = GetImageMapNames(image);
  const std::string* bestName = nullptr;
  LevelRange_t bestRange;
  for (const std::string& name : names) {
    MapInfo_t info;
    {
      Map_t map(image, name, std::string());
      info = map.GetMapInfo();
    }
    if (!HoldsPosition(info, position)) continue;
    const LevelRange_t range = RangeOf(info);
    if (!bestName) {
      bestName = &name;
      bestRange = range;
      continue;
    }
    bestRange = ChooseLevelRange(bits, range, bestRange);
    if (bestRange == range) bestName = &name;
  }
  return bestName ? *bestName : names.front();
}

}  // namespace mpl
