#pragma once
// Last-error codes of the platform layer. Every failing call of plat/ leaves a
// Windows-numbered code in a per-thread slot, as the system calls it stands in
// for did, and the English system text of each code is available here.
#include <cerrno>
#include <cstddef>
#include <string>

namespace plat {

// Codes the layer reports (Windows numbering).
enum : unsigned long {
  kErrorSuccess = 0,
  kErrorInvalidFunction = 1,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorInvalidData = 13,
  kErrorOutOfMemory = 14,
  kErrorNoMoreFiles = 18,
  kErrorWriteProtect = 19,
  kErrorNotReady = 21,
  kErrorCrc = 23,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorGenFailure = 31,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorHandleEof = 38,
  kErrorNotSupported = 50,
  kErrorFileExists = 80,
  kErrorCannotMake = 82,
  kErrorInvalidParameter = 87,
  kErrorBrokenPipe = 109,
  kErrorDiskFull = 112,
  kErrorInsufficientBuffer = 122,
  kErrorInvalidName = 123,
  kErrorModNotFound = 126,
  kErrorProcNotFound = 127,
  kErrorDirNotEmpty = 145,
  kErrorAlreadyExists = 183,
  kErrorFilenameExcedRange = 206,
  kErrorFileTooLarge = 223,
  kErrorMoreData = 234,
  kErrorNoMoreItems = 259,
  kErrorMrMidNotFound = 317,
  kErrorOperationAborted = 995,
  kErrorIoIncomplete = 996,
  kErrorIoPending = 997,
  kErrorInvalidFlags = 1004,
  kErrorBadDbFormat = 1009,  // "The configuration registry database is corrupt."
  kErrorBadKey = 1010,
  kErrorCantOpenKey = 1011,
  kErrorCantRead = 1012,
  kErrorCantWrite = 1013,
  kErrorIoDevice = 1117,
  kErrorNotFound = 1168,
  kErrorRevisionMismatch = 1306,  // a module of another version than the one needed
  kErrorNoSystemResources = 1450,
  kErrorTimeout = 1460,
  kErrorResourceDataNotFound = 1812,
  kErrorResourceTypeNotFound = 1813,
  kErrorResourceNameNotFound = 1814,
  kErrorResourceLangNotFound = 1815,
};

// The calling thread's last error.
unsigned long GetLastError();
void SetLastError(unsigned long code);

// The Windows code that stands for a POSIX errno value.
unsigned long ErrnoToError(int err);
// Stores ErrnoToError(err) as the last error and returns it.
unsigned long SetLastErrorFromErrno(int err);

// The English system text of a code, ending in "\r\n" as the system gives it.
// False (and last error 317) when the layer has no text for the code.
bool FormatMessage(unsigned long code, std::string& text);

// Calls 'call' (a system call that answers -1 and errno on failure) again for as
// long as it fails with EINTR, and answers its last result.
template <typename Call>
auto RetryOnInterrupt(Call call) -> decltype(call()) {
  for (;;) {
    const auto result = call();
    if (!(result == -1 && errno == EINTR)) return result;
  }
}

// Called by WriteAll while the descriptor takes nothing (its queue is full): waits
// a little for room and answers true to go on, or sets the last error and answers
// false to give the write up. Null: a plain wait for room of up to 100 ms.
using WaitForRoom = bool (*)(int fd, void* context);

// Writes all 'count' bytes to the descriptor, blocking or not: a write cut short
// goes on with the rest, EINTR is retried, a full queue is waited out with
// 'wait'. 'written' is the count that went out. False with the last error set
// when a write fails, when 'wait' gives up, or with error 1460 when nothing went
// out for 'stallMs'. Safe in a signal handler (it neither allocates nor locks).
bool WriteAll(int fd, const void* bytes, std::size_t count, std::size_t& written, unsigned long stallMs,
              WaitForRoom wait = nullptr, void* context = nullptr);

// Full path of the running executable, and its folder (without a separator).
std::string ModulePath();
std::string ModuleDir();

}  // namespace plat
