#pragma once
// Tide stations: the object a map hands out for a tide-station point (type 29).
// It keeps the station's data in the form the tide engine reads, answers the
// station's UTC offset and predicts heights and high and low waters day by
// day over a range of days.
#include <cstdint>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "glo/GLO_Optional.h"
#include "glo/GLO_Time.h"
#include "glo/GLO_TimeSpan.h"
#include "mpl/MPL_Exception.h"
#include "mpl/tide/MPL_TideEngine.h"

namespace mpl {

struct MdbMap_t;

// What a station needs of its point and of the point's detail record.
struct TidePointInfo_t {
  std::uint16_t type = 0;
  std::uint8_t subtype = 0;
  std::int32_t latitude = 0;          // semicircles
  std::uint32_t stationPointer = 0;   // LBL position where the station's data offset is stored
  std::uint32_t notes = 0xFFFFFFFFu;  // text-entity index of the station's notes; all ones: none
};

// The time of a predicted sample or event: 1 January 00:00 of the time's UTC
// calendar year in the station's zone, and the seconds since then.
struct TideTime_t {
  glo::Time_t yearStart;
  glo::TimeSpan_t since;
  glo::Time_t Time() const { return yearStart + since; }
};

struct TideSample_t {
  TideTime_t time;
  double height;  // metres
};

struct TideEvent_t {
  TideTime_t time;
  double height;  // metres
  bool high;      // high water, else low water
};

class TideStation_t {
 public:
  // Assert_t unless the point is a tide station (type 29). Subtype 1 (a
  // subordinate station) always draws its curve between the high and low waters.
  TideStation_t(MdbMap_t& map, const TidePointInfo_t& point, bool interpolate);
  TideStation_t(const TideStation_t&) = delete;
  TideStation_t& operator=(const TideStation_t&) = delete;
  virtual ~TideStation_t();

  // The station's offset from UTC (east positive).
  virtual glo::TimeSpan_t GetUtcOffset() const = 0;

  // Predicts 'days' days from 'start', one engine call per day: appends
  // samplesPerHour x 24 + 1 heights a day (the last of a day and the first of
  // the next share their time) and the day's high and low waters, then orders
  // the events by time. Assert_t when the engine fails; glo::OutOfRange_t for
  // times beyond those glo::Time_t holds.
  void Predict(const glo::Time_t& start, unsigned days, unsigned samplesPerHour, std::vector<TideSample_t>& samples,
               std::vector<TideEvent_t>& events) const;

  const MDB_tide_station_type& Engine() const { return m_engine; }
  const glo::Optional_t<std::int32_t>& Notes() const { return m_notes; }

 protected:
  MDB_tide_station_type m_engine;

 private:
  glo::Optional_t<std::int32_t> m_notes;
};

// Engine time (seconds since 1989-12-31 00:00 on the station's clock) of a time
// in a zone 'offset' ahead of UTC, and back.
std::uint32_t ToEngineTime(const glo::Time_t& time, const glo::TimeSpan_t& offset);
glo::Time_t FromEngineTime(std::int64_t engineTime, const glo::TimeSpan_t& offset);
// The station time record of a time.
TideTime_t ToStationTime(const TideStation_t& station, const glo::Time_t& time);
// True when a's time is earlier than b's.
bool CompareTideEvents(const TideEvent_t& a, const TideEvent_t& b);

// The range of dates the prediction serves: 1990-01-02 00:00 to 2038-01-01 00:00.
const glo::Time_t& GetTideMinDate();
const glo::Time_t& GetTideMaxDate();

}  // namespace mpl
