#pragma once
// The key of the user-interface settings. It belongs to the application, but the
// settings objects of the libraries below it (units, map font, communication) live
// under it too, so it is built here.
#include "win/WIN_RegKey.h"

namespace app {

// "Settings" below the application's key, the key named by the application name
// (string 190 of the language module) below win::CompanyUserKey(); both created on
// first use. A failure throws, and the next call tries again.
const win::RegKey_t& GetSettingsKey();

}  // namespace app
