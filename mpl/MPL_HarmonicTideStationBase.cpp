#include "mpl/MPL_HarmonicTideStationBase.h"

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

HarmonicTideStationBase_t::HarmonicTideStationBase_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate)
    : TideStation_t(map, point, interpolate) {
  GLO_ASSERT(point.subtype == 0 || point.subtype == 1 || point.subtype == 6);
  GLO_ASSERT(MdbIsOpen(map.lbl.file));
  int rc = MdbReadTideCorrections(map, point.type, point.subtype, point.stationPointer, m_corrections);
  if (rc != kMdbDone) throw MdbException_t(GLO_SRC, rc);
  rc = MdbReadTideRefInfo(map, m_corrections.dataOffset, m_refInfo);
  if (rc != kMdbDone) throw MdbException_t(GLO_SRC, rc);
  for (const MDB_tide_constituent_type& c : ConstituentSearch()) m_constituents.push_back(c);
  m_engine.corrections = &m_corrections;
  m_engine.refInfo = &m_refInfo;
  m_engine.count = static_cast<std::uint16_t>(m_constituents.size());
  m_engine.constituents = m_constituents.empty() ? nullptr : m_constituents.data();
}

HarmonicTideStationBase_t::~HarmonicTideStationBase_t() = default;

glo::TimeSpan_t HarmonicTideStationBase_t::GetUtcOffset() const {
  return glo::TimeSpan_t(m_refInfo.utcOffset * 60.0);
}

HarmonicTideStationBase_t::ConstituentRange_t HarmonicTideStationBase_t::ConstituentSearch() {
  return ConstituentRange_t(
      ConstituentIter_t::GetFirstFn_t(this, &HarmonicTideStationBase_t::GetFirstConstituent),
      ConstituentIter_t::GetNextFn_t(this, &HarmonicTideStationBase_t::GetNextConstituent), m_refInfo);
}

glo::AutoPtr_t<MDB_tide_constituent_type> HarmonicTideStationBase_t::GetFirstConstituent(
    MDB_tide_constituent_ws_type& ws, const MDB_tide_ref_info_type& ref) {
  GLO_ASSERT(m_engine.map != nullptr && MdbIsOpen(m_engine.map->lbl.file));
  const int rc = MdbFirstTideConstituent(*m_engine.map, ref, ws);
  if (rc != kMdbDone && rc != kMdbNotFound) throw MdbException_t(GLO_SRC, rc);
  if (rc != kMdbDone) return glo::AutoPtr_t<MDB_tide_constituent_type>();
  return glo::AutoPtr_t<MDB_tide_constituent_type>(new MDB_tide_constituent_type(ws.entry));
}

glo::AutoPtr_t<MDB_tide_constituent_type> HarmonicTideStationBase_t::GetNextConstituent(
    const MDB_tide_constituent_type&, MDB_tide_constituent_ws_type& ws) {
  GLO_ASSERT(m_engine.map != nullptr && MdbIsOpen(m_engine.map->lbl.file));
  const int rc = MdbNextTideConstituent(*m_engine.map, ws);
  if (rc != kMdbDone && rc != kMdbNotFound) throw MdbException_t(GLO_SRC, rc);
  if (rc != kMdbDone) return glo::AutoPtr_t<MDB_tide_constituent_type>();
  return glo::AutoPtr_t<MDB_tide_constituent_type>(new MDB_tide_constituent_type(ws.entry));
}

HarmonicTideStation_t::HarmonicTideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate)
    : HarmonicTideStationBase_t(map, point, interpolate) {
  m_engine.kind = 0;
}

IosTideStation_t::IosTideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate)
    : HarmonicTideStationBase_t(map, point, interpolate) {
  m_engine.kind = 2;
  m_engine.latitude = point.latitude;
}

}  // namespace mpl
