// Tide prediction speed: a harmonic station of 30 constituents predicted for
// 7 days at one sample a minute with its high and low waters, one engine call
// per day, by both harmonic methods.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "mpl/MPL_HarmonicTideStationBase.h"
#include "mpl/tide/MPL_TideEngine.h"
#include "tests/imgkit/TideBuilder.h"

namespace {

// Constituent number, amplitude (thousandths of a foot), phase (4096ths).
const mpl::MDB_tide_constituent_type kConstituents[30] = {
    {1500u << 20, 0, 1800},  {1800u << 20, 1, 450}, {1300u << 20, 2, 380}, {700u << 20, 3, 520},
    {600u << 20, 5, 380},    {1850u << 20, 34, 120}, {690u << 20, 29, 170}, {300u << 20, 4, 60},
    {500u << 20, 25, 70},    {1250u << 20, 10, 70}, {1700u << 20, 32, 50}, {100u << 20, 23, 40},
    {2000u << 20, 19, 30},   {3000u << 20, 20, 50}, {3500u << 20, 21, 80}, {900u << 20, 6, 20},
    {1100u << 20, 7, 15},    {400u << 20, 36, 25},  {1200u << 20, 13, 40}, {1000u << 20, 12, 45},
    {1600u << 20, 15, 12},   {800u << 20, 14, 20},  {650u << 20, 17, 15},  {720u << 20, 18, 25},
    {2500u << 20, 31, 10},   {100u << 20, 35, 5},   {2222u << 20, 175, 8}, {0u, 16, 10},
    {1790u << 20, 26, 25},   {1810u << 20, 27, 5},
};

// A hash of the exact bits of every height and event, so that a faster path
// can be shown to give the same results.
std::uint64_t fingerprint = 14695981039346656037ull;
void Mix(const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) fingerprint = (fingerprint ^ p[i]) * 1099511628211ull;
}

double RunWeek(const mpl::MDB_tide_station_type& station, std::uint32_t start, double& checksum, bool hashing) {
  constexpr int kSamples = 24 * 60 + 1;
  std::vector<float> heights(kSamples);
  mpl::MDB_tide_event_type events[12];
  const auto t0 = std::chrono::steady_clock::now();
  for (int day = 0; day < 7; ++day) {
    if (mpl::TidePredict(station, start + static_cast<std::uint32_t>(day) * 86400u, 0, events, 12, heights.data(),
                         kSamples) != 1) {
      std::printf("prediction failed\n");
      return 0.0;
    }
    checksum += heights[kSamples / 2] + events[0].height;
    if (hashing) {
      Mix(heights.data(), heights.size() * sizeof(float));
      for (const auto& e : events) {
        Mix(&e.kind, sizeof e.kind);
        Mix(&e.time, sizeof e.time);
        Mix(&e.height, sizeof e.height);
      }
    }
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  const mpl::MDB_tide_ref_info_type ref{0, -300, 3000, 3};
  mpl::MDB_tide_station_type station;
  station.refInfo = &ref;
  station.count = 30;
  station.constituents = kConstituents;
  station.latitude = 0x20000000;
  const std::uint32_t start = static_cast<std::uint32_t>(mpl::DateToEngineSeconds({6, 10, 2024}));
  double checksum = 0.0;
  for (int kind : {0, 2}) {
    station.kind = kind;
    double best = 1e30;
    for (int round = 0; round < 20; ++round) {
      const double ms = RunWeek(station, start, checksum, false);
      if (ms < best) best = ms;
    }
    std::printf("%s: 7 days, 1441 samples and the extremes a day, 30 constituents: %.3f ms\n",
                kind == 0 ? "yearly arguments" : "monthly arguments", best);
  }

  // The fingerprint: a year of days from 1 January 1990 in steps of 5 days
  // and 7 hours for both kinds, starting at odd times, across the year ends.
  for (int kind : {0, 2}) {
    station.kind = kind;
    for (std::uint32_t s = 86400u + 3600u; s < 86400u * 366u * 12u; s += 5u * 86400u + 7u * 3600u) {
      double unused = 0.0;
      RunWeek(station, s, unused, true);
    }
  }

  // The same through a station read from a map, with the samples and events
  // turned into station times.
  std::vector<imgkit::TideConstituentFields_t> fieldList;
  for (const auto& c : kConstituents) {
    fieldList.push_back({c.number, c.amplitude, static_cast<std::uint16_t>(c.phase >> 20), c.amplitude > 1023});
  }
  std::uint32_t pointer = 0;
  imgkit::TideMap_t map(imgkit::HarmonicStationLbl(fieldList, pointer));
  mpl::TidePointInfo_t point;
  point.type = 29;
  point.stationPointer = pointer;
  mpl::HarmonicTideStation_t harmonic(map.map, point, false);
  double best = 1e30;
  std::size_t count = 0;
  for (int round = 0; round < 20; ++round) {
    std::vector<mpl::TideSample_t> samples;
    std::vector<mpl::TideEvent_t> events;
    const auto t0 = std::chrono::steady_clock::now();
    harmonic.Predict(glo::Time_t(2024, 6, 10, 5, 0, 0), 7, 60, samples, events);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (ms < best) best = ms;
    count = samples.size() + events.size();
    if (round == 0) {
      for (const auto& sample : samples) {
        const std::int32_t at = sample.time.Time().GetValue();
        Mix(&at, sizeof at);
        Mix(&sample.height, sizeof sample.height);
      }
      for (const auto& event : events) {
        const std::int32_t at = event.time.Time().GetValue();
        Mix(&at, sizeof at);
        Mix(&event.height, sizeof event.height);
        Mix(&event.high, sizeof event.high);
      }
    }
  }
  std::printf("station prediction: 7 days at 60 samples an hour with events (%zu records): %.3f ms\n", count, best);
  std::printf("checksum %.3f\n", checksum);
  std::printf("fingerprint %016llx\n", static_cast<unsigned long long>(fingerprint));
  return 0;
}
