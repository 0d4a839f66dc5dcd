// A whole disc from real MPEG-1 streams made by ffmpeg, read back by ffprobe,
// libcdio, cdrdao, vcd-info and sector by sector, independently of the writer.
#include <cdio/cdio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/byte_order.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"
#include "support/media_tools.h"
#include "support/sector_reference.h"

namespace vcd2 {
namespace {

int VideoFrames(const std::string& path) {
  const std::string probe =
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=nb_read_frames -of csv=p=0 '";
  return std::atoi(test::Capture(probe + path + "'").c_str());
}

// The video frames of the MPEG stream a track image carries.
int TrackFrames(const test::TempDir& dir, const std::string& image) {
  const auto packs =
      test::PackStream(image, 0, static_cast<int32_t>(test::ImageSectors(image) - 150));
  return VideoFrames(dir.Write(image + ".mpg", std::string(packs.begin(), packs.end())));
}

// Checks every sector of an image whose first sector lies at `first`: sync,
// its own address, mode 2, the subheader's two copies, EDC (and P/Q).
void CheckImage(const std::string& path, int32_t first) {
  const int64_t sectors = test::ImageSectors(path);
  ASSERT_GT(sectors, 150) << path;
  int faults = 0;
  for (int32_t i = 0; i < sectors; ++i) {
    const RawSector s = test::ReadImageSector(path, i - 150);
    const std::pair<const char*, bool> checks[] = {
        {"sync", s[0] == 0 && s[11] == 0 && std::count(s.begin() + 1, s.begin() + 11, 0xFF) == 10},
        {"address", test::DiscAddress(s.data() + 12) == first + i},
        {"mode", s[15] == 2},
        {"subheader copies", std::equal(s.begin() + 16, s.begin() + 20, s.begin() + 20)},
        {"EDC or P/Q", test::SectorIsValid(s)}};
    for (const auto& [what, ok] : checks) {
      if (!ok && ++faults <= 3) ADD_FAILURE() << path << " sector " << i << ": " << what;
    }
  }
  EXPECT_EQ(faults, 0) << path;
}

// A data track with its pregap, a CD-i file, a two-unit segment before two
// one-unit ones, a PAL and an NTSC track and playback control, as separate
// images with addresses of their own and as one disc with disc addresses.
TEST(MpegDiscTest, SeparateImagesAndTheWholeDisc) {
  test::TempDir dir;
  const auto out = [&](const char* name) { return (dir.Path() / name).string(); };
  ASSERT_TRUE(test::MakeClip(out("pal.mpg"), "-t 4 -target pal-vcd"));
  ASSERT_TRUE(test::MakeClip(out("ntsc.mpg"), "-t 3 -target ntsc-vcd"));
  dir.Write("app.txt", std::string(3000, 'a'));
  const std::string disc = out("disc");
  const auto build = test::BuildDisc(dir, R"(
OUTPUT 1 DIR "data.bin" 2 DIR "t1.bin" 3 DIR "t2.bin" ENDOUTPUT
FILE "APP.TXT" DIR "app.txt"
MPGTRACK T1 1 DIR "pal.mpg"
MPGTRACK T2 2 DIR "ntsc.mpg"
DEFENTRY CHAPTER 0:0:2:0 T1
SEGMENT LONG 1 DIR "pal.mpg"
SEGMENT S1 2 DIR "ntsc.mpg"
SEGMENT S2 3 DIR "ntsc.mpg"
AUTOPAUSE S1 END
SELECTION START PLAY LONG ITEMS P1 P2 ENDITEMS TIMEOUT P1 ENDSELECTION
PLAYLIST P1 PLAY T1 S1 ENDPLAY NEXT START ENDPLAYLIST
PLAYLIST P2 PLAY CHAPTER S2 T2 ENDPLAY RETURN START ENDPLAYLIST
)",
                                     "", disc.c_str());
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  EXPECT_NE(std::find(build.warnings.begin(), build.warnings.end(),
                      "The disc mixes PAL tracks (T1) and NTSC tracks (T2); some players switch "
                      "badly between them or not at all."),
            build.warnings.end());
  for (const char* name : {"data.bin", "t1.bin", "t2.bin"}) CheckImage(out(name), -150);
  CheckImage(disc + ".bin", 0);
  const int frames = TrackFrames(dir, out("t1.bin"));
  EXPECT_EQ(frames, VideoFrames(out("pal.mpg")));
  EXPECT_GT(frames, 90);
  EXPECT_EQ(TrackFrames(dir, out("t2.bin")), VideoFrames(out("ntsc.mpg")));
  // Only the last track ends with the end gap.
  const int64_t length1 = test::ImageSectors(out("t1.bin")) - 150;
  const int64_t length2 = test::ImageSectors(out("t2.bin")) - 150;
  EXPECT_EQ(test::ReadImageSector(out("t1.bin"), static_cast<int32_t>(length1 - 1))[18], 0xE0);
  EXPECT_EQ(test::ReadImageSector(out("t2.bin"), static_cast<int32_t>(length2 - 1))[18], 0x20);
  const int64_t data_end = test::ImageSectors(out("data.bin")) - 150;  // padded, 150 behind
  EXPECT_EQ(data_end % 150, 0);
  const int64_t address1 = data_end + 152;
  const int64_t address2 = address1 + length1 + 152;
  test::IsoReader reader(out("data.bin"));
  const auto mpegav = reader.List("/MPEGAV/");
  ASSERT_TRUE(mpegav && mpegav->size() == 2);
  EXPECT_EQ(mpegav->at(0).lsn, address1);
  EXPECT_EQ(mpegav->at(1).lsn, address2);
  EXPECT_EQ(mpegav->at(1).file_number, 2);
  EXPECT_EQ(mpegav->at(0).attributes, 0x1555);
  EXPECT_EQ(reader.ReadDescriptor().volume_space_size, address2 + length2 + 2);

  const RawSector entries = test::ReadImageSector(out("data.bin"), 151);
  const uint8_t* entry = entries.data() + 24 + 12;
  ASSERT_EQ(LoadBigEndian16(entry - 2), 3);
  EXPECT_EQ(entry[0], 0x02);
  EXPECT_EQ(test::DiscAddress(entry + 1), address1);
  EXPECT_EQ(entry[8], 0x03);
  // The chapter lies on the sequence header in front of an intra picture.
  const RawSector pack = test::ReadImageSector(
      out("t1.bin"), test::DiscAddress(entry + 5) - static_cast<int32_t>(address1));
  const std::string payload(pack.begin() + 24, pack.begin() + 24 + 2324);
  EXPECT_NE(payload.find(std::string("\0\0\1\xB3", 4)), std::string::npos);
  EXPECT_EQ(test::ReadImageSector(out("data.bin"), 150)[24 + 30], 0x01);  // track 1 PAL, 2 not
  CdIo_t* cdio = cdio_open_bincue((disc + ".cue").c_str());
  ASSERT_NE(cdio, nullptr);
  EXPECT_EQ(cdio_get_num_tracks(cdio), 3);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 1), 0);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 2), address1);
  EXPECT_EQ(cdio_get_track_lsn(cdio, 3), address2);
  cdio_destroy(cdio);
  EXPECT_EQ(test::Shell("cdrdao show-toc '" + disc + ".toc'"), 0);
  if (test::Shell("command -v vcd-info") != 0) GTEST_SKIP() << "no vcd-info";
  const std::string report = test::Capture("vcd-info --cue-file '" + disc + ".cue' 2>&1");
  EXPECT_NE(report.find("SEGMENT"), std::string::npos) << report;
  EXPECT_EQ(report.find("WARN"), std::string::npos) << report;
  EXPECT_EQ(report.find("ERROR"), std::string::npos) << report;
}

}  // namespace
}  // namespace vcd2
