#include "plat/PLAT_UserLocale.h"

#include <QString>
#include <cstdlib>

namespace plat {

std::string EnvironmentLocaleName(const char* category) {
  for (const char* variable : {"LC_ALL", category, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return std::string();
}

QLocale UserLocale(const char* category) {
  const std::string name = EnvironmentLocaleName(category);
  // "C.UTF-8" and the like are the C locale too.
  const std::string base = name.substr(0, name.find_first_of(".@"));
  if (base.empty() || base == "C" || base == "POSIX") return QLocale::c();
  return QLocale(QString::fromLatin1(name.c_str()));
}

}  // namespace plat
