#pragma once
// The detail tiles of a map window: an open map for every tile whose coverage
// polygon (a type-0x4a area of the basemap, labelled with the tile number)
// lies around the view, with the screen regions each tile is drawn in and the
// part of the view that no tile covers, where the basemap shows through.
//
// Tiles are opened once and kept across renders while they cover the view;
// every render recomputes their regions. They are kept in the order of their
// key (map scale, selected level, map date, map id): the order in which they
// claim the view and are drawn.
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "gdi/GDI_Region.h"
#include "map/MAP_Projector.h"
#include "mpl/MPL_Map.h"
#include "mpl/MPL_Utilities.h"

namespace map {

// The coverage polygons of one render by tile id.
using Coverage_t = std::map<std::uint32_t, mpl::Area_t>;

class CacheTile_t {
 public:
  // (scale byte, selected level, map date, map id), compared in this order.
  using Key_t = std::tuple<std::uint8_t, std::uint8_t, std::uint16_t, std::uint32_t>;

  // A drawn tile without draw region and with empty regions over an open map
  // (glo::Assert_t when it is not open), its level selected for 'bits'.
  CacheTile_t(const mpl::Map_t& map, std::uint32_t tileId, unsigned bits);
  CacheTile_t(const CacheTile_t& other);
  CacheTile_t& operator=(const CacheTile_t& other);
  CacheTile_t(CacheTile_t&&) noexcept = default;
  CacheTile_t& operator=(CacheTile_t&&) noexcept = default;
  ~CacheTile_t();

  // The selected level: the first of the map's levels (finest first) whose
  // bits are at most 'bits', else the coarsest.
  void SelectLevel(unsigned bits);

  Key_t GetKey() const;
  mpl::Map_t& GetMap() { return m_map; }
  const mpl::Map_t& GetMap() const { return m_map; }
  std::uint32_t GetTileId() const { return m_tileId; }
  std::uint8_t GetSelectedLevel() const { return m_selectedLevel; }
  const mpl::MapInfo_t& GetMapInfo() const { return m_info; }
  // The tile's coverage in the client rectangle, and in the client rectangle
  // grown by 10 pixels on every side.
  const gdi::Region_t& GetVisibleRegion() const { return m_visible; }
  const gdi::Region_t& GetCoverageRegion() const { return m_coverage; }
  // Whether the tile takes part in the drawing passes, and the part of the
  // view it is limited to when it shares the view (null: its whole coverage).
  bool IsDrawn() const { return m_drawn; }
  const gdi::Region_t* GetDrawRegion() const { return m_drawRegion.get(); }

 private:
  friend class Cache_t;

  mpl::Map_t m_map;
  std::uint32_t m_tileId;
  std::uint8_t m_selectedLevel = 0;
  mpl::MapInfo_t m_info;
  gdi::Region_t m_visible;
  gdi::Region_t m_coverage;
  bool m_drawn = true;
  std::unique_ptr<gdi::Region_t> m_drawRegion;
};

class Cache_t {
 public:
  Cache_t();

  // No tiles, an empty uncovered region.
  void Reset();
  // Opens the tile's image (its id in eight decimal digits) and in it the map
  // for the projector's centre at 'bits', and keeps it; nothing when the tile
  // is already kept or its map does not open.
  void AddTile(std::uint32_t tileId, Projector_t& projector, unsigned bits);
  // Recomputes the tiles' regions for the view: each tile's coverage comes
  // from its own type-0x4b areas, or from its polygon in 'coverage' when it
  // has none in view (or shares the view and is zoomed out beyond its
  // levels); then the tiles are put in key order and, when the product says
  // tiles share the view, each claims what the earlier ones left.
  // glo::Assert_t when a kept tile has no polygon in 'coverage'.
  void Rebuild(const Coverage_t& coverage, Projector_t& projector, unsigned bits);
  // Drops the tiles that left 'coverage', opens those that came in (ascending
  // ids) and rebuilds the regions, all at the projector's detail bits.
  void Update(const Coverage_t& coverage, Projector_t& projector);

  // The tiles in key order.
  std::vector<CacheTile_t>& GetTiles() { return m_tiles; }
  const std::vector<CacheTile_t>& GetTiles() const { return m_tiles; }
  // The client area minus every tile's coverage region (unless the product
  // draws the basemap unclipped).
  const gdi::Region_t& GetUncoveredRegion() const { return m_uncovered; }

  // Where the product and its images come from (by default the installed
  // products and the running system).
  void SetProductEnv(const mpl::ProductImageEnv_t& env) { m_env = env; }
  const mpl::ProductImageEnv_t& GetProductEnv() const { return m_env; }

 private:
  // Puts the tiles in key order (equal keys keep their order).
  void SortTiles();

  std::vector<CacheTile_t> m_tiles;
  gdi::Region_t m_uncovered;
  mpl::ProductImageEnv_t m_env;
};

}  // namespace map
