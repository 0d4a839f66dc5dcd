// Whole discs from real MPEG-1 streams made by ffmpeg, read back by ffprobe,
// libcdio, cdrdao, vcd-info and sector by sector, independently of the writer.
#include <cdio/cdio.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/byte_order.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"
#include "support/media_tools.h"
#include "support/sector_reference.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

int VideoFrames(const std::string& path) {
  return std::atoi(test::Capture("ffprobe -v error -count_frames -select_streams v:0 "
                                 "-show_entries stream=nb_read_frames -of csv=p=0 '" +
                                 path + "'")
                       .c_str());
}

// The MPEG stream a track image carries.
std::string ExtractStream(const test::TempDir& dir, const std::string& image) {
  const auto packs =
      test::PackStream(image, 0, static_cast<int32_t>(test::ImageSectors(image) - 150));
  return dir.Write(image + ".mpg", std::string(packs.begin(), packs.end()));
}

// What is wrong with a sector meant to lie at `address`; empty when nothing.
std::string SectorFault(const RawSector& sector, int32_t address) {
  static const uint8_t kSyncPattern[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  if (!std::equal(sector.begin(), sector.begin() + 12, kSyncPattern)) return "sync";
  if (test::DiscAddress(sector.data() + 12) != address) return "address";
  if (sector[15] != 2) return "mode";
  if (!std::equal(sector.begin() + 16, sector.begin() + 20, sector.begin() + 20)) {
    return "subheader copies";
  }
  if (!test::SectorIsValid(sector)) return (sector[18] & 0x20) ? "Form 2 EDC" : "Form 1 EDC or P/Q";
  return {};
}

// Checks every sector of an image whose first sector lies at `first`.
void CheckImage(const std::string& path, int32_t first) {
  const int64_t sectors = test::ImageSectors(path);
  ASSERT_GT(sectors, 150) << path;
  int faults = 0;
  for (int64_t i = 0; i < sectors; ++i) {
    const auto address = static_cast<int32_t>(first + i);
    const std::string fault =
        SectorFault(test::ReadImageSector(path, address - first - 150), address);
    if (!fault.empty() && ++faults <= 3) ADD_FAILURE() << path << " sector " << i << ": " << fault;
  }
  EXPECT_EQ(faults, 0) << path;
}

// Data track with its pregap, CD-i file, a two-unit segment before two
// one-unit ones, a PAL and an NTSC track and playback control; the separate
// images carry addresses of their own, the exported disc its disc addresses.
class MpegDiscTest : public test::DiscTest {
 protected:
  static void SetUpTestSuite() {
    media_ = new test::TempDir;
    const std::string dir = media_->Path().string();
    ASSERT_EQ(
        test::Shell("ffmpeg -y -f lavfi -i testsrc=duration=4:size=352x288:rate=25 -f lavfi -i "
                    "sine=duration=4 -target pal-vcd " +
                    dir + "/pal.mpg"),
        0);
    ASSERT_EQ(
        test::Shell("ffmpeg -y -f lavfi -i testsrc2=duration=3:size=352x240:rate=30000/1001 -f "
                    "lavfi -i sine=duration=3 -target ntsc-vcd " +
                    dir + "/ntsc.mpg"),
        0);
  }
  static void TearDownTestSuite() { delete media_; }

  std::string Media(const char* name) const { return (media_->Path() / name).string(); }

  static test::TempDir* media_;
};

test::TempDir* MpegDiscTest::media_ = nullptr;

// Two tracks as separate images and as one disc, which libcdio and cdrdao
// open: their streams, addresses, entries and INFO.VCD.
TEST_F(MpegDiscTest, TwoTracks) {
  const std::string disc = Out("disc");
  const auto build = test::BuildDisc(
      dir_,
      "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" 3 DIR \"t2.bin\" ENDOUTPUT\nMPGTRACK PAL 1 \"" +
          Media("pal.mpg") + "\"\nMPGTRACK NTSC 2 \"" + Media("ntsc.mpg") +
          "\"\nDEFENTRY E1 0:0:2:0 PAL\n",
      "", disc.c_str());
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  const int frames = VideoFrames(ExtractStream(dir_, Out("t1.bin")));
  EXPECT_EQ(frames, VideoFrames(Media("pal.mpg")));
  EXPECT_EQ(VideoFrames(ExtractStream(dir_, Out("t2.bin"))), VideoFrames(Media("ntsc.mpg")));
  EXPECT_GT(frames, 90);
  // Only the last track ends with the end gap.
  const int64_t first = test::ImageSectors(Out("t1.bin"));
  EXPECT_EQ(test::ReadImageSector(Out("t1.bin"), static_cast<int32_t>(first - 151))[18], 0xE0);
  EXPECT_EQ(test::ReadImageSector(
                Out("t2.bin"), static_cast<int32_t>(test::ImageSectors(Out("t2.bin")) - 151))[18],
            0x20);
  for (int32_t lba : {-150, 0, 29, 30, 31}) {
    EXPECT_TRUE(test::SectorIsValid(test::ReadImageSector(Out("t1.bin"), lba))) << lba;
  }
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
  EXPECT_EQ(test::DiscAddress(entry + 1), address1);
  // The entry lies on the sequence header in front of an intra picture.
  const uint8_t* chapter = entry + 4;
  const int32_t lba = test::DiscAddress(chapter + 1);
  const RawSector pack = test::ReadImageSector(Out("t1.bin"), lba - static_cast<int32_t>(address1));
  const std::string payload(pack.begin() + 24, pack.begin() + 24 + 2324);
  EXPECT_NE(payload.find(std::string("\0\0\1\xB3", 4)), std::string::npos);
  EXPECT_EQ(entry[8], 0x03);
  const RawSector info = test::ReadImageSector(Out("data.bin"), 150);
  EXPECT_EQ(info[24 + 30], 0x01);  // the first track is PAL, the second not
  CdIo_t* cdio = cdio_open_bincue((disc + ".cue").c_str());
  ASSERT_NE(cdio, nullptr);
  EXPECT_EQ(cdio_get_num_tracks(cdio), 3);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 1), 0);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 2), address1);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 3), address2);
  // Each sector of the disc carries its own disc address.
  uint8_t sector[2352];
  ASSERT_EQ(cdio_read_audio_sector(cdio, sector, static_cast<lsn_t>(address2 + 40)),
            DRIVER_OP_SUCCESS);
  EXPECT_EQ(test::DiscAddress(sector + 12), address2 + 40);
  cdio_destroy(cdio);
  EXPECT_EQ(test::Shell("cdrdao show-toc '" + disc + ".toc'"), 0);
}

// The disc of the fixture's comment; every sector of the separate images and
// of the exported disc is whole, under the address it lies at.
TEST_F(MpegDiscTest, EverySectorOfEveryImageIsComplete) {
  dir_.Write("app.txt", std::string(3000, 'a'));
  const std::string disc = Out("disc");
  const auto build = test::BuildDisc(dir_, "MOUNT INTERN MEDIA \"" + media_->Path().string() + R"("
OUTPUT 1 DIR "data.bin" 2 DIR "t1.bin" 3 DIR "t2.bin" ENDOUTPUT
FILE "APP.TXT" DIR "app.txt"
MPGTRACK T1 1 MEDIA "pal.mpg"
MPGTRACK T2 2 MEDIA "ntsc.mpg"
DEFENTRY CHAPTER 0:0:2:0 T1
SEGMENT LONG 1 MEDIA "pal.mpg"
SEGMENT S1 2 MEDIA "ntsc.mpg"
SEGMENT S2 3 MEDIA "ntsc.mpg"
AUTOPAUSE S1 END
SELECTION START PLAY LONG ITEMS P1 P2 ENDITEMS TIMEOUT P1 ENDSELECTION
PLAYLIST P1 PLAY T1 S1 ENDPLAY NEXT START ENDPLAYLIST
PLAYLIST P2 PLAY CHAPTER S2 T2 ENDPLAY RETURN START ENDPLAYLIST
)",
                                     "", disc.c_str());
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  CheckImage(Out("data.bin"), -150);
  CheckImage(Out("t1.bin"), -150);
  CheckImage(Out("t2.bin"), -150);
  CheckImage(disc + ".bin", 0);
  if (test::Shell("command -v vcd-info") != 0) GTEST_SKIP() << "no vcd-info";
  const std::string report = test::Capture("vcd-info --cue-file '" + disc + ".cue' 2>&1");
  EXPECT_NE(report.find("SEGMENT"), std::string::npos) << report;
  EXPECT_EQ(report.find("WARN"), std::string::npos) << report;
  EXPECT_EQ(report.find("ERROR"), std::string::npos) << report;
}

}  // namespace
}  // namespace vcd2
