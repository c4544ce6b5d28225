// Summary page and graph benchmarks: the pace/distance graph and the elevation
// profile of a 20,000-point track (paint, cursor drag step, zoom and scroll
// repaints), and the history and week pages of a ten-year history.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/HistoryPage.h"
#include "app/PaceDistGraph.h"
#include "app/ProfileGraph.h"
#include "app/RunSet.h"
#include "app/WeekPage.h"
#include "app/ValueFormat.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Gui.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr int kPoints = 20000;
constexpr std::int64_t kFirstRun = 946710000;  // 2000-01-01 07:00 UTC

// A track of 20,000 points, one a second, about 3 m apart, with a hilly
// altitude and a few stretches without altitude.
gdb::Track_t BigTrack() {
  gdb::Track_t track;
  for (int i = 0; i < kPoints; ++i) {
    glo::Optional_t<double> altitude;
    if (i % 4000 > 50) altitude = 300.0 + 120.0 * ((i / 500) % 2 ? (i % 500) : 500 - (i % 500)) / 500.0;
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(560742000 + i * 300 + (i % 7) * 40, 95443700 + i * 150, altitude),
                                        glo::Time_t(kFirstRun + i)));
  }
  return track;
}

// A ten-year history: one run a day of two laps with a short track.
app::RunSet_t History() {
  app::RunSet_t runs;
  for (int day = 0; day < 3650; ++day) {
    const std::int64_t start = kFirstRun + static_cast<std::int64_t>(day) * 86400;
    gdb::Track_t track;
    for (int i = 0; i < 20; ++i)
      track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(560742000 + i * 1000, 95443700 + i * 1500, 400.0),
                                          glo::Time_t(start + i * 90)));
    app::LapSet_t laps;
    for (int k = 0; k < 2; ++k)
      laps.insert(app::Lap_t(glo::Time_t(start + k * 900), 90000, {}, {}, 2500.0f, 150, std::uint8_t(140 + k)));
    runs.insert(app::Run_t(laps, track, ""));
  }
  return runs;
}

class Host_t : public plat::Wnd_t {
 public:
  Host_t(int width, int height) {
    // Kept hidden: every paint below goes into a memory bitmap, as the
    // controls' own paints do before their one copy to the screen.
    Create(nullptr, 0, plat::kWsOverlappedWindow, plat::RECT{0, 0, width, height});
  }
};

template <typename Step>
double Average(int count, Step step) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < count; ++i) step(i);
  return MsSince(start) / count;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  // A private settings folder; offscreen windows.
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "pages_bench";
  std::filesystem::create_directories(home / "config");
  std::filesystem::create_directories(home / "data");
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!plat::EnsureGuiApplication()) return 1;
  plat::SetResourceHandle(glo::GetResourceModule());

  const gdb::Track_t track = BigTrack();
  Host_t host(1100, 700);

  // Pace/distance graph: a whole paint.
  app::PaceDistGraphCtrl_t::RegisterWindowClass();
  app::PaceDistGraphCtrl_t graph;
  graph.Create(&host, 1039, plat::kWsChild | plat::kWsVisible, plat::RECT{0, 0, 1000, 300});
  graph.SetTrack(&track);
  plat::Dc_t canvas;
  canvas.CreateCompatibleDC(nullptr);
  plat::Bitmap_t bitmap;
  bitmap.CreateCompatibleBitmap(canvas, 1000, 300);
  canvas.SelectObject(bitmap);
  graph.Paint(canvas);
  std::printf("pace graph paint (%d points): %.2f ms\n", kPoints, Average(10, [&](int) { graph.Paint(canvas); }));
  std::printf("  of which the y range: %.2f ms\n", Average(10, [&](int) { graph.ComputeYRange(); }));
  std::printf("  and the areas: %.2f ms\n", Average(10, [&](int) { graph.DrawAreas(canvas); }));
  graph.ShowWindow(false);

  // Elevation profile: each step is the change and the paint it causes.
  app::TrkProfileGraphCtrl_t profile(track, track.Begin(), track.End(), false);
  profile.Create(&host, 1, app::TrkProfileGraphCtrl_t::kStyle, plat::RECT{0, 0, 1000, 300});
  plat::Dc_t memory;
  memory.CreateCompatibleDC(nullptr);
  plat::Bitmap_t profileBitmap;
  profileBitmap.CreateCompatibleBitmap(memory, 1000, 300);
  memory.SelectObject(profileBitmap);
  std::printf("profile first paint (geometry built): %.2f ms\n", Average(1, [&](int) {
                profile.Paint(memory);
              }));
  const plat::RECT plot = profile.GetConvertor().GetPixelRect();
  const int y = (plot.top + plot.bottom) / 2;
  const int width = plot.right - plot.left - 40;
  std::printf("profile cursor drag step: %.2f ms (geometry kept: %s)\n", Average(200, [&](int i) {
                profile.TrackPoint(plat::POINT{plot.left + 10 + (i * 7) % width, y});
                profile.Paint(memory);
              }),
              profile.IsDirty() ? "no" : "yes");
  std::printf("profile zoom in or out and repaint: %.2f ms\n", Average(40, [&](int i) {
                profile.HandleKey(i % 2 ? 0xBD : 0xBB, plat::kMkControl);
                profile.Paint(memory);
              }));
  profile.HandleKey(0xBB, plat::kMkControl);
  profile.HandleKey(0xBB, plat::kMkControl);
  profile.HandleKey(0xBB, plat::kMkControl);
  std::printf("profile scroll by a line and repaint: %.2f ms\n", Average(40, [&](int i) {
                profile.OnHScroll(i < 20 ? app::kSbLineRight : app::kSbLineLeft, 0);
                profile.Paint(memory);
              }));

  // Pages of a ten-year history.
  const app::RunSet_t history = History();
  Host_t formView(800, 600);
  std::printf("history page, %zu runs: %.2f ms\n", history.size(), Average(5, [&](int) {
                app::HistoryDialog_t page(&formView, history, "Runner");
              }));
  auto weekFirst = history.begin();
  std::advance(weekFirst, 1800);
  while (app::WeekStart(weekFirst->GetKey()).GetValue() == app::WeekStart(std::prev(weekFirst)->GetKey()).GetValue())
    ++weekFirst;
  auto weekLast = weekFirst;
  while (weekLast != history.end() &&
         app::WeekStart(weekLast->GetKey()).GetValue() == app::WeekStart(weekFirst->GetKey()).GetValue())
    ++weekLast;
  std::printf("week page: %.2f ms\n", Average(20, [&](int) {
                app::WeekDialog_t page(&formView, weekFirst, weekLast);
              }));
  return 0;
}
