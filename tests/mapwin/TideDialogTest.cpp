// The tide dialog with stations built in memory, in the US English locale and
// the New York zone: one and seven days, starts at the ends of the served
// range, the time modes, the list of high and low waters, the notes button,
// and the dialog opened by a tide station's properties command.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "map/MAP_PropertyDialogs.h"
#include "map/MAP_TideDialog.h"
#include "plat/PLAT_App.h"
#include "tests/mapwin/TideTestSupport.h"
#include "win/WIN_RegSettingsKey.h"

namespace {

using tidetest::Utc;

class TideDialog : public tidetest::TideGuiTest {
 protected:
  void SetUp() override {
    tidetest::TideGuiTest::SetUp();
    ASSERT_TRUE(m_main.Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, 800, 600}, "Main"));
    plat::SetMainWnd(&m_main);
    const win::RegKey_t& key = app::GetSettingsKey();
    if (key.ValueExists("Position")) key.DeleteValue("Position");
    map::TideDialog_t::StationTime() = false;
  }
  void TearDown() override {
    plat::SetModalHook(nullptr);
    plat::SetMainWnd(nullptr);
    m_main.DestroyWindow();
    map::TideDialog_t::StationTime() = false;
    tidetest::TideGuiTest::TearDown();
  }
  // Runs the dialog with the check inside it, then closes it with OK.
  void Run(map::TideDialog_t& dialog, const std::function<void(map::TideDialog_t&)>& check) {
    plat::SetModalHook([&](plat::Dialog_t& d) {
      check(static_cast<map::TideDialog_t&>(d));
      static_cast<plat::Button_t*>(d.GetDlgItem(plat::kIdOk))->Click();
    });
    EXPECT_EQ(dialog.DoModal(), plat::kIdOk);
  }
  static plat::Button_t& ButtonOf(map::TideDialog_t& d, int id) { return *static_cast<plat::Button_t*>(d.GetDlgItem(id)); }
  static plat::SYSTEMTIME Picked(plat::DateTimeCtrl_t& picker) {
    plat::SYSTEMTIME t{};
    EXPECT_TRUE(picker.GetTime(t));
    return t;
  }

  plat::Wnd_t m_main;
  // Five hours west of Greenwich, like the zone of the tests.
  tidetest::Station_t station{-300, 1000, tidetest::SemidiurnalList()};
  tidetest::Station_t utcStation{0, 1000, tidetest::SemidiurnalList(), 17};
};

TEST_F(TideDialog, OneDayListsItsHighAndLowWaters) {
  map::TideDialog_t dialog(station.Get(), Utc(2020, 1, 15, 12), 1, "Harbour Mouth");
  Run(dialog, [&](map::TideDialog_t& d) {
    EXPECT_EQ(d.GetDays(), 1);
    tidetest::MaybeSave(d, "tide-dialog");
    EXPECT_EQ(ButtonOf(d, map::TideDialog_t::kIdOneDay).GetCheck(), plat::kBstChecked);
    EXPECT_EQ(ButtonOf(d, map::TideDialog_t::kIdSevenDays).GetCheck(), plat::kBstUnchecked);
    EXPECT_EQ(d.GetDlgItem(map::TideDialog_t::kIdTitle)->GetWindowText(), "Harbour Mouth");
    EXPECT_FALSE(d.GetDlgItem(map::TideDialog_t::kIdNotes)->IsWindowEnabled());
    EXPECT_EQ(d.Graph().GetStats().GetStart(), Utc(2020, 1, 15, 12));
    EXPECT_EQ(d.Graph().GetStats().GetDays(), 1);
    // The pickers show local time (7 AM in New York); the time picture has no UTC mark.
    const plat::SYSTEMTIME date = Picked(d.DatePicker()), time = Picked(d.TimePicker());
    EXPECT_EQ(date.wYear * 10000 + date.wMonth * 100 + date.wDay, 20200115);
    EXPECT_EQ(time.wHour * 100 + time.wMinute, 700);
    EXPECT_EQ(d.GetTimeFormat(), "h:mm:ss tt");

    const auto& events = d.Graph().GetStats().GetEvents();
    plat::ListCtrl_t& list = d.EventList();
    ASSERT_GE(events.size(), 3u);
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(events.size()));
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.GetColumnTitle(0), "Time");
    for (int row = 0; row < list.GetItemCount(); ++row) {
      const mpl::TideEvent_t& e = events[static_cast<std::size_t>(row)];
      EXPECT_EQ(list.GetItemText(row, 0), map::FormatTideTime(false, e.time.Time(), glo::TimeSpan_t()));
      EXPECT_EQ(list.GetItemText(row, 0).back(), ' ');  // local time: no offset mark
      EXPECT_EQ(list.GetItemText(row, 1), mat::FormatNumber(e.height, true, 2, 2) + " m");
      EXPECT_EQ(list.GetItemText(row, 2), e.high ? "High" : "Low");
    }
    EXPECT_NE(list.GetItemText(0, 2), list.GetItemText(1, 2));

    // A wider dialog widens the graph, which then predicts more samples an hour,
    // and the time column.
    const int samplesPerHour = d.Graph().GetStats().GetSamplesPerHour();
    const int timeColumn = list.GetColumnWidth(0);
    plat::RECT r = d.GetWindowRect();
    r.right += 480;
    d.MoveWindow(r);
    EXPECT_EQ(d.Graph().GetStats().GetSamplesPerHour(), samplesPerHour + 20);
    EXPECT_EQ(list.GetColumnWidth(0), timeColumn + 480);
    EXPECT_EQ(list.GetItemCount(), static_cast<int>(d.Graph().GetStats().GetEvents().size()));
  });
}

TEST_F(TideDialog, SevenDaysAndStartsAtTheRangeEnds) {
  // A start past the last one served for a day: told once, moved to the latest start.
  map::TideDialog_t late(station.Get(), Utc(2037, 12, 31, 12), 1, "Late");
  Run(late, [&](map::TideDialog_t& d) {
    const glo::Time_t latestDay = Utc(2038, 1, 1, 5) - glo::TimeSpan_t(86400.0);  // local midnight, a day before
    EXPECT_EQ(d.GetStart(), latestDay);
    EXPECT_EQ(d.Graph().GetStats().GetStart(), latestDay);
    EXPECT_EQ(messages.size(), 1u);
    // Seven days move the start back to the latest start of a week.
    ButtonOf(d, map::TideDialog_t::kIdSevenDays).Click();
    EXPECT_EQ(d.GetDays(), 7);
    EXPECT_EQ(d.GetStart(), Utc(2038, 1, 1, 5) - glo::TimeSpan_t(7 * 86400.0));
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(d.Graph().IsWeekView());
    EXPECT_EQ(d.Graph().GetStats().GetSamples().size(), 7u * (24u * d.Graph().GetStats().GetSamplesPerHour() + 1u));
    EXPECT_GE(d.EventList().GetItemCount(), 20);
    // A date chosen beyond the range: the picker stops at the last date, the start at the latest start.
    plat::SYSTEMTIME beyond = Picked(d.DatePicker());
    beyond.wYear = 2038;
    beyond.wMonth = 6;
    d.DatePicker().SetTime(beyond);
    EXPECT_EQ(d.GetStart(), Utc(2038, 1, 1, 5) - glo::TimeSpan_t(7 * 86400.0));
    // Back to one day: nothing else widens.
    ButtonOf(d, map::TideDialog_t::kIdOneDay).Click();
    EXPECT_EQ(d.GetDays(), 1);
    EXPECT_EQ(d.GetStart(), Utc(2038, 1, 1, 5) - glo::TimeSpan_t(7 * 86400.0));
  });

  messages.clear();
  map::TideDialog_t early(station.Get(), Utc(1990, 1, 1), 7, "Early");
  Run(early, [&](map::TideDialog_t& d) {
    EXPECT_EQ(d.GetStart(), Utc(1990, 1, 2, 5));
    EXPECT_EQ(d.Graph().GetStats().GetStart(), Utc(1990, 1, 2, 5));
    EXPECT_EQ(ButtonOf(d, map::TideDialog_t::kIdSevenDays).GetCheck(), plat::kBstChecked);
    EXPECT_EQ(messages.size(), 1u);
  });
}

TEST_F(TideDialog, TimeModesKeepTheInstantShown) {
  map::TideDialog_t dialog(station.Get(), Utc(2020, 7, 15, 12), 1, "Harbour");
  Run(dialog, [&](map::TideDialog_t& d) {
    EXPECT_EQ(Picked(d.TimePicker()).wHour, 8);  // New York in summer: UTC-4
    ButtonOf(d, map::TideDialog_t::kIdStationTime).Click();
    EXPECT_TRUE(map::TideDialog_t::StationTime());
    EXPECT_EQ(d.GetStart(), Utc(2020, 7, 15, 12));
    EXPECT_EQ(Picked(d.TimePicker()).wHour, 7);  // the station keeps UTC-5
    EXPECT_EQ(d.Graph().GetStats().GetStart(), Utc(2020, 7, 15, 12));
    const std::string first = d.EventList().GetItemText(0, 0);
    EXPECT_EQ(first.substr(first.size() - 7), "(UTC-5)");
    // A picked time is read in station time.
    plat::SYSTEMTIME t = Picked(d.TimePicker());
    t.wHour = 9;
    d.TimePicker().SetTime(t);
    EXPECT_EQ(d.GetStart(), Utc(2020, 7, 15, 14));
  });
  EXPECT_TRUE(map::TideDialog_t::StationTime());

  // The next dialog opens in station time; a station on UTC marks the time picture.
  map::TideDialog_t onUtc(utcStation.Get(), Utc(2020, 7, 15, 12), 1, "Greenwich");
  Run(onUtc, [&](map::TideDialog_t& d) {
    EXPECT_EQ(ButtonOf(d, map::TideDialog_t::kIdStationTime).GetCheck(), plat::kBstChecked);
    EXPECT_EQ(d.GetTimeFormat(), "h:mm:ss tt 'UTC'");
    EXPECT_EQ(Picked(d.TimePicker()).wHour, 12);
    ButtonOf(d, map::TideDialog_t::kIdStationTime).Click();  // back to local time
    EXPECT_EQ(d.GetTimeFormat(), "h:mm:ss tt");
    EXPECT_EQ(Picked(d.TimePicker()).wHour, 8);
  });

  // The user's offset of 0: UTC, marked as such.
  SetTimeMode(false, 0.0);
  map::TideDialog_t userUtc(station.Get(), Utc(2020, 7, 15, 12), 1, "Harbour");
  Run(userUtc, [&](map::TideDialog_t& d) {
    EXPECT_EQ(d.GetTimeFormat(), "h:mm:ss tt 'UTC'");
    EXPECT_EQ(Picked(d.TimePicker()).wHour, 12);
    const std::string first = d.EventList().GetItemText(0, 0);
    EXPECT_EQ(first.substr(first.size() - 5), "(UTC)");
  });
}

TEST_F(TideDialog, GraphScrollsNowNotesAndKeptColumnWidths) {
  std::vector<std::pair<std::string, std::int32_t>> notes;
  map::TideDialog_t dialog(utcStation.Get(), Utc(2020, 1, 15, 12), 1, "Greenwich",
                           [&](const std::string& title, std::int32_t index) { notes.emplace_back(title, index); });
  Run(dialog, [&](map::TideDialog_t& d) {
    // The graph's scroll moves the dialog's start, pickers and list.
    d.Graph().ScrollBy(glo::TimeSpan_t(86400.0));
    plat::PumpUntilIdle();
    EXPECT_EQ(d.GetStart(), Utc(2020, 1, 16, 12));
    EXPECT_EQ(Picked(d.DatePicker()).wDay, 16);
    EXPECT_EQ(d.EventList().GetItemCount(), static_cast<int>(d.Graph().GetStats().GetEvents().size()));

    // The notes go to the handler with the title and the station's notes.
    ASSERT_TRUE(d.GetDlgItem(map::TideDialog_t::kIdNotes)->IsWindowEnabled());
    ButtonOf(d, map::TideDialog_t::kIdNotes).Click();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], (std::pair<std::string, std::int32_t>{"Greenwich", 17}));

    // The present.
    const glo::Time_t before;
    ButtonOf(d, map::TideDialog_t::kIdNow).Click();
    EXPECT_GE(d.GetStart().GetValue(), before.GetValue());
    EXPECT_LE(d.GetStart().GetValue(), glo::Time_t().GetValue());
    EXPECT_EQ(d.Graph().GetStats().GetStart(), d.GetStart());

    // A width the user gives a column is kept.
    d.EventList().SetColumnWidth(1, 123);
    ButtonOf(d, map::TideDialog_t::kIdSevenDays).Click();
  });
  EXPECT_EQ(map::TideDialog_t::Columns()[1].width, 123);
  map::TideDialog_t next(station.Get(), Utc(2020, 1, 15, 12), 1, "Harbour");
  Run(next, [&](map::TideDialog_t& d) { EXPECT_EQ(d.EventList().GetColumnWidth(1), 123); });
}

// The properties command of a tide station: the dialog, modally, from the
// station, start, days and title of the description.
TEST_F(TideDialog, ThePropertiesOfAStationShowTheDescribedStation) {
  map::TideInput_t input;
  input.station = std::shared_ptr<mpl::TideStation_t>(&utcStation.Get(), [](mpl::TideStation_t*) {});
  input.start = Utc(2020, 1, 15, 12);
  input.days = 1;
  input.title = "Harbour Mouth";
  int shown = 0;
  plat::SetModalHook([&](plat::Dialog_t& d) {
    auto& tide = dynamic_cast<map::TideDialog_t&>(d);
    ++shown;
    EXPECT_EQ(1, tide.GetDays());
    EXPECT_EQ(input.start, tide.GetStart());
    EXPECT_EQ("Harbour Mouth", d.GetDlgItem(map::TideDialog_t::kIdTitle)->GetWindowText());
    d.EndDialog(plat::kIdOk);
  });
  map::ShowFeatureDescription(input);
  EXPECT_EQ(1, shown);
}

}  // namespace
