#include "glo/GLO_Locale.h"

#include <map>
#include <mutex>
#include <tuple>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_Locale.h"

namespace glo {

namespace {

// The cache is reached from any thread (a worker may be the first to ask).
struct LocaleCache {
  std::mutex mutex;
  std::map<LocaleRecord_t, std::locale> locales;
};

LocaleCache& Cache() {
  static LocaleCache cache;
  return cache;
}

}  // namespace

bool operator<(const LocaleRecord_t& a, const LocaleRecord_t& b) {
  return std::tie(a.codePage, a.language, a.country) < std::tie(b.codePage, b.language, b.country);
}

std::string LocaleName(const LocaleRecord_t& record) {
  return plat::WindowsLocaleName(record.language, record.country, record.codePage);
}

std::locale MakeLocale(const std::string& language, const std::string& country, uint32_t codePage) {
  const LocaleRecord_t record{language, country, codePage};
  LocaleCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  const auto found = cache.locales.find(record);
  if (found != cache.locales.end()) return found->second;
  const std::string name = LocaleName(record);
  std::locale locale;
  if (!plat::MakeCodePageLocale(name, codePage, locale)) throw LocaleDoesNotExist_t(GLO_SRC, name);
  return cache.locales.emplace(record, locale).first->second;
}

const std::locale& DefaultLocale() {
  static const std::locale locale = MakeLocale("English", "United States", 1252);
  return locale;
}

}  // namespace glo
