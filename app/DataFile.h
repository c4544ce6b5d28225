#pragma once
// The files of the training log in the program's data folder: where they lie,
// how they are saved (whole or not at all), how they are loaded, and how a file
// that cannot be read is moved aside under a numbered backup name.
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "bin/BIN_stream.h"
#include "doc/DOC_Info.h"
#include "glo/GLO_Exception.h"

namespace app {

// The data folder: the per-user data folder, "VORTAN/", the application name
// (string 190) and "/", each folder created when missing.
std::string DataFolder();

// Whether a file of that name exists; win::Error_t when the lookup fails.
bool FileExists(const std::string& path);

// The first of path + ".001", ".002", ... (".1000" after ".999") that does not exist.
std::string NextBackupPath(const std::string& path);

// Moves the file to NextBackupPath, never over another file; gives the new
// name. win::Error_t when the move fails.
std::string MoveAside(const std::string& path);

// A save refused because the file at that path could not be read and could
// not be moved aside: it is never written over.
class SaveRefused_t : public glo::Exception_t {
 public:
  SaveRefused_t(const char* file, int line, const std::string& path);
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// A path that names a pipe, a device or a socket instead of a file: it is
// neither read nor written over.
class NotAFile_t : public glo::Exception_t {
 public:
  NotAFile_t(const char* file, int line, const std::string& path);
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// Removes the temporary files that saves in the folder left behind when the
// program was ended in the middle of them. Only while no other instance can
// be saving there (the single-instance lock is held).
void RemoveLeftoverSaves(const std::string& folder);

// The header of the files this build writes: the tag, the data version, build
// 205 with this build's label, date and time, the application name, layout 101.
doc::Info_t MakeFileHeader(const std::string& tag, std::uint16_t dataVersion);

// Writes the file whole or not at all: the header and the body go to a new
// temporary file in the same folder, which is flushed to the disk and then
// renamed over the old file. Any failure leaves the old file as it was,
// removes the temporary file and throws (win::Error_t for a failed system
// call, with its code; whatever the body throws passes unchanged).
// app::SaveRefused_t for a path that must not be written over, app::NotAFile_t
// for a pipe or a device. A path that is a link is saved where the
// link leads; an existing file keeps its permissions, a new one gets those the
// umask gives.
void SaveDataFile(const std::string& path, const doc::Info_t& header,
                  const std::function<void(bin::ostream&)>& writeBody);

// Writes a file whole or not at all as SaveDataFile does, through a plain
// output stream; in text mode every "\n" reaches the file as CR LF.
void WriteWholeFile(const std::string& path, bool text, const std::function<void(std::ostream&)>& write);

// How a load ended.
struct LoadOutcome_t {
  enum Status_t {
    kMissing,     // no file: nothing loaded
    kLoaded,      // read whole
    kUnreadable,  // moved aside; what was read before the damage is kept
    kNewer,       // written by a newer program; moved aside, nothing read
    kBadName,     // a user name that cannot be a file name: nothing looked at
  };
  Status_t status = kMissing;
  // The string to show the user: 177 (unreadable), 178 (newer), 7171 (bad
  // name, with the name for "%0"), else 0.
  int messageId = 0;
  // Where the file was moved.
  std::string backupPath;
};

// Reads a header with that tag and the body from the stream: kLoaded,
// kUnreadable (a wrong tag, a stream that fails in the header, any exception
// while reading; what the body read before stays) or kNewer (a layout above
// 101 or a data version above 'maxDataVersion'; the body is not read).
LoadOutcome_t::Status_t ReadDataFile(bin::istream& in, const std::string& tag, std::uint16_t maxDataVersion,
                                     const std::function<void(bin::istream&)>& readBody);

// Loads a file with that tag: a missing file loads nothing. The header must
// carry the tag (else the file is unreadable); a layout above 101 or a data
// version above 'maxDataVersion' is newer. Then the body is read. Any
// exception while reading (a damaged header record or body, exhausted memory)
// makes the file unreadable. An unreadable or newer file is closed and moved
// aside. When the file exists but cannot be looked up, opened or moved aside,
// the error is thrown and the path is barred from being written over for the
// rest of the process (SaveDataFile refuses it) until a later load of it ends
// well.
LoadOutcome_t LoadDataFile(const std::string& path, const std::string& tag, std::uint16_t maxDataVersion,
                           const std::function<void(bin::istream&)>& readBody);

// Whether SaveDataFile refuses the path.
bool IsSaveBarred(const std::string& path);
// Carries a bar from one path to another (after the file was renamed).
void MoveSaveBar(const std::string& from, const std::string& to);
// Lifts every bar: the files they kept from being written over are gone (the
// data folder was emptied).
void LiftSaveBars();

}  // namespace app
