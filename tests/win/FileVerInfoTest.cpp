// Version blocks read from program files by path.
#include "win/WIN_FileVerInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_VersionInfo.h"
#include "tests/common/TestEnv.h"
#include "win/WIN_Exception.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::vector<unsigned char>>>;

void Put(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// A minimal 64-bit ELF file whose only sections are the section names and, when
// 'section' is not empty, a section of that name holding 'payload'.
std::string MakeElf(const std::string& section, const std::vector<unsigned char>& payload) {
  const std::string names = std::string("\0.shstrtab\0", 11) + section + std::string(1, '\0');
  const uint64_t namesAt = 64, payloadAt = namesAt + names.size();
  uint64_t headersAt = payloadAt + payload.size();
  headersAt += (8 - headersAt % 8) % 8;
  const int count = section.empty() ? 2 : 3;
  std::string elf("\x7f" "ELF\x02\x01\x01", 7);
  elf.resize(16, '\0');
  Put(elf, 3, 2);   // shared object
  Put(elf, 62, 2);  // x86-64
  Put(elf, 1, 4);
  Put(elf, 0, 8);   // entry
  Put(elf, 0, 8);   // program headers
  Put(elf, headersAt, 8);
  Put(elf, 0, 4);
  Put(elf, 64, 2);  // header size
  Put(elf, 0, 2);
  Put(elf, 0, 2);
  Put(elf, 64, 2);  // section header size
  Put(elf, count, 2);
  Put(elf, 1, 2);   // section names: section 1
  elf += names;
  elf.append(payload.begin(), payload.end());
  elf.resize(headersAt, '\0');
  auto header = [&elf](uint32_t name, uint32_t type, uint64_t offset, uint64_t size) {
    Put(elf, name, 4);
    Put(elf, type, 4);
    Put(elf, 0, 8);  // flags
    Put(elf, 0, 8);  // address
    Put(elf, offset, 8);
    Put(elf, size, 8);
    Put(elf, 0, 4);
    Put(elf, 0, 4);
    Put(elf, 1, 8);
    Put(elf, 0, 8);
  };
  header(0, 0, 0, 0);
  header(1, 3, namesAt, names.size());
  if (!section.empty()) header(11, 1, payloadAt, payload.size());
  return elf;
}

std::vector<unsigned char> Bytes(std::initializer_list<unsigned> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

std::vector<unsigned char> Text(const std::string& s) {
  std::vector<unsigned char> bytes(s.begin(), s.end());
  bytes.push_back(0);
  return bytes;
}

// A file with a version block of the given entries.
std::string WriteModule(const Entries& entries) {
  const std::string path = test::MakeTempDir("ver") + "/module.dll";
  test::WriteFile(path, MakeElf(plat::kVersionSection, plat::MakeVersionBlock(entries)));
  return path;
}

// File version 2.5.0.1: (2 << 16 | 5, 0 << 16 | 1), product version the same.
const std::vector<unsigned char> kFixed2501 = Bytes({5, 0, 2, 0, 1, 0, 0, 0, 5, 0, 2, 0, 1, 0, 0, 0});
const std::vector<unsigned char> kUsEnglish1252 = Bytes({0x09, 0x04, 0xE4, 0x04});

TEST(FileVerInfoTest, LanguageModuleCarriesVersion2500AndOneTranslation) {
  const win::FileVerInfo_t info(test::ExeDir() + "/StridemereLogbook_LANG.dll");
  EXPECT_EQ((std::array<unsigned, 4>{2, 5, 0, 0}), info.FileVersion());
  EXPECT_EQ(0x04E40409u, info.Translation());
  EXPECT_EQ((std::array<unsigned, 4>{2, 5, 0, 1}),
            win::FileVerInfo_t(test::ExeDir() + "/StridemereLogbook_LANG_v2501.dll").FileVersion());
}

TEST(FileVerInfoTest, ExecutableNamesItsWindowClassByABracedGuid) {
  const win::FileVerInfo_t info(std::filesystem::canonical("/proc/self/exe").string());
  EXPECT_TRUE(std::regex_match(info.ClassNameGuid(),
                               std::regex("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}")))
      << info.ClassNameGuid();
  EXPECT_EQ((std::array<unsigned, 4>{2, 5, 0, 0}), info.FileVersion());
}

TEST(FileVerInfoTest, ValuesOfACraftedBlock) {
  const win::FileVerInfo_t info(WriteModule({{"\\", kFixed2501},
                                             {"\\VarFileInfo\\Translation", kUsEnglish1252},
                                             {"\\StringFileInfo\\040904e4\\ClassNameGuid", Text("{guid}")},
                                             {"\\StringFileInfo\\040904E4\\Comment", Text("upper-case key")}}));
  EXPECT_EQ((std::array<unsigned, 4>{2, 5, 0, 1}), info.FileVersion());
  EXPECT_EQ("{guid}", info.ClassNameGuid());
  EXPECT_EQ("upper-case key", info.StringValue("Comment"));
}

TEST(FileVerInfoTest, FilesWithoutABlockThrowWindowsErrors) {
  const std::string dir = test::MakeTempDir("ver");
  test::WriteFile(dir + "/plain.txt", "plain text");
  test::WriteFile(dir + "/nosection.dll", MakeElf("", {}));
  test::WriteFile(dir + "/truncated.dll", MakeElf(plat::kVersionSection, Bytes({1, 2, 3})).substr(0, 70));
  const struct {
    std::string path;
    unsigned long code;
  } cases[] = {
      {dir + "/missing.dll", plat::kErrorFileNotFound},
      {dir + "/plain.txt", plat::kErrorResourceTypeNotFound},
      {dir + "/nosection.dll", plat::kErrorResourceTypeNotFound},
      {dir + "/truncated.dll", plat::kErrorResourceTypeNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      win::FileVerInfo_t info(c.path);
      ADD_FAILURE() << "no exception";
    } catch (const win::Error_t& e) {
      EXPECT_EQ(c.code, e.ErrorCode());
      EXPECT_STREQ("WIN_FileVerInfo.cpp", e.SourceFile());
    }
  }
}

TEST(FileVerInfoTest, BrokenBlocksFailTheirReads) {
  // No translation: the string values cannot be found either.
  const win::FileVerInfo_t noTranslation(WriteModule({{"\\", kFixed2501}}));
  EXPECT_THROW(noTranslation.Translation(), glo::Assert_t);
  EXPECT_THROW(noTranslation.ClassNameGuid(), glo::Assert_t);
  // Two translations, or a short one: not exactly one pair.
  for (const auto& translation : {Bytes({9, 4, 0xE4, 4, 7, 4, 0xE4, 4}), Bytes({9, 4, 0xE4})}) {
    const win::FileVerInfo_t info(WriteModule({{"\\VarFileInfo\\Translation", translation}}));
    EXPECT_THROW(info.Translation(), glo::Assert_t);
  }
  // No fixed information.
  const win::FileVerInfo_t noFixed(WriteModule({{"\\VarFileInfo\\Translation", kUsEnglish1252}}));
  try {
    noFixed.FileVersion();
    ADD_FAILURE() << "no exception";
  } catch (const glo::Assert_t& e) {
    EXPECT_STREQ("WIN_FileVerInfo.cpp", e.SourceFile());
  }
  // A string value that is missing.
  try {
    noFixed.ClassNameGuid();
    ADD_FAILURE() << "no exception";
  } catch (const win::Error_t& e) {
    EXPECT_STREQ("WIN_FileVerInfo.cpp", e.SourceFile());
  }
  // A block whose entry runs past its end.
  std::vector<unsigned char> block = plat::MakeVersionBlock({{"\\", kFixed2501}});
  block.resize(block.size() - 4);
  const std::string path = test::MakeTempDir("ver") + "/cut.dll";
  test::WriteFile(path, MakeElf(plat::kVersionSection, block));
  EXPECT_THROW(win::FileVerInfo_t(path).FileVersion(), glo::Assert_t);
}

}  // namespace
