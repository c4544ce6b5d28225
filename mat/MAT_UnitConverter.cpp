#include "mat/MAT_UnitConverter.h"

#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_StringReplace.h"

namespace mat {

UnitConverter_t::UnitConverter_t(const std::string& smallText, const std::string& largeText,
                                 const ConversionFunctor_t& conversion, double switchThreshold, int smallDigits,
                                 int largeDigits)
    : m_smallText(smallText),
      m_largeText(largeText),
      m_conversion(conversion.Clone()),
      m_switchThreshold(switchThreshold),
      m_smallDigits(smallDigits),
      m_largeDigits(largeDigits) {}

UnitConverter_t::UnitConverter_t(const UnitConverter_t& other)
    : m_smallText(other.m_smallText),
      m_largeText(other.m_largeText),
      m_conversion(other.m_conversion ? other.m_conversion->Clone() : nullptr),
      m_switchThreshold(other.m_switchThreshold),
      m_smallDigits(other.m_smallDigits),
      m_largeDigits(other.m_largeDigits) {}

UnitConverter_t& UnitConverter_t::operator=(const UnitConverter_t& other) {
  if (this != &other) {
    UnitConverter_t copy(other);
    m_smallText.swap(copy.m_smallText);
    m_largeText.swap(copy.m_largeText);
    m_conversion = std::move(copy.m_conversion);
    m_switchThreshold = copy.m_switchThreshold;
    m_smallDigits = copy.m_smallDigits;
    m_largeDigits = copy.m_largeDigits;
  }
  return *this;
}

std::string UnitConverter_t::Format(double metres, bool fixed, const glo::Optional_t<int>& precision) const {
  if (metres > m_switchThreshold) return FormatLarge(metres, fixed, precision) + ' ' + m_largeText;
  return FormatSmall(metres, fixed, precision) + ' ' + m_smallText;
}

std::string UnitConverter_t::FormatLarge(double metres, bool fixed, const glo::Optional_t<int>& precision) const {
  const double value = Conversion().BaseToLarge(metres);
  return FormatNumber(value, fixed, precision, glo::DecimalsForDigits(value, m_largeDigits));
}

std::string UnitConverter_t::FormatSmall(double metres, bool fixed, const glo::Optional_t<int>& precision) const {
  const double value = Conversion().BaseToSmall(metres);
  return FormatNumber(value, fixed, precision, glo::DecimalsForDigits(value, m_smallDigits));
}

double UnitConverter_t::Convert(const std::string& text) const { return Conversion().SmallToBase(ParseNumber(text)); }

double ParseNumber(const std::string& text) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double value = 0;
  if (!(in >> value)) throw glo::InvalidInput_t(8008, GLO_SRC);
  if (in.peek() != std::char_traits<char>::eof()) throw glo::InvalidInput_t(8009, GLO_SRC);
  return value;
}

std::string FormatNumber(double value, bool fixed, const glo::Optional_t<int>& precision, int defaultDecimals) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  if (fixed) out << std::fixed << std::setprecision(precision.IsPresent() ? precision.Value() : defaultDecimals);
  out << value;
  return out.str();
}

}  // namespace mat
