#pragma once
// Tracks with altitudes for the profile and graph tests.
#include <cstdint>
#include <vector>

#include "app/GraphConversion.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"
#include "map/MAP_UnitsZoomScaleTable.h"
#include "mat/MAT_UnitConverterTable.h"

namespace proftest {

// Semicircles of latitude per metre along the meridian of the test points, as
// the great-circle distance of the positions measures it.
inline double SemicirclesPerMetre() {
  static const double perMetre =
      1.0e6 / geo::DistanceAndBearing(geo::Position_t(536870912, 95443700), geo::Position_t(537870912, 95443700)).distance;
  return perMetre;
}

// A point 'metres' north of a fixed start, with an optional altitude and an
// optional time (seconds from a fixed start).
inline gdb::TrackPoint_t PointAt(double metres, const glo::Optional_t<double>& altitude = {},
                                 const glo::Optional_t<std::int64_t>& seconds = {}) {
  const geo::Position_t position(536870912 + static_cast<std::int32_t>(metres * SemicirclesPerMetre()), 95443700,
                                 altitude);
  glo::Optional_t<glo::Time_t> time;
  if (seconds) time = glo::Time_t(1110189600 + *seconds);
  return gdb::TrackPoint_t(position, time);
}

// A track of points every 'step' metres with the given altitudes (absent
// where a value is NaN), one point every 'seconds' seconds.
inline gdb::Track_t AltitudeTrack(const std::vector<double>& altitudes, double step = 100.0, std::int64_t seconds = 30) {
  gdb::Track_t track;
  for (std::size_t i = 0; i < altitudes.size(); ++i) {
    glo::Optional_t<double> altitude;
    if (altitudes[i] == altitudes[i]) altitude = altitudes[i];
    track.AppendPoint(PointAt(step * static_cast<double>(i), altitude, static_cast<std::int64_t>(i) * seconds));
  }
  return track;
}

// Metres for elevations (steps 40 m ... 40 km), kilometres for distances
// (steps 20 m ... 3000 km).
inline app::GraphAxes_t MetricAxes() {
  const map::UnitsZoomScaleTable_t& table = map::GetUnitsZoomScaleTable();
  return app::GraphAxes_t{&table.FindElevation(mat::ElevationUnits_t::Metres),
                          &mat::ElevationUnitsEntry(mat::ElevationUnits_t::Metres),
                          &table.FindDistance(mat::DistUnitsTypes_t::Metric),
                          &mat::DistanceUnitsEntry(mat::DistUnitsTypes_t::Metric)};
}

}  // namespace proftest
