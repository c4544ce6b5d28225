#include "app/FrameRules.h"

#include <set>

#include "app/Commands.h"

namespace app {

int StartShowCommand(int showCommand, const glo::Optional_t<bool>& startMaximized) {
  switch (showCommand) {
    case kSwShowNormal:
    case kSwShowMaximized:
    case kSwShowNoActivate:
    case kSwShow:
    case kSwShowNa:
    case kSwRestore:
    case kSwShowDefault:
      return startMaximized.IsPresent() && startMaximized.Value() ? int(kSwShowMaximized) : showCommand;
    default:
      return showCommand;
  }
}

bool FitsDesktop(const plat::RECT& frame, const plat::RECT& desktop) {
  if (frame.right <= frame.left || frame.bottom <= frame.top) return false;
  return frame.left >= desktop.left && frame.top >= desktop.top && frame.right <= desktop.right &&
         frame.bottom <= desktop.bottom;
}

PaneSizes_t InitialPaneSizes(int clientWidth, int clientHeight, const glo::Optional_t<int>& tree,
                             const glo::Optional_t<int>& summary, const glo::Optional_t<int>& map) {
  PaneSizes_t sizes;
  sizes.tree = tree.IsPresent() ? tree.Value() : clientWidth / 3;
  sizes.summary = summary.IsPresent() ? summary.Value() : clientHeight / 2;
  sizes.map = map.IsPresent() ? map.Value() : clientWidth / 3;
  return sizes;
}

int SummaryHeightAfterResize(int summaryNow, int lowerNow, int lowerBefore) {
  const int height = summaryNow + lowerNow - lowerBefore;
  return height < 0 ? 0 : height;
}

UserMenuIds_t BuildUserMenuIds(const UserDatabase_t& users) {
  std::set<std::string> names;
  for (const auto& entry : users) names.insert(entry.second);
  UserMenuIds_t ids;
  unsigned id = kCmdFirstUser;
  for (const std::string& name : names) ids.emplace(id--, name);
  return ids;
}

}  // namespace app
