// The verifier on real discs: clean ones (ours as bin/cue and as separate
// images, with segments, playback control and CD-DA; and one by another
// builder) pass, and each single fault, made by changing one field of a clean
// disc and resealing the sector, is named with its place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "base/byte_order.h"
#include "base/progress.h"
#include "sector/sector.h"
#include "support/disc_build.h"
#include "support/media_tools.h"
#include "verify/verify_disc.h"

namespace vcd2 {
namespace {

struct Verified {
  VerifyOutcome outcome;
  ProblemLog log;
};

Verified Verify(const std::vector<std::string>& files) {
  Verified v{VerifyOutcome::kClean, {}};
  SetProgressCallback(nullptr);  // a build's progress function does not outlive it
  std::string summary;
  v.outcome = VerifyDisc(files, v.log, summary);
  return v;
}

std::string Lines(const ProblemLog& log) {
  std::string text;
  for (const Problem& p : log.Shown()) text += ProblemLine(p) + "\n";
  return text;
}

// One disc built once for all tests: a PAL and an NTSC track, an entry, two
// segments, a selection and play lists, and a CD-DA track.
class VerifyDiscTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    const auto out = [](const char* name) { return (dir_->Path() / name).string(); };
    ASSERT_TRUE(test::MakeClip(out("pal.mpg"), "-target pal-vcd"));
    ASSERT_TRUE(test::MakeClip(out("ntsc.mpg"), "-target ntsc-vcd"));
    dir_->Write("a.pcm", std::string(2352 * 20, 'a'));
    const auto build = test::BuildDisc(*dir_, R"(
OUTPUT 1 DIR "data.img" 2 DIR "t1.img" 3 DIR "t2.img" ENDOUTPUT
MPGTRACK T1 1 DIR "pal.mpg"
MPGTRACK T2 2 DIR "ntsc.mpg"
DEFENTRY CHAPTER 0:0:0:12 T1
SEGMENT LONG 1 DIR "pal.mpg"
SEGMENT S1 2 DIR "ntsc.mpg"
DATRACK SONG 1 PCML DIR "a.pcm"
SELECTION START PLAY LONG ITEMS P1 P2 ENDITEMS TIMEOUT P1 ENDSELECTION
PLAYLIST P1 PLAY T1 S1 SONG ENDPLAY NEXT START ENDPLAYLIST
PLAYLIST P2 PLAY CHAPTER T2 ENDPLAY RETURN START ENDPLAYLIST
)",
                                       "", out("disc").c_str());
    ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::string Out(const std::string& name) { return (dir_->Path() / name).string(); }

  // A copy of the clean bin/cue disc named `name`, changed by `change`.
  std::string BrokenDisc(const std::string& name,
                         const std::function<void(std::fstream&)>& change) {
    std::filesystem::copy_file(Out("disc.bin"), Out(name + ".bin"),
                               std::filesystem::copy_options::overwrite_existing);
    std::ifstream cue(Out("disc.cue"));
    std::string text((std::istreambuf_iterator<char>(cue)), std::istreambuf_iterator<char>());
    text.replace(text.find("disc.bin"), 8, name + ".bin");
    dir_->Write(name + ".cue", text);
    std::fstream bin(Out(name + ".bin"), std::ios::in | std::ios::out | std::ios::binary);
    change(bin);
    return Out(name + ".cue");
  }

  static inline test::TempDir* dir_ = nullptr;
};

RawSector ReadAt(std::fstream& bin, int32_t lba) {
  RawSector sector{};
  bin.seekg(int64_t{lba} * 2352);
  bin.read(reinterpret_cast<char*>(sector.data()), sector.size());
  return sector;
}

void WriteAt(std::fstream& bin, int32_t lba, const RawSector& sector) {
  bin.seekp(int64_t{lba} * 2352);
  bin.write(reinterpret_cast<const char*>(sector.data()), sector.size());
}

// Changes user data bytes of the sector at lba and reseals it.
void Change(std::fstream& bin, int32_t lba, const std::function<void(uint8_t*)>& change,
            bool reseal = true) {
  RawSector sector = ReadAt(bin, lba);
  change(sector.data() + kUserDataOffset);
  if (reseal) FinishSector(sector, lba);
  WriteAt(bin, lba, sector);
}

TEST_F(VerifyDiscTest, CleanDiscsPass) {
  for (const std::vector<std::string>& files :
       {std::vector<std::string>{Out("disc.cue")},
        std::vector<std::string>{Out("data.img"), Out("t1.img"), Out("t2.img")}}) {
    const Verified v = Verify(files);
    EXPECT_EQ(v.outcome, VerifyOutcome::kClean) << Lines(v.log);
    EXPECT_EQ(v.log.Faults() + v.log.Warnings(), 0u) << Lines(v.log);
  }
}

TEST_F(VerifyDiscTest, DiscOfAnotherBuilderPasses) {
  if (test::Shell("command -v vcdimager") != 0) GTEST_SKIP() << "no vcdimager";
  for (const char* type : {"vcd2", "vcd11"}) {
    const std::string cue = Out(std::string("other_") + type + ".cue");
    ASSERT_EQ(test::Shell("cd '" + dir_->Path().string() + "' && vcdimager -q -t " + type +
                          " -c '" + cue + "' -b other_" + type + ".bin ntsc.mpg ntsc.mpg"),
              0);
    const Verified v = Verify({cue});
    EXPECT_EQ(v.outcome, VerifyOutcome::kClean) << type << "\n" << Lines(v.log);
  }
}

// Each case breaks one field and expects only faults of one code, the first
// at the named place.
struct FaultCase {
  const char* name;
  std::function<void(std::fstream&)> change;
  ProblemCode code;
  const char* where;                               // a part of the first such problem's place
  std::optional<ProblemCode> also = std::nullopt;  // a fault that follows from it
};

// The sector of the directory that holds `identifier` and its byte there.
std::pair<int32_t, size_t> FindRecord(std::fstream& bin, const std::string& identifier) {
  for (int32_t lba = 18; lba < 40; ++lba) {
    const RawSector s = ReadAt(bin, lba);
    const std::string data(s.begin() + kUserDataOffset, s.begin() + kUserDataOffset + 2048);
    const size_t at = data.find(identifier);
    if (at != std::string::npos) return {lba, at - 33};
  }
  return {0, 0};
}

TEST_F(VerifyDiscTest, EachFaultIsNamedWithItsPlace) {
  const Verified clean = Verify({Out("disc.cue")});
  ASSERT_EQ(clean.log.Faults(), 0u);
  // Where the second MPEG track starts, from the clean disc's third entry.
  std::fstream clean_bin(Out("disc.bin"), std::ios::in | std::ios::binary);
  const int32_t track3 = test::DiscAddress(ReadAt(clean_bin, 151).data() + kUserDataOffset + 21);
  const int32_t chapter = test::DiscAddress(ReadAt(clean_bin, 151).data() + kUserDataOffset + 17);
  // PSD.VCD: the START selection (3 units), then P1 at offset 3 (byte 24).
  constexpr size_t kP1 = 24;
  const std::vector<FaultCase> cases = {
      {"info_byte", [](std::fstream& bin) { Change(bin, 150, [](uint8_t* d) { d[3] ^= 0x01; }); },
       ProblemCode::kInfoField, "INFO.VCD byte 0"},
      {"header_address",
       [](std::fstream& bin) {
         RawSector s = ReadAt(bin, 500);
         s[14] = Bcd(1);
         WriteAt(bin, 500, s);
       },
       ProblemCode::kSectorAddress, "sector 500 (00:08:50)"},
      {"volume_size",
       [track3](std::fstream& bin) {
         Change(bin, 16, [track3](uint8_t* d) { StoreBothEndian32(d + 80, track3); });
       },
       ProblemCode::kIsoVolumeSize, "PVD volume space size"},
      {"entry_past_track",
       [track3](std::fstream& bin) {
         Change(bin, 151, [track3](uint8_t* d) { StoreDiscTime(d + 12 + 4 + 1, track3 - 10); });
       },
       ProblemCode::kEntryOutside, "ENTRIES.VCD entry 2"},
      {"lot_offset",
       [](std::fstream& bin) { Change(bin, 152, [](uint8_t* d) { StoreBigEndian16(d + 4, 1); }); },
       ProblemCode::kLotOffset, "LOT.VCD entry 2"},
      {"garbage_pack",
       [track3](std::fstream& bin) {
         Change(bin, track3 + 40, [](uint8_t* d) {
           for (size_t i = 0; i < 2324; ++i) d[i] = static_cast<uint8_t>(i * 37 + 11);
         });
       },
       ProblemCode::kMpegPack, "sector"},
      {"edc",
       [](std::fstream& bin) {
         Change(
             bin, 300, [](uint8_t* d) { d[100] ^= 0x40; }, false);
       },
       ProblemCode::kSectorEdc, "sector 300 (00:06:00)"},
      {"ecc",
       [](std::fstream& bin) {
         Change(
             bin, 16, [](uint8_t* d) { d[2100] ^= 0x01; }, false);
       },
       ProblemCode::kSectorEcc, "sector 16 (00:02:16)"},
      {"sync",
       [](std::fstream& bin) {
         Change(
             bin, 300, [](uint8_t* d) { d[-20] = 0; }, false);
       },
       ProblemCode::kSectorSync, "sector 300"},
      {"mode",
       [](std::fstream& bin) {
         Change(
             bin, 300, [](uint8_t* d) { d[-9] = 1; }, false);
       },
       ProblemCode::kSectorMode, "sector 300"},
      {"subheader_copy",
       [](std::fstream& bin) { Change(bin, 300, [](uint8_t* d) { d[-4] ^= 0x01; }); },
       ProblemCode::kSubheaderCopies, "sector 300"},
      {"xa_form",
       [](std::fstream& bin) {
         const auto [lba, at] = FindRecord(bin, "AVSEQ01.DAT;1");
         Change(bin, lba,
                [at = at](uint8_t* d) { StoreBigEndian16(d + at + 33 + 13 + 4, 0x0D55); });
       },
       ProblemCode::kIsoXa, "MPEGAV/AVSEQ01.DAT"},
      {"pal_flag", [](std::fstream& bin) { Change(bin, 150, [](uint8_t* d) { d[30] = 0x03; }); },
       ProblemCode::kInfoPal, "INFO.VCD byte 30"},
      {"segment_contents",
       [](std::fstream& bin) { Change(bin, 150, [](uint8_t* d) { d[56] &= ~0x10; }); },
       ProblemCode::kInfoSegment, "INFO.VCD byte 56"},
      {"entries_order",
       [chapter](std::fstream& bin) {
         Change(bin, 151, [chapter](uint8_t* d) { StoreDiscTime(d + 13, chapter + 1); });
       },
       ProblemCode::kEntriesOrder, "ENTRIES.VCD entry 2"},
      {"psd_target",
       [](std::fstream& bin) {
         Change(bin, 184, [](uint8_t* d) { StoreBigEndian16(d + kP1 + 6, 4); });
       },
       ProblemCode::kPsdTarget, "PSD.VCD descriptor at offset 3"},
      {"psd_item",
       [](std::fstream& bin) {
         Change(bin, 184, [](uint8_t* d) { StoreBigEndian16(d + kP1 + 14, 999); });
       },
       ProblemCode::kPsdItem, "PSD.VCD descriptor at offset 3", ProblemCode::kPsdExtended},
      {"mpeg_clock",
       [track3](std::fstream& bin) {
         const RawSector before = ReadAt(bin, track3 + 40);
         Change(bin, track3 + 41, [&before](uint8_t* d) {
           std::copy_n(before.begin() + kUserDataOffset + 4, 5, d + 4);
         });
       },
       ProblemCode::kMpegClock, "(MPEGAV/AVSEQ02.DAT)"},
      {"mpeg_compliance",
       [track3](std::fstream& bin) { Change(bin, track3 + 40, [](uint8_t* d) { d[10] ^= 0x02; }); },
       ProblemCode::kMpegCompliance, "MPEGAV/AVSEQ02.DAT"},
  };
  for (const FaultCase& c : cases) {
    const Verified v = Verify({BrokenDisc(c.name, c.change)});
    EXPECT_EQ(v.outcome, VerifyOutcome::kFaults) << c.name;
    EXPECT_GE(v.log.Count(c.code), 1u) << c.name << "\n" << Lines(v.log);
    EXPECT_EQ(v.log.Faults(), v.log.Count(c.code) + (c.also ? v.log.Count(*c.also) : 0))
        << c.name << "\n"
        << Lines(v.log);
    for (const Problem& p : v.log.Shown()) {
      if (p.code != c.code) continue;
      EXPECT_NE(p.where.find(c.where), std::string::npos) << c.name << ": " << ProblemLine(p);
      break;
    }
  }
}

// A pregap sector that carries data is a warning: the disc still passes.
TEST_F(VerifyDiscTest, PregapWithDataIsAWarning) {
  std::fstream clean_bin(Out("disc.bin"), std::ios::in | std::ios::binary);
  const int32_t track3 = test::DiscAddress(ReadAt(clean_bin, 151).data() + kUserDataOffset + 21);
  const Verified v = Verify({BrokenDisc("pregap", [track3](std::fstream& bin) {
    Change(bin, track3 - 50, [](uint8_t* d) { d[0] = 1; });
  })});
  EXPECT_EQ(v.outcome, VerifyOutcome::kClean) << Lines(v.log);
  EXPECT_EQ(v.log.Count(ProblemCode::kGapSector), 1u) << Lines(v.log);
}

// Past ten problems of one code only the count grows.
TEST(ProblemLogTest, ShowsTenOfACodeAndCountsTheRest) {
  ProblemLog log;
  for (int i = 0; i < 15; ++i) log.Add(ProblemCode::kSectorEdc, SectorPlace("d.bin", i), "bad");
  log.Add(ProblemCode::kEntryPicture, "ENTRIES.VCD entry 2", "no sequence header");
  EXPECT_EQ(log.Count(ProblemCode::kSectorEdc), 15u);
  EXPECT_EQ(log.Shown().size(), 11u);
  EXPECT_EQ(log.Faults(), 15u);
  EXPECT_EQ(log.Warnings(), 1u);
  EXPECT_EQ(log.Unshown(), std::vector<std::string>{"5 more of [sector-edc]"});
  EXPECT_EQ(ProblemLine(log.Shown()[1]), "d.bin sector 1 (00:02:01): bad [sector-edc]");
  EXPECT_EQ(SectorPlace("d.bin", -1), "d.bin sector -1 (00:01:74)");
}

// A track image's header addresses count from the image's own start.
TEST_F(VerifyDiscTest, SeparateImagesNameTheImageAndItsOwnAddress) {
  std::filesystem::copy_file(Out("t1.img"), Out("t1_broken.img"),
                             std::filesystem::copy_options::overwrite_existing);
  std::fstream image(Out("t1_broken.img"), std::ios::in | std::ios::out | std::ios::binary);
  RawSector s = ReadAt(image, 150 + 10);
  s[13] = Bcd(9);
  WriteAt(image, 150 + 10, s);
  image.close();
  const Verified v = Verify({Out("data.img"), Out("t1_broken.img"), Out("t2.img")});
  ASSERT_EQ(v.log.Faults(), 1u) << Lines(v.log);
  EXPECT_EQ(v.log.Shown().front().where, Out("t1_broken.img") + " sector 10 (00:02:10)");
}

TEST_F(VerifyDiscTest, UnreadableFiles) {
  dir_->Write("missing.cue",
              "FILE \"missing.bin\" BINARY\n  TRACK 01 MODE2/2352\n"
              "    INDEX 01 00:00:00\n");
  Verified v = Verify({Out("missing.cue")});
  EXPECT_EQ(v.outcome, VerifyOutcome::kUnreadable);
  ASSERT_EQ(v.log.Count(ProblemCode::kFileUnreadable), 1u);
  EXPECT_EQ(v.log.Shown().front().where, Out("missing.cue") + " line 1");
  v = Verify({Out("data.img"), Out("nothing.img")});
  EXPECT_EQ(v.outcome, VerifyOutcome::kUnreadable);
}

}  // namespace
}  // namespace vcd2
