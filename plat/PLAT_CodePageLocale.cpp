#include "plat/PLAT_CodePageLocale.h"

#include <iconv.h>

#include <memory>

namespace plat {

namespace {

struct IconvCloser {
  void operator()(void* cd) const { ::iconv_close(static_cast<iconv_t>(cd)); }
};

}  // namespace

bool CodePageToUtf8(unsigned codePage, const std::string& text, std::string& out) {
  out.clear();
  if (codePage == 0) return false;
  const std::string from = codePage == 65001 ? std::string("UTF-8") : "CP" + std::to_string(codePage);
  iconv_t raw = ::iconv_open("UTF-8", from.c_str());
  if (raw == reinterpret_cast<iconv_t>(-1)) return false;
  std::unique_ptr<void, IconvCloser> cd(raw);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char chunk[256];
  while (inLeft > 0) {
    char* outPtr = chunk;
    size_t outLeft = sizeof chunk;
    const size_t done = ::iconv(raw, &in, &inLeft, &outPtr, &outLeft);
    out.append(chunk, static_cast<size_t>(outPtr - chunk));
    if (done == static_cast<size_t>(-1) && outLeft == sizeof chunk && inLeft > 0) {
      // A byte that starts no character here (or a sequence cut short).
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
      ::iconv(raw, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* outPtr = chunk;
  size_t outLeft = sizeof chunk;
  ::iconv(raw, nullptr, nullptr, &outPtr, &outLeft);
  out.append(chunk, static_cast<size_t>(outPtr - chunk));
  return true;
}

}  // namespace plat
