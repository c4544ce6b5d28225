#pragma once
// A binary stream together with the header that governs it: versioned records
// (tracks, names, GPS keys, route waypoints) choose their layout by its data
// version. Made over an input stream for reading or an output stream for writing.
#include <cstdint>

#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"

namespace doc {

class InfoStream_t {
 public:
  InfoStream_t(bin::istream& in, const Info_t& info) : m_info(info), m_in(&in), m_out(nullptr) {}
  InfoStream_t(bin::ostream& out, const Info_t& info) : m_info(info), m_in(nullptr), m_out(&out) {}
  InfoStream_t(const InfoStream_t&) = delete;
  InfoStream_t& operator=(const InfoStream_t&) = delete;

  const Info_t& Info() const { return m_info; }
  std::uint16_t DataVersion() const { return m_info.DataVersion(); }

  bool IsInput() const { return m_in != nullptr; }
  // The stream read from; glo::Assert_t when made for writing.
  bin::istream& In() const;
  // The stream written to; glo::Assert_t when made for reading.
  bin::ostream& Out() const;

 private:
  Info_t m_info;
  bin::istream* m_in;
  bin::ostream* m_out;
};

}  // namespace doc
