#pragma once
// The rules of the main frame that need no window: the show command at
// start-up, where the stored rectangle may be used, the pane sizes, and the
// items of the user menu.
#include <map>
#include <string>

#include "app/UserDatabase.h"
#include "glo/GLO_Optional.h"
#include "plat/PLAT_Gdi.h"

namespace app {

// The show command of the first showing: a showing command (normal,
// maximised, no-activate, show, show without activating, restore, default)
// becomes maximised when the frame was maximised when last sized; hidden and
// minimised ones are kept.
int StartShowCommand(int showCommand, const glo::Optional_t<bool>& startMaximized);

// Whether a stored frame rectangle lies wholly on the desktop (the union of
// all screens); an empty or inverted rectangle never does.
bool FitsDesktop(const plat::RECT& frame, const plat::RECT& desktop);

// The first sizes of the panes: the stored ones, else a third of the client
// width for the history, half its height for the summary and a third of its
// width for the map.
struct PaneSizes_t {
  int tree = 0;
  int summary = 0;
  int map = 0;
};
PaneSizes_t InitialPaneSizes(int clientWidth, int clientHeight, const glo::Optional_t<int>& tree,
                             const glo::Optional_t<int>& summary, const glo::Optional_t<int>& map);

// The summary pane's height after the frame was resized: the lower row keeps
// the height it had before ('lowerBefore'), the summary takes the change.
int SummaryHeightAfterResize(int summaryNow, int lowerNow, int lowerBefore);

// The user items of the user menu: the names of the list, each once, sorted
// by their bytes, with the ids from kCmdFirstUser downward.
using UserMenuIds_t = std::map<unsigned, std::string>;
UserMenuIds_t BuildUserMenuIds(const UserDatabase_t& users);

}  // namespace app
