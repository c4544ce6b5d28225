#include "map/MAP_FeatureDescription.h"

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_LightDescription.h"
#include "map/MAP_PoiDescription.h"
#include "map/MAP_Registry.h"
#include "map/MAP_Scale.h"
#include "mat/MAT_UnitConverter.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Marine.h"

namespace map {

namespace {

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

double Metres(std::int32_t value, int unitCode) { return MdbUnitsToMetres(static_cast<double>(value), unitCode); }

}  // namespace

std::string FormatTenths(double value) { return mat::FormatNumber(value, true, 1, 1); }

void AddRow(NameValueRows_t& rows, int nameId, const std::string& value) { rows.emplace_back(Text(nameId), value); }

std::string TitleOf(const NrstFeature_t& feature) { return feature.lines.empty() ? std::string() : feature.lines[0]; }

std::string FormatDepth(std::int32_t value, int unitCode) {
  return GetDepthConverter().Format(Metres(value, unitCode), true, 1);
}

std::string FormatHeight(std::int32_t value, int unitCode) {
  return GetRegistry().ElevationUnitsEntry().Format(Metres(value, unitCode), true, 0);
}

std::string FormatDistance(std::int32_t value, int unitCode) {
  return GetDistanceConverter().Format(Metres(value, unitCode), true, 1);
}

// ---------------------------------------------------------------------------
// Attribute classes with rows.

NameValueRows_t DescribeValueAttributes(const std::string& title, const mpl::MdbAuxInfo_t& r) {
  NameValueRows_t rows;
  AddRow(rows, 4465, title);
  const std::string value = FormatDepth(static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 8)), r.bytes[4]);
  AddRow(rows, r.bytes[0] == 3 ? 4568 : 4555, value);
  return rows;
}

NameValueRows_t DescribeCategoryAttributes(const std::string& title, const mpl::MdbAuxInfo_t& r) {
  NameValueRows_t rows;
  AddRow(rows, 4464, title);
  if (r.bytes[8] != 0) {
    const double degrees = mpl::MdbAuxGet16(r, 12) * 0.1;
    AddRow(rows, 4554, glo::StringResource_t(4567, GLO_SRC).Format(FormatTenths(degrees), GLO_SRC));
  }
  if (r.bytes[7] != 0) AddRow(rows, 4555, FormatDepth(mpl::MdbAuxGet16(r, 10), r.bytes[6]));
  // Flags 0-7 in byte 4, flags 8 and 9 in bits 0 and 1 of byte 5.
  const unsigned flags = r.bytes[4] | ((r.bytes[5] & 3u) << 8);
  for (int bit = 0; bit < 10; ++bit)
    if ((flags & (1u << bit)) != 0) AddRow(rows, 4556, Text(4557 + bit));
  return rows;
}

NameValueRows_t DescribeLevelAttributes(const NrstFeature_t& feature, const mpl::MdbAuxInfo_t& r) {
  NameValueRows_t rows;
  AddRow(rows, 4464, TitleOf(feature));
  const std::uint8_t category = r.bytes[4];
  if (category == 0)
    AddRow(rows, 4574, Text(4569));
  else if (category >= 2 && category <= 5)
    AddRow(rows, 4574, Text(4568 + category));

  const bool special = feature.kind == NrstFeature_t::Kind_Point && feature.ref.type == 0x104 &&
                       (feature.ref.subtype == 8 || feature.ref.subtype == 12);
  const std::uint8_t level = r.bytes[5];
  std::string text;
  if (level >= 1 && level <= 3) {
    text = Text(4574 + level);
  } else if (level == 4) {
    text = Text(4569);
  } else if (level == 5) {
    const auto value = static_cast<std::int32_t>(mpl::MdbAuxGet32(r, 8));
    text = special ? FormatHeight(value, r.bytes[6]) : FormatDistance(value, r.bytes[6]);
  }
  if (level >= 1 && level <= 5) AddRow(rows, special ? 4568 : 4555, text);
  return rows;
}

// ---------------------------------------------------------------------------
// Dispatch.

FeatureDescription_t DescribeAttributes(const NrstFeature_t& feature, const mpl::MdbAuxInfo_t& r) {
  const std::string title = TitleOf(feature);
  const std::uint32_t word = mpl::MdbAuxGet32(r, 4);
  switch (r.bytes[0]) {
    case 2:
    case 3:
      if (feature.kind != NrstFeature_t::Kind_Point) return {};
      return NameValueInput_t{DescribeValueAttributes(title, r)};
    case 6:
      return NameValueInput_t{DescribeCategoryAttributes(title, r)};
    case 7: {
      MapLightSource_t source(feature.ref.GetMap());
      return NameValueInput_t{DescribeSectorLight(title, r, source)};
    }
    case 8: {
      MapLightSource_t source(feature.ref.GetMap());
      return NameValueInput_t{DescribeLight(title, r, source)};
    }
    case 9:
      return NameValueInput_t{DescribeLevelAttributes(feature, r)};
    case 10:
      return FacilityInput_t{title, word};
    case 11:
      return MarineChartInput_t{word, &feature.ref.GetMap(), feature.window};
    case 12:
      return ParagraphInput_t{title, word, &feature.ref.GetMap()};
    default:
      return {};
  }
}

bool NrstFeature_t::HasProperties() const {
  if (!ref.HasMap()) return false;
  mpl::Map_t& map = ref.GetMap();
  const auto record = static_cast<std::uint32_t>(ref.reference);
  switch (kind) {
    case Kind_Point: {
      const mpl::Point_t point = map.GetPointRecord(record);
      if (HasAttributeProperties(point.aux.bytes[0])) return true;
      return HasPointTextProperties(*this, point);
    }
    case Kind_Line:
      return HasAttributeProperties(map.GetLineRecord(record).aux.bytes[0]);
    case Kind_Area:
      return HasAttributeProperties(map.GetObjectDetails(record).aux.bytes[0]);
    default:
      return false;
  }
}

FeatureDescription_t DescribeFeature(const NrstFeature_t& feature) {
  if (!feature.HasProperties()) return {};
  mpl::Map_t& map = feature.ref.GetMap();
  const auto record = static_cast<std::uint32_t>(feature.ref.reference);
  switch (feature.kind) {
    case NrstFeature_t::Kind_Point: {
      const mpl::Point_t point = map.GetPointRecord(record);
      if (feature.HasAttributeProperties(point.aux.bytes[0])) return DescribeAttributes(feature, point.aux);
      return DescribePointText(feature, point);
    }
    case NrstFeature_t::Kind_Line:
      return DescribeAttributes(feature, map.GetLineRecord(record).aux);
    case NrstFeature_t::Kind_Area:
      return DescribeAttributes(feature, map.GetObjectDetails(record).aux);
    default:
      throw glo::Assert_t(GLO_SRC);
  }
}

}  // namespace map
