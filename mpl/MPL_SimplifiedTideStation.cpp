#include "mpl/MPL_SimplifiedTideStation.h"

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Subfile.h"

namespace mpl {

SimplifiedTideStation_t::SimplifiedTideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate)
    : TideStation_t(map, point, interpolate) {
  GLO_ASSERT(point.subtype == 2);
  GLO_ASSERT(MdbIsOpen(map.lbl.file));
  std::int32_t dataOffset = -1;
  int rc = MdbReadSimplifiedOffset(map, point.type, point.subtype, point.stationPointer, dataOffset);
  if (rc != kMdbDone) throw MdbException_t(GLO_SRC, rc);
  rc = MdbReadSimplifiedRecord(map, dataOffset, m_record);
  if (rc != kMdbDone) throw MdbException_t(GLO_SRC, rc);
  m_engine.simplified = &m_record;
  m_engine.kind = 1;
}

glo::TimeSpan_t SimplifiedTideStation_t::GetUtcOffset() const { return glo::TimeSpan_t(m_record.utcOffset * 60.0); }

}  // namespace mpl
