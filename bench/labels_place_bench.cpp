// Label placement: placing 500, 2,000 and 5,000 mixed labels (upright boxes
// of area and point names, rotated and upright line labels) in the grid of a
// 1600 x 1200 map, and the overlap test of two labels, upright and rotated.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "map/MAP_Dymo.h"
#include "map/MAP_Label.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// A fixed pseudo-random sequence, so that every run places the same labels.
class Random {
 public:
  std::uint32_t Next() {
    m_state = m_state * 1664525u + 1013904223u;
    return m_state >> 8;
  }
  int In(int from, int to) { return from + int(Next() % std::uint32_t(to - from + 1)); }

 private:
  std::uint32_t m_state = 12345;
};

map::Label_t Upright(int x, int y, int w, int h, std::uint32_t priority, std::uint32_t id, std::int32_t kind) {
  map::Label_t l;
  l.corners = {plat::POINT{x, y + h}, plat::POINT{x, y}, plat::POINT{x + w, y}, plat::POINT{x + w, y + h}};
  l.upright = true;
  l.x = x;
  l.y = y;
  l.priority = priority;
  l.labelId = id;
  l.kind = kind;
  l.text = "label";
  return l;
}

map::Label_t Rotated(int cx, int cy, int w, int h, int degrees, std::uint32_t priority, std::uint32_t id) {
  const double a = degrees * 3.14159265358979323846 / 180.0;
  const double cs = std::cos(a), sn = std::sin(a);
  auto at = [&](double u, double v) {
    return plat::POINT{cx + int(std::lround(u * cs - v * sn)), cy - int(std::lround(u * sn + v * cs))};
  };
  map::Label_t l;
  l.corners = map::Label_t::NormaliseCorners({at(-w / 2.0, 0), at(-w / 2.0, h), at(w / 2.0, h), at(w / 2.0, 0)});
  l.upright = false;
  l.angle = degrees * 10;
  l.x = cx;
  l.y = cy;
  l.priority = priority;
  l.labelId = id;
  l.kind = map::kLineLabel;
  l.text = "label";
  return l;
}

std::vector<map::Label_t> MixedLabels(int count) {
  Random r;
  std::vector<map::Label_t> labels;
  labels.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) {
    const int x = r.In(0, 1580), y = r.In(0, 1180);
    const std::uint32_t priority = std::uint32_t(r.In(0, 250));
    const std::uint32_t id = std::uint32_t(r.In(1, count / 3 + 1));
    switch (i % 5) {
      case 0:
      case 1: labels.push_back(Upright(x, y, r.In(30, 120), r.In(14, 22), priority, id, map::kPointLabel)); break;
      case 2: labels.push_back(Upright(x, y, r.In(40, 160), r.In(14, 22), priority, id, map::kAreaLabel)); break;
      default: {
        const int angle = 3 * r.In(0, 60) + 270;  // 270 ... 450 degrees in steps of 3
        if (angle % 90 == 0)
          labels.push_back(Upright(x, y, r.In(40, 140), 18, priority, id, map::kLineLabel));
        else
          labels.push_back(Rotated(x, y, r.In(40, 140), 18, angle % 360, priority, id));
      }
    }
  }
  return labels;
}

void PlaceRun(int count) {
  const std::vector<map::Label_t> labels = MixedLabels(count);
  std::vector<double> times;
  std::size_t kept = 0;
  for (int run = 0; run < 7; ++run) {
    map::Dymo_t grid(plat::RECT{0, 0, 1600, 1200}, nullptr);
    const auto t0 = Clock::now();
    for (const map::Label_t& l : labels) {
      map::DymoCell_t* cell = grid.FindCell(plat::POINT{l.x, l.y});
      if (cell != nullptr) grid.Place(l, *cell);
    }
    times.push_back(Ms(t0, Clock::now()));
    kept = 0;
    for (int row = 0; row < grid.Rows(); ++row)
      for (int col = 0; col < grid.Columns(); ++col) kept += grid.Cell(row, col).Labels().size();
  }
  std::sort(times.begin(), times.end());
  std::printf("place %5d mixed labels: median %8.3f ms, best %8.3f ms (%zu kept)\n", count, times[3], times[0], kept);
}

void OverlapRun(const char* name, const std::vector<map::Label_t>& a, const std::vector<map::Label_t>& b) {
  const int rounds = 200;
  std::size_t hits = 0;
  const auto t0 = Clock::now();
  for (int r = 0; r < rounds; ++r)
    for (std::size_t i = 0; i < a.size(); ++i) hits += map::Label_t::Overlaps(a[i], b[(i + std::size_t(r)) % b.size()]);
  const double ms = Ms(t0, Clock::now());
  std::printf("overlap %-34s %6.1f ns a test (%zu of %zu meet)\n", name, ms * 1e6 / (rounds * double(a.size())), hits,
              rounds * a.size());
}

}  // namespace

int main() {
  for (int count : {500, 2000, 5000}) PlaceRun(count);
  // Pairs near one another, so that most bounding rectangles meet and the
  // rotated test has to decide.
  Random r;
  std::vector<map::Label_t> upA, upB, rotA, rotB;
  for (int i = 0; i < 5000; ++i) {
    const int x = r.In(100, 300), y = r.In(100, 300);
    upA.push_back(Upright(x, y, r.In(30, 120), 18, 1, 1, map::kPointLabel));
    upB.push_back(Upright(x + r.In(-80, 80), y + r.In(-40, 40), r.In(30, 120), 18, 1, 2, map::kPointLabel));
    rotA.push_back(Rotated(x, y, r.In(30, 120), 18, 3 * r.In(1, 29), 1, 1));
    rotB.push_back(Rotated(x + r.In(-80, 80), y + r.In(-40, 40), r.In(30, 120), 18, 3 * r.In(1, 29), 1, 2));
  }
  OverlapRun("upright vs upright (box test only):", upA, upB);
  OverlapRun("rotated vs rotated (exact test):", rotA, rotB);
  OverlapRun("upright vs rotated:", upA, rotB);
  return 0;
}
