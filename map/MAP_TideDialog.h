#pragma once
// The tides of one tide station: the station's name, a date and a time picker
// for the start of the shown period, one or seven days, station time or the
// tide display settings' time, a button for the present, the tide graph and the
// list of the high and low waters of the shown period.
//
// The station-time choice and the list's column widths are kept for the next
// dialog of the process. The notes button hands the station's notes (its
// text-entity index) to the notes handler the dialog is given; it is disabled
// when the station has no notes or there is no handler.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "afx/AFX_Ctrl.h"
#include "afx/AFX_Dialog.h"
#include "afx/AFX_ListColumn.h"
#include "afx/AFX_SizeGrip.h"
#include "map/MAP_TideGraphCtrl.h"
#include "plat/PLAT_Button.h"
#include "plat/PLAT_DateTime.h"
#include "plat/PLAT_List.h"
#include "plat/PLAT_Static.h"

namespace map {

class TideDialog_t : public afx::Dialog_t {
 public:
  enum : unsigned { kTemplateId = 6137 };
  enum : int {
    kIdNow = 6136,
    kIdGraph = 6138,
    kIdDate = 6139,
    kIdTime = 6140,
    kIdList = 6141,
    kIdOneDay = 6142,
    kIdSevenDays = 6144,
    kIdTitle = 6146,
    kIdFrame = 6147,
    kIdStationTime = 6148,
    kIdNotes = 6159,
  };
  // Shows a station's notes: the dialog's title and the notes' text-entity index.
  using NotesHandler_t = std::function<void(const std::string& title, std::int32_t notes)>;

  // The station must outlive the dialog; days is 1 or 7.
  TideDialog_t(const mpl::TideStation_t& station, const glo::Time_t& start, int days, const std::string& title,
               NotesHandler_t notes = nullptr, plat::Wnd_t* parent = nullptr);
  ~TideDialog_t() override;

  // The process-wide station-time choice (false at start).
  static bool& StationTime();
  // The process-wide columns of the list: time, height, high or low.
  static std::vector<afx::ListColumn_t>& Columns();

  const glo::Time_t& GetStart() const { return m_start; }
  int GetDays() const { return m_days; }
  glo::Time_t GetEarliest() const;
  glo::Time_t GetLatest() const;
  // The offset from UTC that times are shown with.
  glo::TimeSpan_t GetDisplayOffset(const glo::Time_t& time) const;
  const std::string& GetTimeFormat() const { return m_timeFormat; }
  TideGraphCtrl_t& Graph() { return m_graph; }
  plat::ListCtrl_t& EventList() { return m_list; }
  plat::DateTimeCtrl_t& DatePicker() { return m_date; }
  plat::DateTimeCtrl_t& TimePicker() { return m_time; }

  void LayoutControls(int cx, int cy) override;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(unsigned id, unsigned code) override;

 private:
  std::tm DisplayCalendar(const glo::Time_t& time) const;
  glo::Time_t ReadStartTime() const;
  void ClampStart();
  void ShowStartTime();
  void SetPickerRanges();
  void SetTimeFormat();
  void UpdateGraph();
  void FillEventList();
  void SizeColumns();
  void OnDateTimeChange();
  void OnGraphScrolled();
  void OnDaySpan();
  void OnNow();
  void OnStationTime();
  void OnNotes();

  const mpl::TideStation_t& m_station;
  glo::Time_t m_start;
  int m_days;
  std::string m_title;
  NotesHandler_t m_notes;
  bool m_initialised = false;
  bool m_settingPickers = false;
  std::string m_timeFormat;
  afx::Ctrl_t<plat::ListCtrl_t> m_list;
  afx::Ctrl_t<plat::Button_t> m_ok, m_now, m_oneDay, m_sevenDays;
  afx::Ctrl_t<plat::Static_t> m_frame, m_titleCtrl;
  afx::Ctrl_t<plat::DateTimeCtrl_t> m_date, m_time;
  afx::Ctrl_t<TideGraphCtrl_t> m_graph;
  afx::Ctrl_t<plat::Button_t> m_stationTime, m_notesButton;
  afx::SizeGrip_t m_grip;
  plat::Font_t m_titleFont;
};

}  // namespace map
