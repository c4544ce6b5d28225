#include "app/TrackStatistics.h"

#include <limits>

namespace app {

TrkStatsTable_t::TrkStatsTable_t(const gdb::Track_t& track, const gdb::Track_t::Iterator_t& first,
                                 const gdb::Track_t::Iterator_t& last) {
  double distance = 0.0;
  double highest = std::numeric_limits<double>::min();
  double lowest = std::numeric_limits<double>::max();
  bool any = false;
  for (gdb::Track_t::Iterator_t p = first; p != last; ++p) {
    any = true;
    const glo::Optional_t<double>& altitude = p->GetPosition().GetAltitude();
    push_back(TrackStats_t{p, distance, altitude});
    if (altitude) {
      const double a = *altitude;
      if (a > highest)
        highest = a;
      else if (a < lowest)
        lowest = a;
    }
    const glo::Optional_t<geo::DistanceAndBearing_t> leg = track.GetLegAt(p);
    if (leg) distance += leg->distance;
  }
  if (any) {
    m_highest = highest;
    m_lowest = lowest;
  }
}

}  // namespace app
