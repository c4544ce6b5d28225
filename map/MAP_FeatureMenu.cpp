#include "map/MAP_FeatureMenu.h"

#include <algorithm>
#include <utility>

#include "gdb/GDB_Symbol.h"
#include "geo/GEO_Box.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_FeatureFilters.h"
#include "map/MAP_FeatureHitBuild.h"
#include "map/MAP_ImageList.h"
#include "map/MAP_Nearest.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_App.h"

namespace map {

namespace {

constexpr unsigned kMenuFirstCommand = 6800;

// The texts of the menus, loaded on first use and kept.
const glo::StringResource_t& JunctionSeparator() {
  static const glo::StringResource_t text(4441, GLO_SRC);
  return text;
}
const glo::StringResource_t& FeatureEntryText() {
  static const glo::StringResource_t text(6118, GLO_SRC);
  return text;
}
const glo::StringResource_t& JunctionEntryText() {
  static const glo::StringResource_t text(6119, GLO_SRC);
  return text;
}
const glo::StringResource_t& AddressEntryText() {
  static const glo::StringResource_t text(6120, GLO_SRC);
  return text;
}
const glo::StringResource_t& TideEntryText() {
  static const glo::StringResource_t text(6133, GLO_SRC);
  return text;
}

// The tide stations of a query, at most 25.
std::vector<NrstText_t> TideStations(Nearest_t& query) {
  return query.SearchNameNear(GetTideStationsOnlyFilter(), std::string(), 25);
}

}  // namespace

JunctionMenuEntry_t::JunctionMenuEntry_t(const NrstHit_t& junction) : hit(junction), present(!junction.texts.empty()) {
  if (!present) return;
  text = junction.texts.front();
  for (std::size_t i = 1; i < junction.texts.size(); ++i) text += JunctionSeparator().Text() + junction.texts[i];
}

bool IsJunctionRoadType(std::uint16_t type) { return type >= 1 && type <= 12; }

bool IsAreaKeptBesideOthers(std::uint16_t type, std::uint8_t subtype) {
  return (type == 0x87 || type == 0x81) && subtype == 4;
}

int CentringStepForType(std::uint16_t type) {
  if (type >= 1 && type <= 4) return 15;
  if (type == 5 || type == 6) return 17;
  if (type >= 7 && type <= 9) return 19;
  if (type >= 10 && type <= 13) return 23;
  return -1;
}

void TrimMenuFeatures(FeatureMenu_t& features) {
  if (features.junction.present)
    std::erase_if(features.lines, [](const NrstResult_t& l) { return IsJunctionRoadType(l.ref.type); });
  if (features.GetCount() > features.areas.size())
    std::erase_if(features.areas,
                  [](const NrstLink_t& a) { return !IsAreaKeptBesideOthers(a.ref.type, a.ref.subtype); });
}

bool Window_t::OnRButtonUp(unsigned, plat::POINT point) {
  m_tracking = false;
  if (m_tool == nullptr) return false;
  const plat::RECT globe = m_projector.GetGlobeRect();
  const bool inGlobe = point.x >= globe.left && point.x < globe.right && point.y >= globe.top && point.y < globe.bottom;
  if (!inGlobe || m_tool->IsLeftDown()) {
    m_tool->OnMenuDone();
    return true;
  }
  m_chosenFeature = NrstFeature_t();
  m_menuPoint.Reset();
  const NrstFeatureSaver_t keepFeature(m_chosenFeature);
  const ValueSaver_t<glo::Optional_t<plat::POINT>> keepPoint(m_menuPoint);
  m_menuPoint = point;
  if (ShowFeatureMenu(point)) {
    plat::Menu_t menu;
    FillFeatureMenu(menu, point);
    const unsigned command = plat::TrackPopupMenu(menu, plat::GetMainWnd(), ClientToScreen(point));
    if (ShowFeatureProperties(0, point, command)) m_hoverTip.Clear();
    Invalidate(true);
  } else {
    m_tool->OnMenuDone();
    m_hoverTip.Clear();
    Invalidate(true);
  }
  return true;
}

bool Window_t::ShowFeatureMenu(plat::POINT point) {
  const FeatureMenu_t features = CollectMenuFeatures(point);
  std::size_t index = 0;
  if (features.GetCount() > 1) {
    plat::Menu_t menu;
    BuildFeatureChoiceMenu(features, menu);
    const unsigned result = plat::TrackPopupMenu(menu, plat::GetMainWnd(), ClientToScreen(point));
    if (result == 0) return false;
    index = result - m_menuFirstCommand;
  }
  SelectMenuFeature(features, index, point);
  return true;
}

std::vector<NrstText_t> Window_t::FindTideStationsAt(plat::POINT point, int radius) {
  Nearest_t query = MakeNearestQuery(m_projector.PointToSearchArea(point, radius));
  return TideStations(query);
}

FeatureMenu_t Window_t::CollectMenuFeatures(plat::POINT point) {
  Nearest_t query = MakeNearestQuery(m_projector.PointToSearchArea(point, 8));
  mpl::Filter_t named = GetNamedPointFilter();
  named.Merge(GetNoTideStationsFilter());
  // Points the view does not draw are listed only when the hover tip marks
  // the very position of the click.
  const geo::Box_t clicked(query.point);
  const geo::Position_t& tip = m_hoverTip.GetPosition();
  const bool tipAtClick = !m_hoverTip.IsEmpty() && tip.GetLatitude() >= clicked.GetSouth() &&
                          tip.GetLatitude() <= clicked.GetNorth() && clicked.ContainsLongitude(tip.GetLongitude());
  if (!tipAtClick) named.Merge(GetPointFilter());

  FeatureMenu_t features;
  // What FindTideStationsAt (point, 8) finds, from this query rather than a second one.
  features.tides = TideStations(query);
  features.names = query.SearchNameNear(named, std::string(), 25);
  features.junction = JunctionMenuEntry_t(query.FindNearestJunction());
  features.lines = query.CollectNearbyLines(true, GetNearbyLineFilter());
  features.areas = query.FindFeaturesAt();
  TrimMenuFeatures(features);
  return features;
}

std::string Window_t::EscapeMenuText(const std::string& text) {
  std::string doubled;
  for (const char c : text) {
    doubled += c;
    if (c == '&') doubled += '&';
  }
  std::string result;
  for (std::size_t i = 0; i < doubled.size(); ++i) {
    result += doubled[i];
    if (doubled[i] == '"' && i + 1 < doubled.size() && doubled[i + 1] == '"') ++i;
  }
  return result;
}

std::string Window_t::GetPointMenuText(const NrstText_t& point) {
  const int icon = GetPointIconByType(point.point.type, static_cast<std::uint8_t>(point.point.subtype));
  const gdb::Symbol_t symbol = gdb::GetFeatureSymbolMap().Find(icon);
  if (symbol == gdb::Symbol_Default) return std::string();
  const gdb::SymbolNames_t& names = gdb::GetSymbolNameIds();
  const auto found = names.find(symbol);
  if (found == names.end() || found->second.empty()) return std::string();
  static const glo::StringResource_t format(6160, GLO_SRC);
  return format.FormatArgs({found->second, point.text}, GLO_SRC);
}

void Window_t::BuildFeatureChoiceMenu(const FeatureMenu_t& features, plat::Menu_t& menu) {
  m_menuFirstCommand = kMenuFirstCommand;
  const auto append = [&](const std::string& text) {
    menu.AppendItem(kMenuFirstCommand + static_cast<unsigned>(menu.GetMenuItemCount()), EscapeMenuText(text));
  };
  for (const NrstText_t& name : features.names) {
    const std::string text = GetPointMenuText(name);
    append(text.empty() ? FeatureEntryText().Format(name.text, GLO_SRC) : text);
  }
  for (const NrstText_t& tide : features.tides) append(TideEntryText().Format(tide.text, GLO_SRC));
  if (features.junction.present) append(JunctionEntryText().Format(features.junction.text, GLO_SRC));
  for (const NrstResult_t& line : features.lines)
    append((line.address ? AddressEntryText() : FeatureEntryText()).Format(line.name, GLO_SRC));
  for (const NrstLink_t& area : features.areas) append(FeatureEntryText().Format(area.text, GLO_SRC));
}

void Window_t::SelectMenuFeature(const FeatureMenu_t& features, std::size_t index, plat::POINT point) {
  const auto selectPoint = [&](const NrstText_t& hit) {
    GLO_ASSERT(hit.ref.HasMap());
    const int icon = GetPointIconByType(hit.point.type, static_cast<std::uint8_t>(hit.point.subtype));
    const plat::ImageList_t& symbols = GetSymbolImages().GetPlatformList();
    m_chosenFeature = MakePointFeature(this, hit, &symbols, icon, true);
    const geo::Position_t at(hit.point.lat, hit.point.lon);
    if (icon != 0)
      m_hoverTip.SetWithIcon(*this, hit.text, at, symbols, icon);
    else
      m_hoverTip.Set(*this, hit.text, at);
  };
  if (index < features.names.size()) return selectPoint(features.names[index]);
  index -= features.names.size();
  if (index < features.tides.size()) return selectPoint(features.tides[index]);
  index -= features.tides.size();
  if (features.junction.present) {
    if (index == 0) {
      const NrstHit_t& hit = features.junction.hit;
      m_hoverTip.Set(*this, features.junction.text, hit.position);
      m_chosenFeature = NrstFeature_t(this, NrstFeature_t::Kind_Junction, features.junction.text, hit.ref, nullptr,
                                      -1, hit.position, glo::Optional_t<double>(), std::string());
      return;
    }
    --index;
  }
  if (index < features.lines.size()) {
    const NrstResult_t& line = features.lines[index];
    m_hoverTip.Set(*this, line.name, line.position);
    m_chosenFeature = MakeLineFeature(this, line, true);
    return;
  }
  index -= features.lines.size();
  if (index < features.areas.size()) {
    const NrstLink_t& area = features.areas[index];
    const geo::Position_t at = m_projector.ScreenToPosition(point);
    m_hoverTip.Set(*this, area.text, at);
    m_chosenFeature = MakeAreaFeature(this, area, at);
  }
}

void Window_t::FillFeatureMenu(plat::Menu_t& menu, plat::POINT) {
  const glo::Optional_t<std::string> centre = GetFeatureMenuText();
  const glo::Optional_t<std::string> properties = HasFeatureProperties();
  if (menu.GetMenuItemCount() > 0 && (centre || properties)) menu.AppendSeparator();
  if (centre) menu.AppendItem(kCmdCentreOnFeature, *centre);
  if (properties) menu.AppendItem(kCmdFeatureProperties, *properties);
}

glo::Optional_t<std::string> Window_t::GetFeatureMenuText() const {
  if (m_chosenFeature.kind != NrstFeature_t::Kind_Point || !m_chosenFeature.HasPosition()) return {};
  static const glo::StringResource_t text(6122, GLO_SRC);
  return text.Text();
}

glo::Optional_t<std::string> Window_t::HasFeatureProperties() const {
  if (!m_chosenFeature.HasProperties()) return {};
  static const glo::StringResource_t text(6121, GLO_SRC);
  return text.Text();
}

bool Window_t::ShowFeatureProperties(unsigned, plat::POINT, unsigned command) {
  if (command == kCmdFeatureProperties) {
    m_chosenFeature.ShowProperties();
    return true;
  }
  if (m_tool != nullptr) m_tool->OnMenuDone();
  if (command == kCmdCentreOnFeature) ShowFoundFeature();
  return true;
}

void Window_t::ShowFoundFeature() {
  GLO_ASSERT(m_chosenFeature.HasPosition());
  SetCenter(*m_chosenFeature.position);
  int step = CentringStepForType(m_chosenFeature.ref.type);
  if (step < 0) {
    const int fromCoarsest = m_scale.GetCount() - 1 - m_scale.GetStepIndex();
    if (fromCoarsest >= 23) return;
    step = 23;
  }
  m_scale.SetStepFromCoarsest(step);
  Invalidate(true);
}

}  // namespace map
