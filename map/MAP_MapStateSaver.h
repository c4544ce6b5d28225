#pragma once
// Keeps a map's search state across a pass that changes it: the detail level,
// the search box and the area, line and point filters are read when the guard
// is made and put back when it ends, also when an exception ends the pass.
#include "geo/GEO_Box.h"
#include "mpl/MPL_Filter.h"
#include "mpl/MPL_Map.h"

namespace map {

class MapStateSaver_t {
 public:
  // The map must be open (glo::Assert_t otherwise).
  explicit MapStateSaver_t(mpl::Map_t& map);
  MapStateSaver_t(const MapStateSaver_t&) = delete;
  MapStateSaver_t& operator=(const MapStateSaver_t&) = delete;
  virtual ~MapStateSaver_t();

 private:
  mpl::Map_t* m_map;
  unsigned m_level;
  geo::Box_t m_box;
  mpl::Filter_t m_areaFilter;
  mpl::Filter_t m_lineFilter;
  mpl::Filter_t m_pointFilter;
};

}  // namespace map
