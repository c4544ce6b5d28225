#pragma once
// What the program knows about itself: its name (string 190 of the language
// module), version, build stamp and label, and its main window's class name.
#include <array>
#include <string>

namespace glo {

// The build label of a release build; any other label marks a pre-release build.
inline constexpr const char ReleaseLabel[] = "REL";

class ApplicationInfo_t {
 public:
  ApplicationInfo_t(std::string name, std::array<int, 4> version, std::string buildDate, std::string buildTime,
                    std::string buildLabel, std::string windowClassName);
  virtual ~ApplicationInfo_t();

  const std::string& Name() const { return m_name; }
  // Major, minor, third and fourth part.
  const std::array<int, 4>& Version() const { return m_version; }
  // "2.5.0.0".
  std::string VersionText() const;
  // The build date as the compiler gives it ("Mmm dd yyyy") and time ("hh:mm:ss").
  const std::string& BuildDate() const { return m_buildDate; }
  const std::string& BuildTime() const { return m_buildTime; }
  const std::string& BuildLabel() const { return m_buildLabel; }
  bool IsRelease() const;
  // The class name of the main window (a braced GUID).
  const std::string& WindowClassName() const { return m_windowClassName; }

 private:
  std::string m_name;
  std::array<int, 4> m_version;
  std::string m_buildDate;
  std::string m_buildTime;
  std::string m_buildLabel;
  std::string m_windowClassName;
};

}  // namespace glo
