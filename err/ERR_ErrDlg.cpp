#include "err/ERR_ErrDlg.h"

#include "afx/AFX_Clipboard.h"
#include "afx/AFX_GetDlgItem.h"
#include "afx/AFX_InitControlMember.h"
#include "afx/AFX_Resources.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_MessageBox.h"
#include "win/WIN_File.h"

namespace err {

namespace {

// Line breaks as the report box shows them: every lone line feed becomes a
// carriage return and a line feed.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

ErrDlg_t::ErrDlg_t(const std::string& introduction, const std::string& report, const std::string& logPath,
                   const std::string& title)
    : plat::Dialog_t(kTemplate),
      m_introduction(introduction),
      m_report(report),
      m_logPath(logPath),
      m_title(title) {
  afx::EnsureResourceHandle();
}

bool ErrDlg_t::OnInitDialog() {
  const bool result = plat::Dialog_t::OnInitDialog();
  if (!m_title.empty()) SetWindowText(m_title);
  afx::InitControlMember(*this, kIntroduction, m_introCtrl);
  m_introCtrl.SetWindowText(m_introduction);
  afx::InitControlMember(*this, kReport, m_reportCtrl);
  m_reportCtrl.SetWindowText(WithCrLf(glo::StringResource_t(5604, GLO_SRC).Text() + "\r\n" + m_report));
  return result;
}

bool ErrDlg_t::OnCommand(unsigned id, unsigned code) {
  if (id == kCopy && code == plat::kBnClicked) {
    OnCopy();
    return true;
  }
  if (id == kReport && code == plat::kEnSetFocus) {
    OnReportSetFocus();
    return true;
  }
  return plat::Dialog_t::OnCommand(id, code);
}

void ErrDlg_t::OnCopy() {
  std::string failure;
  try {
    const std::string log = win::ReadWholeFile(m_logPath);
    afx::OClipboard_t writer;
    afx::SetClipboardText(writer, log);
    return;
  } catch (const std::exception& e) {
    failure = e.what();
  }
  std::string text = glo::StringResource_t(5609, GLO_SRC).Text();
  if (!failure.empty()) text += "\n\n" + failure;
  plat::MessageBox(this, text, GetWindowText(), plat::kMbOk | plat::kMbIconExclamation);
}

void ErrDlg_t::OnReportSetFocus() { afx::GetDlgItem(*this, plat::kIdOk).SetFocus(); }

}  // namespace err
