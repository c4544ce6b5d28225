#pragma once
// The private world every test process runs in: a fresh temporary folder that
// stands in for the home, data, config and temp folders, removed at exit.
#include <string>

namespace test {

// The temporary folder of this test process (ends without a separator).
const std::string& Home();

// A fresh, empty sub-folder of Home() (ends without a separator).
std::string MakeTempDir(const std::string& stem = "dir");

// Folder of the running test executable (where the language module lives).
std::string ExeDir();

// Sets (or, with a null value, removes) an environment variable for the life of
// the object, and puts back what was there before.
class EnvOverride {
 public:
  EnvOverride(const char* name, const char* value);
  ~EnvOverride();
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

 private:
  std::string m_name;
  std::string m_old;
  bool m_had = false;
};

// Writes a whole file; throws std::runtime_error on failure.
void WriteFile(const std::string& path, const std::string& bytes);
// Reads a whole file; throws std::runtime_error on failure.
std::string ReadFile(const std::string& path);

// What the XML parser (xmllint) says of the file; empty when it is well-formed.
std::string XmlLintErrors(const std::string& path);

}  // namespace test
