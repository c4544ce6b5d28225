// Unit converters, their tables and names, number input and output.
#include <gtest/gtest.h>

#include "glo/GLO_StringResource.h"
#include "mat/MAT_DepthUnits.h"
#include "mat/MAT_DistUnitsNames.h"
#include "mat/MAT_UnitConverterTable.h"

namespace {

using mat::DistUnitsTypes_t;

std::string Text(unsigned id) { return glo::LoadStringResource(id, GLO_SRC); }

TEST(UnitConverter, FormatsInTheUnitAboveOrBelowTheThreshold) {
  const auto S = DistUnitsTypes_t::Statute;
  const auto M = DistUnitsTypes_t::Metric;
  const auto N = DistUnitsTypes_t::Nautical;
  const glo::Optional_t<int> none;
  const struct {
    DistUnitsTypes_t units;
    double metres;
    bool fixed;
    glo::Optional_t<int> precision;
    const char* number;
    unsigned unitText;
  } cases[] = {
      {S, 304.8, true, none, "1000", 8014},  // at the threshold: still feet
      {S, 304.9, true, none, "0.189", 8021},
      {M, 1000.0, true, none, "1000", 8015},
      {M, 1000.5, true, none, "1.00", 8017},
      {M, 1234.5, true, none, "1.23", 8017},
      {M, 12345, true, none, "12.3", 8017},
      {M, 123456, true, none, "123", 8017},
      {M, 1234567, true, none, "1235", 8017},
      {M, 1234.5, true, 1, "1.2", 8017},
      {M, 0.25, true, none, "0.250", 8015},
      {M, -1234.4, true, none, "-1234", 8015},  // a negative length keeps its digits
      {M, -0.25, true, none, "-0.250", 8015},
      {S, 100, true, none, "328", 8014},
      {S, 0.1, true, none, "0.3", 8014},
      {N, 1852, false, none, "1", 8019},
      {N, 300, false, none, "984.252", 8014},
      {N, 300, false, 0, "984.252", 8014},  // the precision plays no part without the flag
  };
  for (const auto& c : cases) {
    const mat::UnitConverter_t& entry = mat::DistanceUnitsEntry(c.units);
    EXPECT_EQ(std::string(c.number) + " " + Text(c.unitText), entry.Format(c.metres, c.fixed, c.precision))
        << static_cast<int>(c.units) << " " << c.metres;
  }
  const auto& metric = mat::DistanceUnitsEntry(M);
  EXPECT_EQ("1.23", metric.FormatLarge(1234.5, true));
  EXPECT_EQ("1235", metric.FormatSmall(1234.6, true));
  EXPECT_EQ(Text(8017), metric.GetLargeUnitName());
  EXPECT_EQ(Text(8015), metric.GetSmallUnitName());
}

TEST(UnitConverter, ElevationAndDepthTables) {
  const auto& feet = mat::ElevationUnitsEntry(mat::ElevationUnits_t::Feet);
  EXPECT_EQ("0 " + Text(8014), feet.Format(0, true));  // 0 is not above the threshold 0
  EXPECT_EQ("3 " + Text(8014), feet.Format(1, true));
  EXPECT_EQ("2 " + Text(8015), mat::ElevationUnitsEntry(mat::ElevationUnits_t::Metres).Format(2, false));
  const auto& depths = mat::GetDepthUnitTable();
  EXPECT_EQ("10 " + Text(8016), depths.Find(mat::DepthUnits_t::Fathoms).Format(18.288, true));
  EXPECT_EQ("60 " + Text(8014), depths.Find(mat::DepthUnits_t::Feet).Format(18.288, true));
  EXPECT_EQ("18.3 " + Text(8015), depths.Find(mat::DepthUnits_t::Metres).Format(18.288, true));
  EXPECT_DOUBLE_EQ(3.048, feet.Convert("10"));
  EXPECT_DOUBLE_EQ(18.288, depths.Find(mat::DepthUnits_t::Fathoms).Convert(" 10"));

  EXPECT_THROW(mat::DistanceUnitsEntry(static_cast<DistUnitsTypes_t>(3)), glo::Assert_t);
  EXPECT_THROW(mat::ElevationUnitsEntry(static_cast<mat::ElevationUnits_t>(2)), glo::Assert_t);
  EXPECT_THROW(depths.Find(static_cast<mat::DepthUnits_t>(-1)), glo::Assert_t);
}

TEST(UnitConverter, CopiesOwnTheirConversion) {
  auto* original = new mat::UnitConverter_t(mat::DistanceUnitsEntry(DistUnitsTypes_t::Metric));
  const mat::UnitConverter_t copy(*original);
  EXPECT_NE(&original->Conversion(), &copy.Conversion());
  delete original;
  EXPECT_DOUBLE_EQ(2.5, copy.Conversion().BaseToLarge(2500));
}

TEST(ParseNumber, WholeTextMustBeOneNumber) {
  EXPECT_DOUBLE_EQ(12.5, mat::ParseNumber("12.5"));
  EXPECT_DOUBLE_EQ(12.5, mat::ParseNumber("   12.5"));
  EXPECT_DOUBLE_EQ(-3e2, mat::ParseNumber("-3e2"));
  const struct {
    const char* text;
    unsigned id;
  } bad[] = {{"12.5 ", 8009}, {"12.5m", 8009}, {"1,5", 8009}, {"", 8008}, {"abc", 8008}, {"   ", 8008}};
  for (const auto& c : bad) {
    try {
      mat::ParseNumber(c.text);
      ADD_FAILURE() << c.text;
    } catch (const glo::InvalidInput_t& e) {
      EXPECT_EQ(Text(c.id), e.Text()) << c.text;
      EXPECT_EQ("", e.Message());
    }
  }
}

TEST(UnitNames, SystemsMatchExactlyDepthsByTable) {
  EXPECT_EQ(DistUnitsTypes_t::Statute, mat::DistUnitsFromName("Statute"));
  EXPECT_EQ(DistUnitsTypes_t::Metric, mat::DistUnitsFromName("Metric"));
  EXPECT_EQ(DistUnitsTypes_t::Nautical, mat::DistUnitsFromName("Nautical"));
  EXPECT_THROW(mat::DistUnitsFromName("metric"), mat::DistUnitsNameNotFound_t);
  EXPECT_THROW(mat::DistUnitsFromName("Metric "), glo::OutOfRange_t);

  EXPECT_EQ(Text(8002), mat::DepthUnitsName(mat::DepthUnits_t::Fathoms));
  EXPECT_THROW(mat::DepthUnitsName(static_cast<mat::DepthUnits_t>(3)), glo::Assert_t);
  const unsigned longIds[] = {8000, 8003, 8001, 8004, 8002};
  for (unsigned char code = 0; code < 5; ++code) EXPECT_EQ(Text(longIds[code]), mat::DepthUnitsLongName(code));
  EXPECT_THROW(mat::DepthUnitsLongName(5), glo::Assert_t);
}

}  // namespace
