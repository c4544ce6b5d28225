#pragma once
// Generates small, complete map products for the tests and benchmarks of the
// map window: the images, the description file and the registration of an
// installed product, all under a temporary folder.
//
// What a generated product holds:
//   - an installed-product entry in the machine hive (the settings store the
//     product directory reads), with "InstallDir" set, so that
//     tdb::Registry_t and tdb::ProductDir_t built afterwards find it;
//   - a signed description file with the product's id, name, box and the
//     display flags the tile cache reads (basemap-unclipped, tile-regions);
//   - a basemap image whose overview map carries, for every tile, a type-0x4a
//     coverage polygon labelled with the tile number in decimal, besides the
//     basemap's own objects;
//   - one image per tile, named by the tile number in eight zero-padded
//     decimal digits ("00000012.img"), holding one map with its areas
//     (type-0x4b coverage areas along the tile's coverage included, unless
//     switched off), lines, points and labels, and optionally roads (a NET
//     sub-file, with house numbers where given), marine objects (extended
//     points and lines with attribute blocks) and elevations (a DEM
//     sub-file).
//
// Typical use (semicircles throughout; 1 degree is about 11930465):
//
//   imgkit::GenProduct_t spec;
//   imgkit::GenTile_t& t = spec.tiles.emplace_back();
//   t.id = 12;
//   t.map.box = {0x200000, 0x200000, 0, 0};          // north, east, south, west
//   t.map.areas.push_back({0x4e, "PARK", imgkit::BoxOutline({...})});
//   t.map.lines.push_back({0x06, "MAIN ST", {{0x1000, 0x1000}, {0x1000, 0x100000}}});
//   const imgkit::GeneratedProduct_t product = imgkit::WriteProduct(spec, test::MakeTempDir());
//   imgkit::InstalledProducts_t installed;           // reads the hive just written
//   // open product.basemapPath, or mpl::OpenProductImage("00000012", ...) with
//   // installed.Env()
//
// Each map stores every object on every one of its levels, rounded to each
// level's units (2^(32 - bits) semicircles); an object that collapses on a
// coarse level (a line to fewer than 2 points, an area to fewer than 3) is left
// out of that level. Limits, checked with std::invalid_argument: a map's half
// width and half height must fit 32767 units of its finest level (at 24 bits
// about 0.7 degrees, at 20 bits about 11 degrees), and every point must lie in
// the map's box. Labels use the six-bit encoding: capitals, digits, spaces and
// common punctuation.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mpl/MPL_MapDirectory.h"
#include "mpl/MPL_Utilities.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "tests/imgkit/DemBuilder.h"
#include "tests/imgkit/MapImage.h"
#include "tests/imgkit/RgnBuilder.h"

namespace imgkit {

// A position in semicircles.
struct GenPos_t {
  std::int32_t lat = 0;
  std::int32_t lon = 0;
};

// A box in semicircles.
struct GenBox_t {
  std::int32_t north = 0, east = 0, south = 0, west = 0;
};

// The four corners of the box, clockwise from the north-west one.
std::vector<GenPos_t> BoxOutline(const GenBox_t& box);
// A closed ring of 'count' points around the box's centre, inside the box,
// with a little ripple so that no two neighbouring points are collinear.
std::vector<GenPos_t> RingInBox(const GenBox_t& box, unsigned count);

// A standard area (type 0x01-0x7F).
struct GenArea_t {
  std::uint8_t type = 0x4e;
  std::string label;  // empty: no label
  std::vector<GenPos_t> points;
};

// A standard line (type 0x01-0x3F). A road also gets a NET record that names
// it by its label and lists its line on every level; a road record holds one
// byte of a line's index, so roads come among the first 255 lines of a map.
struct GenLine_t {
  std::uint8_t type = 0x06;
  std::string label;
  std::vector<GenPos_t> points;
  bool road = false;
  // A road's house numbers over its one interval: a compact stream of
  // HouseNumberStream_t written for a number width of 8 bits.
  std::string houseNumbers{};
};

// A standard point (type 0x01-0x7F, optional subtype).
struct GenPoint_t {
  std::uint8_t type = 0x2f;
  std::string label;
  GenPos_t at;
  std::optional<std::uint8_t> subtype;
};

// A marine object: an extended point of engine type 0x100 + type with its
// attribute block (see MarineBuilder.h, e.g. LightAttr for a light).
struct GenMarinePoint_t {
  std::uint8_t type = 0x01;
  std::uint8_t subtype = 0;
  std::string label;
  GenPos_t at;
  std::string attributes;
};

// A marine line: an extended line of engine type 0x40 + type (0x43 with
// subtypes 1-6 a depth contour with its depth, for instance) with its
// attribute block.
struct GenMarineLine_t {
  std::uint8_t type = 0x03;
  std::uint8_t subtype = 1;
  std::string label;
  std::vector<GenPos_t> points;
  std::string attributes;
};

// One map of an image.
struct GenMap_t {
  std::string name;         // 8 characters; empty: given by the generator
  std::uint32_t mapId = 0;  // 0: given by the generator
  GenBox_t box;             // the map's bounds
  std::vector<unsigned> levelBits{24, 22};  // finest first; every level holds every object
  std::vector<GenArea_t> areas;
  std::vector<GenLine_t> lines;
  std::vector<GenPoint_t> points;
  std::vector<GenMarinePoint_t> marine;
  std::vector<GenMarineLine_t> marineLines;
  std::optional<DemBuilder_t> dem;  // the DEM sub-file (see SlopeDem)
  // Last changes to the sub-files before they are built (TRE fields such as a
  // marine chart's words, more RGN objects...).
  std::function<void(MapBuilder_t&, RgnBuilder_t&)> customize;

  // The map's sub-files; std::invalid_argument for what the limits above refuse.
  std::vector<MapFile_t> Files() const;
};

// A DEM of one level over the box: cols x rows tiles of 'tileSize' samples
// rising from south-west to north-east by 'rise' metres.
DemBuilder_t SlopeDem(const GenBox_t& box, std::uint32_t tileSize = 16, std::uint32_t cols = 2,
                      std::uint32_t rows = 2, std::uint16_t rise = 400);

// One detail tile of the product.
struct GenTile_t {
  std::uint32_t id = 1;        // the tile number: label of its basemap polygon and its image name
  GenMap_t map;                // its map; name and id default to the tile number
  std::vector<GenPos_t> coverage;  // the coverage polygon; empty: the outline of map.box
  // The tile map carries a type-0x4b area along the coverage polygon.
  bool ownCoverage = true;
  // How many times the basemap carries the coverage polygon (a duplicate tile
  // id); 0 leaves the tile out of the basemap.
  unsigned basemapCopies = 1;
  // The image goes into the updates folder instead of the product's folder.
  bool inUpdates = false;
  // The image's extension in capitals (".IMG").
  bool upperCaseExtension = false;
};

struct GenProduct_t {
  // 0 makes it the installed products' default product (the empty product's
  // place); the updates folder is <install>/Updates/<productId>.
  std::uint32_t productId = 0;
  std::string name = "GENERATED TRAILS";
  std::string basemapImage = "basemap";  // the basemap image's base name
  bool basemapUnclipped = false;
  bool tileRegions = false;
  // The basemap's own map; its box defaults to the union of the tiles' boxes
  // and its levels to 20 and 18 bits.
  GenMap_t basemap = DefaultBasemap();
  std::vector<GenTile_t> tiles;

  static GenMap_t DefaultBasemap();
};

// Where a generated product went.
struct GeneratedProduct_t {
  std::string root;           // the folder given
  std::string folder;         // the product's location (its images)
  std::string installDir;     // the registry's "InstallDir"
  std::string updatesFolder;  // <installDir>/Updates/<productId>
  std::string tdbPath;
  std::string basemapPath;
  std::map<std::uint32_t, std::string> tilePaths;
};

// The eight-digit image name of a tile number.
std::string TileImageName(std::uint32_t id);

// The bytes of the basemap image and of a tile image.
std::string BasemapImage(const GenProduct_t& product);
std::string TileImage(const GenTile_t& tile);

// Writes every file of the product under 'root' (which must exist) and
// replaces the machine hive with one that registers it.
GeneratedProduct_t WriteProduct(const GenProduct_t& product, const std::string& root);

// The installed products as the settings hold them when this is made (after
// WriteProduct), and a map directory: what the tile cache and the product
// image lookup open a product's images through.
struct InstalledProducts_t {
  tdb::Registry_t registry;
  tdb::ProductDir_t products{registry};
  mpl::MapDirectory_t directory;

  mpl::ProductImageEnv_t Env() {
    mpl::ProductImageEnv_t env;
    env.products = &products;
    env.registry = &registry;
    env.directory = &directory;
    return env;
  }
};

}  // namespace imgkit
