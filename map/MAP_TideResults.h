#pragma once
// The record of one tide prediction run: the station, the first predicted
// instant, the number of days and samples per hour, and the predicted samples
// and high and low waters.
#include <vector>

#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"
#include "mpl/MPL_TideStation.h"

namespace map {

class TideStats_t {
 public:
  // A new record: no station, 0 days; start, samples per hour, events and
  // samples absent.
  TideStats_t() = default;

  // Stores the four values, then predicts with the station and replaces the
  // events and samples. An exception of the prediction leaves the new four
  // values with the old results.
  void Compute(const mpl::TideStation_t* station, const glo::Time_t& start, int days, int samplesPerHour);

  // The stored values; glo::Assert_t for an absent one.
  const mpl::TideStation_t* GetStation() const { return m_station.Value(); }
  const glo::Time_t& GetStart() const { return m_start.Value(); }
  int GetDays() const { return m_days.Value(); }
  int GetSamplesPerHour() const { return m_samplesPerHour.Value(); }
  const std::vector<mpl::TideEvent_t>& GetEvents() const { return m_events.Value(); }
  const std::vector<mpl::TideSample_t>& GetSamples() const { return m_samples.Value(); }
  bool HasResults() const { return m_samples.IsPresent(); }

 private:
  glo::Optional_t<const mpl::TideStation_t*> m_station{nullptr};
  glo::Optional_t<glo::Time_t> m_start;
  glo::Optional_t<int> m_days{0};
  glo::Optional_t<int> m_samplesPerHour;
  glo::Optional_t<std::vector<mpl::TideEvent_t>> m_events;
  glo::Optional_t<std::vector<mpl::TideSample_t>> m_samples;
};

}  // namespace map
