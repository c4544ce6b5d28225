#pragma once
// A pseudo-terminal pair for the simulated watch: the program under test opens
// the slave's path as its serial port, the simulator serves the master. The
// master side is read and written here; a second thread may interrupt a wait.
#include <cstddef>
#include <string>

namespace plat {

class Pty {
 public:
  Pty() = default;
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  // Creates the pair and puts the line into raw mode (no echo, no line editing),
  // so that nothing written before the far end configures the port is changed.
  // False with the last error set on failure.
  bool Open();
  void Close();
  bool IsOpen() const { return m_master >= 0; }
  // Path of the slave device ("/dev/pts/N").
  const std::string& SlavePath() const { return m_slavePath; }

  // Writes all bytes to the master (retrying EINTR and EAGAIN). False when the
  // master fails; a pseudo-terminal whose slave is closed still takes bytes.
  bool Write(const void* bytes, std::size_t count);

  enum ReadResult { kData, kTimedOut, kWoken, kHangUp, kFailed };
  // Waits at most 'timeoutMs' (negative: no limit) for bytes on the master and
  // reads what is there into 'buffer' ('got' bytes). kHangUp: no one holds the
  // slave open (EIO on the master), which ends a session. kWoken: Wake() was
  // called (the wake-up is consumed).
  ReadResult Read(void* buffer, std::size_t size, std::size_t& got, int timeoutMs);

  // Makes a pending or the next Read return kWoken. Safe from any thread.
  void Wake();

 private:
  int m_master = -1;
  int m_wake = -1;  // eventfd
  std::string m_slavePath;
};

// Sleeps the calling thread (used where a simulator waits for a slave to come back).
void SleepMs(unsigned ms);

}  // namespace plat
