#include "map/MAP_UnitsZoomScaleTable.h"

#include <cmath>

#include "glo/GLO_Exception.h"
#include "map/MAP_Registry.h"

namespace map {

namespace {

constexpr double kSemicirclesPerCircle = 4294967296.0;  // 2^32

// The circumference in a unit, as the length of one semicircle.
double PerSemicircle(double circumferenceInUnit) { return circumferenceInUnit / kSemicirclesPerCircle; }

// 0.8 to 8 feet in a unit of 'feetPerUnit' feet, then the ladder shared by miles.
std::vector<double> MileSteps(double feetPerUnit) {
  std::vector<double> steps;
  for (double feet : {0.8, 1.2, 2.0, 3.0, 5.0, 8.0}) steps.push_back(feet / feetPerUnit);
  for (double miles : {0.002, 0.003, 0.005, 0.007, 0.01, 0.015, 0.02, 0.03, 0.05, 0.07, 0.1, 0.15,
                       0.2,   0.3,   0.5,   0.7,   1.0,  1.5,   2.0,  3.0,  5.0,  7.0,  10.0, 15.0})
    steps.push_back(miles);
  return steps;
}

}  // namespace

UnitsZoomScale_t::UnitsZoomScale_t(double unitPerSemicircle, const std::vector<double>& steps)
    : m_unitPerSemicircle(unitPerSemicircle), m_steps(steps) {
  GLO_ASSERT(!m_steps.empty());
}

int UnitsZoomScale_t::NearestStep(double& scale) const {
  int result = 0;
  double best = std::fabs(GetScaleAt(0) - scale);
  for (int i = 0; i < GetCount(); ++i) {
    const double distance = std::fabs(GetScaleAt(i) - scale);
    if (distance < best) {
      best = distance;
      result = i;
    }
  }
  scale = GetScaleAt(result);
  return result;
}

double UnitsZoomScale_t::GetScaleAt(int index) const { return GetStep(index) / m_unitPerSemicircle; }

int UnitsZoomScale_t::GetCount() const { return static_cast<int>(m_steps.size()); }

double UnitsZoomScale_t::GetStep(int index) const { return m_steps[static_cast<size_t>(index)]; }

double UnitsZoomScale_t::RawStep(int index) const { return m_steps[static_cast<size_t>(index)]; }

std::string LabelledZoomScale_t::FormatLength(int index, int count) const {
  return UsersConverter().Format(count * RawStep(index) * m_metresPerUnit, false);
}

std::string LabelledZoomScale_t::FormatStepText(int index) const { return FormatLength(index, 100); }

const mat::UnitConverter_t& DistanceZoomScale_t::UsersConverter() const { return GetDistanceConverter(); }

const mat::UnitConverter_t& ElevationZoomScale_t::UsersConverter() const {
  return GetRegistry().ElevationUnitsEntry();
}

UnitsZoomScaleTable_t::UnitsZoomScaleTable_t() {
  using mat::DistUnitsTypes_t;
  using mat::ElevationUnits_t;
  const double c = kEquatorCircumference;
  m_distances.emplace_back(DistUnitsTypes_t::Statute,
                           DistanceZoomScale_t(1609.344, PerSemicircle(c / 1609.344), MileSteps(5280.0)));
  m_distances.emplace_back(
      DistUnitsTypes_t::Metric,
      DistanceZoomScale_t(1000.0, PerSemicircle(c * 0.001),
                          {0.0002, 0.0003, 0.0005, 0.0007, 0.001, 0.0015, 0.002, 0.003, 0.005, 0.007, 0.01,
                           0.015,  0.02,   0.03,   0.05,   0.07,  0.1,    0.15,  0.2,   0.3,   0.5,   0.7,
                           1.0,    1.5,    2.0,    3.0,    5.0,   7.0,    10.0,  15.0,  20.0,  30.0}));
  m_distances.emplace_back(DistUnitsTypes_t::Nautical,
                           DistanceZoomScale_t(1852.0, PerSemicircle(c * 0.0005399568034557236),
                                               MileSteps(6076.1154855643035)));
  m_elevations.emplace_back(ElevationUnits_t::Feet,
                            ElevationZoomScale_t(0.3048, PerSemicircle(c * 3.280839895013123),
                                                 {1, 1.5, 2.5, 4, 6, 10, 15, 25, 40, 60, 100, 150, 250, 400, 600, 1000}));
  m_elevations.emplace_back(ElevationUnits_t::Metres,
                            ElevationZoomScale_t(1.0, PerSemicircle(c),
                                                 {0.4, 0.6, 1, 1.5, 2.5, 4, 6, 10, 15, 25, 40, 60, 100, 150, 250, 400}));
}

const DistanceZoomScale_t& UnitsZoomScaleTable_t::FindDistance(mat::DistUnitsTypes_t units) const {
  for (const auto& [key, scale] : m_distances)
    if (key == units) return scale;
  throw glo::OutOfRange_t(GLO_SRC);
}

const ElevationZoomScale_t& UnitsZoomScaleTable_t::FindElevation(mat::ElevationUnits_t units) const {
  for (const auto& [key, scale] : m_elevations)
    if (key == units) return scale;
  throw glo::OutOfRange_t(GLO_SRC);
}

const UnitsZoomScaleTable_t& GetUnitsZoomScaleTable() {
  static const UnitsZoomScaleTable_t table;
  return table;
}

}  // namespace map
