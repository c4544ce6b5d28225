#pragma once
// Helpers for the short records of a product description file: a type letter,
// a 16-bit length and the payload.
#include <cstdint>
#include <string>

#include "bin/BIN_record.h"
#include "bin/BIN_stream.h"

namespace tdb {

// The type letter of the next record without taking it; -1 at the end of the
// data or when the stream has failed.
inline int PeekRecordType(bin::istream& in) {
  if (!in.good()) return -1;
  try {
    const auto c = in.rdbuf()->sgetc();
    if (std::char_traits<char>::eq_int_type(c, std::char_traits<char>::eof())) return -1;
    return static_cast<unsigned char>(std::char_traits<char>::to_char_type(c));
  } catch (...) {
    in.setstate(std::ios_base::badbit);
    return -1;
  }
}

// True while at least one more byte remains in a payload being read.
inline bool BytesRemain(bin::istream& payload) { return PeekRecordType(payload) >= 0; }

// Reads one record; false when the stream could not deliver a whole record.
inline bool ReadShortRecord(bin::istream& in, bin::oldrecord_t& record) {
  bin::read_short_record(in, record);
  return !in.fail();
}

// Reads a NUL-terminated string; false (text unchanged) when it is cut short.
inline bool ReadCString(bin::istream& in, std::string& text) {
  std::string read;
  bin::read_string(in, read);
  if (in.fail()) return false;
  text = std::move(read);
  return true;
}

template <class V>
inline bool ReadValue(bin::istream& in, V& value) {
  bin::read_le(in, value);
  return !in.fail();
}

}  // namespace tdb
