// The byte stack of a call: every value encoding round trips, and popping what
// is not there is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dio/DIO_Exception.h"
#include "dio/DIO_Stack.h"

namespace {

std::string Printable() {
  std::string s;
  for (int c = 32; c < 127; ++c) s.push_back(static_cast<char>(c));
  return s + "\xC3\xA4\xE2\x82\xAC";  // and bytes above 127
}

TEST(StackTest, StringsCrossUnchangedAndInOrder) {
  const std::vector<std::vector<std::string>> lists = {
      {}, {""}, {Printable()}, {"COM1", "COM2", "/dev/pts/7"}, {"a", "", "b"}};
  for (const auto& list : lists) {
    dio::Stack_t stack;
    stack.PushStrings(list);
    EXPECT_EQ(stack.PopStrings(), list);
    EXPECT_TRUE(stack.IsEmpty());
  }
  dio::Stack_t stack;
  stack.PushString("");
  EXPECT_EQ(stack.Size(), 1u);  // a single NUL
  stack.PushString("ab");
  // The first character lies on top.
  char top = 0;
  stack.Pop(&top, 1);
  EXPECT_EQ(top, 'a');
}

TEST(StackTest, NumbersAndValuesInOrderOfPushing) {
  dio::Stack_t stack;
  stack.PushU32(0x12345678u);
  stack.PushU16(0xBEEF);
  stack.PushString("text");
  stack.PushU32(0xFFFFFFFFu);
  EXPECT_EQ(stack.PopU32(), 0xFFFFFFFFu);
  EXPECT_EQ(stack.PopString(), "text");
  EXPECT_EQ(stack.PopU16(), 0xBEEF);
  EXPECT_EQ(stack.PopU32(), 0x12345678u);
  EXPECT_TRUE(stack.IsEmpty());
}

TEST(StackTest, RegionInformationKeepsItsRangeOnTheWayBack) {
  ioa::VmapRgnInfo_t region;
  region.first = 0xFFFF;
  region.second = 0xFFFF;
  region.third = 0xDEADBEEF;
  region.kind = 4;
  dio::Stack_t stack;
  stack.PushRegion(region);
  const ioa::VmapRgnInfo_t back = stack.PopRegion();
  EXPECT_EQ(back.first, region.first);
  EXPECT_EQ(back.second, region.second);
  EXPECT_EQ(back.third, region.third);
  EXPECT_EQ(back.kind, region.kind);
  EXPECT_TRUE(stack.IsEmpty());

  // A second value of 65536 does not fit the region information.
  dio::Stack_t bad;
  bad.PushU16(1);
  bad.PushU32(65536);
  bad.PushU32(3);
  bad.PushU32(0);
  EXPECT_THROW(bad.PopRegion(), glo::OutOfRange_t);
}

TEST(StackTest, UnderflowIsACallPathFault) {
  dio::Stack_t stack;
  EXPECT_THROW(stack.PopString(), dio::Exception_t);
  stack.PushU16(7);
  EXPECT_THROW(stack.PopU32(), dio::Exception_t);
  dio::Stack_t unterminated;
  const char bytes[] = {'x', 'y'};
  unterminated.Push(bytes, 2);
  EXPECT_THROW(unterminated.PopString(), dio::Exception_t);
  EXPECT_THROW(unterminated.SignalDone(), dio::Exception_t);  // no access point carries it
}

}  // namespace
