#pragma once
// The header that opens every binary database file:
//   tag (4 bytes, the first character lowest), layout version (u16),
//   record 'D' (data version), record 'A' (build information),
//   from layout version 101 on the application name (NUL-terminated).
// The file's own contents follow at once. Whether a file can be loaded is for
// its owner to decide from the fields read and the stream state.
#include <cstdint>
#include <string>

#include "bin/BIN_record.h"
#include "doc/DOC_AppBuildInfo.h"
#include "doc/DOC_ApplicationDataVersion.h"
#include "glo/GLO_Optional.h"

namespace doc {

// The layout version that every header written carries; 100 is the older
// layout without the application name.
constexpr std::uint16_t kCurrentLayoutVersion = 101;

class Info_t {
 public:
  // An empty header to read into.
  Info_t() : m_tag(0), m_dataVersion(0), m_layoutVersion(0) {}
  // 'tag' gives the tag as its first four characters (glo::Assert_t when shorter).
  Info_t(const std::string& tag, std::uint16_t dataVersion, const AppBuildInfo_t& buildInfo,
         const glo::Optional_t<std::string>& appName, std::uint16_t layoutVersion);

  std::uint32_t Tag() const { return m_tag; }
  // The tag as its four characters.
  std::string TagText() const;
  std::uint16_t DataVersion() const { return m_dataVersion; }
  const AppBuildInfo_t& BuildInfo() const { return m_buildInfo; }
  const glo::Optional_t<std::string>& AppName() const { return m_appName; }
  std::uint16_t LayoutVersion() const { return m_layoutVersion; }

  // Writes the header. From layout version 101 on the name is required:
  // glo::Assert_t, before anything is written, when it is absent.
  static bin::ostream& Write(bin::ostream& out, const Info_t& header);

  // Reads a header; 'header' is assigned only when every field was read, so the
  // caller tests the stream state and then the fields. A record of the wrong
  // type throws doc::InvalidRecordTypeException_t.
  static bin::istream& Read(bin::istream& in, Info_t& header);

 private:
  std::uint32_t m_tag;
  std::uint16_t m_dataVersion;
  AppBuildInfo_t m_buildInfo;
  glo::Optional_t<std::string> m_appName;
  std::uint16_t m_layoutVersion;
};

}  // namespace doc
