#include "map/MAP_TideResults.h"

#include "glo/GLO_Exception.h"

namespace map {

void TideStats_t::Compute(const mpl::TideStation_t* station, const glo::Time_t& start, int days, int samplesPerHour) {
  m_station = station;
  m_start = start;
  m_days = days;
  m_samplesPerHour = samplesPerHour;
  GLO_ASSERT(station != nullptr && days >= 0 && samplesPerHour > 0);
  std::vector<mpl::TideEvent_t> events;
  std::vector<mpl::TideSample_t> samples;
  station->Predict(start, static_cast<unsigned>(days), static_cast<unsigned>(samplesPerHour), samples, events);
  m_events = std::move(events);
  m_samples = std::move(samples);
}

}  // namespace map
