#pragma once
// The folders of the program's data.
#include <string>

namespace win {

// The folder for the data of the application 'subfolder': the common
// application-data folder, then "VORTAN/", then 'subfolder', each created when
// missing. Ends with "/". glo::Assert_t when the data folder is unknown,
// win::Error_t when a folder cannot be created (code 82 when a file stands in
// its place).
std::string GetCommonAppDataFolder(const std::string& subfolder);

// The temporary folder ($TMPDIR, else /tmp), ending with "/".
std::string GetTempFolder();

}  // namespace win
