#pragma once
// A memory context over a white bitmap, for tests that look at the pixels a
// drawing call leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "plat/PLAT_Gdi.h"

namespace plattest {

// The plain colours the drawing tests paint with and look for.
constexpr plat::COLORREF kWhite = plat::Rgb(255, 255, 255);
constexpr plat::COLORREF kBlack = plat::Rgb(0, 0, 0);
constexpr plat::COLORREF kRed = plat::Rgb(255, 0, 0);
constexpr plat::COLORREF kGreen = plat::Rgb(0, 255, 0);
constexpr plat::COLORREF kBlue = plat::Rgb(0, 0, 255);

class Canvas {
 public:

  Canvas(int w, int h) : width(w), height(h) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(dc, w, h));
    original = dc.SelectObject(bitmap);
    Clear();
  }
  void Clear() { dc.FillSolidRect(plat::RECT{0, 0, width, height}, kWhite); }
  plat::COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
  // Whether any pixel of the rectangle (right and bottom exclusive) is not white.
  bool Inked(int l, int t, int r, int b) const {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if (At(x, y) != kWhite) return true;
    return false;
  }
  // Bounding box of the pixels that are not white (right and bottom exclusive).
  plat::RECT Ink() const {
    plat::RECT r{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) != kWhite) {
          r.left = std::min(r.left, x);
          r.top = std::min(r.top, y);
          r.right = std::max(r.right, x + 1);
          r.bottom = std::max(r.bottom, y + 1);
        }
    return r;
  }
  int Count(plat::COLORREF c) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += At(x, y) == c;
    return n;
  }

  int width, height;
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
  plat::GdiHandle_t original;
};

}  // namespace plattest
