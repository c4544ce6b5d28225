#pragma once
// The engine's geometric questions about a query point: the areas that contain
// it, the lines nearest to it and the nearest junction of lines. Distances are
// planar in semicircles with longitude differences scaled by the cosine of the
// query latitude, compared as unsigned numbers (all ones: none). Every search
// puts the context's search rectangle back before it returns.
#include <cstdint>
#include <vector>

#include "mpl/MPL_Engine.h"
#include "mpl/MPL_Rgn.h"

namespace mpl {

// One candidate of the nearest-line search.
struct MdbLineHit_t {
  std::uint32_t line = kMdbNone;
  std::uint32_t road = kMdbNone;
  std::uint32_t label = kMdbNone;
  MdbPoint_t start, end;  // the nearest segment
  std::uint16_t segment = 0;
  std::uint16_t type = 0;
  std::uint8_t subtype = 0;
  std::uint8_t side = 0;       // 1: the point lies right of the segment or on its line
  std::uint8_t direction = 0;  // compass code of the segment; 10 not computed
  std::uint8_t position = 0;   // 0 the line's first point, 2 its last, 1 between
  std::uint32_t distance = kMdbNone;
  MdbPoint_t nearest;
};

// One line meeting at a junction.
struct MdbJunctionEntry_t {
  std::uint32_t line = kMdbNone;
  std::uint32_t road = kMdbNone;
  std::uint32_t label = kMdbNone;
  MdbPoint_t previous{static_cast<std::int32_t>(0xBFFFFFFF), 0};  // latitude 0xBFFFFFFF: none
  MdbPoint_t next{static_cast<std::int32_t>(0xBFFFFFFF), 0};
  std::uint16_t vertex = 0;
  std::uint16_t type = 0;
  std::uint8_t side = 0;
  std::uint8_t direction = 0;
};

struct MdbJunction_t {
  MdbPoint_t point;
  std::uint32_t distance = kMdbNone;
  std::vector<MdbJunctionEntry_t> entries;
};

// A route for the nearest-line search: a road list (kind 0: road references
// of 22 bits, bit 22 = traversed backwards, cut at the start point on the
// first road and at the end point on the last) or a direct piece of one road
// (kind 1: from a segment of one of its lines to a segment of another, each
// given by the line's index on the road and the segment's first vertex; road
// all ones: the straight line from start to end).
struct MdbRoute_t {
  std::uint8_t kind = 0;
  std::vector<std::uint32_t> roads;
  std::uint32_t road = kMdbNone;
  std::uint16_t startLine = 0, startVertex = 0, endLine = 0, endVertex = 0;
  MdbPoint_t start, end;
};

constexpr std::uint32_t kMdbRouteBackwards = 1u << 22;

// Which lines the nearest-line search looks at: mode 0 the lines of 'route';
// 1 the lines of road 'value'; 2 the lines whose road matches 'value' (one of
// the road's labels is label offset 'value').
struct MdbNearestCriteria_t {
  int mode = 1;
  std::uint32_t value = kMdbNone;
  const MdbRoute_t* route = nullptr;
};

constexpr int kMdbCriteriaRoute = 0;
constexpr int kMdbCriteriaRoad = 1;
constexpr int kMdbCriteriaRoadMatch = 2;

// Junction search modes: 0 one pass; 1 a pass, then on a less detailed level
// a second pass on the most detailed level restricted to the roads found; 2 at
// the point itself, the nearest line being the one in the work record. Bit 2
// (kMdbJunctionCrossings) also counts segments that cross.
constexpr unsigned kMdbJunctionRestricted = 1;
constexpr unsigned kMdbJunctionHere = 2;
constexpr unsigned kMdbJunctionCrossings = 4;
// The bits of the mode that hold the search kind (0, kMdbJunctionRestricted or kMdbJunctionHere).
constexpr unsigned kMdbJunctionKind = 3;

// True when the point lies inside the polygon (crossing count along its
// parallel; at most 65535 points; the east edge counts as inside).
bool MdbPointInArea(const std::vector<MdbPoint_t>& points, const MdbBox_t& bounds, const MdbPoint_t& point);
// True when the point lies right of a -> b or on its line (longitude as x).
bool MdbPointRightOfSegment(const MdbPoint_t& a, const MdbPoint_t& b, const MdbPoint_t& point);
// out := the intersection of a and b (in longitude measured on the wider one).
void MdbIntersectRects(MdbBox_t& out, const MdbBox_t& a, const MdbBox_t& b);
// Narrows the rectangle to 'distance' around the point.
void MdbShrinkSearchRect(MdbBox_t& rect, const MdbPoint_t& point, std::int32_t cosine, std::uint32_t distance);
// Fills the candidate for one line; false when no segment qualified.
bool MdbLineDistance(const MdbPoint_t& point, std::int32_t cosine, const MdbBox_t* clip, const MdbLineRecord_t& line,
                     MdbLineHit_t& hit);

// Up to 'capacity' areas of the current level containing the point: their
// references (when given) and records (when given, 'capacity' slots). Unused
// slots get reference all ones and type 255. 0 found, 3 none, else the
// enumerator's failure.
int MdbFindAreasAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& work, std::uint32_t* refs,
                        MdbAreaRecord_t* records, unsigned capacity);
// The first and the next area containing the point (the nearest-area search).
int MdbFirstAreaAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& area);
int MdbNextAreaAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& area);

// The 'capacity' nearest lines, nearest first (equal distances keep the order
// found). 'work' holds the nearest line afterwards. 0, 3 or a failure.
int MdbFindNearestLines(MdbMap_t& map, const MdbPoint_t& point, MdbLineRecord_t& work, MdbLineHit_t* hits,
                        unsigned capacity, const MdbNearestCriteria_t* criteria);

// The nearest meeting point of the nearest line with another line (same
// vertex; with kMdbJunctionCrossings also where segments cross), and the lines
// there, sorted by type then reference. Capacity below 2 gives 3; a junction
// whose lines all belong to one road (with a road reference) is no junction.
// 'work' holds the nearest line afterwards (in mode 2 it is given). The
// current level, the line filter and the search rectangle are kept.
int MdbFindNearestJunction(MdbMap_t& map, const MdbPoint_t& point, MdbLineRecord_t& work, MdbJunction_t& result,
                           unsigned capacity, unsigned mode);

// 0 when one of the road's labels is label offset 'value', 3 when none is,
// else a read failure.
int MdbRoadMatch(MdbMap_t& map, std::uint32_t netOffset, std::uint32_t value);
// The lines of a route in order, cut at its ends; 3 when it has none.
int MdbRouteLines(MdbMap_t& map, const MdbRoute_t& route, std::vector<MdbLineRecord_t>& lines);

// The distance along road 'netOffset' from its start to the point of its
// lines (on the current level) nearest to 'point', and the road's length, both
// summed over its segments; on the most detailed level both are given in the
// length the road record stores. 'work' holds the last line read.
int MdbRoadPosition(MdbMap_t& map, std::uint32_t netOffset, const MdbPoint_t& point, MdbLineRecord_t& work,
                    std::uint32_t& along, std::uint32_t& length);
// along / total x stored; a road whose lines have no length gives 0.
std::uint32_t MdbScaleRoadPosition(std::uint64_t along, std::uint64_t total, std::uint32_t stored);

}  // namespace mpl
