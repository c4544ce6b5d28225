#include "win/WIN_Folder.h"

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Folder.h"
#include "win/WIN_Exception.h"

namespace win {

namespace {

std::string WithSeparator(std::string path) {
  if (path.empty() || path.back() != plat::kPathSeparator) path += plat::kPathSeparator;
  return path;
}

// True when the folder exists afterwards; false when it could not be created for
// a reason other than that it exists (the last error tells).
bool MakeFolder(const std::string& path) {
  return plat::CreateDirectory(path) || plat::GetLastError() == plat::kErrorAlreadyExists;
}

}  // namespace

std::string GetCommonAppDataFolder(const std::string& subfolder) {
  std::string folder;
  if (!plat::GetCommonAppDataFolder(folder)) {
    // A file in the folder's place is the user's to move; any other failure
    // means the data folder is unknown.
    if (plat::GetLastError() == plat::kErrorCannotMake) throw Error_t(GLO_SRC);
    throw glo::Assert_t(GLO_SRC);
  }
  folder = WithSeparator(folder) + "VORTAN";
  if (!MakeFolder(folder)) throw Error_t(GLO_SRC);
  folder += plat::kPathSeparator;
  folder += subfolder;
  if (!MakeFolder(folder)) throw Error_t(GLO_SRC);
  return WithSeparator(folder);
}

std::string GetTempFolder() { return plat::GetTempPath(); }

}  // namespace win
