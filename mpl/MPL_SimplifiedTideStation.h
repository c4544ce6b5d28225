#pragma once
// Simplified tide stations (point subtype 2): four constituents with
// shallow-water terms and daily and monthly corrections, read from the map's
// tide section; the engine reads the station's tables through the map.
#include "mpl/MPL_TideStation.h"

namespace mpl {

class SimplifiedTideStation_t : public TideStation_t {
 public:
  // Assert_t for a subtype other than 2 or a map without its label sub-file;
  // MdbException_t when the record cannot be read.
  SimplifiedTideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate);

  glo::TimeSpan_t GetUtcOffset() const override;
  const MDB_tide_simplified_type& Record() const { return m_record; }

 private:
  MDB_tide_simplified_type m_record{};
};

}  // namespace mpl
