#pragma once
// Name_t: the name part of every GPS key. A name never ends in a blank (' '):
// trailing blanks are dropped when a name is built or read. Names are ordered
// and matched without regard to case (LessNoCase).
#include <string>

namespace doc {
class InfoStream_t;
}

namespace gdb {

class Name_t {
 public:
  Name_t() = default;
  // Keeps the text without its trailing blanks; a text of blanks becomes empty.
  Name_t(const std::string& text);  // NOLINT: a text is a name
  Name_t(const char* text);         // NOLINT: a text is a name
  Name_t(const Name_t&) = default;
  Name_t& operator=(const Name_t&) = default;
  virtual ~Name_t() = default;

  // Writes the name's characters and a NUL byte.
  virtual void Write(doc::InfoStream_t& stream) const;
  // Reads a NUL-terminated text when the stream is good; the name changes only
  // when the stream is still good afterwards (trailing blanks are dropped).
  virtual void Read(doc::InfoStream_t& stream);

  const std::string& Text() const { return m_name; }
  operator const std::string&() const { return m_name; }  // NOLINT: read as a text

  // True when name a sorts before name b without regard to case.
  //
  // The names are compared character by character, a character being one
  // byte or one whole UTF-8 sequence. Two single bytes are compared as signed
  // chars after ASCII upper-casing (so a byte of 0x80 or above that is not
  // part of a valid sequence sorts before every ASCII character); otherwise
  // the characters compare by their codes (the sequence's bytes, first byte
  // highest). When all compared characters match, the shorter name is less.
  // Bytes that do not form a valid sequence count as single-byte characters,
  // so names from a file or the watch that are not valid text still have a
  // place in the order and never make a comparison fail.
  static bool LessNoCase(const std::string& a, const std::string& b) noexcept;
  // Neither sorts before the other.
  static bool EqualNoCase(const std::string& a, const std::string& b) noexcept;

 private:
  std::string m_name;
};

// Order of names (and of keys by their names) without regard to case.
inline bool operator<(const Name_t& a, const Name_t& b) { return Name_t::LessNoCase(a.Text(), b.Text()); }

}  // namespace gdb
