// MAKE MPEG's statement: what a rule holds, what is refused, and that its
// words PAL, NTSC, MPEG and SKIP stay free as labels and mounts elsewhere.
#include <gtest/gtest.h>

#include "model/make_rule.h"
#include "support/script_runner.h"

namespace vcd2 {
namespace {

const MpegMakeRule* OnlyRule(const test::ScriptRun& run) {
  if (run.project == nullptr || run.project->makes.size() != 1 ||
      run.project->makes.front()->Kind() != MakeKind::kMpeg) {
    return nullptr;
  }
  return static_cast<const MpegMakeRule*>(run.project->makes.front().get());
}

TEST(MakeMpegStatementTest, RulesRead) {
  struct Case {
    std::string body;
    bool pal;
    size_t sources;
    uint32_t skip;
    uint32_t length;
  } cases[] = {
      {R"(MAKE MPEG PAL "t.mpg" FROM VIDEO "c.mp4" ENDMAKE)", true, 1, 0, 0},
      {R"(make mpeg ntsc "t.mpg" from video "c.mp4" audio "s.wav" endmake)", false, 2, 0, 0},
      {R"(MAKE MPEG PAL "t.mpg" FROM VIDEO "c.mp4" SKIP 1:2:3:4 LENGTH 0:0:10:0 ENDMAKE)", true, 1,
       0x01020304, 0x00000A00},
      {R"(MAKE MPEG NTSC "t.mpg" FROM VIDEO "c.mp4" LENGTH 5:0 AUDIO "s.wav" SKIP 2:0 ENDMAKE)",
       false, 2, 0x0200, 0x0500},
      // Mounts named by the statement's own words.
      {R"(MOUNT INTERN PAL "/m" MOUNT INTERN SKIP "/n" )"
       R"(MAKE MPEG PAL PAL "t.mpg" FROM VIDEO SKIP "c.mp4" SKIP 1:0 ENDMAKE)",
       true, 1, 0x0100, 0},
  };
  for (const Case& c : cases) {
    const auto run = test::Parse(test::Script20(c.body));
    ASSERT_TRUE(run.ok) << c.body;
    const MpegMakeRule* rule = OnlyRule(run);
    ASSERT_NE(rule, nullptr) << c.body;
    EXPECT_EQ(rule->pal, c.pal) << c.body;
    EXPECT_EQ(rule->GetSources().size(), c.sources) << c.body;
    EXPECT_EQ(rule->skip, c.skip) << c.body;
    EXPECT_EQ(rule->length, c.length) << c.body;
    EXPECT_EQ(rule->GetTarget()->GetFileType(), FileType::kMpegSystem);
  }
}

TEST(MakeMpegStatementTest, WordsStayFreeElsewhere) {
  // A track labelled PAL on a mount labelled NTSC.
  const auto run = test::ParseSortCheck(test::Script20(
      R"(OUTPUT 1 "d.bin" 2 "t.bin" ENDOUTPUT MOUNT INTERN NTSC "/m" MPGTRACK PAL 1 NTSC "a.mpg")"));
  EXPECT_TRUE(run.ok);
}

TEST(MakeMpegStatementTest, Refused) {
  struct Case {
    std::string body;
    std::string message;
  } cases[] = {
      {R"(MAKE MPEG SECAM "t.mpg" FROM VIDEO "c.mp4" ENDMAKE)",
       "Expected PAL or NTSC after MAKE MPEG, found SECAM."},
      {R"(MAKE MPEG PAL "t.mpg" FROM AUDIO "c.mp4" ENDMAKE)",
       "Expected VIDEO after FROM in MAKE MPEG, found AUDIO."},
      {R"(MAKE MPEG PAL "t.mpg" FROM VIDEO "c.mp4" STILL "x" ENDMAKE)",
       "Expected AUDIO, SKIP, LENGTH or ENDMAKE in MAKE MPEG, found STILL."},
      {R"(MAKE MPEG PAL "t.mpg" FROM VIDEO "c.mp4" AUDIO "a" AUDIO "b" ENDMAKE)",
       "Expected AUDIO, SKIP, LENGTH or ENDMAKE in MAKE MPEG, found AUDIO."},
      {R"(MAKE MPEG PAL "t.mpg" FROM VIDEO "c.mp4" SKIP X:1 ENDMAKE)", "Illegal timecode format."},
  };
  for (const Case& c : cases) {
    const auto run = test::Parse(test::Script20(c.body));
    EXPECT_FALSE(run.ok) << c.body;
    ASSERT_EQ(run.messages.size(), 1u) << c.body;
    EXPECT_NE(run.messages[0].find(c.message), std::string::npos) << run.messages[0];
  }
  const auto cut_off = test::Parse("VERSION 2.0 MAKE MPEG PAL \"t.mpg\" FROM VIDEO \"c.mp4\"");
  EXPECT_FALSE(cut_off.ok);
}

}  // namespace
}  // namespace vcd2
