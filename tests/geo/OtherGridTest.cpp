#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "geo/GEO_Grids.h"
#include "tests/geo/GridTestSupport.h"

namespace {

using gridtest::Case;
using gridtest::Degrees;
using gridtest::Format;
using gridtest::Parse;
using gridtest::Point;
using gridtest::Wgs84;

// Reference texts were computed once with independent geodesy tools from each
// grid's own parameters on the WGS84 ellipsoid (the Dutch grid against the exact
// stereographic projection on the Bessel ellipsoid that its polynomials
// approximate, the New Zealand grid on its own ellipsoid).
TEST(LambertGrids, ReferencePoints) {
  const struct {
    const geo::Grid_t* grid;
    std::vector<Case> cases;
  } grids[] = {
      {&geo::IndiaZone0Grid, {
      {39.5, 68.0, "2153866 2368293"},
      {35.0, 74.0, "2701996 1887399"},
      {30.0, 66.0, "1958652 1313504"},
      }},
      {&geo::IndiaZoneIAGrid, {
      {32.5, 68.0, "2743196 914399"},
      {28.6, 77.2, "3642901 521068"},
      {35.0, 72.0, "3108169 1198291"},
      }},
      {&geo::IndiaZoneIBGrid, {
      {27.5, 88.6, "2604516 361027"},
      {30.0, 95.0, "3225318 648769"},
      }},
      {&geo::IndiaZoneIIAGrid, {
      {26.9, 75.8, "2921812 1015227"},
      {23.0, 72.6, "2599648 583124"},
      }},
      {&geo::IndiaZoneIIBGrid, {
      {22.57, 88.36, "2574443 535779"},
      {26.1, 91.7, "2913041 926569"},
      }},
      {&geo::IndiaZoneIIIAGrid, {
      {19.07, 72.88, "1994944 937276"},
      {17.4, 78.5, "2583944 738177"},
      }},
      {&geo::IndiaZoneIIIBGrid, {
      {16.8, 96.2, "2338351 675511"},
      {18.8, 98.98, "2635801 892599"},
      }},
      {&geo::IndiaZoneIVAGrid, {
      {13.08, 80.27, "2772448 1033752"},
      {8.5, 76.9, "2401663 529417"},
      }},
      {&geo::IndiaZoneIVBGrid, {
      {11.55, 104.92, "2843431 864847"},
      {10.8, 106.7, "3038171 783254"},
      }},
      {&geo::NewGuineaGrid, {
      {-9.44, 147.18, "2690300 839707"},
      {-6.0, 145.0, "2446277 1217797"},
      }},
      {&geo::JavaGrid, {
      {-6.2, 106.8, "195784 597661"},
      {-7.25, 112.75, "853630 481909"},
      }},
      {&geo::HungarianGrid, {
      {47.5, 19.04, "649439 239563"},
      {46.25, 20.15, "735022 101206"},
      {47.69, 17.63, "543599 261653"},
      {48.1, 20.78, "779042 307703"},
      }},
  };
  for (const auto& g : grids) gridtest::CheckCases(*g.grid, g.cases, 1);
}

TEST(MercatorAndPolynomialGrids, ReferencePoints) {
  gridtest::CheckCases(geo::IndonesianGrid, {
      {-6.2, 106.8, "3544846 215140"},
      {3.6, 98.7, "2645863 1297138"},
      {-2.5, 140.7, "7307256 624305"},

  }, 1);
  gridtest::CheckCases(geo::NewZealandGrid, {
      {-41.0, 173.0, "2510000 6023150"},
      {-36.85, 174.76, "2667368 6482220"},
      {-43.53, 172.63, "2480112 5742058"},
      {-46.4, 168.35, "2152320 5413164"},
  }, 1);
  gridtest::CheckCases(geo::DutchGrid, {
      {52.156160556, 5.387638889, "155000 463000"},
      {52.37, 4.89, "121113 486906"},
      {51.44, 5.47, "160726 383336"},
      {53.22, 6.57, "233964 582011"},
      {51.0, 3.8, "43570 335598"},
  }, 1);
}

TEST(ObliqueGrids, ReferencePoints) {
  gridtest::CheckCases(geo::SwissGrid, {
      {46.95240556, 7.43958333, "600000 200000"},
      {47.37, 8.54, "683113 247009"},
      {46.2, 6.15, "500461 117177"},
      {46.0, 8.95, "717011 95252"},
      {46.8, 10.3, "818315 187040"},
  }, 1);
}

// The West Malaysian constants belong to the Everest ellipsoid of its datum:
// its references are on that ellipsoid, through the grid's own conversions.
TEST(ObliqueGrids, WestMalaysianReferencePoints) {
  const geo::Ellipsoid_t everest{6377304.063, 1.0 / 300.8017};
  const Case cases[] = {
      {3.14, 101.69, "VK 410451 347474"},
      {5.41, 100.33, "QX 260400 598991"},
      {1.46, 103.76, "WR 640402 161444"},
      {6.0, 102.0, "QU 445561 663599"},
      {6.7, 100.2, "QN 246727 741688"},
      {1.3, 104.2, "WR 689349 143741"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string letters;
    int easting = 0;
    int northing = 0;
    geo::WestMalaysianGrid.LatLonToGrid(
        geo::RadPosition_t(geo::grid::ToRadians(c.latitude), geo::grid::ToRadians(c.longitude)), everest, letters,
        easting, northing);
    const std::string text = letters + ' ' + std::to_string(easting) + ' ' + std::to_string(northing);
    EXPECT_TRUE(gridtest::TextNear(text, c.text, 1)) << text;
    const geo::RadPosition_t back = geo::WestMalaysianGrid.GridToLatLon(everest, easting, northing);
    EXPECT_NEAR(geo::grid::ToDegrees(back.GetLatitude()), c.latitude, 1e-5);
    EXPECT_NEAR(geo::grid::ToDegrees(back.GetLongitude()), c.longitude, 1e-5);
  }
}

TEST(MaidenheadGrid, Locators) {
  const Case cases[] = {
      {48.1, 11.6, "JN58TC"},      {-90.0, -180.0, "AA00AA"},  {40.7128, -74.006, "FN20XR"},
      {-33.8688, 151.2093, "QF56OD"}, {51.4779, -0.0015, "IO91XL"}, {64.1466, -21.9426, "HP94AD"},
      {-54.8, -68.3, "FD55UE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(geo::MaidenheadGrid, c.latitude, c.longitude), c.text);
    // The parse gives the centre of the subsquare, 5 by 2.5 minutes.
    const geo::Position_t p = Parse(geo::MaidenheadGrid, c.text);
    EXPECT_LE(std::fabs(Degrees(p.GetLongitude()) - c.longitude), 2.5 / 60.0 + 1e-7) << c.text;
    EXPECT_LE(std::fabs(Degrees(p.GetLatitude()) - c.latitude), 1.25 / 60.0 + 1e-7) << c.text;
  }
  const geo::Position_t centre = Parse(geo::MaidenheadGrid, "JN58TD");
  EXPECT_NEAR(Degrees(centre.GetLongitude()), 11.625, 1e-7);
  EXPECT_NEAR(Degrees(centre.GetLatitude()), 48.1458333, 1e-7);
  EXPECT_EQ(Parse(geo::MaidenheadGrid, "JN58TDXX"), centre);
}

TEST(MaidenheadGrid, TheNorthPoleIsInTheLastSquare) {
  const std::string text = Format(geo::MaidenheadGrid, 90.0, 11.6);
  EXPECT_EQ(text, "JR59TX");
  EXPECT_NEAR(Degrees(Parse(geo::MaidenheadGrid, text).GetLatitude()), 90.0 - 1.25 / 60.0, 1e-7);
}

TEST(ObliqueGrids, SwissOriginAndWestMalaysianLetters) {
  EXPECT_EQ(Format(geo::SwissGrid, 46.95240556, 7.43958333), "600000 200000");
  const std::string text = Format(geo::WestMalaysianGrid, 3.14, 101.69);
  ASSERT_EQ(text.substr(0, 3), "VK ");
  EXPECT_EQ(Parse(geo::WestMalaysianGrid, "ZZ" + text.substr(2)), Parse(geo::WestMalaysianGrid, text));
  // An easting that reads but rounds to 1000000 when written.
  const geo::Position_t edge = Parse(geo::WestMalaysianGrid, "QU 999999.6 500000");
  EXPECT_THROW(geo::WestMalaysianGrid.Format(edge, Wgs84()), glo::OutOfRange_t);
}

TEST(HungarianGrid, EastingJustBelowZero) {
  const geo::Ellipsoid_t wgs84{Wgs84().GetA(), Wgs84().GetF()};
  int easting = -1;
  int northing = -1;
  geo::HungarianGrid.LatLonToGrid(geo::HungarianGrid.GridToLatLon(wgs84, -0.3, 200000.0), wgs84, easting, northing);
  EXPECT_EQ(easting, 0);
  EXPECT_EQ(northing, 200000);
  EXPECT_THROW(geo::HungarianGrid.LatLonToGrid(geo::HungarianGrid.GridToLatLon(wgs84, -0.6, 200000.0), wgs84, easting,
                                               northing),
               glo::OutOfRange_t);
}

TEST(Grids, PositionsOutsideTheirArea) {
  const struct {
    const geo::Grid_t* grid;
    double latitude;
    double longitude;
  } cases[] = {
      {&geo::NewZealandGrid, 0.0, 0.0},        {&geo::NewZealandGrid, 50.0, -100.0},
      {&geo::IndonesianGrid, -8.65, 115.2},    {&geo::IndonesianGrid, 0.0, 60.0},
      {&geo::DutchGrid, -30.0, 120.0},         {&geo::SwissGrid, 30.0, -40.0},
      {&geo::IndiaZone0Grid, -90.0, 68.0},     {&geo::IndiaZone0Grid, 10.0, 20.0},
      {&geo::HungarianGrid, 20.0, 19.0},       {&geo::WestMalaysianGrid, 20.0, 80.0},
  };
  for (const auto& c : cases)
    EXPECT_THROW(Format(*c.grid, c.latitude, c.longitude), glo::OutOfRange_t)
        << c.grid->GetTypeId() << " at " << c.latitude << ", " << c.longitude;
}

TEST(Grids, TextsWithoutAPlaceAreRefused) {
  const struct {
    const geo::Grid_t* grid;
    const char* text;
  } cases[] = {
      {&geo::IndiaZone0Grid, "2153866 20000000"},  // beyond the apex of the cone
      {&geo::SwissGrid, "600000 1000000000000"},   // the northing's exponential overflows
      {&geo::SwissGrid, "1000000000000 200000"},   // beyond a quarter turn of the cylinder
      {&geo::DutchGrid, "155000 9000000"},        // polynomials far outside their area
      {&geo::NewZealandGrid, "2510000 90000000"},
  };
  for (const auto& c : cases) EXPECT_THROW(Parse(*c.grid, c.text), glo::OutOfRange_t) << c.text;
}

}  // namespace
