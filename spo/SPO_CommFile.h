#pragma once
// The open serial device. Each operation is one call on the device; a failing
// call throws spo::CommFileError_t with the platform's error code.
#include <string>

#include "glo/GLO_NonCopyable.h"
#include "plat/PLAT_Serial.h"
#include "spo/SPO_Exception.h"

namespace spo {

using Dcb_t = plat::SerialState;
using CommTimeouts_t = plat::SerialTimeouts;
using ComStat_t = plat::SerialStatus;

class CommFile_t : glo::NonCopyable_t {
 public:
  // Opens the named port ("COMn", or a device path starting with "/") for
  // exclusive use. 'flagsAndAttributes' is kept for the callers' sake; the port
  // is always used without overlapped operations.
  CommFile_t(const std::string& name, unsigned long flagsAndAttributes);
  ~CommFile_t();

  void GetState(Dcb_t& dcb);
  void SetState(const Dcb_t& dcb);
  void GetTimeouts(CommTimeouts_t& timeouts);
  void SetTimeouts(const CommTimeouts_t& timeouts);
  void Setup(unsigned long inQueue, unsigned long outQueue);
  void Purge(unsigned long flags);
  // The error flags gathered since the last call (cleared by it) and the queue counts.
  void ClearError(unsigned long& errors, ComStat_t& status);

  // The device itself, for the port's reads, writes and waits.
  plat::SerialDevice& Device() { return m_device; }

 private:
  plat::SerialDevice m_device;
};

}  // namespace spo
