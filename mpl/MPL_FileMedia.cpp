#include "mpl/MPL_FileMedia.h"

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_File.h"
#include "plat/PLAT_FileIo.h"
#include "win/WIN_Exception.h"

namespace mpl {

FileMedia_t::FileMedia_t(const std::string& path, bool readOnly, const std::string& promptText,
                         dsk::MediaPrompterIntf_t* prompter, plat::Handle stopEvent, dsk::MediaSystem_t& system)
    : m_path(path), m_system(system), m_readOnly(readOnly) {
  if (stopEvent != plat::kInvalidHandle) {
    m_stop.Attach(plat::DuplicateHandle(stopEvent));
    if (!m_stop.IsValid()) throw win::Error_t(GLO_SRC);
  }
  m_resolver.promptText = promptText;
  m_resolver.prompter = prompter;
  m_resolver.prompted = false;
  m_resolver.lastPromptTick = m_system.Tick();
  if (readOnly) {
    for (;;) {
      const plat::Handle h =
          plat::CreateFile(path, plat::kGenericRead, plat::kFileShareRead, plat::kOpenExisting, plat::kFileAttributeNormal);
      m_file.Attach(h);
      CheckStop(__LINE__);
      if (m_file.IsValid()) break;
      if (!dsk::ResolveMedia(m_resolver, m_system, m_path, m_stop.Get()))
        throw win::FileNotFound_t(GLO_SRC, m_path);
    }
    m_resolver.prompted = false;
  } else {
    m_file.Attach(plat::CreateFile(path, plat::kGenericRead | plat::kGenericWrite, 0, plat::kOpenAlways,
                                   plat::kFileAttributeNormal));
    const unsigned long error = plat::GetLastError();
    CheckStop(__LINE__);
    if (!m_file.IsValid()) throw win::Error_t(GLO_SRC, error);
  }
}

FileMedia_t::~FileMedia_t() = default;

void FileMedia_t::CheckStop(int line) const {
  if (!m_stop.IsValid()) return;
  const unsigned long r = plat::WaitForSingleObject(m_stop.Get(), 0);
  if (r == plat::kWaitObject0) throw glo::Terminate_t(glo::SourceBaseName(__FILE__), line);
  if (r != plat::kWaitTimeout) throw win::Error_t(GLO_SRC);
}

void FileMedia_t::ResolveOrThrow(int line) {
  if (!dsk::ResolveMedia(m_resolver, m_system, m_path, m_stop.Get()))
    throw win::FileNotFound_t(glo::SourceBaseName(__FILE__), line, m_path);
}

std::uint64_t FileMedia_t::Size() {
  for (;;) {
    std::uint64_t size = 0;
    if (plat::GetFileSize(m_file.Get(), size)) {
      m_resolver.prompted = false;
      return size;
    }
    ResolveOrThrow(__LINE__);
  }
}

std::uint32_t FileMedia_t::Read(void* buffer, std::uint32_t count) {
  for (;;) {
    std::uint32_t read = 0;
    if (plat::ReadFile(m_file.Get(), buffer, count, read)) {
      CheckStop(__LINE__);
      m_resolver.prompted = false;
      m_lastCount = read;
      return read;
    }
    CheckStop(__LINE__);
    ResolveOrThrow(__LINE__);
  }
}

std::uint32_t FileMedia_t::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  for (;;) {
    std::uint32_t read = 0;
    if (m_system.ReadAt(m_file.Get(), offset, buffer, count, read)) {
      CheckStop(__LINE__);
      m_resolver.prompted = false;
      m_lastCount = read;
      return read;
    }
    CheckStop(__LINE__);
    ResolveOrThrow(__LINE__);
  }
}

void FileMedia_t::Seek(std::uint64_t offset) {
  for (;;) {
    const bool ok = plat::SetFilePointer(m_file.Get(), offset);
    CheckStop(__LINE__);
    if (ok) {
      m_resolver.prompted = false;
      return;
    }
    ResolveOrThrow(__LINE__);
  }
}

void FileMedia_t::Write(const void* data, std::uint32_t count) {
  GLO_ASSERT(!m_readOnly);
  if (!plat::WriteFile(m_file.Get(), data, count)) throw win::Error_t(GLO_SRC);
  m_lastCount = count;
  CheckStop(__LINE__);
}

}  // namespace mpl
