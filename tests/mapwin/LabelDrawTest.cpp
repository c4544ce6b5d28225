// Label records and their drawing: fonts, rotated line labels, halos,
// shields, point values and the notice blocks.
#include <gtest/gtest.h>

#include "map/MAP_Label.h"
#include "tests/mapwin/LabelTestUtil.h"

namespace {

using labeltest::Canvas;
using labeltest::FakeSource;
using labeltest::kBlack;
using labeltest::kWhite;
using labeltest::Rgb;

constexpr plat::COLORREF kPaper = 0x00A0A0A0u;

// Eight shields of 27 pixels, image k filled with colour (10 k, 200, 30).
map::PixelGrid_t ShieldStrip() {
  map::PixelGrid_t strip(27 * 8, 27, map::Pixel(128, 128, 128));
  for (int k = 1; k < 8; ++k)
    for (int y = 0; y < 27; ++y)
      for (int x = 0; x < 27; ++x) strip.At(27 * k + x, y) = map::Pixel(10 * k, 200, 30);
  return strip;
}

class LabelDrawTest : public ::testing::Test {
 protected:
  void SetUp() override { labeltest::UseLabelSettings(); }
  FakeSource source;
};

TEST_F(LabelDrawTest, RotatedFontIndexNeverReadsUpsideDown) {
  struct Case { int angle; int index; };
  const Case cases[] = {{2000, 37}, {0, 30}, {900, 60}, {2700, 0}, {930, 1}, {1770, 29},
                        {1800, 30}, {2670, 59}, {3570, 29}, {450, 45}, {3150, 15}};
  for (const Case& c : cases) EXPECT_EQ(c.index, map::GetRotatedLabelFont(c.angle)) << c.angle;
  EXPECT_EQ(210, map::RotatedFontEscapement(37));
  EXPECT_EQ(2700, map::RotatedFontEscapement(0));
  EXPECT_EQ(900, map::RotatedFontEscapement(60));
}

TEST_F(LabelDrawTest, ShieldKindFromTheFirstCharacter) {
  const std::pair<const char*, int> cases[] = {{"", 1}, {"\x01" "I5", 2}, {"\x06" "A", 7}, {"\x07" "A", 1}, {"A\x01", 1}, {"\x03", 4}, {"1", 1}, {"100", 1}};
  for (const auto& [text, kind] : cases) {
    EXPECT_EQ(kind, map::GetShieldKind(text)) << text;
    EXPECT_EQ(kind >= 2, map::IsShieldText(text)) << text;
  }
}

TEST_F(LabelDrawTest, FontsAreMadeOnceFromTheSetting) {
  map::CreateLabelFonts();
  EXPECT_TRUE(map::LabelFontsCreated());
  plat::LOGFONTA before{};
  ASSERT_TRUE(plat::GetLogFont(map::GetLabelFont(map::LabelFont_t::X10).GetSafeHandle(), before));
  EXPECT_EQ(-17, before.lfHeight);  // 13 points at 96 dots per inch
  map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -20, 700, false});
  map::CreateLabelFonts();
  plat::LOGFONTA after{};
  ASSERT_TRUE(plat::GetLogFont(map::GetLabelFont(map::LabelFont_t::X10).GetSafeHandle(), after));
  EXPECT_EQ(before.lfHeight, after.lfHeight);
  EXPECT_EQ(before.lfWeight, after.lfWeight);
  // The notice font follows the setting.
  Canvas c(10, 10);
  plat::Font_t notice;
  ASSERT_TRUE(map::CreateNoticeFont(c.dc, notice));
  plat::LOGFONTA lf{};
  ASSERT_TRUE(plat::GetLogFont(notice.GetSafeHandle(), lf));
  EXPECT_EQ(700, lf.lfWeight);
  labeltest::UseLabelSettings();
}

TEST_F(LabelDrawTest, LineLabelAnglesAndBoxes) {
  Canvas c(400, 400);
  struct Case { plat::POINT a, b; int angle; bool upright; };
  const Case cases[] = {
      {{200, 100}, {200, 300}, 900, true},   // vertical
      {{100, 200}, {1100, 199}, 0, true},    // rises 1 over 1000
      {{300, 300}, {100, 100}, 2700 + 450, false},  // falls to the right after ordering
      {{100, 300}, {300, 100}, 450, false}};
  for (const Case& k : cases) {
    map::Label_t l;
    l.InitLineLabel(c.dc, 9, k.a, k.b, 50, "Main Street");
    EXPECT_EQ(k.angle, l.angle);
    EXPECT_EQ(k.upright, l.upright);
    EXPECT_EQ(k.upright ? 51u : 50u, l.priority);
    EXPECT_EQ(map::LabelFont_t::Rotated, l.font);
    // Canonical order: largest y, smallest x, smallest y, largest x.
    EXPECT_EQ(l.MaxY(), std::max({l.corners[0].y, l.corners[1].y, l.corners[2].y, l.corners[3].y}));
    EXPECT_EQ(l.MinX(), std::min({l.corners[0].x, l.corners[1].x, l.corners[2].x, l.corners[3].x}));
  }
  // Horizontal: the box spans w + 4 about the midpoint and h + 4 above it.
  map::Label_t l;
  l.InitLineLabel(c.dc, 9, plat::POINT{100, 200}, plat::POINT{300, 200}, 50, "Main Street");
  EXPECT_EQ(200, l.MaxY());
  // Rounding adds a half and truncates toward zero: the left edge lands one
  // pixel nearer the midpoint than the right edge.
  EXPECT_EQ(1, (l.MaxX() - 200) - (200 - l.MinX()));
  EXPECT_EQ(l.y, l.MinY() + 2);
}

TEST_F(LabelDrawTest, RotatedLineLabelDrawsInsideItsBox) {
  Canvas c(300, 300, kPaper);
  map::Label_t l;
  l.InitLineLabel(c.dc, 9, plat::POINT{60, 240}, plat::POINT{240, 60}, 50, "River Road");
  ASSERT_EQ(450, l.angle);
  l.Draw(c.dc, nullptr);
  const plat::RECT painted = c.Painted(plat::RECT{0, 0, 300, 300}, kPaper);
  ASSERT_LT(painted.left, painted.right);
  // Every painted pixel lies within the box's bounds (one pixel of halo).
  EXPECT_GE(painted.left, l.MinX() - 1);
  EXPECT_LE(painted.right, l.MaxX() + 1);
  EXPECT_GE(painted.top, l.MinY() - 1);
  EXPECT_LE(painted.bottom, l.MaxY() + 1);
  // The text rises: the painted box is about as tall as it is wide.
  EXPECT_GT(painted.bottom - painted.top, (painted.right - painted.left) / 2);
}

TEST_F(LabelDrawTest, PlainTextHasAOnePixelWhiteHalo) {
  Canvas c(200, 60, kPaper);
  source.Set(5, "Lake");
  map::Label_t l;
  l.InitAreaLabel(map::AreaLabelRecord_t{60, 5}, source, c.dc, plat::POINT{100, 30}, 120);
  EXPECT_EQ(map::LabelFont_t::X7, l.font);
  // The origin is the anchor less half the text; the box 2 pixels around it.
  EXPECT_EQ(l.x - 2, l.MinX());
  EXPECT_EQ(l.y - 2, l.MinY());
  EXPECT_EQ(100 - (l.MaxX() - 2 - l.x) / 2, l.x);
  l.Draw(c.dc, nullptr);
  // The same text drawn once, without a halo, for comparison: the halo
  // widens what is painted by exactly one pixel on every side.
  Canvas plain(200, 60, kPaper);
  plain.dc.SelectObject(map::GetLabelFont(l.font));
  plain.dc.SetTextColor(kBlack);
  plain.dc.TextOut(l.x, l.y, l.text);
  const plat::RECT ink = plain.Painted(plat::RECT{0, 0, 200, 60}, kPaper);
  const plat::RECT painted = c.Painted(plat::RECT{0, 0, 200, 60}, kPaper);
  ASSERT_LE(ink.left, ink.right);
  EXPECT_EQ(plat::RECT({ink.left - 1, ink.top - 1, ink.right + 1, ink.bottom + 1}), painted);
  EXPECT_EQ(kWhite, c.At(painted.left, [&] {
    for (int y = 0; y < 60; ++y)
      if (plain.At(ink.left, y) != kPaper) return y;
    return 0;
  }()));
}

TEST_F(LabelDrawTest, ShieldsWithImageFrameOrNothing) {
  map::ImageList_t shields(ShieldStrip(), 27);
  struct Case { const char* text; int kind; bool drawn; plat::COLORREF corner; };
  const Case cases[] = {
      {"\x01" "I5", 2, true, Rgb(20, 200, 30)},     // short: shield image 2
      {"\x02" "A1 extra", 3, true, Rgb(30, 200, 30)},  // cut at the blank: "A1"
      {"\x01" "ABCD", 2, false, kPaper},            // long kind 2: nothing at all
      {"\x02" "ABCD", 3, false, kPaper},
      {"\x03" "ABCD", 4, true, kPaper},             // long kind 4: a white box
      {"\x04" "ABCD", 5, true, Rgb(255, 0, 0)}};     // red frame, blue inside
  for (const Case& k : cases) {
    Canvas c(200, 80, kPaper);
    map::Label_t l;
    l.InitLineLabel(c.dc, 1, plat::POINT{60, 40}, plat::POINT{140, 40}, 50, k.text);
    EXPECT_EQ(k.kind, l.shieldKind) << k.text;
    EXPECT_EQ(100, l.x);
    EXPECT_EQ(40, l.y);
    l.Draw(c.dc, &shields);
    const plat::RECT painted = c.Painted(plat::RECT{0, 0, 200, 80}, kPaper);
    EXPECT_EQ(k.drawn, painted.left <= painted.right) << k.text;
    if (std::string(k.text).size() <= 4 + (k.kind == 3 ? 6 : 0) && k.drawn && k.kind <= 3) {
      EXPECT_EQ(k.corner, c.At(88, 28)) << k.text;  // (x - 12, y - 12)
      EXPECT_EQ(plat::RECT({87, 27, 113, 53}), painted) << k.text;
    }
  }
  // The long kind 4 shield: white inside a black frame, text above it.
  Canvas c(200, 80, kPaper);
  map::Label_t l;
  l.InitLineLabel(c.dc, 1, plat::POINT{60, 40}, plat::POINT{140, 40}, 50, "\x03" "ABCD");
  l.Draw(c.dc, &shields);
  const plat::SIZE box = map::GetLabelBoxSize(c.dc, "ABCD", 4);
  EXPECT_EQ(19, box.cy);
  const int left = 100 - box.cx / 2;
  EXPECT_EQ(kBlack, c.At(left, 40));
  EXPECT_EQ(kWhite, c.At(left + 1, 40 - 9 + 4));
  EXPECT_EQ(kPaper, c.At(left - 1, 40));
}

// Long shields of kinds 5 and 6: a rounded frame (corners cut by 3 x 3) in
// the outer colour, a rectangle in the inner colour across its middle.
TEST_F(LabelDrawTest, LongShieldsHaveRoundedFrames) {
  struct Case { const char* text; plat::COLORREF outer, inner; };
  const Case cases[] = {{"\x04" "ABCD", Rgb(255, 0, 0), Rgb(0, 0, 255)}, {"\x05" "ABCD", kBlack, kWhite}};
  for (const Case& k : cases) {
    Canvas c(200, 80, kPaper);
    map::Label_t l;
    l.InitLineLabel(c.dc, 1, plat::POINT{60, 40}, plat::POINT{140, 40}, 50, k.text);
    l.Draw(c.dc, nullptr);
    const plat::SIZE box = map::GetLabelBoxSize(c.dc, "ABCD", l.shieldKind);
    const int left = 100 - box.cx / 2, top = 40 - box.cy / 2, right = left + box.cx, bottom = top + box.cy;
    EXPECT_EQ(kPaper, c.At(left, top)) << k.text;            // the corner is cut
    EXPECT_EQ(kPaper, c.At(right - 1, bottom - 1)) << k.text;
    EXPECT_EQ(kBlack, c.At(left + 1, top)) << k.text;        // the frame's edge
    EXPECT_EQ(kBlack, c.At(left, top + 1)) << k.text;
    EXPECT_EQ(k.outer, c.At(left + 1, top + 1)) << k.text;   // above the inner rectangle
    EXPECT_EQ(k.outer, c.At(right - 2, bottom - 2)) << k.text;
    EXPECT_EQ(kBlack, c.At(left + 1, top + 3)) << k.text;    // the inner rectangle's frame
    EXPECT_EQ(k.inner, c.At(left + 1, top + 4)) << k.text;
    EXPECT_EQ(kPaper, c.At(right, top + 4)) << k.text;
  }
}

TEST_F(LabelDrawTest, PointLabelValuesAndPlacement) {
  Canvas c(200, 200);
  map::PointLabelRecord_t depth;
  depth.symbol.type = 300;
  depth.symbol.attrClass = 2;
  depth.value = 12;
  depth.unitCode = 2;  // metres
  map::Label_t l;
  l.InitPointLabel(depth, 0, source, c.dc, plat::POINT{100, 100}, 1);
  EXPECT_EQ("12", l.text);
  // Symbol 0: centred on the anchor.
  EXPECT_EQ(100 - (l.MaxX() - l.MinX() - 4) / 2, l.x);
  EXPECT_EQ(100 - (l.MaxY() - l.MinY() - 4) / 2, l.y);
  depth.value = 125;
  depth.unitCode = 3;  // tenths of a metre
  l.InitPointLabel(depth, 0, source, c.dc, plat::POINT{100, 100}, 1);
  EXPECT_EQ("12.5", l.text);
  map::GetRegistry().DepthUnits.Set(mat::DepthUnits_t::Feet);
  depth.value = 10;
  depth.unitCode = 2;
  l.InitPointLabel(depth, 0, source, c.dc, plat::POINT{100, 100}, 1);
  EXPECT_EQ("32.8", l.text);
  depth.unitCode = 7;
  EXPECT_THROW(l.InitPointLabel(depth, 0, source, c.dc, plat::POINT{100, 100}, 1), glo::Assert_t);
  map::GetRegistry().DepthUnits.Set(mat::DepthUnits_t::Metres);

  // Type 98: the text is a depth in metres; not a number: empty.
  map::PointLabelRecord_t sounding;
  sounding.symbol.type = 98;
  sounding.labelId = 4;
  source.Set(4, "7");
  l.InitPointLabel(sounding, 1, source, c.dc, plat::POINT{100, 100}, 1);
  EXPECT_EQ("7.0", l.text);
  source.Set(4, "deep");
  l.InitPointLabel(sounding, 1, source, c.dc, plat::POINT{100, 100}, 1);
  EXPECT_EQ("", l.text);

  // A town (type 6): x10, standing on the anchor, moved right by half the
  // symbol's visible size (16 for image 47).
  map::PointLabelRecord_t town;
  town.symbol.type = 6;
  town.labelId = 8;
  source.Set(8, "Harbour", 0x802);
  l.InitPointLabel(town, 47, source, c.dc, plat::POINT{100, 100}, 200);
  EXPECT_EQ("Harbour", l.text);
  EXPECT_EQ(map::LabelFont_t::X10, l.font);
  EXPECT_EQ(108, l.x);
  EXPECT_EQ(102, l.MaxY());  // text bottom on the anchor, box 2 below
  // Types 41-48 take the second label colour.
  town.symbol.type = 44;
  l.InitPointLabel(town, 47, source, c.dc, plat::POINT{100, 100}, 200);
  EXPECT_EQ(Rgb(0, 0, 200), l.colour);
}

TEST_F(LabelDrawTest, NoticesStackUpwardFromTheBottom) {
  Canvas c(300, 200);
  std::vector<map::Notice_t> notices;
  EXPECT_EQ(0, map::DrawNoticeBlock(c.dc, notices, true, false, 300, 200));
  notices.push_back(map::Notice_t{"a picture", true, true, true, true, true});
  EXPECT_EQ(0, map::DrawNoticeBlock(c.dc, notices, false, false, 300, 200));
  EXPECT_EQ(plat::RECT({300, 200, -1, -1}), c.Painted(plat::RECT{0, 0, 300, 200}));
  notices.push_back(map::Notice_t{"First notice", false, false, true, false, false});
  notices.push_back(map::Notice_t{"Only with detail maps", false, false, false, true, false});
  notices.push_back(map::Notice_t{"Second notice with enough words to wrap over more than one line here", false,
                                  false, true, false, false});
  const int one = map::DrawNoticeBlock(c.dc, {notices[1]}, false, false, 300, 200);
  EXPECT_GT(one, 0);
  Canvas d(300, 200);
  const int both = map::DrawNoticeBlock(d.dc, notices, false, false, 300, 200);
  EXPECT_GE(both, 3 * one);  // the second wraps onto two lines at least
  const plat::RECT painted = d.Painted(plat::RECT{0, 0, 300, 200});
  EXPECT_GE(painted.top, 200 - both);
  EXPECT_LT(painted.bottom, 200);
  // The first notice lies at the bottom: its ink is in the last 'one' rows.
  const plat::RECT bottom = d.Painted(plat::RECT{0, 200 - one, 300, 200});
  EXPECT_LE(bottom.left, bottom.right);
  // Print draws nothing of the screen-only notices; a printed notice adds a
  // tenth of an inch.
  Canvas e(300, 200);
  EXPECT_EQ(0, map::DrawPrintNotices(e.dc, notices, false));
  notices[2].printWithDetail = true;
  const int printed = map::DrawPrintNotices(e.dc, notices, true);
  EXPECT_EQ(one + e.dc.GetDeviceCaps(plat::kLogPixelsY) / 10, printed);
}

}  // namespace
