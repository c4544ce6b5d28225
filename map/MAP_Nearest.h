#pragma once
// The nearest-feature search of a map window: the maps shown under a client
// pixel (detail tiles that cover it and, when it shows, the basemap), each
// with the layers that take part, and the searches run over them. Every map
// searched is a private copy; its search state is put back after each search.
#include <cstdint>
#include <string>
#include <vector>

#include "geo/GEO_Position.h"
#include "map/MAP_FeatureHit.h"
#include "map/MAP_NrstFeature.h"
#include "mpl/MPL_Filter.h"
#include "mpl/MPL_Map.h"

namespace map {

class Window_t;

// One searchable map of a query and the layers of it that take part.
struct NearestMap_t {
  mpl::Map_t map;
  bool areas = true;
  bool lines = true;
  bool points = true;
};

// The area filters tried in order for the area under the point (the reverse
// of the area drawing order), and the filter of areas always listed.
const std::vector<mpl::Filter_t>& AreaHitFilters();
const mpl::Filter_t& NearestAreaFilter();

// One query: the maps, the position, the radius in map units and the level.
class Nearest_t {
 public:
  Nearest_t() = default;

  std::vector<NearestMap_t> tiles;
  geo::Position_t point;
  std::int32_t distance = 0;
  std::uint8_t level = 0;

  // The area under the point for the hover: the first hit of the area
  // filters, then the texts of every area that passes the nearest-area filter.
  NrstEntry_t FindFeatureAt();
  // The same for the feature menu, one record per area.
  std::vector<NrstLink_t> FindFeaturesAt();
  // The text of an area record.
  static std::string GetAreaText(const mpl::Area_t& area, mpl::Map_t map);

  // Every line within the radius that passes the filter, map by map in the
  // engine's order, with its name, address or contour value.
  std::vector<NrstResult_t> CollectNearbyLines(bool withAddresses, const mpl::Filter_t& filter);
  // The nearest of the nearby lines (the first of equal distances); an empty
  // record with distance 0 when there is none.
  NrstResult_t FindNearestLine(bool withAddresses);
  // The nearest road junction with the distinct names of its roads; of equal
  // distances the later map's. No texts when there is none.
  NrstHit_t FindNearestJunction();
  static NrstHit_t MakeJunctionHit(const mpl::MdbJunction_t& junction, mpl::Map_t& map);
  // Points of the filter whose name matches (empty: any), within the radius,
  // at most 'maximum' per map, with their texts.
  std::vector<NrstText_t> SearchNameNear(const mpl::Filter_t& filter, const std::string& name,
                                         std::uint16_t maximum);
  // The nearest of at most 25 such points; an empty record with distance 0
  // when there is none.
  NrstText_t FindNearestNamed(const std::string& name, const mpl::Filter_t& filter);

 private:
  template <typename Add_t>
  void CollectAreas(Add_t add);
};

// The lines a nearest-line search looks at, and the roads of the junction
// search.
const mpl::Filter_t& GetNearbyLineFilter();
const mpl::Filter_t& GetRoadFilter();

// The first stage's choice: the named point when it has a text, unless the
// junction has names and lies strictly nearer; else the junction when it has
// names; else the empty feature.
NrstFeature_t ChooseNamedOrJunction(Window_t& window, const NrstText_t& named, const NrstHit_t& junction);

}  // namespace map
