#include <gtest/gtest.h>

#include <string>

#include "win/WIN_TimeStr.h"

namespace {

// 2004-09-24 13:50:34 UTC.
const glo::Time_t kTime(1096033834);

glo::DateTime_t Utc(int lcid) { return glo::DateTime_t(kTime, glo::TimeSpan_t(0), lcid); }

TEST(TimeStr, ShortDateOfALocale) {
  EXPECT_EQ(win::FormatDate(Utc(0x409)), "9/24/2004");
  EXPECT_EQ(win::FormatDate(Utc(0x407)), "24.09.2004");
  EXPECT_EQ(win::FormatDate(Utc(0x809)), "24/09/2004");
  EXPECT_FALSE(win::FormatDate(Utc(0x400)).empty());
}

TEST(TimeStr, TimeOfDayWithFlags) {
  struct Case {
    int lcid;
    unsigned long flags;
    const char* expected;
  } cases[] = {
      {0x409, 0, "1:50:34 PM"},
      {0x409, win::TimeNoSeconds, "1:50 PM"},
      {0x409, win::TimeNoMinutesOrSeconds, "1 PM"},
      {0x409, win::TimeNoTimeMarker, "13:50:34"},  // no marker: the 24-hour clock
      {0x409, win::TimeForce24HourFormat, "13:50:34"},
      {0x407, 0, "13:50:34"},
      {0x407, win::TimeNoSeconds, "13:50"},
  };
  for (const Case& c : cases) EXPECT_EQ(win::FormatTime(Utc(c.lcid), c.flags), c.expected) << c.flags;
  EXPECT_FALSE(win::FormatTime(Utc(0x400)).empty());
}

TEST(TimeStr, RefusedLocaleOrFlagsRaiseWindowsErrors) {
  for (unsigned long flags : {0ul, 0x100ul}) {
    try {
      win::FormatTime(Utc(flags ? 0x409 : 0x7777), flags);
      ADD_FAILURE() << "no exception";
    } catch (const win::Error_t& e) {
      EXPECT_STREQ(e.SourceFile(), "WIN_TimeStr.h");
      EXPECT_EQ(e.ErrorCode(), 87u);
    }
  }
  try {
    win::FormatDate(Utc(0x7777));
    ADD_FAILURE() << "no exception";
  } catch (const win::Error_t& e) {
    EXPECT_STREQ(e.SourceFile(), "WIN_TimeStr.h");
    EXPECT_EQ(e.ErrorCode(), 87u);
  }
}

TEST(TimeStr, SystemTimeConversions) {
  const win::SystemTime_t st = win::TmToSystemTime(kTime.ToTm());
  EXPECT_EQ(st.wYear, 2004);
  EXPECT_EQ(st.wMonth, 9);
  EXPECT_EQ(st.wDayOfWeek, 5);
  EXPECT_EQ(st.wHour, 13);
  const std::tm back = win::SystemTimeToTm(st);
  EXPECT_EQ(back.tm_year, 104);
  EXPECT_EQ(back.tm_mon, 8);
  EXPECT_EQ(back.tm_mday, 24);
}

}  // namespace
