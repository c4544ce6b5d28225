#pragma once
// Per-thread translation of synchronous processor faults (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL). A thread that sets a fault handler gets its faults described in Windows
// terms and handed to that handler on the faulting thread, which may throw: the
// build uses -fnon-call-exceptions, so the exception leaves the faulting instruction
// like one thrown by a call. A thread without a handler gets the default behaviour.
#include <cstddef>
#include <cstdint>

namespace plat {

// Windows exception codes of the faults this layer reports.
enum : unsigned long {
  kExceptionDatatypeMisalignment = 0x80000002UL,
  kExceptionAccessViolation = 0xC0000005UL,
  kExceptionInPageError = 0xC0000006UL,
  kExceptionIllegalInstruction = 0xC000001DUL,
  kExceptionArrayBoundsExceeded = 0xC000008CUL,
  kExceptionFltDivideByZero = 0xC000008EUL,
  kExceptionFltInexactResult = 0xC000008FUL,
  kExceptionFltInvalidOperation = 0xC0000090UL,
  kExceptionFltOverflow = 0xC0000091UL,
  kExceptionFltUnderflow = 0xC0000093UL,
  kExceptionIntDivideByZero = 0xC0000094UL,
  kExceptionIntOverflow = 0xC0000095UL,
  kExceptionPrivInstruction = 0xC0000096UL,
  kExceptionStackOverflow = 0xC00000FDUL,
};

// Kind of access of an access violation, in Windows numbering.
enum : unsigned long {
  kFaultRead = 0,
  kFaultWrite = 1,
  kFaultExecute = 8,
};

struct FaultInfo_t {
  unsigned long code;           // Windows exception code
  bool hasDataAddress;          // access violation, misalignment or in-page error
  unsigned long access;         // kFaultRead/Write/Execute; read when the processor does not tell
  std::uintptr_t dataAddress;   // the address that could not be accessed
  std::uintptr_t programAddress;  // the faulting instruction
  bool fatal;                   // cannot be translated safely: report, then the process ends
};

// Called on the faulting thread. When 'fatal' is false it should throw; when it is
// true (a stack overflow, a fault inside the memory allocator, whose lock the
// thread may hold, or a fault while a fault is being translated) it should
// only build its report and pass it to WriteFaultReport, without allocating; the
// process then ends with the fault's signal. A handler that returns from a non-fatal
// fault leaves the fault to the default behaviour.
using FaultHandler_t = void (*)(const FaultInfo_t& info);

// Sets the calling thread's fault handler (null: default behaviour) and returns the
// previous one. The first call in the process installs the signal handlers; the
// first call in a thread gives it an alternate signal stack, so that a stack
// overflow can still be reported.
FaultHandler_t SetThreadFaultHandler(FaultHandler_t handler);

// Writes the text and a line feed to the standard error stream; safe in a signal
// handler.
void WriteFaultReport(const char* text);

}  // namespace plat
