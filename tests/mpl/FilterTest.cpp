// Feature-type filters: their forms of construction, union and merge, and the
// acceptance test the engine applies.
#include <gtest/gtest.h>

#include "mpl/MPL_Filter.h"
#include "mpl/MPL_Rgn.h"

namespace {

using Entries_t = std::map<std::uint16_t, std::uint32_t>;
constexpr std::uint32_t kAny = 0xFFFFFFFFu;

TEST(FilterTest, FormsOfConstruction) {
  EXPECT_EQ((Entries_t{{0x10, 0x4}}), mpl::Filter_t(mpl::FilterEntry_t{0x10, 0x4}, 1).entries);
  EXPECT_EQ((Entries_t{{1, kAny}, {2, kAny}, {3, kAny}}), mpl::Filter_t(1, 3, 0).entries);
  EXPECT_EQ((Entries_t{{0x10, kAny}, {0x11, kAny}, {0x14, kAny}}), mpl::Filter_t(0x10, 0x14, 0x12, 0x13, 1).entries);
  // Array order: a type already present keeps its first entry.
  const mpl::FilterEntry_t list[] = {{7, 0x1}, {3, 0x2}, {7, 0x8}};
  const mpl::Filter_t fromList(list, 3, 1);
  EXPECT_EQ((Entries_t{{3, 0x2}, {7, 0x1}}), fromList.entries);
  EXPECT_EQ(1, fromList.kind);
  // The add step ORs masks.
  mpl::Filter_t f(mpl::FilterEntry_t{5, 0x1}, 1);
  f.Add(5, 0x6);
  EXPECT_EQ((Entries_t{{5, 0x7}}), f.entries);
  // The type range reaches the last type.
  EXPECT_EQ(2u, mpl::Filter_t(0xFFFE, 0xFFFF, 1).entries.size());
}

TEST(FilterTest, UnionAndMerge) {
  const mpl::FilterEntry_t a[] = {{1, 0x1}, {2, 0x2}};
  const mpl::FilterEntry_t b[] = {{2, 0x4}, {3, 0x8}};
  mpl::Filter_t fa(a, 2, 1);
  const mpl::Filter_t fb(b, 2, 1);
  const mpl::Filter_t u = fa.Union(fb);
  EXPECT_EQ((Entries_t{{1, 0x1}, {2, 0x2}, {3, 0x8}}), u.entries);
  EXPECT_EQ(1, u.kind);
  EXPECT_EQ((Entries_t{{1, 0x1}, {2, 0x2}}), fa.entries);  // union leaves both alone
  const mpl::Filter_t merged = fa.Merge(fb);
  EXPECT_EQ(u.entries, merged.entries);
  EXPECT_EQ(u.entries, fa.entries);  // merge changes this filter
  mpl::Filter_t other(b, 2, 0);
  EXPECT_THROW(fa.Merge(other), glo::Assert_t);
  EXPECT_THROW(fa.Union(other), glo::Assert_t);
}

TEST(FilterTest, Acceptance) {
  const mpl::FilterEntry_t list[] = {{0x10, 0x1 | 0x4}, {0x20, kAny}};
  const mpl::Filter_t include(list, 2, 1);
  const mpl::Filter_t exclude(list, 2, 0);
  struct Case_t {
    std::uint16_t type, subtype;
    bool included;
  } cases[] = {{0x10, 0, true}, {0x10, 1, false}, {0x10, 2, true}, {0x10, 34, true},
               {0x20, 31, true}, {0x30, 0, false}};
  for (const Case_t& c : cases) {
    EXPECT_EQ(c.included, mpl::MdbTypeFilterTest(&include, c.type, c.subtype)) << c.type << "/" << c.subtype;
    EXPECT_EQ(!c.included, mpl::MdbTypeFilterTest(&exclude, c.type, c.subtype)) << c.type << "/" << c.subtype;
  }
  // No entries admit everything, whatever the kind.
  for (int kind : {0, 1}) {
    mpl::Filter_t empty;
    empty.kind = kind;
    EXPECT_TRUE(mpl::MdbTypeFilterTest(&empty, 0x55, 3));
  }
}

}  // namespace
