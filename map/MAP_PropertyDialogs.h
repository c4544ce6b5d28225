#pragma once
// The property dialogs of map features: a point of interest's text, a
// marine feature's facilities, a highway exit with its facilities, a paragraph
// of the map's text, and a list of name/value rows. They only show what they
// are given; OK (or Enter) and Escape close them, and they return nothing.
//
// The paragraph and name/value dialogs are resizable with a size grip and
// cannot be made smaller than they opened.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "afx/AFX_Ctrl.h"
#include "afx/AFX_ListColumn.h"
#include "afx/AFX_SizeGrip.h"
#include "map/MAP_FeatureInputs.h"
#include "map/MAP_MarineChartDialog.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_List.h"

namespace map {

// Whether a marine attribute class has a dialog: 2 and 3 for points only, 6
// to 12 always, no other class. NrstFeature_t::HasAttributeProperties asks it.
bool AttributeClassHasProperties(int attributeClass, bool isPoint);

// Shows the dialog of a feature's description modally and returns when it is
// closed; nothing for an empty description. A chart record's positions are
// written in the grid of its window; a tide station's notes open in the
// paragraph dialog. glo::Assert_t for a paragraph or tide input without the
// map or station it needs.
void ShowFeatureDescription(const FeatureDescription_t& description);

// Texts of an exit facility: its type (codes 0-13) and its direction from the
// exit (codes 0-6, "%0" the exit's heading); empty for other codes.
std::string FacilityTypeText(int type);
std::string FacilityDirectionText(int direction, const std::string& heading);

// The base of the point-of-interest, facility, exit and paragraph dialogs:
// the controls of its set are painted on white.
class FeaturePropertiesDialog_t : public plat::Dialog_t {
 public:
  FeaturePropertiesDialog_t(unsigned templateId, std::set<int> whiteControls);
  ~FeaturePropertiesDialog_t() override;
  const std::set<int>& WhiteControls() const { return m_white; }

 protected:
  bool OnInitDialog() override;

 private:
  std::set<int> m_white;
};

class PoiPropertiesDialog_t : public FeaturePropertiesDialog_t {
 public:
  enum : unsigned { kTemplateId = 4511 };
  enum : int { kIdText = 4537 };
  explicit PoiPropertiesDialog_t(const PoiInput_t& input);

 protected:
  bool OnInitDialog() override;

 private:
  std::string m_text;
};

class FacilityPropertiesDialog_t : public FeaturePropertiesDialog_t {
 public:
  enum : unsigned { kTemplateId = 4512 };
  enum : int { kIdTitle = 4536 };
  explicit FacilityPropertiesDialog_t(const FacilityInput_t& input);
  // The check box of a facility bit: 4519-4530 for bits 0-11, 4531-4535 for
  // bits 13-17; 0 for a bit without a box.
  static int BoxOfBit(int bit);

 protected:
  bool OnInitDialog() override;

 private:
  std::string m_title;
  std::uint32_t m_bits;
};

class ExitPropertiesDialog_t : public FeaturePropertiesDialog_t {
 public:
  enum : unsigned { kTemplateId = 4513 };
  enum : int {
    kIdDescription = 4545,
    kIdFacilities = 4546,
    kIdDirection = 4547,
    kIdType = 4548,
    kIdHeading = 4549,
    kIdFlag = 4550,
    kIdFirstBit = 4538,  // 4538-4544: bits 0-6 of the selected facility
  };
  // The facilities' label texts are read from input.map (title case); a test
  // may give its own reader.
  explicit ExitPropertiesDialog_t(const ExitInput_t& input, LabelReader_t labels = nullptr);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(unsigned id, unsigned code) override;

 private:
  void OnSelectionChange();

  std::string m_heading;
  std::string m_description;
  bool m_flag;
  std::vector<mpl::MdbExitFacilityRecord_t> m_facilities;
  LabelReader_t m_labels;
};

class ParagraphPropertiesDialog_t : public FeaturePropertiesDialog_t {
 public:
  enum : unsigned { kTemplateId = 4510 };
  enum : int { kIdText = 4517, kIdTitle = 4518 };
  // The text entities come from input.map (which must be given); a test may
  // give its own reader.
  explicit ParagraphPropertiesDialog_t(const ParagraphInput_t& input, TextEntityReader_t entities = nullptr);
  ~ParagraphPropertiesDialog_t() override;
  TextEntityEditCtrl_t& TextBox() { return m_text; }

 protected:
  bool OnInitDialog() override;
  void OnSize(int cx, int cy) override;

 private:
  DialogLayout_t m_layout;
  std::string m_title;
  std::uint32_t m_textEntity;
  TextEntityReader_t m_entities;
  afx::Ctrl_t<TextEntityEditCtrl_t> m_text;
};

class NameValuePropertiesDialog_t : public plat::Dialog_t {
 public:
  enum : unsigned { kTemplateId = 4515 };
  enum : int { kIdList = 4553 };
  explicit NameValuePropertiesDialog_t(const NameValueInput_t& input);
  ~NameValuePropertiesDialog_t() override;

  // The list's columns (name, value), shared by every name/value dialog.
  static std::vector<afx::ListColumn_t>& Columns();
  plat::ListCtrl_t& List();

 protected:
  bool OnInitDialog() override;
  void OnSize(int cx, int cy) override;

 private:
  void ShrinkToFit();

  DialogLayout_t m_layout;
  NameValueRows_t m_rows;
};

}  // namespace map
