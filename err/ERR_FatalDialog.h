#pragma once
// The fatal-error report: what a thread's last catch shows before the thread
// (or the program) ends. The report names the application and its version, the
// time, the machine, the source place of the failure and its message; it is
// appended to the log file and shown in a dialog that can copy the whole log
// to the clipboard.
#include <exception>
#include <ostream>
#include <sstream>
#include <string>

#include "glo/GLO_ApplicationInfo.h"
#include "glo/GLO_Exception.h"
#include "plat/PLAT_FileHandle.h"

namespace err {

// Where the report takes the application's information from; the application
// sets it at start-up. Without it the report takes the name from the language
// module (string 190), version 2.5.0.0 and the release label.
using ApplicationInfoSource_t = const glo::ApplicationInfo_t& (*)();
void SetApplicationInfoSource(ApplicationInfoSource_t source);

class FatalDialogIntf_t {
 public:
  virtual ~FatalDialogIntf_t() = default;
  // Writes the log and shows the report; returns when the user has closed it.
  virtual void Show(const char* file, int line, const std::string& message) = 0;
};

// Shows the report for the calling thread. On a worker the dialog itself is
// shown on the user-interface thread while the worker waits (also for its stop
// event, plat::GetThreadStopEvent).
//
// When the report cannot be built (a missing string, a failing date format),
// a minimal report (a fixed English introduction, the source place and the
// message) still goes to stderr and to the log, and the failure then leaves
// Show.
class FatalDialog_t : public FatalDialogIntf_t {
 public:
  FatalDialog_t() = default;
  // The report of a failure that ends only a task of the program, such as a
  // worker's: string 'taskStringId' names the task, and the introduction says
  // that it stopped and that the program goes on (instead of that the program
  // has to close).
  static FatalDialog_t ForTask(int taskStringId) {
    FatalDialog_t report;
    report.m_taskStringId = taskStringId;
    return report;
  }
  // Shows the report at once: the exception's own place and message.
  explicit FatalDialog_t(const glo::Exception_t& e);
  // Shows the report at once: the catch site's place and the exception's text.
  FatalDialog_t(const char* file, int line, const std::exception& e);
  void Show(const char* file, int line, const std::string& message) override;

 private:
  int m_taskStringId = 0;
};

// The log: the file <application name>.log in the folder <application name>
// below the user's temporary folder (plat::GetUserTempFolder), the folder made
// private to the user. Appended to, never truncated. A log that cannot be
// opened leaves the stream failed; nothing throws.
class BasicLogStream_t : public std::ostream {
 public:
  explicit BasicLogStream_t(const std::string& applicationName);
  ~BasicLogStream_t() override;
  // Appends what was written to the file and flushes it to the disk; the stream
  // fails when that does not succeed.
  void Close();
  const std::string& Path() const { return m_path; }

 private:
  std::stringbuf m_buffer;
  plat::Handle m_file = plat::kInvalidHandle;
  std::string m_path;
};

// The parts of the report.
std::string BuildReport(const char* file, int line, const std::string& message);
std::string DescribeSystem();
std::string MakeErrorId(const char* file, int line);
std::string VersionText();

// The report written when the full one cannot be built.
std::string MinimalReport(const char* file, int line, const std::string& message);

}  // namespace err
