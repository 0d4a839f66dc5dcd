#include "model/file_ref.h"

#include <gtest/gtest.h>

#include <array>

namespace vcd2 {
namespace {

TEST(FileRefTest, ADirectPathIsItsOwnFullPath) {
  const FileRef file("clips/a.mpg");
  EXPECT_EQ(file.NewFullPath(), "clips/a.mpg");
  std::array<char, 64> buffer{};
  EXPECT_STREQ(file.CopyFullPath(buffer), "clips/a.mpg");
}

TEST(FileRefTest, AMountRelativePathJoinsTheMountDirectory) {
  for (const auto& [directory, expected] :
       std::initializer_list<std::pair<std::string, std::string>>{{"/video", "/video/CLIP1.MPG"},
                                                                  {"/video/", "/video/CLIP1.MPG"},
                                                                  {"D:\\", "D:\\CLIP1.MPG"},
                                                                  {"", "CLIP1.MPG"}}) {
    MountPoint mount{MountMode::kIntern, directory, "", "SRC"};
    FileRef file("SRC", "CLIP1.MPG");
    EXPECT_TRUE(file.IsMountRelative());
    file.BindMount(&mount);
    EXPECT_EQ(file.Location(), LocationKind::kMountResolved);
    EXPECT_EQ(file.NewFullPath(), expected) << directory;
  }
}

TEST(FileRefTest, UnboundAndUndeterminedReferencesHaveNoPath) {
  std::array<char, 64> buffer{};
  EXPECT_EQ(FileRef("SRC", "CLIP1.MPG").NewFullPath(), std::nullopt);
  EXPECT_EQ(FileRef("SRC", "CLIP1.MPG").CopyFullPath(buffer), nullptr);
  EXPECT_TRUE(FileRef().HasNoLocation());
  EXPECT_EQ(FileRef().NewFullPath(), std::nullopt);
}

TEST(FileRefTest, APathThatDoesNotFitTheBufferIsNotCut) {
  std::array<char, 8> buffer{};
  EXPECT_EQ(FileRef("1234567").CopyFullPath(buffer), buffer.data());
  EXPECT_EQ(FileRef("12345678").CopyFullPath(buffer), nullptr);
}

}  // namespace
}  // namespace vcd2
