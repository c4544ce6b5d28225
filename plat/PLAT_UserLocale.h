#pragma once
// Inside the platform layer: only plat/ includes this header. The user's locale
// as the environment names it at the moment of asking.
#include <QLocale>

#include <string>

namespace plat {

// The POSIX name of the user's locale for one category of settings ("LC_TIME",
// "LC_CTYPE", ...): $LC_ALL, else the category's own variable, else $LANG, read
// afresh on every call; an empty variable counts as unset. Empty when none is set.
std::string EnvironmentLocaleName(const char* category);

// The user's locale for formatting in one category, named as above (the
// toolkit's system locale reads the environment once per process). An unset,
// "C" or "POSIX" name gives the C locale, as the system locale does.
QLocale UserLocale(const char* category);

}  // namespace plat
