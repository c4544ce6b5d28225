#include "map/MAP_PoiDescription.h"

#include "glo/GLO_Exception.h"
#include "glo/GLO_StringResource.h"
#include "map/MAP_FeatureDescription.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_MapInfo.h"
#include "mpl/MPL_PoiText.h"

namespace map {

namespace {

constexpr std::uint32_t kPostalCodeFirst = 0x2000;
constexpr std::uint32_t kTextFlags = 2052;

std::string Text(int id) { return glo::StringResource_t(id, GLO_SRC).Text(); }

void AddRowIfText(NameValueRows_t& rows, int nameId, const std::string& value) {
  if (!value.empty()) AddRow(rows, nameId, value);
}

// The city's name and, after the separator when there is a name, its region's.
std::string CityLine(const mpl::MdbPoiText_t& text, PoiSource_t& source, std::uint32_t regionFlags) {
  std::string line;
  if (text.city == mpl::kMdbNone) return line;
  const PoiSource_t::City_t city = source.GetCity(text.city);
  if (city.label != mpl::kMdbNone) line = source.GetLabel(city.label, mpl::kLabelTitleCase);
  if (city.regionLabel != mpl::kMdbNone) {
    if (!line.empty()) line += Text(6073);
    line += source.GetLabel(city.regionLabel, regionFlags);
  }
  return line;
}

std::string PostalCode(const mpl::MdbPoiText_t& text, PoiSource_t& source) {
  return text.postalCode == mpl::kMdbNone ? std::string() : source.GetPostalCode(text.postalCode);
}

// The text buffers of the record end at their first NUL (or their end).
std::string BufferText(const char* buffer, std::size_t size) {
  std::size_t n = 0;
  while (n < size && buffer[n] != '\0') ++n;
  return std::string(buffer, n);
}

struct Facility_t {
  unsigned bit;
  int name;
};
struct FacilityGroup_t {
  int label;
  std::vector<Facility_t> members;
};

const std::vector<FacilityGroup_t>& FacilityGroups() {
  static const std::vector<FacilityGroup_t> groups = {
      {6075, {{0, 6074}}},
      {6080, {{1, 6076}, {2, 6077}, {5, 6078}, {6, 6079}}},
      {6083, {{3, 6081}, {4, 6082}}},
      {6086, {{7, 6084}, {8, 6085}}},
      {6092, {{9, 6087}, {22, 6088}, {23, 6089}, {10, 6090}, {11, 6091}}},
      {6098, {{12, 6093}, {17, 6094}, {18, 6095}, {19, 6096}, {20, 6097}}},
      {6103, {{24, 6099}, {25, 6100}, {26, 6101}, {27, 6102}}},
      {6110, {{21, 6105}, {13, 6106}, {14, 6107}, {15, 6108}, {16, 6109}}},
  };
  return groups;
}

}  // namespace

// ---------------------------------------------------------------------------
// The map's side.

MapPoiSource_t::MapPoiSource_t(mpl::Map_t& map) : m_map(map) { GLO_ASSERT(map.IsOpen()); }

std::string MapPoiSource_t::GetLabel(std::uint32_t offset, std::uint32_t flags) {
  return m_map.GetLabelText(offset, flags);
}

PoiSource_t::City_t MapPoiSource_t::GetCity(std::uint32_t n) {
  mpl::MdbCityRecord_t record;
  record.number = n;
  const int r = mpl::MdbReadCity(m_map.Engine(), record);
  if (r != mpl::kMdbDone) throw mpl::MdbException_t(GLO_SRC, r);
  return City_t{record.label, record.regionLabel};
}

std::string MapPoiSource_t::GetPostalCode(std::uint32_t n) { return m_map.GetLabelByIndex(n); }

bool MapPoiSource_t::PostalCodeFirst() { return (m_map.GetMapInfo().flags & kPostalCodeFirst) != 0; }

std::uint32_t MapPoiSource_t::GetExitLabel(std::uint32_t n) { return m_map.GetExit(n).label; }

std::vector<mpl::MdbExitFacilityRecord_t> MapPoiSource_t::GetExitFacilities(std::uint32_t first) {
  std::vector<mpl::MdbExitFacilityRecord_t> facilities;
  m_map.GetExitFacilities(first, facilities);
  return facilities;
}

// ---------------------------------------------------------------------------
// Texts and rows.

std::string GetCountUnitName(unsigned code) {
  switch (code) {
    case 0: return std::string();
    case 1: return Text(6111);
    case 2: return Text(6112);
    case 3: return Text(6113);
    default: throw glo::Assert_t(GLO_SRC);
  }
}

void AppendFacilityName(std::string& list, unsigned bit, const std::string& name, std::uint32_t mask) {
  if ((mask & (1u << bit)) == 0) return;
  if (!list.empty()) list += Text(6073);
  list += name;
}

std::string DescribePoiText(const std::string& title, const mpl::MdbPointDetails_t& details, PoiSource_t& source) {
  const mpl::MdbPoiText_t& text = details.text;
  const std::string number = BufferText(text.number, sizeof text.number);
  std::string city = CityLine(text, source, mpl::kLabelSecondName);
  const std::string postal = PostalCode(text, source);
  if (!postal.empty()) {
    if (source.PostalCodeFirst())
      city = city.empty() ? postal : postal + " " + city;
    else
      city += (city.empty() ? "" : " ") + postal;
  }
  std::string out;
  for (const std::string& part : {title, details.name, city, number}) {
    if (part.empty()) continue;
    if (!out.empty()) out += "\r\n";
    out += part;
  }
  return out;
}

ExitInput_t DescribeExit(const mpl::MdbPointDetails_t& details, PoiSource_t& source, mpl::Map_t* map) {
  const mpl::MdbPoiText_t& text = details.text;
  ExitInput_t input;
  if (text.exitFacility != mpl::kMdbNone) input.facilities = source.GetExitFacilities(text.exitFacility);
  std::string highway;
  if (text.exitIndex != mpl::kMdbNone)
    highway = source.GetLabel(source.GetExitLabel(text.exitIndex), mpl::kLabelExpandShield);
  if (text.nameLabel != mpl::kMdbNone)
    input.heading = glo::StringResource_t(6114, GLO_SRC)
                        .FormatArgs({highway, source.GetLabel(text.nameLabel, mpl::kLabelTitleCase)}, GLO_SRC);
  if (text.exitRoadLabel != mpl::kMdbNone) input.description = source.GetLabel(text.exitRoadLabel, mpl::kLabelTitleCase);
  input.flag = text.exitFlag != 0;
  input.map = map;
  return input;
}

NameValueRows_t DescribePoiDetails(const std::string& title, const mpl::MdbPointDetails_t& details,
                                   PoiSource_t& source) {
  const mpl::MdbPoiText_t& text = details.text;
  NameValueRows_t rows;
  AddRow(rows, 4464, title);
  AddRowIfText(rows, 6065, details.name);
  AddRowIfText(rows, 6066, CityLine(text, source, mpl::kLabelTitleCase));
  AddRowIfText(rows, 6067, PostalCode(text, source));
  AddRowIfText(rows, 6068, BufferText(text.number, sizeof text.number));
  const std::uint8_t flags = text.groupAFlags;
  if ((flags & 1u) != 0) AddRowIfText(rows, 6069, source.GetLabel(text.groupA1, mpl::kLabelTitleCase));
  if ((flags & 2u) != 0) AddRowIfText(rows, 6070, source.GetLabel(text.groupA2, 0));
  // Count 1 with its unit code in bits 4-5, count 2 with bits 2-3.
  const unsigned unit1 = (flags >> 4) & 3u, unit2 = (flags >> 2) & 3u;
  if (unit1 != 0) AddRow(rows, 6071, std::to_string(text.groupAByte2) + " " + GetCountUnitName(unit1));
  if (unit2 != 0) AddRow(rows, 6072, std::to_string(text.groupAByte1) + " " + GetCountUnitName(unit2));
  if ((flags & 0x40u) != 0) {
    for (const FacilityGroup_t& group : FacilityGroups()) {
      std::string list;
      for (const Facility_t& member : group.members)
        if ((text.groupAMask & (1u << member.bit)) != 0)
          AppendFacilityName(list, member.bit, Text(member.name), text.groupAMask);
      AddRowIfText(rows, group.label, list);
    }
  }
  return rows;
}

// ---------------------------------------------------------------------------
// Points by their text record.

bool HasPointTextProperties(const NrstFeature_t& feature, const mpl::Point_t& point) {
  if (point.record.poi == mpl::kMdbNone) return false;
  const mpl::MdbPointDetails_t details = feature.ref.GetMap().GetTextEntity(point, kTextFlags);
  return details.text.groupAFlags != 0 || details.text.kind <= mpl::kPoiKindTide;
}

FeatureDescription_t DescribePointText(const NrstFeature_t& feature, const mpl::Point_t& point) {
  GLO_ASSERT(point.record.poi != mpl::kMdbNone);
  mpl::Map_t& map = feature.ref.GetMap();
  const mpl::MdbPointDetails_t details = map.GetTextEntity(point, kTextFlags);
  const std::string title = TitleOf(feature);
  // Group A fields come first, whatever kind of point it is.
  if (details.text.groupAFlags != 0) {
    MapPoiSource_t source(map);
    return NameValueInput_t{DescribePoiDetails(title, details, source)};
  }
  switch (details.text.kind) {
    case mpl::kPoiKindPlace:
    case mpl::kPoiKindService: {
      MapPoiSource_t source(map);
      return PoiInput_t{DescribePoiText(title, details, source)};
    }
    case mpl::kPoiKindExit: {
      MapPoiSource_t source(map);
      return DescribeExit(details, source, &map);
    }
    case mpl::kPoiKindTide: {
      std::unique_ptr<mpl::TideStation_t> station =
          map.MakeTideStation(static_cast<std::uint32_t>(feature.ref.reference));
      GLO_ASSERT(station != nullptr);
      return TideInput_t{std::shared_ptr<mpl::TideStation_t>(std::move(station)), glo::Time_t(), 1, title, &map};
    }
    default:
      return {};
  }
}

}  // namespace map
