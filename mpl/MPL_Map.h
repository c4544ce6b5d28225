#pragma once
// One map of an image as the rest of the program reads it: the map object owns
// an engine context, opens the map when it is constructed, hands out the
// map's identity, bounds, level and search state, starts the area, line,
// point and nearest-area searches (bound into search iterators) and answers
// the single queries of the map window. Engine result codes become
// MdbException_t; using a map that is not open is a failed internal check,
// except for the setters (which do nothing) and the yes/no queries (false).
#include <array>
#include <cstdint>
#include <locale>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geo/GEO_Box.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_SearchIter.h"
#include "mpl/MPL_DemScan.h"
#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Exception.h"
#include "mpl/MPL_Filter.h"
#include "mpl/MPL_Lbl.h"
#include "mpl/MPL_Light.h"
#include "mpl/MPL_MapInfo.h"
#include "mpl/MPL_Nearest.h"
#include "mpl/MPL_Net.h"
#include "mpl/MPL_Paragraph.h"
#include "mpl/MPL_PoiText.h"
#include "mpl/MPL_Road.h"
#include "mpl/MPL_Rgn.h"
#include "mpl/MPL_TideStation.h"

namespace mpl {

// A search box in semicircles.
struct SearchRect_t {
  std::int32_t north = 0, east = 0, south = 0, west = 0;
  SearchRect_t() = default;
  // OutOfRange_t for an empty box.
  explicit SearchRect_t(const geo::Box_t& box);
  geo::Box_t ToBox() const;
  MdbBox_t ToMdb() const { return {north, east, south, west}; }
};

// What a search looks at: the level (its low byte the resolution bits), the
// box and the type filter.
struct Criteria_t {
  Criteria_t() = default;
  Criteria_t(int detailLevel, const geo::Box_t& box, const Filter_t& filter)
      : detailLevel(detailLevel), box(box), filter(filter) {}
  int detailLevel = 0;
  geo::Box_t box;
  Filter_t filter;
};

// The criteria of the nearest-area search: the reference point and a value
// that the caller keeps with them.
struct NrstCriteria_t : Criteria_t {
  NrstCriteria_t() = default;
  NrstCriteria_t(const Criteria_t& criteria, const MdbPoint_t& point, std::optional<double> value = std::nullopt)
      : Criteria_t(criteria), point(point), value(value) {}
  MdbPoint_t point;
  std::optional<double> value;
};

// Search results: the engine record with its attribute record.
struct Point_t {
  MdbPointRecord_t record;
  MdbAuxInfo_t aux;
};
struct Area_t {
  MdbAreaRecord_t record;
  MdbAuxInfo_t aux;
};
struct Line_t {
  MdbLineRecord_t record;
  MdbAuxInfo_t aux;
};

// A name found by the name search: its text and how it matched (0-4).
class TextEntity_t {
 public:
  std::string text;
  int MatchKind() const { return m_kind; }
  // Assert_t for a kind outside 0-4.
  void SetMatchKind(int kind);

 private:
  int m_kind = 0;
};

// The fields of a point's detail record that the map object uses: the name
// with the lengths of its three parts, the LBL position of a tide station's
// data offset and the index of its notes (all ones: none).
struct MdbPointDetails_t {
  std::string name;
  std::uint8_t length1 = 0, length2 = 0, length3 = 0;
  std::uint32_t stationPointer = 0xFFFFFFFFu;
  std::uint32_t notes = 0xFFFFFFFFu;
  MdbPoiText_t text;  // the whole property record (its address as read, before any reordering)
};
// Reads a point's detail record (0 or a failure code). The map object reads
// point property records with MdbReadPointDetails unless another reader is
// installed (null: that one again).
using MdbPointDetailsReader_t = int (*)(MdbMap_t& map, const MdbPointRecord_t& point, MdbPointDetails_t& details,
                                        std::uint32_t flags);
void SetPointDetailsReader(MdbPointDetailsReader_t reader);
// The point's property record: the name is its address text with the lengths
// of house number, street name and unit; a tide station's LBL position of its
// data offset and the index of its notes. 'flags' format the label texts.
int MdbReadPointDetails(MdbMap_t& map, const MdbPointRecord_t& point, MdbPointDetails_t& details,
                        std::uint32_t flags);

// The workspace of the text-entity search: the paragraph (its number first),
// the latest piece of text and whether more pieces of the part follow.
struct TextEntityWorkspace_t {
  std::uint32_t criteria = 0;
  std::array<char, 151> text{};
  bool more = false;
  std::uint8_t kind = 0;
  bool open = false;
  MdbParagraph_t paragraph;
};
// The first and the next piece of the paragraph's text: 0, 3 no more, else a
// failure code. The kind is the part header's low byte (0 when above 4).
int MdbFirstTextEntity(MdbMap_t& map, TextEntityWorkspace_t& workspace);
int MdbNextTextEntity(MdbMap_t& map, TextEntityWorkspace_t& workspace);

// Rewrites 'name' (its first length1 + 1 + length2 [+ 1 + length3] characters)
// as second part, blank, first part [, blank, third part]. A name too short for
// the parts is left unchanged; answers whether it was reordered.
bool ReorderNameParts(std::string& name, unsigned length1, unsigned length2, unsigned length3);

// The bytes in lines of 16: offset, hexadecimal bytes, characters ('.' for
// those that are not printable).
std::string DumpBytes(const std::uint8_t* bytes, std::size_t count);

struct NrstWorkspace_t;

// The count word of Map_t::FindNearestJunction: the capacity, and the bit that
// asks for the restricted second pass.
constexpr unsigned kJunctionCapacity = 0x7FFF;
constexpr unsigned kJunctionSecondPass = 0x8000;

class Map_t {
 public:
  using AreaRange_t = glo::SearchRange_t<Map_t, Area_t, Map_t, Criteria_t>;
  using LineRange_t = glo::SearchRange_t<Map_t, Line_t, Map_t, Criteria_t>;
  using PointRange_t = glo::SearchRange_t<Map_t, Point_t, Map_t, Criteria_t>;
  using NearestAreaRange_t = glo::SearchRange_t<Map_t, Area_t, NrstWorkspace_t, NrstCriteria_t>;
  using LightFlashRange_t = glo::SearchRange_t<Map_t, MdbLightFlash_t, MdbLightFlashState_t, MdbAuxInfo_t>;
  using LightSectorRange_t = glo::SearchRange_t<Map_t, MdbLightSector_t, MdbLightSectorState_t, MdbAuxInfo_t>;

  // No map.
  Map_t();
  // Opens the map with the sort table of that name (empty: none). Throws
  // MdbException_t naming the image and the map when it cannot be opened.
  Map_t(const ImageSource_t& source, const std::string& mapName, const std::string& sortName);
  // Opens the map without a sort table of its own and gives it a copy of the
  // map directory's sort table.
  Map_t(const ImageSource_t& source, const std::string& mapName, const MdbSubfile_t& directorySort);
  // An independent copy sharing the image.
  Map_t(const Map_t& other);
  Map_t& operator=(const Map_t& other);
  virtual ~Map_t();

  // Open: a map id other than 0 and an open TRE sub-file.
  bool IsOpen() const { return MdbIsMapOpen(m_map); }
  // The engine context, for the engine routines that callers run directly.
  MdbMap_t& Engine() { return m_map; }
  const MdbMap_t& Engine() const { return m_map; }

  ImageSource_t GetImageSource() const;
  std::uint32_t GetMapId() const;
  geo::Box_t GetBounds() const;
  unsigned GetDetailLevel() const;
  const std::locale& GetLocale() const;
  geo::Box_t GetSearchBox() const;
  void SetSearchBox(const geo::Box_t& box);
  void SetSearchArea(const geo::Position_t& position);
  bool HasDem() const;
  unsigned GetHighestLevelBits() const;
  unsigned GetLowestLevelBits() const;

  // Filters and criteria.
  void SetPointFilter(const Filter_t& filter);
  void SetLineFilter(const Filter_t& filter);
  void SetAreaFilter(const Filter_t& filter);
  const Filter_t& GetPointFilter() const { return m_map.pointFilter; }
  const Filter_t& GetLineFilter() const { return m_map.lineFilter; }
  const Filter_t& GetAreaFilter() const { return m_map.areaFilter; }
  Criteria_t GetPointCriteria() const;
  Criteria_t GetLineCriteria() const;
  Criteria_t GetAreaCriteria() const;

  // Search factories and the steps they bind.
  AreaRange_t AreaSearch(const Criteria_t& criteria);
  LineRange_t LineSearch(const Criteria_t& criteria);
  PointRange_t PointSearch(const Criteria_t& criteria);
  NearestAreaRange_t NearestAreaSearch(const NrstCriteria_t& criteria);
  glo::AutoPtr_t<Area_t> GetFirstArea(Map_t& workspace, const Criteria_t& criteria);
  glo::AutoPtr_t<Area_t> GetNextArea(const Area_t& current, Map_t& workspace);
  glo::AutoPtr_t<Line_t> GetFirstLine(Map_t& workspace, const Criteria_t& criteria);
  glo::AutoPtr_t<Line_t> GetNextLine(const Line_t& current, Map_t& workspace);
  glo::AutoPtr_t<Point_t> GetFirstPoint(Map_t& workspace, const Criteria_t& criteria);
  glo::AutoPtr_t<Point_t> GetNextPoint(const Point_t& current, Map_t& workspace);
  glo::AutoPtr_t<Area_t> GetFirstNearestArea(NrstWorkspace_t& workspace, const NrstCriteria_t& criteria);
  glo::AutoPtr_t<Area_t> GetNextNearestArea(const Area_t& current, NrstWorkspace_t& workspace);
  // The flash elements and sectors of a light (its attribute record); these
  // run on this map's own context.
  LightFlashRange_t LightFlashSearch(const MdbAuxInfo_t& light);
  LightSectorRange_t LightSectorSearch(const MdbAuxInfo_t& light);
  glo::AutoPtr_t<MdbLightFlash_t> GetFirstLightFlash(MdbLightFlashState_t& workspace, const MdbAuxInfo_t& light);
  glo::AutoPtr_t<MdbLightFlash_t> GetNextLightFlash(const MdbLightFlash_t& current, MdbLightFlashState_t& workspace);
  glo::AutoPtr_t<MdbLightSector_t> GetFirstLightSector(MdbLightSectorState_t& workspace, const MdbAuxInfo_t& light);
  glo::AutoPtr_t<MdbLightSector_t> GetNextLightSector(const MdbLightSector_t& current,
                                                      MdbLightSectorState_t& workspace);

  // Queries.
  MapInfo_t GetMapInfo();
  // Up to 'capacity' notice label offsets of the map.
  std::vector<std::uint32_t> GetNotices(unsigned capacity);
  bool GetNameOrderFlag();
  std::string JoinNameParts(const std::string& first, const std::string& second);
  bool FindAreasAtPoint(const MdbPoint_t& point, MdbAreaRecord_t& result);
  // Fills up to 'capacity' hits, nearest first, and the nearest line's record.
  bool FindNearestLines(const MdbPoint_t& point, MdbLineRecord_t& line, MdbLineHit_t* hits, unsigned capacity);
  // 'count': the capacity (kJunctionCapacity bits); kJunctionSecondPass asks
  // for a second pass on the most detailed level restricted to the roads found.
  bool FindNearestJunction(const MdbPoint_t& point, MdbLineRecord_t& line, MdbJunction_t& result, unsigned count);
  // The 'hits.size()' nearest points of one type that pass the point filter,
  // nearest first; 'first' receives the first hit's record and 'attributes',
  // when given, its attribute record. 'kind': the type in bits 0-14; bit 15
  // names an extended point type.
  bool FindNearestPoints(const MdbPoint_t& point, MdbPointRecord_t& first, MdbAuxInfo_t* attributes,
                         std::vector<MdbTextHit_t>& hits, unsigned kind);
  // The nearest point of the road of line 'lineRef' to the point; 'line'
  // holds the line of that point afterwards.
  bool FindNamedRoad(std::uint32_t lineRef, const MdbPoint_t& point, MdbLineRecord_t& line, MdbRoadNear_t& result);
  // The address at the point of the line's road nearest to 'near.nearest',
  // searched again on the most detailed level; false when there is none.
  bool TraceRoad(MdbLineRecord_t& line, const MdbRoadNear_t& near, MdbAddress_t& address);
  MarineChartRecord_t GetMarineObject(std::uint32_t number);
  Point_t GetPointRecord(std::uint32_t ref);
  Line_t GetLineRecord(std::uint32_t ref);
  Area_t GetObjectDetails(std::uint32_t ref);
  MdbExitRecord_t GetExit(std::uint32_t number);
  // Appends the facilities from 'first' up to the one marked last.
  void GetExitFacilities(std::uint32_t first, std::vector<MdbExitFacilityRecord_t>& facilities);
  std::string GetLabelText(std::uint32_t offset, std::uint32_t flags);
  std::string GetAreaLabel(const MdbAreaRecord_t& area, std::uint32_t flags);
  std::pair<std::string, std::uint32_t> GetLineLabel(const MdbLineRecord_t& line, std::uint32_t flags);
  std::pair<std::string, std::uint32_t> GetPointLabel(const MdbPointRecord_t& point, std::uint32_t flags);
  std::string GetLabelByIndex(std::uint32_t n);
  // The point's detail record with its name in the map's name order.
  MdbPointDetails_t GetTextEntity(const Point_t& point, std::uint32_t flags);
  // A tide station for a tide-station point; Assert_t for other points.
  std::unique_ptr<TideStation_t> MakeTideStation(std::uint32_t ref);
  std::unique_ptr<TideStation_t> MakeTideStation(const MdbPointRecord_t& point, const MdbPointDetails_t& details);
  // Point texts: the 'hits.size()' points nearest to 'point' that pass the
  // point filter and whose name contains 'name' (upper-cased in the map's
  // locale; empty: any name), nearest first; 'first' receives the first hit's
  // record. False when there is none or the map is not open.
  bool SearchText(const MdbPoint_t& point, MdbPointRecord_t& first, std::vector<MdbTextHit_t>& hits,
                  const std::string& name);
  // The text entities of a paragraph (the criteria: its number), part by part.
  using TextEntityRange_t = glo::SearchRange_t<Map_t, TextEntity_t, TextEntityWorkspace_t, std::uint32_t>;
  TextEntityRange_t TextEntitySearch(std::uint32_t paragraph);
  glo::AutoPtr_t<TextEntity_t> GetFirstTextEntity(TextEntityWorkspace_t& workspace, const std::uint32_t& paragraph);
  glo::AutoPtr_t<TextEntity_t> GetNextTextEntity(const TextEntity_t& current, TextEntityWorkspace_t& workspace);

  // Widens (or, with 'reset', sets) the range of heights in 1/256 metre.
  void GetElevationRange(std::optional<std::int32_t>& lowest, std::optional<std::int32_t>& highest, bool reset);
  // Makes the DEM level with those resolution bits current (the lowest level
  // when none has them).
  void LoadDemLevel(unsigned bits);
  // Elevation scan: 'width' x 'height' samples over the box (water as 0), each
  // batch to 'block'; 'finder' gives the maps whose DEM covers a part of the
  // box (0 a map, 3 no more). Result 3 (nothing to scan) is accepted.
  void ScanDem(std::uint32_t width, std::uint32_t height, const geo::Box_t& box, MdbDemCache_t& cache,
               MdbDemConsumer_t block, MdbDemProvider_t finder, void* data);

 private:
  // The whole text of the entity whose first part the workspace holds.
  glo::AutoPtr_t<TextEntity_t> CollectTextEntity(TextEntityWorkspace_t& workspace);
  void Open(const ImageSource_t& source, const std::string& mapName, const std::string& sortName, int line);
  void CheckOpen(int line) const;
  std::string ImageName() const;
  std::string GetLabel(const void* record, unsigned kind, const std::string& dump, std::uint32_t flags);
  unsigned LevelBits(bool highest) const;

  MdbMap_t m_map;
  std::vector<std::uint8_t> m_demBuffer;
};

// The workspace of the nearest-area search: a map of its own and the point.
struct NrstWorkspace_t {
  Map_t map;
  MdbPoint_t point;
};

}  // namespace mpl
