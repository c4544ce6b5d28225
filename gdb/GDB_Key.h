#pragma once
// The keys of the GPS tables: every record is found by a key that carries its
// name (and, for waypoints and routes, a few further identity fields). Keys
// compare by their names alone, without regard to case; they describe
// themselves in a line of text for messages and are written to and read from
// the versioned binary stream.
#include <cstdint>
#include <string>
#include <vector>

#include "gdb/GDB_Name.h"

namespace gdb {

class Key_t {
 public:
  virtual ~Key_t() = default;
  // A line of text naming the key for messages, e.g. "Track: Run 1".
  virtual std::string GetText() const = 0;
};

// The key of a track: its name.
class TrackId_t : public Key_t, public Name_t {
 public:
  TrackId_t() = default;
  TrackId_t(const Name_t& name) : Name_t(name) {}  // NOLINT: a name is a track key
  TrackId_t(const TrackId_t&) = default;
  TrackId_t& operator=(const TrackId_t&) = default;
  ~TrackId_t() override = default;

  std::string GetText() const override;  // "Track: " and the name

  const Name_t& GetName() const { return *this; }
  void SetName(const Name_t& name) { static_cast<Name_t&>(*this) = name; }
};

// The key of a route: its name and a byte of identity.
class RouteId_t : public Key_t {
 public:
  RouteId_t() = default;
  explicit RouteId_t(const Name_t& name, std::uint8_t value = 1) : m_name(name), m_value(value) {}
  RouteId_t(const RouteId_t&) = default;
  RouteId_t& operator=(const RouteId_t&) = default;
  ~RouteId_t() override = default;

  std::string GetText() const override;  // "Route: " and the name
  // The name, then the byte.
  virtual void Write(doc::InfoStream_t& stream) const;
  // Reads name and byte into a default key; this key changes only when both
  // were read.
  virtual void Read(doc::InfoStream_t& stream);

  const Name_t& GetName() const { return m_name; }
  void SetName(const Name_t& name) { m_name = name; }
  std::uint8_t GetValue() const { return m_value; }

 private:
  Name_t m_name;
  std::uint8_t m_value = 1;
};

// The key of a waypoint: its name and the device's identity fields, which the
// system only copies, writes and reads.
class WaypointId_t : public Key_t {
 public:
  // The waypoint's class; valid values 0 to TypeCount - 1.
  enum Type_t : std::int32_t {
    Type_User = 0,
    Type_AviationAirport = 1,
    Type_AviationIntersection = 2,
    Type_AviationNdb = 3,
    Type_AviationVor = 4,
    Type_AviationRunwayThreshold = 5,
    Type_AviationAirportIntersection = 6,
    Type_AviationAirportNdb = 7,
    Type_MapPoint = 8,
    Type_MapArea = 9,
    Type_MapIntersection = 10,
    Type_MapAddress = 11,
    Type_MapLine = 12,
  };
  static constexpr int TypeCount = 13;

  // The key the readers start from: empty name, type 0, empty text, values
  // 0 and -1, eight class bytes 0xFF, short value 0, third value -1.
  WaypointId_t();
  WaypointId_t(const Name_t& name, Type_t type, const std::string& text, std::int32_t firstValue,
               std::int32_t secondValue, const std::vector<std::uint8_t>& classBytes,
               std::int16_t shortValue, std::int32_t thirdValue);
  WaypointId_t(const WaypointId_t&) = default;
  WaypointId_t& operator=(const WaypointId_t&) = default;
  ~WaypointId_t() override = default;

  std::string GetText() const override;  // "Waypoint: " and the name
  // The stream form is the same whatever the data version.
  virtual void Write(doc::InfoStream_t& stream) const;
  // Reads the layout of the stream's data version; never throws. A failed
  // stream or a type outside 0 to 12 (which sets fail) leaves the key unchanged.
  virtual void Read(doc::InfoStream_t& stream);

  const Name_t& GetName() const { return m_name; }
  void SetName(const Name_t& name) { m_name = name; }
  Type_t GetType() const { return m_type; }
  const std::string& GetIdText() const { return m_text; }
  std::int32_t GetFirstValue() const { return m_firstValue; }
  std::int32_t GetSecondValue() const { return m_secondValue; }
  const std::vector<std::uint8_t>& GetClassBytes() const { return m_classBytes; }
  std::int16_t GetShortValue() const { return m_shortValue; }
  std::int32_t GetThirdValue() const { return m_thirdValue; }

 private:
  Name_t m_name;
  Type_t m_type = Type_User;
  std::string m_text;
  std::int32_t m_firstValue = 0;
  std::int32_t m_secondValue = -1;
  std::vector<std::uint8_t> m_classBytes;
  std::int16_t m_shortValue = 0;
  std::int32_t m_thirdValue = -1;
};

// The name of a key of any of the three classes.
inline const Name_t& KeyName(const TrackId_t& key) { return key.GetName(); }
inline const Name_t& KeyName(const RouteId_t& key) { return key.GetName(); }
inline const Name_t& KeyName(const WaypointId_t& key) { return key.GetName(); }

// Orders keys of one class by their names without regard to case.
struct KeyLess_t {
  template <typename K>
  bool operator()(const K& a, const K& b) const {
    return Name_t::LessNoCase(KeyName(a).Text(), KeyName(b).Text());
  }
};

}  // namespace gdb
