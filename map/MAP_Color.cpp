#include "map/MAP_Color.h"

#include <map>

#include "glo/GLO_Exception.h"

namespace map {

namespace {

using ColorTable_t = std::map<std::uint8_t, int>;

const ColorTable_t& Scheme0() {
  static const ColorTable_t table = {{0, 33}, {1, 34}, {2, 35},  {3, 36},  {4, 37},  {5, 38},  {6, 39},  {7, 40},
                                     {8, 0},  {9, 41}, {10, 42}, {11, 43}, {12, 44}, {13, 45}, {14, 46}, {15, 1}};
  return table;
}

const ColorTable_t& Scheme1() {
  static const ColorTable_t table = [] {
    ColorTable_t t = Scheme0();
    t[5] = 45;
    t[8] = 50;
    return t;
  }();
  return table;
}

// Both tables exist before any window does.
[[maybe_unused]] const bool g_tablesBuilt = (Scheme0(), Scheme1(), true);

struct LabelColors_t {
  int scheme = 0;
  plat::COLORREF colors[4] = {plat::PaletteIndex(0), plat::PaletteIndex(2), plat::PaletteIndex(2),
                              plat::PaletteIndex(2)};
};

LabelColors_t& Labels() {
  static LabelColors_t labels;
  return labels;
}

}  // namespace

plat::COLORREF GetColor(std::uint8_t index, int scheme) {
  if (scheme != 0 && scheme != 1) throw glo::Assert_t(GLO_SRC);
  const ColorTable_t& table = scheme == 0 ? Scheme0() : Scheme1();
  const auto it = table.find(index);
  if (it == table.end()) throw glo::Assert_t(GLO_SRC);
  return plat::PaletteIndex(static_cast<unsigned>(it->second));
}

void SetLabelColorScheme(int scheme) {
  if (scheme != 0 && scheme != 1) throw glo::Assert_t(GLO_SRC);
  LabelColors_t& labels = Labels();
  const unsigned general = scheme == 0 ? 0 : 50, other = scheme == 0 ? 2 : 9;
  labels.colors[LabelColor_General] = plat::PaletteIndex(general);
  for (int i = 1; i < 4; ++i) labels.colors[i] = plat::PaletteIndex(other);
  labels.scheme = scheme;
}

int GetLabelColorScheme() { return Labels().scheme; }

plat::COLORREF GetLabelColor(LabelColorSlot_t slot) { return Labels().colors[slot]; }

}  // namespace map
