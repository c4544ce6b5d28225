#pragma once
// Descriptions of a point from its text record (the property record of the
// label sub-file): the address text of a point of interest, the inputs of the
// exit dialog, and, when the record carries any of its optional group A
// fields, name/value rows with the point's facilities.
#include <cstdint>
#include <string>
#include <vector>

#include "map/MAP_FeatureInputs.h"
#include "map/MAP_NrstFeature.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Map.h"

namespace map {

// What the descriptions read of the map besides the text record.
class PoiSource_t {
 public:
  struct City_t {
    std::uint32_t label = mpl::kMdbNone;
    std::uint32_t regionLabel = mpl::kMdbNone;
  };
  virtual ~PoiSource_t() = default;
  virtual std::string GetLabel(std::uint32_t offset, std::uint32_t flags) = 0;
  // City n of the city table; mpl::MdbException_t when it cannot be read.
  virtual City_t GetCity(std::uint32_t n) = 0;
  // Label n of the postal-code table.
  virtual std::string GetPostalCode(std::uint32_t n) = 0;
  // Whether the map writes the postal code before the city.
  virtual bool PostalCodeFirst() = 0;
  // The highway label of exit n.
  virtual std::uint32_t GetExitLabel(std::uint32_t n) = 0;
  // The exit facilities from 'first' up to the one marked last.
  virtual std::vector<mpl::MdbExitFacilityRecord_t> GetExitFacilities(std::uint32_t first) = 0;
};

// The same read from an open map (glo::Assert_t when it is not open).
class MapPoiSource_t : public PoiSource_t {
 public:
  explicit MapPoiSource_t(mpl::Map_t& map);
  std::string GetLabel(std::uint32_t offset, std::uint32_t flags) override;
  City_t GetCity(std::uint32_t n) override;
  std::string GetPostalCode(std::uint32_t n) override;
  bool PostalCodeFirst() override;
  std::uint32_t GetExitLabel(std::uint32_t n) override;
  std::vector<mpl::MdbExitFacilityRecord_t> GetExitFacilities(std::uint32_t first) override;

 private:
  mpl::Map_t& m_map;
};

// The unit word of a count: 0 none, 1-3 strings 6111-6113; glo::Assert_t
// for another code.
std::string GetCountUnitName(unsigned code);
// Appends the name (after the separator when the list has items) when bit
// 'bit' of the mask is set.
void AppendFacilityName(std::string& list, unsigned bit, const std::string& name, std::uint32_t mask);

// The point-of-interest text: title, street, city line (with the postal
// code) and phone number, the non-empty ones joined by CR LF. The text
// record's address is the details' name.
std::string DescribePoiText(const std::string& title, const mpl::MdbPointDetails_t& details, PoiSource_t& source);
// The exit dialog's input; 'map' is handed to the dialog for the facilities'
// label texts.
ExitInput_t DescribeExit(const mpl::MdbPointDetails_t& details, PoiSource_t& source, mpl::Map_t* map);
// The rows of a point with group A fields.
NameValueRows_t DescribePoiDetails(const std::string& title, const mpl::MdbPointDetails_t& details,
                                   PoiSource_t& source);

// A point without attribute properties: whether its text record has a
// description (false without a property record), and the description
// (glo::Assert_t without a property record). The feature carries the map.
bool HasPointTextProperties(const NrstFeature_t& feature, const mpl::Point_t& point);
FeatureDescription_t DescribePointText(const NrstFeature_t& feature, const mpl::Point_t& point);

}  // namespace map
