// Files: creating, opening, sizes, flushing and the errors of failed opens.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "plat/PLAT_Error.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"
#include "win/WIN_File.h"

namespace {

TEST(FileTest, CreateWriteSizeAndReadWhole) {
  const std::string dir = test::MakeTempDir("file");
  const std::string path = dir + "/data.bin";
  {
    win::File_t file(path, plat::kGenericRead | plat::kGenericWrite, plat::kCreateNew);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Size(), 0u);
    file.Flush();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    file.Close();  // closing again does nothing
  }
  test::WriteFile(path, std::string("abc\0def", 7));
  win::File_t reader(path, plat::kGenericRead, plat::kOpenExisting);
  EXPECT_EQ(reader.Size(), 7u);
  EXPECT_EQ(win::ReadWholeFile(path), std::string("abc\0def", 7));
}

TEST(FileTest, SizeIsSixtyFourBits) {
  const std::string path = test::MakeTempDir("big") + "/sparse.bin";
  test::WriteFile(path, "");
  ASSERT_EQ(::truncate(path.c_str(), (5LL << 30) + 3), 0);  // sparse: takes no disk space
  win::File_t file(path, plat::kGenericRead, plat::kOpenExisting);
  EXPECT_EQ(file.Size(), (5ULL << 30) + 3);
}

TEST(FileTest, FailedOpensCarryTheSystemCodeAndText) {
  const std::string dir = test::MakeTempDir("fail");
  test::WriteFile(dir + "/exists.bin", "x");
  struct Case {
    const char* name;
    std::string path;
    unsigned long access;
    unsigned long disposition;
    unsigned long code;
    const char* text;
  } cases[] = {
      {"missing file", dir + "/none.bin", plat::kGenericRead, plat::kOpenExisting, 2,
       "The system cannot find the file specified."},
      {"missing folder", dir + "/nofolder/x.bin", plat::kGenericRead, plat::kOpenExisting, 3,
       "The system cannot find the path specified."},
      {"new over existing", dir + "/exists.bin", plat::kGenericWrite, plat::kCreateNew, 80, "The file exists."},
      {"a folder", dir, plat::kGenericRead, plat::kOpenExisting, 5, "Access is denied."},
  };
  for (const Case& c : cases) {
    try {
      win::File_t file(c.path, c.access, c.disposition);
      ADD_FAILURE() << c.name << ": opened";
    } catch (const win::FileError_t& e) {
      EXPECT_EQ(e.ErrorCode(), c.code) << c.name;
      EXPECT_STREQ(e.SourceFile(), "WIN_File.cpp") << c.name;
      EXPECT_EQ(std::string(e.what()),
                "Windows Error Code: " + std::to_string(c.code) + "\n" + c.text + "\r\n")
          << c.name;
    }
  }
}

TEST(FileTest, DeniedByPermissions) {
  std::string path = test::MakeTempDir("denied") + "/locked.bin";
  unsigned long access = plat::kGenericRead;
  if (::geteuid() == 0) {
    // Permission bits do not bind the superuser, but a read-only kernel setting
    // refuses writing even to it (the open fails; nothing is written).
    path = "/proc/sys/kernel/osrelease";
    access = plat::kGenericWrite;
    if (::access(path.c_str(), F_OK) != 0) GTEST_SKIP() << "no read-only file that binds the superuser";
  } else {
    test::WriteFile(path, "x");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  }
  try {
    win::File_t file(path, access, plat::kOpenExisting);
    ADD_FAILURE() << "opened";
  } catch (const win::FileError_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorAccessDenied);
  }
}

TEST(FileTest, FlushNeedsWriteAccessAndDispositionsBehave) {
  const std::string path = test::MakeTempDir("flush") + "/f.bin";
  test::WriteFile(path, "12345");
  {
    win::File_t readOnly(path, plat::kGenericRead, plat::kOpenExisting);
    EXPECT_THROW(readOnly.Flush(), glo::Assert_t);
  }
  {
    // /dev/null cannot be flushed, which shows whether closing flushes: only a
    // file opened with write access is, and it is closed even when that fails.
    win::File_t readOnly("/dev/null", plat::kGenericRead, plat::kOpenExisting);
    EXPECT_NO_THROW(readOnly.Close());
    win::File_t writable("/dev/null", plat::kGenericWrite, plat::kOpenExisting);
    try {
      writable.Close();
      ADD_FAILURE() << "closed without a flush";
    } catch (const win::FileError_t& e) {
      EXPECT_STREQ(e.SourceFile(), "WIN_File.cpp");
    }
    EXPECT_FALSE(writable.IsOpen());
    win::File_t dropped("/dev/null", plat::kGenericWrite, plat::kOpenExisting);
  }  // the destructor of 'dropped' swallows its failed flush
  {
    win::File_t always(path, plat::kGenericWrite, plat::kOpenAlways);
    EXPECT_EQ(always.Size(), 5u);  // opened, not truncated
  }
  {
    win::File_t truncated(path, plat::kGenericWrite, plat::kCreateAlways);
    EXPECT_EQ(truncated.Size(), 0u);
  }
}

}  // namespace
