#pragma once
// Errors of the framed serial link.
#include <cstdint>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"

namespace ios {

class Exception_t : public glo::CommunicationsError_t {
 public:
  Exception_t(const char* file, int line, const std::string& message = std::string())
      : glo::CommunicationsError_t(file, line, message) {}
};

// The unit rejected a step of a multi-packet transfer.
class TransAbort_t : public Exception_t {
 public:
  TransAbort_t(const char* file, int line) : Exception_t(file, line) {}
};

// A received block whose length, size byte or checksum is wrong. It keeps the
// block's first byte (its id), which the NAK names; the message is
// "RcvBlock: (ID,SZ,DATA,CKSM)\n" and the hex dump of the block's bytes.
class BadRcvBlock_t : public Exception_t {
 public:
  BadRcvBlock_t(const char* file, int line, const std::vector<std::uint8_t>& block);
  std::uint8_t BlockId() const { return m_id; }

 private:
  std::uint8_t m_id;
};

}  // namespace ios
