#include "ioa/IOA_ProtocolId.h"

#include <cstdio>
#include <sstream>

namespace ioa {

std::string ProtocolId_t::ToString() const {
  char text[16];
  std::snprintf(text, sizeof text, "%c%03u", tag, static_cast<unsigned>(number));
  return text;
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
