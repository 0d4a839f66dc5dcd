#include "image/iso/iso_directory.h"

#include <gtest/gtest.h>

#include "base/unique_file.h"
#include "image/iso/volume_imager.h"
#include "sector/image_output.h"
#include "sector/sector.h"
#include "support/disc_build.h"
#include "support/message_capture.h"

namespace vcd2 {
namespace {

class NoFiles : public FileSource {
 public:
  bool Open(const VolumeFile&) override { return false; }
  size_t Read(uint8_t*, size_t) override { return 0; }
  void Close() override {}
};

VolumeFile Placed(std::string name, uint32_t size) {
  return {std::move(name), VCD2_NODE_PLACED_FILE, 0, size, xa::kForm2File, 1, {}, nullptr};
}

// A volume with SEGMENT\ITEM0001.DAT and an empty MPEGAV directory.
class IsoDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (dir_.Path() / "data.bin").string();
    ImageOutput output;
    output.Open(path_);
    const std::vector<uint8_t> zero(2048, 0);
    for (int32_t lba = -150; lba < 0; ++lba) ASSERT_TRUE(output.AppendSector(zero, lba, 0));
    VolumeImager imager;
    NoFiles files;
    imager.SetIo(output, files);
    imager.SetReservedEnd(152);
    VolumeTree tree;
    tree.directories.push_back(
        {"SEGMENT", {Placed("ITEM0001.DAT", 0), Placed("ITEM0002.DAT", 4096)}});
    tree.directories.push_back({"MPEGAV", {}});
    ASSERT_EQ(imager.SetTree(std::move(tree)), VolumeImager::kOk);
    ASSERT_EQ(imager.WriteVolume(), VolumeImager::kOk);
    ASSERT_TRUE(output.Close());
    image_.reset(std::fopen(path_.c_str(), "r+b"));
    ASSERT_TRUE(image_);
  }

  test::TempDir dir_;
  std::string path_;
  UniqueFile image_;
};

// Rewritten records are read back by libiso9660 in psd_test (segments) and
// mpeg_disc_test (tracks); here the refusals. The root sits at 20, then
// MPEGAV at 21 and SEGMENT at 22.
TEST_F(IsoDirectoryTest, Failures) {
  test::MessageCapture capture;
  EXPECT_FALSE(SetIsoDirectory(image_.get(), "SEGMENT\\ITEM0001.DAT;1", 700, 0));
  EXPECT_FALSE(SetIsoDirectory(image_.get(), "NOPE\\X.DAT;1", 1, 1));
  EXPECT_FALSE(SetIsoDirectory(image_.get(), "MPEGAV\\AVSEQ01.DAT;1", 1, 1));
  // A directory whose first record is not its own.
  RawSector sector = test::ReadImageSector(path_, 21);
  sector[kUserDataOffset + 33] = 'X';
  ASSERT_TRUE(WriteSectorAt(image_.get(), 21, sector));
  std::fflush(image_.get());
  EXPECT_FALSE(SetIsoDirectory(image_.get(), "MPEGAV\\AVSEQ01.DAT;1", 1, 1));
  EXPECT_EQ(
      capture.Messages(),
      (std::vector<std::string>{"Illegal call of function SetIsoDirectory with Len=0",
                                "Could not locate directory NOPE of path NOPE\\X.DAT;1",
                                "Could not locate file AVSEQ01.DAT;1 of path MPEGAV\\AVSEQ01.DAT;1",
                                "Illegal directory found."}));
}

}  // namespace
}  // namespace vcd2
