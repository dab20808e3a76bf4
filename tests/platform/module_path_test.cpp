#include "platform/module_path.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace refloq::platform {
namespace {

namespace fs = std::filesystem;

TEST(ModulePath, NamesThisTestProgram) {
  const std::string path = ModuleFilePath();
  const PathParts parts = SplitPath(path);
  EXPECT_EQ(parts.name, "platform_test");
  EXPECT_EQ(parts.drive + parts.folder + parts.name + parts.extension, path);
  EXPECT_TRUE(fs::exists(fs::u8path(path)));
  EXPECT_EQ(ModuleFolder(), parts.drive + parts.folder);
  ASSERT_FALSE(parts.folder.empty());
  EXPECT_EQ(parts.folder.back(), kPathSeparator);
}

TEST(ModulePath, SplitsLikeTheWindowsFunction) {
  struct Case {
    const char* path;
    PathParts expected;
  };
  const Case cases[] = {
#ifdef _WIN32
      {"C:\\Program Files\\Refloq\\Refloq.exe",
       {"C:", "\\Program Files\\Refloq\\", "Refloq", ".exe"}},
      {"D:/tools/a.b/Refloq", {"D:", "/tools/a.b/", "Refloq", ""}},
      {"Refloq.tar.gz", {"", "", "Refloq.tar", ".gz"}},
#else
      {"/opt/refloq/refloq-cli", {"", "/opt/refloq/", "refloq-cli", ""}},
      {"/opt/a.b/Refloq.exe", {"", "/opt/a.b/", "Refloq", ".exe"}},
      {"C:\\x.ini", {"", "", "C:\\x", ".ini"}},
#endif
      {"", {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.drive, c.expected.drive);
    EXPECT_EQ(parts.folder, c.expected.folder);
    EXPECT_EQ(parts.name, c.expected.name);
    EXPECT_EQ(parts.extension, c.expected.extension);
  }
}

TEST(ModulePath, CreatesAFolderOnce) {
  const fs::path folder = fs::temp_directory_path() / "refloq-create-folder";
  fs::remove_all(folder);
  EXPECT_TRUE(CreateFolder(folder.string()));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_FALSE(CreateFolder(folder.string()));
  EXPECT_FALSE(CreateFolder((folder / "no" / "parent").string()));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace refloq::platform
