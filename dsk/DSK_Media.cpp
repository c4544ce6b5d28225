#include "dsk/DSK_Media.h"

#include "glo/GLO_Exception.h"
#include "plat/PLAT_FileIo.h"
#include "plat/PLAT_Tick.h"
#include "thr/THR_Delay.h"
#include "plat/PLAT_Pty.h"

namespace dsk {

Media_t::~Media_t() = default;
MediaPrompterIntf_t::~MediaPrompterIntf_t() = default;
MediaSystem_t::~MediaSystem_t() = default;

bool MediaSystem_t::ReadAt(plat::Handle file, std::uint64_t offset, void* buffer, std::uint32_t count,
                           std::uint32_t& read) {
  return plat::ReadFileAt(file, offset, buffer, count, read);
}

std::uint32_t Media_t::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count) {
  Seek(offset);
  return Read(buffer, count);
}

namespace {

thread_local bool t_promptsDeferred = false;

class SystemMedia_t : public MediaSystem_t {
 public:
  bool IsRemovable(const std::string& path, std::string& drive) override {
    const unsigned type = plat::GetDriveType(path, drive);
    return type == plat::kDriveRemovable || type == plat::kDriveCdRom;
  }
  std::uint32_t Tick() override { return static_cast<std::uint32_t>(plat::GetTickCount()); }
  void Sleep(std::uint32_t milliseconds, int stopEvent) override {
    if (stopEvent != plat::kInvalidHandle)
      thr::Delay(milliseconds, stopEvent);
    else
      plat::SleepMs(milliseconds);
  }
};

}  // namespace

DeferMediaPrompts_t::DeferMediaPrompts_t() : m_before(t_promptsDeferred) { t_promptsDeferred = true; }
DeferMediaPrompts_t::~DeferMediaPrompts_t() { t_promptsDeferred = m_before; }

MediaSystem_t& SystemMedia() {
  static SystemMedia_t system;
  return system;
}

bool ResolveMedia(MediaResolverState_t& state, MediaSystem_t& system, const std::string& path,
                  int stopEvent) {
  if (state.promptText.empty() || !state.prompter) return false;
  std::string drive;
  if (!system.IsRemovable(path, drive)) return false;
  if (state.prompted) {
    if (system.Tick() - state.lastPromptTick < kPromptQuietMs) {
      system.Sleep(kRetryPauseMs, stopEvent);
      return true;
    }
    state.prompted = false;
  }
  if (t_promptsDeferred) throw MediaPromptDeferred_t(GLO_SRC, drive);
  if (state.prompter->Prompt(state, drive) == kPromptCancel) throw MediaUnavailable_t(GLO_SRC, drive);
  state.prompted = true;
  state.lastPromptTick = system.Tick();
  return true;
}

}  // namespace dsk
