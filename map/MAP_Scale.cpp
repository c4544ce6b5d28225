#include "map/MAP_Scale.h"

#include "glo/GLO_Exception.h"
#include "map/MAP_Registry.h"

namespace map {

Scale_t::Scale_t(Projector_t& projector, int stepIndex)
    : m_stepIndex(stepIndex), m_projector(&projector), m_steps(GetRegistry().DistanceZoomScale()) {
  if (stepIndex < 0 || stepIndex >= GetCount()) throw glo::OutOfRange_t(GLO_SRC);
  Apply();
}

void Scale_t::SetScale(double scale) {
  double nearest = scale;
  m_stepIndex = m_steps.NearestStep(nearest);
  Apply();
}

void Scale_t::SetUnits() {
  m_steps = GetUnitsZoomScaleTable().FindDistance(GetRegistry().DistanceUnitsType.Value());
  SetScale(m_projector->GetScale());
}

void Scale_t::FitBox(const geo::Box_t& box) {
  if (box.IsEmpty()) return;
  m_projector->SetCenter(box.GetCenter());
  const plat::RECT client = m_projector->GetClientRect();
  const int width = client.right - client.left, height = client.bottom - client.top;
  if (m_stepIndex != 0) {
    m_stepIndex = 0;
    Apply();
  }
  const geo::Position_t extent = box.GetExtent();
  while (m_stepIndex != GetCount() - 1) {
    const plat::SIZE pixels = m_projector->ExtentToPixels(extent);
    if (pixels.cx < width && pixels.cy < height) break;
    ++m_stepIndex;
    Apply();
  }
}

void Scale_t::SetStepFromCoarsest(int n) {
  if (n < 0 || n >= GetCount()) throw glo::OutOfRange_t(GLO_SRC);
  m_stepIndex = GetCount() - 1 - n;
  Apply();
}

void Scale_t::ToCoarsest() {
  if (AtCoarsest()) return;
  m_stepIndex = GetCount() - 1;
  Apply();
}

void Scale_t::SetStepIndex(int index) {
  if (index < 0 || index >= GetCount()) throw glo::OutOfRange_t(GLO_SRC);
  m_stepIndex = index;
  Apply();
}

double MdbUnitsToMetres(double value, int unitCode) {
  switch (unitCode) {
    case 0: return value * 0.3048;
    case 1: return value * 0.03048;
    case 2: return value;
    case 3: return value * 0.1;
    case 4: return value * 1.8288;
    default: throw glo::Assert_t(GLO_SRC);
  }
}

}  // namespace map
