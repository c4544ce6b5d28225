#pragma once
// The zoom state of a map window: an index into the zoom steps of the user's
// distance unit, bound to the window's projector so that the projector's scale
// is always one of the steps.
#include <string>

#include "geo/GEO_Box.h"
#include "glo/GLO_NonCopyable.h"
#include "map/MAP_Projector.h"
#include "map/MAP_UnitsZoomScaleTable.h"

namespace map {

class Scale_t : private glo::NonCopyable_t {
 public:
  // Copies the steps of the user's distance unit and sets the projector's
  // scale to step 'stepIndex' (0 is the finest).
  Scale_t(Projector_t& projector, int stepIndex);
  virtual ~Scale_t() = default;

  // The step nearest to the scale (semicircles per pixel; ties keep the finer
  // step) becomes current.
  virtual void SetScale(double scale);

  // Reloads the steps of the user's current distance unit (glo::OutOfRange_t for
  // a unit without steps) and keeps the step nearest to the present scale.
  void SetUnits();
  // The finest step at which the whole box fits strictly inside the client
  // rectangle (else the coarsest), centred on the box; nothing for an empty box.
  void FitBox(const geo::Box_t& box);
  // Step count - 1 - n; glo::OutOfRange_t when n is not below the count.
  void SetStepFromCoarsest(int n);
  void ToCoarsest();
  bool AtCoarsest() const { return m_stepIndex == GetCount() - 1; }
  // What the 100-pixel scale bar measures at the current step.
  std::string GetStepText() const { return m_steps.FormatStepText(m_stepIndex); }

  int GetStepIndex() const { return m_stepIndex; }
  // Makes step 'index' current (0 ... count - 1; glo::OutOfRange_t otherwise).
  void SetStepIndex(int index);
  int GetCount() const { return m_steps.GetCount(); }
  const DistanceZoomScale_t& GetSteps() const { return m_steps; }

 private:
  void Apply() { m_projector->SetScale(m_steps.GetScaleAt(m_stepIndex)); }

  int m_stepIndex;
  Projector_t* m_projector;
  DistanceZoomScale_t m_steps;
};

// A stored depth, height or range in metres by its unit code: 0 feet, 1 tenths
// of a foot, 2 metres, 3 decimetres, 4 fathoms; glo::Assert_t for another code.
double MdbUnitsToMetres(double value, int unitCode);

}  // namespace map
