#include "model/file_ref.h"

#include <gtest/gtest.h>

#include <array>

namespace vcd2 {
namespace {

TEST(FileRefTest, FullPaths) {
  const MountPoint mount{MountMode::kIntern, "", "", "SRC"};
  const struct {
    FileRef file;
    std::optional<std::string> directory;  // of the bound mount
    std::optional<std::string> path;
  } cases[] = {
      {FileRef("clips/a.mpg"), std::nullopt, "clips/a.mpg"},
      {FileRef("SRC", "CLIP1.MPG"), "/video", "/video/CLIP1.MPG"},
      {FileRef("SRC", "CLIP1.MPG"), "/video/", "/video/CLIP1.MPG"},
      {FileRef("SRC", "CLIP1.MPG"), "D:\\", "D:\\CLIP1.MPG"},
      {FileRef("SRC", "CLIP1.MPG"), "", "CLIP1.MPG"},
      {FileRef("SRC", "CLIP1.MPG"), std::nullopt, std::nullopt},  // unbound
      {FileRef(), std::nullopt, std::nullopt},                    // undetermined
  };
  for (auto c : cases) {
    MountPoint bound = mount;
    if (c.directory) {
      bound.directory = *c.directory;
      c.file.BindMount(&bound);
    }
    EXPECT_EQ(c.file.NewFullPath(), c.path) << c.file.FirstName() << c.directory.value_or("-");
    std::array<char, 64> buffer{};
    const char* copied = c.file.CopyFullPath(buffer);
    EXPECT_EQ(copied != nullptr ? std::optional<std::string>(copied) : std::nullopt, c.path);
  }
  // A path that does not fit the buffer with its terminator is not cut.
  std::array<char, 8> small{};
  EXPECT_EQ(FileRef("1234567").CopyFullPath(small), small.data());
  EXPECT_EQ(FileRef("12345678").CopyFullPath(small), nullptr);
}

}  // namespace
}  // namespace vcd2
