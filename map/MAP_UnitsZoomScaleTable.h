#pragma once
// Zoom steps: for each distance unit system and elevation unit a fixed ladder of
// round lengths in that unit, used to pick the scale of a map or graph axis and to
// label it.
#include <string>
#include <vector>

#include "mat/MAT_UnitConverter.h"
#include "mat/MAT_Units.h"

namespace map {

class UnitsZoomScaleIntf_t {
 public:
  virtual ~UnitsZoomScaleIntf_t() = default;
  // The index of the step whose scale (semicircles) is nearest to 'scale', the
  // lower one of two equally near; 'scale' becomes that step's scale.
  virtual int NearestStep(double& scale) const = 0;
  // count × the step's length, in the user's current unit.
  virtual std::string FormatLength(int index, int count) const = 0;
  // The step's length in semicircles.
  virtual double GetScaleAt(int index) const = 0;
  virtual int GetCount() const = 0;
  // 100 × the step's length, in the user's current unit.
  virtual std::string FormatStepText(int index) const = 0;
  // The step in the table's unit.
  virtual double GetStep(int index) const = 0;
};

// A ladder of steps in one unit. Indexes are not checked: callers pass indexes
// below GetCount().
class UnitsZoomScale_t : public UnitsZoomScaleIntf_t {
 public:
  // 'unitPerSemicircle': the length in the table's unit of one semicircle (2^-32
  // of the equator's circumference); 'steps' ascending and not empty.
  UnitsZoomScale_t(double unitPerSemicircle, const std::vector<double>& steps);

  int NearestStep(double& scale) const override;
  double GetScaleAt(int index) const override;
  int GetCount() const override;
  double GetStep(int index) const override;
  // The raw step, through which the labels read it.
  virtual double RawStep(int index) const;

  double UnitPerSemicircle() const { return m_unitPerSemicircle; }

 private:
  double m_unitPerSemicircle;
  std::vector<double> m_steps;
};

// Steps whose lengths are labelled in one of the user's units.
class LabelledZoomScale_t : public UnitsZoomScale_t {
 public:
  LabelledZoomScale_t(double metresPerUnit, double unitPerSemicircle, const std::vector<double>& steps)
      : UnitsZoomScale_t(unitPerSemicircle, steps), m_metresPerUnit(metresPerUnit) {}

  // In general notation, through the converter of the user's current unit.
  std::string FormatLength(int index, int count) const override;
  std::string FormatStepText(int index) const override;
  double MetresPerUnit() const { return m_metresPerUnit; }

 protected:
  virtual const mat::UnitConverter_t& UsersConverter() const = 0;

 private:
  double m_metresPerUnit;
};

// Distance steps, labelled in the user's distance unit system.
class DistanceZoomScale_t : public LabelledZoomScale_t {
 public:
  using LabelledZoomScale_t::LabelledZoomScale_t;

 protected:
  const mat::UnitConverter_t& UsersConverter() const override;
};

// Elevation steps, labelled in the user's elevation unit.
class ElevationZoomScale_t : public LabelledZoomScale_t {
 public:
  using LabelledZoomScale_t::LabelledZoomScale_t;

 protected:
  const mat::UnitConverter_t& UsersConverter() const override;
};

// The built-in ladders: Statute (miles), Metric (km) and Nautical (nautical
// miles) distances; feet and metres elevations.
class UnitsZoomScaleTable_t {
 public:
  UnitsZoomScaleTable_t();
  // glo::OutOfRange_t for a unit without a ladder.
  const DistanceZoomScale_t& FindDistance(mat::DistUnitsTypes_t units) const;
  const ElevationZoomScale_t& FindElevation(mat::ElevationUnits_t units) const;

 private:
  std::vector<std::pair<mat::DistUnitsTypes_t, DistanceZoomScale_t>> m_distances;
  std::vector<std::pair<mat::ElevationUnits_t, ElevationZoomScale_t>> m_elevations;
};

// The process-wide table, built on first use.
const UnitsZoomScaleTable_t& GetUnitsZoomScaleTable();

// The equator's circumference in metres (WGS 84, radius 6378137 m).
constexpr double kEquatorCircumference = 40075016.68557844;

}  // namespace map
