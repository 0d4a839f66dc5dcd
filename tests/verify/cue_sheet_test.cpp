// The cue sheet reader: the spans it gives the tracks, and one problem per
// line it cannot take.
#include "verify/cue_sheet.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vcd2 {
namespace {

class CueSheetTest : public ::testing::Test {
 protected:
  CueSheetTest() {
    dir_.Write("disc.bin", std::string(2352 * 400, '\0'));
    dir_.Write("song.wav", "RIFF");
  }
  std::string Cue() const { return (dir_.Path() / "disc.cue").string(); }
  test::TempDir dir_;
};

TEST_F(CueSheetTest, TracksInOneFileWithPregaps) {
  DiscSource disc;
  ProblemLog log;
  ASSERT_TRUE(ReadCueText(Cue(),
                          "REM made by hand\r\nFILE \"disc.bin\" BINARY\n"
                          "  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
                          "  TRACK 02 MODE2/2352\n    INDEX 00 00:02:00\n    INDEX 01 00:04:00\n"
                          "  TRACK 03 MODE2/2352\n    PREGAP 00:02:00\n    INDEX 01 00:05:00\n"
                          "FILE \"song.wav\" WAVE\n  TRACK 04 AUDIO\n    INDEX 01 00:00:00\n",
                          disc, log));
  EXPECT_EQ(log.Faults(), 0u);
  ASSERT_EQ(disc.tracks.size(), 3u);
  EXPECT_EQ(disc.tracks[0].first, 0);
  EXPECT_EQ(disc.tracks[0].end, 150);
  EXPECT_EQ(disc.tracks[1].first, 150);
  EXPECT_EQ(disc.tracks[1].start, 300);
  EXPECT_EQ(disc.tracks[1].end, 375);
  EXPECT_EQ(disc.tracks[2].start, 375 + 150);  // the PREGAP is not in the file
  EXPECT_EQ(disc.tracks[2].end, 400 + 150);
  EXPECT_EQ(disc.tracks[2].file_offset, 375 * 2352);
  EXPECT_EQ(disc.audio_files, std::vector<std::string>{(dir_.Path() / "song.wav").string()});
}

TEST_F(CueSheetTest, EachBadLineIsNamed) {
  const struct {
    const char* text;
    ProblemCode code;
    const char* where;
  } cases[] = {
      {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00\n", ProblemCode::kCueMode,
       " line 2"},
      {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:06:00\n", ProblemCode::kCueIndex,
       " line 2"},
      {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:00:80\n",
       ProblemCode::kCueSyntax, " line 3"},
      {"TRACK 01 MODE2/2352\n", ProblemCode::kCueSyntax, " line 1"},
      {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE2/2352\nBOGUS\nINDEX 01 00:00:00\n",
       ProblemCode::kCueSyntax, " line 3"},
      {"FILE \"none.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:00:00\n",
       ProblemCode::kFileUnreadable, " line 1"},
  };
  for (const auto& c : cases) {
    DiscSource disc;
    ProblemLog log;
    ReadCueText(Cue(), c.text, disc, log);
    ASSERT_FALSE(log.Shown().empty()) << c.text;
    EXPECT_EQ(log.Shown()[0].code, c.code) << c.text;
    EXPECT_EQ(log.Shown()[0].where, Cue() + c.where) << c.text;
  }
}

}  // namespace
}  // namespace vcd2
