#pragma once
// The notices of a map product (records C and D), ordered by their text.
#include <cstdint>
#include <map>
#include <string>

#include "bin/BIN_stream.h"

namespace tdb {

struct Notice_t {
  std::string text;
  bool makerNotice = false;
  bool flag1 = false;
  bool flag2 = false;
  bool flag3 = false;
  bool flag4 = false;
  bool flag5 = false;
  float value = 0.0f;
  friend bool operator==(const Notice_t&, const Notice_t&) = default;
};

// The maker's notice as stored by old products, and the text that replaces it.
extern const char kMakerNoticeUpper[];
extern const char kMakerNotice[];
// The map-data supplier's notice as stored by old products, and its replacement.
extern const char kSupplierNoticeUpper[];
extern const char kSupplierNotice[];

class Copyright_t {
 public:
  Copyright_t() = default;
  Copyright_t(const Copyright_t&) = default;
  Copyright_t& operator=(const Copyright_t&) = default;
  virtual ~Copyright_t() = default;

  // Reads one C or D record in place of the current notices; another record
  // type, or a flags word of a D record without its text, is glo::Exception_t.
  virtual void Read(bin::istream& in);

  // Adds a notice unless one with its text is present.
  void Add(const Notice_t& notice) { m_notices.emplace(notice.text, notice); }
  bool IsEmpty() const { return m_notices.empty(); }
  const std::map<std::string, Notice_t>& GetNotices() const { return m_notices; }

 private:
  std::map<std::string, Notice_t> m_notices;
};

}  // namespace tdb
