// download_bench: downloads 2,000 D301 track points from the simulated watch,
// throttled to the 9600-baud wire (960 bytes a second, the host's
// acknowledgements counted as wire time too), and reports the points per second
// against the wire's limit.
//
//   download_bench [points]
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "gdb/GDB_Database.h"
#include "ioa/IOA_Channel.h"
#include "iog/IOG_Channel.h"
#include "ios/IOS_SerialLink.h"
#include "thr/THR_Event.h"
#include "thr/THR_Progress.h"
#include "tools/SimTrackLog.h"
#include "tools/SimWire.h"

namespace {

constexpr unsigned kWireBytesPerSecond = 960;

// Wire bytes of a D301 record frame (DLE doubling included).
std::size_t WireBytes(const sim::SimTrackPoint& p) {
  return sim::EncodeFrame(static_cast<std::uint8_t>(sim::kTrackPointId), sim::EncodePoint(301, p)).size();
}

// The value with every byte 0x10 made 0x11.
std::uint32_t NoDle(std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8)
    if (((v >> shift) & 0xFFu) == 0x10u) v += 1u << shift;
  return v;
}

// The next float above a positive one. (<cmath> is not included here: its
// jnl() would collide with the journal's namespace.)
float NextUp(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  ++bits;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (count <= 0) {
    std::fprintf(stderr, "usage: download_bench [points]\n");
    return 2;
  }
  std::setlocale(LC_CTYPE, "C.UTF-8");

  // A run of points with altitude, as a watch records them; each one is nudged
  // until its frame needs no doubled DLE, so that every record is the plain
  // 27 bytes on the wire.
  sim::TrackLog log;
  log.protocol = sim::TrackProtocol::kA300;
  log.pointType = 301;
  log.tracks.emplace_back();
  std::size_t pointBytes = 0;
  for (int i = 0; i < count; ++i) {
    sim::SimTrackPoint p;
    p.latitude = 573000000 + i * 2311;
    p.longitude = 118000000 + i * 1931;
    p.time = 1100000000u + static_cast<std::uint32_t>(i);
    p.altitude = 40.0f + static_cast<float>(i % 50);
    p.newTrack = i == 0 ? 1 : 0;
    p.latitude = static_cast<std::int32_t>(NoDle(static_cast<std::uint32_t>(p.latitude)));
    p.longitude = static_cast<std::int32_t>(NoDle(static_cast<std::uint32_t>(p.longitude)));
    p.time = NoDle(p.time);
    // The checksum may still be a DLE: move the altitude by its last bit.
    while (WireBytes(p) > 27) p.altitude = NextUp(*p.altitude);
    pointBytes += WireBytes(p);
    log.tracks[0].points.push_back(p);
  }
  // One acknowledgement from the host per frame.
  sim::Bytes ackData;
  sim::PutU16(ackData, sim::kTrackPointId);
  const std::size_t ackBytes = sim::EncodeFrame(6, ackData).size();
  const double wireSeconds = static_cast<double>(pointBytes + ackBytes * static_cast<std::size_t>(count)) /
                             kWireBytesPerSecond;
  const double limit = count / wireSeconds;

  try {
    sim::TrackLogWatch_t watch(log);
    watch.SetThrottle(kWireBytesPerSecond);
    thr::Event_t stop(nullptr, true, false, nullptr);
    ios::SerialLink_t link(stop, watch.PortPath(), 9600);
    iog::Channel_t channel(link);
    channel.EnableA302();
    gdb::Database_t database;
    thr::PhasedProgress_t<ioa::Phase_t> progress(0, ioa::kPhaseStarted, 0);

    const auto start = std::chrono::steady_clock::now();
    channel.DownloadTracks(database, progress);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::int32_t received = 0;
    for (const auto& entry : database.GetTracks()) received += entry.second.GetCount();
    if (received != count) {
      std::fprintf(stderr, "downloaded %d points instead of %d\n", static_cast<int>(received), count);
      return 1;
    }
    const double rate = count / seconds;
    std::printf("download of %d D301 points at %u bytes/s (%zu + %zu wire bytes per point)\n", count,
                kWireBytesPerSecond, pointBytes / static_cast<std::size_t>(count), ackBytes);
    std::printf("  time                 %.2f s (record count and completion frames included)\n", seconds);
    std::printf("  points per second    %.2f\n", rate);
    std::printf("  wire limit           %.2f points per second\n", limit);
    std::printf("  share of the limit   %.1f %% (target 95 %%)\n", 100.0 * rate / limit);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "download failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
