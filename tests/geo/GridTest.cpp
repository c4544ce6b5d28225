#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geo/GEO_Grids.h"
#include "glo/GLO_StringResource.h"
#include "tests/geo/GridTestSupport.h"

namespace {

using gridtest::Degrees;
using gridtest::Format;
using gridtest::Parse;
using gridtest::Point;
using gridtest::Wgs84;

TEST(Grids, BuiltInObjectsAndTheirTypeIds) {
  const geo::LatLonDegMins_t degMins;
  const struct {
    const geo::Grid_t* grid;
    int id;
  } grids[] = {
      {&geo::BritNationalGrid, 0},   {&geo::GaussKruegerGrid, 1},   {&geo::IndiaZone0Grid, 2},
      {&geo::IndiaZoneIAGrid, 3},    {&geo::IndiaZoneIBGrid, 4},    {&geo::IndiaZoneIIAGrid, 5},
      {&geo::IndiaZoneIIBGrid, 6},   {&geo::IndiaZoneIIIAGrid, 7},  {&geo::IndiaZoneIIIBGrid, 8},
      {&geo::IndiaZoneIVAGrid, 9},   {&geo::IndiaZoneIVBGrid, 10},  {&geo::IndonesianGrid, 11},
      {&geo::NewGuineaGrid, 12},     {&geo::JavaGrid, 13},          {&geo::IrishGrid, 14},
      {&geo::LatLonDegreesGrid, 15}, {&degMins, 16},                {&geo::LatLonDMSGrid, 17},
      {&geo::MaidenheadGrid, 18},    {&geo::MgrsGrid, 19},          {&geo::NewZealandGrid, 20},
      {&geo::SwedishGrid, 21},       {&geo::SwissGrid, 22},         {&geo::TaiwanGrid, 23},
      {&geo::UpsGrid, 24},           {&geo::UtmGrid, 25},           {&geo::WestMalaysianGrid, 26},
      {&geo::DutchGrid, 28},         {&geo::FinnishGrid, 29},       {&geo::QatarGrid, 30},
      {&geo::SouthAfricanGrid, 32},  {&geo::HungarianGrid, 33},     {&geo::SwedishGrid2, 34},
  };
  for (const auto& g : grids) EXPECT_EQ(g.grid->GetTypeId(), g.id);
}

TEST(LatLonGrids, AngleTexts) {
  const geo::LatLonDegMins_t degMins;
  const struct {
    const geo::LatLon_t* grid;
    double degrees;
    const char* text;
  } cases[] = {
      {&degMins, 0.0, "0 00.000"},
      {&degMins, 179.99999999, "180 00.000"},
      {&degMins, 38.5, "38 30.000"},
      {&degMins, 37.9999999, "38 00.000"},
      {&degMins, -38.085383, "38 05.123"},
      {&degMins, 5.9999, "5 59.994"},
      {&geo::LatLonDMSGrid, 38.5, "38 30 00.0"},
      {&geo::LatLonDMSGrid, 38.08536, "38 05 07.3"},
      {&geo::LatLonDMSGrid, -0.99999999, "1 00 00.0"},
      {&geo::LatLonDegreesGrid, 38.5, "38.50000"},
      {&geo::LatLonDegreesGrid, -122.456789, "122.45679"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.grid->FormatAngle(c.degrees), c.text) << c.degrees;
}

TEST(LatLonGrids, QuadrantTemplates) {
  const geo::LatLonDegMins_t degMins;
  EXPECT_EQ(Format(degMins, 0.0, 10.0), "S0 00.000 E10 00.000");
  EXPECT_EQ(Format(degMins, 10.0, 0.0), "N10 00.000 W0 00.000");
  EXPECT_EQ(Format(degMins, 38.5, -122.25), "N38 30.000 W122 15.000");
  EXPECT_EQ(Format(degMins, -33.5, 151.25), "S33 30.000 E151 15.000");
  EXPECT_EQ(Format(geo::LatLonDMSGrid, 38.5, 10.0), "N38 30 00.0 E10 00 00.0");
  const geo::GridText_t withAltitude = degMins.Format(geo::Position_t(0, 0, 12.5), Wgs84());
  ASSERT_TRUE(withAltitude.altitude.IsPresent());
  EXPECT_EQ(*withAltitude.altitude, 12.5);
}

TEST(LatLonGrids, ParseInEitherOrder) {
  const geo::LatLonDegMins_t degMins;
  const struct {
    const char* text;
    double latitude;
    double longitude;
  } cases[] = {
      {"N38 30.5 W122 15", 38.508333, -122.25},
      {"W122 15 N38 30.5", 38.508333, -122.25},
      {"  S33 52 10.5 E151 12 30", -33.869583, 151.208333},
      {"N10 E180", 10.0, -180.0},
      {"S90 W180", -90.0, -180.0},
      {"N0.5 E.5", 0.5, 0.5},
  };
  for (const auto& c : cases) {
    const geo::Position_t p = Parse(degMins, c.text);
    EXPECT_NEAR(Degrees(p.GetLatitude()), c.latitude, 1e-6) << c.text;
    EXPECT_NEAR(Degrees(p.GetLongitude()), c.longitude, 1e-6) << c.text;
    EXPECT_FALSE(p.GetAltitude().IsPresent());
  }
  // Each kind reads what the others write.
  const geo::Position_t p = Point(-41.2865, 174.7762);
  for (const geo::Grid_t* grid : {static_cast<const geo::Grid_t*>(&degMins), static_cast<const geo::Grid_t*>(&geo::LatLonDMSGrid),
                                  static_cast<const geo::Grid_t*>(&geo::LatLonDegreesGrid)})
    EXPECT_LT(gridtest::Metres(Parse(degMins, grid->Format(p, Wgs84()).text), p), 2.0);
}

TEST(Grids, ParseErrors) {
  const geo::LatLonDegMins_t degMins;
  gridtest::ExpectParseErrors({
      {&degMins, "N38 30", 5261, nullptr},
      {&degMins, "E10 W20", 5260, nullptr},
      {&degMins, "N10 S20", 5261, nullptr},
      {&degMins, "W10", 5260, nullptr},
      {&degMins, "N10 E20 N5", 5262, nullptr},
      {&degMins, "N10 E20 x", 5266, nullptr},
      {&degMins, "N91 E10", 5264, nullptr},
      {&degMins, "N10 E180.1", 5263, nullptr},
      {&degMins, "N91 E181", 5263, nullptr},
      {&degMins, "N38 3a E1", 5266, nullptr},
      {&degMins, "N38.5.1 E1", 5266, nullptr},
      {&degMins, "N38.5 30 E1", 5262, nullptr},
      {&degMins, "N1 2 3 4 E1", 5262, nullptr},
      {&degMins, "N-5 E1", 5266, nullptr},
      {&degMins, "N. E1", 5266, nullptr},
      {&degMins, "N E10", 5265, nullptr},
      {&degMins, "", 5285, nullptr},
      {&degMins, "   ", 5285, nullptr},
      {&degMins, "n10 e10", 5285, nullptr},
      {&degMins, "10 E10", 5285, nullptr},
      {&geo::SwissGrid, "x 1", 5249, nullptr},
      {&geo::SwissGrid, "-5 100", 5250, nullptr},
      {&geo::SwissGrid, "5", 5251, nullptr},
      {&geo::SwissGrid, "5 -1", 5252, nullptr},
      {&geo::BritNationalGrid, "", 5247, nullptr},
      {&geo::BritNationalGrid, "SUX 1 1", 5248, nullptr},
      {&geo::BritNationalGrid, "AU 1 1", 5284, nullptr},
      {&geo::BritNationalGrid, "su 1 1", 5284, nullptr},
      {&geo::BritNationalGrid, "SU x", 5249, nullptr},
      {&geo::BritNationalGrid, "SU -1 1", 5250, nullptr},
      {&geo::BritNationalGrid, "SU 1", 5251, nullptr},
      {&geo::BritNationalGrid, "SU 1 -1", 5252, nullptr},
      {&geo::BritNationalGrid, "SU 100000 1", 5253, nullptr},
      {&geo::BritNationalGrid, "SU 1 100000", 5254, nullptr},
      {&geo::BritNationalGrid, "SI 1 1", 5256, nullptr},
      {&geo::IrishGrid, "AO 1 1", 5258, nullptr},
      {&geo::IrishGrid, "I 1 1", 5248, nullptr},
      {&geo::IrishGrid, "IO 100000 1", 5253, nullptr},
      {&geo::IrishGrid, "IO 1 100000", 5254, nullptr},
      {&geo::IrishGrid, "II 1 1", 5256, nullptr},
      {&geo::GaussKruegerGrid, "x 1 1", 5247, nullptr},
      {&geo::GaussKruegerGrid, "6 1 1", 5257, nullptr},
      {&geo::GaussKruegerGrid, "-1 1 1", 5257, nullptr},
      {&geo::SouthAfricanGrid, "x", 5247, nullptr},
      {&geo::SouthAfricanGrid, "35 Y1 X1", 5366, nullptr},
      {&geo::SouthAfricanGrid, "29", 5249, nullptr},
      {&geo::SouthAfricanGrid, "29 1 X1", 5369, nullptr},
      {&geo::SouthAfricanGrid, "29 Y", 5249, nullptr},
      {&geo::SouthAfricanGrid, "29 Y1000000 X1", 5367, nullptr},
      {&geo::SouthAfricanGrid, "29 Y1", 5251, nullptr},
      {&geo::SouthAfricanGrid, "29 Y1 1", 5370, nullptr},
      {&geo::SouthAfricanGrid, "29 y1 xz", 5251, nullptr},
      {&geo::SouthAfricanGrid, "29 Y1 X-1", 5252, nullptr},
      {&geo::SouthAfricanGrid, "29 Y1 X10000000", 5368, nullptr},
      {&geo::UtmGrid, "x", 5268, nullptr},
      {&geo::UtmGrid, "61 N 1 1", 5302, nullptr},
      {&geo::UtmGrid, "0 N 1 1", 5302, nullptr},
      {&geo::UtmGrid, "31", 5270, nullptr},
      {&geo::UtmGrid, "31 NN 1 1", 5303, nullptr},
      {&geo::UtmGrid, "31 B 1 1", 5304, nullptr},
      {&geo::UtmGrid, "31 N x", 5249, nullptr},
      {&geo::UtmGrid, "31 N 1 -1", 5252, nullptr},
      {&geo::UpsGrid, "", 5247, nullptr},
      {&geo::UpsGrid, "ZZ 1 1", 5282, nullptr},
      {&geo::UpsGrid, "N 1 1", 5298, nullptr},
      {&geo::UpsGrid, "1 2000000 2000000", 5298, nullptr},
      {&geo::UpsGrid, "[ 2000000 2000000", 5298, nullptr},
      {&geo::UpsGrid, "Z x", 5249, nullptr},
      {&geo::UpsGrid, "Z 1 -1", 5252, nullptr},
      {&geo::MgrsGrid, "61UXP", 5269, nullptr},
      {&geo::MgrsGrid, "0UXP", 5269, nullptr},
      {&geo::MgrsGrid, "UXP0000000000", 5268, nullptr},
      {&geo::MgrsGrid, "33", 5270, nullptr},
      {&geo::MgrsGrid, "33@XP", 5271, nullptr},
      {&geo::MgrsGrid, "33U", 5272, nullptr},
      {&geo::MgrsGrid, "33UX", 5272, nullptr},
      {&geo::MgrsGrid, "33U1P", 5273, nullptr},
      {&geo::MgrsGrid, "33UXP451", 5275, nullptr},
      {&geo::MgrsGrid, "33UXP45x1", 5277, nullptr},
      {&geo::MgrsGrid, "33UIP00", 5306, "I"},
      {&geo::MgrsGrid, "33OXP00", 5306, "O"},
      {&geo::MgrsGrid, "ZDH00", 5276, "D"},
      {&geo::MgrsGrid, "bih00", 5276, "I"},
      {&geo::MaidenheadGrid, "JN58T", 5291, nullptr},
      {&geo::MaidenheadGrid, "jn58td", 5292, nullptr},
      {&geo::MaidenheadGrid, "JS58TD", 5293, nullptr},
      {&geo::MaidenheadGrid, "JNA8TD", 5294, nullptr},
      {&geo::MaidenheadGrid, "JN5ATD", 5295, nullptr},
      {&geo::MaidenheadGrid, "JN58YD", 5296, nullptr},
      {&geo::MaidenheadGrid, "JN58TY", 5297, nullptr},
      {&geo::WestMalaysianGrid, "", 5247, nullptr},
      {&geo::WestMalaysianGrid, "K 1 1", 5248, nullptr},
      {&geo::WestMalaysianGrid, "KN x", 5249, nullptr},
      {&geo::WestMalaysianGrid, "KN 1000000 1", 5308, nullptr},
      {&geo::WestMalaysianGrid, "KN 1 1000000", 5309, nullptr},
  });
}

TEST(Grids, PlainEastingNorthingIgnoresWhatFollows) {
  EXPECT_EQ(Parse(geo::SwissGrid, "600512 201234 extra"), Parse(geo::SwissGrid, "600512 201234"));
  EXPECT_EQ(Parse(geo::SwissGrid, " 600512\t201234"), Parse(geo::SwissGrid, "600512 201234"));
}

TEST(Grids, DatumShiftAndAltitude) {
  // A datum on the Airy ellipsoid with a translation of a few hundred metres.
  const geo::Datum_t airy(1, 6377563.396, 1.0 / 299.3249646, 375.0, -111.0, 431.0, true);
  const geo::Position_t p(gridtest::Semicircles(51.5), gridtest::Semicircles(-0.12), 100.0);
  for (const geo::Grid_t* grid : {static_cast<const geo::Grid_t*>(&geo::BritNationalGrid),
                                  static_cast<const geo::Grid_t*>(&geo::UtmGrid),
                                  static_cast<const geo::Grid_t*>(&geo::MaidenheadGrid),
                                  static_cast<const geo::Grid_t*>(&geo::LatLonDegreesGrid)}) {
    SCOPED_TRACE(grid->GetTypeId());
    const geo::GridText_t shifted = grid->Format(p, airy);
    ASSERT_TRUE(shifted.altitude.IsPresent());
    EXPECT_GT(std::fabs(*shifted.altitude - 100.0), 1.0);
    const geo::Position_t back = grid->Parse(shifted, airy);
    ASSERT_TRUE(back.GetAltitude().IsPresent());
    // The locator reads back the centre of its square, whose shift differs.
    if (grid != &geo::MaidenheadGrid) {
      EXPECT_NEAR(*back.GetAltitude(), 100.0, 0.01);
      EXPECT_NE(shifted.text, grid->Format(p, Wgs84()).text);
      EXPECT_LT(gridtest::Metres(back, p), 1.5);
    }
  }
}

TEST(Grids, Convergence) {
  const geo::LatLonDegMins_t degMins;
  const struct {
    const geo::Grid_t* grid;
    double latitude;
    double longitude;
    double degrees;
    double tolerance;
  } cases[] = {
      // Transverse Mercator references from an independent tool, which keeps
      // the second-eccentricity terms that the grids drop.
      {&geo::UtmGrid, 45.0, 0.0, -2.12230, 1e-3},
      {&geo::UtmGrid, 60.0, 10.0, 0.86605, 1e-3},
      {&geo::UtmGrid, -33.9, 18.4, 1.45083, 1e-3},
      {&geo::UtmGrid, 45.0, 3.0, 0.0, 1e-6},
      {&geo::MgrsGrid, 45.0, 0.0, -2.12230, 1e-3},
      {&geo::UpsGrid, 85.0, 30.0, 30.0, 1e-6},
      {&geo::UpsGrid, -85.0, 30.0, -30.0, 1e-6},
      {&geo::MgrsGrid, -85.0, 30.0, -30.0, 1e-6},
      {&degMins, 45.0, 30.0, 0.0, 0.0},
      {&geo::MaidenheadGrid, 45.0, 30.0, 0.0, 0.0},
      {&geo::IndonesianGrid, 0.0, 100.0, 0.0, 0.0},
      {&geo::IndiaZone0Grid, 30.0, 78.0, 10.0 * std::sin(39.5 / geo::DegreesPerRadian), 1e-6},
      {&geo::SwissGrid, 46.95240556, 7.43958333, 0.0, 1e-6},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(c.grid->GetConvergence(Point(c.latitude, c.longitude), Wgs84()), c.degrees, c.tolerance)
        << c.grid->GetTypeId() << " at " << c.latitude << ", " << c.longitude;
  EXPECT_THROW(geo::UtmGrid.GetConvergence(Point(85.0, 0.0), Wgs84()), glo::OutOfRange_t);
  EXPECT_THROW(geo::UpsGrid.GetConvergence(Point(45.0, 0.0), Wgs84()), glo::OutOfRange_t);
}

}  // namespace
