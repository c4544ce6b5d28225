#include "glo/GLO_ApplicationInfo.h"

#include <utility>

namespace glo {

ApplicationInfo_t::ApplicationInfo_t(std::string name, std::array<int, 4> version, std::string buildDate,
                                     std::string buildTime, std::string buildLabel, std::string windowClassName)
    : m_name(std::move(name)),
      m_version(version),
      m_buildDate(std::move(buildDate)),
      m_buildTime(std::move(buildTime)),
      m_buildLabel(std::move(buildLabel)),
      m_windowClassName(std::move(windowClassName)) {}

ApplicationInfo_t::~ApplicationInfo_t() = default;

std::string ApplicationInfo_t::VersionText() const {
  return std::to_string(m_version[0]) + "." + std::to_string(m_version[1]) + "." + std::to_string(m_version[2]) +
         "." + std::to_string(m_version[3]);
}

bool ApplicationInfo_t::IsRelease() const { return m_buildLabel == ReleaseLabel; }

}  // namespace glo
