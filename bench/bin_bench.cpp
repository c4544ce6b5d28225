// Writes one million small typed records to a binary stream and reads them back,
// as loading a large history does; prints the time of each half.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bin/BIN_record.h"

int main() {
  using Clock = std::chrono::steady_clock;
  constexpr std::uint32_t kRecords = 1000000;

  bin::stringstream stream;
  const auto writeStart = Clock::now();
  for (std::uint32_t i = 0; i < kRecords; ++i) {
    bin::record_t r('T');
    bin::write_le(r, static_cast<std::int32_t>(i * 7));    // latitude
    bin::write_le(r, static_cast<std::int32_t>(-i * 3));   // longitude
    bin::write_le(r, static_cast<float>(i) * 0.5f);        // altitude
    bin::write_le(r, i);                                   // time
    bin::write_u16(r, static_cast<std::uint16_t>(i));
    bin::write_string(r, "lap");
    bin::write_record(stream, r);
  }
  const auto writeEnd = Clock::now();

  std::uint64_t check = 0;
  std::uint32_t count = 0;
  bin::record_t r('?');
  const auto readStart = Clock::now();
  for (;;) {
    bin::read_record(stream, r);
    if (!stream.good()) break;
    std::int32_t lat = 0, lon = 0;
    float alt = 0;
    std::uint32_t time = 0;
    std::uint16_t small = 0;
    std::string name;
    bin::read_le(r, lat);
    bin::read_le(r, lon);
    bin::read_le(r, alt);
    bin::read_le(r, time);
    bin::read_u16(r, small);
    bin::read_string(r, name);
    if (!r.good() || r.type() != 'T') break;
    check += static_cast<std::uint32_t>(lat) + time + small + name.size();
    ++count;
  }
  const auto readEnd = Clock::now();

  const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("records: %u of %u read back (%s), stream %zu bytes, check %llu\n", count, kRecords,
              stream.bad() ? "damaged" : "clean end", stream.str().size(),
              static_cast<unsigned long long>(check));
  std::printf("write: %.1f ms\nread:  %.1f ms\ntotal: %.1f ms\n", ms(writeEnd - writeStart),
              ms(readEnd - readStart), ms(writeEnd - writeStart) + ms(readEnd - readStart));
  return count == kRecords ? 0 : 1;
}
