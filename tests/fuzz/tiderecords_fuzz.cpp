// The tide records of a map's label sub-file on any bytes: a station's
// corrections, reference record and constituent list, or its simplified record
// with every day, monthly and mean-level value, then a day's prediction from
// what was read. Input: one byte choosing the point's subtype, one byte giving
// the length of the station pointer with its corrections, those bytes, and the
// tide section.
#include <cmath>
#include <vector>

#include "glo/GLO_Exception.h"
#include "mpl/tide/MPL_TideEngine.h"
#include "tests/fuzz/FuzzSeeds.h"
#include "tests/imgkit/TideBuilder.h"

namespace {

constexpr std::uint8_t kSubtypes[4] = {0, 1, 2, 6};

std::string Input(std::uint8_t subtype, const std::string& pointer, const std::string& section) {
  std::string out;
  out.push_back(static_cast<char>(subtype));
  out.push_back(static_cast<char>(pointer.size()));
  return out + pointer + section;
}

void Predict(const mpl::MDB_tide_station_type& station, std::uint32_t day) {
  mpl::MDB_tide_event_type events[12];
  float heights[25];
  if (mpl::TidePredict(station, day, 0, events, 12, heights, 25) != 1) return;
  for (float h : heights) {
    if (!std::isfinite(h)) __builtin_trap();
  }
  for (const auto& e : events) {
    if (e.kind != mpl::kTideNoEvent && e.kind != mpl::kTideLowWater && e.kind != mpl::kTideHighWater) __builtin_trap();
  }
}

void Harmonic(mpl::MdbMap_t& map, std::uint8_t subtype, std::uint32_t pointer, std::uint32_t sectionLength) {
  mpl::MDB_tide_corrections_type corrections{};
  if (mpl::MdbReadTideCorrections(map, 29, subtype, pointer, corrections) != 0) return;
  mpl::MDB_tide_ref_info_type ref{};
  if (mpl::MdbReadTideRefInfo(map, corrections.dataOffset, ref) != 0) return;
  std::vector<mpl::MDB_tide_constituent_type> list;
  mpl::MDB_tide_constituent_ws_type ws{};
  if (mpl::MdbFirstTideConstituent(map, ref, ws) == 0) {
    do {
      if ((ws.entry.phase & 0xFFFFFu) != 0 || ws.entry.amplitude > 32767) __builtin_trap();
      list.push_back(ws.entry);
      if (list.size() > sectionLength) __builtin_trap();  // every entry takes bytes
    } while (mpl::MdbNextTideConstituent(map, ws) == 0);
  }
  if (list.empty() || list.size() > 64) return;
  mpl::MDB_tide_station_type station;
  station.map = &map;
  station.kind = subtype == 6 ? 2 : 0;
  station.corrections = &corrections;
  station.refInfo = &ref;
  station.latitude = 0x15000000;
  station.count = static_cast<std::uint16_t>(list.size());
  station.constituents = list.data();
  station.interpolate = subtype == 1 ? 1 : 0;
  Predict(station, static_cast<std::uint32_t>(mpl::DateToEngineSeconds({12, 31, 2003})));
}

void Simplified(mpl::MdbMap_t& map, std::uint32_t pointer) {
  std::int32_t offset = 0;
  if (mpl::MdbReadSimplifiedOffset(map, 29, 2, pointer, offset) != 0) return;
  mpl::MDB_tide_simplified_type rec{};
  if (mpl::MdbReadSimplifiedRecord(map, offset, rec) != 0) return;
  std::int32_t raw = 0, divisor = 0;
  for (unsigned i = 0; i < 9; ++i) {
    if (mpl::MdbReadDayLevel(map, rec, i, raw, divisor) == 0 && divisor == 0) __builtin_trap();
  }
  for (unsigned month = 1; month <= 12; ++month) {
    for (unsigned table = 0; table < 4; ++table) {
      if (mpl::MdbReadMonthlyValue(map, rec, month, table, raw, divisor) == 0 && divisor == 0) __builtin_trap();
    }
    if (mpl::MdbReadMeanLevelValue(map, rec.meanLevelOffset, month, raw, divisor) == 0 && divisor == 0) {
      __builtin_trap();
    }
  }
  mpl::MDB_tide_station_type station;
  station.map = &map;
  station.kind = 1;
  station.simplified = &rec;
  Predict(station, static_cast<std::uint32_t>(mpl::DateToEngineSeconds({1, 31, 2012})));
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  std::vector<std::string> seeds;
  imgkit::TideSectionBuilder_t harmonic;
  const std::uint32_t at = harmonic.AddHarmonic(
      -300, 3000, {{0, 1800, 1500, true}, {1, 450, 1800}, {3, 520, 700}, {5, 380, 600}, {175, 8, 2222, true, 2}});
  harmonic.AddHarmonic(570, 10, {{34, 99, 1}});
  const auto length = static_cast<std::uint32_t>(harmonic.Bytes().size());
  seeds.push_back(Input(0, imgkit::EncodeStationPointer(length, at), harmonic.Bytes()));
  imgkit::TideCorrectionsFields_t corrections;
  corrections.lowTime = 25;
  corrections.highTime = -40;
  corrections.wideTimes = true;
  corrections.layout = 1;
  corrections.first = 95;
  corrections.second = 0x1F0;
  corrections.furtherTime = -75;
  seeds.push_back(
      Input(1, imgkit::EncodeStationPointer(length, at) + imgkit::EncodeCorrections(corrections), harmonic.Bytes()));
  seeds.push_back(Input(3, imgkit::EncodeStationPointer(length, at), harmonic.Bytes()));

  imgkit::TideSectionBuilder_t simplified;
  const std::uint32_t mean = simplified.AddMeanLevelTable(0x15, {1, -1, 0, 2, -2, 1, 0, -1, 1, 0, -2, 1});
  imgkit::TideSimplifiedFields_t fields;
  fields.flags = 10 | 0x20 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400 | 0x1800 | 0x2000 | 0x4000;
  fields.z0 = 1500;
  const std::uint16_t phases[6] = {1000, 20, 3000, 2800, 500, 3900};
  const std::uint16_t amplitudes[4] = {800, 250, 150, 100};
  std::copy(phases, phases + 6, fields.phases);
  std::copy(amplitudes, amplitudes + 4, fields.amplitudes);
  fields.f4 = 30;
  fields.f6 = 10;
  fields.minutes = 30;
  fields.meanLevelOffset = mean;
  fields.offsetWidth = 1;
  fields.dayFlags = 2 | 0x08 | 0x10;
  fields.day = {50, -10, -10, -8, -8, -6, -4, -2};
  fields.monthlyFlags = 0xE7;
  fields.monthly[0] = {25, -30, 40, 15, -20, 35, -10, 5, -45, 30, 20};
  fields.monthly[1] = {-1, -1, 0, -1, -1, 0, -1, 0, 0, 0, -1};
  fields.monthly[2] = {5, -3, 2, 4, -6, 1, 0, -2, 3, -1, 2};
  fields.monthly[3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  const std::uint32_t record = simplified.AddSimplified(fields);
  seeds.push_back(Input(2, imgkit::EncodeStationPointer(
                               static_cast<std::uint32_t>(simplified.Bytes().size()), record),
                        simplified.Bytes()));
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t subtype = kSubtypes[data[0] & 3u];
  const std::size_t pointerLength = data[1] < size - 2 ? data[1] : size - 2;
  const std::string pointer = fuzz::Bytes(data + 2, pointerLength);
  const std::string section = fuzz::Bytes(data + 2 + pointerLength, size - 2 - pointerLength);
  try {
    std::uint32_t at = 0;
    imgkit::TideMap_t map(imgkit::BuildTideLbl(section, pointer, at));
    if (map.openResult != 0) __builtin_trap();  // the built header is always good
    if (subtype == 2) {
      Simplified(map.map, at);
    } else {
      Harmonic(map.map, subtype, at, static_cast<std::uint32_t>(section.size()));
    }
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
