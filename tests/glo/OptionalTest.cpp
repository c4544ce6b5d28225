#include <gtest/gtest.h>

#include <string>

#include "glo/GLO_Optional.h"

namespace {

using glo::Optional_t;

TEST(Optional, ReadingAnAbsentValueIsAnAssertion) {
  Optional_t<int> absent;
  EXPECT_FALSE(absent.IsPresent());
  try {
    (void)*absent;
    FAIL() << "no exception";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ("GLO_Optional.h", e.SourceFile());
    EXPECT_STREQ("", e.what());
  }
  const Optional_t<std::string> constAbsent;
  EXPECT_THROW((void)constAbsent->size(), glo::Assert_t);
}

TEST(Optional, CopiesOwnTheirCells) {
  Optional_t<std::string> a(std::string("first"));
  Optional_t<std::string> b(a);
  *b = "second";
  EXPECT_EQ("first", *a);
  EXPECT_EQ("second", *b);

  Optional_t<std::string> c;
  c = a;  // makes a cell
  a = std::string("changed");  // overwrites the held value
  EXPECT_EQ("first", *c);
  EXPECT_EQ("changed", *a);
}

TEST(Optional, AssignmentFromOptionals) {
  Optional_t<int> present(5);
  present = Optional_t<int>();
  EXPECT_FALSE(present.IsPresent());

  Optional_t<int> self(9);
  const Optional_t<int>& alias = self;
  self = alias;
  EXPECT_EQ(9, *self);

  Optional_t<int> absent;
  absent = absent;
  EXPECT_FALSE(absent.IsPresent());
}

TEST(Optional, AbsentOrdersBelowEveryPresentValue) {
  const Optional_t<double> none;
  const Optional_t<double> low(-1e300);
  const Optional_t<double> high(2.0);
  struct Case {
    const Optional_t<double>& a;
    const Optional_t<double>& b;
    bool less;
  } cases[] = {
      {none, low, true}, {low, none, false}, {none, none, false},
      {low, high, true}, {high, low, false}, {high, high, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.less, c.a < c.b);
}

TEST(Optional, DifferenceIsAbsentWhenEitherIsAbsent) {
  const Optional_t<double> none;
  EXPECT_DOUBLE_EQ(1.5, *(Optional_t<double>(4.0) - Optional_t<double>(2.5)));
  EXPECT_FALSE((none - Optional_t<double>(1.0)).IsPresent());
  EXPECT_FALSE((Optional_t<double>(1.0) - none).IsPresent());
  EXPECT_FALSE((none - none).IsPresent());
}

}  // namespace

namespace {

// Small values are held inside the optional, strings in a heap cell: both
// behave the same way when copied and moved.
TEST(Optional, MovesLeaveTheSourceAbsent) {
  Optional_t<double> number(2.5);
  Optional_t<double> numberCopy(number);
  *numberCopy = 3.5;
  Optional_t<double> movedNumber(std::move(number));
  EXPECT_FALSE(number.IsPresent());  // NOLINT: the state after a move is part of the contract
  EXPECT_EQ(2.5, *movedNumber);
  EXPECT_EQ(3.5, *numberCopy);
  numberCopy = std::move(movedNumber);
  EXPECT_FALSE(movedNumber.IsPresent());  // NOLINT
  EXPECT_EQ(2.5, *numberCopy);

  Optional_t<std::string> text(std::string("cell"));
  Optional_t<std::string> movedText;
  movedText = std::move(text);
  EXPECT_FALSE(text.IsPresent());  // NOLINT
  EXPECT_EQ("cell", *movedText);
}

}  // namespace
