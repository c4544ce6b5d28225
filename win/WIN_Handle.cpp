#include "win/WIN_Handle.h"

#include "win/WIN_Exception.h"

namespace win {

void Handle_t::Close() noexcept {
  if (m_handle == plat::kInvalidHandle) return;
  plat::CloseHandle(m_handle);
  m_handle = plat::kInvalidHandle;
}

void Handle_t::Attach(plat::Handle handle) noexcept {
  if (handle == m_handle) return;
  Close();
  m_handle = handle;
}

void Handle_t::Duplicate(const Handle_t& source) {
  GLO_ASSERT(!IsValid());
  const plat::Handle h = plat::DuplicateHandle(source.m_handle);
  if (h == plat::kInvalidHandle) throw Error_t(GLO_SRC);
  m_handle = h;
}

}  // namespace win
