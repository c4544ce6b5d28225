#include "map/MAP_Nearest.h"

#include <algorithm>
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
#include "mat/MAT_UnitConverterTable.h"
#include "mpl/MPL_HouseNumber.h"
#include "mpl/MPL_Geometry.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_Marine.h"
#include "mpl/MPL_Nearest.h"

namespace map {

namespace {

constexpr std::uint32_t kAny = mpl::Filter_t::kAnySubtype;

// Built before the program starts, like the drawing filters.
const std::vector<mpl::Filter_t> kAreaHitFilters{
    mpl::Filter_t(mpl::FilterEntry_t{0x81, SubtypeMask({5})}, 1),
    mpl::Filter_t(mpl::FilterEntry_t{0x86, SubtypeMask({1, 10, 18})}, 1),
    mpl::Filter_t(mpl::FilterEntry_t{0x0e, kAny}, 1),
    TypesFilter({0x28, 0x32, 0x3c, 0x3d, 0x3e, 0x3f, 0x40, 0x41, 0x42, 0x43, 0x44, 0x46, 0x47, 0x48, 0x49, 0x4c}, 1),
    mpl::Filter_t(0x04, 0x13, 0x0e, 0x0e, 1),
    mpl::Filter_t(mpl::FilterEntry_t{0x50, kAny}, 1),
    mpl::Filter_t(0x14, 0x20, 1),
    mpl::Filter_t(0x01, 0x03, 1),
    mpl::Filter_t(mpl::FilterEntry_t{0x81, SubtypeMask({0, 1, 2, 3})}, 1),
    mpl::Filter_t(mpl::FilterEntry_t{0x83, SubtypeMask({0, 1, 2, 3, 4, 5, 6, 7})}, 1),
};

mpl::Filter_t MakeNearestAreaFilter() {
  mpl::Filter_t f = TypesFilter({0x51, 0x4d, 0x53, 0x84, 0x85, 0x4e, 0x4f, 0x52}, 1);
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

// The searches for lines, junctions and named points look at everything
// within the query's radius: a search rectangle of the point alone would keep
// only the lines whose segments pass over the point itself.
void SearchAround(mpl::Map_t& map, const Nearest_t& query) {
  const mpl::MdbPoint_t p = ToMdb(query.point);
  mpl::MdbBox_t& rect = map.Engine().searchRect;
  rect.north = 0x3FFFFFFF;
  rect.south = -0x40000000;
  rect.east = 0x7FFFFFFF;
  rect.west = static_cast<std::int32_t>(0x80000000u);
  mpl::MdbShrinkSearchRect(rect, p, mpl::MdbLatitudeFactor(p.lat), static_cast<std::uint32_t>(query.distance));
}

// The map's search state for one search: saved, switched to the query's
// level and point, put back when the guard ends. A closed map is left alone.
class Prepared_t {
 public:
  Prepared_t(mpl::Map_t& map, const Nearest_t& query) {
    if (!map.IsOpen()) return;
    m_saver.emplace(map);
    mpl::MdbSelectLevel(map.Engine(), query.level, 0);
    map.SetSearchArea(query.point);
  }

  // For the searches of lines, junctions and named points: the search
  // rectangle widened to the query's radius, and their filter installed by
  // 'install' (the map's line or point filter setter).
  using Install_t = void (mpl::Map_t::*)(const mpl::Filter_t&);
  Prepared_t(mpl::Map_t& map, const Nearest_t& query, Install_t install, const mpl::Filter_t& filter)
      : Prepared_t(map, query) {
    if (!map.IsOpen()) return;
    SearchAround(map, query);
    (map.*install)(filter);
  }

 private:
  std::optional<MapStateSaver_t> m_saver;
};

// The record of the smallest distance, the first of equal ones; an empty
// record with distance 0 when there is none.
template <typename Record_t>
Record_t NearestOf(std::vector<Record_t> records) {
  if (records.empty()) {
    Record_t none;
    none.distance = 0;
    return none;
  }
  const auto nearest = std::min_element(records.begin(), records.end(),
                                        [](const Record_t& a, const Record_t& b) { return a.distance < b.distance; });
  return std::move(*nearest);
}

}  // namespace

const std::vector<mpl::Filter_t>& AreaHitFilters() { return kAreaHitFilters; }
const mpl::Filter_t& NearestAreaFilter() { return kNearestAreaFilter; }

std::string Nearest_t::GetAreaText(const mpl::Area_t& area, mpl::Map_t map) {
  const mpl::MdbAuxInfo_t& r = area.aux;
  switch (r.bytes[0]) {
    case 11: {
      static const glo::StringResource_t format(4432, GLO_SRC);
      const mpl::MarineChartRecord_t object = map.GetMarineObject(mpl::MdbAuxGet32(r, 4));
      return format.Format(map.GetLabelText(object.labelA, mpl::kLabelTitleCase), GLO_SRC);
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
      return map.GetAreaLabel(area.record, mpl::kLabelTitleCase | mpl::kLabelDescribe);
  }
}

template <typename Add_t>
void Nearest_t::CollectAreas(Add_t add) {
  bool found = false;
  // The first area of the hit list under the point: map by map, each map's
  // filters in order.
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
    }
  }
}

NrstEntry_t Nearest_t::FindFeatureAt() {
  NrstEntry_t result;
  CollectAreas([&](const std::string& text, const FeatureRef_t& ref) {
    if (result.texts.empty()) result.ref = ref;
    result.texts.push_back(text);
  });
  return result;
}

std::vector<NrstLink_t> Nearest_t::FindFeaturesAt() {
  std::vector<NrstLink_t> result;
  CollectAreas([&](const std::string& text, const FeatureRef_t& ref) { result.push_back(NrstLink_t{text, ref}); });
  return result;
}

// ---------------------------------------------------------------------------
// Lines, junctions and named points near the query.

const mpl::Filter_t& GetNearbyLineFilter() {
  static const mpl::Filter_t filter = [] {
    mpl::Filter_t f = TypeRangesFilter({{0x00, 0x0c}, {0x14, 0x2b}, {0x40, 0x40}, {0x43, 0x46}}, 1);
    f.Add(0x41, SubtypeMask({0, 2, 3, 4, 5, 6, 7, 8, 9}));
    f.Add(0x47, SubtypeMask({1, 2, 6, 7}));
    return f;
  }();
  return filter;
}

const mpl::Filter_t& GetRoadFilter() {
  static const mpl::Filter_t filter(0x01, 0x0c, 1);
  return filter;
}

namespace {

// The label flags of line and street names in the nearest-feature texts.
constexpr std::uint32_t kLabelFlags = mpl::kLabelRoadDirection | mpl::kLabelTitleCase | mpl::kLabelDescribeMarked |
                                      mpl::kLabelRoadChoice | mpl::kLabelDescribe | mpl::kLabelExpandShield;
// The junction search: up to five lines at the junction, and a second pass on
// the most detailed level restricted to the roads found.
constexpr unsigned kJunctionSearch = 5 | mpl::kJunctionSecondPass;

const mat::UnitConverter_t& FeetEntry() { return mat::ElevationUnitsEntry(mat::ElevationUnits_t::Feet); }

// The number of a label in feet, in metres; nothing when it holds no number.
std::optional<double> FeetToMetres(const std::string& label) {
  try {
    return FeetEntry().Convert(label);
  } catch (const glo::InvalidInput_t&) {
    return std::nullopt;
  }
}

// The shown name and value text of a line without an address.
void SetLineName(NrstResult_t& result, mpl::Map_t& map, const mpl::Line_t& line) {
  const std::string label = map.GetLineLabel(line.record, kLabelFlags).first;
  const std::uint16_t type = line.record.type;
  if (type >= 0x20 && type <= 0x25) {
    const std::optional<double> metres = FeetToMetres(label);
    if (!metres) return;
    const mat::UnitConverter_t& out = type <= 0x22 ? GetRegistry().ElevationUnitsEntry() : GetDepthConverter();
    const int decimals = type <= 0x22 ? 0 : 1;
    result.name = out.Format(*metres, true, decimals);
    result.valueText = out.FormatSmall(*metres, true, decimals);
    return;
  }
  const mpl::MdbAuxInfo_t& r = line.aux;
  if (r.bytes[0] == 2 || r.bytes[0] == 3) {
    const double metres = MdbUnitsToMetres(static_cast<double>(static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 8))),
                                           static_cast<int>(r.bytes[4]));
    result.valueText = GetDepthConverter().FormatSmall(metres, true, 1);
    const glo::StringResource_t format(r.bytes[0] == 2 ? 4434 : 4435, GLO_SRC);
    result.name = format.Format(GetDepthConverter().Format(metres, true, 1), GLO_SRC);
    return;
  }
  result.name = label;
}

}  // namespace

std::vector<NrstResult_t> Nearest_t::CollectNearbyLines(bool withAddresses, const mpl::Filter_t& filter) {
  constexpr unsigned kCapacity = 25;
  std::vector<NrstResult_t> results;
  for (NearestMap_t& tile : tiles) {
    if (!tile.lines) continue;
    mpl::Map_t& map = tile.map;
    const Prepared_t prepared(map, *this, &mpl::Map_t::SetLineFilter, filter);
    mpl::MdbLineRecord_t work;
    std::vector<mpl::MdbLineHit_t> hits(kCapacity);
    if (!map.FindNearestLines(ToMdb(point), work, hits.data(), kCapacity)) continue;
    for (unsigned i = 0; i < kCapacity && hits[i].line != mpl::kMdbNone; ++i) {
      const mpl::MdbLineHit_t& hit = hits[i];
      const std::int32_t mapId = static_cast<std::int32_t>(map.GetMapId());
      if (hit.distance > static_cast<std::uint32_t>(distance)) continue;
      mpl::Line_t line = map.GetLineRecord(hit.line);
      mpl::MdbRoadNear_t near;
      near.ref = hit.line;
      near.nearest = hit.nearest;
      near.distance = hit.distance;
      mpl::MdbAddress_t address;
      const bool traced = map.TraceRoad(line.record, near, address);

      NrstResult_t result;
      result.ref = FeatureRef_t(static_cast<std::int32_t>(hit.line), &map, line.record.type,
                                static_cast<std::uint8_t>(line.record.subtype));
      result.distance = hit.distance;
      result.position = geo::Position_t(hit.nearest.lat, hit.nearest.lon);
      result.hit = hit;
      result.mapId = mapId;

      // The road's own segment nearest to the point, on the full detail.
      mpl::MdbSelectLevel(map.Engine(), 24, 0);
      mpl::MdbRoadNear_t named;
      mpl::MdbLineRecord_t namedLine;
      // Searched from the nearest point, its distance is that point's own
      // offset, not the query's: the entry's distance stays.
      if (map.FindNamedRoad(hit.line, hit.nearest, namedLine, named)) {
        result.ref.reference = static_cast<std::int32_t>(namedLine.ref);
        result.position = geo::Position_t(named.nearest.lat, named.nearest.lon);
      }

      // The house number of the side the point lies on, else of the other.
      const mpl::MdbAddressGroup_t* chosen = nullptr;
      if (traced) {
        const mpl::MdbAddressGroup_t& first = address.groups[hit.side == 1 ? 1 : 0];
        const mpl::MdbAddressGroup_t& second = address.groups[hit.side == 1 ? 0 : 1];
        if (first.number != 0) chosen = &first;
        else if (second.number != 0) chosen = &second;
      }
      if (chosen != nullptr && withAddresses && address.label != mpl::kMdbNone) {
        char number[21] = {};
        mpl::FormatHouseNumber(number, sizeof number, chosen->number, chosen->extra);
        result.street = map.GetLabelText(address.label, kLabelFlags);
        result.name = map.JoinNameParts(number, result.street);
        result.address = true;
      } else {
        SetLineName(result, map, line);
      }
      results.push_back(std::move(result));
    }
  }
  return results;
}

NrstResult_t Nearest_t::FindNearestLine(bool withAddresses) {
  return NearestOf(CollectNearbyLines(withAddresses, GetNearbyLineFilter()));
}

NrstHit_t Nearest_t::MakeJunctionHit(const mpl::MdbJunction_t& junction, mpl::Map_t& map) {
  NrstHit_t hit;
  hit.position = geo::Position_t(junction.point.lat, junction.point.lon);
  hit.distance = junction.distance;
  if (junction.entries.empty()) return hit;
  hit.ref = FeatureRef_t(static_cast<std::int32_t>(junction.entries[0].line), &map, junction.entries[0].type, 0);
  for (const mpl::MdbJunctionEntry_t& entry : junction.entries) {
    const mpl::Line_t line = map.GetLineRecord(entry.line);
    std::string label = map.GetLineLabel(line.record, kLabelFlags).first;
    if (std::find(hit.texts.begin(), hit.texts.end(), label) == hit.texts.end()) hit.texts.push_back(std::move(label));
  }
  return hit;
}

NrstHit_t Nearest_t::FindNearestJunction() {
  NrstHit_t best;
  best.distance = static_cast<std::uint32_t>(distance);
  for (NearestMap_t& tile : tiles) {
    if (!tile.lines) continue;
    mpl::Map_t& map = tile.map;
    const Prepared_t prepared(map, *this, &mpl::Map_t::SetLineFilter, GetRoadFilter());
    mpl::MdbLineRecord_t work;
    mpl::MdbJunction_t junction;
    if (!map.FindNearestJunction(ToMdb(point), work, junction, kJunctionSearch)) continue;
    if (junction.distance > best.distance) continue;
    NrstHit_t hit = MakeJunctionHit(junction, map);
    if (!hit.texts.empty()) best = std::move(hit);
  }
  return best;
}

std::vector<NrstText_t> Nearest_t::SearchNameNear(const mpl::Filter_t& filter, const std::string& name,
                                                  std::uint16_t maximum) {
  std::vector<NrstText_t> results;
  for (NearestMap_t& tile : tiles) {
    if (!tile.points) continue;
    mpl::Map_t& map = tile.map;
    const Prepared_t prepared(map, *this, &mpl::Map_t::SetPointFilter, filter);
    mpl::MdbPointRecord_t first;
    std::vector<mpl::MdbTextHit_t> hits(maximum);
    if (!map.SearchText(ToMdb(point), first, hits, name)) continue;
    for (unsigned i = 0; i < maximum; ++i) {
      const mpl::MdbTextHit_t& entry = hits[i];
      if (entry.ref == 0 || entry.distance > static_cast<std::uint32_t>(distance)) break;
      NrstText_t text;
      text.distance = entry.distance;
      text.point = i == 0 ? first : map.GetPointRecord(entry.ref).record;
      const std::uint16_t type = text.point.type;
      text.ref = FeatureRef_t(static_cast<std::int32_t>(text.point.ref), &map, type,
                              static_cast<std::uint8_t>(text.point.subtype));

      std::uint32_t flags = mpl::kLabelTitleCase | mpl::kLabelDescribe | mpl::kLabelBaseName;
      std::string prefix;
      if ((type >= 0x16 && type <= 0x1c) || type == 0x106) {
        flags = mpl::kLabelDescribe | mpl::kLabelBaseName;
      } else if (type >= 0x20 && type <= 0x27) {
        static const glo::StringResource_t exitPrefix(4436, GLO_SRC);
        flags = mpl::kLabelDescribe | mpl::kLabelBaseName;
        prefix = exitPrefix.Text();
      }
      text.text = prefix + map.GetPointLabel(text.point, flags).first;

      if (type == 0x63 || type == 0x62) {
        const std::optional<double> metres = FeetToMetres(text.text);
        const mat::UnitConverter_t& out = type == 0x63 ? GetRegistry().ElevationUnitsEntry() : GetDepthConverter();
        const int decimals = type == 0x63 ? 0 : 1;
        text.text = metres ? out.Format(*metres, true, decimals) : std::string();
        text.shortText = metres ? out.FormatSmall(*metres, true, decimals) : std::string();
      } else if (type >= 0x64 && type <= 0x66) {
        const std::string full = map.GetPointLabel(text.point, 1).first;
        const std::size_t mark = full.find('\x1f');
        if (mark != std::string::npos) {
          const std::optional<double> metres = FeetToMetres(full.substr(mark + 1));
          if (metres) {
            text.shortText = FeetEntry().FormatSmall(*metres, true, 0);
          } else {
            text.text.clear();
          }
        }
      }
      results.push_back(std::move(text));
    }
  }
  return results;
}

NrstText_t Nearest_t::FindNearestNamed(const std::string& name, const mpl::Filter_t& filter) {
  return NearestOf(SearchNameNear(filter, name, 25));
}

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
