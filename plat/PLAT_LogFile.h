#pragma once
// Log files of the program: appended to, never truncated, in a folder of the
// user's own. The folder is created with mode 0700 and must be a real folder
// owned by the user; the file is opened without following a link.
#include <string>

#include "plat/PLAT_FileHandle.h"

namespace plat {

// The user's folder for temporary files: $TMPDIR, else $XDG_RUNTIME_DIR, else
// ~/.cache (each only when set to an absolute path); ends with "/". False (last
// error 3) when none can be had.
bool GetUserTempFolder(std::string& folder);

// Creates 'folder' (mode 0700) when missing; false (last error) when it cannot
// be made, or exists as a link, as something other than a folder, or belongs to
// another user. A folder of the user's own that others may use is made private.
bool EnsurePrivateFolder(const std::string& folder);

// Creates 'folder' and its missing parents when missing (mode 0700); false
// (last error) when it is not a folder afterwards. It may be shared with other
// users (a sticky temporary folder): what is kept in it goes into a private
// folder of its own.
bool EnsureFolder(const std::string& folder);

// Opens 'path' for appending (created with mode 0600), never through a link;
// kInvalidHandle and last error on failure.
Handle OpenLogForAppend(const std::string& path);

// Writes all bytes and flushes them to the disk; false (last error) on failure.
bool WriteAndFlush(Handle file, const std::string& bytes);

}  // namespace plat
