#pragma once
// Folders: the per-user data folder, the temporary folder and folder creation.
// Paths use "/" and the folders given here end with it.
#include <string>

namespace plat {

// The folder for the application data of the user: $XDG_DATA_HOME when set to
// an absolute path, else $HOME/.local/share; created when missing. Ends with "/".
// False and last error when it cannot be found or created (82 when a file
// stands where it should be).
bool GetCommonAppDataFolder(std::string& folder);

// The temporary folder: $TMPDIR when set, else "/tmp"; ends with "/".
std::string GetTempPath();

// The user's home folder: $HOME when set to an absolute path, else the one the
// user database names; ends with "/". "/" when there is none.
std::string GetHomeFolder();

// Creates one folder (its parent must exist). False and last error on failure:
// 183 when it already exists, 82 (cannot be made) when a file of that name
// stands in its way, 3 when the parent is missing.
bool CreateDirectory(const std::string& path);

// The folder separator.
constexpr char kPathSeparator = '/';

}  // namespace plat
