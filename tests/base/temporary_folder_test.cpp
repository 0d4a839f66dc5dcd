// A build's temporary files live in a private folder that goes with it.
#include "base/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace vcd2 {
namespace {

namespace fs = std::filesystem;

TEST(TemporaryFolderTest, FilesShareAPrivateFolderRemovedWithIt) {
  test::TempDir dir;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  setenv("TMPDIR", dir.Path().c_str(), 1);
  fs::path folder;
  {
    TemporaryFolder temporary;
    std::string psd, lot;
    UniqueFile a = temporary.CreateFile("PSD", psd);
    UniqueFile b = temporary.CreateFile("LOT", lot);
    ASSERT_TRUE(a && b);
    folder = fs::path(psd).parent_path();
    EXPECT_EQ(folder, fs::path(lot).parent_path());
    EXPECT_EQ(folder.parent_path(), dir.Path());
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::path(psd).filename().string().rfind("PSD", 0), 0u);
    EXPECT_GE(std::fputs("written through mkstemp's descriptor", a.get()), 0);
  }
  if (old != nullptr) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

}  // namespace
}  // namespace vcd2
