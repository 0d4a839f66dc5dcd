// MPGTRACK, DATRACK, SEGMENT, DEFENTRY, AUTOPAUSE, MOUNT and timecodes.
#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::AtLine;
using test::Parse;
using test::Script20;
using Messages = std::vector<std::string>;

TEST(TrackStatementsTest, TracksAndSegments) {
  const auto run = Parse(
      Script20("MPGTRACK T1 1 CD1 \"VIDEO.MPG\" SEGMENT S 7 \"s.mpg\" DATRACK D 3 wave \"d.wav\" "
               "DATRACK E 4 PCMM \"e.pcm\""));
  ASSERT_TRUE(run.ok);
  const MpegTrack& track = *run.project->mpeg_tracks[0];
  EXPECT_EQ(track.label, "T1");
  EXPECT_EQ(track.FirstName(), "CD1");
  EXPECT_EQ(track.SecondName(), "VIDEO.MPG");
  EXPECT_EQ(track.GetFileType(), FileType::kMpegSystem);
  EXPECT_EQ(track.video_standard, 2u);
  EXPECT_EQ(run.project->segments[0]->sequence, 7u);
  EXPECT_EQ(run.project->segments[0]->item_type, ItemType::kSegment);
  EXPECT_EQ(run.project->audio_tracks[0]->GetFileType(), FileType::kWave);
  EXPECT_EQ(run.project->audio_tracks[1]->GetFileType(), FileType::kPcmBigEndian);
}

TEST(TrackStatementsTest, RejectedTracks) {
  const std::vector<std::pair<std::string, Messages>> cases = {
      {"VERSION 2.0 MPGTRACK T X", {AtLine(1, "Expected numerical value, found X.")}},
      {"VERSION 2.0 MPGTRACK T 1 M", {AtLine(1, "EOF encountered.")}},
      {"VERSION 2.0 DATRACK D 1 \"wave\" \"d\"",
       {AtLine(1, "The word wave was a complete surprise to me at this place of your script."),
        AtLine(1, "Expected Audio file type.")}},
      {"VERSION 2.0 DATRACK D 1 BEGIN \"d\"",
       {AtLine(1, "The word BEGIN was a complete surprise to me at this place of your script."),
        AtLine(1, "Expected Audio file type.")}},
      {"VERSION 2.0 DATRACK D 1", {AtLine(1, "EOF encountered while expecting INTERN or EXTERN")}},
      {"VERSION 2.0 DATRACK D 1 ENDFILE \"d\"", {AtLine(1, "Expected Audio file type.")}},
  };
  for (const auto& [script, messages] : cases) {
    const auto run = Parse(script);
    EXPECT_FALSE(run.ok) << script;
    EXPECT_EQ(run.messages, messages) << script;
  }
}

TEST(TimecodeTest, AcceptedTimecodes) {
  struct Case {
    const char* text;
    uint32_t value;
    uint8_t mode;
  };
  for (const Case& c :
       {Case{"1:02:03:04", 0x01020304, 0}, Case{"1;2;3;4", 0x01020304, 0},
        Case{"+01:02:03:04", 0x01020304, 0}, Case{"-10:00", 0x0A00, 1}, Case{"=0:0:0:1", 1, 2},
        Case{"5:", 5, 0}, Case{"99:99:99:99", 0x63636363, 0}, Case{"\"  1:2  \"", 0x0102, 0},
        Case{"1:2:3:4:junk", 0x01020304, 0}, Case{":5", 5, 0}}) {
    const auto run = Parse(Script20(std::string("DEFENTRY E ") + c.text + " T"));
    ASSERT_TRUE(run.ok) << c.text << (run.messages.empty() ? "" : run.messages[0]);
    EXPECT_EQ(run.project->entries[0]->timecode, c.value) << c.text;
    EXPECT_EQ(run.project->entries[0]->placement_mode, c.mode) << c.text;
    EXPECT_EQ(run.project->entries[0]->track_label, "T");
  }
}

TEST(TimecodeTest, RejectedTimecodes) {
  for (const char* text : {"100", "12.5", "\"+ 5\"", "1:2x"}) {
    const auto run = Parse(std::string("VERSION 2.0 DEFENTRY E ") + text + " T");
    EXPECT_EQ(run.messages, Messages{AtLine(1, "Illegal timecode format.")}) << text;
  }
  const auto run = Parse("VERSION 2.0 DEFENTRY E 0:0:0:0 T");
  EXPECT_EQ(run.messages, Messages{AtLine(1, "Entry E has illegal timecode.")});
}

TEST(AutoPauseTest, PositionsAndTheirLine) {
  const auto run = Parse(
      "VERSION 2.0\nAUTOPAUSE X BEGIN AUTOPAUSE START END\n"
      "AUTOPAUSE X AT =1:00\nAUTOPAUSE X ENDFILE ALBUM A ENDFILE");
  ASSERT_TRUE(run.ok);
  const auto& marks = run.project->pause_marks;
  ASSERT_EQ(marks.size(), 4u);
  EXPECT_EQ(marks[0]->position, 94u);
  EXPECT_EQ(marks[0]->reference.kind, TargetKind::kName);
  EXPECT_EQ(marks[0]->reference.line, 2u);
  EXPECT_EQ(marks[1]->reference.kind, TargetKind::kStart);
  EXPECT_EQ(marks[1]->position, 97u);
  EXPECT_EQ(marks[2]->timecode, 0x0100u);
  EXPECT_EQ(marks[2]->reference.line, 4u);  // the line after its last word
  EXPECT_EQ(marks[3]->position, 26u);       // a closing keyword stands as a position
  const auto rejected = Parse("VERSION 2.0 AUTOPAUSE X NOW");
  EXPECT_EQ(rejected.messages,
            Messages{AtLine(
                1, "The word NOW was a complete surprise to me at this place of your script.")});
}

TEST(MountTest, InternAndExternMounts) {
  const auto run = Parse(Script20("MOUNT intern src c:\\video MOUNT EXTERN X \"D:\\\" ON drive"));
  ASSERT_TRUE(run.ok);
  const auto& mounts = run.project->mounts;
  EXPECT_EQ(mounts[0]->mode, MountMode::kIntern);
  EXPECT_EQ(mounts[0]->label, "SRC");
  EXPECT_EQ(mounts[0]->directory, "C:\\VIDEO");
  EXPECT_EQ(mounts[1]->mode, MountMode::kExtern);
  EXPECT_EQ(mounts[1]->directory, "D:\\");
  EXPECT_EQ(mounts[1]->location, "DRIVE");
}

TEST(MountTest, RejectedMounts) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"MOUNT", "EOF encountered while expecting INTERN or EXTERN"},
      {"MOUNT \"intern\" S D", "Expected one of INTERN or EXTERN."},
      {"MOUNT INTERN", "EOF encountered expecting MOUNT label"},
      {"MOUNT INTERN S", "EOF encountered expecting directory."},
      {"MOUNT EXTERN S D", "EOF encountered while expecting keyword ON."},
      {"MOUNT EXTERN S D AT X", "Encountered AT, expected keyowrd ON."},
      {"MOUNT EXTERN S D ON", "EOF encountered while expecting MOUNT location."},
  };
  for (const auto& [body, message] : cases) {
    const auto run = Parse("VERSION 2.0 " + body);
    EXPECT_EQ(run.messages, Messages{AtLine(1, message)}) << body;
  }
}

}  // namespace
}  // namespace vcd2
