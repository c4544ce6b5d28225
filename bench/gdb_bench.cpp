// GPS-data benchmarks: summarising a 100,000-point track, streaming it out and
// back, and redrawing it from the segment cache versus from scratch.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bin/BIN_stream.h"
#include "gdb/GDB_Track.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_Time.h"
#include "map/MAP_CosProjector.h"
#include "plat/PLAT_Gdi.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

gdb::TrackPoint_t MakePoint(int i) {
  const std::int32_t lat = 560742000 + i * 1000 + (i % 3) * 700;
  const std::int32_t lon = 95443700 + i * 1500 - (i % 5) * 900;
  geo::Altitude_t altitude;
  if (i % 3 == 0) altitude = 400.0 + (i % 1000) * 0.5;
  glo::Optional_t<glo::Time_t> time(glo::Time_t(1100000000 + 5 * static_cast<std::int64_t>(i)));
  glo::Optional_t<double> temperature;
  if (i % 4 == 0) temperature = 12.5;
  return gdb::TrackPoint_t(geo::Position_t(lat, lon, altitude), time, glo::Optional_t<double>(), temperature);
}

}  // namespace

int main() {
  constexpr int kPoints = 100000;
  std::vector<gdb::TrackPoint_t> points;
  points.reserve(kPoints);
  for (int i = 0; i < kPoints; ++i) points.push_back(MakePoint(i));

  // --- Summaries -----------------------------------------------------------
  auto start = Clock::now();
  gdb::Track_t track;
  for (const auto& p : points) track.AppendPoint(p);
  const double appendMs = MsSince(start);

  start = Clock::now();
  double direct = 0.0;
  for (int i = 0; i + 1 < kPoints; ++i)
    direct += geo::DistanceAndBearing(points[i].GetPosition(), points[i + 1].GetPosition()).distance;
  const double directMs = MsSince(start);

  std::vector<gdb::Track_t::Iterator_t> at;
  at.reserve(kPoints + 1);
  for (auto it = track.Begin(); it != track.End(); ++it) at.push_back(it);
  constexpr int kRanges = 1000;
  start = Clock::now();
  double sum = 0.0;
  for (int r = 0; r < kRanges; ++r) {
    const int a = (r * 97) % (kPoints / 2), b = kPoints / 2 + (r * 89) % (kPoints / 2 - 1);
    sum += track.GetSummary(at[a], at[b]).GetDistance();
  }
  const double rangeUs = MsSince(start) * 1000.0 / kRanges;

  std::printf("summaries: %d points in %zu segments\n", kPoints, track.GetSegments().size());
  std::printf("  append with running summaries: %8.1f ms (%.2f us per point)\n", appendMs, appendMs * 1000.0 / kPoints);
  std::printf("  direct leg-by-leg distance:     %8.1f ms\n", directMs);
  std::printf("  totals %.3f m, direct %.3f m (difference %.2e m)\n", track.GetTotals().GetDistance(), direct,
              track.GetTotals().GetDistance() - direct);
  std::printf("  range summary (about 50,000 points): %.1f us each (checksum %.0f)\n", rangeUs, sum);

  // --- Stream --------------------------------------------------------------
  const doc::Info_t& version = gdb::GetTrackDataVersion();
  start = Clock::now();
  bin::stringstream out;
  track.Write(version, out);
  const double writeMs = MsSince(start);
  const std::string bytes = out.str();
  start = Clock::now();
  bin::stringstream in(bytes);
  gdb::Track_t read;
  read.Read(version, in);
  const double readMs = MsSince(start);
  std::printf("stream: %zu bytes\n", bytes.size());
  std::printf("  write %8.1f ms, read back %8.1f ms (%s, %d points)\n", writeMs, readMs,
              in.good() ? "good" : "FAILED", read.GetTotals().GetCount());

  // --- Drawing -------------------------------------------------------------
  constexpr int kWidth = 800, kHeight = 600;
  plat::Dc_t dc;
  plat::Bitmap_t bitmap;
  if (!dc.CreateCompatibleDC(nullptr) || !bitmap.CreateCompatibleBitmap(dc, kWidth, kHeight)) {
    std::printf("drawing: no memory context\n");
    return 1;
  }
  const plat::GdiHandle_t original = dc.SelectObject(bitmap);
  const geo::Box_t& box = track.GetTotals().GetBox();
  const double scale = 1.1 * std::max(double(box.GetNorth() - box.GetSouth()) / kHeight,
                                      double(box.GetWidth()) / kWidth);
  map::CosProjector_t projector(scale, box.GetCenter(), plat::RECT{0, 0, kWidth, kHeight}, 0);

  constexpr int kDraws = 20;
  start = Clock::now();
  for (int d = 0; d < kDraws; ++d) track.Draw(dc, projector, d % 2);  // another state: every segment recorded
  const double scratchMs = MsSince(start) / kDraws;
  start = Clock::now();
  for (int d = 0; d < kDraws; ++d) track.Draw(dc, projector, 1);  // same state and view: replayed
  const double cachedMs = MsSince(start) / kDraws;
  // Zoomed in so that markers are drawn (about 5 pixels per 100 m).
  projector.SetScale(2000.0);
  projector.SetCenter(points[kPoints / 2].GetPosition());
  start = Clock::now();
  for (int d = 0; d < kDraws; ++d) track.Draw(dc, projector, d % 2);
  const double scratchZoomMs = MsSince(start) / kDraws;
  start = Clock::now();
  for (int d = 0; d < kDraws; ++d) track.Draw(dc, projector, 1);
  const double cachedZoomMs = MsSince(start) / kDraws;
  dc.SelectObject(original);

  std::printf("drawing %dx%d, %zu segments:\n", kWidth, kHeight, track.GetSegments().size());
  std::printf("  whole track: from scratch %8.2f ms, from the cache %8.2f ms per draw\n", scratchMs, cachedMs);
  std::printf("  zoomed with markers: from scratch %8.2f ms, from the cache %8.2f ms per draw\n", scratchZoomMs,
              cachedZoomMs);
  return 0;
}
