#include "tests/imgkit/ProductGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>

#include "plat/PLAT_Folder.h"
#include "tests/imgkit/LblBuilder.h"
#include "tests/imgkit/NetBuilder.h"
#include "tests/imgkit/ProductBuilder.h"

namespace imgkit {

namespace {

constexpr std::uint8_t kCoverageType = 0x4a;
constexpr std::uint8_t kOwnCoverageType = 0x4b;

std::int64_t Unit(unsigned bits) { return std::int64_t{1} << (32 - bits); }

// Semicircles to units of a level, rounded to the nearest.
std::int32_t ToUnits(std::int64_t semicircles, std::int64_t unit) {
  const double v = std::floor(static_cast<double>(semicircles) / static_cast<double>(unit) + 0.5);
  return static_cast<std::int32_t>(v);
}

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::invalid_argument(what);
}

bool InBox(const GenBox_t& box, const GenPos_t& p) {
  return p.lat >= box.south && p.lat <= box.north && p.lon >= box.west && p.lon <= box.east;
}

// A polyline relative to a centre in level units, consecutive duplicates dropped.
std::vector<std::pair<std::int32_t, std::int32_t>> Quantise(const std::vector<GenPos_t>& points, std::int64_t lat0,
                                                            std::int64_t lon0, std::int64_t unit) {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;  // (dlon, dlat)
  for (const GenPos_t& p : points) {
    const std::pair<std::int32_t, std::int32_t> q{ToUnits(p.lon - lon0, unit), ToUnits(p.lat - lat0, unit)};
    if (out.empty() || out.back() != q) out.push_back(q);
  }
  return out;
}

// The first point and the deltas of the rest; false when too few points remain.
bool MakePoly(const std::vector<GenPos_t>& points, std::int64_t lat0, std::int64_t lon0, std::int64_t unit,
              std::size_t minPoints, RgnPoly_t& poly) {
  auto q = Quantise(points, lat0, lon0, unit);
  // A closed ring given with its first point repeated at the end.
  if (minPoints >= 3 && q.size() > 1 && q.front() == q.back()) q.pop_back();
  if (q.size() < minPoints) return false;
  poly.dlon = static_cast<std::int16_t>(q[0].first);
  poly.dlat = static_cast<std::int16_t>(q[0].second);
  poly.stream = DeltaStream_t{};
  for (std::size_t i = 1; i < q.size(); ++i)
    poly.stream.points.push_back({q[i].first - q[i - 1].first, q[i].second - q[i - 1].second, {}});
  return true;
}

TreTable_t Overview(const std::set<std::pair<std::uint8_t, std::uint8_t>>& types, std::uint8_t topLevel,
                    bool withSubtype) {
  TreTable_t t;
  t.recordSize = withSubtype ? 3 : 2;
  for (const auto& [type, subtype] : types) {
    t.data += static_cast<char>(type);
    t.data += static_cast<char>(topLevel);
    if (withSubtype) t.data += static_cast<char>(subtype);
  }
  return t;
}

GenBox_t Union(const GenBox_t& a, const GenBox_t& b) {
  return {std::max(a.north, b.north), std::max(a.east, b.east), std::min(a.south, b.south), std::min(a.west, b.west)};
}

bool IsZero(const GenBox_t& b) { return b.north == 0 && b.east == 0 && b.south == 0 && b.west == 0; }

// The basemap's box grown by the tiles' boxes; without a box of its own the
// basemap takes theirs.
GenBox_t ProductBox(const GenProduct_t& product) {
  GenBox_t box = product.basemap.box;
  for (const GenTile_t& tile : product.tiles) box = IsZero(box) ? tile.map.box : Union(box, tile.map.box);
  return box;
}

std::string MakeFolder(const std::string& path) {
  if (!plat::CreateDirectory(path)) throw std::runtime_error("cannot create folder " + path);
  return path;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::vector<GenPos_t> BoxOutline(const GenBox_t& box) {
  return {{box.north, box.west}, {box.north, box.east}, {box.south, box.east}, {box.south, box.west}};
}

std::vector<GenPos_t> RingInBox(const GenBox_t& box, unsigned count) {
  std::vector<GenPos_t> ring;
  const double cLat = (static_cast<double>(box.north) + box.south) / 2;
  const double cLon = (static_cast<double>(box.east) + box.west) / 2;
  const double rLat = (static_cast<double>(box.north) - box.south) / 2 * 0.9;
  const double rLon = (static_cast<double>(box.east) - box.west) / 2 * 0.9;
  for (unsigned i = 0; i < count; ++i) {
    const double a = 2 * M_PI * i / count;
    const double ripple = 1.0 - 0.05 * (i % 3);
    ring.push_back({static_cast<std::int32_t>(cLat + rLat * ripple * std::sin(a)),
                    static_cast<std::int32_t>(cLon + rLon * ripple * std::cos(a))});
  }
  return ring;
}

DemBuilder_t SlopeDem(const GenBox_t& box, std::uint32_t tileSize, std::uint32_t cols, std::uint32_t rows,
                      std::uint16_t rise) {
  DemBuilder_t dem;
  DemLevel_t level;
  level.tileWidth = level.tileHeight = level.lastColWidth = level.lastRowHeight = tileSize;
  level.tileCols = cols;
  level.tileRows = rows;
  level.west = box.west;
  level.north = box.north;
  const std::uint32_t width = cols * tileSize, height = rows * tileSize;
  level.lonStep = static_cast<std::int32_t>((static_cast<std::int64_t>(box.east) - box.west) / std::max(1u, width - 1));
  level.latStep =
      static_cast<std::int32_t>((static_cast<std::int64_t>(box.north) - box.south) / std::max(1u, height - 1));
  level.recordFlags = 0x0F;  // four-byte offsets, two-byte bases and ranges
  level.lowest = 0;
  level.highest = static_cast<std::int16_t>(rise);
  for (std::uint32_t t = 0; t < cols * rows; ++t) {
    DemTile_t tile;
    tile.maxDiff = rise;
    const std::uint32_t tileRow = t / cols, tileCol = t % cols;
    for (std::uint32_t r = 0; r < tileSize; ++r)
      for (std::uint32_t c = 0; c < tileSize; ++c) {
        const std::uint32_t fromSouth = height - 1 - (tileRow * tileSize + r);
        const std::uint32_t fromWest = tileCol * tileSize + c;
        tile.values.push_back(static_cast<std::uint16_t>(std::uint64_t{rise} * (fromSouth + fromWest) /
                                                         std::max(1u, width + height - 2)));
      }
    level.tiles.push_back(tile);
  }
  dem.levels.push_back(level);
  return dem;
}

std::vector<MapFile_t> GenMap_t::Files() const {
  Check(name.size() == 8, "a map name has 8 characters: " + name);
  Check(!levelBits.empty() && levelBits.size() < 8, "a map has 1 to 7 levels");
  for (std::size_t i = 0; i < levelBits.size(); ++i) {
    Check(levelBits[i] >= 8 && levelBits[i] <= 24, "level bits lie in 8..24");
    Check(i == 0 || levelBits[i] < levelBits[i - 1], "level bits go from the finest to the coarsest");
  }
  Check(box.north >= box.south && box.east >= box.west, "the map's box is empty");
  const std::size_t levels = levelBits.size();
  // The centre on the coarsest level's grid, so that every level can reach it.
  const std::int64_t coarse = std::max<std::int64_t>(Unit(levelBits.back()), 256);
  const std::int64_t lat0 = (static_cast<std::int64_t>(box.north) + box.south) / 2 / coarse * coarse;
  const std::int64_t lon0 = (static_cast<std::int64_t>(box.east) + box.west) / 2 / coarse * coarse;
  const std::int64_t fine = Unit(levelBits.front());
  const std::int64_t halfLat = std::max(box.north - lat0, lat0 - box.south);
  const std::int64_t halfLon = std::max(box.east - lon0, lon0 - box.west);
  Check(halfLat / fine + 1 <= 0x7FFF && halfLon / fine + 1 <= 0x7FFF,
        "map " + name + " is too large for its finest level");
  for (const GenArea_t& a : areas) {
    Check(a.type >= 1 && a.type <= 0x7F, "area type out of range");
    for (const GenPos_t& p : a.points) Check(InBox(box, p), "an area point lies outside map " + name);
  }
  for (const GenLine_t& l : lines) {
    Check(l.type >= 1 && l.type <= 0x3F, "line type out of range");
    for (const GenPos_t& p : l.points) Check(InBox(box, p), "a line point lies outside map " + name);
  }
  for (const GenPoint_t& p : points) Check(InBox(box, p.at), "a point lies outside map " + name);
  for (const GenMarinePoint_t& p : marine) Check(InBox(box, p.at), "a marine point lies outside map " + name);
  for (const GenMarineLine_t& l : marineLines)
    for (const GenPos_t& p : l.points) Check(InBox(box, p), "a marine line point lies outside map " + name);

  LblBuilder_t lbl;
  std::map<std::string, std::uint32_t> labels;
  const auto label = [&](const std::string& text) -> std::uint32_t {
    if (text.empty()) return 0;
    const auto found = labels.find(text);
    if (found != labels.end()) return found->second;
    return labels[text] = lbl.AddLabel(text);
  };

  MapBuilder_t m;
  m.name = name;
  m.tre.mapId = mapId;
  m.tre.north = box.north;
  m.tre.east = box.east;
  m.tre.south = box.south;
  m.tre.west = box.west;
  m.rgn.length = 125;
  // One subdivision per level, numbered from 1 on the coarsest level.
  RgnBuilder_t rgn;
  std::vector<std::vector<std::uint32_t>> roadLines(lines.size(), std::vector<std::uint32_t>(levels));
  for (std::size_t i = 0; i < levels; ++i) {
    const std::uint8_t number = static_cast<std::uint8_t>(levels - 1 - i);
    const auto bits = static_cast<std::uint8_t>(levelBits[number]);
    const std::int64_t unit = Unit(bits);
    TreSubdiv_t sub;
    sub.centreLat = static_cast<std::int32_t>(lat0);
    sub.centreLon = static_cast<std::int32_t>(lon0);
    sub.halfWidth = static_cast<std::uint16_t>(std::min<std::int64_t>(halfLon / unit + 1, 0x7FFF));
    sub.halfHeight = static_cast<std::uint16_t>(std::min<std::int64_t>(halfLat / unit + 1, 0x7FFF));
    sub.last = true;
    sub.firstChild = number == 0 ? 0 : static_cast<std::uint16_t>(i + 2);
    m.tre.levels.push_back(TreLevel_t{number, bits, false, {sub}, {}});

    RgnSubdivision_t s;
    for (const GenPoint_t& p : points)
      s.points.push_back({p.type, label(p.label), false, p.subtype, static_cast<std::int16_t>(ToUnits(p.at.lon - lon0, unit)),
                          static_cast<std::int16_t>(ToUnits(p.at.lat - lat0, unit))});
    for (std::size_t k = 0; k < lines.size(); ++k) {
      RgnPoly_t poly;
      poly.type = lines[k].type;
      poly.label = label(lines[k].label);
      if (!MakePoly(lines[k].points, lat0, lon0, unit, 2, poly)) continue;
      s.lines.push_back(poly);
      // Line references: subdivision << 16 | 1-based index; a road's record
      // keeps one byte of the index.
      Check(!lines[k].road || s.lines.size() <= 0xFF, "a road must be among the first 255 lines of map " + name);
      roadLines[k][number] = (static_cast<std::uint32_t>(i + 1) << 16) | static_cast<std::uint32_t>(s.lines.size());
    }
    for (const GenArea_t& a : areas) {
      RgnPoly_t poly;
      poly.type = a.type;
      poly.label = label(a.label);
      if (MakePoly(a.points, lat0, lon0, unit, 3, poly)) s.areas.push_back(poly);
    }
    for (const GenMarinePoint_t& p : marine) {
      RgnExtObject_t o;
      o.type = p.type;
      o.subtype = p.subtype;
      if (!p.label.empty()) o.label = label(p.label);
      o.dlon = static_cast<std::int16_t>(ToUnits(p.at.lon - lon0, unit));
      o.dlat = static_cast<std::int16_t>(ToUnits(p.at.lat - lat0, unit));
      if (!p.attributes.empty()) o.attributes = p.attributes;
      s.extPoints.push_back(o);
    }
    for (const GenMarineLine_t& l : marineLines) {
      RgnPoly_t poly;
      if (!MakePoly(l.points, lat0, lon0, unit, 2, poly)) continue;
      RgnExtObject_t o;
      o.type = l.type;
      o.subtype = l.subtype;
      if (!l.label.empty()) o.label = label(l.label);
      o.dlon = poly.dlon;
      o.dlat = poly.dlat;
      o.stream = poly.stream;
      o.stream.extended = true;
      if (!l.attributes.empty()) o.attributes = l.attributes;
      s.extLines.push_back(o);
    }
    rgn.subdivisions.push_back(s);
  }

  // Roads: a NET record per road line, named by the line's label; the lines
  // then point at their records.
  std::vector<std::size_t> roads;
  for (std::size_t k = 0; k < lines.size(); ++k)
    if (lines[k].road) roads.push_back(k);
  if (!roads.empty()) {
    NetBuilder_t net;
    for (const std::size_t k : roads) {
      NetRoad_t road;
      road.labels = {{label(lines[k].label), std::nullopt}};
      std::uint64_t length = 0;
      for (std::size_t p = 1; p < lines[k].points.size(); ++p)
        length += static_cast<std::uint64_t>(std::llabs(std::int64_t{lines[k].points[p].lat} - lines[k].points[p - 1].lat) +
                                             std::llabs(std::int64_t{lines[k].points[p].lon} - lines[k].points[p - 1].lon));
      road.length = static_cast<std::uint32_t>(std::min<std::uint64_t>(length / 256, 0xFFFFFF));
      for (std::size_t number = 0; number < levels; ++number) {
        road.lines.emplace_back();
        if (roadLines[k][number] != 0) road.lines.back().push_back(roadLines[k][number]);
      }
      if (!lines[k].houseNumbers.empty()) {
        // Road data of one interval without postal codes or cities (both
        // index forms 3), then the numbers; the extra byte's high bits say
        // that no label codes follow.
        if (lines[k].houseNumbers.size() > 0xFF) throw std::invalid_argument("house numbers over 255 bytes");
        road.flags = 0x10;
        road.extraByte = 0x10;
        road.data = std::string("\x00\x3c", 2) + static_cast<char>(lines[k].houseNumbers.size()) + lines[k].houseNumbers;
        net.numberWidth = 8;
      }
      net.roads.push_back(road);
      net.index.push_back(static_cast<std::uint32_t>(net.index.size()));
    }
    const NetImage_t built = net.Build();
    for (std::size_t r = 0; r < roads.size(); ++r) {
      for (std::size_t number = 0; number < levels; ++number) {
        const std::uint32_t ref = roadLines[roads[r]][number];
        if (ref == 0) continue;
        RgnPoly_t& poly = rgn.subdivisions[(ref >> 16) - 1].lines[(ref & 0xFFFF) - 1];
        poly.label = 0x800000u | built.offsets[r];
      }
    }
    m.extra.push_back({name + ".NET", built.file});
  }

  // Overviews: every type on every level.
  std::set<std::pair<std::uint8_t, std::uint8_t>> lineTypes, areaTypes, pointTypes, extPointTypes, extLineTypes;
  for (const GenLine_t& l : lines) lineTypes.insert({l.type, 0});
  for (const GenArea_t& a : areas) areaTypes.insert({a.type, 0});
  for (const GenPoint_t& p : points) pointTypes.insert({p.type, p.subtype.value_or(0)});
  for (const GenMarinePoint_t& p : marine) extPointTypes.insert({p.type, p.subtype});
  for (const GenMarineLine_t& l : marineLines) extLineTypes.insert({l.type, l.subtype});
  const auto top = static_cast<std::uint8_t>(levels - 1);
  m.tre.overviews[0] = Overview(lineTypes, top, false);
  m.tre.overviews[1] = Overview(areaTypes, top, false);
  m.tre.overviews[2] = Overview(pointTypes, top, true);
  if (!marine.empty() || !marineLines.empty()) {
    m.tre.extFlags = 0x07;
    m.tre.extTypeRecordSize = 3;
    if (!marineLines.empty()) m.tre.extTypes[0] = Overview(extLineTypes, top, true);
    if (!marine.empty()) m.tre.extTypes[2] = Overview(extPointTypes, top, true);
  }
  if (dem) m.extra.push_back({name + ".DEM", dem->Build()});
  if (customize) customize(m, rgn);
  rgn.Place(m);
  std::vector<MapFile_t> files = m.Files();
  for (MapFile_t& f : files)
    if (f.name == name + ".LBL") f.data = lbl.Build();
  return files;
}

GenMap_t GenProduct_t::DefaultBasemap() {
  GenMap_t m;
  m.name = "BASEMAP0";
  m.mapId = 0x00F00001;
  m.levelBits = {20, 18};
  return m;
}

std::string TileImageName(std::uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08u", static_cast<unsigned>(id));
  return buf;
}

std::string BasemapImage(const GenProduct_t& product) {
  GenMap_t base = product.basemap;
  base.box = ProductBox(product);
  for (const GenTile_t& tile : product.tiles) {
    const std::vector<GenPos_t> coverage = tile.coverage.empty() ? BoxOutline(tile.map.box) : tile.coverage;
    for (unsigned c = 0; c < tile.basemapCopies; ++c)
      base.areas.push_back({kCoverageType, std::to_string(tile.id), coverage});
  }
  if (base.name.empty()) base.name = "BASEMAP0";
  if (base.mapId == 0) base.mapId = 0x00F00001;
  return MapImage(base.Files());
}

std::string TileImage(const GenTile_t& tile) {
  GenMap_t map = tile.map;
  if (map.name.empty()) map.name = TileImageName(tile.id);
  if (map.mapId == 0) map.mapId = tile.id;
  if (tile.ownCoverage)
    map.areas.push_back({kOwnCoverageType, "", tile.coverage.empty() ? BoxOutline(map.box) : tile.coverage});
  return MapImage(map.Files());
}

GeneratedProduct_t WriteProduct(const GenProduct_t& product, const std::string& root) {
  GeneratedProduct_t out;
  out.root = root;
  out.folder = MakeFolder(root + "/maps");
  out.installDir = MakeFolder(root + "/install");
  MakeFolder(out.installDir + "/Updates");
  out.updatesFolder = MakeFolder(out.installDir + "/Updates/" + std::to_string(product.productId));
  out.basemapPath = out.folder + "/" + product.basemapImage + ".img";
  WriteWhole(out.basemapPath, BasemapImage(product));
  for (const GenTile_t& tile : product.tiles) {
    const std::string path = (tile.inUpdates ? out.updatesFolder : out.folder) + "/" + TileImageName(tile.id) +
                             (tile.upperCaseExtension ? ".IMG" : ".img");
    WriteWhole(path, TileImage(tile));
    out.tilePaths[tile.id] = path;
  }

  ProductFile_t file;
  file.header.id = product.productId;
  file.header.name = product.name;
  // Minimum detail level, draw basemap areas, lines and points, basemap
  // unclipped, (unused), tile regions, alternate colours and two more.
  file.header.optionBytes = {32, 1, 1, 1, static_cast<std::uint8_t>(product.basemapUnclipped ? 1 : 0), 0,
                             static_cast<std::uint8_t>(product.tileRegions ? 1 : 0), 0, 0, 1};
  const GenBox_t box = ProductBox(product);
  file.header.north = box.north;
  file.header.east = box.east;
  file.header.south = box.south;
  file.header.west = box.west;
  out.tdbPath = root + "/product.tdb";
  WriteWhole(out.tdbPath, file.Build());

  const std::string key = "Globarium\\Products\\Generated";
  MachineHive_t()
      .Product(key, out.tdbPath, product.basemapImage, out.folder)
      .String("Globarium\\Products", "InstallDir", out.installDir)
      .Write();
  return out;
}

}  // namespace imgkit
