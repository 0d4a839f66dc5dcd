#include "model/vcd_project.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/error_reporter.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

TEST(VcdProjectTest, DestroyingTheProjectDeletesMadeFilesOnly) {
  test::TempDir dir;
  const std::string made = dir.Write("made.mp2", "x");
  const std::string kept = dir.Write("source.wav", "x");
  {
    VcdProject project;
    project.made_files.push_back(std::make_unique<MadeFile>(made));
    project.made_files.push_back(std::make_unique<MadeFile>(dir.Path() / "already-gone.mp2"));
    project.cdi_files.push_back(
        std::make_unique<CdiFile>(FileRef(kept), "A", FileType::kPlainFile));
  }
  EXPECT_FALSE(std::filesystem::exists(made));
  EXPECT_TRUE(std::filesystem::exists(kept));
}

TEST(VcdProjectTest, FindMountTakesTheFirstOfEqualLabels) {
  VcdProject project;
  project.mounts.push_back(
      std::make_unique<MountPoint>(MountPoint{MountMode::kIntern, "/a", "", "M"}));
  project.mounts.push_back(
      std::make_unique<MountPoint>(MountPoint{MountMode::kIntern, "/b", "", "M"}));
  EXPECT_EQ(project.FindMount("M")->directory, "/a");
  EXPECT_EQ(project.FindMount("m"), nullptr);
}

TEST(CdiFileTest, MeasureSizeRoundsByFileKind) {
  test::TempDir dir;
  const std::string path = dir.Write("f", std::string(4097, 'x'));
  struct Case {
    FileType type;
    uint32_t sectors;
    uint32_t bytes;
  };
  for (const Case& c : {Case{FileType::kPlainFile, 3, 4097}, Case{FileType::kTextFile, 2, 4097},
                        Case{FileType::kIffDyuv, 2, 4097}, Case{FileType::kRtfFile, 2, 4096},
                        Case{FileType::kCopyright, 0, 0}}) {
    CdiFile file(FileRef(path), "F", c.type);
    file.MeasureSize();
    EXPECT_EQ(file.sector_count, c.sectors) << static_cast<int>(c.type);
    EXPECT_EQ(file.byte_size, c.bytes) << static_cast<int>(c.type);
  }
  CdiFile missing(FileRef((dir.Path() / "none").string()), "F", FileType::kPlainFile);
  missing.MeasureSize();
  EXPECT_EQ(missing.sector_count, 0u);
  test::MessageCapture capture;
  RtfFile parts("R");
  parts.MeasureSize();
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{"ToDo"});
}

}  // namespace
}  // namespace vcd2
