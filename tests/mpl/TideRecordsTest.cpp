// The tide records of a map's label sub-file, read from built LBL tide
// sections: reference records and constituent lists, subordinate
// corrections, simplified records with their day, monthly and mean-level
// tables.
#include <gtest/gtest.h>

#include <vector>

#include "mpl/tide/MPL_TideRecords.h"
#include "tests/imgkit/TideBuilder.h"

namespace {

using imgkit::TideConstituentFields_t;

// A map whose LBL holds one tide section and one station pointer (with
// corrections) in front of it.
struct Fixture_t {
  Fixture_t(const imgkit::TideSectionBuilder_t& section, std::uint32_t dataOffset, const std::string& corrections = "",
            std::uint32_t storedLength = 0)
      : map(imgkit::BuildTideLbl(section.Bytes(),
                                 imgkit::EncodeStationPointer(storedLength ? storedLength
                                                                           : static_cast<std::uint32_t>(
                                                                                 section.Bytes().size()),
                                                              dataOffset) +
                                     corrections,
                                 pointer, 236, storedLength)) {}
  std::uint32_t pointer = 0;
  imgkit::TideMap_t map;
};

std::vector<mpl::MDB_tide_constituent_type> ReadAll(mpl::MdbMap_t& map, const mpl::MDB_tide_ref_info_type& ref) {
  std::vector<mpl::MDB_tide_constituent_type> out;
  mpl::MDB_tide_constituent_ws_type ws{};
  if (mpl::MdbFirstTideConstituent(map, ref, ws) != 0) return out;
  out.push_back(ws.entry);
  while (mpl::MdbNextTideConstituent(map, ws) == 0) out.push_back(ws.entry);
  return out;
}

TEST(TideRecordsTest, HarmonicReferenceAndConstituents) {
  imgkit::TideSectionBuilder_t section;
  section.AddBytes(std::string(300, '\0'));  // offsets two bytes wide
  const std::uint32_t plain = section.AddHarmonic(-300, 2345, {{0, 1023, 4095}, {34, 5, 1, true, 2}, {175, 20000, 7, true}});
  const std::uint32_t withMinutes = section.AddHarmonic(-330, 10, {{3, 700, 2048}});
  section.AddHarmonic(60, 0, {{5, 9, 9}});  // follows the last entry above

  Fixture_t f(section, plain);
  ASSERT_EQ(f.map.openResult, 0);
  mpl::MDB_tide_corrections_type corrections{};
  ASSERT_EQ(mpl::MdbReadTideCorrections(f.map.map, 29, 0, f.pointer, corrections), 0);
  EXPECT_EQ(corrections.dataOffset, static_cast<std::int32_t>(plain));
  EXPECT_EQ(corrections.lowRatio, 100);
  EXPECT_EQ(corrections.highDifference, 0);

  mpl::MDB_tide_ref_info_type ref{};
  ASSERT_EQ(mpl::MdbReadTideRefInfo(f.map.map, corrections.dataOffset, ref), 0);
  EXPECT_EQ(ref.utcOffset, -300);
  EXPECT_EQ(ref.z0, 2345);
  EXPECT_EQ(ref.headerLength, 3);
  const auto list = ReadAll(f.map.map, ref);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].number, 0);
  EXPECT_EQ(list[0].amplitude, 1023);
  EXPECT_EQ(list[0].phase, 4095u << 20);
  EXPECT_EQ(list[1].number, 34);  // two skipped bytes after its amplitude
  EXPECT_EQ(list[1].amplitude, 5);
  EXPECT_EQ(list[2].number, 175);
  EXPECT_EQ(list[2].amplitude, 20000);

  ASSERT_EQ(mpl::MdbReadTideRefInfo(f.map.map, static_cast<std::int32_t>(withMinutes), ref), 0);
  EXPECT_EQ(ref.utcOffset, -330);
  EXPECT_EQ(ref.headerLength, 4);
  const auto one = ReadAll(f.map.map, ref);  // bit 15 ends it, though the section goes on
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].amplitude, 700);
}

TEST(TideRecordsTest, NothingToReadGivesThree) {
  imgkit::TideSectionBuilder_t section;
  section.AddHarmonic(0, 1, {{0, 1, 1}});
  Fixture_t none(section, 0xFF);  // a one-byte pointer of all ones
  mpl::MDB_tide_corrections_type corrections{};
  ASSERT_EQ(mpl::MdbReadTideCorrections(none.map.map, 29, 1, none.pointer, corrections), 0);
  EXPECT_EQ(corrections.dataOffset, -1);
  mpl::MDB_tide_ref_info_type ref{};
  EXPECT_EQ(mpl::MdbReadTideRefInfo(none.map.map, -1, ref), 3);
  EXPECT_EQ(mpl::MdbReadTideRefInfo(none.map.map, 999, ref), 3);  // beyond the section
  ref = {-1, 0, 0, 3};
  mpl::MDB_tide_constituent_ws_type ws{};
  EXPECT_EQ(mpl::MdbFirstTideConstituent(none.map.map, ref, ws), 3);
  ws.next = -1;
  EXPECT_EQ(mpl::MdbNextTideConstituent(none.map.map, ws), 3);
  EXPECT_EQ(mpl::MdbReadTideCorrections(none.map.map, 28, 0, none.pointer, corrections), 3);
  EXPECT_EQ(mpl::MdbReadTideCorrections(none.map.map, 29, 2, none.pointer, corrections), 3);
  std::int32_t offset = 0;
  EXPECT_EQ(mpl::MdbReadSimplifiedOffset(none.map.map, 29, 0, none.pointer, offset), 3);
  mpl::MDB_tide_simplified_type rec{};
  EXPECT_EQ(mpl::MdbReadSimplifiedRecord(none.map.map, -1, rec), 3);

  // A constituent list that runs into the end of the section stops there.
  imgkit::TideSectionBuilder_t cut;
  cut.AddHarmonic(0, 1, {{0, 1, 1}, {1, 2, 2}});
  cut.Bytes().resize(cut.Bytes().size() - 4);    // drop the second entry
  Fixture_t shortList(cut, 0);
  ASSERT_EQ(mpl::MdbReadTideRefInfo(shortList.map.map, 0, ref), 0);
  EXPECT_EQ(ReadAll(shortList.map.map, ref).size(), 1u);
}

// Above 16 MiB a stored offset has no width: such a section is unreadable
// rather than read at offset 0.
TEST(TideRecordsTest, SectionAboveSixteenMebibytesIsUnreadable) {
  EXPECT_EQ(mpl::TideOffsetWidth(256), 1u);
  EXPECT_EQ(mpl::TideOffsetWidth(257), 2u);
  EXPECT_EQ(mpl::TideOffsetWidth(65536), 2u);
  EXPECT_EQ(mpl::TideOffsetWidth(16777216), 3u);
  EXPECT_EQ(mpl::TideOffsetWidth(16777217), 0u);
  imgkit::TideSectionBuilder_t section;
  section.AddHarmonic(0, 1, {{0, 1, 1}});
  Fixture_t f(section, 0, "", 16777217);
  mpl::MDB_tide_corrections_type corrections{};
  EXPECT_EQ(mpl::MdbReadTideCorrections(f.map.map, 29, 0, f.pointer, corrections), 3);
  std::int32_t offset = 0;
  EXPECT_EQ(mpl::MdbReadSimplifiedOffset(f.map.map, 29, 2, f.pointer, offset), 3);
}

TEST(TideRecordsTest, SubordinateCorrectionsByLayout) {
  struct Case_t {
    imgkit::TideCorrectionsFields_t fields;
    std::int16_t lowTime, highTime;
    std::uint16_t lowRatio, highRatio;
    std::int16_t lowDiff, highDiff, further;
  } cases[] = {
      {{-64, 63, false, 0, 300, 0, 0}, -64, 63, 300, 300, 0, 0, 0},
      {{-1024, 1023, true, 1, 90, 0x1FF, -150}, -1024, 1023, 90, 90, -1, -1, -150},
      {{5, -7, false, 2, 80, 257, 420}, 5, -7, 80, 257, 0, 0, 420},
      {{0, 40, true, 3, 0x100, 0xFF, 61}, 0, 40, 100, 100, -256, 255, 61},
  };
  imgkit::TideSectionBuilder_t section;
  section.AddHarmonic(0, 1, {{0, 1, 1}});
  for (const Case_t& c : cases) {
    Fixture_t f(section, 0, imgkit::EncodeCorrections(c.fields));
    mpl::MDB_tide_corrections_type k{};
    ASSERT_EQ(mpl::MdbReadTideCorrections(f.map.map, 29, 1, f.pointer, k), 0);
    EXPECT_EQ(k.dataOffset, 0);
    EXPECT_EQ(k.lowTime, c.lowTime);
    EXPECT_EQ(k.highTime, c.highTime);
    EXPECT_EQ(k.lowRatio, c.lowRatio);
    EXPECT_EQ(k.highRatio, c.highRatio);
    EXPECT_EQ(k.lowDifference, c.lowDiff);
    EXPECT_EQ(k.highDifference, c.highDiff);
    EXPECT_EQ(k.furtherTime, c.further);
  }
}

TEST(TideRecordsTest, SimplifiedRecordAndItsTables) {
  imgkit::TideSectionBuilder_t section;
  section.AddBytes(std::string(260, '\0'));
  const std::uint32_t mean = section.AddMeanLevelTable(0x05 | (2 << 3), {1, -1, 0, 2, -2, 1, 0, -1, 1, 0, -2, 1});
  const std::uint32_t mean16 = section.AddMeanLevelTable(0x03, {-100, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  imgkit::TideSimplifiedFields_t fields;
  fields.flags = 5 | 0x10 | 0x20 | 0x80 | 0x200 | 0x400 | 0x1000 | 0x2000 | 0x4000;  // Z0 and amplitudes in hundredths
  fields.z0 = 345;
  fields.phases[0] = 4095;
  fields.phases[1] = 1;
  fields.phases[2] = 2048;
  fields.phases[3] = 100;
  fields.phases[4] = 77;
  fields.phases[5] = 3000;
  fields.amplitudes[0] = 120;
  fields.amplitudes[1] = 30;
  fields.f4 = 12;
  fields.f6 = 34;
  fields.minutes = 30;
  fields.meanLevelOffset = mean;
  fields.dayFlags = 3;  // age 3, hundredths, 8-bit
  fields.day = {20, -5, -5, -4, -3, -2, -1, 0};
  fields.monthlyFlags = 0x01 | (0x03 << 2) | (0x02 << 4);  // M2 phase (8-bit degrees), S2 phase (tenths), M2 amplitude
  fields.monthly[0] = {10, 10, -30, 0, 0, 0, 0, 0, 0, 0, 1};
  fields.monthly[1] = {-15, -20, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  fields.monthly[2] = {5, -3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const std::uint32_t at = section.AddSimplified(fields);
  Fixture_t f(section, at);

  std::int32_t offset = 0;
  ASSERT_EQ(mpl::MdbReadSimplifiedOffset(f.map.map, 29, 2, f.pointer, offset), 0);
  mpl::MDB_tide_simplified_type rec{};
  ASSERT_EQ(mpl::MdbReadSimplifiedRecord(f.map.map, offset, rec), 0);
  EXPECT_EQ(rec.utcOffset, -330);
  EXPECT_EQ(rec.z0, 345);
  EXPECT_EQ(rec.phases[0], 4095u << 20);
  EXPECT_EQ(rec.phases[1], 1u << 20);
  EXPECT_EQ(rec.phases[2], 2048u << 20);
  EXPECT_EQ(rec.phases[3], 100u << 20);
  EXPECT_EQ(rec.phases[4], 77u << 20);
  EXPECT_EQ(rec.phases[5], 3000u << 20);
  EXPECT_EQ(rec.amplitudes[0], 120u);
  EXPECT_EQ(rec.f4, 12u);
  EXPECT_EQ(rec.f6, 34u);
  EXPECT_EQ(rec.meanLevelOffset, mean);

  std::int32_t raw = 0, divisor = 0;
  ASSERT_EQ(mpl::MdbReadDayLevel(f.map.map, rec, 0, raw, divisor), 0);
  EXPECT_EQ(raw, 365);  // Z0 + 20, in hundredths
  EXPECT_EQ(divisor, 100);
  ASSERT_EQ(mpl::MdbReadDayLevel(f.map.map, rec, 7, raw, divisor), 0);
  EXPECT_EQ(raw, 345);
  EXPECT_EQ(mpl::MdbReadDayLevel(f.map.map, rec, 8, raw, divisor), 3);

  // January is the record's own value; later months add the entries.
  ASSERT_EQ(mpl::MdbReadMonthlyValue(f.map.map, rec, 1, mpl::kTideM2Phase, raw, divisor), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(raw), 4095u << 20);
  ASSERT_EQ(mpl::MdbReadMonthlyValue(f.map.map, rec, 3, mpl::kTideM2Phase, raw, divisor), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(raw), (4095u + 228u) << 20);  // 20 degrees = 227.6 steps
  ASSERT_EQ(mpl::MdbReadMonthlyValue(f.map.map, rec, 2, mpl::kTideS2Phase, raw, divisor), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(raw), static_cast<std::uint32_t>(1 - 17) << 20);  // -1.5 deg = -17.07
  ASSERT_EQ(mpl::MdbReadMonthlyValue(f.map.map, rec, 3, mpl::kTideM2Amplitude, raw, divisor), 0);
  EXPECT_EQ(raw, 122);
  EXPECT_EQ(divisor, 100);
  EXPECT_EQ(mpl::MdbReadMonthlyValue(f.map.map, rec, 3, mpl::kTideS2Amplitude, raw, divisor), 3);

  // The mean-level table's January already includes the first value.
  ASSERT_EQ(mpl::MdbReadMeanLevelValue(f.map.map, rec.meanLevelOffset, 1, raw, divisor), 0);
  EXPECT_EQ(raw, 3);
  EXPECT_EQ(divisor, 100);
  ASSERT_EQ(mpl::MdbReadMeanLevelValue(f.map.map, rec.meanLevelOffset, 12, raw, divisor), 0);
  EXPECT_EQ(raw, 2 + 0);
  ASSERT_EQ(mpl::MdbReadMeanLevelValue(f.map.map, mean16, 2, raw, divisor), 0);
  EXPECT_EQ(raw, -50);
  EXPECT_EQ(divisor, 10);
  EXPECT_EQ(mpl::MdbReadMeanLevelValue(f.map.map, 0xFFFFFFFFu, 1, raw, divisor), 3);
}

}  // namespace
