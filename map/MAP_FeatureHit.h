#pragma once
// The records that carry a found map feature from the nearest-feature searches
// to the window's popups, menus and property dialogs: a reference to a feature
// inside a map, and one record per kind of hit. Every record owns a private
// copy of the map its feature came from, so it stays valid when the window's
// maps change.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geo/GEO_Position.h"
#include "mpl/MPL_Nearest.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {
class Map_t;
}

namespace map {

// One feature of one map: the map reader's reference of its record (a point,
// line or area reference; -1 none), the map holding it and its type.
class FeatureRef_t {
 public:
  // No reference, no map.
  FeatureRef_t();
  // Copies the map (none when null).
  FeatureRef_t(std::int32_t reference, const mpl::Map_t* map, std::uint16_t type, std::uint8_t subtype);
  FeatureRef_t(const FeatureRef_t& other);
  // Keeps its own map object when both sides have one (its engine context is
  // closed and replaced by a copy of the source's), makes one when it had none
  // and deletes it when the source has none.
  FeatureRef_t& operator=(const FeatureRef_t& other);
  ~FeatureRef_t();

  bool HasMap() const { return m_map != nullptr; }
  // The map copy; glo::Assert_t when there is none.
  mpl::Map_t& GetMap() const;
  // The map copy or null.
  mpl::Map_t* GetMapPtr() const { return m_map.get(); }

  std::int32_t reference = -1;
  std::uint16_t type = 0;
  std::uint8_t subtype = 0;

 private:
  std::unique_ptr<mpl::Map_t> m_map;
};

// A line near the query: its shown name (a label, an address, a contour or
// depth value), where and how far, and the engine's hit unchanged.
struct NrstResult_t {
  std::string name;
  geo::Position_t position;
  std::uint32_t distance = 0xFFFFFFFFu;
  bool address = false;      // the name is a house-number address
  std::string valueText;     // short form of a contour or depth value
  FeatureRef_t ref;
  mpl::MdbLineHit_t hit;
  std::int32_t mapId = 0;
  std::string street;        // the street alone when the name is an address
};

// A named point near the query.
struct NrstText_t {
  std::string text;           // prefix and label, or the converted value
  std::uint32_t distance = 0xFFFFFFFFu;
  mpl::MdbPointRecord_t point;
  std::string shortText;      // short value text of heights and depths
  FeatureRef_t ref;
};

// A road junction: the distinct names of the roads that meet there.
struct NrstHit_t {
  std::vector<std::string> texts;
  geo::Position_t position;
  std::uint32_t distance = 0xFFFFFFFFu;
  FeatureRef_t ref;           // the first road line of the junction
};

// An area under the query, for the hover and for the menu.
struct NrstEntry_t {
  std::vector<std::string> texts;
  FeatureRef_t ref;
};
struct NrstLink_t {
  std::string text;
  FeatureRef_t ref;
};

}  // namespace map
