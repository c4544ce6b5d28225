#pragma once
// Processor faults thrown as exceptions. A thread that calls InstallSeTranslator
// gets every access violation, division by zero, illegal instruction and so on
// thrown at the faulting point as StructuredException_t, which unwinds like any
// other exception. A stack overflow cannot be unwound safely: its report is written
// to the standard error stream and the process ends.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace win {

// The description of a fault: its code, up to two parameters (for an access
// violation: 0 read, 1 write, 8 execute; then the data address) and the address of
// the faulting instruction.
struct ExceptionRecord_t {
  unsigned long code = 0;
  unsigned long numberParameters = 0;
  std::uintptr_t information[2] = {0, 0};
  std::uintptr_t address = 0;
};

// What a translator receives. The processor context is not kept beyond the fault.
struct ExceptionPointers_t {
  const ExceptionRecord_t* record = nullptr;
  const void* context = nullptr;
};

class StructuredException_t : public std::exception {
 public:
  StructuredException_t(unsigned long code, const ExceptionPointers_t* pointers);
  StructuredException_t(const StructuredException_t&) = default;
  StructuredException_t& operator=(const StructuredException_t&) = default;
  ~StructuredException_t() override;

  const char* what() const noexcept override;

  unsigned long Code() const { return m_code; }
  // A copy of the fault's record, valid as long as the exception.
  const ExceptionRecord_t& Record() const { return m_record; }

 private:
  unsigned long m_code;
  ExceptionRecord_t m_record;
  std::string m_text;
};

// Writes the text of a fault (as StructuredException_t::what gives it) into the
// buffer, zero-terminated and cut to its size; allocates nothing, so it can be used
// in a signal handler. Returns the length of the whole text.
std::size_t FormatStructuredException(const ExceptionRecord_t& record, char* buffer, std::size_t size);

using SeTranslator_t = void (*)(unsigned long code, const ExceptionPointers_t* pointers);

// Throws StructuredException_t for the fault.
[[noreturn]] void StructuredExceptionTranslator(unsigned long code, const ExceptionPointers_t* pointers);

// Installs StructuredExceptionTranslator as the calling thread's translator of
// faults and returns the previous one (null when there was none).
SeTranslator_t InstallSeTranslator();

}  // namespace win
