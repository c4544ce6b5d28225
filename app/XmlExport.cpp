#include "app/XmlExport.h"

#include <charconv>
#include <cstdint>
#include <locale>

#include "app/DataFile.h"
#include "app/TextEncoding.h"
#include "glo/GLO_StringResource.h"
#include "glo/GLO_XmlStream.h"
#include "plat/PLAT_Error.h"
#include "win/WIN_Exception.h"

namespace app {

namespace {

// A number in fixed notation with three decimals.
void WriteFixed3(glo::XmlStream_t& xml, const char* name, double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
  glo::XmlSimpleTag_t tag(xml, name);
  xml.output->write(text, result.ptr - text);
}

void WritePosition(glo::XmlStream_t& xml, const char* name, const geo::Position_t& position) {
  glo::XmlComplexTag_t tag(xml, name);
  glo::WriteXmlCoordinate(xml, "Latitude", position.GetLatitude());
  glo::WriteXmlCoordinate(xml, "Longitude", position.GetLongitude());
  if (position.GetAltitude().IsPresent()) WriteFixed3(xml, "Altitude", *position.GetAltitude());
}

void WriteLap(glo::XmlStream_t& xml, const Lap_t& lap) {
  glo::XmlComplexTag_t tag(xml, "Lap");
  glo::WriteXmlTime(xml, "StartTime", lap.GetStart());
  glo::WriteXmlDuration(xml, "Duration", glo::TimeSpan_t(lap.GetDuration() * 0.01));
  if (lap.GetBegin().IsPresent()) WritePosition(xml, "BeginPosition", *lap.GetBegin());
  if (lap.GetEnd().IsPresent()) WritePosition(xml, "EndPosition", *lap.GetEnd());
  WriteFixed3(xml, "Length", lap.GetLength());
  glo::XmlSimpleTag_t calories(xml, "Calories");
  *xml.output << lap.GetCalories();
}

void WriteTrackPoint(glo::XmlStream_t& xml, const gdb::TrackPoint_t& point) {
  glo::XmlComplexTag_t tag(xml, "Trackpoint");
  WritePosition(xml, "Position", point.GetPosition());
  if (point.GetTime().IsPresent()) glo::WriteXmlTime(xml, "Time", *point.GetTime());
  if (point.GetDepth().IsPresent()) WriteFixed3(xml, "Depth", *point.GetDepth());
}

// Every point once: the track's iterator passes over the repeated first point
// of each later segment.
void WriteTrack(glo::XmlStream_t& xml, const gdb::Track_t& track) {
  glo::XmlComplexTag_t tag(xml, "Track");
  for (const gdb::TrackPoint_t& point : track) WriteTrackPoint(xml, point);
}

void WriteRun(glo::XmlStream_t& xml, const Run_t& run) {
  glo::XmlComplexTag_t tag(xml, "Run");
  {
    glo::XmlSimpleTag_t notes(xml, "Notes");
    *xml.output << EscapeXmlText(run.GetNotes());
  }
  for (const Lap_t& lap : run.GetLaps()) WriteLap(xml, lap);
  if (run.GetTrack().IsPresent()) WriteTrack(xml, *run.GetTrack());
}

// The code point of the UTF-8 sequence at text[i] and its length (the text is
// valid UTF-8).
std::uint32_t CodePointAt(const std::string& text, std::size_t i, std::size_t& length) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    length = 1;
    return c;
  }
  length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
  std::uint32_t cp = c & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  return cp;
}

}  // namespace

std::string EscapeXmlText(const std::string& stored) {
  const std::string text = DecodeStoredText(stored);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const std::uint32_t cp = CodePointAt(text, i, length);
    switch (cp) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\'': out += "&apos;"; break;
      case '"': out += "&quot;"; break;
      case '\r':
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++length;
        break;
      case '\n':
      case '\t': out += static_cast<char>(cp); break;
      default:
        if (cp >= 0x20 && cp != 0xFFFE && cp != 0xFFFF) out.append(text, i, length);
        break;
    }
    i += length;
  }
  return out;
}

void WriteHistoryXml(std::ostream& out, const RunSet_t& runs) {
  out.imbue(std::locale::classic());
  glo::XmlStream_t xml(out);
  glo::XmlTopTag_t root(xml, "History", "StridemereLogbook", "1");
  for (const Run_t& run : runs) WriteRun(xml, run);
}

glo::Optional_t<std::string> ExportHistoryXml(const std::string& path, const RunSet_t& runs) {
  try {
    WriteWholeFile(path, true, [&runs](std::ostream& out) { WriteHistoryXml(out, runs); });
    return {};
  } catch (const win::Error_t& e) {
    std::string text;
    if (!plat::FormatMessage(e.ErrorCode(), text)) text = e.Message();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return glo::StringResource_t(7172, GLO_SRC).Format(text, GLO_SRC);
  }
}

std::string ProposedExportPath(const std::string& user, const std::string& lastFolder, const std::string& home) {
  std::string name = user.empty() ? std::string("History") : user;
  for (char& c : name)
    if (c == '/') c = '_';
  return (lastFolder.empty() ? home : lastFolder) + name + ".xml";
}

}  // namespace app
