// File mappings and views: whole files, empty files, ranges and write views.
#include <gtest/gtest.h>

#include <cstring>

#include "plat/PLAT_Error.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"
#include "win/WIN_MappedFile.h"
#include "win/WIN_MappedFileView.h"

namespace {

TEST(MappedFileTest, ReadViewOfWholeFileAndSecondMapAsserts) {
  const std::string path = test::MakeTempDir("map") + "/m.bin";
  test::WriteFile(path, "hello mapping");
  win::File_t file(path, plat::kGenericRead, plat::kOpenExisting);
  win::MappedFile_t mapping(file, nullptr, plat::kPageReadOnly, 0, 0, nullptr);
  EXPECT_EQ(mapping.Size(), 13u);
  win::MappedFileView_t view;
  view.Map(mapping, plat::kFileMapRead, 0, 0, 0);
  ASSERT_NE(view.Address(), nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(view.Address()), 13), "hello mapping");
  try {
    view.Map(mapping, plat::kFileMapRead, 0, 0, 0);
    FAIL() << "mapped twice";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ(e.SourceFile(), "WIN_MappedFileView.cpp");
  }
  view.Unmap();
  EXPECT_EQ(view.Address(), nullptr);
  view.Unmap();  // nothing mapped: nothing happens
}

TEST(MappedFileTest, ViewAtUnalignedOffsetAndRangeBeyondEnd) {
  const std::string path = test::MakeTempDir("off") + "/m.bin";
  std::string bytes(10000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
  test::WriteFile(path, bytes);
  win::File_t file(path, plat::kGenericRead, plat::kOpenExisting);
  win::MappedFile_t mapping(file, nullptr, plat::kPageReadOnly, 0, 0, nullptr);
  {
    win::MappedFileView_t view;
    view.Map(mapping, plat::kFileMapRead, 0, 5000, 100);
    EXPECT_EQ(std::memcmp(view.Address(), bytes.data() + 5000, 100), 0);
  }
  win::MappedFileView_t tooFar;
  try {
    tooFar.Map(mapping, plat::kFileMapRead, 0, 9990, 11);
    FAIL() << "mapped beyond the end";
  } catch (const win::Error_t& e) {
    EXPECT_EQ(e.ErrorCode(), plat::kErrorInvalidParameter);
    EXPECT_STREQ(e.SourceFile(), "WIN_MappedFileView.cpp");
  }
  EXPECT_THROW(tooFar.Map(mapping, plat::kFileMapRead, 1, 0, 0), win::Error_t);  // 4 GiB offset
  EXPECT_THROW(tooFar.Map(mapping, plat::kFileMapWrite, 0, 0, 0), win::Error_t);  // read-only mapping
  EXPECT_EQ(tooFar.Address(), nullptr);
}

TEST(MappedFileTest, EmptyFileMapsToEmptyView) {
  const std::string path = test::MakeTempDir("empty") + "/e.bin";
  test::WriteFile(path, "");
  EXPECT_EQ(win::ReadWholeFile(path), "");
  win::File_t file(path, plat::kGenericRead, plat::kOpenExisting);
  win::MappedFile_t mapping(file, nullptr, plat::kPageReadOnly, 0, 0, nullptr);
  win::MappedFileView_t view;
  view.Map(mapping, plat::kFileMapRead, 0, 0, 0);
  EXPECT_NE(view.Address(), nullptr);
}

TEST(MappedFileTest, WriteViewReachesTheFileAndGrowsIt) {
  const std::string path = test::MakeTempDir("write") + "/w.bin";
  {
    win::File_t file(path, plat::kGenericRead | plat::kGenericWrite, plat::kCreateAlways);
    win::MappedFile_t mapping(file, nullptr, plat::kPageReadWrite, 0, 6, nullptr);
    win::MappedFileView_t view;
    view.Map(mapping, plat::kFileMapWrite, 0, 0, 0);
    std::memcpy(view.Address(), "abcdef", 6);
  }
  EXPECT_EQ(test::ReadFile(path), "abcdef");
}

TEST(MappedFileTest, MappingFailuresAreMappedFileErrors) {
  const std::string path = test::MakeTempDir("mfail") + "/f.bin";
  test::WriteFile(path, "abc");
  win::File_t file(path, plat::kGenericRead, plat::kOpenExisting);
  struct Case {
    const char* name;
    unsigned long protection;
    unsigned long sizeLow;
    unsigned long code;
  } cases[] = {
      {"read-write over a read-only file", plat::kPageReadWrite, 0, plat::kErrorAccessDenied},
      {"read-only longer than the file", plat::kPageReadOnly, 4, plat::kErrorInvalidParameter},
  };
  for (const Case& c : cases) {
    try {
      win::MappedFile_t mapping(file, nullptr, c.protection, 0, c.sizeLow, nullptr);
      ADD_FAILURE() << c.name;
    } catch (const win::MappedFileError_t& e) {
      EXPECT_EQ(e.ErrorCode(), c.code) << c.name;
      EXPECT_STREQ(e.SourceFile(), "WIN_MappedFile.cpp") << c.name;
    }
  }
  EXPECT_THROW(win::ReadWholeFile(path + ".none"), win::FileError_t);
}

}  // namespace
