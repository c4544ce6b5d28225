#pragma once
// A medium: the byte-addressed store an image is read from and written to, the
// prompt through which a medium asks for a removable disk to be put back, and
// the resolver that decides whether a failed operation is worth retrying.
#include <cstdint>
#include <string>

#include "glo/GLO_Exception.h"
#include "plat/PLAT_FileHandle.h"

namespace dsk {

class Media_t {
 public:
  virtual ~Media_t();
  // The current length in bytes.
  virtual std::uint64_t Size() = 0;
  // Writes 'count' bytes at the current position.
  virtual void Write(const void* data, std::uint32_t count) = 0;
  // Reads up to 'count' bytes at the current position: the number read.
  virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;
  // Moves to an absolute offset.
  virtual void Seek(std::uint64_t offset) = 0;
  // Reads up to 'count' bytes at 'offset': the number read. Media that can
  // read at an offset in one call do so; by default a seek and a read.
  virtual std::uint32_t ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count);
  virtual std::string Name() const = 0;
  virtual bool IsReadOnly() const = 0;
};

// The user cancelled the request to put a medium back; carries the drive.
class MediaUnavailable_t : public glo::Exception_t {
 public:
  MediaUnavailable_t(const char* file, int line, const std::string& drive)
      : glo::Exception_t(file, line, std::string()), m_drive(drive) {}
  const std::string& Drive() const { return m_drive; }

 private:
  std::string m_drive;
};

// A prompt that a thread under DeferMediaPrompts_t would have shown: the
// operation gives up as if the user had cancelled, so that every layer lets it
// pass, and the thread's owner asks again where a prompt may show.
class MediaPromptDeferred_t : public MediaUnavailable_t {
 public:
  using MediaUnavailable_t::MediaUnavailable_t;
};

// While one lives, the resolver on this thread never prompts: where it would,
// it throws MediaPromptDeferred_t. For work done away from the thread that may
// show a message box (or while that thread waits for such work).
class DeferMediaPrompts_t {
 public:
  DeferMediaPrompts_t();
  ~DeferMediaPrompts_t();
  DeferMediaPrompts_t(const DeferMediaPrompts_t&) = delete;
  DeferMediaPrompts_t& operator=(const DeferMediaPrompts_t&) = delete;

 private:
  bool m_before;
};

class MediaPrompterIntf_t;

// What the resolver knows between failures.
struct MediaResolverState_t {
  std::string promptText;          // the medium's name for the user; empty: never prompt
  bool prompted = false;           // the user was asked and said to try again
  std::uint32_t lastPromptTick = 0;
  MediaPrompterIntf_t* prompter = nullptr;
};

// Answers of a prompt.
enum : int { kPromptRetry = 1, kPromptCancel = 2 };

class MediaPrompterIntf_t {
 public:
  virtual ~MediaPrompterIntf_t();
  // Asks for the medium of 'drive' to be put back: kPromptRetry or kPromptCancel.
  virtual int Prompt(const MediaResolverState_t& state, const std::string& drive) = 0;
};

// The system services a medium and its resolver need; tests put their own in.
class MediaSystem_t {
 public:
  virtual ~MediaSystem_t();
  // Reads up to 'count' bytes of the open file at 'offset' (plat::ReadFileAt):
  // false with the last error set when the read fails.
  virtual bool ReadAt(plat::Handle file, std::uint64_t offset, void* buffer, std::uint32_t count,
                      std::uint32_t& read);
  // True when 'path' lies on a removable or optical drive, with that drive's name.
  virtual bool IsRemovable(const std::string& path, std::string& drive) = 0;
  virtual std::uint32_t Tick() = 0;
  // Pauses; a signalled stop event (when valid) ends it with glo::Terminate_t.
  virtual void Sleep(std::uint32_t milliseconds, int stopEvent) = 0;
};

// The services of the running system (kernel mount table, monotonic ticks).
MediaSystem_t& SystemMedia();

// How long after a prompt further failures are retried without asking again.
constexpr std::uint32_t kPromptQuietMs = 20000;
constexpr std::uint32_t kRetryPauseMs = 30;

// Decides, after an operation on 'path' failed, whether to try again (true) or
// give up (false); throws MediaUnavailable_t when the user cancels, and
// MediaPromptDeferred_t instead of prompting while prompts are deferred.
bool ResolveMedia(MediaResolverState_t& state, MediaSystem_t& system, const std::string& path,
                  int stopEvent);

}  // namespace dsk
