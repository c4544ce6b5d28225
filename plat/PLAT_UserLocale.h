#pragma once
// Inside the platform layer: only plat/ includes this header. The user's locale
// for formatting, as the environment names it at the moment of asking.
#include <QLocale>

namespace plat {

// The user's locale for one category of settings ("LC_TIME", ...): the locale
// named by $LC_ALL, else by the category's own variable, else by $LANG, read
// afresh on every call (the toolkit's system locale reads them once per process).
// An unset, "C" or "POSIX" name gives the C locale, as the system locale does.
QLocale UserLocale(const char* category);

}  // namespace plat
