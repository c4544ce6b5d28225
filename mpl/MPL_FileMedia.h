#pragma once
// An image file as a medium. When an operation fails and the file lies on a
// removable drive, the user is asked to put the medium back and the operation
// is retried; a stop event ends any such wait.
#include <cstdint>
#include <string>

#include "dsk/DSK_Media.h"
#include "glo/GLO_AutoPtr.h"
#include "win/WIN_Handle.h"

namespace mpl {

class FileMedia_t : public dsk::Media_t, public glo::RefCounter_t {
 public:
  // Opens the file (read-only: shared, existing; otherwise read-write, created
  // when missing). 'stopEvent' may be plat::kInvalidHandle; it is duplicated.
  // 'system' gives the positioned reads, the drive type, the ticks and the
  // pause (tests put their own in).
  FileMedia_t(const std::string& path, bool readOnly, const std::string& promptText,
              dsk::MediaPrompterIntf_t* prompter, plat::Handle stopEvent,
              dsk::MediaSystem_t& system = dsk::SystemMedia());
  ~FileMedia_t() override;

  std::uint64_t Size() override;
  void Write(const void* data, std::uint32_t count) override;
  std::uint32_t Read(void* buffer, std::uint32_t count) override;
  void Seek(std::uint64_t offset) override;
  // One positioned read; the file position stays where it was.
  std::uint32_t ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;
  std::string Name() const override { return m_path; }
  bool IsReadOnly() const override { return m_readOnly; }

  // The medium's name shown in the prompt (empty: never prompt).
  void SetPromptText(const std::string& text) { m_resolver.promptText = text; }
  const dsk::MediaResolverState_t& ResolverState() const { return m_resolver; }

 private:
  // Throws glo::Terminate_t when the stop event is signalled.
  void CheckStop(int line) const;
  // After a failure: true to try again; gives up with win::FileNotFound_t.
  void ResolveOrThrow(int line);

  std::string m_path;
  win::Handle_t m_file;
  win::Handle_t m_stop;
  dsk::MediaResolverState_t m_resolver;
  dsk::MediaSystem_t& m_system;
  bool m_readOnly;
  std::uint32_t m_lastCount = 0;
};

}  // namespace mpl
