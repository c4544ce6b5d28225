#pragma once
// The application's standard profile settings in the current user's hive: the
// list of recently used files, kept in the section "Recent File List" below
// the application's profile key as the values "File1", "File2", ... (texts).
// Loaded once at start-up, saved at exit; nothing else reads or changes them.
#include <string>

namespace plat {

// Reads the list of at most 'size' entries below 'profileKey' (a path below
// HKEY_CURRENT_USER, "Software\<company>\<application>"); missing entries
// stay empty. Remembers the key and the size for the save. A store that
// cannot be read leaves the list empty; false then.
bool LoadStdProfileSettings(const std::string& profileKey, unsigned size);

// Writes the list back at exit: the non-empty entries as "File1" ... by
// their place, the others removed. Once per load: nothing when no list was
// loaded since the last save; false when the store refused a write.
bool SaveStdProfileSettings();

}  // namespace plat
