#pragma once
// A column of a list view: its title (string id and text), format, sub-item
// and width.
#include <string>

#include "plat/PLAT_List.h"

namespace afx {

struct ListColumn_t {
  int titleId = 0;
  std::string title;
  int format = plat::kLvcfmtLeft;  // 0 left, 1 right, 2 centre
  int subItem = 0;
  int width = -1;  // -1: not yet set
};

}  // namespace afx
