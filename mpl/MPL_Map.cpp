#include "mpl/MPL_Map.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "glo/GLO_Locale.h"
#include "glo/GLO_NoCase.h"
#include "mpl/MPL_Dem.h"
#include "mpl/MPL_HarmonicTideStationBase.h"
#include "mpl/MPL_Level.h"
#include "mpl/MPL_SimplifiedTideStation.h"

namespace mpl {

namespace {

MdbPointDetailsReader_t g_detailsReader = nullptr;

constexpr std::uint16_t kAllPoints = kRequestCount;
constexpr std::size_t kLabelBuffer = 151;
constexpr std::uint16_t kTideStationType = 29;

// The file name without folder and extension, folders split at either kind
// of separator and a drive's colon, as paths inside images are written.
std::string BaseName(const std::string& path) {
  const std::string::size_type cut = path.find_last_of("\\/:");
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const std::string::size_type dot = name.rfind('.');
  if (dot != std::string::npos && dot != 0) name.erase(dot);
  return name;
}

void Put32(std::string& s, std::uint32_t v) {
  for (unsigned i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The identifying fields of a record for an error report.
std::string RecordBytes(std::uint16_t type, std::uint16_t subtype, std::uint32_t ref, std::uint32_t label) {
  std::string s;
  Put32(s, type | (std::uint32_t{subtype} << 16));
  Put32(s, ref);
  Put32(s, label);
  return s;
}

}  // namespace

void SetPointDetailsReader(MdbPointDetailsReader_t reader) { g_detailsReader = reader; }

SearchRect_t::SearchRect_t(const geo::Box_t& box)
    : north(box.GetNorth()), east(box.GetEast()), south(box.GetSouth()), west(box.GetWest()) {}

geo::Box_t SearchRect_t::ToBox() const { return geo::Box_t(north, south, east, west); }

void TextEntity_t::SetMatchKind(int kind) {
  if (kind < 0 || kind > 4) throw glo::Assert_t(GLO_SRC);
  m_kind = kind;
}

bool ReorderNameParts(std::string& name, unsigned length1, unsigned length2, unsigned length3) {
  if (length1 == 0 || length2 == 0) return false;
  // The parts must lie inside the name: first, blank, second[, blank, third].
  std::size_t needed = std::size_t{length1} + 1 + length2;
  if (length3 != 0) needed += 1 + std::size_t{length3};
  if (needed > name.size()) return false;
  std::string out = name.substr(length1 + 1, length2) + " " + name.substr(0, length1);
  if (length3 != 0) out += " " + name.substr(std::size_t{length1} + length2 + 2, length3);
  name.replace(0, out.size(), out);
  return true;
}

std::string DumpBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string out;
  char cell[8];
  const auto& printable = std::use_facet<std::ctype<char>>(std::locale::classic());
  for (std::size_t line = 0; line < count; line += 16) {
    std::snprintf(cell, sizeof cell, "%04zx", line & 0xFFFF);
    out += cell;
    out += ": ";
    const std::size_t n = count - line < 16 ? count - line : 16;
    for (std::size_t i = 0; i < 16; ++i) {
      if (i < n) {
        std::snprintf(cell, sizeof cell, "%02x ", bytes[line + i]);
        out += cell;
      } else {
        out += "   ";
      }
    }
    out += "  ";
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned char c = bytes[line + i];
      out += printable.is(std::ctype_base::print, static_cast<char>(c)) ? static_cast<char>(c) : '.';
    }
    out += "\n";
  }
  return out;
}

// ---- construction ---------------------------------------------------------

Map_t::Map_t() { MdbInit(m_map); }

Map_t::Map_t(const ImageSource_t& source, const std::string& mapName, const std::string& sortName) {
  Open(source, mapName, sortName, __LINE__);
}

Map_t::Map_t(const ImageSource_t& source, const std::string& mapName, const MdbSubfile_t& directorySort) {
  Open(source, mapName, std::string(), __LINE__);
  m_map.srt = directorySort;
}

Map_t::Map_t(const Map_t& other) {
  MdbInit(m_map);
  if (MdbCopy(m_map, other.m_map) != kMdbDone) throw MdbException_t(GLO_SRC, kMdbBadData);
}

Map_t& Map_t::operator=(const Map_t& other) {
  if (this != &other) {
    MdbClose(m_map);
    m_demBuffer.clear();
    if (MdbCopy(m_map, other.m_map) != kMdbDone) throw MdbException_t(GLO_SRC, kMdbBadData);
  }
  return *this;
}

Map_t::~Map_t() { MdbClose(m_map); }

std::string Map_t::ImageName() const {
  const dsk::Disk_t* disk = m_map.source.Disk();
  return disk != nullptr ? BaseName(disk->GetName()) : std::string();
}

void Map_t::Open(const ImageSource_t& source, const std::string& mapName, const std::string& sortName, int line) {
  MdbClose(m_map);
  const ImageSource_t local = source;
  const int r = MdbOpen(m_map, mapName, sortName, local);
  if (r != kMdbDone) {
    m_map.source = local;
    const std::string text = "Image: " + ImageName() + "\n" + "Map: " + mapName + "\n";
    MdbClose(m_map);
    throw MdbException_t(glo::SourceBaseName(__FILE__), line, r, text);
  }
  // Labels are decoded in their code page; a header without one means 1252.
  const std::uint32_t codePage = m_map.lbl.codePage != 0 ? m_map.lbl.codePage : 1252;
  m_map.locale = glo::MakeLocale(std::string(), std::string(), codePage);
  m_map.pointFilter = Filter_t();
  m_map.pointFilter.kind = 1;
  m_map.lineFilter = m_map.pointFilter;
  m_map.areaFilter = m_map.pointFilter;
}

void Map_t::CheckOpen(int line) const {
  if (!IsOpen()) throw glo::Assert_t(glo::SourceBaseName(__FILE__), line);
}

// ---- accessors -------------------------------------------------------------

ImageSource_t Map_t::GetImageSource() const {
  CheckOpen(__LINE__);
  return m_map.source;
}

std::uint32_t Map_t::GetMapId() const {
  CheckOpen(__LINE__);
  return m_map.mapId;
}

geo::Box_t Map_t::GetBounds() const {
  CheckOpen(__LINE__);
  return geo::Box_t(m_map.bounds.north, m_map.bounds.south, m_map.bounds.east, m_map.bounds.west);
}

unsigned Map_t::GetDetailLevel() const {
  CheckOpen(__LINE__);
  return m_map.tre.levelBits[m_map.level < kMdbLevels ? m_map.level : 0];
}

const std::locale& Map_t::GetLocale() const {
  CheckOpen(__LINE__);
  return m_map.locale;
}

geo::Box_t Map_t::GetSearchBox() const {
  CheckOpen(__LINE__);
  SearchRect_t r;
  r.north = m_map.searchRect.north;
  r.east = m_map.searchRect.east;
  r.south = m_map.searchRect.south;
  r.west = m_map.searchRect.west;
  return r.ToBox();
}

void Map_t::SetSearchBox(const geo::Box_t& box) {
  if (!IsOpen()) return;
  m_map.searchRect = SearchRect_t(box).ToMdb();
  m_map.exclusion = kMdbNoExclusion;
}

void Map_t::SetSearchArea(const geo::Position_t& position) {
  if (!IsOpen()) return;
  const std::int32_t lat = position.GetLatitude(), lon = position.GetLongitude();
  m_map.searchRect = {lat, lon, lat, lon};
  m_map.exclusion = kMdbNoExclusion;
}

bool Map_t::HasDem() const { return m_map.dem.file.IsOpen(); }

unsigned Map_t::LevelBits(bool highest) const {
  CheckOpen(__LINE__);
  for (unsigned i = 0; i < kMdbLevels; ++i) {
    const unsigned n = highest ? kMdbLevels - 1 - i : i;
    if (MdbLevelUsable(m_map, n)) return m_map.tre.levelBits[n];
  }
  throw glo::Assert_t(GLO_SRC);
}

unsigned Map_t::GetHighestLevelBits() const { return LevelBits(true); }
unsigned Map_t::GetLowestLevelBits() const { return LevelBits(false); }

// ---- filters and criteria ----------------------------------------------------

void Map_t::SetPointFilter(const Filter_t& filter) {
  if (IsOpen()) m_map.pointFilter = filter;
}
void Map_t::SetLineFilter(const Filter_t& filter) {
  if (IsOpen()) m_map.lineFilter = filter;
}
void Map_t::SetAreaFilter(const Filter_t& filter) {
  if (IsOpen()) m_map.areaFilter = filter;
}

Criteria_t Map_t::GetPointCriteria() const {
  return Criteria_t(static_cast<int>(GetDetailLevel()), GetSearchBox(), m_map.pointFilter);
}
Criteria_t Map_t::GetLineCriteria() const {
  return Criteria_t(static_cast<int>(GetDetailLevel()), GetSearchBox(), m_map.lineFilter);
}
Criteria_t Map_t::GetAreaCriteria() const {
  return Criteria_t(static_cast<int>(GetDetailLevel()), GetSearchBox(), m_map.areaFilter);
}

// ---- searches ----------------------------------------------------------------

namespace {

// Makes the workspace a copy of the source (unless it is the source), selects
// the criteria's level and sets its box; the caller sets the filter.
void PrepareWorkspace(Map_t& source, Map_t& workspace, const Criteria_t& criteria) {
  if (&workspace != &source) workspace = source;
  if (workspace.IsOpen()) MdbSelectLevel(workspace.Engine(), static_cast<unsigned>(criteria.detailLevel) & 0xFF, 0);
  workspace.SetSearchBox(criteria.box);
}

}  // namespace

Map_t::AreaRange_t Map_t::AreaSearch(const Criteria_t& criteria) {
  return AreaRange_t({this, &Map_t::GetFirstArea}, {this, &Map_t::GetNextArea}, criteria);
}
Map_t::LineRange_t Map_t::LineSearch(const Criteria_t& criteria) {
  return LineRange_t({this, &Map_t::GetFirstLine}, {this, &Map_t::GetNextLine}, criteria);
}
Map_t::PointRange_t Map_t::PointSearch(const Criteria_t& criteria) {
  return PointRange_t({this, &Map_t::GetFirstPoint}, {this, &Map_t::GetNextPoint}, criteria);
}
Map_t::NearestAreaRange_t Map_t::NearestAreaSearch(const NrstCriteria_t& criteria) {
  return NearestAreaRange_t({this, &Map_t::GetFirstNearestArea}, {this, &Map_t::GetNextNearestArea}, criteria);
}

glo::AutoPtr_t<Area_t> Map_t::GetFirstArea(Map_t& workspace, const Criteria_t& criteria) {
  CheckOpen(__LINE__);
  PrepareWorkspace(*this, workspace, criteria);
  workspace.m_map.areaFilter = criteria.filter;
  glo::AutoPtr_t<Area_t> area(new Area_t);
  const int r = MdbFirstArea(workspace.m_map, area->record, kAllPoints, &area->aux);
  if (r == kMdbNotFound) return glo::AutoPtr_t<Area_t>();
  if (r != kMdbDone) throw MdbException_t(GLO_SRC, r);
  return area;
}

glo::AutoPtr_t<Area_t> Map_t::GetNextArea(const Area_t& current, Map_t& workspace) {
  glo::AutoPtr_t<Area_t> area(new Area_t(current));
  const int r = CheckMdbResult(MdbNextArea(workspace.m_map, area->record, kAllPoints, &area->aux), GLO_SRC,
                               kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(area) : glo::AutoPtr_t<Area_t>();
}

glo::AutoPtr_t<Line_t> Map_t::GetFirstLine(Map_t& workspace, const Criteria_t& criteria) {
  CheckOpen(__LINE__);
  PrepareWorkspace(*this, workspace, criteria);
  workspace.m_map.lineFilter = criteria.filter;
  glo::AutoPtr_t<Line_t> line(new Line_t);
  const int r = MdbFirstLine(workspace.m_map, line->record, kAllPoints, &line->aux);
  if (r == kMdbNotFound) return glo::AutoPtr_t<Line_t>();
  if (r != kMdbDone) throw MdbException_t(GLO_SRC, r);
  return line;
}

glo::AutoPtr_t<Line_t> Map_t::GetNextLine(const Line_t& current, Map_t& workspace) {
  glo::AutoPtr_t<Line_t> line(new Line_t(current));
  const int r = CheckMdbResult(MdbNextLine(workspace.m_map, line->record, kAllPoints, &line->aux), GLO_SRC,
                               kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(line) : glo::AutoPtr_t<Line_t>();
}

glo::AutoPtr_t<Point_t> Map_t::GetFirstPoint(Map_t& workspace, const Criteria_t& criteria) {
  CheckOpen(__LINE__);
  PrepareWorkspace(*this, workspace, criteria);
  workspace.m_map.pointFilter = criteria.filter;
  glo::AutoPtr_t<Point_t> point(new Point_t);
  const int r = CheckMdbResult(MdbFirstPoint(workspace.m_map, point->record, kAllPoints, &point->aux), GLO_SRC,
                               kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(point) : glo::AutoPtr_t<Point_t>();
}

glo::AutoPtr_t<Point_t> Map_t::GetNextPoint(const Point_t& current, Map_t& workspace) {
  glo::AutoPtr_t<Point_t> point(new Point_t(current));
  const int r = CheckMdbResult(MdbNextPoint(workspace.m_map, point->record, kAllPoints, &point->aux), GLO_SRC,
                               kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(point) : glo::AutoPtr_t<Point_t>();
}

glo::AutoPtr_t<Area_t> Map_t::GetFirstNearestArea(NrstWorkspace_t& workspace, const NrstCriteria_t& criteria) {
  CheckOpen(__LINE__);
  PrepareWorkspace(*this, workspace.map, criteria);
  workspace.map.m_map.areaFilter = criteria.filter;
  workspace.point = criteria.point;
  glo::AutoPtr_t<Area_t> area(new Area_t);
  const int r = MdbFirstAreaAtPoint(workspace.map.m_map, workspace.point, area->record);
  if (r == kMdbNotFound) return glo::AutoPtr_t<Area_t>();
  if (r != kMdbDone) throw MdbException_t(GLO_SRC, r);
  return area;
}

glo::AutoPtr_t<Area_t> Map_t::GetNextNearestArea(const Area_t& current, NrstWorkspace_t& workspace) {
  glo::AutoPtr_t<Area_t> area(new Area_t(current));
  const int r = CheckMdbResult(MdbNextAreaAtPoint(workspace.map.m_map, workspace.point, area->record), GLO_SRC,
                               kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(area) : glo::AutoPtr_t<Area_t>();
}

Map_t::LightFlashRange_t Map_t::LightFlashSearch(const MdbAuxInfo_t& light) {
  return LightFlashRange_t({this, &Map_t::GetFirstLightFlash}, {this, &Map_t::GetNextLightFlash}, light);
}
Map_t::LightSectorRange_t Map_t::LightSectorSearch(const MdbAuxInfo_t& light) {
  return LightSectorRange_t({this, &Map_t::GetFirstLightSector}, {this, &Map_t::GetNextLightSector}, light);
}

glo::AutoPtr_t<MdbLightFlash_t> Map_t::GetFirstLightFlash(MdbLightFlashState_t& workspace, const MdbAuxInfo_t& light) {
  CheckOpen(__LINE__);
  workspace.criteria = light;
  glo::AutoPtr_t<MdbLightFlash_t> flash(new MdbLightFlash_t);
  const int r = CheckMdbResult(MdbFirstLightFlash(m_map, workspace, *flash), GLO_SRC, kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(flash) : glo::AutoPtr_t<MdbLightFlash_t>();
}

glo::AutoPtr_t<MdbLightFlash_t> Map_t::GetNextLightFlash(const MdbLightFlash_t& current,
                                                         MdbLightFlashState_t& workspace) {
  glo::AutoPtr_t<MdbLightFlash_t> flash(new MdbLightFlash_t(current));
  const int r = CheckMdbResult(MdbNextLightFlash(m_map, workspace, *flash), GLO_SRC, kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(flash) : glo::AutoPtr_t<MdbLightFlash_t>();
}

glo::AutoPtr_t<MdbLightSector_t> Map_t::GetFirstLightSector(MdbLightSectorState_t& workspace,
                                                            const MdbAuxInfo_t& light) {
  CheckOpen(__LINE__);
  workspace.criteria = light;
  glo::AutoPtr_t<MdbLightSector_t> sector(new MdbLightSector_t);
  const int r = CheckMdbResult(MdbFirstLightSector(m_map, workspace, *sector), GLO_SRC, kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(sector) : glo::AutoPtr_t<MdbLightSector_t>();
}

glo::AutoPtr_t<MdbLightSector_t> Map_t::GetNextLightSector(const MdbLightSector_t& current,
                                                           MdbLightSectorState_t& workspace) {
  glo::AutoPtr_t<MdbLightSector_t> sector(new MdbLightSector_t(current));
  const int r = CheckMdbResult(MdbNextLightSector(m_map, workspace, *sector), GLO_SRC, kMdbAcceptNotFound);
  return r == kMdbDone ? std::move(sector) : glo::AutoPtr_t<MdbLightSector_t>();
}

// ---- queries ---------------------------------------------------------------

MapInfo_t Map_t::GetMapInfo() {
  CheckOpen(__LINE__);
  MapInfo_t info;
  CheckMdbResult(MdbGetMapInfo(m_map, info), GLO_SRC, kMdbStrict);
  return info;
}

std::vector<std::uint32_t> Map_t::GetNotices(unsigned capacity) {
  CheckOpen(__LINE__);
  MapInfo_t info;
  std::vector<std::uint32_t> notices(capacity, kMdbNone);
  CheckMdbResult(MdbGetMapInfo(m_map, info, capacity, notices.data()), GLO_SRC, kMdbStrict);
  notices.erase(std::find(notices.begin(), notices.end(), kMdbNone), notices.end());
  return notices;
}

bool Map_t::GetNameOrderFlag() {
  CheckOpen(__LINE__);
  return (GetMapInfo().flags & kInfoNameOrder) != 0;
}

std::string Map_t::JoinNameParts(const std::string& first, const std::string& second) {
  return GetNameOrderFlag() ? second + " " + first : first + " " + second;
}

bool Map_t::FindAreasAtPoint(const MdbPoint_t& point, MdbAreaRecord_t& result) {
  if (!IsOpen()) return false;
  MdbAreaRecord_t work;
  const int r = MdbFindAreasAtPoint(m_map, point, work, nullptr, &result, 1);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

bool Map_t::FindNearestLines(const MdbPoint_t& point, MdbLineRecord_t& line, MdbLineHit_t* hits, unsigned capacity) {
  if (!IsOpen()) return false;
  const int r = MdbFindNearestLines(m_map, point, line, hits, capacity, nullptr);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

bool Map_t::FindNearestJunction(const MdbPoint_t& point, MdbLineRecord_t& line, MdbJunction_t& result,
                                unsigned count) {
  if (!IsOpen()) return false;
  const int r = MdbFindNearestJunction(m_map, point, line, result, count & kJunctionCapacity,
                                       (count & kJunctionSecondPass) != 0 ? kMdbJunctionRestricted : 0);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

bool Map_t::FindNearestPoints(const MdbPoint_t& point, MdbPointRecord_t& first, MdbAuxInfo_t* attributes,
                              std::vector<MdbTextHit_t>& hits, unsigned kind) {
  if (!IsOpen()) return false;
  const int r = MdbFindNearestPoints(m_map, point, first, attributes, kAllPoints, hits.data(),
                                     static_cast<unsigned>(hits.size()), static_cast<std::uint16_t>(kind & 0x7FFF),
                                     ((kind >> 15) & 1) != 0);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

bool Map_t::FindNamedRoad(std::uint32_t lineRef, const MdbPoint_t& point, MdbLineRecord_t& line,
                          MdbRoadNear_t& result) {
  if (!IsOpen()) return false;
  const int r = MdbFindRoadNear(m_map, lineRef, point, line, kAllPoints, result);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

bool Map_t::TraceRoad(MdbLineRecord_t& line, const MdbRoadNear_t& near, MdbAddress_t& address) {
  if (!IsOpen()) return false;
  MdbLevelGuard_t kept(m_map);
  m_map.level = static_cast<std::uint8_t>(MdbDetailedLevel(m_map));
  MdbRoadNear_t detailed;
  int r = MdbFindRoadNear(m_map, line.ref, near.nearest, line, kAllPoints, detailed);
  if (r == kMdbDone) r = MdbAddressAt(m_map, line, kAllPoints, detailed, address);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

MarineChartRecord_t Map_t::GetMarineObject(std::uint32_t number) {
  CheckOpen(__LINE__);
  MarineChartRecord_t record;
  record.number = number;
  CheckMdbResult(MdbReadChartRecord(m_map, record), GLO_SRC, kMdbStrict);
  return record;
}

Point_t Map_t::GetPointRecord(std::uint32_t ref) {
  CheckOpen(__LINE__);
  Point_t point;
  point.record.ref = ref;
  CheckMdbResult(MdbGetPoint(m_map, point.record, kAllPoints, &point.aux), GLO_SRC, kMdbStrict);
  return point;
}

Line_t Map_t::GetLineRecord(std::uint32_t ref) {
  CheckOpen(__LINE__);
  Line_t line;
  line.record.ref = ref;
  CheckMdbResult(MdbGetLine(m_map, line.record, kAllPoints, &line.aux), GLO_SRC, kMdbStrict);
  return line;
}

Area_t Map_t::GetObjectDetails(std::uint32_t ref) {
  CheckOpen(__LINE__);
  Area_t area;
  area.record.ref = ref;
  CheckMdbResult(MdbGetArea(m_map, area.record, kAllPoints, &area.aux), GLO_SRC, kMdbStrict);
  return area;
}

MdbExitRecord_t Map_t::GetExit(std::uint32_t number) {
  MdbExitRecord_t exit;
  exit.number = number;
  CheckMdbResult(MdbReadExit(m_map, exit), GLO_SRC, kMdbStrict);
  return exit;
}

void Map_t::GetExitFacilities(std::uint32_t first, std::vector<MdbExitFacilityRecord_t>& facilities) {
  CheckOpen(__LINE__);
  std::uint32_t count = 0;
  CheckMdbResult(MdbCountExitFacilities(m_map, first, count), GLO_SRC, kMdbStrict);
  for (std::uint32_t i = 0; i < count; ++i) {
    MdbExitFacilityRecord_t facility;
    facility.number = first + i;
    CheckMdbResult(MdbReadExitFacility(m_map, facility), GLO_SRC, kMdbStrict);
    facilities.push_back(facility);
  }
}

std::string Map_t::GetLabel(const void* record, unsigned kind, const std::string& dump, std::uint32_t flags) {
  CheckOpen(__LINE__);
  char buffer[kLabelBuffer] = {};
  const int r = MdbGetObjectLabel(m_map, record, kind, buffer, sizeof buffer, flags);
  if (r != kMdbDone) {
    const std::string text = "Image: " + ImageName() + "\n" + "Record type: " + std::to_string(kind) + "\n" +
                             "Record:\n" +
                             DumpBytes(reinterpret_cast<const std::uint8_t*>(dump.data()), dump.size());
    throw MdbException_t(GLO_SRC, r, text);
  }
  buffer[kLabelBuffer - 1] = '\0';
  return buffer;
}

std::string Map_t::GetLabelText(std::uint32_t offset, std::uint32_t flags) {
  std::string dump;
  Put32(dump, offset);
  return GetLabel(&offset, kLabelOfOffset, dump, flags);
}

std::string Map_t::GetAreaLabel(const MdbAreaRecord_t& area, std::uint32_t flags) {
  return GetLabel(&area, kLabelOfArea, RecordBytes(area.type, area.subtype, area.ref, area.label), flags);
}

std::pair<std::string, std::uint32_t> Map_t::GetLineLabel(const MdbLineRecord_t& line, std::uint32_t flags) {
  return {GetLabel(&line, kLabelOfLine, RecordBytes(line.type, line.subtype, line.ref, line.label), flags),
          line.label};
}

std::pair<std::string, std::uint32_t> Map_t::GetPointLabel(const MdbPointRecord_t& point, std::uint32_t flags) {
  return {GetLabel(&point, kLabelOfPoint, RecordBytes(point.type, point.subtype, point.ref, point.label), flags),
          point.label};
}

std::string Map_t::GetLabelByIndex(std::uint32_t n) {
  CheckOpen(__LINE__);
  std::uint32_t offset = 0;
  const int r = MdbReadIndexedLabel(m_map, n, offset);
  if (r != kMdbDone) throw MdbException_t(GLO_SRC, r);
  return GetLabelText(offset, 2048);
}

MdbPointDetails_t Map_t::GetTextEntity(const Point_t& point, std::uint32_t flags) {
  CheckOpen(__LINE__);
  MdbPointDetails_t details;
  const MdbPointDetailsReader_t reader = g_detailsReader != nullptr ? g_detailsReader : MdbReadPointDetails;
  const int r = reader(m_map, point.record, details, flags);
  if (r != kMdbDone) throw MdbException_t(GLO_SRC, r);
  if (GetNameOrderFlag()) ReorderNameParts(details.name, details.length1, details.length2, details.length3);
  return details;
}

// Point texts and text entities.
bool Map_t::SearchText(const MdbPoint_t& point, MdbPointRecord_t& first, std::vector<MdbTextHit_t>& hits,
                       const std::string& name) {
  if (!IsOpen()) return false;
  MdbTextCriteria_t criteria;
  std::string upper;
  std::array<char, 64> work{};
  if (!name.empty()) {
    upper = glo::ToUpper(name, m_map.locale);
    criteria.mode = kTextByName;
    criteria.name = upper.c_str();
    criteria.work = work.data();
    criteria.workSize = static_cast<std::uint16_t>(work.size());
  }
  const int r = MdbNearestText(m_map, point, first, hits.data(), static_cast<unsigned>(hits.size()), &criteria);
  return CheckMdbResult(r, GLO_SRC, kMdbAcceptNotFound) == kMdbDone;
}

int MdbFirstTextEntity(MdbMap_t& map, TextEntityWorkspace_t& workspace) {
  workspace.paragraph = MdbParagraph_t();
  workspace.paragraph.number = static_cast<std::int32_t>(workspace.criteria);
  workspace.open = true;
  workspace.paragraph.buffer = workspace.text.data();
  workspace.paragraph.bufferSize = static_cast<std::uint16_t>(workspace.text.size());
  workspace.text[0] = '\0';
  const int r = MdbOpenParagraph(map, workspace.paragraph);
  workspace.more = r == kMdbDone && workspace.paragraph.morePending != 0;
  workspace.kind = workspace.paragraph.headerLow <= 4 ? workspace.paragraph.headerLow : 0;
  return r;
}

int MdbNextTextEntity(MdbMap_t& map, TextEntityWorkspace_t& workspace) {
  if (!workspace.open) return MdbFirstTextEntity(map, workspace);
  workspace.paragraph.buffer = workspace.text.data();
  workspace.paragraph.bufferSize = static_cast<std::uint16_t>(workspace.text.size());
  workspace.text[0] = '\0';
  const int r = MdbReadParagraph(map, workspace.paragraph);
  workspace.more = r == kMdbDone && workspace.paragraph.morePending != 0;
  workspace.kind = workspace.paragraph.headerLow <= 4 ? workspace.paragraph.headerLow : 0;
  return r;
}

Map_t::TextEntityRange_t Map_t::TextEntitySearch(std::uint32_t paragraph) {
  return TextEntityRange_t({this, &Map_t::GetFirstTextEntity}, {this, &Map_t::GetNextTextEntity}, paragraph);
}

glo::AutoPtr_t<TextEntity_t> Map_t::GetFirstTextEntity(TextEntityWorkspace_t& workspace,
                                                       const std::uint32_t& paragraph) {
  CheckOpen(__LINE__);
  workspace = TextEntityWorkspace_t();
  workspace.criteria = paragraph;
  if (CheckMdbResult(MdbFirstTextEntity(m_map, workspace), GLO_SRC, kMdbAcceptNotFound) != kMdbDone)
    return glo::AutoPtr_t<TextEntity_t>();
  return CollectTextEntity(workspace);
}

glo::AutoPtr_t<TextEntity_t> Map_t::CollectTextEntity(TextEntityWorkspace_t& workspace) {
  glo::AutoPtr_t<TextEntity_t> entity(new TextEntity_t);
  entity->text = workspace.text.data();
  const std::uint8_t kind = workspace.kind;
  while (workspace.more) {
    CheckMdbResult(MdbNextTextEntity(m_map, workspace), GLO_SRC, kMdbStrict);
    entity->text += workspace.text.data();
  }
  entity->SetMatchKind(kind);
  return entity;
}

glo::AutoPtr_t<TextEntity_t> Map_t::GetNextTextEntity(const TextEntity_t&, TextEntityWorkspace_t& workspace) {
  CheckOpen(__LINE__);
  if (CheckMdbResult(MdbNextTextEntity(m_map, workspace), GLO_SRC, kMdbAcceptNotFound) != kMdbDone)
    return glo::AutoPtr_t<TextEntity_t>();
  return CollectTextEntity(workspace);
}

std::unique_ptr<TideStation_t> Map_t::MakeTideStation(std::uint32_t ref) {
  const Point_t point = GetPointRecord(ref);
  if (point.record.type != kTideStationType) throw glo::Assert_t(GLO_SRC);
  return MakeTideStation(point.record, GetTextEntity(point, 0));
}

std::unique_ptr<TideStation_t> Map_t::MakeTideStation(const MdbPointRecord_t& point,
                                                      const MdbPointDetails_t& details) {
  CheckOpen(__LINE__);
  TidePointInfo_t info;
  info.type = point.type;
  info.subtype = static_cast<std::uint8_t>(point.subtype);
  info.latitude = point.lat;
  info.stationPointer = details.stationPointer;
  info.notes = details.notes;
  if (point.type != kTideStationType) throw glo::Assert_t(GLO_SRC);
  switch (point.subtype) {
    case 0:
    case 1:
      return std::make_unique<HarmonicTideStation_t>(m_map, info, false);
    case 2:
      return std::make_unique<SimplifiedTideStation_t>(m_map, info, false);
    case 6:
      return std::make_unique<IosTideStation_t>(m_map, info, false);
    default:
      throw glo::Assert_t(GLO_SRC);
  }
}

void Map_t::GetElevationRange(std::optional<std::int32_t>& lowest, std::optional<std::int32_t>& highest,
                              bool reset) {
  if (reset) {
    lowest.reset();
    highest.reset();
  }
  if (!HasDem()) return;
  std::optional<std::int32_t> low, high;
  const unsigned last = m_map.tre.highestLevel < kMdbLevels ? m_map.tre.highestLevel : kMdbLevels - 1;
  for (unsigned n = m_map.tre.lowestLevel; n <= last; ++n) {
    const MdbDemLevel_t& level = m_map.dem.levels[n];
    if (level.tileCols == 0 || (level.lowest == 0 && level.highest == 0)) continue;
    const std::int32_t l = static_cast<std::int16_t>(level.lowest - level.quant);
    const std::int32_t h = static_cast<std::int16_t>(level.highest + level.quant);
    if (!low || l < *low) low = l;
    if (!high || h > *high) high = h;
  }
  if (!low) return;
  const std::int32_t factor = m_map.dem.metres ? 256 : 78;
  const std::int32_t l = *low * factor, h = *high * factor;
  if (lowest && highest) {
    lowest = std::min(*lowest, l);
    highest = std::max(*highest, h);
  } else {
    lowest = l;
    highest = h;
  }
}

void Map_t::LoadDemLevel(unsigned bits) {
  if (!HasDem()) return;
  const unsigned first = MdbDetailedLevel(m_map);
  const unsigned last = m_map.tre.highestLevel < kMdbLevels ? m_map.tre.highestLevel : kMdbLevels - 1;
  unsigned level = first;
  for (unsigned n = first; n <= last; ++n)
    if (m_map.tre.levelBits[n] == bits) {
      level = n;
      break;
    }
  const std::uint32_t size = MdbDemWorkSize(m_map, level);
  if (size == 0) throw glo::Assert_t(GLO_SRC);
  m_demBuffer.assign(size, 0);
  std::uint32_t used = 0;
  CheckMdbResult(MdbDemSelectLevel(m_map, level, m_demBuffer.data(), size, used), GLO_SRC, kMdbStrict);
}

}  // namespace mpl
