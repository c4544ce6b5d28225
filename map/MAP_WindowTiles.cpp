// The map window's basemap and detail tiles: opening the basemap, the
// coverage pass over the basemap's tile polygons and the tile numbers.
#include <algorithm>
#include <cstdlib>

#include "dsk/DSK_MediaPrompter.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_FileMedia.h"

namespace map {

namespace {

constexpr unsigned kBasemapCacheBlocks = 64;
constexpr std::uint16_t kCoverageType = 0x4a;
constexpr std::size_t kTileLabelMax = 16;

std::int32_t Clamp(std::int64_t v, std::int64_t lo, std::int64_t hi) {
  return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

}  // namespace

void Window_t::SetMediaPrompter(dsk::MediaPrompterIntf_t* prompter) {
  m_mediaPrompter = prompter;
  mpl::ProductImageEnv_t env = m_cache.GetProductEnv();
  env.prompter = prompter;
  m_cache.SetProductEnv(env);
}

void Window_t::SetMediaSystem(dsk::MediaSystem_t* system) {
  m_mediaSystem = system;
  mpl::ProductImageEnv_t env = m_cache.GetProductEnv();
  env.system = system;
  m_cache.SetProductEnv(env);
}

void Window_t::OpenMapFile(const std::string& path, const std::string& promptText,
                           const std::string& replacementPrompt) {
  mpl::Map_t basemap;
  if (!path.empty()) {
    dsk::MediaPrompterIntf_t* prompter = m_mediaPrompter ? m_mediaPrompter : &dsk::SharedMediaPrompter();
    dsk::MediaSystem_t& system = m_mediaSystem ? *m_mediaSystem : dsk::SystemMedia();
    auto* media = new mpl::FileMedia_t(path, true, promptText, prompter, m_mediaEvent.Handle(), system);
    const glo::SmartPtr_t<glo::RefCounter_t> owner(media);
    const mpl::ImageSource_t image(*media, owner, kBasemapCacheBlocks);
    basemap = PickMapForView(image);
    if (!replacementPrompt.empty()) media->SetPromptText(replacementPrompt);
  }
  m_basemap = basemap;
  m_cache.Reset();
  m_coverage.clear();
}

std::uint32_t Window_t::GetTileId(const mpl::Area_t& area) {
  std::string label = m_basemap.GetAreaLabel(area.record, 0);
  if (label.size() > kTileLabelMax) label.resize(kTileLabelMax);
  return static_cast<std::uint32_t>(std::strtoul(label.c_str(), nullptr, 10));
}

void Window_t::FindCoveringTiles(const geo::Box_t& viewBox) {
  if (!m_basemap.IsOpen() || viewBox.IsEmpty()) return;
  mpl::Criteria_t criteria = m_basemap.GetAreaCriteria();
  criteria.filter = mpl::Filter_t(mpl::FilterEntry_t{kCoverageType, mpl::Filter_t::kAnySubtype}, 1);
  unsigned bits = m_basemap.GetDetailLevel() & 0xFFu;
  // One cell of the basemap's level around the view, in both directions.
  const std::int64_t cell = std::int64_t{1} << (32 - std::clamp(bits, 1u, 32u));
  const auto margin = static_cast<std::int64_t>(static_cast<double>(cell) * m_projector.GetLongitudeScale() /
                                                m_projector.GetScale());
  const geo::Position_t& ne = viewBox.GetNorthEast();
  const geo::Position_t& sw = viewBox.GetSouthWest();
  constexpr std::int64_t kMinLon = INT32_MIN, kMaxLon = INT32_MAX, kMinLat = -(1 << 30), kMaxLat = 1 << 30;
  criteria.box = geo::Box_t(Clamp(std::int64_t{ne.GetLatitude()} + cell, kMinLat, kMaxLat),
                            Clamp(std::int64_t{sw.GetLatitude()} - cell, kMinLat, kMaxLat),
                            Clamp(std::int64_t{ne.GetLongitude()} + margin, kMinLon, kMaxLon),
                            Clamp(std::int64_t{sw.GetLongitude()} - margin, kMinLon, kMaxLon));
  const unsigned finest = m_basemap.GetLowestLevelBits();
  std::vector<mpl::Area_t> found;
  for (;;) {
    criteria.detailLevel = static_cast<int>((static_cast<unsigned>(criteria.detailLevel) & ~0xFFu) | bits);
    for (const mpl::Area_t& area : m_basemap.AreaSearch(criteria)) found.push_back(area);
    if (!found.empty() || bits >= finest) break;
    ++bits;
  }
  for (const mpl::Area_t& area : found) {
    const std::uint32_t id = GetTileId(area);
    const auto known = m_coverage.find(id);
    if (known != m_coverage.end() && known->second.record.points.size() >= area.record.points.size()) continue;
    m_coverage[id] = area;
  }
}

}  // namespace map
