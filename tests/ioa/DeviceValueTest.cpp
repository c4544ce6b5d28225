#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "glo/GLO_Exception.h"
#include "ioa/IOA_DeviceValue.h"
#include "ioa/IOA_Text.h"

namespace {

TEST(DeviceTime, NoTimeMarkersAndOffsetsFromTheDeviceEpoch) {
  for (std::uint32_t none : {0u, 0x7FFFFFFFu, 0xFFFFFFFFu}) EXPECT_FALSE(ioa::DeviceTimeToTime(none).IsPresent()) << none;

  const struct {
    std::uint32_t seconds;
    glo::Time_t expected;
  } cases[] = {
      {1, glo::Time_t(1989, 12, 31, 0, 0, 1)},
      {86400, glo::Time_t(1990, 1, 1, 0, 0, 0)},
      {0x7FFFFFFFu - 631065600u, glo::Time_t(2147483647)},  // the last second Time_t holds
  };
  for (const auto& c : cases) {
    const glo::Optional_t<glo::Time_t> t = ioa::DeviceTimeToTime(c.seconds);
    ASSERT_TRUE(t.IsPresent()) << c.seconds;
    EXPECT_EQ(t->GetValue(), c.expected.GetValue()) << c.seconds;
    EXPECT_EQ(ioa::TimeToDeviceTime(c.expected), c.seconds);
  }
  EXPECT_THROW(ioa::TimeToDeviceTime(glo::Time_t(1989, 12, 30, 23, 59, 59)), glo::Assert_t);
  // Values taken as unsigned run past 2038: an error, never a date wrapped
  // back into the past.
  EXPECT_THROW(ioa::DeviceTimeToTime(0x80000000u - 631065600u), glo::OutOfRange_t);
  EXPECT_THROW(ioa::DeviceTimeToTime(0xFFFFFFFEu), glo::OutOfRange_t);
}

TEST(DevicePosition, SemicirclesWithoutAltitude) {
  const geo::Position_t p = ioa::PositionFromDevice(1 << 29, INT32_MIN);
  EXPECT_EQ(p.GetLatitude(), 1 << 29);
  EXPECT_EQ(p.GetLongitude(), INT32_MIN);
  EXPECT_FALSE(p.GetAltitude().IsPresent());
  EXPECT_THROW(ioa::PositionFromDevice(0x7FFFFFFF, 0), glo::OutOfRange_t);
}

TEST(WatchText, Windows1252ToUtf8AndBack) {
  const struct {
    const char* cp1252;
    const char* utf8;
  } cases[] = {
      {"Trail Watch 20", "Trail Watch 20"},
      {"Caf\xE9 \xDC" "ber", "Caf\xC3\xA9 \xC3\x9C" "ber"},
      {"\x80 \x99 \x9F", "\xE2\x82\xAC \xE2\x84\xA2 \xC5\xB8"},
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ioa::Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(ioa::Utf8ToCp1252(c.utf8), c.cp1252);
  }
  // Bytes the code page leaves undefined never yield invalid UTF-8.
  EXPECT_EQ(ioa::Cp1252ToUtf8("a\x81z"), "a\xEF\xBF\xBDz");
  // What the code page cannot hold, and broken UTF-8, become '?'.
  EXPECT_EQ(ioa::Utf8ToCp1252("\xE4\xB8\xAD x \xC3"), "? x ?");
  EXPECT_EQ(ioa::Utf8ToCp1252("\xC0\xAF"), "??");  // overlong '/'
}

}  // namespace
