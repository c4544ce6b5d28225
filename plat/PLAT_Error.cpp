#include "plat/PLAT_Error.h"

#include <cerrno>

namespace plat {

namespace {

thread_local unsigned long t_lastError = 0;

struct ErrorText {
  unsigned long code;
  const char* text;
};

constexpr ErrorText kTexts[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {13, "The data is invalid."},
    {14, "Not enough memory resources are available to complete this operation."},
    {18, "There are no more files."},
    {19, "The media is write protected."},
    {21, "The device is not ready."},
    {23, "Data error (cyclic redundancy check)."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {31, "A device attached to the system is not functioning."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {38, "Reached the end of the file."},
    {50, "The request is not supported."},
    {80, "The file exists."},
    {82, "The directory or file cannot be created."},
    {87, "The parameter is incorrect."},
    {109, "The pipe has been ended."},
    {112, "There is not enough space on the disk."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {145, "The directory is not empty."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {223, "The file size exceeds the limit allowed and cannot be saved."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {317, "The system cannot find message text for the message number."},
    {995, "The I/O operation has been aborted because of either a thread exit or an application request."},
    {996, "Overlapped I/O event is not in a signaled state."},
    {997, "Overlapped I/O operation is in progress."},
    {1004, "Invalid flags."},
    {1009, "The configuration registry database is corrupt."},
    {1010, "The configuration registry key is invalid."},
    {1011, "The configuration registry key could not be opened."},
    {1012, "The configuration registry key could not be read."},
    {1013, "The configuration registry key could not be written."},
    {1117, "The request could not be performed because of an I/O device error."},
    {1168, "Element not found."},
    {1306, "Indicates two revision levels are incompatible."},
    {1450, "Insufficient system resources exist to complete the requested service."},
    {1460, "This operation returned because the timeout period expired."},
    {1812, "The specified image file did not contain a resource section."},
    {1813, "The specified resource type cannot be found in the image file."},
    {1814, "The specified resource name cannot be found in the image file."},
    {1815, "The specified resource language ID cannot be found in the image file."},
};

}  // namespace

unsigned long GetLastError() { return t_lastError; }

void SetLastError(unsigned long code) { t_lastError = code; }

unsigned long ErrnoToError(int err) {
  switch (err) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EROFS: return kErrorWriteProtect;
    case EEXIST: return kErrorFileExists;
    case EINVAL: return kErrorInvalidParameter;
    case EPIPE: return kErrorBrokenPipe;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ETIMEDOUT: return kErrorTimeout;
    case EFBIG: return kErrorFileTooLarge;
    case EOVERFLOW: return kErrorInvalidParameter;
    case ENOTSUP: return kErrorNotSupported;
    case ENXIO:
    case ENODEV: return kErrorFileNotFound;
    case EINTR: return kErrorOperationAborted;
    default: return kErrorIoDevice;
  }
}

unsigned long SetLastErrorFromErrno(int err) {
  const unsigned long code = ErrnoToError(err);
  SetLastError(code);
  return code;
}

bool FormatMessage(unsigned long code, std::string& text) {
  for (const ErrorText& entry : kTexts) {
    if (entry.code == code) {
      text = entry.text;
      text += "\r\n";
      return true;
    }
  }
  SetLastError(kErrorMrMidNotFound);
  return false;
}

bool FailWith(unsigned long code) {
  SetLastError(code);
  return false;
}

bool FailWithErrno(int err) {
  SetLastErrorFromErrno(err);
  return false;
}

}  // namespace plat
