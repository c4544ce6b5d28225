#include "spo/SPO_SerialPort.h"

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Tick.h"
#include "thr/THR_Event.h"
#include "win/WIN_Exception.h"

namespace spo {

SerialPort_t::SerialPort_t(const std::string& name, unsigned long baudRate, unsigned char parity,
                           unsigned char byteSize, unsigned char stopBits, bool dsrFlowControl,
                           bool ctsFlowControl, bool xonXoffFlowControl, unsigned long inQueueSize,
                           unsigned long outQueueSize, char xonChar, char xoffChar,
                           unsigned short xonLimit, unsigned short xoffLimit)
    : m_file(name, 0), m_buffer{} {
  Dcb_t dcb;
  m_file.GetState(dcb);
  dcb.baudRate = baudRate;
  dcb.parity = parity;
  dcb.byteSize = byteSize;
  dcb.stopBits = stopBits;
  dcb.xonChar = xonChar;
  dcb.xoffChar = xoffChar;
  dcb.xonLim = xonLimit;
  dcb.xoffLim = xoffLimit;
  dcb.fBinary = true;
  dcb.fParity = false;
  dcb.fOutxCtsFlow = ctsFlowControl;
  dcb.fOutxDsrFlow = dsrFlowControl;
  dcb.fDtrControl = dsrFlowControl ? plat::kDtrControlHandshake : plat::kDtrControlEnable;
  dcb.fDsrSensitivity = false;
  dcb.fOutX = xonXoffFlowControl;
  dcb.fInX = xonXoffFlowControl;
  dcb.fNull = false;
  dcb.fRtsControl = ctsFlowControl ? plat::kRtsControlHandshake : plat::kRtsControlEnable;
  dcb.fAbortOnError = false;
  m_file.SetState(dcb);

  // All time-outs zero: a read returns at once with the bytes already received.
  CommTimeouts_t timeouts;
  m_file.GetTimeouts(timeouts);
  timeouts = CommTimeouts_t();
  m_file.SetTimeouts(timeouts);

  m_file.Setup(inQueueSize, outQueueSize);
  m_file.Purge(plat::kPurgeTxAbort | plat::kPurgeRxAbort | plat::kPurgeTxClear | plat::kPurgeRxClear);
  unsigned long errors = 0;
  ComStat_t status;
  m_file.ClearError(errors, status);  // clears what was left from before
}

int SerialPort_t::Write(const void* bytes, std::size_t count) {
  std::size_t written = 0;
  const std::size_t stopCount = m_abortEvent == plat::kInvalidHandle ? 0 : 1;
  if (!m_file.Device().Write(bytes, count, written, &m_abortEvent, stopCount)) {
    if (plat::GetLastError() == plat::kErrorOperationAborted) throw glo::Terminate_t(GLO_SRC);
    throw win::Error_t(GLO_SRC);
  }
  // A count short of the request without a failure is still a failed write.
  if (written != count) throw win::Error_t(GLO_SRC, plat::kErrorWriteFault);
  // A drain that fails (or passes its bound) leaves bytes queued, which the check
  // below reports; only the stop request ends the write at once.
  if (!m_file.Device().Drain(&m_abortEvent, stopCount) && plat::GetLastError() == plat::kErrorOperationAborted)
    throw glo::Terminate_t(GLO_SRC);
  unsigned long errors = 0;
  ComStat_t status;
  m_file.ClearError(errors, status);
  if (errors != 0) throw CommError_t(GLO_SRC, errors);
  if (status.outQueue != 0) throw win::Error_t(GLO_SRC, plat::kErrorWriteFault);
  return 0;
}

int SerialPort_t::Read(const std::uint8_t*& bytes, std::size_t& count, std::uint32_t timeoutMs,
                       plat::Handle abortEvent) {
  const std::uint32_t start = static_cast<std::uint32_t>(plat::GetTickCount());
  for (;;) {
    unsigned long errors = 0;
    ComStat_t status;
    m_file.ClearError(errors, status);
    if (errors != 0) throw CommError_t(GLO_SRC, errors);
    std::size_t n = status.inQueue < kBufferSize ? status.inQueue : kBufferSize;

    if (abortEvent != plat::kInvalidHandle && thr::WaitForAny(&abortEvent, 1, 0) == 0) return kAborted;

    if (n > 0) {
      std::size_t got = 0;
      if (!m_file.Device().Read(m_buffer, n, got)) throw win::Error_t(GLO_SRC);
      if (got != n) throw win::Error_t(GLO_SRC, plat::kErrorReadFault);
      bytes = m_buffer;
      count = n;
      return kRead;
    }

    const std::uint32_t spent = static_cast<std::uint32_t>(plat::GetTickCount()) - start;
    if (timeoutMs != kNoTimeout && spent > timeoutMs) return kTimedOut;

    // Nothing queued: sleep until a byte arrives, the abort event is signalled or
    // the time-out passes (one tick beyond it, so that the test above sees it).
    const unsigned long wait = timeoutMs == kNoTimeout ? plat::kInfinite : timeoutMs - spent + 1;
    switch (m_file.Device().Wait(wait, &abortEvent, abortEvent == plat::kInvalidHandle ? 0 : 1)) {
      case plat::SerialDevice::kReadable:
      case plat::SerialDevice::kOtherReady:
      case plat::SerialDevice::kTimedOut:
        break;
      case plat::SerialDevice::kHangUp: {
        // The device went away (the far end closed, an adapter was pulled).
        // Bytes that arrived just before are still read on the next round.
        m_file.ClearError(errors, status);
        if (errors != 0) throw CommError_t(GLO_SRC, errors);  // cleared by the call: report them now
        // Nothing left to read: the port itself failed, so that device detection
        // goes on with the next port.
        if (status.inQueue == 0) throw CommFileError_t(GLO_SRC, plat::kErrorIoDevice);
        break;
      }
      case plat::SerialDevice::kWaitFailed:
        throw win::Error_t(GLO_SRC);
    }
  }
}

}  // namespace spo
