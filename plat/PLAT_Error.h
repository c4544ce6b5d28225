#pragma once
// Last-error codes of the platform layer. Every failing call of plat/ leaves a
// Windows-numbered code in a per-thread slot, as the system calls it stands in
// for did, and the English system text of each code is available here.
#include <cerrno>
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

// Helpers of a failing call: store the last error and answer false. FailWith
// takes a Windows code, FailWithErrno a POSIX errno value (stored as the code
// that stands for it); the two numberings differ (13 is EACCES but "the data is
// invalid"), so each refuses the other's type.
bool FailWith(unsigned long code);
bool FailWith(int) = delete;
bool FailWithErrno(int err);
bool FailWithErrno(unsigned long) = delete;

}  // namespace plat
