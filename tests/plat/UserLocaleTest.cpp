#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "plat/PLAT_Calendar.h"
#include "plat/PLAT_TimePicture.h"
#include "tests/common/TestEnv.h"

namespace {

// The date and time texts of the default locale follow the environment as it is
// at each call, within one process: $LC_ALL, else $LC_TIME, else $LANG; none (or
// an empty one) and "C" give the C locale.
TEST(UserLocaleTest, FollowsTheEnvironmentAtEachCall) {
  struct Case {
    const char* all;
    const char* time;
    const char* lang;
    const char* datePicture;
    const char* timePicture;
    const char* timeOfDay;
    const char* calendar;
  };
  const Case cases[] = {
      {"en_US.UTF-8", nullptr, nullptr, "M/d/yyyy", "h:mm:ss tt", "3:04:05 PM", "Monday 4 March"},
      {"de_DE.UTF-8", nullptr, nullptr, "dd.MM.yyyy", "HH:mm:ss", "15:04:05", "Montag 4 März"},
      {"en_US.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", "M/d/yyyy", "h:mm:ss tt", "3:04:05 PM", "Monday 4 March"},
      {nullptr, "de_DE.UTF-8", "en_US.UTF-8", "dd.MM.yyyy", "HH:mm:ss", "15:04:05", "Montag 4 März"},
      {"", "", "en_GB.UTF-8", "dd/MM/yyyy", "HH:mm:ss", "15:04:05", "Monday 4 March"},
      {"C", "de_DE.UTF-8", "de_DE.UTF-8", "d MMM yyyy", "HH:mm:ss", "15:04:05", "Monday 4 March"},
      {nullptr, nullptr, nullptr, "d MMM yyyy", "HH:mm:ss", "15:04:05", "Monday 4 March"},
  };
  std::tm fields{};
  fields.tm_year = 2024 - 1900;
  fields.tm_mon = 2;
  fields.tm_mday = 4;
  fields.tm_wday = 1;
  fields.tm_hour = 15;
  for (const Case& c : cases) {
    const test::EnvOverride all("LC_ALL", c.all);
    const test::EnvOverride time("LC_TIME", c.time);
    const test::EnvOverride lang("LANG", c.lang);
    const std::string label = std::string(c.all ? c.all : "-") + " " + (c.time ? c.time : "-") + " " +
                              (c.lang ? c.lang : "-");
    std::string text;
    ASSERT_TRUE(plat::GetLocalePicture(plat::kLocaleUserDefault, plat::kLocaleSShortDate, text)) << label;
    EXPECT_EQ(text, c.datePicture) << label;
    ASSERT_TRUE(plat::GetLocalePicture(plat::kLocaleUserDefault, plat::kLocaleSTimeFormat, text)) << label;
    EXPECT_EQ(text, c.timePicture) << label;
    ASSERT_TRUE(plat::FormatTimeOfDay(plat::kLocaleUserDefault, 0, 15, 4, 5, text)) << label;
    EXPECT_EQ(text, c.timeOfDay) << label;
    ASSERT_TRUE(plat::FormatCalendarPicture("%A %#d %B", fields, text)) << label;
    EXPECT_EQ(text, c.calendar) << label;
  }
}

}  // namespace
