// A realistic disc read back sector by sector, independently of the writer,
// and by vcd-info when it is installed.
#include <gtest/gtest.h>

#include "support/disc_build.h"
#include "support/media_tools.h"
#include "support/sector_reference.h"

namespace vcd2 {
namespace {

// What is wrong with a sector meant to lie at `address`; empty when nothing.
std::string SectorFault(const RawSector& sector, int32_t address) {
  static const uint8_t kSyncPattern[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  RawSector header{};
  StoreDiscTime(header.data(), address);
  if (!std::equal(sector.begin(), sector.begin() + 12, kSyncPattern)) return "sync";
  if (!std::equal(header.begin(), header.begin() + 3, sector.begin() + 12)) return "address";
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

class ReadBackTest : public ::testing::Test {
 protected:
  std::string Out(const char* name) const { return (dir_.Path() / name).string(); }
  test::TempDir dir_;
};

// Data track with its pregap, CD-i file, a two-unit segment before two
// one-unit ones, two PAL tracks and playback control; the separate images
// carry addresses of their own, the exported disc its disc addresses.
TEST_F(ReadBackTest, EverySectorOfEveryImageIsComplete) {
  const std::string ffmpeg = "ffmpeg -y -f lavfi -i testsrc=size=352x288:rate=25:duration=";
  for (const auto& [name, seconds] : {std::pair{"long.mpg", "4"}, std::pair{"short.mpg", "1"}}) {
    ASSERT_EQ(test::Shell(ffmpeg + seconds + " -f lavfi -i sine=duration=" + seconds +
                          " -target pal-vcd " + Out(name)),
              0);
  }
  dir_.Write("app.txt", std::string(3000, 'a'));
  const std::string disc = Out("disc");
  const auto build = test::BuildDisc(dir_, R"(
OUTPUT 1 DIR "data.bin" 2 DIR "t1.bin" 3 DIR "t2.bin" ENDOUTPUT
FILE "APP.TXT" DIR "app.txt"
MPGTRACK T1 1 DIR "long.mpg"
MPGTRACK T2 2 DIR "short.mpg"
DEFENTRY CHAPTER 0:0:2:0 T1
SEGMENT LONG 1 DIR "long.mpg"
SEGMENT S1 2 DIR "short.mpg"
SEGMENT S2 3 DIR "short.mpg"
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
