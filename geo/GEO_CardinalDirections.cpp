#include "geo/GEO_CardinalDirections.h"

#include <sstream>

#include "glo/GLO_StringResource.h"

namespace geo {

namespace {

using Pair_t = CardinalDirectionTable_t::Pair_t;

CardinalDirectionTable_t BuildTable() {
  const Pair_t pairs[] = {
      {CardinalDirection_t::North, glo::StringResource_t(5310, GLO_SRC).Text()},
      {CardinalDirection_t::NorthEast, glo::StringResource_t(5318, GLO_SRC).Text()},
      {CardinalDirection_t::East, glo::StringResource_t(5311, GLO_SRC).Text()},
      {CardinalDirection_t::SouthEast, glo::StringResource_t(5319, GLO_SRC).Text()},
      {CardinalDirection_t::South, glo::StringResource_t(5312, GLO_SRC).Text()},
      {CardinalDirection_t::SouthWest, glo::StringResource_t(5320, GLO_SRC).Text()},
      {CardinalDirection_t::West, glo::StringResource_t(5313, GLO_SRC).Text()},
      {CardinalDirection_t::NorthWest, glo::StringResource_t(5321, GLO_SRC).Text()},
  };
  return CardinalDirectionTable_t(pairs);
}

// The one-character text of a character.
std::string OneCharacter(char c) {
  static const std::string empty;
  std::ostringstream text;
  text << c << empty;
  return text.str();
}

}  // namespace

const CardinalDirectionTable_t& GetCardinalDirectionTable() {
  static const CardinalDirectionTable_t table = BuildTable();
  return table;
}

void CardinalDirection_t::SetFromAbbreviation(const std::string& text) {
  const CardinalDirectionTable_t& table = GetCardinalDirectionTable();
  const auto it = table.FindSecond(text);
  if (it == table.end()) throw CardinalDirectionsAbbreviationNotFound_t(GLO_SRC);
  m_value = it->first;
}

void CardinalDirection_t::SetFromAbbreviation(char c) { SetFromAbbreviation(OneCharacter(c)); }

const std::string& CardinalDirection_t::GetAbbreviation() const {
  const CardinalDirectionTable_t& table = GetCardinalDirectionTable();
  const auto it = table.FindFirst(m_value);
  GLO_ASSERT(it != table.end());
  return it->second;
}

bool IsCardinalAbbreviation(char c) {
  const CardinalDirectionTable_t& table = GetCardinalDirectionTable();
  return table.FindSecond(OneCharacter(c)) != table.end();
}

}  // namespace geo
