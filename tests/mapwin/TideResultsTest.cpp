// Tide results, the tide display settings, the texts of tide times and the
// converter between columns and times, in the US English locale and the New
// York zone.
#include <gtest/gtest.h>

#include "map/MAP_TideResults.h"
#include "map/MAP_TideSettings.h"
#include "tests/common/RegistryBytes.h"
#include "tests/mapwin/TideTestSupport.h"
#include "tests/mpl/TideSubordinateCheck.h"
#include "win/WIN_RegSettingsKey.h"

namespace {

using tidetest::Utc;

class TideResults : public tidetest::TideEnvTest {};

TEST_F(TideResults, NewRecordHasNoResults) {
  map::TideStats_t stats;
  EXPECT_EQ(stats.GetDays(), 0);
  EXPECT_EQ(stats.GetStation(), nullptr);
  EXPECT_THROW(stats.GetStart(), glo::Assert_t);
  EXPECT_THROW(stats.GetEvents(), glo::Assert_t);
  EXPECT_THROW(stats.GetSamples(), glo::Assert_t);
}

TEST_F(TideResults, ComputeHoldsSamplesAndOrderedEvents) {
  tidetest::Station_t station(0, 1000, tidetest::SemidiurnalList());
  map::TideStats_t stats;
  const glo::Time_t start = Utc(2020, 1, 15);
  stats.Compute(&station.Get(), start, 1, 2);
  ASSERT_EQ(stats.GetSamples().size(), 49u);
  EXPECT_EQ(stats.GetSamples().front().time.Time(), start);
  EXPECT_EQ(stats.GetSamples().back().time.Time(), start + glo::TimeSpan_t(86400.0));
  EXPECT_GE(stats.GetEvents().size(), 3u);
  stats.Compute(&station.Get(), start, 2, 2);
  ASSERT_EQ(stats.GetSamples().size(), 98u);
  EXPECT_EQ(stats.GetSamples()[48].time.Time(), stats.GetSamples()[49].time.Time());
  EXPECT_TRUE(std::is_sorted(stats.GetEvents().begin(), stats.GetEvents().end(), mpl::CompareTideEvents));
  EXPECT_EQ(stats.GetStation(), &station.Get());
  EXPECT_EQ(stats.GetDays(), 2);

  // A subordinate station's high and low waters are the reference station's,
  // moved by the time differences and scaled by the height ratios.
  imgkit::TideCorrectionsFields_t corrections;
  corrections.lowTime = -35;
  corrections.highTime = 50;
  corrections.layout = 2;
  corrections.first = 90;
  corrections.second = 120;
  tidetest::Station_t subordinate(0, 1000, tidetest::SemidiurnalList(), 0xFFFFFFFFu, &corrections);
  map::TideStats_t reference;
  reference.Compute(&station.Get(), start - glo::TimeSpan_t(86400.0), 3, 2);
  map::TideStats_t corrected;
  corrected.Compute(&subordinate.Get(), start, 1, 2);
  EXPECT_EQ(corrected.GetSamples().size(), 49u);
  EXPECT_GE(tidecheck::ExpectCorrectedEvents(reference.GetEvents(), corrected.GetEvents(),
                                             subordinate->Corrections()),
            3u);

  // A prediction that fails keeps the results of the run before.
  const glo::Time_t late(glo::Time_t::kMaxValue - 3600);
  EXPECT_THROW(stats.Compute(&station.Get(), late, 1, 2), glo::OutOfRange_t);
  EXPECT_EQ(stats.GetStart(), late);
  EXPECT_EQ(stats.GetDays(), 1);
  EXPECT_EQ(stats.GetSamples().size(), 98u);
}

TEST_F(TideResults, ColumnsAndTimes) {
  const glo::Time_t origin = Utc(2020, 1, 15);
  // 240 pixels over 24 hours: 10 pixels an hour.
  const map::PixelTimeCnvrt_t c(origin, origin + glo::TimeSpan_t(86400.0), 61, 240);
  EXPECT_DOUBLE_EQ(c.GetPixelsPerHour(), 10.0);
  const struct {
    double seconds;
    int x;
  } cases[] = {{0, 61}, {90, 61}, {270, 62}, {-270, 60}, {-90, 61}, {3600, 71}, {-7200, 41}};
  for (const auto& k : cases) EXPECT_EQ(c.TimeToPixel(origin + glo::TimeSpan_t(k.seconds)), k.x) << k.seconds;
  EXPECT_EQ(c.PixelToTime(61), origin);
  EXPECT_EQ(c.PixelToTime(66), origin + glo::TimeSpan_t(1800.0));
  EXPECT_EQ(c.PixelToTime(51), origin - glo::TimeSpan_t(3600.0));
  // 7 pixels an hour: 514.2857 seconds a pixel, rounded to whole seconds.
  const map::PixelTimeCnvrt_t d(origin, origin + glo::TimeSpan_t(3600.0), 0, 7);
  EXPECT_EQ(d.PixelToTime(1), origin + glo::TimeSpan_t(514.0));
  EXPECT_THROW(c.PixelToTime(-10000000), glo::OutOfRange_t);
}

TEST_F(TideResults, TimeAndDayMonthPictures) {
  EXPECT_FALSE(map::MakeTimeFormatInfo(":", "HH:mm:ss").twelveHour);
  EXPECT_TRUE(map::MakeTimeFormatInfo(":", "h:mm:ss tt").twelveHour);
  const struct {
    const char* separator;
    const char* picture;
    const char* expected;
  } cases[] = {
      {"/", "M/d/yyyy", "%#m/%#d"},   {".", "dd.MM.yyyy", "%#d.%#m"},  {"-", "yyyy MM dd", "%#m-%#d"},
      {"/", "yyyy/M/d", "%#m/%#d"},   {"/", "d/M/yyyy", "%#d/%#m"},    {"-", "dd-MMM-yyyy", "%#d-%#m"},
  };
  for (const auto& k : cases) EXPECT_EQ(map::BuildDayMonthFormat(k.separator, k.picture), k.expected) << k.picture;
  EXPECT_EQ(map::SplitDateFormat("yyyy MM dd", "-"), (std::vector<std::string>{"yyyy", "MM", "dd"}));

  // The user's locale (US English).
  const map::TimeFormatInfo_t info = map::GetTimeFormatInfo();
  EXPECT_TRUE(info.twelveHour);
  EXPECT_EQ(info.separator, ":");
  EXPECT_EQ(info.picture, "h:mm:ss tt");
  EXPECT_EQ(map::BuildDayMonthFormat(), "%#m/%#d");
}

TEST_F(TideResults, PicturesWithTheHashFlag) {
  const struct {
    const char* picture;
    glo::Time_t time;
    const char* expected;
  } cases[] = {
      {"%#I%p", Utc(2020, 1, 5, 13), "1PM"}, {"%#I%p", Utc(2020, 1, 5, 0), "12AM"},
      {"%H:00", Utc(2020, 1, 5, 9), "09:00"}, {"%#m/%#d", Utc(2020, 11, 5), "11/5"},
      {"%#d.%#m.%Y", Utc(2020, 3, 7), "7.3.2020"}, {"%I %%", Utc(2020, 3, 7, 15), "03 %"},
  };
  for (const auto& k : cases) EXPECT_EQ(map::FormatTidePicture(k.picture, k.time.ToTm()), k.expected) << k.picture;
  EXPECT_THROW(map::FormatTidePicture("%Q", Utc(2020, 1, 1).ToTm()), win::Error_t);
}

TEST_F(TideResults, TideTimeTextsInTheThreeModes) {
  const glo::Time_t t = Utc(2020, 1, 15, 12, 30, 5);
  EXPECT_EQ(map::FormatTideTime(true, t, glo::TimeSpan_t(-5 * 3600.0)), "1/15/2020 7:30:05 AM (UTC-5)");
  EXPECT_EQ(map::FormatTideTime(true, t, glo::TimeSpan_t(0.0)), "1/15/2020 12:30:05 PM (UTC)");
  // Local time in New York (standard time in January, daylight saving in July).
  EXPECT_EQ(map::FormatTideTime(false, t, glo::TimeSpan_t(-3600.0)), "1/15/2020 7:30:05 AM ");
  EXPECT_EQ(map::FormatTideTime(false, Utc(2020, 7, 15, 12), glo::TimeSpan_t()), "7/15/2020 8:00:00 AM ");
  // The user's own offset.
  SetTimeMode(false, 5.5 * 3600.0);
  EXPECT_EQ(map::FormatTideTime(false, t, glo::TimeSpan_t(-3600.0)), "1/15/2020 6:00:05 PM (UTC+5.5)");
  const std::tm f = map::DisplayFields(false, t, glo::TimeSpan_t());
  EXPECT_EQ(f.tm_hour, 18);
  EXPECT_EQ(map::DisplayFields(true, t, glo::TimeSpan_t(3600.0)).tm_hour, 13);
}

TEST_F(TideResults, SettingsAreStoredAsBinaryValuesAndRepaired) {
  const win::RegKey_t& key = app::GetSettingsKey();
  // A four-byte offset is not a span: the default takes its place and is stored.
  const unsigned char four[4] = {1, 2, 3, 4};
  key.WriteValue("UserUtcOffset", plat::kRegBinary, four, 4);
  key.DeleteValue("UseLocalTime");
  map::TideSettings_t settings(key);
  EXPECT_TRUE(settings.UseLocalTime.Value());
  EXPECT_EQ(settings.UserUtcOffset.Value().GetSeconds(), 0.0);
  EXPECT_EQ(test::ReadRegBytes(key.Handle(), "UseLocalTime"), test::RegBytes_t(plat::kRegBinary, std::string(1, '\1')));
  EXPECT_EQ(test::ReadRegBytes(key.Handle(), "UserUtcOffset"), test::RegBytes_t(plat::kRegBinary, std::string(8, '\0')));
  settings.UserUtcOffset.Set(glo::TimeSpan_t(-1.5));
  EXPECT_EQ(test::ReadRegBytes(key.Handle(), "UserUtcOffset").second,
            std::string("\0\0\0\0\0\0\xF8\xBF", 8));  // -1.5 as a little-endian double
  settings.UseLocalTime.Set(false);
  EXPECT_FALSE(map::TideSettings_t(key).UseLocalTime.Value());
  EXPECT_EQ(map::TideSettings_t(key).UserUtcOffset.Value().GetSeconds(), -1.5);
}

}  // namespace
