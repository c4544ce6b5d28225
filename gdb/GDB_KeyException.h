#pragma once
// Errors of the keyed GPS tables: a name that is already taken, a name that is
// missing. The message is the key's display text and a fixed ending, e.g.
// "Track: Run 1 already exists."
#include "gdb/GDB_Key.h"
#include "glo/GLO_Exception.h"

namespace gdb {

class KeyExists_t : public glo::Exception_t {
 public:
  KeyExists_t(const Key_t& key, const char* file, int line)
      : glo::Exception_t(file, line, key.GetText() + " already exists.") {}
};

class KeyNotFound_t : public glo::Exception_t {
 public:
  KeyNotFound_t(const Key_t& key, const char* file, int line)
      : glo::Exception_t(file, line, key.GetText() + " does not exist.") {}
};

}  // namespace gdb
