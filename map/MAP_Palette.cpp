#include "map/MAP_Palette.h"

#include <vector>

#include "glo/GLO_Exception.h"

namespace map {

namespace {
constexpr unsigned char kRgb[kPaletteSize][3] = {
    {0, 0, 0},       {255, 255, 255}, {0, 0, 255},     {0, 128, 255},   {255, 0, 0},     {255, 200, 200},
    {255, 255, 0},   {0, 96, 0},      {0, 0, 128},     {106, 181, 255}, {60, 157, 255},  {156, 243, 189},
    {255, 255, 230}, {192, 192, 192}, {235, 235, 235}, {128, 128, 128}, {64, 64, 64},    {150, 115, 70},
    {185, 148, 102}, {0, 255, 255},   {255, 240, 210}, {0, 255, 0},     {255, 0, 255},   {0, 191, 255},
    {85, 213, 255},  {123, 232, 255}, {165, 243, 255}, {206, 255, 255}, {51, 51, 204},   {0, 0, 204},
    {51, 51, 153},   {0, 51, 153},    {0, 0, 153},     {200, 200, 200}, {0, 144, 252},   {0, 200, 0},
    {160, 240, 252}, {252, 56, 64},   {228, 0, 228},   {252, 220, 0},   {252, 104, 0},   {120, 228, 252},
    {120, 68, 0},    {200, 252, 252}, {192, 240, 188}, {252, 180, 252}, {220, 212, 148}, {0, 128, 128},
    {145, 177, 196}, {255, 128, 0},   {255, 255, 176}, {0, 160, 0},
};
}  // namespace

const std::array<plat::PALETTEENTRY, kPaletteSize>& GetPaletteTable() {
  static const std::array<plat::PALETTEENTRY, kPaletteSize> table = [] {
    std::array<plat::PALETTEENTRY, kPaletteSize> t{};
    for (int i = 0; i < kPaletteSize; ++i) t[i] = plat::PALETTEENTRY{kRgb[i][0], kRgb[i][1], kRgb[i][2], 0};
    return t;
  }();
  return table;
}

plat::COLORREF PaletteColor(int index) {
  if (index < 0 || index >= kPaletteSize) throw glo::Assert_t(GLO_SRC);
  return plat::Rgb(kRgb[index][0], kRgb[index][1], kRgb[index][2]);
}

bool CreateMapPalette(plat::Palette_t& palette) {
  const auto& table = GetPaletteTable();
  return palette.CreatePalette(std::vector<plat::PALETTEENTRY>(table.begin(), table.end()));
}

}  // namespace map
