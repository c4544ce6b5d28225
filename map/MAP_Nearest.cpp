#include "map/MAP_Nearest.h"

#include <memory>
#include <optional>

#include "glo/GLO_StringResource.h"
#include "map/MAP_FeatureFilters.h"
#include "map/MAP_FeatureHitBuild.h"
#include "map/MAP_ImageList.h"
#include "map/MAP_MapStateSaver.h"
#include "map/MAP_Window.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Scale.h"
#include "mat/MAT_UnitConverter.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_Marine.h"

namespace map {

namespace {

constexpr std::uint32_t kAny = mpl::Filter_t::kAnySubtype;

mpl::Filter_t Types(std::initializer_list<std::uint16_t> types) {
  mpl::Filter_t f;
  f.kind = 1;
  for (std::uint16_t t : types) f.Add(t, kAny);
  return f;
}

mpl::Filter_t Range(unsigned first, unsigned last, unsigned skip = 0) {
  mpl::Filter_t f;
  f.kind = 1;
  for (unsigned t = first; t <= last; ++t)
    if (t != skip) f.Add(static_cast<std::uint16_t>(t), kAny);
  return f;
}

mpl::Filter_t One(std::uint16_t type, std::uint32_t mask) { return mpl::Filter_t(mpl::FilterEntry_t{type, mask}, 1); }

// Built before the program starts, like the drawing filters.
const std::vector<mpl::Filter_t> kAreaHitFilters{
    One(0x81, SubtypeMask({5})),
    One(0x86, SubtypeMask({1, 10, 18})),
    Types({0x0e}),
    Types({0x28, 0x32, 0x3c, 0x3d, 0x3e, 0x3f, 0x40, 0x41, 0x42, 0x43, 0x44, 0x46, 0x47, 0x48, 0x49, 0x4c}),
    Range(0x04, 0x13, 0x0e),
    Types({0x50}),
    Range(0x14, 0x20),
    Range(0x01, 0x03),
    One(0x81, SubtypeMask({0, 1, 2, 3})),
    One(0x83, SubtypeMask({0, 1, 2, 3, 4, 5, 6, 7})),
};

mpl::Filter_t MakeNearestAreaFilter() {
  mpl::Filter_t f = Types({0x51, 0x4d, 0x53, 0x84, 0x85, 0x4e, 0x4f, 0x52});
  f.Add(0x87, SubtypeMask({1, 2, 3, 4}));
  f.Add(0x86, SubtypeMask({0, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17}));
  f.Add(0x81, SubtypeMask({4}));
  return f;
}

const mpl::Filter_t kNearestAreaFilter = MakeNearestAreaFilter();

mpl::MdbPoint_t ToMdb(const geo::Position_t& p) { return mpl::MdbPoint_t{p.GetLatitude(), p.GetLongitude()}; }

std::string DepthText(double units, int unitCode) {
  return GetDepthConverter().Format(MdbUnitsToMetres(units, unitCode), true, 1);
}

// The map's search state for one search: saved, switched to the query's
// level and point, put back when the guard ends.
class Prepared_t {
 public:
  Prepared_t(mpl::Map_t& map, const Nearest_t& query) {
    if (!map.IsOpen()) return;
    m_saver = std::make_unique<MapStateSaver_t>(map);
    mpl::MdbSelectLevel(map.Engine(), query.level, 0);
    map.SetSearchArea(query.point);
  }

 private:
  std::unique_ptr<MapStateSaver_t> m_saver;
};

}  // namespace

const std::vector<mpl::Filter_t>& AreaHitFilters() { return kAreaHitFilters; }
const mpl::Filter_t& NearestAreaFilter() { return kNearestAreaFilter; }

std::string Nearest_t::GetAreaText(const mpl::Area_t& area, mpl::Map_t map) {
  const mpl::MdbAuxInfo_t& r = area.aux;
  switch (r.bytes[0]) {
    case 11: {
      static const glo::StringResource_t format(4432, GLO_SRC);
      const mpl::MarineChartRecord_t object = map.GetMarineObject(mpl::MdbAuxGet32(r, 4));
      return format.Format(map.GetLabelText(object.labelA, 0x800), GLO_SRC);
    }
    case 2: {
      static const glo::StringResource_t format(4433, GLO_SRC);
      return format.Format(DepthText(static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 8)), r.bytes[4]), GLO_SRC);
    }
    case 3:
      return DepthText(static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 8)), r.bytes[4]);
    case 13:
      // Both ends are unsigned: all ones is a large number, not -1.
      return DepthText(mpl::MdbAuxGet32(r, 8), r.bytes[5]) + " - " + DepthText(mpl::MdbAuxGet32(r, 12), r.bytes[6]);
    default:
      return map.GetAreaLabel(area.record, 0x808);
  }
}

template <typename Add_t>
void Nearest_t::CollectAreas(Add_t add, bool& found) {
  // The first area of the hit list under the point, by filter order then
  // map order.
  for (NearestMap_t& tile : tiles) {
    if (found) break;
    if (!tile.areas || !tile.map.IsOpen()) continue;
    Prepared_t prepared(tile.map, *this);
    for (const mpl::Filter_t& filter : kAreaHitFilters) {
      if (found) break;
      tile.map.SetAreaFilter(filter);
      mpl::MdbAreaRecord_t hit;
      if (!tile.map.FindAreasAtPoint(ToMdb(point), hit)) continue;
      const mpl::Area_t area = tile.map.GetObjectDetails(hit.ref);
      add(GetAreaText(area, tile.map), FeatureRef_t(static_cast<std::int32_t>(hit.ref), &tile.map, hit.type,
                                                    static_cast<std::uint8_t>(hit.subtype)));
      found = true;
    }
  }
  // Every area of the nearest-area filter at the point, also after a hit.
  for (NearestMap_t& tile : tiles) {
    if (!tile.areas || !tile.map.IsOpen()) continue;
    Prepared_t prepared(tile.map, *this);
    const mpl::NrstCriteria_t criteria(
        [&] {
          mpl::Criteria_t c = tile.map.GetAreaCriteria();
          c.filter = kNearestAreaFilter;
          return c;
        }(),
        ToMdb(point));
    for (const mpl::Area_t& area : tile.map.NearestAreaSearch(criteria)) {
      add(GetAreaText(area, tile.map), FeatureRef_t(static_cast<std::int32_t>(area.record.ref), &tile.map,
                                                    area.record.type, static_cast<std::uint8_t>(area.record.subtype)));
      found = true;
    }
  }
}

NrstEntry_t Nearest_t::FindFeatureAt() {
  NrstEntry_t result;
  bool found = false;
  CollectAreas(
      [&](const std::string& text, const FeatureRef_t& ref) {
        if (result.texts.empty()) result.ref = ref;
        result.texts.push_back(text);
      },
      found);
  return result;
}

std::vector<NrstLink_t> Nearest_t::FindFeaturesAt() {
  std::vector<NrstLink_t> result;
  bool found = false;
  CollectAreas([&](const std::string& text, const FeatureRef_t& ref) { result.push_back(NrstLink_t{text, ref}); },
               found);
  return result;
}

NrstText_t Nearest_t::FindNearestNamed(const std::string&, const mpl::Filter_t&) { return NrstText_t(); }
NrstHit_t Nearest_t::FindNearestJunction() { return NrstHit_t(); }
NrstResult_t Nearest_t::FindNearestLine(bool) { return NrstResult_t(); }

NrstFeature_t ChooseNamedOrJunction(Window_t& window, const NrstText_t& named, const NrstHit_t& junction) {
  const bool hasJunction = !junction.texts.empty();
  if (named.text.empty()) return hasJunction ? MakeJunctionFeature(&window, junction) : NrstFeature_t();
  // Equal distances keep the point.
  if (hasJunction && junction.distance < named.distance) return MakeJunctionFeature(&window, junction);
  return MakePointFeature(&window, named, &window.GetSymbolImages().GetPlatformList(),
                          GetPointIconByType(named.point.type, static_cast<std::uint8_t>(named.point.subtype)), false);
}

// ---------------------------------------------------------------------------
// The window's side: which maps a query searches, and the stages in order.

Nearest_t Window_t::MakeNearestQuery(const geo::Circle_t& searchArea) {
  Nearest_t query;
  bool tileFound = false;
  if (ShowsDetailMaps()) {
    const plat::POINT pixel = m_projector.PositionToScreen(searchArea.GetCenter());
    for (const CacheTile_t& tile : m_cache.GetTiles()) {
      if (!tile.IsDrawn()) continue;
      const gdi::Region_t& region =
          tile.GetDrawRegion() != nullptr ? *tile.GetDrawRegion() : tile.GetCoverageRegion();
      if (!region.PtInRegion(pixel.x, pixel.y)) continue;
      query.tiles.push_back(NearestMap_t{tile.GetMap(), DrawsAreas(tile.GetMap()), DrawsLines(tile.GetMap()),
                                         DrawsPoints(tile.GetMap())});
      tileFound = true;
    }
  }
  if (m_basemap.IsOpen() && (!ShowsDetailMaps() || CurrentProduct().BasemapUnclipped() || !tileFound))
    query.tiles.push_back(
        NearestMap_t{m_basemap, DrawsAreas(m_basemap), DrawsLines(m_basemap), DrawsPoints(m_basemap)});
  query.point = searchArea.GetCenter();
  query.distance = searchArea.GetRadius();
  query.level = static_cast<std::uint8_t>(m_projector.GetDetailBits());
  return query;
}

NrstFeature_t Window_t::FindNearestFeatureAt(plat::POINT clientPoint, bool abortOnInput) {
  const geo::Circle_t searchArea = m_projector.PointToSearchArea(clientPoint, 8);
  Nearest_t query;
  if (m_basemap.IsOpen()) query = MakeNearestQuery(searchArea);
  const auto givesUp = [&] { return abortOnInput && !WaitHover(0); };

  if (givesUp()) return NrstFeature_t();
  const NrstText_t named = query.FindNearestNamed(std::string(), GetNamedPointFilter().Union(GetPointFilter()));
  const NrstFeature_t found = ChooseNamedOrJunction(*this, named, query.FindNearestJunction());
  if (!found.lines.empty()) return found;

  if (givesUp()) return NrstFeature_t();
  const NrstResult_t line = query.FindNearestLine(true);
  if (!line.name.empty()) return MakeLineFeature(this, line, false);

  if (givesUp()) return NrstFeature_t();
  const NrstEntry_t area = query.FindFeatureAt();
  if (!area.texts.empty()) return MakeAreaFeature(this, area);
  return NrstFeature_t();
}

}  // namespace map
