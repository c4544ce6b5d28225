#pragma once
// Lengths held in metres as text in a unit and back: a conversion by two factors
// (a small and a large unit) and the unit entry that picks between them.
#include <string>

#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Optional.h"

namespace mat {

// A conversion between the base unit (metres) and a small and a large unit, each
// factor being the size of one unit in metres.
class ConversionFunctor_t {
 public:
  ConversionFunctor_t(double smallFactor, double largeFactor) : m_small(smallFactor), m_large(largeFactor) {}
  virtual ~ConversionFunctor_t() = default;

  virtual double LargeToBase(double x) const { return x * m_large; }
  virtual double SmallToBase(double x) const { return x * m_small; }
  virtual double BaseToLarge(double x) const { return x / m_large; }
  virtual double BaseToSmall(double x) const { return x / m_small; }
  // A new functor with the same two factors.
  virtual ConversionFunctor_t* Clone() const { return new ConversionFunctor_t(m_small, m_large); }

 private:
  double m_small;
  double m_large;
};

// One unit choice: values above the switch threshold (metres) are shown in the
// large unit, others in the small unit, each with its significant digits.
class UnitConverter_t {
 public:
  UnitConverter_t(const std::string& smallText, const std::string& largeText, const ConversionFunctor_t& conversion,
                  double switchThreshold, int smallDigits, int largeDigits);
  // Copies own their own clone of the functor.
  UnitConverter_t(const UnitConverter_t& other);
  UnitConverter_t& operator=(const UnitConverter_t& other);

  // The value in the large unit when it is above the switch threshold, else in the
  // small unit, followed by one space and the unit's text. With 'fixed' in fixed
  // notation with 'precision' decimals, or by default the decimals that show the
  // unit's significant digits; without it in the stream's general notation.
  std::string Format(double metres, bool fixed, const glo::Optional_t<int>& precision = {}) const;
  // The number alone, in the large or the small unit.
  std::string FormatLarge(double metres, bool fixed, const glo::Optional_t<int>& precision = {}) const;
  std::string FormatSmall(double metres, bool fixed, const glo::Optional_t<int>& precision = {}) const;

  std::string GetLargeUnitName() const { return m_largeText; }
  std::string GetSmallUnitName() const { return m_smallText; }

  // The text read as a number in the small unit (ParseNumber), in metres.
  double Convert(const std::string& text) const;

  // The conversion; glo::Assert_t when the entry has none.
  const ConversionFunctor_t& Conversion() const { return *m_conversion; }
  double SwitchThreshold() const { return m_switchThreshold; }
  int SmallDigits() const { return m_smallDigits; }
  int LargeDigits() const { return m_largeDigits; }

 private:
  std::string m_smallText;
  std::string m_largeText;
  glo::AutoPtr_t<ConversionFunctor_t> m_conversion;
  double m_switchThreshold;
  int m_smallDigits;
  int m_largeDigits;
};

// Reads one number (leading white space skipped) that must be the whole text:
// glo::InvalidInput_t with text 8008 when there is no number, 8009 when anything
// follows it (white space included).
double ParseNumber(const std::string& text);

// The value in fixed notation with 'precision' decimals, or 'defaultDecimals' when
// no precision is given; without 'fixed' in general notation of 6 significant
// digits. Never depends on the process's locale.
std::string FormatNumber(double value, bool fixed, const glo::Optional_t<int>& precision, int defaultDecimals);

}  // namespace mat
