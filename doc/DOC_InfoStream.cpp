#include "doc/DOC_InfoStream.h"

namespace doc {

bin::istream& InfoStream_t::In() const {
  GLO_ASSERT(m_in != nullptr);
  return *m_in;
}

bin::ostream& InfoStream_t::Out() const {
  GLO_ASSERT(m_out != nullptr);
  return *m_out;
}

}  // namespace doc
