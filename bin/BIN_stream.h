#pragma once
// Byte streams for binary data, in the shape of the standard streams: the state
// (good, eof, fail, bad) and the exception mask live in std::basic_ios, and every
// operation does nothing once the stream is not good, so a reader may read a whole
// structure and test the state once at the end.
//
// Values are little-endian with their natural widths (a 16-bit value 2 bytes, a
// 32-bit integer or float 4, a double 8). write_le and read_le store and load the
// little-endian image of any integer or floating-point value.
#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <ios>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace bin {

static_assert(std::endian::native == std::endian::little, "the byte images below assume a little-endian host");

namespace detail {

// Moves one side's position in the stream's buffer: a position the buffer
// refuses sets fail, an exception from it sets bad.
template <class C, class T>
void seek(std::basic_ios<C, T>& stream, typename T::pos_type position, std::ios_base::openmode side) {
  std::ios_base::iostate failure = std::ios_base::goodbit;
  try {
    if (stream.rdbuf()->pubseekpos(position, side) == typename T::pos_type(typename T::off_type(-1)))
      failure = std::ios_base::failbit;
  } catch (...) {
    failure = std::ios_base::badbit;
  }
  if (failure != std::ios_base::goodbit) stream.setstate(failure);
}

}  // namespace detail

template <class C, class T = std::char_traits<C>>
class basic_istream : virtual public std::basic_ios<C, T> {
 public:
  using char_type = C;
  using traits_type = T;
  using int_type = typename T::int_type;
  using pos_type = typename T::pos_type;
  using off_type = typename T::off_type;

  // A stream over 'buffer'; a null buffer leaves it bad.
  explicit basic_istream(std::basic_streambuf<C, T>* buffer) { this->init(buffer); }
  virtual ~basic_istream() {}

  basic_istream(const basic_istream&) = delete;
  basic_istream& operator=(const basic_istream&) = delete;

  // Reads exactly n characters, all or nothing: the bytes are gathered first and
  // copied to 'buffer' only when all n arrived; otherwise 'buffer' is unchanged,
  // what was there is consumed, and eof and fail are set.
  basic_istream& read(C* buffer, std::streamsize n) {
    if (!this->good() || n <= 0) return *this;
    std::ios_base::iostate failure = std::ios_base::goodbit;
    constexpr std::streamsize kSmall = 256;
    if (n <= kSmall) {
      // A small read (a number, a record's fields) is gathered on the stack.
      C small[kSmall];
      const std::streamsize got = this->pull(small, n, failure);
      if (got < n && failure == std::ios_base::goodbit) failure = std::ios_base::eofbit | std::ios_base::failbit;
      if (failure == std::ios_base::goodbit)
        traits_type::copy(buffer, small, static_cast<size_t>(n));
      else
        this->setstate(failure);
      return *this;
    }
    // Gathered in pieces, so that a damaged count cannot make us reserve more
    // memory than the data that actually arrive.
    constexpr std::streamsize kPiece = 64 * 1024;
    m_staging.clear();
    for (std::streamsize done = 0; done < n && failure == std::ios_base::goodbit;) {
      const std::streamsize want = std::min(kPiece, n - done);
      m_staging.resize(static_cast<size_t>(done + want));
      const std::streamsize got = this->pull(m_staging.data() + done, want, failure);
      done += got;
      if (got < want && failure == std::ios_base::goodbit)
        failure = std::ios_base::eofbit | std::ios_base::failbit;
    }
    if (failure == std::ios_base::goodbit) traits_type::copy(buffer, m_staging.data(), static_cast<size_t>(n));
    if (m_staging.capacity() > 4 * kPiece) std::vector<C>().swap(m_staging);
    if (failure != std::ios_base::goodbit) this->setstate(failure);
    return *this;
  }

  // Reads one byte; at the end of the data sets eof and fail and leaves 'c' unchanged.
  basic_istream& get(unsigned char& c) {
    if (!this->good()) return *this;
    std::ios_base::iostate failure = std::ios_base::goodbit;
    try {
      const int_type v = this->rdbuf()->sbumpc();
      if (traits_type::eq_int_type(v, traits_type::eof()))
        failure = std::ios_base::eofbit | std::ios_base::failbit;
      else
        c = static_cast<unsigned char>(traits_type::to_char_type(v));
    } catch (...) {
      failure = std::ios_base::badbit;
    }
    if (failure != std::ios_base::goodbit) this->setstate(failure);
    return *this;
  }

  // Moves the read position (input side only), unless fail or bad is set. As
  // with the standard streams, a pending end-of-file is cleared first.
  basic_istream& seekg(pos_type position) {
    if (this->fail()) return *this;
    this->clear(this->rdstate() & ~std::ios_base::eofbit);
    detail::seek(*this, position, std::ios_base::in);
    return *this;
  }

 protected:
  // For derived classes that set the buffer up themselves (virtual base).
  basic_istream() {}

  // Up to n characters from the buffer; an exception from it sets 'failure' to bad.
  std::streamsize pull(C* to, std::streamsize n, std::ios_base::iostate& failure) {
    try {
      return this->rdbuf()->sgetn(to, n);
    } catch (...) {
      failure = std::ios_base::badbit;
      return 0;
    }
  }

 private:
  std::vector<C> m_staging;
};

template <class C, class T = std::char_traits<C>>
class basic_ostream : virtual public std::basic_ios<C, T> {
 public:
  using char_type = C;
  using traits_type = T;
  using int_type = typename T::int_type;
  using pos_type = typename T::pos_type;
  using off_type = typename T::off_type;

  explicit basic_ostream(std::basic_streambuf<C, T>* buffer) { this->init(buffer); }
  virtual ~basic_ostream() {}

  basic_ostream(const basic_ostream&) = delete;
  basic_ostream& operator=(const basic_ostream&) = delete;

  // Hands the n characters to the buffer; one that it refuses, or an exception
  // from it, sets bad.
  basic_ostream& write(const C* buffer, std::streamsize n) {
    if (!this->good() || n <= 0) return *this;
    bool refused;
    try {
      refused = this->rdbuf()->sputn(buffer, n) != n;
    } catch (...) {
      refused = true;
    }
    if (refused) this->setstate(std::ios_base::badbit);
    return *this;
  }

  basic_ostream& put(C c) {
    if (!this->good()) return *this;
    bool refused;
    try {
      refused = traits_type::eq_int_type(this->rdbuf()->sputc(c), traits_type::eof());
    } catch (...) {
      refused = true;
    }
    if (refused) this->setstate(std::ios_base::badbit);
    return *this;
  }

  // Moves the write position (output side only), unless fail or bad is set.
  basic_ostream& seekp(pos_type position) {
    if (this->fail()) return *this;
    detail::seek(*this, position, std::ios_base::out);
    return *this;
  }

  // Hands buffered output on to its destination; a failure sets bad.
  basic_ostream& flush() {
    if (this->rdbuf() == nullptr || this->bad()) return *this;
    bool failed;
    try {
      failed = this->rdbuf()->pubsync() == -1;
    } catch (...) {
      failed = true;
    }
    if (failed) this->setstate(std::ios_base::badbit);
    return *this;
  }

 protected:
  basic_ostream() {}
};

// Input and output over one buffer and one shared state.
template <class C, class T = std::char_traits<C>>
class basic_iostream : public basic_istream<C, T>, public basic_ostream<C, T> {
 public:
  explicit basic_iostream(std::basic_streambuf<C, T>* buffer) { this->init(buffer); }
  ~basic_iostream() override {}

 protected:
  basic_iostream() {}
};

// Input and output over a string buffer, open for reading and writing.
template <class C, class T = std::char_traits<C>>
class basic_stringstream : public basic_iostream<C, T> {
 public:
  using string_type = std::basic_string<C, T>;

  basic_stringstream() : m_buffer(std::ios_base::in | std::ios_base::out) { this->init(&m_buffer); }
  explicit basic_stringstream(const string_type& contents)
      : m_buffer(contents, std::ios_base::in | std::ios_base::out) {
    this->init(&m_buffer);
  }
  ~basic_stringstream() override {}

  // A copy of the whole contents.
  string_type str() const { return m_buffer.str(); }
  // Replaces the contents; reading and writing start again at its beginning.
  void str(const string_type& contents) { m_buffer.str(contents); }
  // The contents without a copy (valid until the next change).
  std::basic_string_view<C, T> view() const noexcept { return m_buffer.view(); }

 private:
  std::basic_stringbuf<C, T> m_buffer;
};

template <class C, class T = std::char_traits<C>>
class basic_ifstream : public basic_istream<C, T> {
 public:
  // Opens the file with 'mode' plus input and binary; a failed open sets fail.
  explicit basic_ifstream(const std::string& fileName, std::ios_base::openmode mode = std::ios_base::in) {
    this->init(&m_buffer);
    if (!m_buffer.open(fileName, mode | std::ios_base::in | std::ios_base::binary))
      this->setstate(std::ios_base::failbit);
  }
  ~basic_ifstream() override {}

  bool is_open() const { return m_buffer.is_open(); }
  void close() {
    if (!m_buffer.close()) this->setstate(std::ios_base::failbit);
  }

 private:
  std::basic_filebuf<C, T> m_buffer;
};

template <class C, class T = std::char_traits<C>>
class basic_ofstream : public basic_ostream<C, T> {
 public:
  // Opens the file with 'mode' plus output and binary; a failed open sets fail.
  explicit basic_ofstream(const std::string& fileName,
                          std::ios_base::openmode mode = std::ios_base::out | std::ios_base::trunc) {
    this->init(&m_buffer);
    if (!m_buffer.open(fileName, mode | std::ios_base::out | std::ios_base::binary))
      this->setstate(std::ios_base::failbit);
  }
  ~basic_ofstream() override {}

  bool is_open() const { return m_buffer.is_open(); }
  // Writes what is buffered and closes the file; a failure sets fail.
  void close() {
    if (!m_buffer.close()) this->setstate(std::ios_base::failbit);
  }

 private:
  std::basic_filebuf<C, T> m_buffer;
};

using istream = basic_istream<char>;
using ostream = basic_ostream<char>;
using iostream = basic_iostream<char>;
using stringstream = basic_stringstream<char>;
using ifstream = basic_ifstream<char>;
using ofstream = basic_ofstream<char>;

// The little-endian image of an integer, enumeration or floating-point value.
template <class V, class C, class T>
basic_ostream<C, T>& write_le(basic_ostream<C, T>& out, const V& value) {
  static_assert(std::is_arithmetic_v<V> || std::is_enum_v<V>, "a plain value");
  static_assert(sizeof(C) == 1, "byte streams only");
  return out.write(reinterpret_cast<const C*>(&value), sizeof value);
}

// Reads a value written by write_le; it is assigned only when all its bytes arrived.
template <class V, class C, class T>
basic_istream<C, T>& read_le(basic_istream<C, T>& in, V& value) {
  static_assert(std::is_arithmetic_v<V> || std::is_enum_v<V>, "a plain value");
  static_assert(sizeof(C) == 1, "byte streams only");
  if (!in.good()) return in;
  C bytes[sizeof(V)] = {};
  in.read(bytes, sizeof bytes);
  if (!in.fail()) std::memcpy(&value, bytes, sizeof value);
  return in;
}

}  // namespace bin
