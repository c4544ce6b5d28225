#include "map/MAP_PropertyDialogs.h"

#include <algorithm>
#include <variant>

#include "afx/AFX_InitControlMember.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_FeatureDescription.h"
#include "map/MAP_NrstFeature.h"
#include "map/MAP_TideDialog.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_ControlColour.h"
#include "plat/PLAT_Static.h"

namespace map {

namespace {

constexpr plat::COLORREF kWhite = plat::Rgb(255, 255, 255);

void SetText(plat::Wnd_t& dialog, int id, const std::string& text) {
  plat::Wnd_t* control = dialog.GetDlgItem(id);
  GLO_ASSERT(control != nullptr);
  control->SetWindowText(text);
}

void SetCheck(plat::Wnd_t& dialog, int id, bool checked) {
  auto* box = dynamic_cast<plat::Button_t*>(dialog.GetDlgItem(id));
  GLO_ASSERT(box != nullptr);
  box->SetCheck(checked ? plat::kBstChecked : plat::kBstUnchecked);
}

}  // namespace

bool AttributeClassHasProperties(int attributeClass, bool isPoint) {
  if (attributeClass == 2 || attributeClass == 3) return isPoint;
  return attributeClass >= 6 && attributeClass <= 12;
}

bool NrstFeature_t::HasAttributeProperties(std::uint8_t attributeClass) const {
  return AttributeClassHasProperties(attributeClass, kind == Kind_Point);
}

// ---- the properties command ----

namespace {

template <typename Dialog_t, typename Input_t>
void ShowModal(const Input_t& input) {
  Dialog_t dialog(input);
  dialog.DoModal();
}

void ShowTide(const TideInput_t& input) {
  GLO_ASSERT(input.station != nullptr);
  mpl::Map_t* map = input.map;
  TideDialog_t dialog(*input.station, input.start, input.days, input.title,
                      [map](const std::string& title, std::int32_t notes) {
                        GLO_ASSERT(map != nullptr);
                        ShowModal<ParagraphPropertiesDialog_t>(
                            ParagraphInput_t{title, static_cast<std::uint32_t>(notes), map});
                      });
  dialog.DoModal();
}

}  // namespace

void ShowFeatureDescription(const FeatureDescription_t& description) {
  struct Show_t {
    void operator()(const std::monostate&) const {}
    void operator()(const NameValueInput_t& in) const { ShowModal<NameValuePropertiesDialog_t>(in); }
    void operator()(const PoiInput_t& in) const { ShowModal<PoiPropertiesDialog_t>(in); }
    void operator()(const FacilityInput_t& in) const { ShowModal<FacilityPropertiesDialog_t>(in); }
    void operator()(const ExitInput_t& in) const { ShowModal<ExitPropertiesDialog_t>(in); }
    void operator()(const ParagraphInput_t& in) const {
      GLO_ASSERT(in.map != nullptr);
      ShowModal<ParagraphPropertiesDialog_t>(in);
    }
    void operator()(const MarineChartInput_t& in) const {
      GLO_ASSERT(in.map != nullptr);
      ShowModal<MarineChartPropertiesDialog_t>(in);
    }
    void operator()(const TideInput_t& in) const { ShowTide(in); }
  };
  std::visit(Show_t{}, description);
}

void NrstFeature_t::ShowProperties() const { ShowFeatureDescription(DescribeFeature(*this)); }

std::string FacilityTypeText(int type) {
  if (type < 0 || type > 13) return std::string();
  return glo::StringResource_t(4442 + type, GLO_SRC).Text();
}

std::string FacilityDirectionText(int direction, const std::string& heading) {
  if (direction < 0 || direction > 6) return std::string();
  return glo::StringResource_t(4456 + direction, GLO_SRC).Format(heading, GLO_SRC);
}

// ---- the base ----

FeaturePropertiesDialog_t::FeaturePropertiesDialog_t(unsigned templateId, std::set<int> whiteControls)
    : plat::Dialog_t(templateId, nullptr), m_white(std::move(whiteControls)) {}

FeaturePropertiesDialog_t::~FeaturePropertiesDialog_t() = default;

bool FeaturePropertiesDialog_t::OnInitDialog() {
  const bool focus = plat::Dialog_t::OnInitDialog();
  for (const int id : m_white)
    if (plat::Wnd_t* control = GetDlgItem(id)) plat::SetControlBackground(*control, kWhite);
  return focus;
}

// ---- point of interest ----

PoiPropertiesDialog_t::PoiPropertiesDialog_t(const PoiInput_t& input)
    : FeaturePropertiesDialog_t(kTemplateId, {kIdText}), m_text(input.text) {}

bool PoiPropertiesDialog_t::OnInitDialog() {
  const bool focus = FeaturePropertiesDialog_t::OnInitDialog();
  SetText(*this, kIdText, m_text);
  return focus;
}

// ---- facilities ----

FacilityPropertiesDialog_t::FacilityPropertiesDialog_t(const FacilityInput_t& input)
    : FeaturePropertiesDialog_t(kTemplateId, {kIdTitle}), m_title(input.title), m_bits(input.bits) {}

int FacilityPropertiesDialog_t::BoxOfBit(int bit) {
  if (bit >= 0 && bit <= 11) return 4519 + bit;
  if (bit >= 13 && bit <= 17) return 4531 + (bit - 13);
  return 0;
}

bool FacilityPropertiesDialog_t::OnInitDialog() {
  const bool focus = FeaturePropertiesDialog_t::OnInitDialog();
  SetText(*this, kIdTitle, m_title);
  for (int bit = 0; bit <= 17; ++bit)
    if (const int box = BoxOfBit(bit)) SetCheck(*this, box, (m_bits >> bit) & 1u);
  return focus;
}

// ---- exit ----

ExitPropertiesDialog_t::ExitPropertiesDialog_t(const ExitInput_t& input, LabelReader_t labels)
    : FeaturePropertiesDialog_t(kTemplateId, {kIdHeading, kIdDescription, kIdType, kIdDirection}),
      m_heading(input.heading), m_description(input.description), m_flag(input.flag),
      m_facilities(input.facilities),
      m_labels(labels ? std::move(labels) : (input.facilities.empty() ? LabelReader_t() : MapLabelReader(input.map))) {}

bool ExitPropertiesDialog_t::OnInitDialog() {
  const bool focus = FeaturePropertiesDialog_t::OnInitDialog();
  SetText(*this, kIdHeading, m_heading);
  SetText(*this, kIdDescription, m_description);
  SetCheck(*this, kIdFlag, m_flag);
  auto* list = dynamic_cast<plat::ListBox_t*>(GetDlgItem(kIdFacilities));
  GLO_ASSERT(list != nullptr);
  for (const mpl::MdbExitFacilityRecord_t& f : m_facilities) list->AddString(m_labels(f.label));
  if (!m_facilities.empty()) {
    list->SetCurSel(0);
    OnSelectionChange();
  }
  return focus;
}

bool ExitPropertiesDialog_t::OnCommand(unsigned id, unsigned code) {
  if (id == static_cast<unsigned>(kIdFacilities) && code == plat::kLbnSelChange) {
    OnSelectionChange();
    return true;
  }
  return FeaturePropertiesDialog_t::OnCommand(id, code);
}

void ExitPropertiesDialog_t::OnSelectionChange() {
  auto* list = dynamic_cast<plat::ListBox_t*>(GetDlgItem(kIdFacilities));
  GLO_ASSERT(list != nullptr);
  if (m_facilities.empty()) return;
  const int selected = list->GetCurSel();
  if (selected < 0 || selected >= static_cast<int>(m_facilities.size())) return;
  const mpl::MdbExitFacilityRecord_t& f = m_facilities[static_cast<std::size_t>(selected)];
  for (int bit = 0; bit < 7; ++bit) SetCheck(*this, kIdFirstBit + bit, (f.facilities >> bit) & 1u);
  SetText(*this, kIdType, FacilityTypeText(f.type));
  SetText(*this, kIdDirection, FacilityDirectionText(f.direction, m_heading));
}

// ---- paragraph ----

ParagraphPropertiesDialog_t::ParagraphPropertiesDialog_t(const ParagraphInput_t& input, TextEntityReader_t entities)
    : FeaturePropertiesDialog_t(kTemplateId, {kIdTitle}), m_title(input.title), m_textEntity(input.textEntity),
      m_entities(entities ? std::move(entities) : MapTextEntityReader(input.map)) {}

ParagraphPropertiesDialog_t::~ParagraphPropertiesDialog_t() = default;

bool ParagraphPropertiesDialog_t::OnInitDialog() {
  const bool focus = FeaturePropertiesDialog_t::OnInitDialog();
  SetText(*this, kIdTitle, m_title);
  afx::InitControlMember(*this, kIdText, m_text);
  m_text.ShowTextEntities(m_entities(m_textEntity));
  m_layout.Measure(*this, kIdText);
  m_layout.Finish(*this);
  return focus;
}

void ParagraphPropertiesDialog_t::OnSize(int cx, int cy) {
  FeaturePropertiesDialog_t::OnSize(cx, cy);
  if (!m_layout.IsFinished()) return;
  const plat::RECT client = GetClientRect();
  plat::RECT title = ControlRect(*this, kIdTitle);
  title.right = client.right - m_layout.SideMargin();
  GetDlgItem(kIdTitle)->MoveWindow(title);
  const plat::RECT ok = PlaceOkButton(*this, m_layout.BottomMargin());
  plat::RECT text = ControlRect(*this, kIdText);
  text.right = client.right - m_layout.SideMargin();
  text.bottom = ok.top - m_layout.BottomMargin();
  m_text.MoveWindow(text);
  m_layout.Grip().Reposition();
}

// ---- name/value rows ----

NameValuePropertiesDialog_t::NameValuePropertiesDialog_t(const NameValueInput_t& input)
    : plat::Dialog_t(kTemplateId, nullptr), m_rows(input.rows) {}

NameValuePropertiesDialog_t::~NameValuePropertiesDialog_t() = default;

std::vector<afx::ListColumn_t>& NameValuePropertiesDialog_t::Columns() {
  static std::vector<afx::ListColumn_t> columns = MakeNameValueColumns(4463, 4465);
  return columns;
}

plat::ListCtrl_t& NameValuePropertiesDialog_t::List() {
  auto* list = dynamic_cast<plat::ListCtrl_t*>(GetDlgItem(kIdList));
  GLO_ASSERT(list != nullptr);
  return *list;
}

bool NameValuePropertiesDialog_t::OnInitDialog() {
  const bool focus = plat::Dialog_t::OnInitDialog();
  FillNameValueList(List(), Columns(), "XXXXXXXXXXXXXXXXXXX", m_rows);
  m_layout.Measure(*this, kIdList);
  ShrinkToFit();
  m_layout.Finish(*this);
  return focus;
}

void NameValuePropertiesDialog_t::ShrinkToFit() {
  plat::ListCtrl_t& list = List();
  const int needed = list.GetNeededHeight();
  plat::RECT listRect = ControlRect(*this, kIdList);
  const int excess = (listRect.bottom - listRect.top) - needed;
  if (needed == 0 || excess < 1) return;
  plat::RECT window = GetWindowRect();
  window.bottom -= excess;
  MoveWindow(window);
  plat::Wnd_t* okButton = GetDlgItem(plat::kIdOk);
  GLO_ASSERT(okButton != nullptr);
  plat::RECT ok = ControlRect(*this, plat::kIdOk);
  const int height = ok.bottom - ok.top;
  ok.bottom = GetClientRect().bottom - m_layout.BottomMargin();
  ok.top = ok.bottom - height;
  okButton->MoveWindow(ok);
  listRect = ControlRect(*this, kIdList);
  listRect.bottom = ok.top - m_layout.BottomMargin();
  list.MoveWindow(listRect);
  m_layout.TakeMinimumSize(*this);
}

void NameValuePropertiesDialog_t::OnSize(int cx, int cy) {
  plat::Dialog_t::OnSize(cx, cy);
  if (!m_layout.IsFinished()) return;
  const plat::RECT client = GetClientRect();
  const plat::RECT ok = PlaceOkButton(*this, m_layout.BottomMargin());
  plat::RECT list = ControlRect(*this, kIdList);
  list.right = client.right - m_layout.SideMargin();
  list.bottom = ok.top - m_layout.BottomMargin();
  List().MoveWindow(list);
  FitListColumns(List(), Columns());
  m_layout.Grip().Reposition();
}

}  // namespace map
