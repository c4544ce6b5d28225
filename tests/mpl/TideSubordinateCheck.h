#pragma once
// The check of a subordinate tide station against its reference station:
// every high and low water of the subordinate is one of the reference's moved
// by the corrections.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mpl/MPL_TideStation.h"

namespace tidecheck {

// Expects each subordinate event to be a reference event of the same kind
// whose time is moved by that kind's time difference (within 10 seconds) and
// whose height becomes ratio x height + difference (tenths of a foot, here in
// metres; within 1 mm). The reference events must cover the subordinate's
// period. Answers the number of subordinate events.
inline std::size_t ExpectCorrectedEvents(const std::vector<mpl::TideEvent_t>& reference,
                                         const std::vector<mpl::TideEvent_t>& subordinate,
                                         const mpl::MDB_tide_corrections_type& k) {
  constexpr double kFootInMetres = 0.3048037;
  for (const mpl::TideEvent_t& e : subordinate) {
    const int minutes = e.high ? k.highTime : k.lowTime;
    const double ratio = (e.high ? k.highRatio : k.lowRatio) * 0.01;
    const double difference = (e.high ? k.highDifference : k.lowDifference) * 0.1 * kFootInMetres;
    const glo::Time_t at = e.time.Time() - glo::TimeSpan_t(minutes * 60.0);
    const mpl::TideEvent_t* match = nullptr;
    for (const mpl::TideEvent_t& r : reference) {
      if (r.high == e.high && std::fabs(glo::Difference(r.time.Time(), at).GetSeconds()) <= 10.0) match = &r;
    }
    if (!match) {
      ADD_FAILURE() << (e.high ? "high" : "low") << " water at " << e.time.Time().GetValue()
                    << " has no reference event " << minutes << " minutes before it";
      continue;
    }
    EXPECT_NEAR(e.height, ratio * match->height + difference, 1e-3) << e.time.Time().GetValue();
  }
  return subordinate.size();
}

}  // namespace tidecheck
