#include "iog/IOG_EnumTables.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <utility>

namespace iog {

namespace {

// A run of program symbols mapped element by element onto a run of device codes.
struct SymbolRange_t {
  int firstSymbol;
  int lastSymbol;
  std::int32_t firstDevice;
};

// The device codes of D102 listed by program symbol.
constexpr SymbolRange_t kSmbl102Ranges[] = {
    {0, 19, 0},         {20, 36, 21},       {37, 54, 150},      {55, 65, 169},
    {66, 71, 8195},     {72, 90, 8203},     {91, 92, 8226},     {93, 106, 8233},
    {107, 107, 16384},  {108, 115, 16388},  {116, 116, 16402},  {117, 118, 8255},
    {119, 119, 8262},   {120, 120, 8272},   {121, 122, 8258},   {123, 123, 8271},
    {124, 126, 8273},   {127, 130, 8263},   {131, 131, 8261},   {132, 132, 8268},
    {133, 133, 8276},   {134, 134, 8270},   {135, 135, 8267},   {136, 136, 8257},
    {137, 137, 8260},   {138, 138, 8269},   {139, 139, 8282},   {140, 140, 8286},
    {141, 142, 8284},   {143, 143, 8289},   {144, 145, 8287},   {146, 146, 8292},
    {147, 148, 8290},   {149, 149, 8293},   {150, 150, 181},    {151, 151, 8249},
    {152, 154, 8251},   {155, 164, 184},    {165, 167, 8294},   {168, 174, 8299},
    {175, 176, 8308},   {177, 177, 8313},   {178, 178, 8317},   {179, 179, 8310},
    {180, 180, 8315},   {181, 181, 8318},   {182, 182, 8311},   {183, 183, 8314},
    {184, 184, 8319},   {185, 185, 8312},   {186, 186, 8316},   {187, 188, 8320},
    {189, 189, 8331},   {190, 190, 8341},   {191, 191, 8322},   {192, 192, 8332},
    {193, 193, 8342},   {194, 194, 8323},   {195, 195, 8333},   {196, 196, 8343},
    {197, 197, 8324},   {198, 198, 8334},   {199, 199, 8344},   {200, 200, 8325},
    {201, 201, 8335},   {202, 202, 8345},   {203, 203, 8326},   {204, 204, 8336},
    {205, 205, 8346},   {206, 206, 8327},   {207, 207, 8337},   {208, 208, 8347},
    {209, 209, 8328},   {210, 210, 8338},   {211, 211, 8348},   {212, 212, 8329},
    {213, 213, 8339},   {214, 214, 8349},   {215, 215, 8330},   {216, 216, 8340},
    {217, 220, 8350},
};

constexpr bool RangesCoverEverySymbolOnce() {
  int next = 0;
  for (const SymbolRange_t& r : kSmbl102Ranges) {
    if (r.firstSymbol != next || r.lastSymbol < r.firstSymbol) return false;
    next = r.lastSymbol + 1;
  }
  return next == gdb::SymbolCount;
}
static_assert(RangesCoverEverySymbolOnce(), "the D102 symbol ranges must list 0 to 220 once each");

constexpr std::array<Smbl102Table_t::Pair_t, gdb::SymbolCount> MakeSmbl102Pairs() {
  std::array<Smbl102Table_t::Pair_t, gdb::SymbolCount> pairs{};
  for (const SymbolRange_t& r : kSmbl102Ranges)
    for (int s = r.firstSymbol; s <= r.lastSymbol; ++s)
      pairs[static_cast<std::size_t>(s)] = {static_cast<Smbl102_t::Smbl_t>(r.firstDevice + (s - r.firstSymbol)),
                                            static_cast<gdb::Symbol_t>(s)};
  return pairs;
}
constexpr auto kSmbl102Pairs = MakeSmbl102Pairs();

// Pairs {device value, program value} written as plain integers.
struct IntPair_t {
  std::int32_t device;
  std::int32_t program;
};

template <typename Table_t, std::size_t N>
Table_t MakeTable(const IntPair_t (&source)[N]) {
  using Pair_t = typename Table_t::Pair_t;
  std::array<Pair_t, N> pairs{};
  for (std::size_t i = 0; i < N; ++i)
    pairs[i] = Pair_t(static_cast<typename Pair_t::first_type>(source[i].device),
                      static_cast<typename Pair_t::second_type>(source[i].program));
  return Table_t(pairs.data(), pairs.size());
}

constexpr IntPair_t kDspl103[] = {{0, 1}, {1, 0}, {2, 2}};

constexpr IntPair_t kSmbl103[] = {{0, 18}, {1, 10}, {2, 8},   {3, 56},   {4, 7},   {5, 37},
                                  {6, 0},  {7, 19}, {8, 63},  {9, 14},   {10, 64}, {11, 38},
                                  {12, 65}, {13, 57}, {14, 43}, {15, 67}};

constexpr IntPair_t kDspl104[] = {{1, 0}, {3, 1}, {5, 2}};

constexpr IntPair_t kColor107[] = {{0, 0}, {1, 10}, {2, 11}, {3, 13}};

constexpr IntPair_t kColor108[] = {{0, 1},   {1, 2},   {2, 3},   {3, 4},   {4, 5},   {5, 6},
                                   {6, 7},   {7, 8},   {8, 9},   {9, 10},  {10, 11}, {11, 12},
                                   {12, 13}, {13, 14}, {14, 15}, {15, 16}, {16, 17}, {255, 0}};

constexpr IntPair_t kType108[] = {{0, 0},  {64, 1},  {65, 2},   {66, 3},   {67, 4},
                                  {68, 5}, {69, 6},  {70, 7},   {128, 8},  {129, 9},
                                  {130, 10}, {131, 11}, {132, 12}};

constexpr IntPair_t kType150[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {5, 5}, {6, 6}};

constexpr IntPair_t kType151[] = {{0, 1}, {1, 4}, {2, 0}};

constexpr IntPair_t kType152[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}};

constexpr IntPair_t kType154[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {5, 5}, {6, 6}, {7, 7}};

constexpr IntPair_t kDirection210[] = {{0, 0}, {1, 1}, {2, 2}};

constexpr IntPair_t kType210[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};

constexpr IntPair_t kDsplColor109Color[] = {{0, 1},   {1, 2},   {2, 3},   {3, 4},   {4, 5},
                                            {5, 6},   {6, 7},   {7, 8},   {8, 9},   {9, 10},
                                            {10, 11}, {11, 12}, {12, 13}, {13, 14}, {14, 15},
                                            {15, 16}, {31, 0}};

constexpr IntPair_t kDsplColor109Dspl[] = {{0, 1}, {1, 0}, {2, 2}};

}  // namespace

const Smbl102Table_t& Smbl102Table() {
  static const Smbl102Table_t table(kSmbl102Pairs.data(), kSmbl102Pairs.size());
  return table;
}

const Dspl103Table_t& Dspl103Table() {
  static const Dspl103Table_t table = MakeTable<Dspl103Table_t>(kDspl103);
  return table;
}

const Smbl103Table_t& Smbl103Table() {
  static const Smbl103Table_t table = MakeTable<Smbl103Table_t>(kSmbl103);
  return table;
}

const Dspl104Table_t& Dspl104Table() {
  static const Dspl104Table_t table = MakeTable<Dspl104Table_t>(kDspl104);
  return table;
}

const Color107Table_t& Color107Table() {
  static const Color107Table_t table = MakeTable<Color107Table_t>(kColor107);
  return table;
}

const Color108Table_t& Color108Table() {
  static const Color108Table_t table = MakeTable<Color108Table_t>(kColor108);
  return table;
}

const Type108Table_t& Type108Table() {
  static const Type108Table_t table = MakeTable<Type108Table_t>(kType108);
  return table;
}

const Type150Table_t& Type150Table() {
  static const Type150Table_t table = MakeTable<Type150Table_t>(kType150);
  return table;
}

const Type151Table_t& Type151Table() {
  static const Type151Table_t table = MakeTable<Type151Table_t>(kType151);
  return table;
}

const Type152Table_t& Type152Table() {
  static const Type152Table_t table = MakeTable<Type152Table_t>(kType152);
  return table;
}

const Type154Table_t& Type154Table() {
  static const Type154Table_t table = MakeTable<Type154Table_t>(kType154);
  return table;
}

const Direction210Table_t& Direction210Table() {
  static const Direction210Table_t table = MakeTable<Direction210Table_t>(kDirection210);
  return table;
}

const Type210Table_t& Type210Table() {
  static const Type210Table_t table = MakeTable<Type210Table_t>(kType210);
  return table;
}

const DsplColor109ColorTable_t& DsplColor109ColorTable() {
  static const DsplColor109ColorTable_t table = MakeTable<DsplColor109ColorTable_t>(kDsplColor109Color);
  return table;
}

const DsplColor109DsplTable_t& DsplColor109DsplTable() {
  static const DsplColor109DsplTable_t table = MakeTable<DsplColor109DsplTable_t>(kDsplColor109Dspl);
  return table;
}

namespace {

// Builds every table during static initialisation, in this order, so that none is
// built for the first time on a worker thread; a table with a repeated value
// stops the program before it starts. Each accessor keeps its table until exit,
// when they go in reverse order. (Accessors rather than plain globals keep the
// tables usable from other files' static initialisers as well.)
[[maybe_unused]] const bool kTablesBuilt = (Smbl102Table(), Dspl103Table(), Smbl103Table(), Dspl104Table(),
                           Color107Table(), Color108Table(), Type108Table(), Type150Table(),
                           Type151Table(), Type152Table(), Type154Table(), Direction210Table(),
                           Type210Table(), DsplColor109ColorTable(), DsplColor109DsplTable(), true);

}  // namespace

}  // namespace iog
