#include <gtest/gtest.h>

#include <string>

#include "glo/GLO_SplitPath.h"

namespace {

TEST(SplitPath, Components) {
  const struct {
    std::string path, folder, fileName, extension;
  } cases[] = {
      {"/home/ann/.local/share/Runs/Ann.dat", "/home/ann/.local/share/Runs/", "Ann", ".dat"},
      {"Ann.backup.dat", "", "Ann.backup", ".dat"},
      {"/tmp/Stridemere/", "/tmp/Stridemere/", "", ""},
      {"/tmp/README", "/tmp/", "README", ""},
      {"dir.d/name", "dir.d/", "name", ""},
      {"/home/ann/.profile", "/home/ann/", ".profile", ""},
      {"../x..", "../", "x.", "."},
      {"..", "", "..", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    const glo::SplitPath_t split(c.path);
    EXPECT_EQ(c.folder, split.Folder()) << c.path;
    EXPECT_EQ(c.fileName, split.FileName()) << c.path;
    EXPECT_EQ(c.extension, split.Extension()) << c.path;
  }
}

}  // namespace
