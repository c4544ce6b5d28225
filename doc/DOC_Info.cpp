#include "doc/DOC_Info.h"

namespace doc {

Info_t::Info_t(const std::string& tag, std::uint16_t dataVersion, const AppBuildInfo_t& buildInfo,
               const glo::Optional_t<std::string>& appName, std::uint16_t layoutVersion)
    : m_tag(0),
      m_dataVersion(dataVersion),
      m_buildInfo(buildInfo),
      m_appName(appName),
      m_layoutVersion(layoutVersion) {
  GLO_ASSERT(tag.size() >= 4);
  for (int i = 3; i >= 0; --i) m_tag = (m_tag << 8) | static_cast<unsigned char>(tag[static_cast<size_t>(i)]);
}

std::string Info_t::TagText() const {
  std::string text(4, '\0');
  for (size_t i = 0; i < 4; ++i) text[i] = static_cast<char>((m_tag >> (8 * i)) & 0xFF);
  return text;
}

bin::ostream& Info_t::Write(bin::ostream& out, const Info_t& header) {
  const bool withName = header.m_layoutVersion >= 101;
  // Checked first, so that a refused header leaves nothing half-written.
  GLO_ASSERT(!withName || header.m_appName.IsPresent());
  bin::write_le(out, header.m_tag);
  bin::write_u16(out, header.m_layoutVersion);
  ApplicationDataVersion_t::Write(out, ApplicationDataVersion_t(header.m_dataVersion));
  AppBuildInfo_t::Write(out, header.m_buildInfo);
  if (withName) bin::write_string(out, *header.m_appName);
  return out;
}

bin::istream& Info_t::Read(bin::istream& in, Info_t& header) {
  if (!in.good()) return in;
  std::uint32_t tag = 0;
  std::uint16_t layout = 0;
  ApplicationDataVersion_t dataVersion;
  AppBuildInfo_t buildInfo;
  bin::read_le(in, tag);
  bin::read_u16(in, layout);
  ApplicationDataVersion_t::Read(in, dataVersion);
  AppBuildInfo_t::Read(in, buildInfo);
  if (in.fail()) return in;
  glo::Optional_t<std::string> name;
  if (layout > 100) {
    std::string text;
    bin::read_string(in, text);
    if (in.fail()) return in;
    name = text;
  }
  header.m_tag = tag;
  header.m_layoutVersion = layout;
  header.m_dataVersion = dataVersion.Version();
  header.m_buildInfo = buildInfo;
  header.m_appName = name;
  return in;
}

}  // namespace doc
