#include "ios/IOS_Exception.h"

#include <sstream>

#include "iol/IOL_Frame.h"

namespace ios {

namespace {

std::string BlockText(const std::vector<std::uint8_t>& block) {
  std::ostringstream out;
  out << "RcvBlock: (ID,SZ,DATA,CKSM)\n";
  iol::HexDump(out, block.data(), block.size());
  return out.str();
}

}  // namespace

BadRcvBlock_t::BadRcvBlock_t(const char* file, int line, const std::vector<std::uint8_t>& block)
    : Exception_t(file, line, BlockText(block)), m_id(block.empty() ? 0 : block[0]) {}

}  // namespace ios
