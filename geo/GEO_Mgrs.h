#pragma once
// The military grid reference system: UTM zone and band with two 100 km square
// letters and the digits within the square ('33UXP0451268020'); UPS with its
// own square letters in the polar areas ('ZGC0451268020', written without a
// zone number).
#include "geo/GEO_Ups.h"
#include "geo/GEO_Utm.h"

namespace geo {

class Mgrs_t : public UtmBase_t, public Grid_t {
 public:
  static constexpr char PolarColumnLetters[] = "ABCFGHJKLPQRSTUXYZ";

  ~Mgrs_t() override = default;

  GridText_t Format(const Position_t& position, const Datum_t& datum) const override;
  // Letters may be given in either case. A polar text may carry a zone number
  // from 1 to 60 in front; it is not used.
  Position_t Parse(const GridText_t& text, const Datum_t& datum) const override;
  int GetTypeId() const override { return 19; }
  double GetConvergence(const Position_t& position, const Datum_t& datum) const override;

  // The offset of the row letters: 5 in even zones, plus 10 on the datums of the
  // older ellipsoids.
  static int GetRowOffset(const Datum_t& datum, int zone);
  // The lowest 100 km row (northing / 100000) that lies in a band C to X.
  static int LowestRow(char band);
  // The value of one half of the digits: the number scaled to metres.
  static double ParseDigits(const std::string& digits);
  // The place of an upper-case polar column letter; any other character throws
  // glo::InvalidInput_t with string 5276 formatted with the character.
  static int PolarColumnIndex(char letter);

 private:
  Ups_t m_ups;
  Utm_t m_utm;
};

}  // namespace geo
