#include "glo/GLO_XmlStream.h"

#include <cmath>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "glo/GLO_Exception.h"

namespace glo {

namespace {

// Where the schemas of our file formats are published.
const char kSchemaBase[] = "http://www.vortan.com/xmlschemas/";
const char kSchemaInstance[] = "http://www.w3.org/2001/XMLSchema-instance";

constexpr double kSemicirclesPerDegree = 11930464.711111112;

void Indent(const XmlStream_t& stream, int depth) {
  for (int i = 0; i < depth; ++i) *stream.output << "    ";
}

// A string stream that formats numbers the same way in every locale.
std::ostringstream ClassicStream() {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  return text;
}

}  // namespace

XmlTopTag_t::XmlTopTag_t(XmlStream_t& stream, const std::string& rootName, const std::string& schemaName,
                         const std::string& schemaVersion)
    : m_stream(stream), m_name(rootName) {
  if (m_stream.depth != 0) throw Assert_t(GLO_SRC);
  const std::string schema = kSchemaBase + schemaName;
  std::ostream& out = *m_stream.output;
  out << "<?xml version=\"1.0\" ?>\n\n";
  out << '<' << m_name << " xmlns=\"" << schema << "\" xmlns:xsi=\"" << kSchemaInstance
      << "\" xsi:schemaLocation=\"" << schema << ' ' << schema << 'v' << schemaVersion << ".xsd\" version=\""
      << schemaVersion << "\">\n";
  out.flush();
  m_stream.depth = 1;
}

XmlTopTag_t::~XmlTopTag_t() {
  try {
    --m_stream.depth;
    if (m_stream.depth != 0) throw Assert_t(GLO_SRC);
    *m_stream.output << "</" << m_name << ">\n";
    m_stream.output->flush();
  } catch (...) {
  }
}

XmlComplexTag_t::XmlComplexTag_t(XmlStream_t& stream, const std::string& name) : m_stream(stream), m_name(name) {
  Indent(m_stream, m_stream.depth);
  *m_stream.output << '<' << m_name << ">\n";
  m_stream.output->flush();
  ++m_stream.depth;
}

XmlComplexTag_t::~XmlComplexTag_t() {
  try {
    --m_stream.depth;
    Indent(m_stream, m_stream.depth);
    *m_stream.output << "</" << m_name << ">\n";
    m_stream.output->flush();
  } catch (...) {
  }
}

XmlSimpleTag_t::XmlSimpleTag_t(XmlStream_t& stream, const std::string& name) : m_stream(stream), m_name(name) {
  Indent(m_stream, m_stream.depth);
  *m_stream.output << '<' << m_name << '>';
}

XmlSimpleTag_t::~XmlSimpleTag_t() {
  try {
    *m_stream.output << "</" << m_name << ">\n";
    m_stream.output->flush();
  } catch (...) {
  }
}

void WriteXmlTime(XmlStream_t& stream, const std::string& name, const Time_t& time) {
  const std::tm t = time.ToTm();
  std::ostringstream text = ClassicStream();
  text << std::setfill('0') << std::setw(4) << t.tm_year + 1900 << '-' << std::setw(2) << t.tm_mon + 1 << '-'
       << std::setw(2) << t.tm_mday << 'T' << std::setw(2) << t.tm_hour << ':' << std::setw(2) << t.tm_min << ':'
       << std::setw(2) << t.tm_sec << 'Z';
  XmlSimpleTag_t tag(stream, name);
  *stream.output << std::setfill('0') << text.str();
}

void WriteXmlDuration(XmlStream_t& stream, const std::string& name, const TimeSpan_t& span) {
  const double seconds = span.GetSeconds();
  std::ostringstream text = ClassicStream();
  if (seconds < 0.0) text << '-';
  text << "PT" << std::fixed << std::setprecision(3) << std::fabs(seconds) << 'S';
  XmlSimpleTag_t tag(stream, name);
  *stream.output << std::fixed << std::setprecision(3) << text.str();
}

void WriteXmlCoordinate(XmlStream_t& stream, const std::string& name, std::int32_t semicircles) {
  std::ostringstream text = ClassicStream();
  text << std::fixed << std::setprecision(5) << semicircles / kSemicirclesPerDegree;
  XmlSimpleTag_t tag(stream, name);
  *stream.output << std::fixed << std::setprecision(5) << text.str();
}

}  // namespace glo
