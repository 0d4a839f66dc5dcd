// A build's temporary files live in a private folder that goes with it. That
// the folder is made under TMPDIR is in staged_outputs_test.
#include "base/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vcd2 {
namespace {

namespace fs = std::filesystem;

TEST(TemporaryFolderTest, FilesShareAPrivateFolderRemovedWithIt) {
  fs::path folder;
  {
    TemporaryFolder temporary;
    std::string psd, lot;
    UniqueFile a = temporary.CreateFile("PSD", psd);
    UniqueFile b = temporary.CreateFile("LOT", lot);
    ASSERT_TRUE(a && b);
    folder = fs::path(psd).parent_path();
    EXPECT_EQ(folder, fs::path(lot).parent_path());
    EXPECT_EQ(folder.parent_path(), fs::temp_directory_path());
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::path(psd).filename().string().rfind("PSD", 0), 0u);
    EXPECT_GE(std::fputs("written through mkstemp's descriptor", a.get()), 0);
  }
  EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace vcd2
