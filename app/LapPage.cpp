#include "app/LapPage.h"

#include <ctime>

#include "app/ValueFormat.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_Registry.h"
#include "plat/PLAT_Edit.h"
#include "win/WIN_Exception.h"

namespace app {

namespace {

constexpr int kNotes = 1003, kCaption = 1026, kGraphButton = 1040, kGraph = 1039, kNotesLabel = 1038;

// Registers the graph's class before the template that places it is made.
unsigned GraphTemplate() {
  PaceDistGraphCtrl_t::RegisterWindowClass();
  return 157;
}

std::string DateAndTime(const glo::Time_t& time, const char* separator) {
  return FormatLocalDate(time) + separator + FormatLocalTime(time);
}

}  // namespace

std::string FormatLocalTime(const glo::Time_t& time, unsigned long lcid) {
  std::tm local;
  std::string text;
  if (!plat::LocalFields(time.GetValue(), local) ||
      !plat::FormatTimeOfDay(lcid, 0, local.tm_hour, local.tm_min, local.tm_sec, text))
    throw win::Error_t(GLO_SRC);
  return text;
}

GraphPage_t::GraphPage_t(plat::Wnd_t* formView, const Run_t& run, bool runLevel, CommitNotes_t commit)
    : SummaryPage_t(GraphTemplate(), formView),
      m_run(run),
      m_runLevel(runLevel),
      m_units(map::GetRegistry().DistanceUnitsType.Value()),
      m_notes(run.GetNotes()),
      m_commit(std::move(commit)) {
  if (m_runLevel) m_key = m_run.GetKey();
}

PaceDistGraphCtrl_t& GraphPage_t::GetGraph() const {
  PaceDistGraphCtrl_t* graph = dynamic_cast<PaceDistGraphCtrl_t*>(&Item(kGraph));
  GLO_ASSERT(graph != nullptr);
  return *graph;
}

void GraphPage_t::Build(const gdb::Track_t* track, const std::string& caption) {
  if (m_runLevel) {
    Anchor(kNotes, AnchorBoth, AnchorNear);
    SetItemText(kNotes, m_notes);
  } else {
    ShowItem(kNotesLabel, false);
    ShowItem(kNotes, false);
    // Without notes the graph moves up into their place and keeps its
    // distance from the page's bottom (it grows).
    plat::RECT notes = Item(kNotes).GetWindowRect();
    plat::RECT graph = Item(kGraph).GetWindowRect();
    ScreenToClient(notes);
    ScreenToClient(graph);
    const int up = graph.top - notes.top;
    Item(kGraph).MoveWindow(graph.left, graph.top - up, graph.right - graph.left, graph.bottom - graph.top + up);
  }
  SetItemText(kCaption, caption);
  Anchor(kGraphButton, AnchorFar, AnchorNear);  // at the right, above the notes
  Anchor(kGraph, AnchorBoth, AnchorBoth);
  GetGraph().SetTrack(track);
  LabelButton();
  const std::string heartRate = Item(1017).GetWindowText();
  if (heartRate.empty()) {
    ShowItem(1017, false);
    ShowItem(1033, false);
  }
  Finish();
}

void GraphPage_t::LabelButton() {
  SetItemText(kGraphButton,
              glo::StringResource_t(GetGraph().GetGraphType() == PaceDistGraphCtrl_t::Speed ? 187 : 188, GLO_SRC));
}

void GraphPage_t::CommitNotes() {
  if (!m_runLevel || !m_commit) return;
  const std::string text = Item(kNotes).GetWindowText();
  if (text == m_notes) return;
  // The commit updates every view, which may replace (and delete) this page:
  // nothing of the page is touched once it runs.
  const std::string old = m_notes;
  const CommitNotes_t commit = m_commit;
  const glo::Time_t key = *m_key;
  m_notes = text;
  try {
    commit(key, text);
  } catch (...) {
    m_notes = old;
    throw;
  }
}

bool GraphPage_t::OnCommand(unsigned id, unsigned code) {
  if (id == kGraphButton && code == plat::kBnClicked) {
    GetGraph().ToggleGraphType();
    LabelButton();
    return true;
  }
  if (id == kNotes && code == plat::kEnKillFocus) {
    CommitNotes();
    return true;
  }
  return SummaryPage_t::OnCommand(id, code);
}

LapDialog_t::LapDialog_t(plat::Wnd_t* formView, const Run_t& run, const Lap_t& lap, int lapNumber)
    : GraphPage_t(formView, run, false, {}) {
  Fill(lap);
  const std::string caption = glo::StringResource_t(162, GLO_SRC).Text() + FormatInteger(lapNumber) + " - " +
                              DateAndTime(lap.GetStart(), " ");
  const auto held = m_run.GetLaps().find(lap);
  Build(held != m_run.GetLaps().end() && held->GetTrack() ? &*held->GetTrack() : nullptr, caption);
}

LapDialog_t::LapDialog_t(plat::Wnd_t* formView, const Run_t& run, CommitNotes_t commit)
    : GraphPage_t(formView, run, true, std::move(commit)) {
  GLO_ASSERT(m_run.GetLaps().size() == 1);
  const Lap_t& lap = *m_run.GetLaps().begin();
  Fill(lap);
  Build(lap.GetTrack() ? &*lap.GetTrack() : nullptr, DateAndTime(lap.GetStart(), "  "));
}

void LapDialog_t::Fill(const Lap_t& lap) {
  const double seconds = lap.GetDuration() * 0.01;
  SetItemText(1005, FormatDistance(lap.GetLength(), m_units));
  SetItemText(1007, FormatTimeSpan(seconds));
  SetItemText(1014, FormatPace(seconds, lap.GetLength(), m_units));
  SetItemText(1015, FormatSpeed(lap.GetLength(), seconds, m_units));
  SetItemText(1009, FormatInteger(lap.GetCalories()));
  SetItemText(1017, lap.GetHeartRate() ? FormatHeartRate(*lap.GetHeartRate()) : std::string());
}

RunDialog_t::RunDialog_t(plat::Wnd_t* formView, const Run_t& run, CommitNotes_t commit)
    : GraphPage_t(formView, run, true, std::move(commit)) {
  RunSet_t one;
  one.insert(m_run);
  SetItemText(1005, FormatRangeDistance(one.begin(), one.end(), m_units));
  SetItemText(1007, FormatRangeTime(one.begin(), one.end()));
  SetItemText(1014, FormatRangePace(one.begin(), one.end(), m_units));
  SetItemText(1015, FormatRangeSpeed(one.begin(), one.end(), m_units));
  SetItemText(1009, FormatRangeCalories(one.begin(), one.end()));
  SetItemText(1017, FormatRangeHeartRate(one.begin(), one.end()));
  Build(m_run.GetTrack() ? &*m_run.GetTrack() : nullptr, DateAndTime(m_run.GetLaps().begin()->GetStart(), "  "));
}

}  // namespace app
