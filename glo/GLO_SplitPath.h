#pragma once
// SplitPath_t: a path split into its folder (with its trailing separator), its file
// name (without folder and extension) and its extension (with its dot). A name that
// starts with a dot and has no other dot (".profile") has no extension.
#include <string>

namespace glo {

class SplitPath_t {
 public:
  explicit SplitPath_t(const std::string& path);

  const std::string& Folder() const { return m_folder; }
  const std::string& FileName() const { return m_fileName; }
  const std::string& Extension() const { return m_extension; }

 private:
  std::string m_folder;
  std::string m_fileName;
  std::string m_extension;
};

}  // namespace glo
