#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <string>

#include "glo/GLO_DateTime.h"
#include "glo/GLO_StringResource.h"
#include "glo/GLO_Time.h"
#include "glo/GLO_TimeSpan.h"

namespace {

constexpr std::int64_t kMax = 2147483647;

template <typename F>
void ExpectOutOfRange(F f) {
  try {
    f();
    ADD_FAILURE() << "no exception";
  } catch (const glo::OutOfRange_t& e) {
    EXPECT_STREQ(e.SourceFile(), "GLO_Time.cpp");
  }
}

TEST(Time, DeviceEpoch) {
  EXPECT_EQ(glo::DeviceEpoch().GetValue(), 631065600);
  EXPECT_EQ(&glo::DeviceEpoch(), &glo::DeviceEpoch());
}

TEST(Time, ValueRangeIsThatOfSigned32Bits) {
  EXPECT_EQ(glo::Time_t(0).GetValue(), 0);
  EXPECT_EQ(glo::Time_t(kMax).GetValue(), kMax);
  ExpectOutOfRange([] { glo::Time_t(-1); });
  ExpectOutOfRange([] { glo::Time_t(kMax + 1); });
  ExpectOutOfRange([] { glo::Time_t(0xFFFFFFFFll); });
}

TEST(Time, CurrentTime) {
  const std::int64_t before = std::time(nullptr);
  const glo::Time_t now;
  EXPECT_GE(now.GetValue(), before);
  EXPECT_LE(now.GetValue(), before + 5);
}

TEST(Time, AddingSpansRoundsHalfAwayFromZero) {
  struct Case {
    std::int64_t start;
    double span;
    std::int64_t expected;
  } cases[] = {
      {10, 0.5, 11}, {10, -0.5, 9}, {10, 0.49, 10}, {10, -0.49, 10}, {10, 1.5, 12},
      {0, 0.4, 0},   {1, -1.0, 0},  {kMax - 1, 1.0, kMax},          {100, -99.6, 0},
  };
  for (const Case& c : cases) {
    glo::Time_t t(c.start);
    t += glo::TimeSpan_t(c.span);
    EXPECT_EQ(t.GetValue(), c.expected) << c.start << " + " << c.span;
    glo::Time_t u(c.start);
    u -= glo::TimeSpan_t(-c.span);
    EXPECT_EQ(u.GetValue(), c.expected);
  }
  EXPECT_EQ((glo::Time_t(5) + glo::TimeSpan_t(2)).GetValue(), 7);
  EXPECT_EQ((glo::Time_t(5) - glo::TimeSpan_t(2)).GetValue(), 3);
}

TEST(Time, SumsOutsideTheRangeFailAndChangeNothing) {
  struct Case {
    std::int64_t start;
    double span;
  } cases[] = {
      {0, -1.0},
      {0, -0.5},
      {kMax, 1.0},
      {kMax, 0.5},
      {12345, 1e300},
      {12345, std::numeric_limits<double>::quiet_NaN()},
      {12345, -std::numeric_limits<double>::infinity()},
  };
  for (const Case& c : cases) {
    glo::Time_t t(c.start);
    ExpectOutOfRange([&] { t += glo::TimeSpan_t(c.span); });
    EXPECT_EQ(t.GetValue(), c.start) << c.span;
  }
}

TEST(Time, CalendarFieldsAreUtcWhateverTheLocalZone) {
  // The tests run in a zone with daylight saving; a summer date gives its UTC
  // value all the same.
  EXPECT_EQ(glo::Time_t(2004, 9, 24, 11, 50, 34).GetValue(), 1096026634);
  EXPECT_EQ(glo::Time_t(2004, 9, 24, 13, 50, 34, glo::TimeSpan_t(7200)), glo::Time_t(2004, 9, 24, 11, 50, 34));
  EXPECT_EQ(glo::Time_t(2004, 9, 24, 6, 50, 34, glo::TimeSpan_t(-5 * 3600)).GetValue(), 1096026634);
  EXPECT_EQ(glo::Time_t(1989, 12, 31, 0, 0, 0).GetValue(), 631065600);
  EXPECT_EQ(glo::Time_t(1970, 1, 1, 0, 0, 0).GetValue(), 0);
  EXPECT_EQ(glo::Time_t(2038, 1, 19, 3, 14, 7).GetValue(), kMax);
  EXPECT_EQ(glo::Time_t(1970, 1, 1, 1, 0, 0, glo::TimeSpan_t(3600)).GetValue(), 0);
  // The second is rounded after the offset is taken off.
  EXPECT_EQ(glo::Time_t(2004, 9, 24, 11, 50, 34, glo::TimeSpan_t(-0.5)).GetValue(), 1096026635);
  EXPECT_EQ(glo::Time_t(2004, 9, 24, 11, 50, 34, glo::TimeSpan_t(0.4)).GetValue(), 1096026634);
  // Fields beyond their ranges are normalised.
  EXPECT_EQ(glo::Time_t(2003, 13, 1, 0, 0, 0), glo::Time_t(2004, 1, 1, 0, 0, 0));

  ExpectOutOfRange([] { glo::Time_t(2038, 1, 19, 3, 14, 8); });
  ExpectOutOfRange([] { glo::Time_t(1969, 12, 31, 23, 59, 59); });
  ExpectOutOfRange([] { glo::Time_t(1970, 1, 1, 0, 0, 0, glo::TimeSpan_t(1)); });
}

TEST(Time, DifferenceAndComparison) {
  const glo::Time_t a(1000), b(1500);
  EXPECT_EQ(glo::Difference(a, b).GetSeconds(), -500.0);
  EXPECT_EQ(glo::Difference(b, a).GetSeconds(), 500.0);
  EXPECT_EQ(glo::Difference(glo::Time_t(kMax), glo::Time_t(0)).GetSeconds(), 2147483647.0);
  EXPECT_TRUE(a != b);
  EXPECT_FALSE(a != glo::Time_t(1000));
  EXPECT_TRUE(a == glo::Time_t(1000));
}

TEST(Time, ToTmGivesUtcFieldsOfTimePlusSpan) {
  struct Case {
    std::int64_t time;
    double span;
    int year, month, day, hour, minute, second, wday, yday;
  } cases[] = {
      {1096026634, 0, 104, 8, 24, 11, 50, 34, 5, 267},
      {1096026634, 7200.9, 104, 8, 24, 13, 50, 34, 5, 267},
      // Near the ends of the 32-bit range, and beyond them with an offset.
      {0, -5 * 3600.0, 69, 11, 31, 19, 0, 0, 3, 364},
      {0, -0.5, 70, 0, 1, 0, 0, 0, 4, 0},
      {kMax, 0, 138, 0, 19, 3, 14, 7, 2, 18},
      {kMax, 2 * 3600.0, 138, 0, 19, 5, 14, 7, 2, 18},
      {kMax, 14 * 86400.0, 138, 1, 2, 3, 14, 7, 2, 32},
  };
  for (const Case& c : cases) {
    const std::tm f = glo::Time_t(c.time).ToTm(glo::TimeSpan_t(c.span));
    EXPECT_EQ(f.tm_year, c.year) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_mon, c.month) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_mday, c.day) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_hour, c.hour) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_min, c.minute) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_sec, c.second) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_wday, c.wday) << c.time << " " << c.span;
    EXPECT_EQ(f.tm_yday, c.yday) << c.time << " " << c.span;
  }
  EXPECT_THROW(glo::Time_t(0).ToTm(glo::TimeSpan_t(std::numeric_limits<double>::quiet_NaN())), glo::OutOfRange_t);
}

TEST(Time, LocalOffsetsFollowDaylightSaving) {
  // The test environment's zone is Europe/Berlin.
  std::tm summer{};
  summer.tm_year = 104;
  summer.tm_mon = 6;
  summer.tm_mday = 1;
  summer.tm_hour = 12;
  std::tm winter = summer;
  winter.tm_mon = 0;
  winter.tm_isdst = 1;  // the flag given is not trusted
  EXPECT_EQ(glo::GetUtcOffset(summer).GetSeconds(), 7200.0);
  EXPECT_EQ(glo::GetUtcOffset(winter).GetSeconds(), 3600.0);
  EXPECT_EQ(glo::CurrentStandardUtcOffset().GetSeconds(), 3600.0);
}

TEST(TimeSpan, SplitKeepsTheSignInEveryField) {
  const glo::TimeSpan_t::Split_t p = glo::TimeSpan_t(90061.5).Split();
  EXPECT_EQ(p.days, 1);
  EXPECT_EQ(p.hours, 1);
  EXPECT_EQ(p.minutes, 1);
  EXPECT_DOUBLE_EQ(p.seconds, 1.5);
  const glo::TimeSpan_t::Split_t n = glo::TimeSpan_t(-90061.5).Split();
  EXPECT_EQ(n.days, -1);
  EXPECT_EQ(n.hours, -1);
  EXPECT_EQ(n.minutes, -1);
  EXPECT_DOUBLE_EQ(n.seconds, -1.5);
  EXPECT_THROW(glo::TimeSpan_t(std::numeric_limits<double>::infinity()).Split(), glo::OutOfRange_t);
  EXPECT_THROW(glo::TimeSpan_t(1e20).Split(), glo::OutOfRange_t);
}

TEST(TimeSpan, FormatHoursForm) {
  using S = glo::TimeSpan_t;
  struct Case {
    double seconds;
    int dayMode, secondsMode;
    bool omit;
    const char* expected;
  } cases[] = {
      {3725, S::kDaysAsHours, S::kSecondsShown, false, "01:02:05"},
      {90000, S::kDaysAsHours, S::kSecondsShown, false, "25:00:00"},
      {360.999, S::kDaysAsHours, S::kSecondsShown, false, "00:06:00"},  // seconds truncated
      {0, S::kDaysAsHours, S::kSecondsShown, false, "00:00:00"},
      {360000, S::kDaysAsHours, S::kSecondsShown, false, "100:00:00"},
      {125, S::kDaysAsHours, S::kSecondsShown, true, "02:05"},
      {3725, S::kDaysAsHours, S::kSecondsShown, true, "01:02:05"},
      {90000, S::kDaysDropped, S::kSecondsShown, false, "01:00:00"},
      // Minutes rounded to the nearest minute, carrying into the hours.
      {59 * 60 + 40, S::kDaysAsHours, S::kMinutesRounded, false, "01:00"},
      {59 * 60 + 29.9, S::kDaysAsHours, S::kMinutesRounded, false, "00:59"},
      {30, S::kDaysAsHours, S::kMinutesRounded, true, "01"},
      {29, S::kDaysAsHours, S::kMinutesRounded, true, "00"},
      {7199.5, S::kDaysAsHours, S::kSecondsDropped, false, "01:59"},
      // A negative span: one sign before the absolute fields.
      {-3725, S::kDaysAsHours, S::kSecondsShown, false, "-01:02:05"},
      {-59.5 * 60, S::kDaysAsHours, S::kMinutesRounded, false, "-01:00"},
      {-0.4, S::kDaysAsHours, S::kSecondsShown, false, "00:00:00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(glo::TimeSpan_t(c.seconds).Format(c.dayMode, c.secondsMode, c.omit), c.expected) << c.seconds;
}

TEST(TimeSpan, FormatWithDayCount) {
  using S = glo::TimeSpan_t;
  const std::string day = glo::LoadStringResource(4016, GLO_SRC);
  const std::string days = glo::LoadStringResource(4017, GLO_SRC);
  ASSERT_NE(day, days);
  EXPECT_EQ(S(90000).Format(S::kDaysWritten, S::kSecondsShown, false), "1 " + day + " 01:00:00");
  EXPECT_EQ(S(2 * 86400 + 61).Format(S::kDaysWritten, S::kSecondsShown, false), "2 " + days + " 00:01:01");
  EXPECT_EQ(S(1800).Format(S::kDaysWritten, S::kSecondsShown, false), "00:30:00");
  // Rounding up to a whole day adds the day.
  EXPECT_EQ(S(86370).Format(S::kDaysWritten, S::kMinutesRounded, false), "1 " + day + " 00:00");
  EXPECT_EQ(S(86400).Format(S::kDaysWritten, S::kSecondsShown, true), "1 " + day + " 00:00:00");
}

TEST(DateTime, FieldsFromUtcAndOffset) {
  const glo::DateTime_t d(glo::Time_t(1096026634), glo::TimeSpan_t(-5 * 3600), 0x409);
  const glo::SystemTime_t& f = d.GetFields();
  EXPECT_EQ(f.wYear, 2004);
  EXPECT_EQ(f.wMonth, 9);
  EXPECT_EQ(f.wDay, 24);
  EXPECT_EQ(f.wDayOfWeek, 5);
  EXPECT_EQ(f.wHour, 6);
  EXPECT_EQ(f.wMinute, 50);
  EXPECT_EQ(f.wSecond, 34);
  EXPECT_EQ(f.wMilliseconds, 0);
  EXPECT_EQ(d.GetLcid(), 0x409);
  ASSERT_TRUE(d.GetUtcOffset().IsPresent());
  EXPECT_EQ(d.GetUtcOffset()->GetSeconds(), -18000.0);

  const std::tm back = glo::SystemTimeToTm(f);
  EXPECT_EQ(back.tm_year, 104);
  EXPECT_EQ(back.tm_mon, 8);
  EXPECT_EQ(back.tm_wday, 5);
  EXPECT_EQ(back.tm_yday, 0);
}

TEST(DateTime, LocalFieldsHaveNoOffset) {
  // 11:50:34 UTC in summer is 13:50:34 in the test zone (Europe/Berlin).
  const glo::DateTime_t d(glo::Time_t(1096026634), 0x400);
  EXPECT_EQ(d.GetFields().wHour, 13);
  EXPECT_FALSE(d.GetUtcOffset().IsPresent());
  EXPECT_EQ(d.FormatUtcOffset(), "");
}

TEST(DateTime, FormatUtcOffset) {
  struct Case {
    double seconds;
    const char* expected;
  } cases[] = {
      {0, "(UTC)"},          {3600, "(UTC+1)"},      {-18000, "(UTC-5)"},     {19800, "(UTC+5.5)"},
      {20700, "(UTC+5.75)"}, {36000, "(UTC+10)"},    {-12600, "(UTC-3.5)"},   {45900, "(UTC+12.75)"},
      {-34200, "(UTC-9.5)"}, {1800, "(UTC+0.5)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(glo::DateTime_t(glo::Time_t(100000), glo::TimeSpan_t(c.seconds), 0x409).FormatUtcOffset(), c.expected);
}

}  // namespace
