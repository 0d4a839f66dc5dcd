#include "sector/image_output.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/unique_file.h"
#include "sector/sequential_writer.h"
#include "support/disc_build.h"
#include "support/message_capture.h"
#include "support/sector_reference.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

TEST(ImageOutputTest, FileSectorsAndTheirSubheaders) {
  test::TempDir dir;
  const std::string path = (dir.Path() / "out.bin").string();
  std::vector<uint8_t> data(4096, 0xAB);
  ImageOutput output;
  output.Open(path);
  const uint32_t word = SubheaderWord(1, 0, 0x08);
  const uint32_t last = SubheaderWord(1, 0, 0x89);
  ASSERT_TRUE(output.AppendFileSectors(data, -150, 0, word, last));     // one sector
  ASSERT_TRUE(output.AppendFileSectors(data, -149, 2048, word, last));  // one sector
  ASSERT_TRUE(output.AppendFileSectors(data, -148, 2049, word, last));  // two sectors
  ASSERT_TRUE(output.Close());
  ASSERT_EQ(test::ImageSectors(path), 4);
  const std::vector<uint8_t> submodes = {0x89, 0x89, 0x08, 0x89};
  for (int32_t i = 0; i < 4; ++i) {
    const RawSector sector = test::ReadImageSector(path, -150 + i);
    EXPECT_EQ(sector[18], submodes[i]) << i;
    EXPECT_EQ(sector[16], 1) << i;
    EXPECT_TRUE(test::SectorIsValid(sector)) << i;
  }
  EXPECT_EQ(test::ReadImageSector(path, -147)[kUserDataOffset], 0xAB);  // the 2049th byte
  EXPECT_EQ(test::ReadImageSector(path, -147)[kUserDataOffset + 1], 0);
}

TEST(ImageOutputTest, WriteFailuresAreReportedOnce) {
  test::MessageCapture capture;
  const std::vector<uint8_t> data(2048, 0);
  {
    ImageOutput full;
    full.Open("/dev/full");
    for (int32_t i = 0; i < 112; ++i) (void)full.AppendSector(data, i, 0);
    EXPECT_FALSE(full.Close());
  }
  {  // the track writer learns of a failure from its writing thread
    const UniqueFile file(std::fopen("/dev/full", "wb"));
    SequentialWriter track(file.get());
    RawSector sector{};
    bool written = true;
    for (int32_t i = 0; written && i < 3 * 446; ++i)
      written = static_cast<bool>(track.Write(i, sector));
    EXPECT_FALSE(written || track.Flush());
  }
  // A call that fails names its error, then the file and the system's words;
  // a file that cannot be made is in staged_outputs_test.
  EXPECT_EQ(capture.Messages(),
            std::vector<std::string>(
                2, "Writing image file failed (28).\r\n/dev/full: No space left on device"));
}

}  // namespace
}  // namespace vcd2
