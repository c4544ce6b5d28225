#include "map/MAP_ImageList.h"

#include <algorithm>
#include <cstring>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_GdiObject.h"
#include "plat/PLAT_Picture.h"

namespace map {

namespace {

// One row of the symbol table: a type, its default image and the images of
// its subtypes.
struct IconRow_t {
  std::uint16_t type;
  int image;
  std::vector<std::pair<std::uint8_t, int>> subs;
};

std::vector<std::pair<std::uint8_t, int>> Range(int from, int to, int offset) {
  std::vector<std::pair<std::uint8_t, int>> subs;
  for (int s = from; s <= to; ++s) subs.emplace_back(std::uint8_t(s), s + offset);
  return subs;
}

const std::map<std::uint16_t, IconRow_t>& IconTable() {
  static const std::map<std::uint16_t, IconRow_t> table = [] {
    std::vector<IconRow_t> rows;
    for (std::uint16_t t : {22, 23, 24, 25, 26, 27}) rows.push_back({t, 47, Range(1, 22, 40)});
    rows.push_back({18, 135, {}});
    for (std::uint16_t t : {20, 21, 30, 31, 40, 261, 262}) rows.push_back({t, 0, {}});
    rows.push_back({29, 80, {}});
    rows.push_back({28, 69, {{0, 69}, {7, 69}, {1, 65}, {2, 66}, {3, 67}, {4, 72}, {5, 68}, {6, 68}, {8, 73},
                             {9, 70}, {10, 71}}});
    for (std::uint16_t t : {32, 33, 35, 38, 39}) rows.push_back({t, 64, {}});
    rows.push_back({34, 33, {}});
    rows.push_back({36, 74, {}});
    rows.push_back({37, 75, {}});
    rows.push_back({41, 76, {}});
    rows.push_back({44, 76, {{1, 9}, {2, 18}, {3, 24}, {5, 21}, {6, 5}, {7, 23}}});
    rows.push_back({45, 76, {{1, 13}, {2, 6}, {3, 17}, {5, 32}}});
    rows.push_back({47, 76, {{1, 14}, {2, 11}, {3, 10}, {4, 8}, {5, 20}, {6, 12}, {8, 26}, {9, 2}, {11, 34},
                             {12, 33}, {15, 79}}});
    rows.push_back({48, 76, {{2, 4}}});
    rows.push_back({42, 15, {}});
    rows.push_back({69, 15, {}});
    rows.push_back({43, 16, {{3, 3}}});
    rows.push_back({46, 7, {{1, 22}, {5, 19}}});
    const std::pair<std::uint16_t, int> plain[] = {{64, 32}, {65, 31}, {66, 39}, {67, 2},  {68, 14}, {70, 6},
                                                   {71, 27}, {72, 3},  {73, 5},  {74, 25}, {75, 4},  {76, 63},
                                                   {77, 34}, {78, 33}, {79, 37}, {80, 30}, {81, 35}, {82, 36},
                                                   {83, 38}, {84, 40}, {85, 28}, {87, 29}, {93, 45}, {94, 44},
                                                   {257, 114}, {264, 113}};
    for (const auto& [t, i] : plain) rows.push_back({t, i, {}});
    rows.push_back({89, 8, {{4, 81}}});
    rows.push_back({100, 76, {{14, 5}}});
    rows.push_back({101, 76, {}});
    rows.push_back({102, 76, {}});
    rows.push_back({265, 1, {{2, 77}, {3, 78}}});
    {
      std::vector<std::pair<std::uint8_t, int>> s = Range(0, 5, 0);
      for (auto& p : s) p.second = 88;
      const std::pair<std::uint8_t, int> more[] = {{6, 83},  {7, 98},  {8, 88},  {9, 90},  {10, 93}, {11, 88},
                                                   {12, 100}, {13, 95}, {19, 85}, {20, 86}, {21, 83}, {22, 95},
                                                   {23, 92}, {24, 97}};
      s.insert(s.end(), std::begin(more), std::end(more));
      for (int k = 14; k <= 18; ++k) s.emplace_back(std::uint8_t(k), 83);
      rows.push_back({258, 88, s});
    }
    rows.push_back({259, 87, {{1, 0}, {2, 0}, {4, 110}, {6, 111}, {10, 120}}});
    rows.push_back({260, 129, {{1, 129}, {2, 133}, {3, 104}, {4, 132}, {5, 107}, {6, 102}, {7, 105}, {8, 131},
                               {9, 112}, {10, 130}, {11, 122}, {12, 103}, {13, 130}, {14, 136}}});
    rows.push_back({263, 1, {{1, 109}, {2, 125}, {3, 134}, {4, 124}, {5, 121}, {6, 123}, {7, 126}, {8, 127},
                             {9, 82}, {10, 128}, {11, 106}, {12, 108}}});
    std::map<std::uint16_t, IconRow_t> out;
    for (auto& r : rows) {
      // Two rows (or two subtype pairs) for one key are a fault of the table.
      GLO_ASSERT(out.count(r.type) == 0);
      std::map<std::uint8_t, int> seen;
      for (const auto& p : r.subs) GLO_ASSERT(seen.emplace(p.first, p.second).second);
      out.emplace(r.type, std::move(r));
    }
    return out;
  }();
  return table;
}

constexpr std::uint32_t kRed = Pixel(255, 0, 0);
constexpr std::uint32_t kGreen = Pixel(0, 255, 0);
constexpr std::uint32_t kBlue = Pixel(0, 0, 255);
constexpr std::uint32_t kYellow = Pixel(255, 255, 0);
constexpr std::uint32_t kCyan = Pixel(0, 255, 255);
constexpr std::uint32_t kMagenta = Pixel(255, 0, 255);
constexpr std::uint32_t kWhite = Pixel(255, 255, 255);
constexpr std::uint32_t kBlack = Pixel(0, 0, 0);
constexpr std::uint32_t kChk = kCheckerboard;

bool MakeBitmap(const PixelGrid_t& grid, plat::Bitmap_t& bitmap) {
  plat::BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(plat::BITMAPINFOHEADER);
  info.bmiHeader.biWidth = grid.width;
  info.bmiHeader.biHeight = -grid.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = plat::kBiRgb;
  void* bits = nullptr;
  if (!bitmap.CreateDIBSection(info, &bits) || !bits) return false;
  std::memcpy(bits, grid.pixels.data(), grid.pixels.size() * 4);
  return true;
}

}  // namespace

int GetPointIconByType(std::uint16_t type, std::uint8_t subtype) {
  const auto& table = IconTable();
  const auto it = table.find(type);
  if (it == table.end()) return 1;
  for (const auto& [s, image] : it->second.subs)
    if (s == subtype) return image;
  return it->second.image;
}

int GetIconSize(int index) {
  switch (index) {
    case 0: return 0;
    case 1: return 4;
    case 64: return 6;
    case 76: return 2;
    default: return 16;
  }
}

PatternKey_t MakePatternKey(int base, std::uint8_t code1, std::uint8_t code2) {
  if (code2 != 0) {
    if (base == 85 || base == 86) base = 83;
  } else {
    switch (base) {
      case 83: base = 84; break;
      case 88: base = 89; break;
      case 90: base = 91; break;
      case 93: base = 94; break;
      case 95: base = 96; break;
      case 98: base = 99; break;
      case 100: base = 101; break;
      default: break;
    }
  }
  return PatternKey_t{base, code1, code2};
}

std::array<std::uint32_t, 6> PatternColors(std::uint8_t code1, std::uint8_t code2, int base) {
  // E (yellow), C (cyan), B (red), D (green) by code 1.
  static const std::uint32_t body[26][4] = {
      {kWhite, kWhite, kWhite, kWhite},     {kRed, kRed, kRed, kRed},
      {kGreen, kGreen, kGreen, kGreen},     {kYellow, kYellow, kYellow, kYellow},
      {kWhite, kWhite, kWhite, kWhite},     {kBlack, kBlack, kBlack, kBlack},
      {kBlack, kBlack, kYellow, kYellow},   {kWhite, kWhite, kRed, kRed},
      {kBlack, kBlack, kRed, kRed},         {kWhite, kWhite, kGreen, kGreen},
      {kRed, kRed, kYellow, kYellow},       {kRed, kRed, kGreen, kGreen},
      {kChk, kChk, kChk, kChk},             {kBlack, kYellow, kYellow, kBlack},
      {kYellow, kYellow, kBlack, kBlack},   {kYellow, kBlack, kBlack, kYellow},
      {kRed, kRed, kWhite, kWhite},         {kGreen, kRed, kRed, kGreen},
      {kRed, kGreen, kGreen, kRed},         {kBlack, kRed, kRed, kBlack},
      {kYellow, kRed, kRed, kYellow},       {kGreen, kGreen, kRed, kRed},
      {kBlack, kBlack, kWhite, kWhite},     {kWhite, kWhite, kChk, kChk},
      {kChk, kChk, kWhite, kWhite},         {kGreen, kGreen, kWhite, kWhite}};
  std::array<std::uint32_t, 6> out{};
  const std::uint32_t* b = body[code1 < 26 ? code1 : 0];
  if (code1 == 0 && base == 83) b = body[5];
  std::copy(b, b + 4, out.begin());
  // G (magenta), F (blue) by code 2.
  switch (code2) {
    case 1: out[4] = kRed; out[5] = kGreyPixel; break;
    case 2: out[4] = kGreen; out[5] = kWhite; break;
    case 3: out[4] = kWhite; out[5] = kBlack; break;
    case 4: out[4] = kBlue; out[5] = kGreyPixel; break;
    case 5: out[4] = kYellow; out[5] = kBlack; break;
    default: out[4] = kGreyPixel; out[5] = kGreyPixel; break;
  }
  return out;
}

std::array<std::uint32_t, 3> MarkColors(std::uint8_t code, int base) {
  if (code == 2) {
    if (base == 133) return {kGreyPixel, kGreyPixel, kGreyPixel};
    return {kBlack, kGreyPixel, kBlack};
  }
  if (code == 5) return {kBlack, kBlack, kGreyPixel};
  return {kBlack, kGreyPixel, kGreyPixel};
}

bool LoadStrip(plat::ModuleHandle module, std::uint32_t id, PixelGrid_t& strip) {
  plat::Bitmap_t bitmap;
  if (!plat::LoadPicture(module, id, bitmap)) return false;
  plat::BITMAP desc{};
  if (!bitmap.GetBitmap(desc) || desc.bmWidth < 1 || desc.bmHeight < 1) return false;
  PixelGrid_t grid(desc.bmWidth, desc.bmHeight, 0);
  plat::BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(plat::BITMAPINFOHEADER);
  info.bmiHeader.biWidth = desc.bmWidth;
  info.bmiHeader.biHeight = -desc.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = plat::kBiRgb;
  if (plat::GetDIBits(bitmap.GetSafeHandle(), 0, desc.bmHeight, grid.pixels.data(), info) != desc.bmHeight)
    return false;
  for (auto& p : grid.pixels) p &= 0x00FFFFFFu;
  strip = std::move(grid);
  return true;
}

ImageList_t::ImageList_t(const PixelGrid_t& strip, int imageSize) : m_strip(strip), m_size(imageSize) { Build(); }

ImageList_t::ImageList_t(plat::ModuleHandle module, std::uint32_t id, int imageSize) : m_size(imageSize) {
  GLO_ASSERT(LoadStrip(module, id, m_strip));
  Build();
}

void ImageList_t::Build() {
  GLO_ASSERT(m_size > 0 && m_strip.height >= m_size && m_strip.width >= m_size);
  for (auto& p : m_strip.pixels) p &= 0x00FFFFFFu;
  GLO_ASSERT(m_list.Create(m_size, m_size));
  plat::Bitmap_t bitmap;
  GLO_ASSERT(MakeBitmap(m_strip, bitmap));
  GLO_ASSERT(m_list.AddMasked(bitmap.GetSafeHandle(), kSymbolMaskColour) == 0);
  m_stripCount = m_list.GetImageCount();
}

bool ImageList_t::Draw(plat::Dc_t& dc, int index, int x, int y) const {
  if (index < 0 || index >= m_list.GetImageCount()) return false;
  return m_list.Draw(dc, index, x, y);
}

int ImageList_t::AddVariant(int base, const std::uint32_t* from, const std::uint32_t* to, int count, bool checker) {
  const std::uint32_t background = m_strip.At(0, 0);
  PixelGrid_t image(m_size, m_size, 0);
  for (int y = 0; y < m_size; ++y) {
    for (int x = 0; x < m_size; ++x) {
      std::uint32_t p = m_strip.At(base * m_size + x, y);
      for (int k = 0; k < count; ++k) {
        if (p != from[k]) continue;
        p = to[k];
        if (p == kGreyPixel) p = background;
        else if (checker && p == kCheckerboard) p = (x + y) % 2 == 0 ? kRed : kYellow;
        break;
      }
      image.At(x, y) = p;
    }
  }
  plat::Bitmap_t bitmap;
  GLO_ASSERT(MakeBitmap(image, bitmap));
  const int index = m_list.AddMasked(bitmap.GetSafeHandle(), kSymbolMaskColour);
  GLO_ASSERT(index >= 0);
  m_extents.try_emplace(index, MeasureImage(image, background, 0));
  m_variants.push_back(std::move(image));
  return index;
}

std::optional<int> ImageList_t::GetMarineSymbol(const SymbolPoint_t& point) {
  if (point.type == 258 && point.attrClass == 8 && point.subtype != 23 && point.subtype != 24) {
    const int base = GetPointIconByType(258, point.subtype);
    const PatternKey_t key = MakePatternKey(base, point.code1, point.code2);
    if (const auto it = m_patterns.find(key); it != m_patterns.end()) return it->second;
    // A base image outside the strip has no variant.
    if (key.base < 0 || key.base >= m_stripCount) return std::nullopt;
    const auto colours = PatternColors(key.code1, key.code2, key.base);
    const std::uint32_t from[6] = {kYellow, kCyan, kRed, kGreen, kMagenta, kBlue};
    const int index = AddVariant(key.base, from, colours.data(), 6, true);
    m_patterns.emplace(key, index);
    return index;
  }
  const bool markClass = point.attrClass == 9 && point.subtype != 3 && point.subtype != 6 && point.subtype != 9 &&
                         point.subtype != 11 && point.subtype != 12 && point.subtype != 14;
  if (point.type == 260 && (point.subtype == 10 || markClass)) {
    const int base = GetPointIconByType(260, point.subtype);
    const std::uint8_t code = point.attrClass == 9 ? point.code2 : 0;
    const auto key = std::make_pair(base, code);
    if (const auto it = m_marks.find(key); it != m_marks.end()) return it->second;
    if (base < 0 || base >= m_stripCount) return std::nullopt;
    const auto colours = MarkColors(code, base);
    const std::uint32_t from[3] = {kBlue, kGreen, kRed};
    const int index = AddVariant(base, from, colours.data(), 3, false);
    m_marks.emplace(key, index);
    return index;
  }
  return std::nullopt;
}

plat::SIZE ImageList_t::MeasureImage(const PixelGrid_t& grid, std::uint32_t background, int firstColumn) {
  const int size = grid.height;
  auto empty = [&](int x, int y) {
    const std::uint32_t p = grid.At(x, y) & 0x00FFFFFFu;
    return p == (background & 0x00FFFFFFu) || p == kGreyPixel;
  };
  auto columnEmpty = [&](int c) {
    for (int y = 0; y < size; ++y)
      if (!empty(firstColumn + c, y)) return false;
    return true;
  };
  auto rowEmpty = [&](int r) {
    for (int c = 0; c < size; ++c)
      if (!empty(firstColumn + c, r)) return false;
    return true;
  };
  int l = 0;
  while (l < size && columnEmpty(l)) ++l;
  if (l == size) return plat::SIZE{size, size};  // nothing painted
  int r = 0;
  while (columnEmpty(size - 1 - r)) ++r;
  int t = 0;
  while (rowEmpty(t)) ++t;
  int b = 0;
  while (rowEmpty(size - 1 - b)) ++b;
  return plat::SIZE{size - 2 * std::min(l, r), size - 2 * std::min(t, b)};
}

plat::SIZE ImageList_t::GetImageExtent(int index) {
  if (index < 0 || index >= m_list.GetImageCount()) return plat::SIZE{0, 0};
  if (const auto it = m_extents.find(index); it != m_extents.end()) return it->second;
  plat::SIZE size{0, 0};
  if (index < m_stripCount) {
    size = MeasureImage(m_strip, m_strip.At(0, 0), index * m_size);
  } else {
    size = MeasureImage(m_variants[std::size_t(index - m_stripCount)], m_strip.At(0, 0), 0);
  }
  m_extents.emplace(index, size);
  return size;
}

int GetPointIconIndex(const SymbolPoint_t& point, ImageList_t& list) {
  if (const auto variant = list.GetMarineSymbol(point)) return *variant;
  if (point.type == 257 && point.attrClass == 7) {
    if (point.link != 0) return 117;
    switch (point.lightCode) {
      case 1: return 115;
      case 2: return 116;
      case 3: return 117;
      case 4: return 118;
      case 5: return 119;
      default: return 1;
    }
  }
  return GetPointIconByType(point.type, point.subtype);
}

void PointIcon_t::Draw(plat::Dc_t& dc) const {
  const int mode = dc.SetBkMode(plat::kTransparent);
  m_list.Draw(dc, m_index, m_left, m_top);
  dc.SetBkMode(mode);
}

}  // namespace map
