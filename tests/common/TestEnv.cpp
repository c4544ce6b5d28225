#include "tests/common/TestEnv.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace test {

namespace {
std::string& HomeSlot() {
  static std::string home;
  return home;
}
}  // namespace

void InitEnvironment() {
  char tmpl[] = "/tmp/stride-test-XXXXXX";
  const char* dir = ::mkdtemp(tmpl);
  if (!dir) throw std::runtime_error("cannot create the test folder");
  HomeSlot() = dir;
  const std::string home = dir;
  for (const char* sub : {"data", "config", "tmp"}) fs::create_directories(home + "/" + sub);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  ::setenv("TMPDIR", (home + "/tmp").c_str(), 1);
  // The machine's settings hive: a file of the test's own (missing until a test fills it).
  ::setenv("STRIDE_REGISTRY_MACHINE", (home + "/machine/registry-machine.txt").c_str(), 1);
  ::unsetenv("STRIDE_REGISTRY_USER");
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // A zone with daylight saving, so that nothing silently depends on UTC.
  if (!std::getenv("STRIDE_KEEP_TZ")) ::setenv("TZ", "Europe/Berlin", 1);
  ::tzset();
}

void RemoveEnvironment() {
  if (!HomeSlot().empty() && !std::getenv("STRIDE_KEEP_TEST_HOME")) {
    std::error_code ec;
    fs::remove_all(HomeSlot(), ec);
  }
}

const std::string& Home() { return HomeSlot(); }

std::string MakeTempDir(const std::string& stem) {
  static int counter = 0;
  std::string path = Home() + "/" + stem + std::to_string(++counter);
  fs::create_directories(path);
  return path;
}

std::string ExeDir() {
  return fs::canonical("/proc/self/exe").parent_path().string();
}

EnvOverride::EnvOverride(const char* name, const char* value) : m_name(name) {
  if (const char* old = std::getenv(name)) {
    m_old = old;
    m_had = true;
  }
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
}

EnvOverride::~EnvOverride() {
  if (m_had)
    ::setenv(m_name.c_str(), m_old.c_str(), 1);
  else
    ::unsetenv(m_name.c_str());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string XmlLintErrors(const std::string& path) {
  const std::string command = "xmllint --noout '" + path + "' 2>&1; echo \"exit $?\"";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "cannot run xmllint";
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  pclose(pipe);
  return output == "exit 0\n" ? std::string() : output;
}

}  // namespace test
