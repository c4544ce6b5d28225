#include "gdb/GDB_Symbol.h"

#include <iterator>
#include <utility>

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"

namespace gdb {

unsigned SymbolNameStringId(Symbol_t symbol) {
  const int s = symbol;
  // The string ids were allocated in several blocks; 119 to 128 are not in order.
  if (s >= 0 && s <= 118) return s + 4720;
  if (s >= 119 && s <= 121) return s + 4948;
  if (s == 122) return 5076;
  if (s >= 123 && s <= 128) return s + 4947;
  if (s >= 129 && s <= 139) return s + 4948;
  if (s >= 140 && s <= 148) return s + 4951;
  if (s >= 149 && s <= 154) return s + 7351;
  if (s >= 155 && s <= 220) return s + 7355;
  throw glo::OutOfRange_t(GLO_SRC);
}

namespace {

SymbolNames_t LoadSymbolNames() {
  SymbolNames_t names;
  for (int s = Symbol_First; s <= Symbol_Last; ++s) {
    const Symbol_t symbol = static_cast<Symbol_t>(s);
    const glo::StringResource_t text(static_cast<int>(SymbolNameStringId(symbol)), GLO_SRC);
    names.emplace(symbol, text.Text());
  }
  return names;
}

}  // namespace

const SymbolNames_t& GetSymbolNames() {
  // A failed load leaves the static unbuilt, so the next call tries again.
  static const SymbolNames_t names = LoadSymbolNames();
  return names;
}

const FeatureSymbolMap_t& GetFeatureSymbolMap() {
  static const FeatureSymbolMap_t::Entry_t kEntries[] = {
      {2, Symbol_t(0)},   {3, Symbol_t(38)},  {4, Symbol_t(43)},  {5, Symbol_t(46)},
      {6, Symbol_t(13)},  {7, Symbol_t(58)},  {9, Symbol_t(73)},  {10, Symbol_t(76)},
      {11, Symbol_t(75)}, {12, Symbol_t(6)},  {13, Symbol_t(90)}, {14, Symbol_t(8)},
      {15, Symbol_t(11)}, {16, Symbol_t(59)}, {17, Symbol_t(79)}, {18, Symbol_t(80)},
      {19, Symbol_t(81)}, {20, Symbol_t(83)}, {21, Symbol_t(85)}, {22, Symbol_t(87)},
      {23, Symbol_t(88)}, {32, Symbol_t(68)}, {33, Symbol_t(39)}, {34, Symbol_t(45)},
      {8, Symbol_t(107)},
  };
  static const FeatureSymbolMap_t table(kEntries, std::size(kEntries), Symbol_Default);
  return table;
}

}  // namespace gdb
