#pragma once
// The marked feature of a map window: a pip and a one-line popup at a
// position, drawn in the overlay of every paint while the position is in view.
#include <string>

#include "geo/GEO_Position.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_ImageList.h"

namespace map {

class Window_t;

class HoverTip_t {
 public:
  void Set(Window_t& window, const std::string& text, const geo::Position_t& position);
  // The same with the feature's symbol in the pip.
  void SetWithIcon(Window_t& window, const std::string& text, const geo::Position_t& position,
                   const plat::ImageList_t& images, int iconIndex);
  void Clear();
  bool IsEmpty() const { return m_window == nullptr; }
  const geo::Position_t& GetPosition() const { return m_position; }
  // Draws the pip and the popup over the freshly copied back buffer.
  void Draw(plat::Dc_t& dc);

 private:
  int m_iconIndex = 0;
  const plat::ImageList_t* m_images = nullptr;
  std::string m_text;
  Window_t* m_window = nullptr;
  geo::Position_t m_position;
};

}  // namespace map
