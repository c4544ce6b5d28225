#include "mpl/MPL_TideStation.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "mpl/tide/MPL_TideMath.h"

namespace mpl {

namespace {

constexpr int kEventSlots = 12;

// ToStationTime for many times of few UTC years: the year start is worked out
// once per year.
class StationTimes_t {
 public:
  explicit StationTimes_t(const TideStation_t& station) : m_station(station) {}
  TideTime_t operator()(const glo::Time_t& time) {
    const std::int64_t v = time.GetValue();
    if (!m_valid || v < m_from || v >= m_to) {
      const std::tm utc = time.ToTm();
      const auto year = static_cast<std::uint16_t>(utc.tm_year + 1900);
      m_yearStart = glo::Time_t(year, 1, 1, 0, 0, 0, m_station.GetUtcOffset());
      m_from = glo::Time_t(year, 1, 1, 0, 0, 0).GetValue();
      m_to = year < 2038 ? glo::Time_t(static_cast<std::uint16_t>(year + 1), 1, 1, 0, 0, 0).GetValue()
                         : glo::Time_t::kMaxValue + 1;
      m_valid = true;
    }
    return {m_yearStart, glo::Difference(time, m_yearStart)};
  }

 private:
  const TideStation_t& m_station;
  glo::Time_t m_yearStart{0};
  std::int64_t m_from = 0, m_to = 0;
  bool m_valid = false;
};

}  // namespace

TideStation_t::TideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate) {
  GLO_ASSERT(point.type == 29);
  m_engine.map = &map;
  m_engine.interpolate = (point.subtype == 1 || interpolate) ? 1 : 0;
  if (point.notes != 0xFFFFFFFFu) m_notes = static_cast<std::int32_t>(point.notes);
}

TideStation_t::~TideStation_t() = default;

void TideStation_t::Predict(const glo::Time_t& start, unsigned days, unsigned samplesPerHour,
                            std::vector<TideSample_t>& samples, std::vector<TideEvent_t>& events) const {
  const int count = static_cast<int>(samplesPerHour * 24 + 1);
  GLO_ASSERT(samplesPerHour > 0);
  const glo::Time_t end = start + glo::TimeSpan_t(86400.0 * days);
  std::vector<float> heights(static_cast<std::size_t>(count));
  MDB_tide_event_type extremes[kEventSlots];
  StationTimes_t stationTime(*this);
  samples.reserve(samples.size() + static_cast<std::size_t>(count) * days);
  events.reserve(events.size() + static_cast<std::size_t>(kEventSlots) * days);
  for (glo::Time_t t = start; t.GetValue() < end.GetValue(); t += glo::TimeSpan_t(86400.0)) {
    const glo::TimeSpan_t offset = GetUtcOffset();
    const std::uint32_t dayStart = ToEngineTime(t, offset);
    GLO_ASSERT(TidePredict(m_engine, dayStart, 0, extremes, kEventSlots, heights.data(), count) == 1);
    const glo::Time_t base = FromEngineTime(dayStart, offset);
    const double step = 3600.0 / samplesPerHour;
    for (int i = 0; i < count; ++i) {
      samples.push_back({stationTime(base + glo::TimeSpan_t(i * step)), static_cast<double>(heights[i])});
    }
    for (const MDB_tide_event_type& e : extremes) {
      if (e.kind == kTideNoEvent) continue;
      events.push_back({stationTime(FromEngineTime(e.time, offset)), static_cast<double>(e.height),
                        e.kind != kTideLowWater});
    }
  }
  std::stable_sort(events.begin(), events.end(), CompareTideEvents);
}

std::uint32_t ToEngineTime(const glo::Time_t& time, const glo::TimeSpan_t& offset) {
  const std::tm fields = time.ToTm(offset);
  const TideDate_t date{static_cast<std::uint8_t>(fields.tm_mon + 1), static_cast<std::uint8_t>(fields.tm_mday),
                        static_cast<std::uint16_t>(fields.tm_year + 1900)};
  return static_cast<std::uint32_t>(DateToEngineSeconds(date) + fields.tm_hour * 3600 + fields.tm_min * 60 +
                                    fields.tm_sec);
}

glo::Time_t FromEngineTime(std::int64_t engineTime, const glo::TimeSpan_t& offset) {
  const TideDate_t date = EngineSecondsToDate(engineTime);
  const std::int64_t inDay = engineTime - DateToEngineSeconds(date);
  return glo::Time_t(date.year, date.month, date.day, static_cast<std::uint16_t>(inDay / 3600),
                     static_cast<std::uint16_t>(inDay % 3600 / 60), static_cast<std::uint16_t>(inDay % 60), offset);
}

TideTime_t ToStationTime(const TideStation_t& station, const glo::Time_t& time) {
  const std::tm utc = time.ToTm();
  const glo::Time_t yearStart(static_cast<std::uint16_t>(utc.tm_year + 1900), 1, 1, 0, 0, 0, station.GetUtcOffset());
  return {yearStart, glo::Difference(time, yearStart)};
}

bool CompareTideEvents(const TideEvent_t& a, const TideEvent_t& b) {
  return a.time.yearStart.GetValue() + a.time.since.GetSeconds() <
         b.time.yearStart.GetValue() + b.time.since.GetSeconds();
}

const glo::Time_t& GetTideMinDate() {
  static const glo::Time_t kMin(1990, 1, 2, 0, 0, 0);
  return kMin;
}

const glo::Time_t& GetTideMaxDate() {
  static const glo::Time_t kMax(2038, 1, 1, 0, 0, 0);
  return kMax;
}

}  // namespace mpl
