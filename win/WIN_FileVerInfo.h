#pragma once
// The version information block of a program file (executable or language module),
// read from the file by its path without loading it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace win {

class FileVerInfo_t {
 public:
  // Reads the block; a file that cannot be read or has no block throws win::Error_t.
  explicit FileVerInfo_t(const std::string& path);

  // The first (language, code page) pair of "\VarFileInfo\Translation", the
  // language in the low 16 bits. glo::Assert_t when the entry is missing or does
  // not hold exactly one pair.
  uint32_t Translation() const;

  // The text "\StringFileInfo\<language><code page>\<name>" of the first
  // translation (each as four lower-case hexadecimal digits); win::Error_t when
  // it is missing.
  std::string StringValue(const std::string& name) const;

  // The "ClassNameGuid" text: the class name of the main window.
  std::string ClassNameGuid() const;

  // The file version as major, minor, third and fourth number; glo::Assert_t when
  // the block has no fixed information.
  std::array<unsigned, 4> FileVersion() const;

  const std::string& Path() const { return m_path; }

 private:
  std::vector<unsigned char> m_block;
  std::string m_path;
};

}  // namespace win
