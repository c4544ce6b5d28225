#pragma once
// Point symbols and road shields: image lists cut from the symbol strips of
// the language module, the symbol table that picks a point's image, the
// recoloured variants of marine symbols and the measuring of symbol images.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "plat/PLAT_Dc.h"
#include "plat/PLAT_ImageList.h"
#include "plat/PLAT_Module.h"

namespace map {

// The strips of the language module.
constexpr std::uint32_t kShieldStripId = 4400;  // 27 x 27 road shields
constexpr std::uint32_t kSymbolStripId = 4401;  // 16 x 16 point symbols
constexpr int kShieldImageSize = 27;
constexpr int kSymbolImageSize = 16;

// The mask colour of the strips: grey.
constexpr plat::COLORREF kSymbolMaskColour = 0x00808080u;

// Pixels of a strip or of one image: one 32-bit value per pixel (blue in the
// low byte, then green and red), row by row from the top.
struct PixelGrid_t {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  PixelGrid_t() = default;
  PixelGrid_t(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}
  std::uint32_t& At(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// A pixel value from red, green and blue.
constexpr std::uint32_t Pixel(int r, int g, int b) {
  return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

// What the symbol of a point depends on: its type and subtype and, for
// marine points, the attribute block.
struct SymbolPoint_t {
  std::uint16_t type = 0;
  std::uint8_t subtype = 0;
  std::uint8_t attrClass = 0;  // 0 when the point has no attribute block
  std::uint8_t code1 = 0;      // first colour code byte
  std::uint8_t code2 = 0;      // second colour code byte
  std::uint32_t link = 0;      // link field of a light
  std::uint8_t lightCode = 0;  // light code byte
};

// Image index of a type and subtype from the symbol table alone.
int GetPointIconByType(std::uint16_t type, std::uint8_t subtype);
// Visible size of a symbol as the labels reckon it.
int GetIconSize(int index);

struct PatternKey_t {
  int base = 0;
  std::uint8_t code1 = 0;
  std::uint8_t code2 = 0;
  auto operator<=>(const PatternKey_t&) const = default;
};
PatternKey_t MakePatternKey(int base, std::uint8_t code1, std::uint8_t code2);

// Replacement of the template colours: the pixel value, or one of these.
constexpr std::uint32_t kCheckerboard = Pixel(255, 128, 64);
constexpr std::uint32_t kGreyPixel = Pixel(128, 128, 128);
// For the template colours yellow, cyan, red, green, magenta and blue.
std::array<std::uint32_t, 6> PatternColors(std::uint8_t code1, std::uint8_t code2, int base);
// For the template colours blue, green and red.
std::array<std::uint32_t, 3> MarkColors(std::uint8_t code, int base);

class ImageList_t {
 public:
  // The list of the images of a strip (image size square images side by
  // side; the strip's first pixel is its background).
  ImageList_t(const PixelGrid_t& strip, int imageSize);
  // The strip 'id' of a resource module; throws glo::Assert_t when it cannot
  // be loaded.
  ImageList_t(plat::ModuleHandle module, std::uint32_t id, int imageSize);

  int GetImageCount() const { return m_list.GetImageCount(); }
  int GetStripImageCount() const { return m_stripCount; }
  int GetImageSize() const { return m_size; }
  // The platform's list with the strip's images and the variants made so far.
  const plat::ImageList_t& GetPlatformList() const { return m_list; }

  // Draws image 'index' with its top-left at (x, y); an index outside the
  // list draws nothing and answers false.
  bool Draw(plat::Dc_t& dc, int index, int x, int y) const;

  // The index of a recoloured variant for the point, made on first use; none
  // for a point without one or whose base image lies outside the strip.
  std::optional<int> GetMarineSymbol(const SymbolPoint_t& point);

  // Visible width and height of an image (cached); (0, 0) for an index
  // outside the list.
  plat::SIZE GetImageExtent(int index);

  // Visible size of the image of a pixel grid that starts at 'firstColumn'.
  static plat::SIZE MeasureImage(const PixelGrid_t& grid, std::uint32_t background, int firstColumn);

 private:
  int AddVariant(int base, const std::uint32_t* from, const std::uint32_t* to, int count, bool checker);
  void Build();

  PixelGrid_t m_strip;
  int m_size = 0;
  int m_stripCount = 0;
  plat::ImageList_t m_list;
  std::vector<PixelGrid_t> m_variants;  // pixels of the appended images
  std::map<int, plat::SIZE> m_extents;
  std::map<PatternKey_t, int> m_patterns;
  std::map<std::pair<int, std::uint8_t>, int> m_marks;
};

// Image index of a point's symbol: a marine variant first, then the lights,
// then the symbol table.
int GetPointIconIndex(const SymbolPoint_t& point, ImageList_t& list);

// Loads a strip picture of a resource module into a pixel grid; false when
// it is missing or not a picture.
bool LoadStrip(plat::ModuleHandle module, std::uint32_t id, PixelGrid_t& strip);

// The symbol of one point, centred on its screen position.
class PointIcon_t {
 public:
  PointIcon_t(const SymbolPoint_t& point, plat::POINT screen, ImageList_t& list)
      : m_list(list), m_left(screen.x - 8), m_top(screen.y - 8), m_index(GetPointIconIndex(point, list)) {}
  int Index() const { return m_index; }
  void Draw(plat::Dc_t& dc) const;

 private:
  ImageList_t& m_list;
  int m_left;
  int m_top;
  int m_index;
};

}  // namespace map
