#include <gtest/gtest.h>

#include <climits>
#include <cmath>
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

// Reference texts were computed once with independent geodesy tools (exact
// transverse Mercator and polar stereographic) from each grid's parameters on
// the WGS84 ellipsoid (the International ellipsoid for UPS); the grids use
// series, so numbers may differ by a metre. MGRS references are truncated to
// the metre, so their digits may differ by two.
TEST(UtmGrid, ReferencePoints) {
  gridtest::CheckCases(geo::UtmGrid, {
      {0.0, 0.0, "31 N 166021 0"},
      {45.0, 3.0, "31 T 500000 4982950"},
      {-33.9, 18.4, "34 H 259583 6245888"},
      {60.0, 4.0, "32 V 221289 6661953"},
      {75.0, 10.0, "33 X 355707 8329693"},
      {75.0, 8.9, "31 X 670193 8332079"},
      {83.9, -179.9, "1 X 465609 9317796"},
      {-79.9, 179.9, "60 C 556752 1128161"},
      {-0.001, 3.0, "31 M 500000 9999889"},
      {51.5, -0.12, "30 U 699890 5709362"},
      {35.7, 139.7, "54 S 382389 3951454"},
      {-45.0, -70.0, "19 G 421185 5016563"},
      {10.0, 5.999, "31 P 828819 1106908"},
      {10.0, -5.999, "30 P 171181 1106908"},
      {-23.5, -46.6, "23 K 336625 7400219"},
      {64.1, -21.9, "27 W 456138 7108467"},
      {71.9, 25.8, "35 W 458392 7978193"},
      {79.9, 33.5, "37 X 392479 8875509"},
      {56.0, 3.1, "32 V 132274 6221799"},
      {63.9, 8.5, "32 V 475457 7085967"},
      {-8.0001, 116.0, "50 L 389795 9115557"},
      {7.9999, -80.0, "17 N 610205 884421"},
  }, 1);
}

TEST(UpsGrid, ReferencePoints) {
  gridtest::CheckCases(geo::UpsGrid, {
      {84.0, 0.0, "Z 2000000 1333237"},
      {84.0, -90.0, "Y 1333237 2000000"},
      {84.0, 135.0, "Z 2471473 2471473"},
      {87.5, -45.0, "Y 1803695 1803695"},
      {89.999, 45.0, "Z 2000079 1999921"},
      {90.0, 0.0, "Z 2000000 2000000"},
      {85.0, -179.9, "Y 1999030 2555486"},
      {86.0, 179.9, "Z 2000775 2444292"},
      {-80.0, 0.0, "B 2000000 3113010"},
      {-80.0, 90.0, "B 3113010 2000000"},
      {-80.0, -120.0, "A 1036105 1443495"},
      {-85.0, -135.0, "A 1607211 1607211"},
      {-89.99, 10.0, "B 2000193 2001093"},
      {-90.0, 0.0, "B 2000000 2000000"},
      {-82.0, 179.9, "B 2001553 1110376"},
      {-83.0, -179.9, "A 1998642 1221864"},
  }, 1);
}

TEST(MgrsGrid, ReferencePointsAndEveryBandEdge) {
  // Zones and bands, then each band just inside its south and north edges at
  // two zone edges and a central meridian.
  gridtest::CheckCases(geo::MgrsGrid, {
      {0.0, 0.0, "31NAA6602100000"},
      {45.0, 3.0, "31TEK0000082950"},
      {-33.9, 18.4, "34HBH5958345888"},
      {60.0, 4.0, "32VKM2128861953"},
      {75.0, 10.0, "33XUD5570629692"},
      {75.0, 8.9, "31XFD7019232079"},
      {83.9, -179.9, "1XDP6560917795"},
      {-79.9, 179.9, "60CWS5675228161"},
      {-0.001, 3.0, "31MEV0000099889"},
      {51.5, -0.12, "30UXC9988909362"},
      {35.7, 139.7, "54SUE8238851453"},
      {-45.0, -70.0, "19GDL2118416563"},
      {10.0, 5.999, "31PHM2881806907"},
      {10.0, -5.999, "30PSS7118106907"},
      {-23.5, -46.6, "23KLQ3662500218"},
      {64.1, -21.9, "27WVM5613708467"},
      {71.9, 25.8, "35WMV5839178192"},
      {79.9, 33.5, "37XCJ9247875509"},
      {56.0, 3.1, "32VJH3227421798"},
      {63.9, 8.5, "32VMR7545685967"},
      {-8.0001, 116.0, "50LLS8979515557"},
      {7.9999, -80.0, "17NPJ1020484420"},
      {-79.9999, -5.9999, "30CVS4186916926"},
      {-79.9999, 15.0, "33CWM0000018425"},
      {-79.9999, 95.9999, "46CES5813016926"},
      {-72.0001, -5.9999, "30CUF9657008480"},
      {-72.0001, 15.0, "33CWA0000011056"},
      {-72.0001, 95.9999, "46CFF0342908480"},
      {-71.9999, -5.9999, "30DUF9656908502"},
      {-71.9999, 15.0, "33DWA0000011078"},
      {-71.9999, 95.9999, "46DFF0343008502"},
      {-64.0001, -5.9999, "30DUP5331099522"},
      {-64.0001, 15.0, "33DWK0000002974"},
      {-64.0001, 95.9999, "46DFP4668999522"},
      {-63.9999, -5.9999, "30EUP5330999544"},
      {-63.9999, 15.0, "33EWK0000002996"},
      {-63.9999, 95.9999, "46EFP4669099544"},
      {-56.0001, -5.9999, "30EUC1293589847"},
      {-56.0001, 15.0, "33EWT0000093909"},
      {-56.0001, 95.9999, "46EFC8706489847"},
      {-55.9999, -5.9999, "30FUC1293489870"},
      {-55.9999, 15.0, "33FWT0000093931"},
      {-55.9999, 95.9999, "46FFC8706589870"},
      {-48.0001, -5.9999, "30FTM7623179333"},
      {-48.0001, 15.0, "33FWG0000083688"},
      {-48.0001, 95.9999, "46FGM2376879333"},
      {-47.9999, -5.9999, "30GTM7623179355"},
      {-47.9999, 15.0, "33GWG0000083710"},
      {-47.9999, 95.9999, "46GGM2376879355"},
      {-40.0001, -5.9999, "30GTA4390967920"},
      {-40.0001, 15.0, "33GWR0000072231"},
      {-40.0001, 95.9999, "46GGA5609067920"},
      {-39.9999, -5.9999, "30HTA4390867942"},
      {-39.9999, 15.0, "33HWR0000072253"},
      {-39.9999, 95.9999, "46HGA5609167942"},
      {-32.0001, -5.9999, "30HTK1658655619"},
      {-32.0001, 15.0, "33HWE0000059553"},
      {-32.0001, 95.9999, "46HGK8341355619"},
      {-31.9999, -5.9999, "30JTK1658555641"},
      {-31.9999, 15.0, "33JWE0000059575"},
      {-31.9999, 95.9999, "46JGK8341455641"},
      {-24.0001, -5.9999, "30JSU9478342510"},
      {-24.0001, 15.0, "33JWP0000045762"},
      {-24.0001, 95.9999, "46JHU0521642510"},
      {-23.9999, -5.9999, "30KSU9478242532"},
      {-23.9999, 15.0, "33KWP0000045784"},
      {-23.9999, 95.9999, "46KHU0521742532"},
      {-16.0001, -5.9999, "30KSH7891028735"},
      {-16.0001, 15.0, "33KWC0000031053"},
      {-16.0001, 95.9999, "46KHH2108928735"},
      {-15.9999, -5.9999, "30LSH7891028757"},
      {-15.9999, 15.0, "33LWC0000031075"},
      {-15.9999, 95.9999, "46LHH2108928757"},
      {-8.0001, -5.9999, "30LSS6926714485"},
      {-8.0001, 15.0, "33LWM0000015691"},
      {-8.0001, 95.9999, "46LHS3073214485"},
      {-7.9999, -5.9999, "30MSS6926714507"},
      {-7.9999, 15.0, "33MWM0000015713"},
      {-7.9999, 95.9999, "46MHS3073214507"},
      {-0.0001, -5.9999, "30MSE6603299988"},
      {-0.0001, 15.0, "33MWV0000099988"},
      {-0.0001, 95.9999, "46MHE3396799988"},
      {0.0001, -5.9999, "30NSF6603200011"},
      {0.0001, 15.0, "33NWA0000000011"},
      {0.0001, 95.9999, "46NHF3396700011"},
      {7.9999, -5.9999, "30NSP6926785492"},
      {7.9999, 15.0, "33NWJ0000084286"},
      {7.9999, 95.9999, "46NHP3073285492"},
      {8.0001, -5.9999, "30PSP6926785514"},
      {8.0001, 15.0, "33PWJ0000084308"},
      {8.0001, 95.9999, "46PHP3073285514"},
      {15.9999, -5.9999, "30PSC7891071242"},
      {15.9999, 15.0, "33PWT0000068924"},
      {15.9999, 95.9999, "46PHC2108971242"},
      {16.0001, -5.9999, "30QSC7891071264"},
      {16.0001, 15.0, "33QWT0000068946"},
      {16.0001, 95.9999, "46QHC2108971264"},
      {23.9999, -5.9999, "30QSM9478257467"},
      {23.9999, 15.0, "33QWG0000054215"},
      {23.9999, 95.9999, "46QHM0521757467"},
      {24.0001, -5.9999, "30RSM9478357489"},
      {24.0001, 15.0, "33RWG0000054237"},
      {24.0001, 95.9999, "46RHM0521657489"},
      {31.9999, -5.9999, "30RTA1658544358"},
      {31.9999, 15.0, "33RWR0000040424"},
      {31.9999, 95.9999, "46RGA8341444358"},
      {32.0001, -5.9999, "30STA1658644380"},
      {32.0001, 15.0, "33SWR0000040446"},
      {32.0001, 95.9999, "46SGA8341344380"},
      {39.9999, -5.9999, "30STK4390832057"},
      {39.9999, 15.0, "33SWE0000027746"},
      {39.9999, 95.9999, "46SGK5609132057"},
      {40.0001, -5.9999, "30TTK4390932079"},
      {40.0001, 15.0, "33TWE0000027768"},
      {40.0001, 95.9999, "46TGK5609032079"},
      {47.9999, -5.9999, "30TTU7623120644"},
      {47.9999, 15.0, "33TWP0000016289"},
      {47.9999, 95.9999, "46TGU2376820644"},
      {48.0001, -5.9999, "30UTU7623120666"},
      {48.0001, 15.0, "33UWP0000016311"},
      {48.0001, 95.9999, "46UGU2376820666"},
      {55.9999, -5.9999, "30UUH1293410129"},
      {55.9999, 15.0, "33UWC0000006068"},
      {55.9999, 95.9999, "46UFH8706510129"},
      {56.0001, -5.9999, "30VUH1293510152"},
      {56.0001, 15.0, "33VWC0000006090"},
      {56.0001, 95.9999, "46VFH8706410152"},
      {63.9999, -5.9999, "30VUS5330900455"},
      {63.9999, 15.0, "33VWL0000097003"},
      {63.9999, 95.9999, "46VFS4669000455"},
      {64.0001, -5.9999, "30WUS5331000477"},
      {64.0001, 15.0, "33WWL0000097025"},
      {64.0001, 95.9999, "46WFS4668900477"},
      {71.9999, -5.9999, "30WUE9656991497"},
      {71.9999, 15.0, "33WWV0000088921"},
      {71.9999, 95.9999, "46WFE0343091497"},
      {72.0001, -5.9999, "30XUE9657091519"},
      {72.0001, 15.0, "33XWV0000088943"},
      {72.0001, 95.9999, "46XFE0342991519"},
      {83.9999, -5.9999, "30XVU6500528993"},
      {83.9999, 15.0, "33XWP0000028082"},
      {83.9999, 95.9999, "46XEU3499428993"},
  }, 2);
}

TEST(MgrsGrid, PolarReferencePoints) {
  gridtest::CheckCases(geo::MgrsGrid, {
      {84.0, 0.0, "ZAA0000033237"},
      {84.0, -90.0, "YRH3323700000"},
      {84.0, 135.0, "ZGM7147371473"},
      {87.5, -45.0, "YYF0369503695"},
      {89.999, 45.0, "ZAG0007999921"},
      {90.0, 0.0, "ZAH0000000000"},
      {85.0, -179.9, "YZN9903055486"},
      {86.0, 179.9, "ZAM0077544292"},
      {-80.0, 0.0, "BAZ0000013010"},
      {-80.0, 90.0, "BRN1301000000"},
      {-80.0, -120.0, "ALG3610543495"},
      {-85.0, -135.0, "AUJ0721107211"},
      {-89.99, 10.0, "BAN0019301093"},
      {-90.0, 0.0, "BAN0000000000"},
      {-82.0, 179.9, "BAD0155310376"},
      {-83.0, -179.9, "AZE9864221864"},
  }, 1);
}

// Other programs write the polar bands with a zone of "0"; the text reads as
// without it, and formatting still leaves the zone out.
TEST(MgrsGrid, PolarTextsWithZoneZero) {
  for (const char* text : {"ZAH0000000000", "YRH3323700000", "BAN0019301093", "AZE9864221864"}) {
    SCOPED_TRACE(text);
    const geo::Position_t plain = gridtest::Parse(geo::MgrsGrid, text);
    const geo::Position_t zoned = gridtest::Parse(geo::MgrsGrid, std::string("0") + text);
    EXPECT_EQ(plain.GetLatitude(), zoned.GetLatitude());
    EXPECT_EQ(plain.GetLongitude(), zoned.GetLongitude());
    const std::string formatted = geo::MgrsGrid.Format(zoned, gridtest::Wgs84()).text;
    EXPECT_EQ(formatted, geo::MgrsGrid.Format(plain, gridtest::Wgs84()).text);
    EXPECT_NE(formatted[0], '0');
  }
}

TEST(BritishAndIrishGrids, ReferencePoints) {
  gridtest::CheckCases(geo::BritNationalGrid, {
      {50.5, -4.0, "SX 58163 69079"},
      {51.5, -0.12, "TQ 30491 80048"},
      {55.95, -3.19, "NT 25688 74098"},
      {58.5, -6.3, "NB 49490 65344"},
      {60.15, -1.15, "HU 47195 41365"},
      {49.95, -5.2, "SW 70448 10924"},
      {52.6, 1.7, "TG 50552 07149"},
  }, 1);
  gridtest::CheckCases(geo::IrishGrid, {
      {53.35, -6.26, "IO 15871 35368"},
      {52.0, -9.5, "IV 96982 84786"},
      {55.2, -7.0, "IC 63677 40344"},
      {51.6, -8.7, "IW 51497 39448"},
      {54.6, -5.9, "IJ 35716 75120"},
  }, 1);
}

TEST(GaussKruegerAndSouthAfricanGrids, ReferencePoints) {
  gridtest::CheckCases(geo::GaussKruegerGrid, {
      {50.0, 7.0, "2 571695 5541326"},
      {52.5, 13.4, "4 595072 5819901"},
      {48.0, 1.0, "0 574625 5318912"},
      {47.0, 16.4, "5 606478 5208198"},
      {54.0, 4.4, "1 591803 5986823"},
      {51.0, 10.6, "4 401725 5653019"},
  }, 1);
  gridtest::CheckCases(geo::SouthAfricanGrid, {
      {-26.2, 28.04, "29 Y0095952 X2899347"},
      {-33.9, 18.4, "19 Y0055496 X3752731"},
      {-29.85, 31.0, "31 Y0000000 X3303486"},
      {-25.75, 28.5, "29 Y0050165 X2849233"},
      {-25.75, 28.0, "29 Y0100332 X2849518"},
      {-25.75, 27.99, "27 Y-099328 X2849511"},
      {-22.5, 14.3, "15 Y0072029 X2489336"},
      {-30.0, 33.9, "33 Y-086839 X3320454"},
  }, 1);
}

TEST(UserGrids, ReferencePoints) {
  gridtest::CheckCases(geo::SwedishGrid, {
      {59.33, 18.06, "1628162 6581597"},
      {67.85, 20.2, "1684727 7535714"},
      {55.6, 13.0, "1323004 6167608"},
  }, 1);
  gridtest::CheckCases(geo::TaiwanGrid, {
      {25.03, 121.56, "306513 2769217"},
      {22.0, 120.7, "219024 2433587"},
  }, 1);
  gridtest::CheckCases(geo::FinnishGrid, {
      {60.17, 24.94, "3385655 6674797"},
      {69.0, 27.5, "3520005 7657507"},
  }, 1);
  gridtest::CheckCases(geo::QatarGrid, {
      {25.29, 51.53, "231556 393048"},
      {24.6, 51.0, "178057 316596"},
  }, 1);
  gridtest::CheckCases(geo::SwedishGrid2, {
      {59.33, 18.06, "1628341 6580970"},
      {65.6, 22.15, "1792211 7292359"},
  }, 1);
}

TEST(UtmGrid, CentralMeridianAndBandLimits) {
  const geo::Ellipsoid_t wgs84{Wgs84().GetA(), Wgs84().GetF()};
  const double arc = geo::UtmGrid.MeridianArc(wgs84, 45.0 / geo::DegreesPerRadian);
  EXPECT_EQ(Format(geo::UtmGrid, 45.0, 3.0), "31 T 500000 " + std::to_string(geo::grid::Round(0.9996 * arc)));
  EXPECT_EQ(Format(geo::UtmGrid, -0.001, 3.0), "31 M 500000 9999889");
  EXPECT_EQ(Format(geo::UtmGrid, 0.0, 3.0), "31 N 500000 0");
  // South of the equator by less than half a metre: the northing rounds to 0
  // and is written with the southern false northing, so it reads back here.
  EXPECT_EQ(Format(geo::UtmGrid, -0.000001, 3.0), "31 M 500000 10000000");
  EXPECT_LT(gridtest::Metres(Parse(geo::UtmGrid, "31 M 500000 10000000"), Point(0.0, 3.0)), 0.5);
  for (double latitude : {84.0, -80.0}) {
    EXPECT_THROW(Format(geo::UtmGrid, latitude, 3.0), glo::OutOfRange_t) << latitude;
    EXPECT_NO_THROW(Format(geo::UpsGrid, latitude, 3.0)) << latitude;
  }
  EXPECT_THROW(Format(geo::UpsGrid, 83.99, 3.0), glo::OutOfRange_t);
  EXPECT_THROW(Format(geo::UpsGrid, -79.99, 3.0), glo::OutOfRange_t);
  // I lies between C and X and reads as a southern band (below N).
  EXPECT_EQ(Parse(geo::UtmGrid, "31 I 500000 9000000"), Parse(geo::UtmGrid, "31 M 500000 9000000"));
}

TEST(Grids, AbsurdGridValuesAreRefusedNotWrapped) {
  const struct {
    const geo::Grid_t* grid;
    const char* text;
  } cases[] = {
      {&geo::UtmGrid, "31 N 500000 40000000"},
      {&geo::UtmGrid, "31 N 500000 20000000"},
      {&geo::UtmGrid, "31 N 40000000 0"},
      {&geo::GaussKruegerGrid, "2 500000 30000000"},
      {&geo::SwedishGrid, "1500000 25000000"},
      {&geo::UpsGrid, "Z 2000000 40000000"},
      {&geo::UpsGrid, "A 90000000 2000000"},
  };
  for (const auto& c : cases) EXPECT_THROW(Parse(*c.grid, c.text), glo::OutOfRange_t) << c.text;
}

TEST(MgrsGrid, DigitsAndLetterCase) {
  const struct {
    const char* text;
    const char* same;
  } cases[] = {
      {"33UXP45", "33UXP4000050000"},
      {"33UXP12345678", "33UXP1234056780"},
      {"33UXP", "33UXP0000000000"},
      {"33 U XP 0451268020", "33UXP0451268020"},
      {"33uxp0451268020", "33UXP0451268020"},
      {"zah0000000000", "ZAH0000000000"},
      {"aZe9864221864", "AZE9864221864"},
      {"31ZAH0000000000", "ZAH0000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(geo::MgrsGrid, c.text), Parse(geo::MgrsGrid, c.same)) << c.text;
  EXPECT_EQ(Parse(geo::UpsGrid, "y 1999030 2555486"), Parse(geo::UpsGrid, "Y 1999030 2555486"));
}

TEST(MgrsGrid, RowOffsetOfOlderEllipsoids) {
  const struct {
    geo::Datum_t datum;
    int odd;
    int even;
  } cases[] = {
      {Wgs84(), 0, 5},
      {geo::Datum_t(69, 6378137.0, 0.0033528106647474805, 0, 0, 0, false), 10, 15},
      {geo::Datum_t(79, 6378137.0, 0.0033528106647474805, 0, 0, 0, false), 10, 15},
      {geo::Datum_t(80, 6378137.0, 0.0033528106647474805, 0, 0, 0, false), 0, 5},
      {geo::Datum_t(1, 6378249.145, 0.003407561378699334, 0, 0, 0, false), 10, 15},
      {geo::Datum_t(1, 6377397.155, 0.003342773182174806, 0, 0, 0, false), 10, 15},
      {geo::Datum_t(1, 6377483.865, 0.003342773182174806, 0, 0, 0, false), 10, 15},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(geo::Mgrs_t::GetRowOffset(c.datum, 31), c.odd) << c.datum.GetId();
    EXPECT_EQ(geo::Mgrs_t::GetRowOffset(c.datum, 32), c.even) << c.datum.GetId();
  }
  // Texts on such a datum read back to where they were written.
  const geo::Datum_t& clarke = cases[4].datum;
  for (double latitude : {-60.0, -5.0, 5.0, 45.0, 70.0}) {
    const geo::Position_t p = Point(latitude, 16.0);
    EXPECT_LT(gridtest::Metres(geo::MgrsGrid.Parse(geo::MgrsGrid.Format(p, clarke), clarke), p), 1.0) << latitude;
  }
}

TEST(PolarGrids, TheDateLineReadsBack) {
  for (double latitude : {85.0, 89.0, -81.0, -85.0}) {
    const geo::Position_t p(gridtest::Semicircles(latitude), INT32_MIN);
    for (const geo::Grid_t* grid : {static_cast<const geo::Grid_t*>(&geo::UpsGrid),
                                    static_cast<const geo::Grid_t*>(&geo::MgrsGrid)}) {
      const std::string text = grid->Format(p, Wgs84()).text;
      EXPECT_LT(gridtest::Metres(Parse(*grid, text), p), 1.0) << text;
    }
  }
}

TEST(BritishGrid, LastColumn) {
  // Walk east in steps of about 0.2 m from near the eastern edge of the grid:
  // the last text written is in the last column, the next step is outside.
  geo::Position_t p = Parse(geo::BritNationalGrid, "OZ 99980 50000");
  std::string last;
  for (int i = 0; i < 1000; ++i) {
    try {
      last = geo::BritNationalGrid.Format(p, Wgs84()).text;
    } catch (const glo::OutOfRange_t&) {
      break;
    }
    p = geo::Position_t(p.GetLatitude(), p.GetLongitude() + 37);
  }
  EXPECT_EQ(last.substr(0, 8), "OZ 99999");
}

TEST(TransverseMercatorGrids, PositionsOutsideTheirArea) {
  const struct {
    const geo::Grid_t* grid;
    double latitude;
    double longitude;
  } cases[] = {
      {&geo::BritNationalGrid, 40.0, -2.0},   {&geo::BritNationalGrid, 66.0, -2.0},
      {&geo::IrishGrid, 58.0, -8.0},          {&geo::GaussKruegerGrid, 50.0, 17.0},
      {&geo::GaussKruegerGrid, 50.0, -2.0},   {&geo::SouthAfricanGrid, -25.0, 13.9},
      {&geo::SouthAfricanGrid, -25.0, 34.1},  {&geo::SouthAfricanGrid, 1.0, 25.0},
      {&geo::UtmGrid, 84.5, 0.0},             {&geo::UtmGrid, -80.5, 0.0},
      {&geo::SwedishGrid, 10.0, -80.0},
  };
  for (const auto& c : cases)
    EXPECT_THROW(Format(*c.grid, c.latitude, c.longitude), glo::OutOfRange_t)
        << c.grid->GetTypeId() << " at " << c.latitude << ", " << c.longitude;
}

}  // namespace
