#pragma once
// A configured serial port that moves raw bytes: a write that returns when every
// byte has left the driver, and a read that returns what is queued, waiting up
// to a time-out for the first byte and ending at once when an abort event is
// signalled. It knows nothing of frames.
#include <cstddef>
#include <cstdint>
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_FileHandle.h"
#include "spo/SPO_CommFile.h"

namespace spo {

class SerialPort_t : glo::NonCopyable_t {
 public:
  // The most bytes one read hands out.
  static constexpr std::size_t kBufferSize = 256;
  // A time-out that never expires.
  static constexpr std::uint32_t kNoTimeout = 0xFFFFFFFFu;

  // Read results.
  enum ReadResult_t { kRead = 0, kTimedOut = 1, kAborted = 2 };

  // Opens and configures the port (parity and stop bits in the Windows codes:
  // 0 is no parity, 0 is one stop bit). On failure nothing stays open and the
  // exception propagates (spo::CommFileError_t from the device calls).
  SerialPort_t(const std::string& name, unsigned long baudRate, unsigned char parity,
               unsigned char byteSize, unsigned char stopBits, bool dsrFlowControl,
               bool ctsFlowControl, bool xonXoffFlowControl, unsigned long inQueueSize,
               unsigned long outQueueSize, char xonChar, char xoffChar, unsigned short xonLimit,
               unsigned short xoffLimit);

  // Sends all bytes and returns 0 when they have left the driver. A failed write
  // throws win::Error_t; line errors reported afterwards spo::CommError_t. Waits
  // for room and for the driver to empty its queue are bounded (30 s without
  // progress) and end with glo::Terminate_t when the stop event is signalled.
  int Write(const void* bytes, std::size_t count);

  // The event whose signal ends a write's waits (plat::kInvalidHandle: none). The
  // handle stays the caller's and must outlive the port's writes.
  void SetStopEvent(plat::Handle stopEvent) { m_abortEvent = stopEvent; }

  // Waits at most 'timeoutMs' (kNoTimeout: for ever) for bytes. 0: 'bytes' points
  // to 'count' bytes (at most kBufferSize) in the port's buffer, valid until the
  // next read; 1: the time-out passed with nothing queued; 2: the abort event is
  // signalled (tested first, so queued bytes stay queued). An abort handle of
  // plat::kInvalidHandle means there is none. A device that went away with
  // nothing left to read throws spo::CommFileError_t (1117).
  int Read(const std::uint8_t*& bytes, std::size_t& count, std::uint32_t timeoutMs,
           plat::Handle abortEvent);

  CommFile_t& File() { return m_file; }

 private:
  CommFile_t m_file;
  plat::Handle m_abortEvent = plat::kInvalidHandle;
  std::uint8_t m_buffer[kBufferSize];
};

}  // namespace spo
