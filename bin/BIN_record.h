#pragma once
// Typed records and the encodings of the common values.
//
// A record object is a payload being built or read (a string stream) with a
// type byte. In the enclosing stream a record_t is framed as
//   [u32 payload length][u8 type][payload]
// and the short form oldrecord_t (only read) as
//   [u8 type][u16 payload length][payload].
// Strings are their bytes followed by one NUL; a 16-bit value is 2 bytes, low first.
//
// Reading never throws by itself: an orderly end of the data before a value or a
// record leaves eof and fail set; a record cut short also sets bad, so a caller
// tells the end of the records from a damaged one by the bad flag.
#include <cstdint>
#include <string>

#include "bin/BIN_stream.h"

namespace bin {

class record_t : public basic_stringstream<char> {
 public:
  explicit record_t(unsigned char type) : m_type(type) {}
  ~record_t() override {}

  unsigned char type() const noexcept { return m_type; }
  void type(unsigned char value) noexcept { m_type = value; }

 private:
  unsigned char m_type;
};

class oldrecord_t : public basic_stringstream<char> {
 public:
  explicit oldrecord_t(unsigned char type) : m_type(type) {}
  ~oldrecord_t() override {}

  unsigned char type() const noexcept { return m_type; }
  void type(unsigned char value) noexcept { m_type = value; }

 private:
  unsigned char m_type;
};

ostream& write_u16(ostream& out, std::uint16_t value);
// Assigns 'value' only when both bytes were read.
istream& read_u16(istream& in, std::uint16_t& value);

// Every byte of the text, then one NUL.
ostream& write_string(ostream& out, const std::string& text);
// Empties 'text', then takes bytes up to a NUL (consumed, not stored) or until
// a read fails (then eof and fail are set and 'text' holds the bytes read).
istream& read_string(istream& in, std::string& text);

// Writes the record in its framing; glo::OutOfRange_t for a payload of 4 GiB or more.
ostream& write_record(ostream& out, record_t& record);

// Reads one record: its type replaces the record's type, its payload replaces the
// record's contents and is read from its first byte. The caller checks the type.
istream& read_record(istream& in, record_t& record);
istream& read_short_record(istream& in, oldrecord_t& record);

}  // namespace bin
