// The map window's point step, its symbol images, the marked point of the
// hover tip, the position grid, the cursor and the feature menu's commands.
#include <memory>

#include "geo/GEO_LatLon.h"
#include "glo/GLO_Exception.h"
#include "map/MAP_Color.h"
#include "map/MAP_Dymo.h"
#include "map/MAP_Label.h"
#include "map/MAP_Window.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Marine.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_InputProbe.h"

namespace map {

namespace {

// The attribute classes that the symbols and labels look at.
constexpr std::uint8_t kClassDepth = 2, kClassHeight = 3, kClassColour = 5, kClassLight = 7, kClassPattern = 8,
                       kClassMark = 9;

geo::Position_t PositionOf(const mpl::Point_t& point) {
  return geo::Position_t(point.record.lat, point.record.lon);
}

// What the symbol of a point depends on, from its record and its attribute
// record (class in byte 0, the class's fields from byte 4 on).
SymbolPoint_t SymbolPointOf(const mpl::Point_t& point) {
  SymbolPoint_t s;
  s.type = point.record.type;
  s.subtype = static_cast<std::uint8_t>(point.record.subtype);
  const mpl::MdbAuxInfo_t& aux = point.aux;
  s.attrClass = aux.bytes[0];
  switch (s.attrClass) {
    case kClassLight:
      s.lightCode = aux.bytes[4];
      s.link = mpl::MdbAuxGet32(aux, 36);
      break;
    case kClassPattern:
    case kClassMark:
      s.code1 = aux.bytes[4];
      s.code2 = aux.bytes[5];
      break;
    default: break;
  }
  return s;
}

// What the label of a point depends on: measured values (unit code at byte 4,
// the value at 8) and the map colour of colour-coded points (index at byte 4).
PointLabelRecord_t PointLabelRecordOf(const mpl::Point_t& point, int scheme) {
  PointLabelRecord_t r;
  r.symbol = SymbolPointOf(point);
  r.labelId = point.record.label == mpl::kMdbNone ? 0 : point.record.label;
  const std::uint8_t cls = r.symbol.attrClass;
  if (cls == kClassDepth || cls == kClassHeight) {
    r.unitCode = point.aux.bytes[4];
    r.value = static_cast<std::int32_t>(mpl::MdbAuxGet32(point.aux, 8));
  } else if (cls == kClassColour) {
    r.colour = GetColor(point.aux.bytes[4], scheme);
  }
  return r;
}

// The label texts of one point of a map: its label with the rule's flags,
// and the text of its label reference for the flags 1 of spot heights.
class PointLabels_t : public LabelSource_t {
 public:
  PointLabels_t(mpl::Map_t& map, const mpl::MdbPointRecord_t& point) : m_map(map), m_point(point) {}
  std::string GetLabelText(std::uint32_t labelId, std::uint32_t flags) override {
    if (flags == 1) return m_map.GetLabelText(labelId, flags);
    return m_map.GetPointLabel(m_point, flags).first;
  }

 private:
  mpl::Map_t& m_map;
  const mpl::MdbPointRecord_t& m_point;
};

}  // namespace

ImageList_t& Window_t::GetSymbolImages() {
  if (!m_symbolImages)
    m_symbolImages = std::make_unique<ImageList_t>(plat::GetResourceHandle(), kSymbolStripId, kSymbolImageSize);
  return *m_symbolImages;
}

ImageList_t& Window_t::GetLabelImages() {
  if (!m_labelImages)
    m_labelImages = std::make_unique<ImageList_t>(plat::GetResourceHandle(), kShieldStripId, kShieldImageSize);
  return *m_labelImages;
}

void Window_t::DrawPoint(plat::Dc_t& windowDc, plat::Dc_t& target, const mpl::Point_t& point, mpl::Map_t& map,
                         Dymo_t* grid) {
  const plat::POINT screen = m_projector.PositionToScreen(PositionOf(point));
  const SymbolPoint_t symbol = SymbolPointOf(point);
  const PointIcon_t icon(symbol, screen, GetSymbolImages());
  icon.Draw(target);
  if (symbol.attrClass == kClassLight && !IsTracking()) DrawLightSectors(target, point, map);
  CheckRenderProgress(windowDc);
  if (grid == nullptr) return;
  PointLabels_t labels(map, point.record);
  grid->AddPointLabel(target, labels, PointLabelRecordOf(point, GetColorScheme()), screen, icon.Index());
}

void Window_t::SetHoverTip(const std::string& text, const mpl::Point_t& point) {
  const geo::Position_t position = PositionOf(point);
  ImageList_t& symbols = GetSymbolImages();
  const PointIcon_t icon(SymbolPointOf(point), m_projector.PositionToScreen(position), symbols);
  if (icon.Index() != 0)
    m_hoverTip.SetWithIcon(*this, text, position, symbols.GetPlatformList(), icon.Index());
  else
    m_hoverTip.Set(*this, text, position);
}

geo::Grid_t& Window_t::GetGrid() {
  static geo::LatLonDegMins_t grid;
  return grid;
}

void Window_t::DerivedOperation() { throw glo::Assert_t(GLO_SRC); }

bool Window_t::OnSetCursor(plat::HWND window, unsigned hitTest, unsigned mouseMessage) {
  if (hitTest != kHtClient || !m_interactive) return false;
  if (m_tool != nullptr) return m_tool->OnSetCursor(window, hitTest, mouseMessage);
  return true;
}

bool Window_t::OnUpdateCommand(plat::CmdUI_t& ui) {
  if (ui.GetId() == kCmdCentreOnFeature || ui.GetId() == kCmdFeatureProperties) {
    ui.Enable(true);
    return true;
  }
  return afx::WheelSupportWindow_t::OnUpdateCommand(ui);
}

bool Window_t::ControlAndGDownNow(const std::vector<plat::QueuedInput_t>& input) {
  if ((plat::GetAsyncModifiers() & plat::kMkControl) == 0) return false;
  for (auto q = input.rbegin(); q != input.rend(); ++q)
    if (q->key == 'G' && (q->message == plat::kWmKeyDown || q->message == plat::kWmKeyUp))
      return q->message == plat::kWmKeyDown;
  return false;
}

}  // namespace map
