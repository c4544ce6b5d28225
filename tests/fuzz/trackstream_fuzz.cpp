// The GPS track stream on any bytes, under any data version: the first two bytes
// give the version, the rest is the stream. A track that was read is written again
// and reads back with the same name and points.
#include <string>
#include <vector>

#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "doc/DOC_InfoStream.h"
#include "gdb/GDB_Key.h"
#include "gdb/GDB_Track.h"
#include "glo/GLO_Exception.h"
#include "tests/fuzz/FuzzSeeds.h"

namespace {

doc::Info_t Version(std::uint16_t dataVersion) {
  return doc::Info_t("GbRc", dataVersion, doc::AppBuildInfo_t(205, "2.5", "Dec 10 2026", "12:00:00"),
                     std::string("StridemereLogbook"), 101);
}

std::string Written(const gdb::Track_t& track, std::uint16_t dataVersion) {
  bin::stringstream out;
  track.Write(Version(dataVersion), out);
  return out.str();
}

template <typename V>
bool Same(const glo::Optional_t<V>& a, const glo::Optional_t<V>& b) {
  // Values read from any bytes may be NaN, which equals nothing.
  return a.IsPresent() == b.IsPresent() && (!a.IsPresent() || *a == *b || (*a != *a && *b != *b));
}

// The points of both tracks hold the same values. (The bytes written can differ:
// an absent time is written as the time of writing.)
bool SamePoints(const gdb::Track_t& a, const gdb::Track_t& b) {
  if (a.GetCount() != b.GetCount()) return false;
  auto other = b.begin();
  for (const gdb::TrackPoint_t& point : a) {
    const gdb::TrackPoint_t& that = *other;
    ++other;
    const bool sameTime = point.GetTime().IsPresent() == that.GetTime().IsPresent() &&
                          (!point.GetTime().IsPresent() || point.GetTime()->GetValue() == that.GetTime()->GetValue());
    if (point.GetPosition().GetLatitude() != that.GetPosition().GetLatitude() ||
        point.GetPosition().GetLongitude() != that.GetPosition().GetLongitude() ||
        !Same(point.GetPosition().GetAltitude(), that.GetPosition().GetAltitude()) || !sameTime ||
        !Same(point.GetDepth(), that.GetDepth()) || !Same(point.GetTemperature(), that.GetTemperature()))
      return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> StrideFuzzSeeds() {
  gdb::Track_t track;
  track.SetName("Caf\xC3\xA9");
  for (int i = 0; i < 3; ++i) {
    gdb::TrackPoint_t point;
    point.SetPosition(geo::Position_t(500000000 + i * 1000, -20000000 - i * 700));
    track.AppendPoint(point);
  }
  std::vector<std::string> seeds;
  for (std::uint16_t version : {106, 105, 101, 100}) {
    const std::string body = Written(track, version);
    seeds.push_back(std::string{static_cast<char>(version & 0xFF), static_cast<char>(version >> 8)} + body);
  }
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint16_t dataVersion = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  try {
    bin::stringstream in(fuzz::Bytes(data + 2, size - 2));
    gdb::Track_t track;
    track.Read(Version(dataVersion), in);
    if (!in.fail()) {
      bin::stringstream back(Written(track, dataVersion));
      gdb::Track_t reread;
      reread.Read(Version(dataVersion), back);
      if (back.fail() || reread.GetName() != track.GetName() || !SamePoints(reread, track)) __builtin_trap();
    }
    bin::stringstream keys(fuzz::Bytes(data + 2, size - 2));
    doc::InfoStream_t stream(static_cast<bin::istream&>(keys), Version(dataVersion));
    gdb::TrackId_t key;
    key.Read(stream);
  } catch (const glo::Exception_t&) {
  }
  return 0;
}
