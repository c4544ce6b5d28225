#include <gtest/gtest.h>

#include <set>

#include "gdb/GDB_Symbol.h"
#include "glo/GLO_StringResource.h"

namespace {

TEST(Symbol, NameStringIds) {
  struct Case_t {
    int symbol;
    unsigned id;
  };
  const Case_t cases[] = {
      {0, 4720},   {18, 4738},  {118, 4838}, {119, 5067}, {121, 5069}, {122, 5076},
      {123, 5070}, {128, 5075}, {129, 5077}, {139, 5087}, {140, 5091}, {148, 5099},
      {149, 7500}, {154, 7505}, {155, 7510}, {220, 7575},
  };
  for (const Case_t& c : cases)
    EXPECT_EQ(gdb::SymbolNameStringId(static_cast<gdb::Symbol_t>(c.symbol)), c.id) << c.symbol;
  EXPECT_THROW(gdb::SymbolNameStringId(static_cast<gdb::Symbol_t>(221)), glo::OutOfRange_t);
  EXPECT_THROW(gdb::SymbolNameStringId(static_cast<gdb::Symbol_t>(-1)), glo::OutOfRange_t);
}

TEST(Symbol, EverySymbolHasItsOwnName) {
  const gdb::SymbolNames_t& names = gdb::GetSymbolNames();
  ASSERT_EQ(names.size(), 221u);
  std::set<std::string> distinct;
  for (const auto& [symbol, name] : names) {
    EXPECT_FALSE(name.empty()) << symbol;
    distinct.insert(name);
  }
  EXPECT_EQ(distinct.size(), 221u);
  EXPECT_EQ(&names, &gdb::GetSymbolNames());  // built once
  EXPECT_EQ(&names, &gdb::GetSymbolNameIds());
  // The string ids are not in symbol order around 122 and 123.
  EXPECT_EQ(names.at(static_cast<gdb::Symbol_t>(122)), glo::StringResource_t(5076, GLO_SRC).Text());
  EXPECT_EQ(names.at(static_cast<gdb::Symbol_t>(123)), glo::StringResource_t(5070, GLO_SRC).Text());
  EXPECT_EQ(names.at(gdb::Symbol_Default), glo::StringResource_t(4738, GLO_SRC).Text());
}

TEST(Symbol, FeatureKinds) {
  const gdb::FeatureSymbolMap_t& map = gdb::GetFeatureSymbolMap();
  EXPECT_EQ(map.size(), 25u);
  struct Case_t {
    int kind;
    int symbol;
  };
  const Case_t cases[] = {
      {2, 0},   {3, 38},  {7, 58},  {8, 107}, {9, 73},  {13, 90}, {23, 88}, {32, 68},
      {34, 45}, {0, 18},  {1, 18},  {24, 18}, {31, 18}, {35, 18}, {-5, 18}, {1000, 18},
  };
  for (const Case_t& c : cases) EXPECT_EQ(map.Find(c.kind), c.symbol) << c.kind;
}

}  // namespace
