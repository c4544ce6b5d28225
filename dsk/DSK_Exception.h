#pragma once
// Exceptions of the image layer. The file errors carry the name of the file of
// the image concerned (empty when no file is bound) as their message.
#include <cstdint>
#include <string>

#include "glo/GLO_Exception.h"

namespace dsk {

class FileError_t : public glo::Exception_t {
 public:
  FileError_t(const char* file, int line, const std::string& fileName)
      : glo::Exception_t(file, line, fileName), m_fileName(fileName) {}
  const std::string& FileName() const { return m_fileName; }

 private:
  std::string m_fileName;
};

class FileNotOpen_t : public FileError_t {
 public:
  using FileError_t::FileError_t;
};

class BadFile_t : public FileError_t {
 public:
  using FileError_t::FileError_t;
};

// The message is the rejected name.
class BadFileName_t : public FileError_t {
 public:
  using FileError_t::FileError_t;
};

class FileIsOpen_t : public FileError_t {
 public:
  using FileError_t::FileError_t;
};

class FileNotFound_t : public FileError_t {
 public:
  using FileError_t::FileError_t;
};

// A position outside the file, with the position that was wanted.
class BadFilePosition_t : public FileError_t {
 public:
  BadFilePosition_t(const char* file, int line, const std::string& fileName, std::uint64_t position)
      : FileError_t(file, line, fileName), m_position(position) {}
  std::uint64_t Position() const { return m_position; }

 private:
  std::uint64_t m_position;
};

// Malformed image data.
class BadStream_t : public glo::Exception_t {
 public:
  BadStream_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
};

class RootDirFull_t : public glo::Exception_t {
 public:
  RootDirFull_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
};

class DiskFull_t : public glo::Exception_t {
 public:
  DiskFull_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
};

}  // namespace dsk
