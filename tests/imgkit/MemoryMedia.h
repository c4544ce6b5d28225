#pragma once
// A medium held in memory for the image tests: read-only or writable, with
// counts of its reads and writes and failures on demand.
#include <cstdint>
#include <string>

#include "dsk/DSK_Media.h"
#include "glo/GLO_AutoPtr.h"

namespace imgkit {

class MemoryMedia_t : public dsk::Media_t, public glo::RefCounter_t {
 public:
  explicit MemoryMedia_t(std::string bytes = std::string(), bool readOnly = false,
                         std::string name = "memory.img");

  std::uint64_t Size() override;
  // Writing to a read-only medium is an assertion, as for a file medium.
  void Write(const void* data, std::uint32_t count) override;
  std::uint32_t Read(void* buffer, std::uint32_t count) override;
  void Seek(std::uint64_t offset) override;
  // A positioned read: one read call, the position unchanged.
  std::uint32_t ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count) override;
  std::string Name() const override { return m_name; }
  bool IsReadOnly() const override { return m_readOnly; }

  std::string& Bytes() { return m_bytes; }
  // Read and write calls so far.
  std::uint64_t Reads() const { return m_reads; }
  std::uint64_t Writes() const { return m_writes; }
  std::uint64_t Seeks() const { return m_seeks; }
  // After 'n' more successful calls of that kind, every further one throws
  // win::Error_t (a negative n: never).
  void FailReadsAfter(long n) { m_readsLeft = n; }
  void FailWritesAfter(long n) { m_writesLeft = n; }
  // While missing, every read throws dsk::MediaUnavailable_t, as when the
  // user gives up waiting for the medium.
  void SetMissing(bool missing) { m_missing = missing; }

 private:
  std::string m_bytes;
  bool m_readOnly;
  std::string m_name;
  std::uint64_t m_position = 0;
  std::uint64_t m_reads = 0;
  std::uint64_t m_writes = 0;
  std::uint64_t m_seeks = 0;
  long m_readsLeft = -1;
  bool m_missing = false;
  long m_writesLeft = -1;
};

}  // namespace imgkit
