#pragma once
// The lap page (one lap, or a run of a single lap) and the run page (a run of
// several laps): the values, the run's notes and the pace/distance graph with
// its pace/speed button. Notes are committed through the callback, under the
// run's key captured when the page was built, when the notes field loses the
// focus and whenever the caller asks (before anything saves or reads the
// document, and before the page is replaced).
#include <functional>
#include <string>

#include "app/PaceDistGraph.h"
#include "app/Run.h"
#include "app/SummaryPage.h"
#include "glo/GLO_Time.h"
#include "plat/PLAT_Calendar.h"

namespace app {

// The local time of day in the locale's default time format.
std::string FormatLocalTime(const glo::Time_t& time, unsigned long lcid = plat::kLocaleUserDefault);

// Stores new notes of the run with that key (an undoable change of the document).
using CommitNotes_t = std::function<void(const glo::Time_t& runKey, const std::string& notes)>;

class GraphPage_t : public SummaryPage_t {
 public:
  // Commits the notes when they differ from the run's (run-level pages only).
  void CommitNotes();
  PaceDistGraphCtrl_t& GetGraph() const;

 protected:
  GraphPage_t(plat::Wnd_t* formView, const Run_t& run, bool runLevel, CommitNotes_t commit);
  // Lays the page out with the notes (when run-level), the graph over the
  // track and the button's text.
  void Build(const gdb::Track_t* track, const std::string& caption);

  bool OnCommand(unsigned id, unsigned code) override;

  Run_t m_run;
  bool m_runLevel;
  mat::DistUnitsTypes_t m_units;

 private:
  void LabelButton();
  glo::Optional_t<glo::Time_t> m_key;
  std::string m_notes;
  CommitNotes_t m_commit;
};

class LapDialog_t : public GraphPage_t {
 public:
  // A lap of a run of several laps ('lapNumber' counts from 1), without notes.
  LapDialog_t(plat::Wnd_t* formView, const Run_t& run, const Lap_t& lap, int lapNumber);
  // A run of a single lap, with its notes; glo::Assert_t for another run.
  LapDialog_t(plat::Wnd_t* formView, const Run_t& run, CommitNotes_t commit);

 private:
  void Fill(const Lap_t& lap);
};

class RunDialog_t : public GraphPage_t {
 public:
  RunDialog_t(plat::Wnd_t* formView, const Run_t& run, CommitNotes_t commit);
};

}  // namespace app
