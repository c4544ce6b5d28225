#pragma once
// Typed registry values: a named value of one key with its current value, read
// when it is built; RegValue_t adds a default and writes every change at once.
//
// Each value type has one encoding (RegValueCodec_t), the only registry type and
// size accepted when reading:
//   bool                     REG_BINARY, 1 byte, 0 or 1
//   int, enumerations        REG_BINARY, 4 bytes, little-endian
//   unsigned long            REG_DWORD, 4 bytes
//   unsigned short           REG_BINARY, 2 bytes, little-endian (read only)
//   glo::TimeSpan_t          REG_BINARY, 8 bytes, the seconds as a little-endian double
//   plat::RECT               REG_BINARY, 16 bytes: left, top, right, bottom (signed 32-bit)
//   std::string              REG_SZ, length + 1 bytes
// A value of another type or size is win::RegError_t with code 13. An enumeration
// whose namespace declares  bool IsKnownRegValue(Enum)  also refuses (code 13) a
// stored number that the function does not know. Other value types get their
// encoding by a specialisation of RegValueCodec_t with the two static members
// Read(key, name) and Write(key, name, value).
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "glo/GLO_Optional.h"
#include "glo/GLO_TimeSpan.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Gdi.h"
#include "win/WIN_RegKey.h"

namespace win {

namespace detail {

template <std::size_t N>
struct Bytes_t {
  unsigned char b[N];
};

template <std::size_t N>
Bytes_t<N> ReadBinary(const RegKey_t& key, const std::string& name) {
  Bytes_t<N> bytes{};
  key.ReadValue(name, plat::kRegBinary, bytes.b, N);
  return bytes;
}

template <std::size_t N>
void WriteBinary(const RegKey_t& key, const std::string& name, const Bytes_t<N>& bytes) {
  key.WriteValue(name, plat::kRegBinary, bytes.b, N);
}

inline std::uint32_t GetLe32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void PutLe32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

[[noreturn]] inline void InvalidData(const std::string& name, const char* file, int line) {
  throw RegError_t(file, line, name, plat::kErrorInvalidData);
}

}  // namespace detail

template <typename T, typename Enable = void>
struct RegValueCodec_t;  // no encoding for this type

template <>
struct RegValueCodec_t<bool> {
  static bool Read(const RegKey_t& key, const std::string& name) {
    const auto bytes = detail::ReadBinary<1>(key, name);
    if (bytes.b[0] > 1) detail::InvalidData(name, GLO_SRC);
    return bytes.b[0] != 0;
  }
  static void Write(const RegKey_t& key, const std::string& name, bool value) {
    detail::WriteBinary(key, name, detail::Bytes_t<1>{{static_cast<unsigned char>(value ? 1 : 0)}});
  }
};

template <>
struct RegValueCodec_t<int> {
  static int Read(const RegKey_t& key, const std::string& name) {
    return static_cast<int>(detail::GetLe32(detail::ReadBinary<4>(key, name).b));
  }
  static void Write(const RegKey_t& key, const std::string& name, int value) {
    detail::Bytes_t<4> bytes;
    detail::PutLe32(bytes.b, static_cast<std::uint32_t>(value));
    detail::WriteBinary(key, name, bytes);
  }
};

template <typename E>
struct RegValueCodec_t<E, std::enable_if_t<std::is_enum_v<E>>> {
  static_assert(sizeof(E) == 4, "enumerations are stored as 4 bytes");
  static E Read(const RegKey_t& key, const std::string& name) {
    const E value = static_cast<E>(RegValueCodec_t<int>::Read(key, name));
    if constexpr (requires { IsKnownRegValue(value); }) {
      if (!IsKnownRegValue(value)) detail::InvalidData(name, GLO_SRC);
    }
    return value;
  }
  static void Write(const RegKey_t& key, const std::string& name, E value) {
    RegValueCodec_t<int>::Write(key, name, static_cast<int>(value));
  }
};

template <>
struct RegValueCodec_t<unsigned long> {
  static unsigned long Read(const RegKey_t& key, const std::string& name) {
    unsigned char b[4];
    key.ReadValue(name, plat::kRegDword, b, 4);
    return detail::GetLe32(b);
  }
  static void Write(const RegKey_t& key, const std::string& name, unsigned long value) {
    unsigned char b[4];
    detail::PutLe32(b, static_cast<std::uint32_t>(value));
    key.WriteValue(name, plat::kRegDword, b, 4);
  }
};

// Read only: no Write.
template <>
struct RegValueCodec_t<unsigned short> {
  static unsigned short Read(const RegKey_t& key, const std::string& name) {
    const auto bytes = detail::ReadBinary<2>(key, name);
    return static_cast<unsigned short>(bytes.b[0] | bytes.b[1] << 8);
  }
};

template <>
struct RegValueCodec_t<glo::TimeSpan_t> {
  static glo::TimeSpan_t Read(const RegKey_t& key, const std::string& name) {
    const auto bytes = detail::ReadBinary<8>(key, name);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes.b[i];
    double seconds;
    std::memcpy(&seconds, &bits, sizeof seconds);
    return glo::TimeSpan_t(seconds);
  }
  static void Write(const RegKey_t& key, const std::string& name, const glo::TimeSpan_t& value) {
    const double seconds = value.GetSeconds();
    std::uint64_t bits;
    std::memcpy(&bits, &seconds, sizeof bits);
    detail::Bytes_t<8> bytes;
    for (int i = 0; i < 8; ++i) bytes.b[i] = static_cast<unsigned char>(bits >> (8 * i));
    detail::WriteBinary(key, name, bytes);
  }
};

template <>
struct RegValueCodec_t<plat::RECT> {
  static plat::RECT Read(const RegKey_t& key, const std::string& name) {
    const auto bytes = detail::ReadBinary<16>(key, name);
    plat::RECT r;
    r.left = static_cast<std::int32_t>(detail::GetLe32(bytes.b));
    r.top = static_cast<std::int32_t>(detail::GetLe32(bytes.b + 4));
    r.right = static_cast<std::int32_t>(detail::GetLe32(bytes.b + 8));
    r.bottom = static_cast<std::int32_t>(detail::GetLe32(bytes.b + 12));
    return r;
  }
  static void Write(const RegKey_t& key, const std::string& name, const plat::RECT& r) {
    detail::Bytes_t<16> bytes;
    detail::PutLe32(bytes.b, static_cast<std::uint32_t>(r.left));
    detail::PutLe32(bytes.b + 4, static_cast<std::uint32_t>(r.top));
    detail::PutLe32(bytes.b + 8, static_cast<std::uint32_t>(r.right));
    detail::PutLe32(bytes.b + 12, static_cast<std::uint32_t>(r.bottom));
    detail::WriteBinary(key, name, bytes);
  }
};

template <>
struct RegValueCodec_t<std::string> {
  static std::string Read(const RegKey_t& key, const std::string& name) { return key.ReadString(name); }
  static void Write(const RegKey_t& key, const std::string& name, const std::string& value) {
    key.WriteString(name, value);
  }
};

// A named value of a key, read-only.
template <typename T>
class ConstRegValue_t {
 public:
  // Takes the initial value as the current value and reads nothing.
  ConstRegValue_t(const RegKey_t& key, const std::string& name, const glo::Optional_t<T>& initial)
      : m_key(key), m_name(name), m_value(initial) {}
  // Reads the value when it exists (else it stays empty); a stored value of the
  // wrong type or size throws win::RegError_t.
  ConstRegValue_t(const RegKey_t& key, const std::string& name) : m_key(key), m_name(name) { Read(); }
  virtual ~ConstRegValue_t() = default;

  // The current value; glo::Assert_t when there is none.
  const T& Value() const { return m_value.Value(); }
  bool IsPresent() const { return m_value.IsPresent(); }
  const glo::Optional_t<T>& Optional() const { return m_value; }

  // Sets the current value without writing it.
  void Assign(const T& value) { m_value = value; }

  const RegKey_t& Key() const { return m_key; }
  const std::string& Name() const { return m_name; }

 protected:
  void Read() {
    if (m_key.ValueExists(m_name)) m_value = RegValueCodec_t<T>::Read(m_key, m_name);
  }

  RegKey_t m_key;
  std::string m_name;
  glo::Optional_t<T> m_value;
};

// A setting: a named value with an optional default, written whenever it changes.
template <typename T>
class RegValue_t : public ConstRegValue_t<T> {
 public:
  // Takes the default, then the stored value when it has the right type and size;
  // a value that cannot be read falls back to the default (without a default the
  // win::RegError_t propagates). A value then held is written back at once.
  RegValue_t(const RegKey_t& key, const std::string& name, const glo::Optional_t<T>& defaultValue = {})
      : ConstRegValue_t<T>(key, name, defaultValue), m_default(defaultValue) {
    try {
      this->Read();
    } catch (const RegError_t&) {
      if (!m_default.IsPresent()) throw;
      this->m_value = m_default;
    }
    if (this->m_value.IsPresent()) Write();
  }

  // Sets the value and writes it at once.
  void Set(const T& value) {
    this->Assign(value);
    Write();
  }

  // Plain assignment: changes the held value only; Write() stores it.
  RegValue_t& operator=(const T& value) {
    this->Assign(value);
    return *this;
  }

  // Writes the held value; glo::Assert_t when there is none.
  void Write() const { RegValueCodec_t<T>::Write(this->m_key, this->m_name, this->m_value.Value()); }

  const glo::Optional_t<T>& Default() const { return m_default; }

 private:
  glo::Optional_t<T> m_default;
};

}  // namespace win
