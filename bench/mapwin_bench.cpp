// The map window's paint path: a repaint without change of a 1200 x 800
// window with a 5000-point track (one copy of the back buffer plus the
// overlay, the track's recorded drawing replayed), 50 resize steps of 10
// pixels with a 10000-point track, the time from queued input to the end of
// an abandoned render, the cost of one look at the input, and a hover popup
// shown and hidden.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "gdb/GDB_Track.h"
#include "gdi/GDI_Clipper.h"
#include "map/MAP_Window.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_ClientDc.h"
#include "plat/PLAT_Gui.h"
#include "plat/PLAT_InputProbe.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// A winding track of 'count' points, one every 2 s.
gdb::Track_t MakeTrack(int count) {
  gdb::Track_t track;
  for (int i = 0; i < count; ++i) {
    const double a = 2.0 * 3.14159265358979 * i / count;
    const auto lat = static_cast<std::int32_t>(560000000 + 400000 * std::sin(a) + 20000 * std::sin(37 * a));
    const auto lon = static_cast<std::int32_t>(120000000 + 600000 * std::cos(a) + 20000 * std::cos(41 * a));
    track.AppendPoint(gdb::TrackPoint_t(geo::Position_t(lat, lon), glo::Time_t(1110189600 + i * 2)));
  }
  return track;
}

// A map window that draws a track in its overlay and fits it on every resize,
// as the application's pane does.
class BenchWindow : public map::Window_t {
 public:
  BenchWindow() : map::Window_t("", false) {}
  gdb::Track_t* track = nullptr;
  int passes = 0;
  std::function<void(plat::Dc_t&)> underlay;

  void DrawUnderlay(plat::Dc_t& screen, plat::Dc_t&) override {
    ++passes;
    if (underlay) underlay(screen);
  }
  void DrawOverlay(plat::Dc_t& dc) override {
    if (track == nullptr) return;
    DrawScaleText(dc);
    gdi::Clipper_t unclipped(dc);
    track->Draw(dc, GetProjector(), 1);
  }

 protected:
  void OnSize(int w, int h) override {
    map::Window_t::OnSize(w, h);
    if (track != nullptr) ZoomToBox(track->GetTotals().GetBox());
  }
};

}  // namespace

int main() {
  plat::EnsureGuiApplication();
  plat::Wnd_t frame;
  frame.Create(nullptr, 0, plat::kWsPopup | plat::kWsVisible, plat::RECT{0, 0, 1200, 800});
  auto window = std::make_unique<BenchWindow>();
  BenchWindow& w = *window;
  w.CreateMapWindow(&frame, 1, plat::RECT{0, 0, 1200, 800});
  plat::PumpUntilIdle();

  // 0. The copy alone: a repaint without change and without a track.
  {
    w.UpdateWindow();
    const auto start = Clock::now();
    for (int i = 0; i < 200; ++i) {
      w.Invalidate(true);
      w.UpdateWindow();
    }
    std::printf("repaint without change, 1200x800, no track: %.3f ms a paint\n", Ms(start, Clock::now()) / 200);
  }

  // 1. Repaint without change.
  {
    gdb::Track_t track = MakeTrack(5000);
    w.track = &track;
    w.ZoomToBox(track.GetTotals().GetBox());
    w.UpdateWindow();
    const plat::GdiHandle_t recorded = track.GetSegments().front().GetCachedDrawing()->GetHandle();
    const int passes = w.passes;
    constexpr int kRounds = 200;
    const auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) {
      w.Invalidate(true);
      w.UpdateWindow();
    }
    const double ms = Ms(start, Clock::now());
    const bool replayed = track.GetSegments().front().GetCachedDrawing()->GetHandle() == recorded;
    std::printf("repaint without change, 1200x800, 5000 points: %.3f ms a paint (%d map passes, drawing %s)\n",
                ms / kRounds, w.passes - passes, replayed ? "replayed" : "recorded again");
    w.track = nullptr;
  }

  // 2. Resize steps, first without a track.
  {
    w.MoveWindow(0, 0, 1200, 800);
    w.UpdateWindow();
    double total = 0.0;
    for (int i = 1; i <= 50; ++i) {
      const auto start = Clock::now();
      w.MoveWindow(0, 0, 1200 - 10 * i, 800 - 10 * i);
      w.UpdateWindow();
      total += Ms(start, Clock::now());
    }
    std::printf("resize by 10 px, no track: %.3f ms a step on average\n", total / 50);
  }
  {
    gdb::Track_t track = MakeTrack(10000);
    w.track = &track;
    w.MoveWindow(0, 0, 1200, 800);
    w.UpdateWindow();
    double worst = 0.0, total = 0.0;
    for (int i = 1; i <= 50; ++i) {
      const auto start = Clock::now();
      w.MoveWindow(0, 0, 1200 - 10 * i, 800 - 10 * i);
      w.UpdateWindow();
      const double ms = Ms(start, Clock::now());
      total += ms;
      if (ms > worst) worst = ms;
    }
    std::printf("resize by 10 px, 10000 points: %.3f ms a step on average, %.3f ms at worst (50 steps)\n",
                total / 50, worst);
    w.track = nullptr;
    w.MoveWindow(0, 0, 1200, 800);
    w.UpdateWindow();
  }

  // 3. Render-abort latency: features of about 1 ms each, an arrow key queued
  //    30 ms into the pass.
  {
    double worst = 0.0, total = 0.0;
    constexpr int kRounds = 10;
    for (int round = 0; round < kRounds; ++round) {
      Clock::time_point posted{};
      bool post = true;
      w.underlay = [&](plat::Dc_t& screen) {
        const auto begin = Clock::now();
        for (int feature = 0; feature < 2000; ++feature) {
          const auto f = Clock::now();
          while (Ms(f, Clock::now()) < 1.0) {
          }
          if (post && Ms(begin, Clock::now()) >= 30.0) {
            post = false;
            posted = Clock::now();
            plat::PostKey(w, plat::kVkDown);
          }
          w.CheckRenderProgress(screen);
        }
      };
      w.SetCenter(w.GetProjector().GetCenter());
      w.UpdateWindow();
      const double ms = Ms(posted, Clock::now());
      total += ms;
      if (ms > worst) worst = ms;
      w.underlay = nullptr;
      plat::PumpUntilIdle();
      w.UpdateWindow();
    }
    std::printf("render abort: %.1f ms from the queued key to the end of the pass on average, %.1f ms at worst\n",
                total / kRounds, worst);
    plat::InputProbe_t probe;
    constexpr int kPeeks = 10000;
    const auto start = Clock::now();
    std::size_t held = 0;
    for (int i = 0; i < kPeeks; ++i) held += probe.Peek().size();
    std::printf("input probe: %.4f ms a look (%zu held)\n", Ms(start, Clock::now()) / kPeeks, held);
  }

  // 4. A hover of three lines shown and hidden.
  {
    map::NrstFeature_t feature;
    feature.kind = map::NrstFeature_t::Kind_Point;
    feature.position = w.GetProjector().ScreenToPosition(plat::POINT{600, 400});
    feature.lines = {"Summit", "1234 m", "a longer third line of text"};
    const int passes = w.passes;
    constexpr int kRounds = 1000;
    double show = 0.0, hide = 0.0;
    for (int i = 0; i < kRounds; ++i) {
      auto a = Clock::now();
      {
        plat::ClientDc_t dc(w);
        w.GetPopups().BeginHover(dc, plat::POINT{600, 400}, feature, w.GetProjector());
        w.GetPopups().ShowHover(dc, w.GetPalette(), feature, w);
      }
      auto b = Clock::now();
      {
        plat::ClientDc_t dc(w);
        w.GetPopups().Erase(dc);
      }
      auto c = Clock::now();
      show += Ms(a, b);
      hide += Ms(b, c);
    }
    plat::PumpUntilIdle();
    std::printf("hover of 3 lines: show %.4f ms, hide %.4f ms (%d map passes)\n", show / kRounds, hide / kRounds,
                w.passes - passes);
  }
  window.reset();
  frame.DestroyWindow();
  return 0;
}
