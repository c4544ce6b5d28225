#include "spo/SPO_Exception.h"

#include <map>

#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_Serial.h"
#include "win/WIN_Exception.h"

namespace spo {

namespace {

struct FlagText {
  unsigned long flag;
  const char* english;
  unsigned stringId;
};

// In the order in which the English message picks the first flag that is set.
constexpr FlagText kFlagTexts[] = {
    {plat::kCeMode, "The requested mode is not supported, or the hFile parameter is invalid.", 5400},
    {plat::kCeBreak, "The hardware detected a break condition.", 5401},
    {plat::kCeDns, "A parallel device is not selected.", 5402},
    {plat::kCeFrame, "The hardware detected a framing error.", 5403},
    {plat::kCeIoe, "An I/O error occurred during communications with the device.", 5404},
    {plat::kCeOop, "A parallel device signaled that it is out of paper.", 5405},
    {plat::kCeOverrun, "A character-buffer overrun has occurred. The next character is lost.", 5406},
    {plat::kCePto, "A time-out occurred on a parallel device.", 5407},
    {plat::kCeRxOver, "An input buffer overflow has occurred.", 5408},
    {plat::kCeRxParity, "The hardware detected a parity error.", 5409},
    {plat::kCeTxFull, "The application tried to transmit a character, but the output buffer was full.", 5410},
};

constexpr unsigned kUnknownErrorId = 5411;

}  // namespace

CommFileError_t::CommFileError_t(const char* file, int line)
    : CommFileError_t(file, line, plat::GetLastError()) {}

CommFileError_t::CommFileError_t(const char* file, int line, unsigned long errorCode)
    : Exception_t(file, line, win::FormatErrorCode(errorCode)), m_errorCode(errorCode) {}

std::string CommFileError_t::GetText() const {
  std::string text;
  if (!plat::FormatMessage(m_errorCode, text)) return std::string();
  return text;
}

CommError_t::CommError_t(const char* file, int line, unsigned long flags)
    : Exception_t(file, line, EnglishText(flags)), m_flags(flags) {}

std::string CommError_t::EnglishText(unsigned long flags) {
  for (const FlagText& row : kFlagTexts)
    if (flags & row.flag) return row.english;
  return "Unknown Communications Error: " + std::to_string(flags);
}

std::string CommError_t::GetText() const {
  // Built once: each single flag to its string id.
  static const std::map<unsigned long, unsigned> kIds = [] {
    std::map<unsigned long, unsigned> ids;
    for (const FlagText& row : kFlagTexts) ids[row.flag] = row.stringId;
    return ids;
  }();
  const auto it = kIds.find(m_flags);
  if (it != kIds.end()) return glo::StringResource_t(static_cast<int>(it->second), GLO_SRC).Text();
  return glo::StringResource_t(static_cast<int>(kUnknownErrorId), GLO_SRC).Format(std::to_string(m_flags), GLO_SRC);
}

}  // namespace spo
