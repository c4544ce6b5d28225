#pragma once
// Compass directions and their abbreviations ("N", "NE"...), which the latitude
// and longitude parser reads as hemisphere letters. The texts come from the
// language module.
#include <string>

#include "glo/GLO_Exception.h"
#include "glo/GLO_TwoWayLookupTable.h"

namespace geo {

// A text that is no compass-direction abbreviation.
class CardinalDirectionsAbbreviationNotFound_t : public glo::OutOfRange_t {
 public:
  CardinalDirectionsAbbreviationNotFound_t(const char* file, int line) : glo::OutOfRange_t(file, line) {}
};

class CardinalDirection_t {
 public:
  enum CardinalDirections_t {
    North = 0,
    NorthEast = 1,
    East = 2,
    SouthEast = 3,
    South = 4,
    SouthWest = 5,
    West = 6,
    NorthWest = 7,
  };

  explicit CardinalDirection_t(CardinalDirections_t value = North) : m_value(value) {}

  CardinalDirections_t Get() const { return m_value; }
  void Set(CardinalDirections_t value) { m_value = value; }

  // The direction whose abbreviation is exactly the text (case-sensitive); no
  // such direction throws CardinalDirectionsAbbreviationNotFound_t and keeps
  // the value.
  void SetFromAbbreviation(const std::string& text);
  void SetFromAbbreviation(char c);

  // The abbreviation of the value.
  const std::string& GetAbbreviation() const;

 private:
  CardinalDirections_t m_value;
};

using CardinalDirectionTable_t = glo::TwoWayLookupTable_t<CardinalDirection_t::CardinalDirections_t, std::string>;

// The eight directions and their abbreviations, in the order north, north-east,
// east, ... north-west; loaded from the language module on first use (a
// failure there propagates, and the next call tries again).
const CardinalDirectionTable_t& GetCardinalDirectionTable();

// True when the one-character text of c is a direction's abbreviation.
bool IsCardinalAbbreviation(char c);

}  // namespace geo
