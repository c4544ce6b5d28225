#include "bin/BIN_record.h"

#include <algorithm>

#include "glo/GLO_Exception.h"

namespace bin {

namespace {

// Moves n payload bytes from the input into the record, in pieces as they
// arrive: a damaged length cannot make us reserve memory that no data fill.
// Input that ends early sets eof, fail and bad on it.
void CopyPayload(istream& in, basic_stringstream<char>& record, std::uint64_t n) {
  // 4 KiB at a time: the buffer grows only by what arrives.
  char piece[4096];
  std::uint64_t left = n;
  std::ios_base::iostate failure = std::ios_base::goodbit;
  while (left > 0) {
    const std::streamsize want = static_cast<std::streamsize>(std::min<std::uint64_t>(left, sizeof piece));
    std::streamsize got;
    try {
      got = in.rdbuf()->sgetn(piece, want);
    } catch (...) {
      failure = std::ios_base::badbit;
      break;
    }
    if (got > 0) record.write(piece, got);
    left -= static_cast<std::uint64_t>(got);
    if (got < want) {
      failure = std::ios_base::eofbit | std::ios_base::failbit | std::ios_base::badbit;
      break;
    }
  }
  if (failure != std::ios_base::goodbit) in.setstate(failure);
}

// Fills a record object with a record read from the input: its type, then its n
// payload bytes. The object gets an empty payload with both positions at the
// start first, so that nothing of an earlier, longer payload survives, and the
// new payload is read from its first byte.
template <class Record>
void FillRecord(istream& in, Record& record, unsigned char type, std::uint64_t n) {
  record.type(type);
  record.str(std::string());
  record.clear();  // good, or bad when it has no buffer
  if (n > 0 && in.good()) CopyPayload(in, record, n);
  record.seekg(0);
}

}  // namespace

ostream& write_u16(ostream& out, std::uint16_t value) { return write_le(out, value); }

istream& read_u16(istream& in, std::uint16_t& value) { return read_le(in, value); }

ostream& write_string(ostream& out, const std::string& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return out.put('\0');
}

istream& read_string(istream& in, std::string& text) {
  text.clear();
  for (;;) {
    unsigned char c = 0;
    in.get(c);
    if (!in.good() || c == 0) break;
    text.push_back(static_cast<char>(c));
  }
  return in;
}

ostream& write_record(ostream& out, record_t& record) {
  const std::string_view payload = record.view();
  if (payload.size() > 0xFFFFFFFFull) throw glo::OutOfRange_t(GLO_SRC);
  const std::uint32_t n = static_cast<std::uint32_t>(payload.size());
  write_le(out, n);
  out.put(static_cast<char>(record.type()));
  record.clear();  // good, or bad when it has no buffer
  // The payload goes out whole; the record's read position ends after it.
  out.write(payload.data(), static_cast<std::streamsize>(n));
  record.seekg(static_cast<std::streamoff>(n));
  return out;
}

istream& read_record(istream& in, record_t& record) {
  if (!in.good()) return in;
  std::uint32_t n = 0;
  read_le(in, n);
  if (in.fail()) return in;  // the orderly end before a record, or nothing to read
  unsigned char type = 0;
  in.get(type);
  if (in.fail()) {
    in.setstate(std::ios_base::badbit);  // a record cut after its length
    return in;
  }
  FillRecord(in, record, type, n);
  return in;
}

istream& read_short_record(istream& in, oldrecord_t& record) {
  if (!in.good()) return in;
  unsigned char type = 0;
  in.get(type);
  if (in.fail()) return in;
  std::uint16_t n = 0;
  read_u16(in, n);
  if (in.fail()) {
    in.setstate(std::ios_base::badbit);
    return in;
  }
  FillRecord(in, record, type, n);
  return in;
}

}  // namespace bin
