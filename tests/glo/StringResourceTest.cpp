// Loading the language module and reading its strings, at the level of the glo
// library (the errors of this level are glo exceptions).
#include "glo/GLO_StringResource.h"

#include <gtest/gtest.h>

#include <string>

#include "plat/PLAT_Error.h"
#include "plat/PLAT_Module.h"
#include "tests/common/TestEnv.h"

namespace {

// String 64000 + n of the long-text test module: n characters, the k-th being k % 10.
std::string Digits(size_t n) {
  std::string text;
  for (size_t k = 0; k < n; ++k) text += static_cast<char>('0' + k % 10);
  return text;
}

std::string ModulePath(const std::string& file) { return test::ExeDir() + "/" + file; }

TEST(LanguageModuleTest, PathLiesBesideTheExecutable) {
  EXPECT_EQ(ModulePath("StridemereLogbook_LANG.dll"), glo::LanguageModulePath());
}

TEST(LanguageModuleTest, VersionMustMatchInAllFourNumbers) {
  glo::ResourceModule_t module = nullptr;
  glo::ResourceFailure_t failure;
  EXPECT_TRUE(glo::TryLoadLanguageModule(ModulePath("StridemereLogbook_LANG.dll"), module, failure));
  EXPECT_NE(nullptr, module);

  module = nullptr;
  ASSERT_FALSE(glo::TryLoadLanguageModule(ModulePath("StridemereLogbook_LANG_v2501.dll"), module, failure));
  EXPECT_EQ(nullptr, module);
  EXPECT_STREQ("GLO_StringResource.cpp", failure.file);
  EXPECT_EQ(plat::kErrorRevisionMismatch, failure.code);
}

TEST(LanguageModuleTest, UnusableFilesAreRejectedWithTheirReason) {
  const std::string dir = test::MakeTempDir("lang");
  test::WriteFile(dir + "/text.dll", "not a shared object at all");
  const struct {
    std::string path;
    unsigned long code;
  } cases[] = {
      {dir + "/missing.dll", plat::kErrorFileNotFound},
      {dir + "/text.dll", plat::kErrorResourceTypeNotFound},  // no version block
      {dir, plat::kErrorResourceTypeNotFound},                // a folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    glo::ResourceModule_t module = nullptr;
    glo::ResourceFailure_t failure;
    EXPECT_FALSE(glo::TryLoadLanguageModule(c.path, module, failure));
    EXPECT_EQ(c.code, failure.code);
    EXPECT_STREQ("GLO_StringResource.cpp", failure.file);
  }
}

TEST(ReadStringTest, TextsOfAnyLengthAreReadWhole) {
  glo::ResourceModule_t module = nullptr;
  glo::ResourceFailure_t failure;
  ASSERT_TRUE(glo::TryLoadLanguageModule(ModulePath("StridemereLogbook_LANG_long.dll"), module, failure));
  // Around the first and second buffer size (256, 512): a text that comes within
  // 2 characters of filling a buffer is read again with a larger one.
  for (size_t n : {253u, 254u, 255u, 256u, 300u, 511u, 512u, 998u}) {
    SCOPED_TRACE(n);
    std::string text;
    ASSERT_TRUE(glo::ReadString(module, static_cast<unsigned>(64000 + n), text));
    EXPECT_EQ(Digits(n), text);
  }
  std::string accents;
  ASSERT_TRUE(glo::ReadString(module, 64999, accents));
  std::string expected;
  for (int i = 0; i < 200; ++i) expected += "\xC3\xA9";
  EXPECT_EQ(expected, accents);
}

TEST(ReadStringTest, MissingStringLeavesErrorResourceNameNotFound) {
  glo::ResourceModule_t module = nullptr;
  glo::ResourceFailure_t failure;
  ASSERT_TRUE(glo::TryLoadLanguageModule(ModulePath("StridemereLogbook_LANG_nostring.dll"), module, failure));
  std::string text = "kept";
  plat::SetLastError(0);
  EXPECT_FALSE(glo::ReadString(module, 190, text));
  EXPECT_EQ(plat::kErrorResourceNameNotFound, plat::GetLastError());
  EXPECT_EQ("kept", text);
}

TEST(LoadStringResourceTest, ReadsFromTheProcessModule) {
  EXPECT_EQ("Stridemere Logbook", glo::LoadStringResource(190, GLO_SRC));
}

TEST(LoadStringResourceTest, MissingStringIsAnExceptionAtTheCallersPlace) {
  // Whatever the last error was before, the report names the missing resource.
  plat::SetLastError(plat::kErrorAccessDenied);
  try {
    glo::LoadStringResource(65535, "Caller.cpp", 77);
    FAIL() << "no exception";
  } catch (const glo::Exception_t& e) {
    EXPECT_STREQ("Caller.cpp", e.SourceFile());
    EXPECT_EQ(77, e.Line());
    EXPECT_EQ("The specified resource name cannot be found in the image file.\r\n", e.Message());
  }
}

TEST(InvalidInputTest, TextIsTheStringOfItsId) {
  const glo::InvalidInput_t e(190, GLO_SRC);
  EXPECT_EQ("Stridemere Logbook", e.Text());
  EXPECT_EQ("", e.Message());
  EXPECT_STREQ("StringResourceTest.cpp", e.SourceFile());

  EXPECT_THROW(glo::InvalidInput_t(65535, GLO_SRC), glo::Exception_t);
}

}  // namespace
