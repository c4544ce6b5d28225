#include "err/ERR_FatalDialog.h"

#include <iostream>

#include "err/ERR_ErrDlg.h"
#include "glo/GLO_DateTime.h"
#include "glo/GLO_NoCase.h"
#include "glo/GLO_SplitPath.h"
#include "glo/GLO_StringResource.h"
#include "glo/GLO_Time.h"
#include "plat/PLAT_App.h"
#include "plat/PLAT_LogFile.h"
#include "plat/PLAT_SystemInfo.h"
#include "win/WIN_Locale.h"
#include "win/WIN_TimeStr.h"

namespace err {

namespace {

ApplicationInfoSource_t g_source = nullptr;

// Without a source: the name from the language module (string 190), this
// version, this library's build stamp and the release label.
const glo::ApplicationInfo_t& DefaultInfo() {
  static const glo::ApplicationInfo_t info(glo::StringResource_t(190, GLO_SRC).Text(), {2, 5, 0, 0}, __DATE__,
                                           __TIME__, glo::ReleaseLabel, std::string());
  return info;
}

const glo::ApplicationInfo_t& Info() { return g_source != nullptr ? g_source() : DefaultInfo(); }

// The application's name for the log's folder and file when the information
// cannot be had.
std::string LogName() {
  try {
    return Info().Name();
  } catch (...) {
    return "StridemereLogbook";
  }
}

void AppendToLog(const std::string& text) {
  try {
    BasicLogStream_t log(LogName());
    log << text;
    log.Close();
  } catch (...) {
  }
}

}  // namespace

void SetApplicationInfoSource(ApplicationInfoSource_t source) { g_source = source; }

FatalDialog_t::FatalDialog_t(const glo::Exception_t& e) { Show(e.SourceFile(), e.Line(), e.what()); }

FatalDialog_t::FatalDialog_t(const char* file, int line, const std::exception& e) { Show(file, line, e.what()); }

void FatalDialog_t::Show(const char* file, int line, const std::string& message) {
  std::string intro, report, path, title;
  try {
    const glo::ApplicationInfo_t& info = Info();
    BasicLogStream_t log(info.Name());
    report = BuildReport(file, line, message);
    if (log.good()) {
      log << report;
      log.Close();
    }
    if (m_taskStringId != 0) {
      const std::string task = glo::StringResource_t(m_taskStringId, GLO_SRC).Text();
      intro = glo::StringResource_t(log.good() ? 7307 : 7308, GLO_SRC).Format(task, GLO_SRC);
    } else if (!log.good()) intro = glo::StringResource_t(5603, GLO_SRC).Text();
    else if (info.IsRelease()) intro = glo::StringResource_t(5602, GLO_SRC).Text();
    else intro = glo::StringResource_t(5608, GLO_SRC).Format(info.Name(), GLO_SRC);
    path = log.Path();
    title = info.Name();
  } catch (...) {
    const std::string minimal = MinimalReport(file, line, message);
    std::cerr << minimal << std::flush;
    AppendToLog(minimal);
    throw;
  }
  const auto show = [intro, report, path, title] {
    ErrDlg_t dialog(intro, report, path, title);
    dialog.DoModal();
  };
  if (plat::IsUiThread()) show();
  else plat::CallOnUiThread(show, plat::GetThreadStopEvent());
}

// ---------------------------------------------------------------------------

BasicLogStream_t::BasicLogStream_t(const std::string& applicationName) : std::ostream(&m_buffer) {
  std::string folder;
  // The temporary folder may be shared (a sticky /tmp): only the program's own
  // folder in it must be private.
  if (!plat::GetUserTempFolder(folder) || !plat::EnsureFolder(folder)) {
    setstate(std::ios::failbit);
    return;
  }
  folder += applicationName + "/";
  if (!plat::EnsurePrivateFolder(folder)) {
    setstate(std::ios::failbit);
    return;
  }
  m_path = folder + applicationName + ".log";
  m_file = plat::OpenLogForAppend(m_path);
  if (m_file == plat::kInvalidHandle) setstate(std::ios::failbit);
}

BasicLogStream_t::~BasicLogStream_t() {
  try {
    Close();
  } catch (...) {
  }
}

void BasicLogStream_t::Close() {
  if (m_file == plat::kInvalidHandle) return;
  const bool written = good() && plat::WriteAndFlush(m_file, m_buffer.str());
  plat::CloseHandle(m_file);
  m_file = plat::kInvalidHandle;
  m_buffer.str(std::string());
  if (!written) setstate(std::ios::failbit);
}

// ---------------------------------------------------------------------------

std::string MakeErrorId(const char* file, int line) {
  const glo::SplitPath_t parts(file != nullptr ? file : "");
  const std::locale& locale = win::SystemLocale();
  return glo::ToUpper(parts.FileName(), locale) + glo::ToUpper(parts.Extension(), locale) + "-" + std::to_string(line);
}

std::string VersionText() {
  const glo::ApplicationInfo_t& info = Info();
  const auto& v = info.Version();
  if (info.IsRelease()) return std::to_string(v[0]) + "." + std::to_string(v[1]);
  return info.VersionText() + "-Beta\n" + info.BuildDate() + ", " + info.BuildTime() + " (" + info.BuildLabel() + ")";
}

std::string DescribeSystem() {
  const plat::SystemDescription d = plat::DescribeMachine();
  return "OS: " + d.systemName + " " + d.release + "\n" + "Processor: " + d.processor + ", " +
         "RAM: " + std::to_string(d.physicalMemory / 1024) + " KB" + "\n";
}

std::string BuildReport(const char* file, int line, const std::string& message) {
  const glo::DateTime_t now(glo::Time_t(), glo::TimeSpan_t(0.0), 1033);
  std::string r = "\nApp: " + Info().Name();
  r += "\nAt: " + win::FormatDate(now) + " " + win::FormatTime(now, 0) + " " + now.FormatUtcOffset() + " \n";
  r += DescribeSystem();
  r += MakeErrorId(file, line) + "-" + VersionText() + "\n";
  if (!message.empty()) r += message + "\n";
  return r;
}

std::string MinimalReport(const char* file, int line, const std::string& message) {
  std::string r = "\nA fatal error occurred, and its full report could not be made.\nAt: ";
  r += (file != nullptr ? file : "?") + std::string("(") + std::to_string(line) + ")\n";
  if (!message.empty()) r += message + "\n";
  return r;
}

}  // namespace err
