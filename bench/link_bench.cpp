// Benchmark of the framed serial link against the simulated watch on an
// unthrottled pseudo-terminal (the baud rate has no effect there):
//  - turnaround: from the last byte of a watch frame leaving the watch to the
//    last byte of the link's acknowledgement arriving back at the watch;
//  - frames per second of long exchanges in both directions, and of 600-byte
//    multi-packet transfers from the watch.
// Usage: link_bench [frames]   (default 5000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ios/IOS_SerialLink.h"
#include "thr/THR_Event.h"
#include "tools/WatchSim.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

sim::Bytes Payload(std::size_t n) {
  sim::Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 13 + 1);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
  try {
    sim::Watch_t watch;
    watch.SetConversation(false);
    thr::Event_t abort(nullptr, true, false, nullptr);
    ios::SerialLink_t link(abort, watch.PortPath(), 9600);

    // Watch to host: the watch sends, the link receives and acknowledges.
    const sim::Bytes payload = Payload(100);
    for (int i = 0; i < frames; ++i) watch.Send(34, payload);
    auto start = Clock::now();
    for (int i = 0; i < frames; ++i) link.Receive(3000);
    const double inSeconds = Seconds(start);
    watch.WaitIdle(std::chrono::seconds(10));
    const std::vector<double> turnaround = watch.AckTurnaroundsUs();

    // Host to watch: the link sends, the watch acknowledges.
    const iol::Frame_t frame(34, std::vector<std::uint8_t>(payload.begin(), payload.end()));
    start = Clock::now();
    for (int i = 0; i < frames; ++i) link.Send(frame, 3000);
    const double outSeconds = Seconds(start);

    // Multi-packet transfers of 600 bytes from the watch (header and two segments).
    const int transfers = std::max(1, frames / 10);
    const sim::Bytes big = Payload(600);
    for (int i = 0; i < transfers; ++i) watch.SendMultiPacket(500, big);
    start = Clock::now();
    for (int i = 0; i < transfers; ++i) link.Receive(3000);
    const double multiSeconds = Seconds(start);

    std::printf("link_bench: %d frames of %zu data bytes each way, unthrottled pseudo-terminal\n", frames,
                payload.size());
    std::printf("  turnaround watch frame -> link ACK: median %.1f us, 90%% %.1f us, 99%% %.1f us, max %.1f us (%zu samples)\n",
                Percentile(turnaround, 0.5), Percentile(turnaround, 0.9), Percentile(turnaround, 0.99),
                Percentile(turnaround, 1.0), turnaround.size());
    std::printf("  watch -> host: %.0f frames/s (%.2f s)\n", frames / inSeconds, inSeconds);
    std::printf("  host -> watch: %.0f frames/s (%.2f s)\n", frames / outSeconds, outSeconds);
    std::printf("  600-byte multi-packet transfers from the watch: %.0f transfers/s (%d in %.2f s)\n",
                transfers / multiSeconds, transfers, multiSeconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "link_bench failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
