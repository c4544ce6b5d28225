// The settings store over real hive files in the test's own folders.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <linux/capability.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_FileOps.h"
#include "plat/PLAT_Registry.h"
#include "tests/common/TestEnv.h"

namespace {

// Each test writes its own user hive.
class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest()
      : m_folder(test::MakeTempDir("hive")),
        m_user("STRIDE_REGISTRY_USER", (m_folder + "/user.txt").c_str()) {}

  std::string UserFile() const { return m_folder + "/user.txt"; }

  plat::HKEY Create(const std::string& path, plat::HKEY parent = plat::kHkeyCurrentUser) {
    plat::HKEY key = 0;
    EXPECT_EQ(0, plat::RegCreateKeyEx(parent, path, plat::kKeyRead | plat::kKeyWrite, key)) << path;
    return key;
  }

  void Set(plat::HKEY key, const std::string& name, unsigned long type, const std::string& bytes) {
    ASSERT_EQ(0, plat::RegSetValueEx(key, name, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<unsigned long>(bytes.size())));
  }

  // The value's type and bytes, or the error code as the type when it cannot be read.
  std::pair<unsigned long, std::string> Get(plat::HKEY key, const std::string& name) {
    unsigned long type = 0;
    unsigned long size = 0;
    long rc = plat::RegQueryValueEx(key, name, &type, nullptr, &size);
    if (rc != 0) return {static_cast<unsigned long>(rc), "error"};
    std::string bytes(size, '\0');
    rc = plat::RegQueryValueEx(key, name, &type, reinterpret_cast<unsigned char*>(bytes.data()), &size);
    if (rc != 0) return {static_cast<unsigned long>(rc), "error"};
    return {type, bytes};
  }

  std::string m_folder;
  test::EnvOverride m_user;
};

TEST_F(RegistryTest, ValuesKeepTypeAndExactBytes) {
  const plat::HKEY key = Create("Software\\Vortan\\App");
  const struct {
    const char* name;
    unsigned long type;
    std::string bytes;
  } cases[] = {
      {"Text", plat::kRegSz, std::string("h\xc3\xa9llo\0", 7)},
      {"NoZero", plat::kRegSz, "abc"},
      {"EmptySz", plat::kRegSz, ""},
      {"Dword", plat::kRegDword, std::string("\x07\x00\x00\x00", 4)},
      {"Binary", plat::kRegBinary, std::string("\x00\xff\n\r=[%#\\", 9)},
      {"odd = [name] %41 #\\", plat::kRegBinary, "x"},
  };
  for (const auto& c : cases) Set(key, c.name, c.type, c.bytes);
  // The same file read as the machine's hive gives the same.
  const std::string machine = m_folder + "/machine.txt";
  test::WriteFile(machine, test::ReadFile(UserFile()));
  test::EnvOverride env("STRIDE_REGISTRY_MACHINE", machine.c_str());
  plat::HKEY copy = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyLocalMachine, "SOFTWARE\\vortan\\app", plat::kKeyRead, copy));
  for (plat::HKEY k : {key, copy}) {
    for (const auto& c : cases) {
      const auto got = Get(k, c.name);
      EXPECT_EQ(c.type, got.first) << c.name;
      EXPECT_EQ(c.bytes, got.second) << c.name;
    }
  }
  plat::RegCloseKey(copy);
  plat::RegCloseKey(key);
}

TEST_F(RegistryTest, NamesAreCaseInsensitiveAndKeepTheirCase) {
  const plat::HKEY a = Create("Software\\VORTAN");
  plat::HKEY b = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "software\\Vortan", plat::kKeyRead, b));
  Set(a, "Units", plat::kRegBinary, "1");
  Set(a, "UNITS", plat::kRegBinary, "2");
  EXPECT_EQ("2", Get(b, "units").second);
  unsigned long subKeys = 0, values = 0;
  ASSERT_EQ(0, plat::RegQueryInfoKey(b, &subKeys, nullptr, &values, nullptr));
  EXPECT_EQ(0u, subKeys);
  EXPECT_EQ(1u, values);
  char name[16];
  unsigned long length = sizeof name;
  ASSERT_EQ(0, plat::RegEnumValue(b, 0, name, length));
  EXPECT_EQ("Units", std::string(name, length));  // the first spelling stays
  plat::HKEY software = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "SOFTWARE", plat::kKeyRead, software));
  length = sizeof name;
  ASSERT_EQ(0, plat::RegEnumKeyEx(software, 0, name, length));
  EXPECT_EQ("VORTAN", std::string(name, length));
  for (plat::HKEY k : {a, b, software}) plat::RegCloseKey(k);
}

TEST_F(RegistryTest, SubkeysEnumerateByNameWithoutCase) {
  const plat::HKEY root = Create("Root");
  for (const char* name : {"delta", "Alpha", "charlie", "Bravo"}) plat::RegCloseKey(Create(name, root));
  std::vector<std::string> names;
  for (unsigned long i = 0;; ++i) {
    char name[8];
    unsigned long length = sizeof name;
    const long rc = plat::RegEnumKeyEx(root, i, name, length);
    if (rc == static_cast<long>(plat::kErrorNoMoreItems)) break;
    ASSERT_EQ(0, rc);
    names.emplace_back(name, length);
  }
  EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta"}), names);
  plat::RegCloseKey(root);
}

TEST_F(RegistryTest, ErrorCodesAsOnWindows) {
  const plat::HKEY key = Create("Codes");
  Set(key, "Four", plat::kRegBinary, "1234");
  plat::HKEY other = 0;
  unsigned char buffer[2];
  unsigned long size = sizeof buffer;
  EXPECT_EQ(static_cast<long>(plat::kErrorFileNotFound), plat::RegOpenKeyEx(key, "Missing", plat::kKeyRead, other));
  EXPECT_EQ(static_cast<long>(plat::kErrorFileNotFound), plat::RegQueryValueEx(key, "Missing", nullptr, nullptr, nullptr));
  EXPECT_EQ(static_cast<long>(plat::kErrorFileNotFound), plat::RegDeleteValue(key, "Missing"));
  EXPECT_EQ(static_cast<long>(plat::kErrorMoreData), plat::RegQueryValueEx(key, "Four", nullptr, buffer, &size));
  EXPECT_EQ(4u, size);  // the size needed
  char name[4];
  unsigned long length = sizeof name;
  EXPECT_EQ(static_cast<long>(plat::kErrorMoreData), plat::RegEnumValue(key, 0, name, length));  // "Four" + zero
  EXPECT_EQ(static_cast<long>(plat::kErrorNoMoreItems), plat::RegEnumValue(key, 1, name, length));
  EXPECT_EQ(static_cast<long>(plat::kErrorInvalidParameter), plat::RegCreateKeyEx(key, "a\\\\b", plat::kKeyRead, other));

  // A key opened for reading refuses changes; so does the machine's hive.
  plat::HKEY readOnly = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "Codes", plat::kKeyRead, readOnly));
  EXPECT_EQ(static_cast<long>(plat::kErrorAccessDenied), plat::RegSetValueEx(readOnly, "X", plat::kRegSz, nullptr, 0));
  EXPECT_EQ(static_cast<long>(plat::kErrorAccessDenied), plat::RegDeleteValue(readOnly, "Four"));
  EXPECT_EQ(static_cast<long>(plat::kErrorAccessDenied),
            plat::RegCreateKeyEx(plat::kHkeyLocalMachine, "Software\\Vortan", plat::kKeyRead | plat::kKeyWrite, other));
  EXPECT_EQ(static_cast<long>(plat::kErrorAccessDenied),
            plat::RegOpenKeyEx(plat::kHkeyLocalMachine, "Software\\Vortan", plat::kKeyWrite, other));
  EXPECT_EQ(static_cast<long>(plat::kErrorInvalidHandle), plat::RegCloseKey(0x7777));
  plat::RegCloseKey(readOnly);
  plat::RegCloseKey(key);
}

TEST_F(RegistryTest, MachineHiveShipsTheMakersKeyAndReadsItsFile) {
  plat::HKEY key = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyLocalMachine, "Software\\Vortan\\", plat::kKeyRead, key));
  plat::RegCloseKey(key);
  const std::string machine = m_folder + "/machine.txt";
  test::WriteFile(machine, "STRIDE-REGISTRY 1\n[Software\\Vortan\\Maps]\nInstallDir=1:2F6D617000\nEND\n");
  test::EnvOverride env("STRIDE_REGISTRY_MACHINE", machine.c_str());
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyLocalMachine, "Software\\Vortan\\Maps", plat::kKeyRead, key));
  EXPECT_EQ(std::string("/map\0", 5), Get(key, "InstallDir").second);
  plat::RegCloseKey(key);
}

TEST_F(RegistryTest, DamagedFileIsReadAsFarAsValidAndKeptAside) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"bad line", "STRIDE-REGISTRY 1\n[K]\nA=3:41\nB=3:4\nC=3:43\nEND\n"},
      {"bad key line", "STRIDE-REGISTRY 1\n[K]\nA=3:41\n[K\\\\L]\nB=3:42\n[K]\nC=3:43\nEND\n"},
      {"cut short", "STRIDE-REGISTRY 1\n[K]\nA=3:41\nB=3:4"},
      {"no end mark", "STRIDE-REGISTRY 1\n[K]\nA=3:41\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(UserFile() + ".damaged");
    test::WriteFile(UserFile(), c.text);
    plat::HKEY key = 0;
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "K", plat::kKeyRead | plat::kKeyWrite, key));
    EXPECT_EQ("A", Get(key, "A").second);
    // A damaged line is skipped; the settings after it stay (a value under a
    // damaged key line cannot be placed and goes with it).
    const bool afterDamage = c.text.find("C=3:43") != std::string::npos;
    if (afterDamage) {
      EXPECT_EQ("C", Get(key, "C").second);
    } else {
      EXPECT_EQ(static_cast<unsigned long>(plat::kErrorFileNotFound), Get(key, "C").first);
    }
    EXPECT_EQ(static_cast<unsigned long>(plat::kErrorFileNotFound), Get(key, "B").first);
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, report.find(UserFile() + " is damaged"));
    EXPECT_EQ(report.find(" is damaged"), report.rfind(" is damaged"));  // once
    EXPECT_FALSE(std::filesystem::exists(UserFile() + ".damaged"));  // reading changes nothing
    Set(key, "D", plat::kRegBinary, "D");
    EXPECT_EQ(c.text, test::ReadFile(UserFile() + ".damaged"));
    EXPECT_EQ("A", Get(key, "A").second);
    EXPECT_EQ("D", Get(key, "D").second);
    if (afterDamage) {
      EXPECT_EQ("C", Get(key, "C").second);  // kept by the write, too
    }
    plat::RegCloseKey(key);
  }
}

TEST_F(RegistryTest, HiveThatCannotBeReadIsAnErrorNotAnEmptyHive) {
  std::filesystem::create_directories(UserFile());  // exists, but no file can be read there
  plat::HKEY key = 0;
  EXPECT_EQ(static_cast<long>(plat::kErrorCantRead), plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "", plat::kKeyRead, key));
  EXPECT_EQ(static_cast<long>(plat::kErrorCantRead),
            plat::RegCreateKeyEx(plat::kHkeyCurrentUser, "New", plat::kKeyRead | plat::kKeyWrite, key));
  EXPECT_TRUE(std::filesystem::is_directory(UserFile()));
}

TEST_F(RegistryTest, TwoProcessesWritingOneHiveKeepBothChanges) {
  plat::RegCloseKey(Create("Shared"));
  constexpr int kWrites = 40;
  auto writeAll = [](const char* prefix) {
    plat::HKEY key = 0;
    if (plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "Shared", plat::kKeyRead | plat::kKeyWrite, key) != 0) return false;
    for (int i = 0; i < kWrites; ++i) {
      const std::string name = prefix + std::to_string(i);
      if (plat::RegSetValueEx(key, name, plat::kRegSz, reinterpret_cast<const unsigned char*>(name.c_str()),
                              static_cast<unsigned long>(name.size() + 1)) != 0)
        return false;
    }
    plat::RegCloseKey(key);
    return true;
  };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(writeAll("child") ? 0 : 1);
  EXPECT_TRUE(writeAll("parent"));
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  plat::HKEY key = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "Shared", plat::kKeyRead, key));
  unsigned long values = 0;
  ASSERT_EQ(0, plat::RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr));
  EXPECT_EQ(2u * kWrites, values);
  EXPECT_EQ(std::string("child7\0", 7), Get(key, "child7").second);
  EXPECT_EQ(std::string("parent39\0", 9), Get(key, "parent39").second);
  plat::RegCloseKey(key);
}

// Bytes this process has read from files and pipes so far.
long long BytesRead() {
  const std::string io = test::ReadFile("/proc/self/io");
  const auto at = io.find("rchar: ");
  return at == std::string::npos ? -1 : std::stoll(io.substr(at + 7));
}

// Looks at an unchanged hive come from memory: the file is not read again.
// Another process's change is seen at once.
TEST_F(RegistryTest, UnchangedHiveIsReadOnce) {
  std::string text = "STRIDE-REGISTRY 1\n[Big]\n";
  for (int i = 0; i < 4000; ++i) text += "Value" + std::to_string(i) + "=3:0102030405060708090A\n";
  text += "END\n";
  test::WriteFile(UserFile(), text);
  // A file last changed an hour ago.
  const timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, UserFile().c_str(), old, 0));
  plat::HKEY key = 0;
  ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "Big", plat::kKeyRead, key));
  EXPECT_EQ(std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A"), Get(key, "Value0").second);
  const long long before = BytesRead();
  ASSERT_GE(before, 0);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(3ul, Get(key, "Value" + std::to_string(i * 13)).first);
  EXPECT_LT(BytesRead() - before, static_cast<long long>(text.size()));

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    plat::HKEY k = 0;
    const unsigned char byte = 0x5A;
    ::_exit(plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "Big", plat::kKeyRead | plat::kKeyWrite, k) == 0 &&
                    plat::RegSetValueEx(k, "Value0", plat::kRegBinary, &byte, 1) == 0
                ? 0
                : 1);
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ("Z", Get(key, "Value0").second);
  plat::RegCloseKey(key);
}

// The hive file keeps its permissions; a hive reached through a link is
// written where the link leads.
TEST_F(RegistryTest, WritesKeepTheFileModeAndFollowLinks) {
  const std::string real = m_folder + "/real";
  std::filesystem::create_directories(real);
  test::WriteFile(real + "/hive.txt", "STRIDE-REGISTRY 1\nEND\n");
  ASSERT_EQ(0, ::chmod((real + "/hive.txt").c_str(), 0640));
  std::filesystem::create_symlink("real/hive.txt", UserFile());
  plat::HKEY key = Create("Linked");
  Set(key, "V", plat::kRegBinary, "v");
  plat::RegCloseKey(key);
  EXPECT_TRUE(std::filesystem::is_symlink(UserFile()));
  EXPECT_NE(test::ReadFile(real + "/hive.txt").find("[Linked]"), std::string::npos);
  struct stat st;
  ASSERT_EQ(0, ::stat((real + "/hive.txt").c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Gives up the rights that pass over file permissions (held by root), so that
// permissions apply to this process as to any user's.
bool DropPermissionOverrides() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[2]{};
  if (::syscall(SYS_capget, &header, caps) != 0) return false;
  caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
  return ::syscall(SYS_capset, &header, caps) == 0;
}

// A folder that cannot be opened to sync a change (it may be written, not
// read) or whose file system does not sync folders leaves the change saved:
// it reads back from the file, with what was saved before. Any other error of
// the folder's sync reports the change as not written.
TEST_F(RegistryTest, FolderSyncFailsTheWriteOnlyOnARealError) {
  const struct {
    const char* what;
    bool sealed;  // a real folder of mode 0300, written by a process without permission overrides
    int err;      // else the errno value that the folder's sync meets
    long rc;
  } cases[] = {
      {"folder cannot be read", true, 0, 0},
      {"sync not supported (EINVAL)", false, EINVAL, 0},
      {"sync not supported (EBADF)", false, EBADF, 0},
      {"sync fails", false, EIO, static_cast<long>(plat::kErrorCantWrite)},
      {"disk full", false, ENOSPC, static_cast<long>(plat::kErrorCantWrite)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = test::MakeTempDir("sync");
    if (c.sealed) {
      ASSERT_EQ(0, ::chmod(folder.c_str(), 0300));  // entries can be made and renamed, the folder not opened
    }
    test::EnvOverride env("STRIDE_REGISTRY_USER", (folder + "/user.txt").c_str());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (c.sealed && !DropPermissionOverrides()) ::_exit(100);
      const unsigned char before = '1';
      const unsigned char change = '2';
      plat::HKEY key = 0;
      if (plat::RegCreateKeyEx(plat::kHkeyCurrentUser, "K", plat::kKeyWrite, key) != 0 ||
          plat::RegSetValueEx(key, "Before", plat::kRegBinary, &before, 1) != 0)
        ::_exit(1);
      plat::SetFolderFaultForTests(plat::FolderStep_t::kSync, c.err);
      ::_exit(plat::RegSetValueEx(key, "Change", plat::kRegBinary, &change, 1) == c.rc ? 0 : 2);
    }
    int status = 0;
    const pid_t ended = ::waitpid(child, &status, 0);
    ::chmod(folder.c_str(), 0700);  // readable again, so that the test's folder can be removed
    ASSERT_EQ(child, ended);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(0, WEXITSTATUS(status)) << "1: an earlier write failed, 2: the change answered otherwise (expected "
                                      << c.rc << "), 100: no test";
    // This process never read that hive: it comes from the file.
    plat::HKEY key = 0;
    ASSERT_EQ(0, plat::RegOpenKeyEx(plat::kHkeyCurrentUser, "K", plat::kKeyRead, key));
    EXPECT_EQ("1", Get(key, "Before").second);
    if (c.rc == 0) {
      EXPECT_EQ("2", Get(key, "Change").second);
    }
    plat::RegCloseKey(key);
  }
}

// Temporary files of writers that were killed go; one of a process that
// still runs stays.
TEST_F(RegistryTest, LeftoverTemporaryFilesOfDeadWritersAreRemoved) {
  plat::RegCloseKey(Create("K"));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  const std::string dead = UserFile() + ".tmp-" + std::to_string(child);
  const std::string alive = UserFile() + ".tmp-1";
  test::WriteFile(dead, "STRIDE-REGISTRY 1\n[Ha");
  test::WriteFile(alive, "STRIDE-REGISTRY 1\n[Ha");
  plat::RemoveLeftoverHiveFiles();
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_TRUE(std::filesystem::exists(alive));
  EXPECT_TRUE(std::filesystem::exists(UserFile()));
}

}  // namespace
