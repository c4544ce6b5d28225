#include "mpl/MPL_Nearest.h"

#include <algorithm>

#include "mpl/MPL_Level.h"
#include "mpl/MPL_Net.h"

namespace mpl {

namespace {

constexpr std::int32_t kNoLat = static_cast<std::int32_t>(0xBFFFFFFF);
constexpr std::uint16_t kAllPoints = kRequestCount;

std::int32_t Sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

bool Same(const MdbPoint_t& a, const MdbPoint_t& b) { return a.lat == b.lat && a.lon == b.lon; }

// Restores the search rectangle on every way out.
class RectGuard_t {
 public:
  explicit RectGuard_t(MdbMap_t& map) : m_map(map), m_saved(map.searchRect) {}
  ~RectGuard_t() { m_map.searchRect = m_saved; }
  RectGuard_t(const RectGuard_t&) = delete;
  RectGuard_t& operator=(const RectGuard_t&) = delete;
  const MdbBox_t& Saved() const { return m_saved; }

 private:
  MdbMap_t& m_map;
  MdbBox_t m_saved;
};

std::uint32_t PointDistance(const MdbPoint_t& a, const MdbPoint_t& b, std::int32_t cosine) {
  MdbPoint_t nearest;
  return MdbDistanceToSegment(a, a, b, nearest, cosine);
}

}  // namespace

bool MdbPointInArea(const std::vector<MdbPoint_t>& points, const MdbBox_t& bounds, const MdbPoint_t& point) {
  if (points.empty()) return false;
  const std::size_t n = std::min<std::size_t>(points.size(), 65535);
  // Across the 180-degree meridian: measure longitudes from the west bound so
  // that signed comparisons hold.
  const std::int32_t shift = bounds.east < bounds.west ? Sub(bounds.west, static_cast<std::int32_t>(0x80000000)) : 0;
  const std::int32_t px = Sub(point.lon, shift);
  unsigned count = 0;
  MdbPoint_t prev{points[n - 1].lat, Sub(points[n - 1].lon, shift)};
  for (std::size_t i = 0; i < n; ++i) {
    const MdbPoint_t cur{points[i].lat, Sub(points[i].lon, shift)};
    if ((cur.lat >= point.lat) != (prev.lat >= point.lat)) {
      if (cur.lon >= px && prev.lon >= px) {
        ++count;
      } else if (cur.lon >= px || prev.lon >= px) {
        const std::int32_t q = MdbMulDivRound(Sub(cur.lat, point.lat), Sub(prev.lon, cur.lon), Sub(prev.lat, cur.lat));
        if (Sub(cur.lon, q) >= px) ++count;
      }
    }
    prev = cur;
  }
  return (count & 1) != 0;
}

bool MdbPointRightOfSegment(const MdbPoint_t& a, const MdbPoint_t& b, const MdbPoint_t& point) {
  const std::int64_t dx = Sub(b.lon, a.lon), dy = Sub(b.lat, a.lat);
  const std::int64_t px = Sub(point.lon, a.lon), py = Sub(point.lat, a.lat);
  return dx * py - dy * px <= 0;
}

void MdbIntersectRects(MdbBox_t& out, const MdbBox_t& a, const MdbBox_t& b) {
  const auto width = [](const MdbBox_t& r) { return static_cast<std::uint32_t>(r.east) - static_cast<std::uint32_t>(r.west); };
  const MdbBox_t& ref = width(a) >= width(b) ? a : b;
  const MdbBox_t& other = &ref == &a ? b : a;
  const auto inside = [&](std::int32_t lon) {
    return static_cast<std::uint32_t>(Sub(lon, ref.west)) <= width(ref);
  };
  MdbBox_t r;
  r.north = std::min(a.north, b.north);
  r.south = std::max(a.south, b.south);
  r.west = inside(other.west) ? other.west : ref.west;
  r.east = inside(other.east) ? other.east : ref.east;
  out = r;
}

void MdbShrinkSearchRect(MdbBox_t& rect, const MdbPoint_t& point, std::int32_t cosine, std::uint32_t distance) {
  const std::int64_t limit = (std::int64_t{0x3FFFFFFF} * cosine) >> 31;
  if (std::int64_t{distance} >= limit) return;
  const std::int64_t d = distance;
  MdbBox_t around;
  around.north = static_cast<std::int32_t>(std::min<std::int64_t>(point.lat + d, 0x40000000));
  around.south = static_cast<std::int32_t>(std::max<std::int64_t>(point.lat - d, -0x40000000));
  const std::int32_t half = MdbDivQ31(static_cast<std::int32_t>(distance), cosine);
  around.east = static_cast<std::int32_t>(static_cast<std::uint32_t>(point.lon) + static_cast<std::uint32_t>(half));
  around.west = Sub(point.lon, half);
  MdbIntersectRects(rect, rect, around);
}

bool MdbLineDistance(const MdbPoint_t& point, std::int32_t cosine, const MdbBox_t* clip, const MdbLineRecord_t& line,
                     MdbLineHit_t& hit) {
  hit.distance = kMdbNone;
  hit.direction = line.type == 0 ? 10 : 1;
  const std::vector<MdbPoint_t>& p = line.points;
  const std::size_t n = std::min<std::size_t>(p.size(), 0x10000);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const MdbPoint_t& a = p[i];
    const MdbPoint_t& b = p[i + 1];
    if (clip != nullptr) {
      MdbBox_t box;
      const bool eastward = Sub(b.lon, a.lon) >= 0;
      box.west = eastward ? a.lon : b.lon;
      box.east = eastward ? b.lon : a.lon;
      box.south = std::min(a.lat, b.lat);
      box.north = std::max(a.lat, b.lat);
      if (!MdbBoxesOverlap(box, *clip)) continue;
    }
    MdbPoint_t nearest;
    const std::uint32_t d = MdbDistanceToSegment(a, b, point, nearest, cosine);
    if (d >= hit.distance) continue;
    hit.distance = d;
    hit.start = a;
    hit.end = b;
    hit.segment = static_cast<std::uint16_t>(i);
    hit.nearest = nearest;
    hit.position = Same(nearest, p[0]) ? 0 : Same(nearest, p[n - 1]) ? 2 : 1;
    if (line.type != 0) hit.direction = static_cast<std::uint8_t>(MdbCompassDirection(a, b));
  }
  if (hit.distance == kMdbNone) return false;
  hit.side = MdbPointRightOfSegment(hit.start, hit.end, point) ? 1 : 0;
  hit.line = line.ref;
  hit.road = line.netOffset;
  hit.label = line.label;
  hit.type = line.type;
  hit.subtype = static_cast<std::uint8_t>(line.subtype);
  return true;
}

int MdbFindAreasAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& work, std::uint32_t* refs,
                        MdbAreaRecord_t* records, unsigned capacity) {
  int result = kMdbNotFound;
  unsigned found = 0;
  {
    RectGuard_t guard(map);
    if (capacity != 0 && MdbPointInBox(guard.Saved(), point)) {
      map.searchRect = {point.lat, point.lon, point.lat, point.lon};
      int r = MdbFirstArea(map, work, kAllPoints, nullptr);
      while (r == kMdbDone) {
        if (MdbPointInArea(work.points, work.box, point)) {
          if (refs != nullptr) refs[found] = work.ref;
          if (records != nullptr) records[found] = work;
          result = kMdbDone;
          if (++found >= capacity) break;
        }
        r = MdbNextArea(map, work, kAllPoints, nullptr);
      }
      if (r != kMdbDone && r != kMdbNotFound) result = r;
    }
  }
  for (unsigned i = found; i < capacity; ++i) {
    if (refs != nullptr) refs[i] = kMdbNone;
    if (records != nullptr) {
      records[i] = MdbAreaRecord_t();
      records[i].type = 255;
    }
  }
  return result;
}

namespace {

int AreaAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& area, bool first) {
  RectGuard_t guard(map);
  if (!MdbPointInBox(guard.Saved(), point)) return kMdbNotFound;
  map.searchRect = {point.lat, point.lon, point.lat, point.lon};
  int r = first ? MdbFirstArea(map, area, kAllPoints, nullptr) : MdbNextArea(map, area, kAllPoints, nullptr);
  while (r == kMdbDone && !MdbPointInArea(area.points, area.box, point))
    r = MdbNextArea(map, area, kAllPoints, nullptr);
  return r;
}

}  // namespace

int MdbFirstAreaAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& area) {
  return AreaAtPoint(map, point, area, true);
}

int MdbNextAreaAtPoint(MdbMap_t& map, const MdbPoint_t& point, MdbAreaRecord_t& area) {
  return AreaAtPoint(map, point, area, false);
}

namespace {

MdbBox_t BoxOf(const std::vector<MdbPoint_t>& points) {
  MdbBox_t box{points[0].lat, points[0].lon, points[0].lat, points[0].lon};
  for (const MdbPoint_t& p : points) {
    box.north = std::max(box.north, p.lat);
    box.south = std::min(box.south, p.lat);
    box.east = std::max(box.east, p.lon);
    box.west = std::min(box.west, p.lon);
  }
  return box;
}

// The segment of the lines nearest to the point (the first of equal ones).
void NearestSegment(const std::vector<MdbLineRecord_t>& lines, const MdbPoint_t& point, std::size_t& line,
                    std::size_t& segment) {
  const std::int32_t cosine = MdbLatitudeFactor(point.lat);
  std::uint32_t best = kMdbNone;
  line = segment = 0;
  for (std::size_t l = 0; l < lines.size(); ++l) {
    const std::vector<MdbPoint_t>& p = lines[l].points;
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
      MdbPoint_t nearest;
      const std::uint32_t d = MdbDistanceToSegment(p[i], p[i + 1], point, nearest, cosine);
      if (d < best) {
        best = d;
        line = l;
        segment = i;
      }
    }
  }
}

// Keeps the lines from segment (line, segment) on, the point first.
void CutBefore(std::vector<MdbLineRecord_t>& lines, std::size_t line, std::size_t segment, const MdbPoint_t& point) {
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(line));
  std::vector<MdbPoint_t>& p = lines.front().points;
  if (p.size() < 2) return;
  segment = std::min(segment, p.size() - 2);
  p.erase(p.begin(), p.begin() + static_cast<std::ptrdiff_t>(segment) + 1);
  p.insert(p.begin(), point);
  lines.front().box = BoxOf(p);
}

// Keeps the lines up to segment (line, segment), the point last.
void CutAfter(std::vector<MdbLineRecord_t>& lines, std::size_t line, std::size_t segment, const MdbPoint_t& point) {
  lines.resize(line + 1);
  std::vector<MdbPoint_t>& p = lines.back().points;
  if (p.size() < 2) return;
  segment = std::min(segment, p.size() - 2);
  p.resize(segment + 1);
  p.push_back(point);
  lines.back().box = BoxOf(p);
}

void Reverse(std::vector<MdbLineRecord_t>& lines) {
  std::reverse(lines.begin(), lines.end());
  for (MdbLineRecord_t& l : lines) std::reverse(l.points.begin(), l.points.end());
}

// The road's lines in order (backwards: the last first, each reversed), read
// on the current level or, when the road has none there, on the most detailed
// one. 3 when the road record is not found.
int ReadRoadLines(MdbMap_t& map, std::uint32_t netOffset, bool backwards, std::vector<MdbLineRecord_t>& lines) {
  lines.clear();
  MdbRoad_t road;
  road.netOffset = netOffset;
  int r = MdbDecodeRoad(map, road, false, nullptr, 0);
  if (r != kMdbDone) return r;
  MdbLevelGuard_t level(map);
  if (road.count == 0) {
    map.level = static_cast<std::uint8_t>(MdbDetailedLevel(map));
    road = MdbRoad_t();
    road.netOffset = netOffset;
    r = MdbDecodeRoad(map, road, false, nullptr, 0);
  }
  std::uint32_t ref = 0;
  while (r == kMdbDone && (r = MdbRoadLines(map, road, &ref, 1)) == kMdbDone) {
    MdbLineRecord_t line;
    line.ref = ref;
    r = MdbGetLine(map, line, kAllPoints, nullptr);
    if (r == kMdbDone && !line.points.empty()) lines.push_back(std::move(line));
  }
  if (r != kMdbNotFound) return r;
  if (backwards) Reverse(lines);
  return kMdbDone;
}

}  // namespace

int MdbRoadMatch(MdbMap_t& map, std::uint32_t netOffset, std::uint32_t value) {
  std::uint32_t labels[4];
  const int r = MdbRoadLabels(map, netOffset, kMdbNone, 4, labels, nullptr);
  if (r != kMdbDone) return r;
  return std::find(labels, labels + 4, value) != labels + 4 && value != kMdbNone ? kMdbDone : kMdbNotFound;
}

int MdbRouteLines(MdbMap_t& map, const MdbRoute_t& route, std::vector<MdbLineRecord_t>& lines) {
  lines.clear();
  std::vector<MdbLineRecord_t> road;
  if (route.kind == 1 && route.road == kMdbNone) {
    MdbLineRecord_t line;
    line.ref = kMdbNone;
    line.points = {route.start, route.end};
    line.box = BoxOf(line.points);
    lines.push_back(line);
    return kMdbDone;
  }
  if (route.kind == 1) {
    int r = ReadRoadLines(map, route.road, false, road);
    if (r != kMdbDone) return r;
    // From the earlier position to the later one, turned round afterwards
    // when the route runs the other way.
    const bool backwards = route.endLine < route.startLine ||
                           (route.endLine == route.startLine && route.endVertex < route.startVertex);
    std::size_t fromLine = route.startLine, fromVertex = route.startVertex;
    std::size_t toLine = route.endLine, toVertex = route.endVertex;
    MdbPoint_t from = route.start, to = route.end;
    if (backwards) {
      std::swap(fromLine, toLine);
      std::swap(fromVertex, toVertex);
      std::swap(from, to);
    }
    if (toLine >= road.size()) return kMdbBadData;
    CutAfter(road, toLine, toVertex, to);
    CutBefore(road, fromLine, fromVertex, from);
    if (backwards) Reverse(road);
    lines = std::move(road);
    return kMdbDone;
  }
  for (std::size_t i = 0; i < route.roads.size(); ++i) {
    const std::uint32_t entry = route.roads[i];
    int r = ReadRoadLines(map, entry & 0x3FFFFF, (entry & kMdbRouteBackwards) != 0, road);
    if (r == kMdbNotFound) continue;
    if (r != kMdbDone) return r;
    if (road.empty()) continue;
    std::size_t line, segment;
    if (i == 0) {
      NearestSegment(road, route.start, line, segment);
      CutBefore(road, line, segment, route.start);
    }
    if (i + 1 == route.roads.size()) {
      NearestSegment(road, route.end, line, segment);
      CutAfter(road, line, segment, route.end);
    }
    for (MdbLineRecord_t& l : road) lines.push_back(std::move(l));
  }
  return lines.empty() ? kMdbNotFound : kMdbDone;
}

int MdbFindNearestLines(MdbMap_t& map, const MdbPoint_t& point, MdbLineRecord_t& work, MdbLineHit_t* hits,
                        unsigned capacity, const MdbNearestCriteria_t* criteria) {
  const std::int32_t cosine = MdbLatitudeFactor(point.lat);
  for (unsigned i = 0; i < capacity; ++i) hits[i] = MdbLineHit_t();
  const int mode = criteria != nullptr ? criteria->mode : -1;
  if (mode == kMdbCriteriaRoute && criteria->route == nullptr) return kMdbNotFound;
  if (capacity == 0 || !MdbPointInBox(map.searchRect, point)) return kMdbNotFound;
  unsigned filled = 0;
  // Index of the nearest route line (it stands in for the work record).
  std::size_t nearestRouteLine = 0;
  std::vector<MdbLineRecord_t> route;
  // Offers one line; false when it was not taken.
  const auto offer = [&](const MdbLineRecord_t& line) {
    MdbLineHit_t hit;
    if (!MdbLineDistance(point, cosine, &map.searchRect, line, hit)) return false;
    unsigned at = 0;
    while (at < filled && hits[at].distance <= hit.distance) ++at;
    if (at >= capacity) return false;
    for (unsigned j = std::min(filled, capacity - 1); j > at; --j) hits[j] = hits[j - 1];
    hits[at] = hit;
    if (filled < capacity) ++filled;
    if (filled == capacity) MdbShrinkSearchRect(map.searchRect, point, cosine, hits[capacity - 1].distance);
    return at == 0;
  };
  int r;
  {
    RectGuard_t guard(map);
    if (mode == kMdbCriteriaRoute) {
      r = MdbRouteLines(map, *criteria->route, route);
      if (r == kMdbDone) {
        for (std::size_t i = 0; i < route.size(); ++i)
          if (MdbBoxesOverlap(route[i].box, map.searchRect) && offer(route[i])) nearestRouteLine = i;
        r = kMdbNotFound;
      }
    } else {
      r = MdbFirstLine(map, work, kAllPoints, nullptr);
      while (r == kMdbDone) {
        bool pass = true;
        if (mode == kMdbCriteriaRoad) {
          pass = work.netOffset == criteria->value;
        } else if (mode == kMdbCriteriaRoadMatch) {
          pass = false;
          if (work.netOffset != kMdbNone) {
            const int m = MdbRoadMatch(map, work.netOffset, criteria->value);
            if (m != kMdbDone && m != kMdbNotFound) {
              r = m;
              break;
            }
            pass = m == kMdbDone;
          }
        } else if (mode != -1) {
          pass = false;  // no such mode: no line passes
        }
        if (pass) offer(work);
        r = MdbNextLine(map, work, kAllPoints, nullptr);
      }
    }
  }
  if (r != kMdbNotFound) return r;
  if (filled == 0) return kMdbNotFound;
  if (mode == kMdbCriteriaRoute) {
    work = route[nearestRouteLine];
    return kMdbDone;
  }
  if (work.ref != hits[0].line || work.points.empty()) {
    work.ref = hits[0].line;
    return MdbGetLine(map, work, kAllPoints, nullptr);
  }
  return kMdbDone;
}

namespace {

MdbJunctionEntry_t Describe(const MdbLineRecord_t& line, std::size_t vertex, const MdbPoint_t& query) {
  MdbJunctionEntry_t e;
  e.line = line.ref;
  e.road = line.netOffset;
  e.label = line.label;
  const std::vector<MdbPoint_t>& p = line.points;
  if (vertex > 0) e.previous = p[vertex - 1];
  if (vertex + 1 < p.size()) e.next = p[vertex + 1];
  e.vertex = static_cast<std::uint16_t>(vertex);
  e.type = line.type;
  if (vertex > 0)
    e.side = MdbPointRightOfSegment(p[vertex - 1], p[vertex], query) ? 1 : 0;
  else if (vertex + 1 < p.size())
    e.side = MdbPointRightOfSegment(p[vertex], p[vertex + 1], query) ? 1 : 0;
  e.direction = line.type == 0 ? 10 : 1;
  return e;
}

// Puts back the level and the line filter.
class LevelGuard_t {
 public:
  explicit LevelGuard_t(MdbMap_t& map) : m_map(map), m_level(map.level), m_filter(map.lineFilter) {}
  ~LevelGuard_t() {
    m_map.level = m_level;
    m_map.lineFilter = m_filter;
  }
  LevelGuard_t(const LevelGuard_t&) = delete;
  LevelGuard_t& operator=(const LevelGuard_t&) = delete;

 private:
  MdbMap_t& m_map;
  std::uint8_t m_level;
  Filter_t m_filter;
};

// Where two lines meet at or nearer than the junction found so far: the
// junction moves there (the search rectangle shrinks round it) with the
// nearest line as its first entry, and 'other' joins a junction at the same
// point and vertex of the nearest line while there is room.
void MeetLines(MdbMap_t& map, const MdbPoint_t& point, std::int32_t cosine, bool crossings,
               const MdbLineRecord_t& nearest, const MdbLineRecord_t& other, unsigned capacity,
               MdbJunction_t& result, std::size_t& junctionVertex) {
  const std::vector<MdbPoint_t>& a = nearest.points;
  const std::vector<MdbPoint_t>& b = other.points;
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (std::size_t j = 0; j < b.size(); ++j) {
      MdbPoint_t meeting;
      bool meets = Same(a[i], b[j]);
      if (meets) {
        meeting = a[i];
      } else if (crossings && i > 0 && j > 0) {
        MdbPoint_t cross;
        if (MdbSegmentsCross({a[i - 1], a[i]}, {b[j - 1], b[j]}, cross)) {
          meets = true;
          meeting = cross.lat == kNoLat ? a[i] : cross;
        }
      }
      if (!meets || !MdbPointInBox(map.searchRect, meeting)) continue;
      const std::uint32_t d = PointDistance(meeting, point, cosine);
      if (d < result.distance) {
        result.point = meeting;
        result.distance = d;
        junctionVertex = i;
        MdbShrinkSearchRect(map.searchRect, point, cosine, d + 2);
        result.entries.assign(1, Describe(nearest, i, point));
      }
      if (d == result.distance && i == junctionVertex && Same(meeting, result.point) &&
          result.entries.size() < capacity &&
          std::none_of(result.entries.begin(), result.entries.end(),
                       [&](const MdbJunctionEntry_t& e) { return e.line == other.ref; }))
        result.entries.push_back(Describe(other, j, point));
    }
  }
}

// A junction is one of two lines or more, not all of one road; its entries
// go in order of type and line (restricted: without labels).
int FinishJunction(MdbJunction_t& result, bool restricted) {
  if (result.entries.size() < 2) {
    result = MdbJunction_t();
    return kMdbNotFound;
  }
  const std::uint32_t road = result.entries[0].road;
  const bool oneRoad = std::all_of(result.entries.begin(), result.entries.end(),
                                   [&](const MdbJunctionEntry_t& e) { return e.road == road; });
  if (oneRoad && road != kMdbNone) {
    result = MdbJunction_t();
    return kMdbNotFound;
  }
  std::sort(result.entries.begin(), result.entries.end(), [](const MdbJunctionEntry_t& x, const MdbJunctionEntry_t& y) {
    return x.type != y.type ? x.type < y.type : x.line < y.line;
  });
  if (restricted)
    for (MdbJunctionEntry_t& e : result.entries) e.label = kMdbNone;
  return kMdbDone;
}

// One pass of the junction search. 'roads' (restricted mode): the roads whose
// lines take part, the first one's nearest line being the nearest line.
int JunctionPass(MdbMap_t& map, const MdbPoint_t& point, MdbLineRecord_t& work, MdbJunction_t& result,
                 unsigned capacity, unsigned mode, const std::vector<std::uint32_t>& roads) {
  result = MdbJunction_t();
  const std::int32_t cosine = MdbLatitudeFactor(point.lat);
  const unsigned kind = mode & kMdbJunctionKind;
  const bool crossings = (mode & kMdbJunctionCrossings) != 0;
  const bool restricted = kind == kMdbJunctionRestricted;
  if (restricted && roads.empty()) return kMdbNotFound;
  LevelGuard_t level(map);
  RectGuard_t rect(map);
  if (restricted) {
    map.level = static_cast<std::uint8_t>(MdbDetailedLevel(map));
    map.lineFilter = Filter_t();
  }
  int r;
  // The nearest line (given, for a junction here), and the search round it.
  if (kind == kMdbJunctionHere) {
    MdbLineHit_t hit;
    if (work.points.empty() || !MdbLineDistance(point, cosine, nullptr, work, hit)) return kMdbNotFound;
    map.searchRect = {point.lat + 1, point.lon + 1, point.lat - 1, point.lon - 1};
  } else {
    MdbLineHit_t hit;
    MdbNearestCriteria_t criteria;
    criteria.value = restricted ? roads.front() : kMdbNone;
    r = MdbFindNearestLines(map, point, work, &hit, 1, restricted ? &criteria : nullptr);
    if (r != kMdbDone) return r;
    MdbIntersectRects(map.searchRect, map.searchRect, work.box);
  }
  // The other lines that meet it.
  std::size_t junctionVertex = 0;
  MdbLineRecord_t other;
  r = MdbFirstLine(map, other, kAllPoints, nullptr);
  while (r == kMdbDone) {
    const bool takesPart =
        other.ref != work.ref &&
        (!restricted || std::find(roads.begin(), roads.end(), other.netOffset) != roads.end());
    if (takesPart) MeetLines(map, point, cosine, crossings, work, other, capacity, result, junctionVertex);
    r = MdbNextLine(map, other, kAllPoints, nullptr);
  }
  if (r != kMdbNotFound) return r;
  return FinishJunction(result, restricted);
}

}  // namespace

int MdbFindNearestJunction(MdbMap_t& map, const MdbPoint_t& point, MdbLineRecord_t& work, MdbJunction_t& result,
                           unsigned capacity, unsigned mode) {
  result = MdbJunction_t();
  if (capacity < 2) return kMdbNotFound;
  int r;
  if ((mode & kMdbJunctionKind) == kMdbJunctionRestricted) {
    r = JunctionPass(map, point, work, result, capacity, mode & kMdbJunctionCrossings, {});
    const unsigned detailed = MdbDetailedLevel(map);
    if (r == kMdbDone && map.level != detailed && !result.entries.empty() && result.entries[0].road != kMdbNone) {
      // The roads found, the first entry's first, on the most detailed level.
      std::vector<std::uint32_t> roads;
      for (const MdbJunctionEntry_t& e : result.entries)
        if (e.road != kMdbNone && std::find(roads.begin(), roads.end(), e.road) == roads.end())
          roads.push_back(e.road);
      r = JunctionPass(map, point, work, result, capacity, mode, roads);
    }
  } else {
    r = JunctionPass(map, point, work, result, capacity, mode, {});
  }
  if (r != kMdbDone) return r;
  for (MdbJunctionEntry_t& e : result.entries) {
    if (e.direction != 1) continue;
    e.direction = static_cast<std::uint8_t>(e.previous.lat != kNoLat ? MdbCompassDirection(e.previous, result.point)
                                                                       : MdbCompassDirection(result.point, e.next));
  }
  return kMdbDone;
}

std::uint32_t MdbScaleRoadPosition(std::uint64_t along, std::uint64_t total, std::uint32_t stored) {
  if (total == 0) return 0;
  const std::uint64_t scaled = along * stored / total;
  return scaled > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(scaled);
}

int MdbRoadPosition(MdbMap_t& map, std::uint32_t netOffset, const MdbPoint_t& point, MdbLineRecord_t& work,
                    std::uint32_t& along, std::uint32_t& length) {
  along = 0;
  length = 0;
  MdbRoad_t road;
  road.netOffset = netOffset;
  int r = MdbDecodeRoad(map, road, false, nullptr, 0);
  if (r != kMdbDone) return r;
  const std::int32_t cosine = MdbLatitudeFactor(point.lat);
  std::uint64_t total = 0, at = 0;
  std::uint32_t best = kMdbNone;
  std::uint32_t ref = 0;
  while ((r = MdbRoadLines(map, road, &ref, 1)) == kMdbDone) {
    work.ref = ref;
    r = MdbGetLine(map, work, kAllPoints, nullptr);
    if (r != kMdbDone) return r;
    for (std::size_t i = 0; i + 1 < work.points.size(); ++i) {
      const MdbPoint_t& a = work.points[i];
      const MdbPoint_t& b = work.points[i + 1];
      MdbPoint_t nearest;
      const std::uint32_t d = MdbDistanceToSegment(a, b, point, nearest, cosine);
      if (d < best) {
        best = d;
        at = total + PointDistance(a, nearest, cosine);
      }
      total += PointDistance(a, b, cosine);
    }
  }
  if (r != kMdbNotFound) return r;
  const unsigned detailed = MdbDetailedLevel(map);
  if (map.level == detailed) {
    along = MdbScaleRoadPosition(at, total, road.length);
    length = road.length;
  } else {
    along = static_cast<std::uint32_t>(std::min<std::uint64_t>(at, 0xFFFFFFFFu));
    length = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, 0xFFFFFFFFu));
  }
  return kMdbDone;
}

}  // namespace mpl
