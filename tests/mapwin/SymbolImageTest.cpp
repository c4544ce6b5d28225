// Point symbols: the symbol table, lights, the recoloured marine variants,
// the measuring of images and the checking of image indexes.
#include <gtest/gtest.h>

#include "map/MAP_ImageList.h"
#include "plat/PLAT_Module.h"
#include "tests/common/TestResources.h"
#include "tests/mapwin/LabelTestUtil.h"

namespace {

using labeltest::Canvas;
using labeltest::Rgb;
using map::Pixel;

constexpr std::uint32_t kGrey = Pixel(128, 128, 128);

// A strip of 'count' grey 16-pixel images; image 88 and image 130 are
// painted in the template colours, in bands of two rows:
//   88: yellow, cyan, red, green, magenta, blue   130: blue, green, red.
map::PixelGrid_t MarineStrip(int count) {
  map::PixelGrid_t strip(16 * count, 16, kGrey);
  const std::uint32_t pattern[6] = {Pixel(255, 255, 0), Pixel(0, 255, 255), Pixel(255, 0, 0),
                                    Pixel(0, 255, 0),   Pixel(255, 0, 255), Pixel(0, 0, 255)};
  const std::uint32_t mark[3] = {Pixel(0, 0, 255), Pixel(0, 255, 0), Pixel(255, 0, 0)};
  for (int base : {83, 84, 85, 88, 89}) {
    if (base >= count) continue;
    for (int band = 0; band < 6; ++band)
      for (int y = 2 + 2 * band; y < 4 + 2 * band; ++y)
        for (int x = 2; x < 14; ++x) strip.At(16 * base + x, y) = pattern[band];
  }
  if (130 < count)
    for (int band = 0; band < 3; ++band)
      for (int y = 2 + 2 * band; y < 4 + 2 * band; ++y)
        for (int x = 2; x < 14; ++x) strip.At(16 * 130 + x, y) = mark[band];
  return strip;
}

class SymbolImageTest : public ::testing::Test {
 protected:
  void SetUp() override { labeltest::UseLabelSettings(); }
  // The colour that image 'index' leaves at (x, y) on white paper.
  static plat::COLORREF Drawn(const map::ImageList_t& list, int index, int x, int y) {
    Canvas c(16, 16);
    list.Draw(c.dc, index, 0, 0);
    return c.At(x, y);
  }
};

TEST_F(SymbolImageTest, SymbolTableRowsSubtypesAndDefaults) {
  struct Case { std::uint16_t type; std::uint8_t subtype; int image; };
  const Case cases[] = {
      {500, 0, 1},   {22, 23, 47},  {22, 5, 45},   {27, 22, 62},  {28, 0, 69},   {28, 4, 72},  {18, 0, 135},
      {47, 15, 79},  {47, 7, 76},   {258, 3, 88},  {258, 16, 83}, {258, 24, 97}, {259, 1, 0},  {260, 14, 136},
      {263, 9, 82},  {265, 3, 78},  {265, 9, 1},   {89, 4, 81},   {100, 14, 5},  {42, 0, 15},  {69, 0, 15}};
  for (const Case& c : cases)
    EXPECT_EQ(c.image, map::GetPointIconByType(c.type, c.subtype)) << c.type << "/" << int(c.subtype);
}

TEST_F(SymbolImageTest, LightsTakeTheirImageFromLinkAndLightCode) {
  map::ImageList_t list(MarineStrip(140), 16);
  map::SymbolPoint_t light;
  light.type = 257;
  light.attrClass = 7;
  const std::pair<std::uint8_t, int> codes[] = {{1, 115}, {2, 116}, {3, 117}, {4, 118}, {5, 119}, {9, 1}};
  for (const auto& [code, image] : codes) {
    light.lightCode = code;
    EXPECT_EQ(image, map::GetPointIconIndex(light, list)) << int(code);
  }
  light.link = 7;
  light.lightCode = 1;
  EXPECT_EQ(117, map::GetPointIconIndex(light, list));
  light.attrClass = 0;  // not a light: the table's row
  EXPECT_EQ(114, map::GetPointIconIndex(light, list));
}

TEST_F(SymbolImageTest, PatternVariantIsMadeOnceAndRecoloured) {
  map::ImageList_t list(MarineStrip(140), 16);
  map::SymbolPoint_t buoy;
  buoy.type = 258;
  buoy.attrClass = 8;
  buoy.subtype = 3;  // base 88
  buoy.code1 = 7;    // white, white, red, red
  buoy.code2 = 3;    // magenta white, blue black
  const int first = map::GetPointIconIndex(buoy, list);
  EXPECT_EQ(140, first);
  EXPECT_EQ(first, map::GetPointIconIndex(buoy, list));
  EXPECT_EQ(141, list.GetImageCount());
  const plat::COLORREF bands[6] = {labeltest::kWhite, labeltest::kWhite, Rgb(255, 0, 0),
                                   Rgb(255, 0, 0),    labeltest::kWhite, labeltest::kBlack};
  for (int band = 0; band < 6; ++band) EXPECT_EQ(bands[band], Drawn(list, first, 5, 2 + 2 * band)) << band;
  // Outside the painted part the grey stays transparent.
  EXPECT_EQ(labeltest::kWhite, Drawn(list, first, 0, 0));

  // Code 2 = 0 turns base 88 into 89; its grey topmark becomes transparent.
  buoy.code2 = 0;
  const int second = map::GetPointIconIndex(buoy, list);
  EXPECT_EQ(141, second);
  EXPECT_EQ(labeltest::kWhite, Drawn(list, second, 5, 11));
  Canvas c(16, 16, Rgb(10, 20, 30));
  list.Draw(c.dc, second, 0, 0);
  EXPECT_EQ(Rgb(10, 20, 30), c.At(5, 10));  // magenta -> grey -> transparent
}

TEST_F(SymbolImageTest, BasesThatMapToOneKeyShareAVariant) {
  map::ImageList_t list(MarineStrip(140), 16);
  map::SymbolPoint_t a;
  a.type = 258;
  a.attrClass = 8;
  a.subtype = 19;  // base 85
  a.code2 = 1;
  map::SymbolPoint_t b = a;
  b.subtype = 6;  // base 83
  EXPECT_EQ(map::GetPointIconIndex(a, list), map::GetPointIconIndex(b, list));
  EXPECT_EQ(141, list.GetImageCount());
  // Code 1 = 0: black body for base 83, white for the others.
  EXPECT_EQ(labeltest::kBlack, Drawn(list, map::GetPointIconIndex(b, list), 5, 2));
  a.subtype = 3;  // base 88
  EXPECT_EQ(labeltest::kWhite, Drawn(list, map::GetPointIconIndex(a, list), 5, 6));
}

TEST_F(SymbolImageTest, CheckerboardAlternatesRedAndYellow) {
  map::ImageList_t list(MarineStrip(140), 16);
  map::SymbolPoint_t buoy;
  buoy.type = 258;
  buoy.attrClass = 8;
  buoy.subtype = 3;
  buoy.code1 = 12;
  buoy.code2 = 2;
  const int index = map::GetPointIconIndex(buoy, list);
  EXPECT_EQ(Rgb(255, 0, 0), Drawn(list, index, 4, 2));
  EXPECT_EQ(Rgb(255, 255, 0), Drawn(list, index, 5, 2));
  EXPECT_EQ(Rgb(255, 255, 0), Drawn(list, index, 4, 3));
}

TEST_F(SymbolImageTest, MarkVariantsAndTheirExceptions) {
  map::ImageList_t list(MarineStrip(140), 16);
  map::SymbolPoint_t mark;
  mark.type = 260;
  mark.attrClass = 9;
  mark.subtype = 3;  // excluded: the table's image
  EXPECT_EQ(104, map::GetPointIconIndex(mark, list));
  EXPECT_EQ(140, list.GetImageCount());
  mark.attrClass = 0;
  mark.subtype = 10;  // base 130, code 0: blue black, green and red transparent
  const int index = map::GetPointIconIndex(mark, list);
  EXPECT_EQ(140, index);
  EXPECT_EQ(labeltest::kBlack, Drawn(list, index, 5, 2));
  EXPECT_EQ(labeltest::kWhite, Drawn(list, index, 5, 4));
  EXPECT_EQ(labeltest::kWhite, Drawn(list, index, 5, 6));
}

TEST_F(SymbolImageTest, IndexOutsideTheListHasNoVariantAndDrawsNothing) {
  // A strip too short for the marine images: no variant is made from past
  // its end, the point falls back to the table and nothing is drawn.
  map::ImageList_t list(MarineStrip(50), 16);
  map::SymbolPoint_t buoy;
  buoy.type = 258;
  buoy.attrClass = 8;
  buoy.subtype = 3;
  buoy.code2 = 1;
  EXPECT_FALSE(list.GetMarineSymbol(buoy).has_value());
  EXPECT_EQ(88, map::GetPointIconIndex(buoy, list));
  EXPECT_EQ(50, list.GetImageCount());
  for (int index : {-1, 50, 88}) {
    Canvas c(16, 16);
    EXPECT_FALSE(list.Draw(c.dc, index, 0, 0)) << index;
    EXPECT_EQ(plat::RECT({16, 16, -1, -1}), c.Painted(plat::RECT{0, 0, 16, 16})) << index;
    EXPECT_EQ(plat::SIZE({0, 0}), list.GetImageExtent(index));
  }
}

TEST_F(SymbolImageTest, VisibleSizeIsSymmetricAboutTheCentre) {
  map::PixelGrid_t strip(48, 16, kGrey);
  // Image 0 stays empty: full size. Image 1: rows 4-11, columns 0-12 (touching
  // the left edge, 3 empty columns at the right). Image 2: a 4 x 6 block
  // with 5 empty columns left, 7 right, 3 rows above and 7 below.
  for (int y = 4; y < 12; ++y)
    for (int x = 0; x < 13; ++x) strip.At(16 + x, y) = Pixel(0, 0, 0);
  for (int y = 3; y < 9; ++y)
    for (int x = 5; x < 9; ++x) strip.At(32 + x, y) = Pixel(0, 0, 0);
  map::ImageList_t list(strip, 16);
  EXPECT_EQ(plat::SIZE({16, 16}), list.GetImageExtent(0));
  EXPECT_EQ(plat::SIZE({16, 8}), list.GetImageExtent(1));
  EXPECT_EQ(plat::SIZE({6, 10}), list.GetImageExtent(2));
}

TEST_F(SymbolImageTest, PatternAndMarkColourRules) {
  using map::kGreyPixel;
  EXPECT_EQ(83, map::MakePatternKey(86, 0, 4).base);
  EXPECT_EQ(101, map::MakePatternKey(100, 0, 0).base);
  EXPECT_EQ(85, map::MakePatternKey(85, 0, 0).base);
  const auto c = map::PatternColors(17, 5, 88);
  EXPECT_EQ(Pixel(0, 255, 0), c[0]);
  EXPECT_EQ(Pixel(255, 0, 0), c[1]);
  EXPECT_EQ(Pixel(255, 255, 0), c[4]);
  EXPECT_EQ(Pixel(0, 0, 0), c[5]);
  EXPECT_EQ(Pixel(255, 255, 255), map::PatternColors(99, 9, 88)[0]);
  EXPECT_EQ(kGreyPixel, map::PatternColors(99, 9, 88)[4]);
  EXPECT_EQ((std::array<std::uint32_t, 3>{kGreyPixel, kGreyPixel, kGreyPixel}), map::MarkColors(2, 133));
  EXPECT_EQ((std::array<std::uint32_t, 3>{0, kGreyPixel, 0}), map::MarkColors(2, 130));
  EXPECT_EQ((std::array<std::uint32_t, 3>{0, 0, kGreyPixel}), map::MarkColors(5, 130));
}

TEST_F(SymbolImageTest, TheModulesStripsHoldEveryShieldAndSymbol) {
  test::UseTestResources();
  const plat::ModuleHandle module = plat::GetResourceHandle();
  map::ImageList_t shields(module, map::kShieldStripId, map::kShieldImageSize);
  map::ImageList_t symbols(module, map::kSymbolStripId, map::kSymbolImageSize);
  EXPECT_GE(shields.GetImageCount(), 8);
  EXPECT_GE(symbols.GetImageCount(), 137);
  // Image 0 is no symbol; every image the table names is painted.
  EXPECT_EQ(plat::RECT({16, 16, -1, -1}), [&] {
    Canvas c(16, 16);
    symbols.Draw(c.dc, 0, 0, 0);
    return c.Painted(plat::RECT{0, 0, 16, 16});
  }());
  for (int index : {1, 47, 88, 115, 119, 136}) {
    Canvas c(16, 16);
    EXPECT_TRUE(symbols.Draw(c.dc, index, 0, 0));
    EXPECT_LE(c.Painted(plat::RECT{0, 0, 16, 16}).left, 8) << index;
  }
  // A marine variant of the real strip: the buoy's yellow band turns red.
  map::SymbolPoint_t buoy;
  buoy.type = 258;
  buoy.attrClass = 8;
  buoy.subtype = 3;
  buoy.code1 = 1;
  buoy.code2 = 1;
  const int index = map::GetPointIconIndex(buoy, symbols);
  EXPECT_EQ(symbols.GetStripImageCount(), index);
  Canvas c(16, 16);
  symbols.Draw(c.dc, index, 0, 0);
  EXPECT_EQ(Rgb(255, 0, 0), c.At(6, 7));
}

}  // namespace
