// Whole discs from real MPEG-1 streams made by ffmpeg, read back by ffprobe,
// libcdio and cdrdao.
#include <cdio/cdio.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "base/byte_order.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"
#include "support/sector_reference.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

std::string Capture(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  pclose(pipe);
  return output;
}

int VideoFrames(const std::string& path) {
  return std::atoi(Capture("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                           "stream=nb_read_frames -of csv=p=0 '" +
                           path + "'")
                       .c_str());
}

// The Form 2 payloads of a track image's MPEG sectors, as a stream.
void ExtractStream(const std::string& image, const std::string& out) {
  std::ofstream stream(out, std::ios::binary);
  for (int32_t lba = 0; lba < test::ImageSectors(image) - 150; ++lba) {
    const RawSector sector = test::ReadImageSector(image, lba);
    const bool packs = (sector[18] & 0x60) == 0x60 && sector[24] == 0 && sector[26] == 1;
    if (!packs) continue;
    const size_t size = (sector[18] & 0x04) ? 2304 : 2324;
    stream.write(reinterpret_cast<const char*>(sector.data() + 24), static_cast<long>(size));
  }
}

class MpegDiscTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    media_ = new test::TempDir;
    const std::string dir = media_->Path().string();
    ASSERT_EQ(Shell("ffmpeg -y -f lavfi -i testsrc=duration=4:size=352x288:rate=25 -f lavfi -i "
                    "sine=duration=4 -target pal-vcd " +
                    dir + "/pal.mpg"),
              0);
    ASSERT_EQ(Shell("ffmpeg -y -f lavfi -i testsrc2=duration=3:size=352x240:rate=30000/1001 -f "
                    "lavfi -i sine=duration=3 -target ntsc-vcd " +
                    dir + "/ntsc.mpg"),
              0);
  }
  static void TearDownTestSuite() { delete media_; }

  std::string Media(const char* name) const { return (media_->Path() / name).string(); }
  std::string Out(const char* name) const { return (dir_.Path() / name).string(); }

  test::DiscBuild BuildTwoTracks(const char* disc_image = nullptr) {
    const std::string body =
        "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" 3 DIR \"t2.bin\" ENDOUTPUT\n"
        "MPGTRACK PAL 1 \"" +
        Media("pal.mpg") + "\"\nMPGTRACK NTSC 2 \"" + Media("ntsc.mpg") +
        "\"\nDEFENTRY E1 0:0:2:0 PAL\n";
    return test::BuildDisc(dir_, body, "", disc_image);
  }

  static test::TempDir* media_;
  test::TempDir dir_;
};

test::TempDir* MpegDiscTest::media_ = nullptr;

TEST_F(MpegDiscTest, TracksDemuxAndDecodeLikeTheirSources) {
  const auto build = BuildTwoTracks();
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  ExtractStream(Out("t1.bin"), Out("t1.mpg"));
  ExtractStream(Out("t2.bin"), Out("t2.mpg"));
  EXPECT_EQ(VideoFrames(Out("t1.mpg")), VideoFrames(Media("pal.mpg")));
  EXPECT_EQ(VideoFrames(Out("t2.mpg")), VideoFrames(Media("ntsc.mpg")));
  EXPECT_GT(VideoFrames(Out("t1.mpg")), 90);
  // Only the last track ends with the end gap.
  const int64_t first = test::ImageSectors(Out("t1.bin"));
  EXPECT_EQ(test::ReadImageSector(Out("t1.bin"), static_cast<int32_t>(first - 151))[18], 0xE0);
  EXPECT_EQ(test::ReadImageSector(
                Out("t2.bin"), static_cast<int32_t>(test::ImageSectors(Out("t2.bin")) - 151))[18],
            0x20);
  for (int32_t lba : {-150, 0, 29, 30, 31}) {
    EXPECT_TRUE(test::SectorIsValid(test::ReadImageSector(Out("t1.bin"), lba))) << lba;
  }
}

TEST_F(MpegDiscTest, AddressesEntriesAndInfo) {
  ASSERT_EQ(BuildTwoTracks().result, 0);
  const int64_t length1 = test::ImageSectors(Out("t1.bin")) - 150;
  const int64_t length2 = test::ImageSectors(Out("t2.bin")) - 150;
  const int64_t data_end = test::ImageSectors(Out("data.bin")) - 150;  // padded, 150 behind
  EXPECT_EQ(data_end % 150, 0);
  const int64_t address1 = data_end + 152;
  const int64_t address2 = address1 + length1 + 152;
  test::IsoReader reader(Out("data.bin"));
  const auto mpegav = reader.List("/MPEGAV/");
  ASSERT_TRUE(mpegav);
  ASSERT_EQ(mpegav->size(), 2u);
  EXPECT_EQ(mpegav->at(0).lsn, address1);
  EXPECT_EQ(mpegav->at(1).lsn, address2);
  EXPECT_EQ(mpegav->at(1).file_number, 2);
  EXPECT_EQ(mpegav->at(0).attributes, 0x1555);
  EXPECT_EQ(reader.ReadDescriptor().volume_space_size, address2 + length2 + 2);

  const RawSector entries = test::ReadImageSector(Out("data.bin"), 151);
  const uint8_t* data = entries.data() + 24;
  ASSERT_EQ(LoadBigEndian16(data + 10), 3);
  const uint8_t* entry = data + 12;
  EXPECT_EQ(entry[0], 0x02);
  RawSector time{};
  StoreDiscTime(time.data(), static_cast<int32_t>(address1));
  EXPECT_TRUE(std::equal(time.begin(), time.begin() + 3, entry + 1));
  // The entry lies on the sequence header in front of an intra picture.
  const uint8_t* chapter = entry + 4;
  const int32_t lba = (chapter[1] >> 4) * 10 * 4500 + (chapter[1] & 15) * 4500 +
                      ((chapter[2] >> 4) * 10 + (chapter[2] & 15)) * 75 + (chapter[3] >> 4) * 10 +
                      (chapter[3] & 15) - 150;
  const RawSector pack = test::ReadImageSector(Out("t1.bin"), lba - static_cast<int32_t>(address1));
  const std::string payload(pack.begin() + 24, pack.begin() + 24 + 2324);
  EXPECT_NE(payload.find(std::string("\0\0\1\xB3", 4)), std::string::npos);
  EXPECT_EQ(entry[8], 0x03);
  const RawSector info = test::ReadImageSector(Out("data.bin"), 150);
  EXPECT_EQ(info[24 + 30], 0x01);  // the first track is PAL, the second not
}

TEST_F(MpegDiscTest, TheExportedDiscOpensInLibcdioAndCdrdao) {
  const std::string disc = Out("disc");
  ASSERT_EQ(BuildTwoTracks(disc.c_str()).result, 0);
  CdIo_t* cdio = cdio_open_bincue((disc + ".cue").c_str());
  ASSERT_NE(cdio, nullptr);
  EXPECT_EQ(cdio_get_num_tracks(cdio), 3);
  test::IsoReader reader(Out("data.bin"));
  const auto mpegav = reader.List("/MPEGAV/");
  ASSERT_TRUE(mpegav);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 1), 0);
  EXPECT_EQ(static_cast<uint32_t>(cdio_get_track_lsn(cdio, 2)), mpegav->at(0).lsn);
  EXPECT_EQ(static_cast<uint32_t>(cdio_get_track_lsn(cdio, 3)), mpegav->at(1).lsn);
  // Each sector of the disc carries its own disc address.
  const lsn_t lsn = cdio_get_track_lsn(cdio, 3) + 40;
  uint8_t sector[2352];
  ASSERT_EQ(cdio_read_audio_sector(cdio, sector, lsn), DRIVER_OP_SUCCESS);
  RawSector time{};
  StoreDiscTime(time.data(), lsn);
  EXPECT_TRUE(std::equal(time.begin(), time.begin() + 3, sector + 12));
  cdio_destroy(cdio);
  EXPECT_EQ(Shell("cdrdao show-toc '" + disc + ".toc'"), 0);
}

}  // namespace
}  // namespace vcd2
