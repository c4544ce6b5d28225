// Benchmark of the settings store on a hive file of its own (in a fresh
// temporary folder, removed at the end):
//  - lookups of an unchanged store: a value read through an open key, as the
//    settings objects do (target: at most 10 us each);
//  - a value's existence asked for, then read (the two calls of a typed read);
//  - lookups while another process keeps changing the file (each change is
//    read again);
//  - writes (each one the whole file, flushed and renamed into place).
// Usage: registry_bench [lookups]   (default 200000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "plat/PLAT_Registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool SetInt(plat::HKEY key, const std::string& name, int value) {
  return plat::RegSetValueEx(key, name, plat::kRegBinary, reinterpret_cast<const unsigned char*>(&value),
                             sizeof value) == 0;
}

bool GetInt(plat::HKEY key, const std::string& name, int& value) {
  unsigned long type = 0;
  unsigned long size = sizeof value;
  return plat::RegQueryValueEx(key, name, &type, reinterpret_cast<unsigned char*>(&value), &size) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int lookups = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200000;
  char folderTemplate[] = "/tmp/registry-bench-XXXXXX";
  if (!::mkdtemp(folderTemplate)) return 1;
  const std::string folder = folderTemplate;
  ::setenv("STRIDE_REGISTRY_USER", (folder + "/registry-user.txt").c_str(), 1);

  // A store the size of the program's own: a settings key with some dozens of
  // values and a few subkeys.
  plat::HKEY settings = 0;
  if (plat::RegCreateKeyEx(plat::kHkeyCurrentUser, "Software\\Vortan\\Stridemere Logbook\\Settings",
                           plat::kKeyRead | plat::kKeyWrite, settings) != 0)
    return 1;
  for (int i = 0; i < 40; ++i)
    if (!SetInt(settings, "Value" + std::to_string(i), i)) return 1;
  for (const char* sub : {"ToolBars\\DockState", "Units", "Comm", "Dialogs\\Transfer"}) {
    plat::HKEY key = 0;
    if (plat::RegCreateKeyEx(settings, sub, plat::kKeyRead | plat::kKeyWrite, key) != 0) return 1;
    for (int i = 0; i < 8; ++i) SetInt(key, "Item" + std::to_string(i), i);
    plat::RegCloseKey(key);
  }
  const std::uintmax_t fileSize = std::filesystem::file_size(folder + "/registry-user.txt");

  // Lookups of the unchanged store.
  long long sum = 0;
  auto start = Clock::now();
  for (int i = 0; i < lookups; ++i) {
    int value = 0;
    if (!GetInt(settings, "Value" + std::to_string(i % 40), value)) return 1;
    sum += value;
  }
  const double lookupUs = Seconds(start) * 1e6 / lookups;

  // Existence, then the value.
  start = Clock::now();
  for (int i = 0; i < lookups; ++i) {
    const std::string name = "Value" + std::to_string(i % 40);
    unsigned long type = 0;
    if (plat::RegQueryValueEx(settings, name, &type, nullptr, nullptr) != 0) return 1;
    int value = 0;
    if (!GetInt(settings, name, value)) return 1;
    sum += value;
  }
  const double pairUs = Seconds(start) * 1e6 / lookups;

  // Writes.
  const int writes = 200;
  start = Clock::now();
  for (int i = 0; i < writes; ++i)
    if (!SetInt(settings, "Value" + std::to_string(i % 40), i)) return 1;
  const double writeUs = Seconds(start) * 1e6 / writes;

  // Lookups while another process writes the hive now and then.
  const pid_t child = ::fork();
  if (child == 0) {
    plat::HKEY key = 0;
    if (plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "Software\\Vortan\\Stridemere Logbook\\Settings",
                           plat::kKeyRead | plat::kKeyWrite, key) != 0)
      ::_exit(1);
    for (int i = 0; i < 100; ++i) {
      SetInt(key, "Other", i);
      ::usleep(2000);
    }
    ::_exit(0);
  }
  int changedLookups = 0;
  start = Clock::now();
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    int value = 0;
    if (!GetInt(settings, "Value" + std::to_string(changedLookups % 40), value)) return 1;
    ++changedLookups;
  }
  const double changedUs = Seconds(start) * 1e6 / std::max(1, changedLookups);

  plat::RegCloseKey(settings);
  std::filesystem::remove_all(folder);
  std::printf("hive file: %ju bytes, 76 values\n", fileSize);
  std::printf("lookup of an unchanged store:       %8.2f us  (target <= 10 us)\n", lookupUs);
  std::printf("existence and value (typed read):   %8.2f us\n", pairUs);
  std::printf("lookup while another process writes: %7.2f us  (%d lookups)\n", changedUs, changedLookups);
  std::printf("write (whole file, flushed):        %8.2f us\n", writeUs);
  return sum == -1 ? 1 : 0;
}
