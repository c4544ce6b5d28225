#include "glo/GLO_XmlStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string_view>
#include <system_error>

#include "glo/GLO_Exception.h"

namespace glo {

namespace {

// Where the schemas of our file formats are published.
const char kSchemaBase[] = "http://www.vortan.com/xmlschemas/";
const char kSchemaInstance[] = "http://www.w3.org/2001/XMLSchema-instance";

constexpr double kSemicirclesPerDegree = 11930464.711111112;

// Writes text as operator<< would: a pending field width pads it the
// stream's way, else the characters go out as they are.
void Put(std::ostream& out, std::string_view text) {
  if (out.width() != 0)
    out << text;
  else
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void Indent(const XmlStream_t& stream, int depth) {
  static constexpr char kSpaces[] = "                                                                ";
  constexpr int kPerWrite = (sizeof kSpaces - 1) / 4;
  for (; depth > 0; depth -= kPerWrite)
    Put(*stream.output, std::string_view(kSpaces, 4 * static_cast<std::size_t>(std::min(depth, kPerWrite))));
}

// "<name>" or "</name>".
void PutTag(std::ostream& out, bool end, const std::string& name) {
  Put(out, end ? std::string_view("</") : std::string_view("<"));
  Put(out, name);
  out.put('>');
}

// A string stream that formats numbers the same way in every locale.
std::ostringstream ClassicStream() {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  return text;
}

// The number with the given decimals in fixed notation, classic locale.
std::string_view Fixed(char (&text)[512], double value, int decimals) {
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return {};
  return std::string_view(text, static_cast<std::size_t>(result.ptr - text));
}

// Two digits, from 00 to 99.
char* TwoDigits(char* to, int value) {
  to[0] = static_cast<char>('0' + value / 10);
  to[1] = static_cast<char>('0' + value % 10);
  return to + 2;
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
  PutTag(*m_stream.output, false, m_name);
  m_stream.output->put('\n');
  m_stream.output->flush();
  ++m_stream.depth;
}

XmlComplexTag_t::~XmlComplexTag_t() {
  try {
    --m_stream.depth;
    Indent(m_stream, m_stream.depth);
    PutTag(*m_stream.output, true, m_name);
    m_stream.output->put('\n');
    m_stream.output->flush();
  } catch (...) {
  }
}

XmlSimpleTag_t::XmlSimpleTag_t(XmlStream_t& stream, const std::string& name) : m_stream(stream), m_name(name) {
  Indent(m_stream, m_stream.depth);
  PutTag(*m_stream.output, false, m_name);
}

XmlSimpleTag_t::~XmlSimpleTag_t() {
  try {
    PutTag(*m_stream.output, true, m_name);
    m_stream.output->put('\n');
    m_stream.output->flush();
  } catch (...) {
  }
}

void WriteXmlTime(XmlStream_t& stream, const std::string& name, const Time_t& time) {
  const std::tm t = time.ToTm();
  const int year = t.tm_year + 1900;
  const bool plain = year >= 0 && year <= 9999 && t.tm_mon >= 0 && t.tm_mon < 99 && t.tm_mday >= 0 &&
                     t.tm_mday <= 99 && t.tm_hour >= 0 && t.tm_hour <= 99 && t.tm_min >= 0 && t.tm_min <= 99 &&
                     t.tm_sec >= 0 && t.tm_sec <= 99;
  if (!plain) {
    std::ostringstream text = ClassicStream();
    text << std::setfill('0') << std::setw(4) << year << '-' << std::setw(2) << t.tm_mon + 1 << '-' << std::setw(2)
         << t.tm_mday << 'T' << std::setw(2) << t.tm_hour << ':' << std::setw(2) << t.tm_min << ':' << std::setw(2)
         << t.tm_sec << 'Z';
    XmlSimpleTag_t tag(stream, name);
    *stream.output << std::setfill('0') << text.str();
    return;
  }
  char text[20];
  char* to = TwoDigits(TwoDigits(text, year / 100), year % 100);
  *to++ = '-';
  to = TwoDigits(to, t.tm_mon + 1);
  *to++ = '-';
  to = TwoDigits(to, t.tm_mday);
  *to++ = 'T';
  to = TwoDigits(to, t.tm_hour);
  *to++ = ':';
  to = TwoDigits(to, t.tm_min);
  *to++ = ':';
  to = TwoDigits(to, t.tm_sec);
  *to++ = 'Z';
  XmlSimpleTag_t tag(stream, name);
  stream.output->fill('0');
  Put(*stream.output, std::string_view(text, static_cast<std::size_t>(to - text)));
}

void WriteXmlDuration(XmlStream_t& stream, const std::string& name, const TimeSpan_t& span) {
  const double seconds = span.GetSeconds();
  char number[512];
  const std::string_view digits = Fixed(number, std::fabs(seconds), 3);
  std::string text;
  text.reserve(digits.size() + 4);
  if (seconds < 0.0) text += '-';
  text += "PT";
  text += digits;
  text += 'S';
  XmlSimpleTag_t tag(stream, name);
  stream.output->setf(std::ios_base::fixed, std::ios_base::floatfield);
  stream.output->precision(3);
  Put(*stream.output, text);
}

void WriteXmlCoordinate(XmlStream_t& stream, const std::string& name, std::int32_t semicircles) {
  char number[512];
  const std::string_view text = Fixed(number, semicircles / kSemicirclesPerDegree, 5);
  XmlSimpleTag_t tag(stream, name);
  stream.output->setf(std::ios_base::fixed, std::ios_base::floatfield);
  stream.output->precision(5);
  Put(*stream.output, text);
}

}  // namespace glo
