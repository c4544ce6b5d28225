#include <gtest/gtest.h>

#include <string>

#include "geo/GEO_CardinalDirections.h"
#include "glo/GLO_StringResource.h"

namespace {

using D = geo::CardinalDirection_t;

TEST(CardinalDirections, TableFollowsTheStringsInCompassOrder) {
  const geo::CardinalDirectionTable_t& table = geo::GetCardinalDirectionTable();
  ASSERT_EQ(table.size(), 8u);
  const int ids[] = {5310, 5318, 5311, 5319, 5312, 5320, 5313, 5321};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(table[i].first, static_cast<D::CardinalDirections_t>(i));
    EXPECT_EQ(table[i].second, glo::StringResource_t(ids[i], GLO_SRC).Text());
  }
  // The latitude/longitude parser needs one-character texts for the four main points.
  for (D::CardinalDirections_t v : {D::North, D::East, D::South, D::West})
    EXPECT_EQ(D(v).GetAbbreviation().size(), 1u);
}

TEST(CardinalDirections, AbbreviationsMatchExactly) {
  for (D::CardinalDirections_t v : {D::North, D::NorthEast, D::East, D::SouthEast, D::South, D::SouthWest, D::West,
                                    D::NorthWest}) {
    D d(v == D::North ? D::South : D::North);
    d.SetFromAbbreviation(D(v).GetAbbreviation());
    EXPECT_EQ(d.Get(), v);
  }
  D d(D::East);
  d.SetFromAbbreviation(D(D::West).GetAbbreviation()[0]);
  EXPECT_EQ(d.Get(), D::West);
  EXPECT_TRUE(geo::IsCardinalAbbreviation(D(D::South).GetAbbreviation()[0]));

  const std::string north = D(D::North).GetAbbreviation();
  std::string other = north;
  other[0] = static_cast<char>(other[0] ^ 0x20);  // the other case
  for (const std::string& bad : {other, north + " ", std::string(), std::string("?")}) {
    D e(D::SouthWest);
    try {
      e.SetFromAbbreviation(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const geo::CardinalDirectionsAbbreviationNotFound_t& x) {
      EXPECT_STREQ(x.SourceFile(), "GEO_CardinalDirections.cpp");
    }
    EXPECT_EQ(e.Get(), D::SouthWest);
  }
  EXPECT_THROW(D().SetFromAbbreviation('?'), glo::OutOfRange_t);
  EXPECT_FALSE(geo::IsCardinalAbbreviation('?'));
  EXPECT_FALSE(geo::IsCardinalAbbreviation('\0'));
}

}  // namespace
