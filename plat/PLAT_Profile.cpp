#include "plat/PLAT_Profile.h"

#include <algorithm>
#include <vector>

#include "plat/PLAT_Registry.h"

namespace plat {

namespace {

constexpr char kRecentFileSection[] = "Recent File List";

struct Profile_t {
  std::string key;
  bool loaded = false;
  std::vector<std::string> recentFiles;
};

Profile_t& Profile() {
  static Profile_t profile;
  return profile;
}

std::string Section() { return Profile().key + "\\" + kRecentFileSection; }

std::string EntryName(std::size_t index) { return "File" + std::to_string(index + 1); }

// A text value, empty when it is missing or not a text.
std::string ReadText(HKEY key, const std::string& name) {
  unsigned long type = 0;
  unsigned long size = 0;
  if (RegQueryValueEx(key, name, &type, nullptr, &size) != 0 || type != kRegSz || size == 0) return std::string();
  std::string text(size, '\0');
  if (RegQueryValueEx(key, name, &type, reinterpret_cast<unsigned char*>(text.data()), &size) != 0) return std::string();
  text.resize(std::min<std::size_t>(size, text.find('\0')));
  return text;
}

}  // namespace

bool LoadStdProfileSettings(const std::string& profileKey, unsigned size) {
  Profile_t& profile = Profile();
  profile.key = profileKey;
  profile.recentFiles.assign(size, std::string());
  HKEY key = 0;
  const long opened = RegOpenKeyEx(kHkeyCurrentUser, Section(), kKeyRead, key);
  // A list that could not be read is not written back at exit: the save would
  // remove the entries it failed to read.
  if (opened != 0 && opened != 2) return false;
  profile.loaded = true;
  if (opened == 2) return true;  // nothing stored yet
  for (std::size_t i = 0; i < size; ++i) profile.recentFiles[i] = ReadText(key, EntryName(i));
  RegCloseKey(key);
  return true;
}

bool SaveStdProfileSettings() {
  Profile_t& profile = Profile();
  if (!profile.loaded) return true;
  profile.loaded = false;
  HKEY key = 0;
  if (RegCreateKeyEx(kHkeyCurrentUser, Section(), kKeyRead | kKeyWrite, key) != 0) return false;
  bool saved = true;
  for (std::size_t i = 0; i < profile.recentFiles.size(); ++i) {
    const std::string& file = profile.recentFiles[i];
    const long result =
        file.empty() ? RegDeleteValue(key, EntryName(i))
                     : RegSetValueEx(key, EntryName(i), kRegSz, reinterpret_cast<const unsigned char*>(file.c_str()),
                                     static_cast<unsigned long>(file.size() + 1));
    if (result != 0 && !(file.empty() && result == 2)) saved = false;
  }
  RegCloseKey(key);
  return saved;
}

}  // namespace plat
