#pragma once
// The properties command of a found map feature: the feature's record is read
// again from its map and turned into the input of the dialog that shows it -
// name/value rows, a text, or the input of a specialised dialog.
//
// The marine attribute record (52 bytes, byte 0 the class) as described here:
//   2, 3     4 unit code, 8 value (i32)
//   6        4 category flags 0-7, 5 category flags 8-9, 6 unit code, 7 value
//            present, 8 angle present, 10 value (u16), 12 angle (u16, tenths
//            of a degree)
//   7, 8     lights (map/MAP_LightDescription.h)
//   9        4 category code, 5 level code, 6 unit code, 8 value (i32)
//   10-12    4 (u32): facility bits, marine chart number, text-entity index
// Unit codes: 0 feet, 1 tenths of a foot, 2 metres, 3 decimetres, 4 fathoms.
#include <cstdint>
#include <string>

#include "map/MAP_FeatureInputs.h"
#include "map/MAP_NrstFeature.h"
#include "mpl/MPL_Rgn.h"

namespace map {

// Measured values in the user's units, from a stored value and its unit code
// (glo::Assert_t for a code above 4): depths with one decimal; heights without
// decimals; distances with one decimal.
std::string FormatDepth(std::int32_t value, int unitCode);
std::string FormatHeight(std::int32_t value, int unitCode);
std::string FormatDistance(std::int32_t value, int unitCode);
// A number in fixed notation with one decimal, whatever the locale.
std::string FormatTenths(double value);
// Appends the row of string resource 'nameId' as the name and the value.
void AddRow(NameValueRows_t& rows, int nameId, const std::string& value);
// The title of a feature's description: its first text line (empty without one).
std::string TitleOf(const NrstFeature_t& feature);

// Classes 2 and 3: the title and the value as a depth (2) or a height (3).
NameValueRows_t DescribeValueAttributes(const std::string& title, const mpl::MdbAuxInfo_t& record);
// Class 6: the title, the angle and the value when present, then one row per
// category flag set.
NameValueRows_t DescribeCategoryAttributes(const std::string& title, const mpl::MdbAuxInfo_t& record);
// Class 9: the title, the category and the level; a special point (a point of
// type 0x104, subtype 8 or 12) shows the level as a height.
NameValueRows_t DescribeLevelAttributes(const NrstFeature_t& feature, const mpl::MdbAuxInfo_t& record);

// The description of an attribute record by its class: nothing for classes
// without one (2 and 3 only describe points). Lights and the classes that
// refer to the map need the feature's map (glo::Assert_t without one).
FeatureDescription_t DescribeAttributes(const NrstFeature_t& feature, const mpl::MdbAuxInfo_t& record);

// What the properties command shows for the feature: its record read again
// from its map and described; nothing when the feature has no description.
// Map reader errors pass to the caller.
FeatureDescription_t DescribeFeature(const NrstFeature_t& feature);

}  // namespace map
