#pragma once
// Whole-file operations on paths: looking a file up, moving, deleting, and the
// unique temporary file and the replacing rename with which files are saved
// whole or not at all. Failures return false and leave a Windows-numbered last
// error (PLAT_Error.h): 2 the file is missing, 3 a folder of the path is
// missing, 80 the target exists.
#include <cstdint>
#include <string>

#include "plat/PLAT_FileHandle.h"

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

// Creates a new, empty file "<stem><random>" for writing (close-on-exec,
// never an existing file) and gives its name.
Handle CreateUniqueFile(const std::string& stem, std::string& path);

// Writes all the bytes at the file's current position.
bool WriteFile(Handle file, const void* bytes, std::size_t count);

// Renames 'from' over 'to' in one step (the old 'to', when there is one, is
// replaced) and writes the folder's entry through to the disk.
bool ReplaceFile(const std::string& from, const std::string& to);

// The time of the last change of a file's data, in whole seconds since
// 1970-01-01 00:00:00 UTC.
bool GetFileWriteTime(const std::string& path, std::int64_t& seconds);

}  // namespace plat
