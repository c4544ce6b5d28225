#pragma once
// A small streaming XML writer. Elements are written by scoped tag objects: the
// constructor writes the start tag, the destructor the end tag, so the nesting of
// the output follows the nesting of the objects in the writing code. Lines are
// indented by four spaces per level and end with "\n". Nothing is escaped:
// callers that write user text escape it first.
#include <cstdint>
#include <ostream>
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "glo/GLO_Time.h"
#include "glo/GLO_TimeSpan.h"

namespace glo {

// The state shared by the tags of one document. Create it with depth 0 over an
// open stream and keep both alive while tags exist. The writer never checks the
// stream state: the caller does.
struct XmlStream_t {
  explicit XmlStream_t(std::ostream& out) : output(&out), depth(0) {}

  std::ostream* output;  // not owned
  int depth;             // nesting depth, 0 outside the root element
};

// The root element: XML declaration, an empty line and the root start tag with
// the schema attributes. Starting it at a depth other than 0 throws
// glo::Assert_t and writes nothing. Ending it while other elements are still open
// writes no end tag (the failed check is swallowed).
class XmlTopTag_t : private NonCopyable_t {
 public:
  XmlTopTag_t(XmlStream_t& stream, const std::string& rootName, const std::string& schemaName,
              const std::string& schemaVersion);
  virtual ~XmlTopTag_t();

 private:
  XmlStream_t& m_stream;
  std::string m_name;
};

// An element with child elements: start and end tag each on a line of their own.
class XmlComplexTag_t : private NonCopyable_t {
 public:
  XmlComplexTag_t(XmlStream_t& stream, const std::string& name);
  virtual ~XmlComplexTag_t();

 private:
  XmlStream_t& m_stream;
  std::string m_name;
};

// An element with text: the caller writes the text to *stream.output between the
// construction and the destruction, so the element takes exactly one line.
class XmlSimpleTag_t : private NonCopyable_t {
 public:
  XmlSimpleTag_t(XmlStream_t& stream, const std::string& name);
  virtual ~XmlSimpleTag_t();

 private:
  XmlStream_t& m_stream;
  std::string m_name;
};

// Value elements. Each sets its format on the output stream (fill character,
// fixed notation, precision), which stays in effect after it. The numbers
// themselves are always written with the classic decimal point and no digit
// grouping, whatever locale the stream carries.

// The UTC time as 2004-09-24T13:50:34Z.
void WriteXmlTime(XmlStream_t& stream, const std::string& name, const Time_t& time);
// The span as PT1234.500S, with a leading "-" when it is negative.
void WriteXmlDuration(XmlStream_t& stream, const std::string& name, const TimeSpan_t& span);
// The angle in degrees with five decimals, as -122.45678.
void WriteXmlCoordinate(XmlStream_t& stream, const std::string& name, std::int32_t semicircles);

}  // namespace glo
