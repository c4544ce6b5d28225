#pragma once
// The report dialog: the introduction, the report in a read-only box, a command
// that copies the whole log to the clipboard, and OK.
#include <string>

#include "afx/AFX_Ctrl.h"
#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Dialog.h"
#include "plat/PLAT_Edit.h"
#include "plat/PLAT_Static.h"

namespace err {

class ErrDlg_t : public plat::Dialog_t, glo::NonCopyable_t {
 public:
  enum : int {
    kTemplate = 5605,
    kCopy = 5600,
    kReport = 5601,
    kIntroduction = 5607,
  };
  // The window's title is the application's name when it can be had.
  ErrDlg_t(const std::string& introduction, const std::string& report, const std::string& logPath,
           const std::string& title = std::string());

  // Copies every report of the log to the clipboard. A log that cannot be read
  // is told in a message box; the dialog stays.
  void OnCopy();
  // The report box gets no caret: the focus goes on to OK.
  void OnReportSetFocus();

 protected:
  bool OnInitDialog() override;
  bool OnCommand(unsigned id, unsigned code) override;

 private:
  afx::Ctrl_t<plat::Static_t> m_introCtrl;
  afx::Ctrl_t<plat::Edit_t> m_reportCtrl;
  std::string m_introduction;
  std::string m_report;
  std::string m_logPath;
  std::string m_title;
};

}  // namespace err
