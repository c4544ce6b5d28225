#include "ioa/IOA_ProtocolId.h"

#include <cstdio>
#include <sstream>

namespace ioa {

std::string ProtocolId_t::ToString() const {
  // The unit may send any byte as the tag: one that does not print (a zero byte,
  // a blank, a control or a byte above ASCII) is shown in hex, so that it neither
  // vanishes nor breaks the list apart.
  const unsigned char byte = static_cast<unsigned char>(tag);
  char text[24];
  const int length = byte > 0x20 && byte < 0x7F
                         ? std::snprintf(text, sizeof text, "%c%03u", tag, static_cast<unsigned>(number))
                         : std::snprintf(text, sizeof text, "<%02X>%03u", byte, static_cast<unsigned>(number));
  return std::string(text, static_cast<std::size_t>(length));
}

void ParseProtocolIds(const std::string& text, ProtocolList_t& protocols) {
  std::istringstream in(text);
  for (;;) {
    char tag = 0;
    std::uint16_t number = 0;
    if (!(in >> tag >> number)) break;
    protocols.push_back(ProtocolId_t{tag, number});
  }
}

std::string FormatProtocolIds(const ProtocolList_t& protocols) {
  std::string text;
  for (const ProtocolId_t& id : protocols) {
    if (!text.empty()) text += ' ';
    text += id.ToString();
  }
  return text;
}

}  // namespace ioa
