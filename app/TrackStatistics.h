#pragma once
// The per-point figures of the elevation profile: how far along a range of
// track points each point lies and how high it is, with the highest and the
// lowest elevation seen.
#include <vector>

#include "gdb/GDB_Track.h"
#include "glo/GLO_Optional.h"

namespace app {

// One track point of the range.
struct TrackStats_t {
  gdb::Track_t::Iterator_t point;
  double distance = 0.0;              // metres from the range's first point
  glo::Optional_t<double> elevation;  // metres; absent when the point has no altitude
};

class TrkStatsTable_t : public std::vector<TrackStats_t> {
 public:
  // The entries of the points in [first, last) of 'track'.
  TrkStatsTable_t(const gdb::Track_t& track, const gdb::Track_t::Iterator_t& first,
                  const gdb::Track_t::Iterator_t& last);
  virtual ~TrkStatsTable_t() = default;

  // The highest elevation seen; it starts at the smallest positive normal
  // double, so a range whose altitudes are all at or below 0 keeps that.
  // 0.0 for an empty range.
  double GetHighest() const { return m_highest; }
  // The lowest elevation seen, compared only for altitudes that did not raise
  // the highest; it starts at the largest double. 0.0 for an empty range.
  // Readers use it as min(lowest, 0).
  double GetLowest() const { return m_lowest; }
  // The last entry's distance, 0 when there is none.
  double GetLength() const { return empty() ? 0.0 : back().distance; }

 private:
  double m_highest = 0.0;
  double m_lowest = 0.0;
};

}  // namespace app
