#pragma once
// TimeSpan_t: a duration in seconds (may be negative or fractional), and its
// text form for durations and paces.
#include <cstdint>
#include <string>

namespace glo {

class TimeSpan_t {
 public:
  // How Format treats whole days.
  enum DayMode_t {
    kDaysWritten = 0,  // "<n> day(s) " before the hours
    kDaysAsHours = 1,  // days added to the hours as 24 hours each
    kDaysDropped = 2,  // days neither written nor added
  };
  // How Format treats the seconds.
  enum SecondsMode_t {
    kSecondsShown = 0,    // ":ss", truncated to whole seconds
    kMinutesRounded = 1,  // no seconds; minutes rounded to the nearest minute
    kSecondsDropped = 2,  // no seconds; minutes truncated
  };

  // The parts of a span; every part has the sign of the span.
  struct Split_t {
    int days;
    std::int16_t hours;
    std::int16_t minutes;
    double seconds;
  };

  TimeSpan_t() : m_seconds(0.0) {}
  explicit TimeSpan_t(double seconds) : m_seconds(seconds) {}

  double GetSeconds() const { return m_seconds; }

  // Whole days, hours and minutes (each truncated toward zero) and the remaining
  // seconds with their fraction. A span that is not finite or beyond the range
  // of the day count throws glo::OutOfRange_t.
  Split_t Split() const;

  // The text of the span: [days part][hours ":"]minutes[":" seconds], each number
  // zero-filled to two digits. The hours are left out when omitEmptyHours is set
  // and they (with the days) are zero. Rounding the minutes carries into the
  // hours (59.5 minutes read "01:00"). A negative span is written as its
  // absolute value after one "-". The day texts come from the language module.
  std::string Format(int dayMode, int secondsMode, bool omitEmptyHours) const;

  TimeSpan_t operator-() const { return TimeSpan_t(-m_seconds); }
  TimeSpan_t& operator+=(const TimeSpan_t& other) {
    m_seconds += other.m_seconds;
    return *this;
  }
  TimeSpan_t& operator-=(const TimeSpan_t& other) {
    m_seconds -= other.m_seconds;
    return *this;
  }
  friend TimeSpan_t operator+(TimeSpan_t a, const TimeSpan_t& b) { return a += b; }
  friend TimeSpan_t operator-(TimeSpan_t a, const TimeSpan_t& b) { return a -= b; }
  friend bool operator==(const TimeSpan_t& a, const TimeSpan_t& b) { return a.m_seconds == b.m_seconds; }
  friend bool operator!=(const TimeSpan_t& a, const TimeSpan_t& b) { return a.m_seconds != b.m_seconds; }
  friend bool operator<(const TimeSpan_t& a, const TimeSpan_t& b) { return a.m_seconds < b.m_seconds; }

 private:
  double m_seconds;
};

}  // namespace glo
