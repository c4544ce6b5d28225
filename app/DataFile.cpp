#include "app/DataFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <mutex>
#include <set>
#include <streambuf>
#include <vector>

#include "app/ApplicationInfo.h"
#include "doc/DOC_AppBuildInfo.h"
#include "glo/GLO_StringResource.h"
#include "plat/PLAT_Error.h"
#include "plat/PLAT_File.h"
#include "plat/PLAT_FileOps.h"
#include "win/WIN_Exception.h"
#include "win/WIN_File.h"
#include "win/WIN_Folder.h"

namespace app {

namespace {

constexpr std::uint16_t kBuildVersion = 205;

std::mutex& BarMutex() {
  static std::mutex mutex;
  return mutex;
}

std::set<std::string>& BarredPaths() {
  static std::set<std::string> paths;
  return paths;
}

void Bar(const std::string& path) {
  std::lock_guard<std::mutex> lock(BarMutex());
  BarredPaths().insert(path);
}

void Unbar(const std::string& path) {
  std::lock_guard<std::mutex> lock(BarMutex());
  BarredPaths().erase(path);
}

// Output to a file handle through a large buffer; a failed write keeps its
// error code and refuses every later byte. In text mode every "\n" reaches the
// file as CR LF (translated when the buffer is written out). A flush of the
// stream keeps the bytes in the buffer (writers that flush after every line
// would otherwise make a system call for each); Drain writes them.
class HandleBuffer_t : public std::streambuf {
 public:
  HandleBuffer_t(plat::Handle handle, bool text) : m_handle(handle), m_text(text), m_buffer(new char[kSize]) {
    setp(m_buffer.get(), m_buffer.get() + kSize);
  }
  unsigned long Error() const { return m_error; }

  bool Drain() {
    if (m_error != 0) return false;
    const char* from = pbase();
    const std::size_t n = static_cast<std::size_t>(pptr() - from);
    if (n > 0 && !(m_text ? WriteText(from, n) : plat::WriteFile(m_handle, from, n))) {
      m_error = plat::GetLastError();
      if (m_error == 0) m_error = plat::kErrorWriteFault;
      return false;
    }
    setp(m_buffer.get(), m_buffer.get() + kSize);
    return true;
  }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::streamsize done = 0;
    while (done < n) {
      if (pptr() == epptr() && !Drain()) return done;
      const std::streamsize take = std::min(n - done, static_cast<std::streamsize>(epptr() - pptr()));
      traits_type::copy(pptr(), s + done, static_cast<std::size_t>(take));
      pbump(static_cast<int>(take));
      done += take;
    }
    return done;
  }
  int sync() override { return m_error == 0 ? 0 : -1; }

 private:
  static constexpr std::streamsize kSize = 256 * 1024;

  // Writes the bytes with every "\n" as CR LF.
  bool WriteText(const char* from, std::size_t n) {
    if (!m_translated) m_translated.reset(new char[2 * kSize]);
    char* to = m_translated.get();
    for (const char* end = from + n; from < end;) {
      const char* line = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
      const char* stop = line ? line : end;
      std::memcpy(to, from, static_cast<std::size_t>(stop - from));
      to += stop - from;
      from = stop;
      if (line) {
        *to++ = '\r';
        *to++ = '\n';
        ++from;
      }
    }
    return plat::WriteFile(m_handle, m_translated.get(), static_cast<std::size_t>(to - m_translated.get()));
  }

  plat::Handle m_handle;
  bool m_text;
  std::unique_ptr<char[]> m_buffer;
  std::unique_ptr<char[]> m_translated;
  unsigned long m_error = 0;
};

constexpr const char kSavingPrefix[] = ".saving-";

// A temporary file beside the target, renamed over it on Commit and removed
// when the writer ends without. A target reached through links is replaced
// where the links lead, so that they keep leading to it; it keeps its
// permissions. A pipe or a device is never replaced (nor is a folder, which
// the rename refuses).
class SafeFileWriter_t {
 public:
  SafeFileWriter_t(const std::string& path, bool text) {
    if (!plat::ResolveLinks(path, m_path)) throw win::Error_t(GLO_SRC);
    plat::FileKind_t kind;
    if (!plat::GetFileKind(m_path, kind)) throw win::Error_t(GLO_SRC);
    if (kind == plat::FileKind_t::kOther) throw NotAFile_t(GLO_SRC, path);
    m_handle = plat::CreateFileBeside(m_path, kSavingPrefix, m_tempPath);
    if (m_handle == plat::kInvalidHandle) throw win::Error_t(GLO_SRC);
    m_buffer.reset(new HandleBuffer_t(m_handle, text));
  }
  ~SafeFileWriter_t() {
    if (m_handle != plat::kInvalidHandle) plat::CloseHandle(m_handle);
    if (!m_committed) plat::DeleteFile(m_tempPath);
  }
  SafeFileWriter_t(const SafeFileWriter_t&) = delete;
  SafeFileWriter_t& operator=(const SafeFileWriter_t&) = delete;

  std::streambuf* Buffer() { return m_buffer.get(); }

  // Writes out what is buffered, flushes the file to the disk and renames it
  // over the target. 'streamGood' is the state of the stream that wrote.
  void Commit(bool streamGood) {
    if (!m_buffer->Drain() || !streamGood) {
      const unsigned long code = m_buffer->Error();
      throw win::Error_t(GLO_SRC, code != 0 ? code : plat::kErrorWriteFault);
    }
    if (!plat::FlushFileBuffers(m_handle)) throw win::Error_t(GLO_SRC);
    const plat::Handle handle = m_handle;
    m_handle = plat::kInvalidHandle;
    if (!plat::CloseHandle(handle)) throw win::Error_t(GLO_SRC);
    if (!plat::ReplaceFile(m_tempPath, m_path)) throw win::Error_t(GLO_SRC);
    m_committed = true;
  }

 private:
  std::string m_path;
  std::string m_tempPath;
  plat::Handle m_handle = plat::kInvalidHandle;
  std::unique_ptr<HandleBuffer_t> m_buffer;
  bool m_committed = false;
};

}  // namespace

std::string DataFolder() {
  return win::GetCommonAppDataFolder(glo::StringResource_t(190, GLO_SRC).Text());
}

bool FileExists(const std::string& path) {
  bool exists = false;
  if (!plat::FindFile(path, exists)) throw win::Error_t(GLO_SRC);
  return exists;
}

std::string NextBackupPath(const std::string& path) {
  for (unsigned n = 1;; ++n) {
    char number[16];
    std::snprintf(number, sizeof number, ".%03u", n);
    const std::string candidate = path + number;
    if (!FileExists(candidate)) return candidate;
  }
}

std::string MoveAside(const std::string& path) {
  for (;;) {
    const std::string backup = NextBackupPath(path);
    if (plat::MoveFile(path, backup)) return backup;
    // Taken between the lookup and the move: try the next name.
    if (plat::GetLastError() != plat::kErrorFileExists) throw win::Error_t(GLO_SRC);
  }
}

NotAFile_t::NotAFile_t(const char* file, int line, const std::string& path)
    : glo::Exception_t(file, line,
                       "\"" + path +
                           "\" is not a regular file (it is a device or a pipe); it is neither read nor written over."),
      m_path(path) {}

void RemoveLeftoverSaves(const std::string& folder) {
  std::vector<std::string> names;
  if (!plat::ListFiles(folder, kSavingPrefix, names)) return;
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (const std::string& name : names) plat::DeleteFile(base + name);
}

SaveRefused_t::SaveRefused_t(const char* file, int line, const std::string& path)
    : glo::Exception_t(file, line,
                       "The file \"" + path +
                           "\" could not be read and could not be moved aside; it is not written over."),
      m_path(path) {}

doc::Info_t MakeFileHeader(const std::string& tag, std::uint16_t dataVersion) {
  const glo::ApplicationInfo_t& info = GetApplicationInfo();
  return doc::Info_t(tag, dataVersion,
                     doc::AppBuildInfo_t(kBuildVersion, info.BuildLabel(), info.BuildDate(), info.BuildTime()),
                     info.Name(), doc::kCurrentLayoutVersion);
}

void SaveDataFile(const std::string& path, const doc::Info_t& header,
                  const std::function<void(bin::ostream&)>& writeBody) {
  if (IsSaveBarred(path)) throw SaveRefused_t(GLO_SRC, path);
  SafeFileWriter_t writer(path, false);
  bin::ostream out(writer.Buffer());
  doc::Info_t::Write(out, header);
  writeBody(out);
  writer.Commit(out.good());
}

void WriteWholeFile(const std::string& path, bool text, const std::function<void(std::ostream&)>& write) {
  SafeFileWriter_t writer(path, text);
  std::ostream out(writer.Buffer());
  write(out);
  writer.Commit(out.good());
}

LoadOutcome_t::Status_t ReadDataFile(bin::istream& in, const std::string& tag, std::uint16_t maxDataVersion,
                                     const std::function<void(bin::istream&)>& readBody) {
  try {
    doc::Info_t header;
    doc::Info_t::Read(in, header);
    if (in.fail() || header.TagText() != tag.substr(0, 4)) return LoadOutcome_t::kUnreadable;
    if (header.LayoutVersion() > doc::kCurrentLayoutVersion || header.DataVersion() > maxDataVersion)
      return LoadOutcome_t::kNewer;
    readBody(in);
    return LoadOutcome_t::kLoaded;
  } catch (const std::exception&) {
    return LoadOutcome_t::kUnreadable;
  }
}

LoadOutcome_t LoadDataFile(const std::string& path, const std::string& tag, std::uint16_t maxDataVersion,
                           const std::function<void(bin::istream&)>& readBody) {
  LoadOutcome_t outcome;
  try {
    // Looked at before it is opened: opening a pipe or a device to read it
    // could wait for ever.
    plat::FileKind_t kind;
    if (!plat::GetFileKind(path, kind)) throw win::Error_t(GLO_SRC);
    if (kind == plat::FileKind_t::kMissing) {  // also a link that leads nowhere (yet)
      Unbar(path);
      return outcome;
    }
    if (kind == plat::FileKind_t::kOther) throw NotAFile_t(GLO_SRC, path);
    win::File_t(path, plat::kGenericRead, plat::kOpenExisting).Close();
  } catch (...) {
    Bar(path);
    throw;
  }
  {
    bin::ifstream in(path);
    if (!in.is_open()) {
      Bar(path);
      throw win::Error_t(GLO_SRC, plat::kErrorAccessDenied);
    }
    outcome.status = ReadDataFile(in, tag, maxDataVersion, readBody);
  }
  if (outcome.status == LoadOutcome_t::kLoaded) {
    Unbar(path);
    return outcome;
  }
  outcome.messageId = outcome.status == LoadOutcome_t::kNewer ? 178 : 177;
  try {
    outcome.backupPath = MoveAside(path);
  } catch (...) {
    Bar(path);
    throw;
  }
  Unbar(path);
  return outcome;
}

bool IsSaveBarred(const std::string& path) {
  std::lock_guard<std::mutex> lock(BarMutex());
  return BarredPaths().count(path) != 0;
}

void LiftSaveBars() {
  std::lock_guard<std::mutex> lock(BarMutex());
  BarredPaths().clear();
}

void MoveSaveBar(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(BarMutex());
  if (BarredPaths().erase(from) != 0) BarredPaths().insert(to);
}

}  // namespace app
