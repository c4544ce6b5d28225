#pragma once
// Helpers of the GPS-data tests that write and read versioned streams.
#include <cstdint>

#include <string>

#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "doc/DOC_InfoStream.h"

namespace gdbtest {

// A version context of the GPS data with the given data version.
inline doc::Info_t Version(std::uint16_t dataVersion) {
  return doc::Info_t("GbRc", dataVersion, doc::AppBuildInfo_t(205, "test", "Dec 10 2026", "12:00:00"),
                     std::string("StridemereLogbook"), 101);
}

// The bytes that write(stream) puts out under the given data version.
template <typename F>
std::string WriteBytes(std::uint16_t dataVersion, F write) {
  bin::stringstream out;
  doc::InfoStream_t stream(static_cast<bin::ostream&>(out), Version(dataVersion));
  write(stream);
  return out.good() ? out.str() : std::string("<failed>");
}

// Runs read(stream) over the bytes under the given data version; returns the
// stream state afterwards.
template <typename F>
std::ios_base::iostate ReadBytes(const std::string& bytes, std::uint16_t dataVersion, F read) {
  bin::stringstream in(bytes);
  doc::InfoStream_t stream(static_cast<bin::istream&>(in), Version(dataVersion));
  read(stream);
  return in.rdstate();
}

}  // namespace gdbtest
