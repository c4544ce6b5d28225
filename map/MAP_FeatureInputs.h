#pragma once
// What the property dialogs of a map feature receive: the properties command
// reads the feature's record again and turns it into one of these inputs, and
// the matching dialog shows it. The dialogs only display; nothing is read back.
//
// Map pointers are not owned: they point at the map copy of the feature the
// input was made from, which outlives the dialog.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "glo/GLO_Time.h"
#include "mpl/MPL_Lbl.h"

namespace mpl {
class Map_t;
class TideStation_t;
}  // namespace mpl

namespace map {

class Window_t;

// Rows of (name, value) texts, shown in this order.
using NameValueRows_t = std::vector<std::pair<std::string, std::string>>;

// The list of name/value rows.
struct NameValueInput_t {
  NameValueRows_t rows;
};

// The text of a point of interest: title, street, city line and phone number.
struct PoiInput_t {
  std::string text;
};

// The facilities of a marine feature: the title and the facility bits (bits
// 0-11 and 13-17 have boxes).
struct FacilityInput_t {
  std::string title;
  std::uint32_t bits = 0;
};

// A highway exit: its heading, its description, the exit flag and the exit's
// facilities, whose label texts the dialog reads from the map.
struct ExitInput_t {
  std::string heading;
  std::string description;
  bool flag = false;
  std::vector<mpl::MdbExitFacilityRecord_t> facilities;
  mpl::Map_t* map = nullptr;
};

// A paragraph of text entities of the map: the title and the index of the
// first text entity.
struct ParagraphInput_t {
  std::string title;
  std::uint32_t textEntity = 0;
  mpl::Map_t* map = nullptr;
};

// A chart record of a marine map by its number (1-based); the dialog writes
// positions in the owning window's grid.
struct MarineChartInput_t {
  std::uint32_t number = 0;
  mpl::Map_t* map = nullptr;
  Window_t* window = nullptr;
};

// A tide station: the tide dialog predicts from 'start' for 'days' days.
struct TideInput_t {
  std::shared_ptr<mpl::TideStation_t> station;
  glo::Time_t start;
  int days = 1;
  std::string title;
  mpl::Map_t* map = nullptr;
};

// The description of a feature: nothing to show, or the input of one dialog.
using FeatureDescription_t = std::variant<std::monostate, NameValueInput_t, PoiInput_t, FacilityInput_t,
                                          ExitInput_t, ParagraphInput_t, MarineChartInput_t, TideInput_t>;

}  // namespace map
