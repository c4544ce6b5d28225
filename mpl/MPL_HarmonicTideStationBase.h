#pragma once
// Harmonic tide stations: the reference record with the UTC offset and mean
// level, the subordinate corrections and the list of constituents, read from
// the map once. Kind 0 takes yearly arguments; the kind with the station's
// latitude takes monthly arguments and satellite constituents.
#include <vector>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_SearchIter.h"
#include "mpl/MPL_TideStation.h"

namespace mpl {

class HarmonicTideStationBase_t : public TideStation_t {
 public:
  using ConstituentIter_t =
      glo::SearchIter_t<HarmonicTideStationBase_t, MDB_tide_constituent_type, MDB_tide_constituent_ws_type,
                        MDB_tide_ref_info_type>;
  using ConstituentRange_t =
      glo::SearchRange_t<HarmonicTideStationBase_t, MDB_tide_constituent_type, MDB_tide_constituent_ws_type,
                         MDB_tide_ref_info_type>;

  // Reads the corrections, the reference record and the constituents.
  // Assert_t for a subtype other than 0, 1 or 6 or a map without its label
  // sub-file; MdbException_t when a record cannot be read.
  HarmonicTideStationBase_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate);
  ~HarmonicTideStationBase_t() override;

  glo::TimeSpan_t GetUtcOffset() const override;

  const MDB_tide_corrections_type& Corrections() const { return m_corrections; }
  const MDB_tide_ref_info_type& RefInfo() const { return m_refInfo; }
  const std::vector<MDB_tide_constituent_type>& Constituents() const { return m_constituents; }

  // The constituents as the map stores them, read on demand.
  ConstituentRange_t ConstituentSearch();
  glo::AutoPtr_t<MDB_tide_constituent_type> GetFirstConstituent(MDB_tide_constituent_ws_type& ws,
                                                                const MDB_tide_ref_info_type& ref);
  glo::AutoPtr_t<MDB_tide_constituent_type> GetNextConstituent(const MDB_tide_constituent_type& current,
                                                               MDB_tide_constituent_ws_type& ws);

 private:
  MDB_tide_corrections_type m_corrections{};
  MDB_tide_ref_info_type m_refInfo{};
  std::vector<MDB_tide_constituent_type> m_constituents;
};

// Yearly arguments (point subtypes 0 and 1).
class HarmonicTideStation_t : public HarmonicTideStationBase_t {
 public:
  HarmonicTideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate);
};

// Monthly arguments with the station's latitude (point subtype 6).
class IosTideStation_t : public HarmonicTideStationBase_t {
 public:
  IosTideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate);
};

}  // namespace mpl
