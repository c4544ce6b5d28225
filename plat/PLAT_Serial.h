#pragma once
// Serial ports on Linux terminals. A port is a tty opened for exclusive use
// (TIOCEXCL and an advisory lock, so that a second opener is told "in use" even
// when it runs as root), configured raw, and read without blocking: the caller
// waits on the port together with other handles (its abort event) when it wants
// to wait. Every failing call returns false and leaves a Windows-numbered code in
// the calling thread's last error (plat/PLAT_Error.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plat/PLAT_FileHandle.h"

namespace plat {

// Communication error flags, in the numbering of the Windows serial interface.
enum : unsigned long {
  kCeRxOver = 0x0001,
  kCeOverrun = 0x0002,
  kCeRxParity = 0x0004,
  kCeFrame = 0x0008,
  kCeBreak = 0x0010,
  kCeTxFull = 0x0100,
  kCePto = 0x0200,
  kCeIoe = 0x0400,
  kCeDns = 0x0800,
  kCeOop = 0x1000,
  kCeMode = 0x8000,
};

// Purge flags.
enum : unsigned long {
  kPurgeTxAbort = 0x0001,
  kPurgeRxAbort = 0x0002,
  kPurgeTxClear = 0x0004,
  kPurgeRxClear = 0x0008,
};

// Control-line modes of the state below.
enum : unsigned {
  kDtrControlDisable = 0,
  kDtrControlEnable = 1,
  kDtrControlHandshake = 2,
  kRtsControlDisable = 0,
  kRtsControlEnable = 1,
  kRtsControlHandshake = 2,
};

// Parity and stop-bit codes.
enum : unsigned char {
  kNoParity = 0,
  kOddParity = 1,
  kEvenParity = 2,
  kOneStopBit = 0,
  kTwoStopBits = 2,
};

// The line settings of a port, field for field as the Windows serial interface
// names them. The fields marked "not read" are the ones Linux has no use for:
// SetState does not apply them and GetState leaves them as the caller had them.
struct SerialState {
  unsigned long baudRate = 9600;
  bool fBinary = true;  // not read: the line is always binary
  bool fParity = false;
  bool fOutxCtsFlow = false;
  bool fOutxDsrFlow = false;  // not read: no DSR flow control
  unsigned fDtrControl = kDtrControlEnable;
  bool fDsrSensitivity = false;  // not read
  bool fTXContinueOnXoff = false;  // not read
  bool fOutX = false;
  bool fInX = false;
  bool fErrorChar = false;  // not read
  bool fNull = false;  // not read: NUL bytes are always kept
  unsigned fRtsControl = kRtsControlEnable;
  bool fAbortOnError = false;  // not read: errors never abort reads or writes
  unsigned short xonLim = 0;  // not read: the driver decides when to send XON
  unsigned short xoffLim = 0;  // not read: the driver decides when to send XOFF
  unsigned char byteSize = 8;
  unsigned char parity = kNoParity;
  unsigned char stopBits = kOneStopBit;
  char xonChar = 17;
  char xoffChar = 19;
  char errorChar = 0;  // not read
  char eofChar = 0;  // not read
  char evtChar = 0;  // not read
};

// Read and write time-outs. All zero (the only setting the system uses) means a
// read returns at once with what is queued, which is how every read here works.
// The fields are kept as set and given back by GetTimeouts; nothing reads them.
struct SerialTimeouts {
  unsigned long readIntervalTimeout = 0;
  unsigned long readTotalTimeoutMultiplier = 0;
  unsigned long readTotalTimeoutConstant = 0;
  unsigned long writeTotalTimeoutMultiplier = 0;
  unsigned long writeTotalTimeoutConstant = 0;
};

// Queue counts of a port.
struct SerialStatus {
  unsigned long inQueue = 0;   // bytes received, not yet read
  unsigned long outQueue = 0;  // bytes written, not yet sent
};

// The device path of a port name: a name that starts with "/" is used as it
// stands; "COMn" (any case, n from 1) maps to the path set for n, by default
// "/dev/ttyS<n-1>". Any other name gives an empty path.
std::string SerialDevicePath(const std::string& portName);
// Sets the device that "COMn" stands for; an empty path restores the default.
void SetSerialDeviceMapping(unsigned comNumber, const std::string& devicePath);

// The serial devices present on the machine, by path: the /dev/ttyS<n> ports
// the kernel found a UART for (its tty class entry does not say type 0), then
// every /dev/ttyUSB<n> (USB serial adapters) and /dev/ttyACM<n> (USB modems),
// each kind in the order of its number. Nothing is opened.
std::vector<std::string> ListSerialDevices();
// Where ListSerialDevices looks instead of "/dev" and "/sys/class/tty" (tests
// give folders of fake device nodes); empty folders restore the real ones.
void SetSerialDeviceFolders(const std::string& deviceFolder, const std::string& ttyClassFolder);

// Where the line-error flags of a port come from. The default reads the driver's
// error counters (TIOCGICOUNT) and reports what grew since the last call; a tty
// whose driver keeps no counters (a pseudo-terminal) reports none. Tests put
// their own source here to inject errors; an empty function restores the default.
// The source receives the port's device path and descriptor.
using SerialLineErrorSource = std::function<unsigned long(const std::string& devicePath, int fd)>;
void SetSerialLineErrorSource(SerialLineErrorSource source);

// One open serial port. Not copyable; closes itself on destruction.
class SerialDevice {
 public:
  SerialDevice() = default;
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // Opens the device for exclusive use. The port name is mapped as in
  // SerialDevicePath. A missing device gives error 2, one in use or not allowed
  // gives 5, a file that is no terminal gives 1.
  bool Open(const std::string& portName);
  bool IsOpen() const { return m_fd >= 0; }
  void Close();

  bool GetState(SerialState& state);
  bool SetState(const SerialState& state);
  bool GetTimeouts(SerialTimeouts& timeouts);
  bool SetTimeouts(const SerialTimeouts& timeouts);
  // Queue sizes are the driver's on Linux; the call only checks the port.
  bool Setup(unsigned long inQueue, unsigned long outQueue);
  bool Purge(unsigned long flags);
  // The line errors since the last call (cleared by this call) and the queues.
  bool ClearError(unsigned long& errors, SerialStatus& status);

  // Writes all bytes, waiting while the driver's queue is full (EINTR and EAGAIN
  // are retried); a write that makes no progress for 30 s fails with error 1460,
  // one of the other handles signalled meanwhile ends it with error 995.
  // 'written' is the count that went out.
  bool Write(const void* bytes, std::size_t count, std::size_t& written, const Handle* others = nullptr,
             std::size_t otherCount = 0);
  // Waits until every written byte has left the driver, under the same bound as
  // a write (error 1460) and ending when one of the other handles is signalled
  // (error 995).
  bool Drain(const Handle* others = nullptr, std::size_t otherCount = 0);
  // Reads up to 'count' bytes without blocking; 'got' is what was read.
  bool Read(void* bytes, std::size_t count, std::size_t& got);

  // Result of Wait.
  enum WaitResult { kReadable, kOtherReady, kTimedOut, kHangUp, kWaitFailed };
  // Waits at most 'timeoutMs' (0xFFFFFFFF: no limit) until the port has bytes to
  // read or one of the other handles (events, threads) is signalled (then 'which'
  // is its index; the signal is not taken). kHangUp: the device went away (the far
  // end of a pseudo-terminal closed, a USB adapter was pulled).
  WaitResult Wait(unsigned long timeoutMs, const Handle* others, std::size_t otherCount,
                  std::size_t* which = nullptr);

 private:
  int m_fd = -1;
  std::string m_path;
  SerialTimeouts m_timeouts;
  bool m_haveCounters = false;
  // Error counters at the last ClearError.
  std::uint64_t m_frame = 0, m_overrun = 0, m_parity = 0, m_brk = 0, m_bufOverrun = 0;

  friend unsigned long DriverLineErrors(SerialDevice& device);
};

}  // namespace plat
