#pragma once
// An offscreen bitmap to draw labels and symbols into, the map font the label
// tests use (DejaVu at 96 dots per inch) and a label source made by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "map/MAP_Dymo.h"
#include "map/MAP_ImageList.h"
#include "map/MAP_Label.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_Dc.h"
#include "plat/PLAT_GdiObject.h"
#include "plat/PLAT_Gui.h"

namespace labeltest {

constexpr plat::COLORREF kWhite = 0x00FFFFFFu;
constexpr plat::COLORREF kBlack = 0;
constexpr plat::COLORREF Rgb(int r, int g, int b) { return plat::COLORREF(r | (g << 8) | (b << 16)); }

// Settings every label test starts from.
inline void UseLabelSettings() {
  ASSERT_TRUE(plat::EnsureGuiApplication());
  map::GetRegistry().MapFontSetting.Set(map::MapFont_t{"DejaVu Sans", -13, 400, false});
  map::GetRegistry().DepthUnits.Set(mat::DepthUnits_t::Metres);
  map::GetRegistry().ElevationUnits.Set(mat::ElevationUnits_t::Metres);
  map::GetLabelColours() = map::LabelColours_t{kBlack, Rgb(0, 0, 200), Rgb(0, 120, 0), Rgb(120, 0, 0)};
}

// A white bitmap and a device context drawing into it.
class Canvas {
 public:
  Canvas(int width, int height, plat::COLORREF fill = kWhite) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, width, height));
    dc.SelectObject(bitmap);
    dc.FillSolidRect(plat::RECT{0, 0, width, height}, fill);
  }
  plat::COLORREF At(int x, int y) const { return dc.GetPixel(x, y) & 0x00FFFFFFu; }
  // The bounding box of the pixels that differ from 'fill'.
  plat::RECT Painted(const plat::RECT& within, plat::COLORREF fill = kWhite) const {
    plat::RECT r{within.right, within.bottom, within.left - 1, within.top - 1};
    for (int y = within.top; y < within.bottom; ++y)
      for (int x = within.left; x < within.right; ++x)
        if (At(x, y) != fill) {
          r.left = std::min<int>(r.left, x);
          r.top = std::min<int>(r.top, y);
          r.right = std::max<int>(r.right, x);
          r.bottom = std::max<int>(r.bottom, y);
        }
    return r;
  }
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
};

// Label texts by reference and flags; a flag of 0 in the key answers every flag.
class FakeSource : public map::LineLabelSource_t {
 public:
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> texts;
  void Set(std::uint32_t id, const std::string& text, std::uint32_t flags = 0) { texts[{id, flags}] = text; }
  std::string GetLabelText(std::uint32_t id, std::uint32_t flags) override { return Find(id, flags); }
  std::string GetLineLabel(std::uint32_t id, std::uint32_t flags) override { return Find(id, flags); }

 private:
  std::string Find(std::uint32_t id, std::uint32_t flags) const {
    if (auto it = texts.find({id, flags}); it != texts.end()) return it->second;
    if (auto it = texts.find({id, 0}); it != texts.end()) return it->second;
    return std::string();
  }
};

// A hand-made upright label with the box (left, top) - (right, bottom).
inline map::Label_t Box(int left, int top, int right, int bottom, std::uint32_t priority, std::uint32_t id = 0,
                        std::int32_t kind = map::kPointLabel) {
  map::Label_t l;
  l.corners = {plat::POINT{left, bottom}, plat::POINT{left, top}, plat::POINT{right, top}, plat::POINT{right, bottom}};
  l.upright = true;
  l.priority = priority;
  l.labelId = id;
  l.kind = kind;
  l.x = left;
  l.y = top;
  l.text = "x";
  return l;
}

// A rotated label: a box of half-length 'half' and height 'height' about its
// centre line through (cx, cy) at 'degrees'.
inline map::Label_t Turned(int cx, int cy, int half, int height, double degrees, std::uint32_t priority) {
  const double a = degrees * 3.14159265358979323846 / 180.0;
  auto at = [&](double u, double v) {
    return plat::POINT{cx + int(std::lround(u * std::cos(a) - v * std::sin(a))),
                       cy - int(std::lround(u * std::sin(a) + v * std::cos(a)))};
  };
  map::Label_t l;
  l.corners = map::Label_t::NormaliseCorners({at(-half, -height / 2.0), at(-half, height / 2.0),
                                               at(half, height / 2.0), at(half, -height / 2.0)});
  l.upright = false;
  l.priority = priority;
  l.kind = map::kLineLabel;
  l.x = cx;
  l.y = cy;
  l.text = "x";
  return l;
}

}  // namespace labeltest
