#pragma once
// The Maidenhead locator: six characters, field letters A to R, square digits and
// subsquare letters A to X, longitude first ('JN58TD').
#include "geo/GEO_Grid.h"

namespace geo {

class Maidenhead_t : public Grid_t {
 public:
  // A latitude of 90 degrees is written in the northernmost subsquare.
  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  // The centre of the subsquare; characters after the sixth are ignored.
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 18; }
  double GetConvergence(const Position_t&, const Datum_t&) const override { return 0.0; }
};

}  // namespace geo
