#include "image/iso/iso_directory.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/unique_file.h"
#include "sector/sector.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"
#include "support/message_capture.h"

namespace vcd2 {
namespace {

using IsoDirectoryTest = test::DiscTest;

// Rewritten records are read back by libiso9660 in psd_test (segments) and
// mpeg_disc_test (tracks); here the refusals, on a volume with an empty
// root file and an empty MPEGAV directory.
TEST_F(IsoDirectoryTest, Failures) {
  dir_.Write("empty", "");
  const char script[] = "COPYRIGHT \"C.TXT\" DIR \"empty\" OUTPUT 1 DIR \"data.bin\" ENDOUTPUT";
  ASSERT_EQ(test::BuildDisc(dir_, script).result, 0);
  const std::string path = Out("data.bin");
  const auto root = test::IsoReader(path).List("/");
  ASSERT_TRUE(root);
  const auto mpegav = std::find_if(root->begin(), root->end(),
                                   [](const auto& entry) { return entry.name == "MPEGAV"; });
  ASSERT_NE(mpegav, root->end());
  const UniqueFile image(std::fopen(path.c_str(), "r+b"));
  ASSERT_TRUE(image);
  test::MessageCapture capture;
  EXPECT_FALSE(SetIsoDirectory(image.get(), "C.TXT;1", 700, 0));
  EXPECT_FALSE(SetIsoDirectory(image.get(), "NOPE\\X.DAT;1", 1, 1));
  EXPECT_FALSE(SetIsoDirectory(image.get(), "MPEGAV\\AVSEQ01.DAT;1", 1, 1));
  // A directory whose first record is not its own.
  RawSector sector = test::ReadImageSector(path, static_cast<int32_t>(mpegav->lsn));
  sector[kUserDataOffset + 33] = 'X';
  ASSERT_TRUE(WriteSectorAt(image.get(), static_cast<int32_t>(mpegav->lsn), sector));
  std::fflush(image.get());
  EXPECT_FALSE(SetIsoDirectory(image.get(), "MPEGAV\\AVSEQ01.DAT;1", 1, 1));
  EXPECT_EQ(
      capture.Messages(),
      (std::vector<std::string>{"Illegal call of function SetIsoDirectory with Len=0",
                                "Could not locate directory NOPE of path NOPE\\X.DAT;1",
                                "Could not locate file AVSEQ01.DAT;1 of path MPEGAV\\AVSEQ01.DAT;1",
                                "Illegal directory found."}));
}

}  // namespace
}  // namespace vcd2
