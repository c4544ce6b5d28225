#include "map/MAP_FeatureFilters.h"

#include <iterator>

namespace map {

namespace {

constexpr std::uint32_t kAny = mpl::Filter_t::kAnySubtype;

mpl::Filter_t Entries(std::initializer_list<mpl::FilterEntry_t> entries, int kind) {
  return mpl::Filter_t(std::data(entries), entries.size(), kind);
}

}  // namespace

mpl::Filter_t TypesFilter(std::initializer_list<std::uint16_t> types, int kind) {
  std::vector<mpl::FilterEntry_t> entries;
  for (std::uint16_t t : types) entries.push_back(mpl::FilterEntry_t{t, kAny});
  return mpl::Filter_t(entries.data(), entries.size(), kind);
}

mpl::Filter_t TypeRangesFilter(std::initializer_list<std::pair<std::uint16_t, std::uint16_t>> ranges, int kind) {
  std::vector<mpl::FilterEntry_t> entries;
  for (const auto& [first, last] : ranges)
    for (unsigned t = first; t <= last; ++t) entries.push_back(mpl::FilterEntry_t{static_cast<std::uint16_t>(t), kAny});
  return mpl::Filter_t(entries.data(), entries.size(), kind);
}

const std::vector<mpl::Filter_t>& GetAreaGroup1() {
  static const std::vector<mpl::Filter_t> group{
      mpl::Filter_t(mpl::FilterEntry_t{0x81, SubtypeMask({4})}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x83, SubtypeMask({0, 1, 2, 3, 4, 5, 6, 7})}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x81, SubtypeMask({0, 1, 2, 3})}, 1),
      mpl::Filter_t(0x01, 0x03, 1),
      mpl::Filter_t(0x14, 0x20, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x50, kAny}, 1),
  };
  return group;
}

const std::vector<mpl::Filter_t>& GetAreaGroup2() {
  static const std::vector<mpl::Filter_t> group{
      mpl::Filter_t(0x04, 0x13, 0x0e, 0x0e, 1),
      TypeRangesFilter({{0x28, 0x28}, {0x32, 0x32}, {0x3c, 0x44}, {0x46, 0x49}, {0x4c, 0x4c}}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x0e, kAny}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x86, SubtypeMask({1, 10, 18})}, 1),
      Entries({{0x53, kAny},
               {0x4d, kAny},
               {0x51, kAny},
               {0x4e, kAny},
               {0x4f, kAny},
               {0x52, kAny},
               {0x87, SubtypeMask({1, 2, 3})}},
              1),
      mpl::Filter_t(mpl::FilterEntry_t{0x81, SubtypeMask({5})}, 1),
  };
  return group;
}

const std::vector<mpl::Filter_t>& GetLineGroups() {
  static const std::vector<mpl::Filter_t> group{
      TypesFilter({0x1c, 0x1d, 0x1e}, 1),
      TypeRangesFilter({{0x00, 0x00},
              {0x04, 0x0c},
              {0x14, 0x16},
              {0x18, 0x1b},
              {0x1f, 0x2b},
              {0x40, 0x41},
              {0x43, 0x46}},
             1),
      mpl::Filter_t(mpl::FilterEntry_t{0x47, SubtypeMask({0, 1, 2, 3, 4, 5, 6, 7})}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x03, kAny}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x02, kAny}, 1),
      mpl::Filter_t(mpl::FilterEntry_t{0x01, kAny}, 1),
  };
  return group;
}

mpl::Filter_t MakePointFilter(int detailBits) {
  static const mpl::Filter_t alwaysHidden(mpl::FilterEntry_t{0x108, SubtypeMask({1})}, 0);
  static const mpl::Filter_t lowDetailHidden = [] {
    mpl::Filter_t f = TypeRangesFilter({{0x29, 0x2e}, {0x30, 0x30}, {0x40, 0x40}, {0x45, 0x46}, {0x4d, 0x4d}}, 0);
    f.Add(0x2f, ~SubtypeMask({4}));
    return f;
  }();
  mpl::Filter_t result = alwaysHidden;
  if (detailBits < kPointDetailBits) result.Merge(lowDetailHidden);
  return result;
}

namespace {
constexpr mpl::FilterEntry_t kTideStationEntry{0x1d, SubtypeMask({0, 1})};
}

const mpl::Filter_t& GetNoTideStationsFilter() {
  static const mpl::Filter_t filter(kTideStationEntry, 0);
  return filter;
}

const mpl::Filter_t& GetTideStationsOnlyFilter() {
  static const mpl::Filter_t filter(kTideStationEntry, 1);
  return filter;
}

const mpl::Filter_t& GetNamedPointFilter() {
  static const mpl::Filter_t filter = Entries({{0x14, kAny},
                                               {0x15, kAny},
                                               {0x1e, kAny},
                                               {0x1f, kAny},
                                               {0x105, kAny},
                                               {0x106, kAny},
                                               {0x103, SubtypeMask({1, 2})},
                                               {0x108, SubtypeMask({1})}},
                                              0);
  return filter;
}

}  // namespace map
