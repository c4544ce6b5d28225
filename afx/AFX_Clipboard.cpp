#include "afx/AFX_Clipboard.h"

#include "plat/PLAT_Clipboard.h"

namespace afx {

OClipData_t::~OClipData_t() = default;

OClipText_t::OClipText_t(const std::string& text) : OClipData_t(text + '\0') {}

OClipboard_t::OClipboard_t() = default;

OClipboard_t::~OClipboard_t() {
  try {
    if (m_text) plat::SetClipboardText(m_text->Text());
  } catch (...) {
  }
}

void SetClipboardText(OClipboard_t& writer, const std::string& text) { writer.m_text = std::make_unique<OClipText_t>(text); }

}  // namespace afx
