#include "map/MAP_MapStateSaver.h"

#include "mpl/MPL_Level.h"

namespace map {

MapStateSaver_t::MapStateSaver_t(mpl::Map_t& map)
    : m_map(&map),
      m_level(map.GetDetailLevel()),
      m_box(map.GetSearchBox()),
      m_areaFilter(map.GetAreaFilter()),
      m_lineFilter(map.GetLineFilter()),
      m_pointFilter(map.GetPointFilter()) {}

MapStateSaver_t::~MapStateSaver_t() {
  try {
    if (m_map->IsOpen()) mpl::MdbSelectLevel(m_map->Engine(), m_level, 0);
    m_map->SetSearchBox(m_box);
    m_map->SetAreaFilter(m_areaFilter);
    m_map->SetLineFilter(m_lineFilter);
    m_map->SetPointFilter(m_pointFilter);
  } catch (...) {
  }
}

}  // namespace map
