#pragma once
// The properties of one chart record of a marine map: a list of named values
// (names, scale, dates, depth units, position and more) above the chart's
// notes in a read-only rich text box. The dialog is modal and resizable, with
// a size grip; it cannot be made smaller than it opened.
//
// The notes box, TextEntityEditCtrl_t, shows a map's text entities with their
// paragraph alignment and face; the paragraph dialog uses it too.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "afx/AFX_Ctrl.h"
#include "afx/AFX_ListColumn.h"
#include "afx/AFX_SizeGrip.h"
#include "map/MAP_FeatureInputs.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_MapInfo.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_RichEdit.h"

namespace geo {
class Grid_t;
}

namespace map {

// The label text of a label offset (title case), as the dialogs read it.
using LabelReader_t = std::function<std::string(std::uint32_t offset)>;
// The text entities of a criteria value, in the order of the map.
using TextEntityReader_t = std::function<std::vector<mpl::TextEntity_t>(std::uint32_t criteria)>;

// The text entities of a map for a criteria value (the index of a paragraph):
// one entity per part of the paragraph, its text assembled from the reader's
// chunks, kind 0. glo::Assert_t when the map is not open; mpl::MdbException_t
// for a read error.
std::vector<mpl::TextEntity_t> ReadTextEntities(mpl::Map_t& map, std::uint32_t criteria);
// Readers bound to a map (which must outlive them); glo::Assert_t for no map.
LabelReader_t MapLabelReader(mpl::Map_t* map);
TextEntityReader_t MapTextEntityReader(mpl::Map_t* map);

// One piece of the notes: a text, its paragraph alignment (plat::kPfa*) and face.
struct TextRun_t {
  std::string text;
  int alignment = plat::kPfaLeft;
  std::string face;
  bool operator==(const TextRun_t&) const = default;
};

// The pieces the notes box shows for the entities: each entity's text with
// every 0x03 turned into "\r\n", ended by an empty line ("\r\n\r\n" appended to
// a text shorter than 2 or not ending in "\r\n"; "\r\n" to one of 4 or more
// ending in a single "\r\n"), aligned and set by its kind (0 and 3 left, 1
// right, 2 centred, all "MS Sans Serif"; 4 left in "Courier New"). At the end,
// up to two trailing "\r\n" come off while the whole text is at least 3 long.
std::vector<TextRun_t> BuildTextRuns(const std::vector<mpl::TextEntity_t>& entities);

class TextEntityEditCtrl_t : public plat::RichEditCtrl_t {
 public:
  // Appends the text entities of the criteria value of the map.
  void ShowTextEntities(std::uint32_t criteria, mpl::Map_t* map);
  // Appends the entities (BuildTextRuns).
  void ShowTextEntities(const std::vector<mpl::TextEntity_t>& entities);

 protected:
  void OnSize(int cx, int cy) override;
};

// Texts of the chart's values: the flag (0 no, 1 yes; glo::Assert_t else),
// the enumerated value (0-28; glo::Assert_t else), a packed date in the user's
// short date form (empty for fields that are no calendar date).
std::string YesNoText(int flag);
std::string ChartAttributeText(int value);
std::string FormatPackedDate(const mpl::MarineChartRecord_t::Date_t& date);

// The rows of a chart: the three label rows only for a label offset other than
// 0xFFFFFFFF; the position in the grid when it is a latitude/longitude grid
// (type 15, 16 or 17), else in degrees and decimal minutes.
NameValueRows_t BuildChartRows(const mpl::MarineChartRecord_t& chart, const LabelReader_t& labels,
                               const geo::Grid_t* grid);

// A list's two columns, name and value, left aligned, titled with the string
// resources of the ids.
std::vector<afx::ListColumn_t> MakeNameValueColumns(int nameTitleId, int valueTitleId);
// The chart list's columns (property, value), shared by every chart dialog.
std::vector<afx::ListColumn_t>& GetChartListColumns();

// Reads every column's width into the table, widens the value column (1) to
// fill the row area (never narrower than its title), and sets the widths.
void FitListColumns(plat::ListCtrl_t& list, std::vector<afx::ListColumn_t>& columns);
// Fills a list without columns: the columns, each first as wide as
// 'sizingText' and then fitted (FitListColumns), and one item per row.
void FillNameValueList(plat::ListCtrl_t& list, std::vector<afx::ListColumn_t>& columns, const std::string& sizingText,
                       const NameValueRows_t& rows);

// Layout helpers of the resizable property dialogs. The rectangle of a
// dialog's control in client coordinates (glo::Assert_t when it is missing).
plat::RECT ControlRect(const plat::Wnd_t& dialog, int id);
// Centres the OK button (its width made even) and puts its bottom at the
// bottom margin, keeping its height; returns its new rectangle.
plat::RECT PlaceOkButton(plat::Wnd_t& dialog, int bottomMargin);

// The layout of a resizable property dialog, taken as it opens: the side
// margin (the left edge of one of its controls), the margin under the OK
// button and the smallest size, the one it opened at; and its size grip.
class DialogLayout_t {
 public:
  // Takes the margins, and the dialog's size now as its smallest.
  void Measure(const plat::Wnd_t& dialog, int sideControl);
  // The dialog's size now as its smallest.
  void TakeMinimumSize(const plat::Wnd_t& dialog);
  // Adds the size grip and keeps the dialog from being made smaller than its
  // smallest size; from now on the dialog's size handling lays it out.
  void Finish(plat::Wnd_t& dialog);

  bool IsFinished() const { return m_finished; }
  int SideMargin() const { return m_sideMargin; }
  int BottomMargin() const { return m_bottomMargin; }
  afx::SizeGrip_t& Grip() { return m_grip; }

 private:
  afx::SizeGrip_t m_grip;
  int m_sideMargin = 0;
  int m_bottomMargin = 0;
  int m_minWidth = 0;
  int m_minHeight = 0;
  bool m_finished = false;
};

class MarineChartPropertiesDialog_t : public plat::Dialog_t {
 public:
  enum : unsigned { kTemplateId = 4514 };
  enum : int { kIdList = 4551, kIdNotes = 4552 };

  // Reads chart record input.number of input.map (glo::Assert_t for a map that
  // is not open, mpl::MdbException_t for no such record). Positions are written
  // in the grid of input.window (without a window: degrees and decimal minutes).
  explicit MarineChartPropertiesDialog_t(const MarineChartInput_t& input);
  // A chart record given whole, with the readers of its labels and notes.
  MarineChartPropertiesDialog_t(const mpl::MarineChartRecord_t& chart, LabelReader_t labels,
                                TextEntityReader_t notes, const geo::Grid_t* grid);
  ~MarineChartPropertiesDialog_t() override;

  const mpl::MarineChartRecord_t& GetChart() const { return m_chart; }
  plat::ListCtrl_t& List();
  TextEntityEditCtrl_t& Notes() { return m_notes; }

 protected:
  bool OnInitDialog() override;
  void OnSize(int cx, int cy) override;

 private:
  DialogLayout_t m_layout;
  LabelReader_t m_labels;
  TextEntityReader_t m_entities;
  mpl::MarineChartRecord_t m_chart;
  afx::Ctrl_t<TextEntityEditCtrl_t> m_notes;
  const geo::Grid_t* m_grid;
};

}  // namespace map
