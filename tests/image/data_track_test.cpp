// Data track images read back by libiso9660 and checked sector by sector.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/byte_order.h"
#include "image/iso/recording_date.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"
#include "support/media_tools.h"
#include "support/sector_reference.h"

namespace vcd2 {
namespace {

class DataTrackTest : public test::DiscTest {
 protected:
  void SetUp() override {
    PinRecordingDate(RecordingDate{126, 12, 5, 14, 30, 0, 4});
    dir_.Write("copy.txt", std::string(3000, 'c'));
  }
  void TearDown() override { PinRecordingDate(std::nullopt); }

  std::string Image() const { return Out("data.bin"); }
};

const char kNoTracks[] =
    "ALBUM \"MY ALBUM\" VOLUME 2 ANZVOL 3 APP \"TESTAPP\"\n"
    "COPYRIGHT \"COPY.TXT\" DIR \"copy.txt\" VOLSET \"SET.TXT\" DIR \"copy.txt\"\n"
    "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT";

// Read back by libiso9660; every other byte is pinned by the hash.
TEST_F(DataTrackTest, AScriptWithoutTracksBuildsAReadableVolume) {
  const auto build =
      test::BuildDisc(dir_, std::string(kNoTracks) + "\nFILE \"APP.TXT\" DIR \"copy.txt\"");
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  EXPECT_EQ(test::Sha256(Image()),
            "613eaa1e1a3d3f080c327cb7e1e952372fac4786a186c3713e609ab007d8de80");
  test::IsoReader reader(Image());
  const auto descriptor = reader.ReadDescriptor();
  EXPECT_EQ(descriptor.system_id, "CD-RTOS CD-BRIDGE");
  EXPECT_EQ(descriptor.volume_id, "MY ALBUM");
  EXPECT_EQ(descriptor.volume_set_id, "SET.TXT");
  EXPECT_EQ(descriptor.application_id, "CDI/TESTAPP;1");
  // 152 reserved sectors, the 3000-byte file and APP.TXT give 156; padded
  // to 300 and 150 empty sectors behind, then 2 more.
  EXPECT_EQ(descriptor.volume_space_size, 452);
  const auto root = reader.List("/");
  ASSERT_TRUE(root);
  std::vector<std::string> names;
  for (const auto& entry : *root) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"CDI", "COPY.TXT;1", "EXT", "MPEGAV", "SEGMENT",
                                             "SET.TXT;1", "VCD"}));
  // 600 sectors in the image, 452 on the disc.
  EXPECT_EQ(build.summary.rfind("Images:\n  " + Image() + " ", 0), 0u);
  EXPECT_EQ(build.summary.substr(build.summary.find(" 1.41 MB\n")),
            " 1.41 MB\nTracks:\n   1  data track                      00:06\nEntries: 0\n"
            "Disc: 00:06, 1.1 MB; 0.1% of a 74-minute disc, 0.1% of an 80-minute disc\n");

  // Both path tables list the root, then its directories by name, with the
  // extents the directory records give; the descriptor points at them.
  const RawSector pvd = test::ReadImageSector(Image(), 16);
  const uint8_t* fields = pvd.data() + kUserDataOffset;
  const uint32_t size = LoadLittleEndian32(fields + 132);
  EXPECT_EQ(LoadBigEndian32(fields + 136), size);
  std::vector<std::pair<std::string, uint32_t>> expected = {
      {std::string(1, '\0'), LoadLittleEndian32(fields + 156 + 2)}};
  for (const auto& entry : *root) {
    if (entry.directory) expected.emplace_back(entry.name, entry.lsn);
  }
  for (const bool big : {false, true}) {
    const uint32_t lba = big ? LoadBigEndian32(fields + 148) : LoadLittleEndian32(fields + 140);
    const RawSector table = test::ReadImageSector(Image(), static_cast<int32_t>(lba));
    const uint8_t* record = table.data() + kUserDataOffset;
    std::vector<std::pair<std::string, uint32_t>> found;
    while (record < table.data() + kUserDataOffset + size) {
      const uint8_t length = record[0];
      const uint32_t extent = big ? LoadBigEndian32(record + 2) : LoadLittleEndian32(record + 2);
      EXPECT_EQ(big ? LoadBigEndian16(record + 6) : record[6] | record[7] << 8, 1);  // parent
      found.emplace_back(std::string(reinterpret_cast<const char*>(record + 8), length), extent);
      record += 8 + length + length % 2;
    }
    EXPECT_EQ(record, table.data() + kUserDataOffset + size) << big;
    EXPECT_EQ(found, expected) << big;
  }
}

// Without MPEG tracks, 225 scrambler sectors and 75 more precede the CD-DA
// track's 152-sector distance. A root file named with its version is
// recorded once with it; the descriptor names it without. No ALBUM leaves
// the volume identifier and INFO.VCD's album blank.
TEST_F(DataTrackTest, CdDaTracksWithoutMpegTracksAndVolumeIdentifiers) {
  dir_.Write("a.pcm", std::string(2353, 'a'));
  const auto build = test::BuildDisc(dir_, std::string(kNoTracks) +
                                               "\nABSTRACT \"ABS.TXT;1\" DIR \"copy.txt\"\n"
                                               "DATRACK SONG 1 PCML DIR \"a.pcm\"");
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  test::IsoReader reader(Image());
  const auto cdda = reader.List("/CDDA/");
  ASSERT_TRUE(cdda && cdda->size() == 1);
  EXPECT_EQ(cdda->at(0).name, "AUDIO02.DAT;1");
  EXPECT_EQ(cdda->at(0).attributes, 0x4555);
  const uint32_t next_free = 450 + 225 + 75;
  EXPECT_EQ(cdda->at(0).lsn, next_free + 152);
  EXPECT_EQ(cdda->at(0).size, 2048u);
  EXPECT_EQ(reader.ReadDescriptor().volume_space_size, static_cast<int>(next_free + 152 + 1 + 2));
  EXPECT_EQ(test::ImageSectors(Image()), 150 + 450 + 225);
  const RawSector gap = test::ReadImageSector(Image(), 450);
  EXPECT_EQ(gap[18], 0x20);
  EXPECT_EQ(gap[24], test::ScramblerByte(12));
  EXPECT_TRUE(test::SectorIsValid(gap));

  const RawSector pvd = test::ReadImageSector(Image(), 16);
  EXPECT_EQ(std::string(pvd.begin() + kUserDataOffset + 739, pvd.begin() + kUserDataOffset + 776),
            "ABS.TXT" + std::string(30, ' '));
  EXPECT_FALSE(reader.List("/CDI/"));  // no CD-i files, no folder
  const auto root = reader.List("/");
  ASSERT_TRUE(root);
  EXPECT_EQ(std::count_if(root->begin(), root->end(),
                          [](const auto& entry) { return entry.name == "ABS.TXT;1"; }),
            1);
  ASSERT_EQ(test::BuildDisc(dir_, "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT").result, 0);
  const RawSector plain = test::ReadImageSector(Image(), 16);
  EXPECT_EQ(std::string(plain.begin() + kUserDataOffset + 40, plain.begin() + kUserDataOffset + 72),
            std::string(32, ' '));
  const RawSector info = test::ReadImageSector(Image(), 150);  // INFO.VCD's album too
  EXPECT_EQ(std::string(info.begin() + kUserDataOffset + 10, info.begin() + kUserDataOffset + 26),
            std::string(16, ' '));
}

// A CD-DA source without one whole sample frame, or one that cannot be
// opened although it exists, fails the build with one message.
TEST_F(DataTrackTest, EmptyAndUnreadableCdDaSources) {
  dir_.Write("empty.pcm", "");
  dir_.Write("short.pcm", "abc");
  std::filesystem::create_directory(dir_.Path() / "folder.pcm");
  const std::string source = "CD-DA source " + dir_.Path().string() + "/";
  std::vector<std::pair<const char*, std::string>> cases = {
      {"empty.pcm",
       "The " + source + "empty.pcm holds no audio: 0 bytes, not one sample frame of 4."},
      {"short.pcm",
       "The " + source + "short.pcm holds no audio: 3 bytes, not one sample frame of 4."},
      {"folder.pcm", "Could not open " + source + "folder.pcm: not a regular file."}};
  if (geteuid() != 0) {  // root reads any file
    dir_.Write("locked.pcm", "abcd");
    std::filesystem::permissions(dir_.Path() / "locked.pcm", std::filesystem::perms::none);
    cases.emplace_back("locked.pcm", "Could not open " + source + "locked.pcm: Permission denied.");
  }
  for (const auto& [name, message] : cases) {
    const auto build = test::BuildDisc(
        dir_, std::string(kNoTracks) + "\nDATRACK SONG 1 PCML DIR \"" + name + "\"");
    EXPECT_EQ(build.result, 1) << name;
    EXPECT_EQ(build.messages, std::vector<std::string>{message});
  }
}

// The whole disc's cue sheet and TOC name a CD-DA source from their own
// folder, as they name the disc image, so cdrdao reads them from there.
TEST_F(DataTrackTest, WholeDiscFilesNameCdDaSourcesFromTheirFolder) {
  dir_.Write("a.pcm", std::string(2352 * 100, '\0'));
  std::filesystem::create_directory(Out("sub"));
  const std::string disc = Out("sub/whole");
  const auto build = test::BuildDisc(
      dir_, std::string(kNoTracks) + "\nDATRACK S 1 PCML DIR \"a.pcm\"", "", disc.c_str());
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  EXPECT_NE(test::Capture("cat '" + disc + ".cue'").find("FILE \"../a.pcm\" BINARY"),
            std::string::npos);
  EXPECT_NE(test::Capture("cat '" + disc + ".toc'").find("AUDIOFILE \"../a.pcm\" 0"),
            std::string::npos);
  EXPECT_EQ(test::Shell("cd '" + Out("sub") + "' && cdrdao show-toc whole.toc >/dev/null 2>&1"), 0);
}

}  // namespace
}  // namespace vcd2
