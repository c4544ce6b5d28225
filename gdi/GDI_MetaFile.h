#pragma once
// A recorded drawing, shared through glo::SmartPtr_t (reference count 0 at start).
#include "glo/GLO_AutoPtr.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_Gdi.h"

namespace gdi {

class MetaFile_t : public glo::RefCounter_t {
 public:
  // Takes over a recorded metafile; a null handle is glo::Assert_t.
  explicit MetaFile_t(const plat::GdiHandle_t& handle) : m_handle(handle) {
    if (m_handle.Kind() != plat::GdiKind::MetaFile) throw glo::Assert_t(GLO_SRC);
  }
  MetaFile_t(const MetaFile_t&) = delete;
  MetaFile_t& operator=(const MetaFile_t&) = delete;

  // Deletes the metafile. A destructor never throws: a failed deletion is
  // checked and discarded.
  ~MetaFile_t() override {
    try {
      if (!plat::DeleteMetaFile(m_handle)) throw glo::Assert_t(GLO_SRC);
    } catch (...) {
    }
  }

  const plat::GdiHandle_t& GetHandle() const { return m_handle; }

  // Plays the drawing into a device context; false when that fails.
  bool Play(plat::Dc_t& dc) const { return dc.PlayMetaFile(m_handle); }

 private:
  plat::GdiHandle_t m_handle;
};

}  // namespace gdi
