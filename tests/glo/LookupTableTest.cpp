#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "glo/GLO_LookupTable.h"
#include "glo/GLO_SearchIter.h"
#include "glo/GLO_TwoWayLookupTable.h"

namespace {

enum Compass_t { kNorth, kEast, kSouth, kWest };
using CompassTable_t = glo::TwoWayLookupTable_t<Compass_t, std::string>;

TEST(TwoWayLookupTable, FindsInBothDirectionsInOrder) {
  static const CompassTable_t::Pair_t pairs[] = {{kSouth, "S"}, {kNorth, "N"}, {kEast, "E"}};
  const CompassTable_t table(pairs);
  ASSERT_EQ(3u, table.size());
  EXPECT_EQ(kSouth, table[0].first);  // kept in the order given
  EXPECT_EQ("E", table.FindFirst(kEast)->second);
  EXPECT_EQ(kNorth, table.FindSecond("N")->first);
  EXPECT_EQ(table.end(), table.FindFirst(kWest));
  EXPECT_EQ(table.end(), table.FindSecond("n"));  // texts compare with case
}

TEST(TwoWayLookupTable, RepeatedMemberIsAnAssertion) {
  using Table_t = glo::TwoWayLookupTable_t<unsigned char, std::string>;
  const std::vector<std::vector<Table_t::Pair_t>> bad = {
      {{1, "ft"}, {1, "m"}},   // repeated first member
      {{1, "ft"}, {2, "ft"}},  // repeated second member
  };
  for (const auto& pairs : bad) {
    try {
      Table_t table(pairs.data(), pairs.size());
      ADD_FAILURE() << "built a table with a repeated member";
    } catch (const glo::Assert_t& e) {
      EXPECT_STREQ("GLO_TwoWayLookupTable.h", e.SourceFile());
    }
  }
}

TEST(LookupTable, DefaultOneOrSeveral) {
  using Table_t = glo::LookupTable_t<short, int>;
  static const Table_t::Entry_t entries[] = {{30, 3}, {10, 1}, {20, 2}, {40, 4}, {40, 5}};
  const Table_t table(entries, 18);
  EXPECT_EQ(1, table.Find(10));
  EXPECT_EQ(3, table.Find(30));
  EXPECT_EQ(18, table.Find(25));
  EXPECT_EQ(18, table.Find(-1));
  try {
    table.Find(40);
    FAIL() << "no exception";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ("GLO_LookupTable.h", e.SourceFile());
  }
  // Sorted by key, entries of equal keys in their original order.
  ASSERT_EQ(5u, table.size());
  EXPECT_EQ(10, table[0].first);
  EXPECT_EQ(4, table[3].second);
  EXPECT_EQ(5, table[4].second);
}

// A source that yields the multiples of a step below a limit, one per call, and
// counts the searches it starts.
struct Numbers_t {
  struct Workspace_t {
    int step = 0;
  };
  int starts = 0;

  glo::AutoPtr_t<int> First(Workspace_t& ws, const int& step) {
    ++starts;
    ws.step = step;
    return glo::AutoPtr_t<int>(new int(0));
  }
  glo::AutoPtr_t<int> Next(const int& current, Workspace_t& ws) {
    const int next = current + ws.step;
    return glo::AutoPtr_t<int>(next < 10 ? new int(next) : nullptr);
  }
};

using Range_t = glo::SearchRange_t<Numbers_t, int, Numbers_t::Workspace_t, int>;

Range_t Search(Numbers_t& source, int step) {
  return Range_t(Range_t::Iterator_t::GetFirstFn_t(&source, &Numbers_t::First),
                 Range_t::Iterator_t::GetNextFn_t(&source, &Numbers_t::Next), step);
}

TEST(SearchIter, WalksTheRecordsOfASearch) {
  Numbers_t source;
  std::vector<int> seen;
  for (int value : Search(source, 3)) seen.push_back(value);
  EXPECT_EQ((std::vector<int>{0, 3, 6, 9}), seen);
  EXPECT_EQ(1, source.starts);
}

TEST(SearchIter, CopiesAreIndependent) {
  Numbers_t source;
  const Range_t range = Search(source, 4);
  auto it = range.begin();
  auto old = it++;
  EXPECT_EQ(0, *old);
  EXPECT_EQ(4, *it);
  auto copy = it;
  ++copy;
  EXPECT_EQ(4, *it);
  EXPECT_EQ(8, *copy);
  EXPECT_FALSE(copy == it);  // different records, even of equal values
  ++copy;
  EXPECT_TRUE(copy == range.end());
  EXPECT_THROW(++copy, glo::Assert_t);
  EXPECT_THROW(*range.end(), glo::Assert_t);
}

}  // namespace
