#include "win/WIN_RegSettingsKey.h"

#include "glo/GLO_StringResource.h"

namespace app {

namespace {

const win::RegKey_t& ApplicationKey() {
  static const win::RegKey_t key(win::CompanyUserKey(), glo::StringResource_t(190, GLO_SRC).Text(),
                                 win::RegKey_t::KeyCreator_t());
  return key;
}

}  // namespace

const win::RegKey_t& GetSettingsKey() {
  static const win::RegKey_t key(ApplicationKey(), "Settings", win::RegKey_t::KeyCreator_t());
  return key;
}

}  // namespace app
