#pragma once
// Whole-file operations on paths: looking a file up, moving, deleting, and the
// unique temporary file and the replacing rename with which files are saved
// whole or not at all. Failures return false and leave a Windows-numbered last
// error (PLAT_Error.h): 2 the file is missing, 3 a folder of the path is
// missing, 80 the target exists.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plat/PLAT_FileHandle.h"
#include "plat/PLAT_FileIo.h"  // WriteFile, which fills the new file of a save

namespace plat {

// Whether a file (or folder) of that name exists. False with the last error
// when the lookup itself fails for another reason than a missing file or
// folder; 'exists' is then unchanged.
bool FindFile(const std::string& path, bool& exists);

// Renames a file without ever replacing another: fails with 80 when 'to'
// exists, 2 when 'from' is missing.
bool MoveFile(const std::string& from, const std::string& to);

// Deletes a file.
bool DeleteFile(const std::string& path);

// What a path names, its links followed.
enum class FileKind_t { kMissing, kRegular, kFolder, kOther };

// The kind of file at the path (a link that leads nowhere is missing). False
// with the last error when the lookup fails for another reason.
bool GetFileKind(const std::string& path, FileKind_t& kind);

// The path with the links of its last component followed: the file a save
// must replace so that the links keep leading to it. A path that is no link
// is its own target; a link that leads nowhere gives where it leads. False
// with the last error when a link cannot be read or links loop.
bool ResolveLinks(const std::string& path, std::string& target);

// Creates a new, empty file "<stem><random>" for writing (close-on-exec,
// never an existing file, mode 0666 less the umask) and gives its name.
Handle CreateUniqueFile(const std::string& stem, std::string& path);

// Gives an open file the permissions (and, as far as allowed, the owner and
// group) of the file 'like'; nothing when 'like' does not exist.
bool MatchFileMode(Handle file, const std::string& like);

// Creates the new file that a whole-file write of 'target' fills before it is
// renamed over the target: "<prefix><random>" in the target's folder, with
// the target's permissions when it exists. kInvalidHandle with the last error
// when it cannot be made; nothing is left behind then.
Handle CreateFileBeside(const std::string& target, const std::string& prefix, std::string& path);

// The names of the regular files in the folder that start with 'prefix'.
bool ListFiles(const std::string& folder, const std::string& prefix, std::vector<std::string>& names);

// Renames 'from' over 'to' in one step (the old 'to', when there is one, is
// replaced) and writes the folder's entry through to the disk. A folder that
// may be changed but not read (it cannot be opened to sync it) and a file
// system that does not sync folders leave the rename standing without a
// sync; that is no failure. Any other error of opening or syncing the folder
// fails the call with its code (the rename stands).
bool ReplaceFile(const std::string& from, const std::string& to);

// For tests: makes the folder sync of ReplaceFile meet the errno value 'err'
// in place of the real result of opening the folder (kOpen) or of syncing it
// (kSync). One such fault is set at a time; a call replaces the one before,
// and 'err' 0 restores the real calls.
enum class FolderStep_t { kOpen, kSync };
void SetFolderFaultForTests(FolderStep_t step, int err);

// Replaces 'target' with a file of these bytes: writes them to 'file' (the new,
// empty file at 'path' beside the target, made for the purpose), writes the file
// through to the disk, calls 'ready' (when given) with it still open, closes it
// and renames it over the target (ReplaceFile). On any failure, and when 'ready'
// answers false (having set the last error), the new file is deleted and the last error is that of the first
// step that failed (29 when it left none).
bool ReplaceFileWith(Handle file, const std::string& path, const std::string& target, const void* bytes,
                     std::size_t count, const std::function<bool(Handle)>& ready = {});

// The time of the last change of a file's data, in whole seconds since
// 1970-01-01 00:00:00 UTC.
bool GetFileWriteTime(const std::string& path, std::int64_t& seconds);

}  // namespace plat
