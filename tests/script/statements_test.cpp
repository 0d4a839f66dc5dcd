// What each statement records in the project; the messages of refused ones
// are in rejected_scripts_test.cpp.
#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::AtLine;
using test::Parse;
using test::Script20;
using Messages = std::vector<std::string>;

TEST(DispatcherTest, EndFileEndsTheScriptAndCommentsSkipTheirLine) {
  EXPECT_TRUE(Parse("VERSION 2.0 ENDFILE \"unterminated garbage").ok);
  EXPECT_TRUE(Parse("REM VERSION is on this line\nVERSION 2.0 ! too\nENDFILE").ok);
  EXPECT_TRUE(Parse("VERSION 2.0\n#\nENDFILE\n;").ok);
  EXPECT_TRUE(Parse("VERSION 2.0 ADDENTRY ENDFILE").ok);
  EXPECT_EQ(Parse("version \"2.00\" ENDFILE").project->version, 2u);
}

// Names in the image are 8.3 d-characters with ";1" at most.
TEST(DiscStatementsTest, WhatTheyRecord) {
  const auto run = Parse(Script20(
      "ALBUM \"ABCDEFGHIJKLMNOPQRST\" VOLUME 65537 ANZVOL 3 APP \"" + std::string(60, 'a') +
      "\"\nOUTPUT 2 \"t.bin\"\n1 DISK \"d.bin\" ENDOUTPUT OUTPUT ENDOUTPUT\n"
      "FILE \"A.TXT\" \"a.txt\" RTF \"B.RTF\" M \"b.rtf\" IFFDYUV \"C.IFF\" \"c\" "
      "COPYRIGHT \"CR.TXT\" \"cr\" ABSTRACT \"AB.TXT\" \"ab\" VOLSET \"VS\" \"vs\" "
      "BIBLIO \"BI\" \"bi\" DIR \"some dir\" LOGFILE \"log\"\n"
      "FILE \"X.BIN;1\" \"x\" FILE \"_8CHARS_.E_1\" \"y\" FILE x.txt \"z\" RTF \"NOEXT\" \"r\" "
      "GENRTF \"G.\" FORM 1 \"g\" EOF"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const VcdProject& project = *run.project;
  EXPECT_EQ(std::string(project.album_id.begin(), project.album_id.end()), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(project.volume_number, 1);  // low 16 bits
  EXPECT_EQ(project.volume_count, 3);
  EXPECT_EQ(std::string(project.application_name.data()), std::string(47, 'a'));
  const auto& names = project.output_names;
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0]->sequence, 2u);
  EXPECT_EQ(names[0]->NewFullPath(), "t.bin");
  EXPECT_TRUE(names[1]->IsMountRelative());
  EXPECT_EQ(names[1]->SecondName(), "d.bin");
  ASSERT_EQ(project.cdi_files.size(), 8u);  // their types: source_writer_test
  std::vector<FileType> descriptors;
  for (const auto& file : project.descriptor_files) descriptors.push_back(file->GetFileType());
  EXPECT_EQ(descriptors, (std::vector<FileType>{FileType::kCopyright, FileType::kAbstract,
                                                FileType::kVolumeSet, FileType::kBiblio}));
  EXPECT_EQ(project.cdi_files[1]->FirstName(), "M");
  EXPECT_EQ(project.dir_text, "some dir");
  EXPECT_EQ(project.dir_given, 1u);
  EXPECT_EQ(project.log_file->NewFullPath(), "log");
  const auto short_album = Parse(Script20("ALBUM abc")).project;
  EXPECT_EQ(std::string(short_album->album_id.begin(), short_album->album_id.end()),
            "ABC             ");
  EXPECT_EQ(short_album->volume_count, 1);  // without ANZVOL
}

TEST(GenRtfTest, RecordOptionsOfTheParts) {
  const auto run = Parse(
      Script20("GENRTF \"R.RTF\" FORM 1 \"a\" EOR ENDMAKE FORM 2 M \"b\" EOF "
               "GENRTF \"S.RTF\" FORM 2 \"c\" EOR EOF GENRTF \"T.RTF\" EOR FORM 257 \"d\" EOF"));
  ASSERT_TRUE(run.ok);
  auto options = [&](size_t file, size_t part) {
    const auto& rtf = static_cast<const RtfFile&>(*run.project->cdi_files[file]);
    return std::pair<int, int>(rtf.parts[part]->submode, rtf.parts[part]->last_submode);
  };
  // The first file's parts are copied in source_writer_test.
  EXPECT_EQ(options(1, 0), (std::pair<int, int>(0x28, 0xA9)));
  EXPECT_EQ(options(2, 0), (std::pair<int, int>(0x08, 0x88)));  // 257 counts as 1
}

const PsdList& OnlyList(const test::ScriptRun& run) {
  EXPECT_EQ(run.project->lists.size(), 1u);
  return *run.project->lists.at(0);
}

TEST(ListStatementsTest, ClausesAreasAndItems) {
  const auto run = Parse(
      Script20("PLAYLIST L PLAY A B\nC ENDPLAY PLAY D ENDPLAY PREVIOUS START NEXT N RETURN STOP "
               "PLAYTIME 600 WAIT 975 AUTOWAIT INF ENDPLAYLIST\n"
               "SELECTION S PLAY P NEXT X 10 20 30 300 PREVIOUS Y WAIT 15 RETURN R 1 2A B 7 "
               "DEFAULT MULTINUM TIMEOUT T BASE 5 LOOP INF JUMP COMPLETE "
               "ITEMS ENDITEMS 1 2 3 4 B ENDITEMS ENDSELECTION"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const PsdList& play_list = *run.project->lists.at(0);
  EXPECT_EQ(play_list.kind, ListKind::kPlayList);
  EXPECT_EQ(play_list.label_kind, ListLabelKind::kNamed);
  std::vector<std::pair<std::string, uint32_t>> items;
  for (const auto& item : play_list.play_items) items.emplace_back(item.name, item.line);
  EXPECT_EQ(items, (std::vector<std::pair<std::string, uint32_t>>{
                       {"A", 2}, {"B", 3}, {"C", 3}, {"D", 3}}));
  EXPECT_EQ(play_list.previous.kind, TargetKind::kStart);
  EXPECT_EQ(play_list.next.kind, TargetKind::kName);
  EXPECT_EQ(play_list.next.name, "N");
  EXPECT_EQ(play_list.return_target.kind, TargetKind::kStop);
  EXPECT_EQ(play_list.playing_time, 600);
  EXPECT_EQ(play_list.auto_wait, 255);
  const PsdList& list = *run.project->lists.at(1);
  EXPECT_EQ(list.kind, ListKind::kSelection);
  EXPECT_EQ(list.play_items.size(), 1u);
  EXPECT_EQ(list.next.area, (HotSpotArea{10, 20, 30, 44}));
  EXPECT_EQ(list.previous.area, kDefaultArea);
  EXPECT_EQ(list.wait, 1);
  EXPECT_EQ(list.return_target.area, (HotSpotArea{1, 2, 0, 7}));  // "2A" reads as 2, "B" as 0
  EXPECT_EQ(list.default_target.kind, TargetKind::kMultiNum);
  EXPECT_EQ(list.timeout.name, "T");
  EXPECT_EQ(list.base, 5);
  EXPECT_EQ(list.loop, 0);
  EXPECT_EQ(list.jump, 0x80);
  ASSERT_EQ(list.selection_items.size(), 2u);
  EXPECT_EQ(list.selection_items[0].name, "ENDITEMS");  // the first word is always an item
  EXPECT_EQ(list.selection_items[0].area, (HotSpotArea{1, 2, 3, 4}));
  EXPECT_EQ(list.selection_items[1].name, "B");
}

TEST(ListStatementsTest, WaitTimeCodes) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0}, {"900", 60}, {"975", 61}, {"30000", 254}, {"-21", 0}, {"30007", 254}, {"INF", 255}};
  for (const auto& [word, code] : cases) {
    const auto run = Parse(Script20(std::string("PLAYLIST L WAIT ") + word + " ENDPLAYLIST"));
    ASSERT_TRUE(run.ok) << word;
    EXPECT_EQ(OnlyList(run).wait, code) << word;
  }
}

// Refused label words (STOP, NONE, ...) are in rejected_scripts_test.cpp.
TEST(ListStatementsTest, AMultiTargetInAPlayListIsOnlyWarnedAbout) {
  const auto run = Parse("VERSION 2.0 PLAYLIST L PREVIOUS MULTI ENDPLAYLIST ENDFILE");
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.messages, Messages{AtLine(1, "Invalid labelname L.")});
  EXPECT_EQ(OnlyList(run).previous.kind, TargetKind::kNone);
}

TEST(MakeTest, AudioParameterWords) {
  const std::tuple<const char*, int, int> cases[] = {{"224S", 7, 1}, {"\"224 s\"", 7, 1},
                                                     {"64m", 3, 0},  {"\" 384 D \"", 8, 3},
                                                     {"192", 6, 1},  {"96I", 4, 2}};
  for (const auto& [word, bitrate, mode] : cases) {
    const auto run =
        Parse(Script20(std::string("MAKE MPA ") + word + " M OUT.MP2 FROM WAVE M IN.WAV ENDMAKE"));
    ASSERT_TRUE(run.ok) << word;
    const auto& rule = static_cast<const AudioMakeRule&>(*run.project->makes.at(0));
    EXPECT_EQ(rule.bitrate_code, bitrate) << word;
    EXPECT_EQ(rule.channel_mode, static_cast<uint32_t>(mode)) << word;
  }
}

// A mount label that is also a keyword (DIR) starts a further source.
TEST(MakeTest, MuxStreamsSourcesAndLengths) {
  const auto run =
      Parse(Script20("MOUNT INTERN DIR \"/m\" MAKE MUX M OUT.MPG FROM VIDEO M V.M1V AUDIO M "
                     "A.MP2 LENGTH 100 STILL DIR S1.MPG DIR S2.MPG LENGTH 50 ENDMAKE"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  std::vector<std::tuple<FileType, uint32_t, uint32_t>> seen;
  for (const auto& source : run.project->makes.at(0)->GetSources()) {
    const auto& item = static_cast<const MakeSourceItem&>(*source);
    seen.emplace_back(item.GetFileType(), item.stream_number, item.length);
  }
  const std::vector<std::tuple<FileType, uint32_t, uint32_t>> expected = {
      {FileType::kMpegVideo, 1, 0},
      {FileType::kMpegAudio, 2, 0},  // only STILL streams keep LENGTH
      {FileType::kMpegStill, 3, 50},
      {FileType::kMpegStill, 3, 50}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(run.project->makes[0]->GetTarget()->GetFileType(), FileType::kMpegSystem);
}

TEST(TrackStatementsTest, TracksSegmentsAndMounts) {
  const auto run = Parse(
      Script20("MPGTRACK T1 1 CD1 \"VIDEO.MPG\" SEGMENT S 7 \"s.mpg\" DATRACK D 3 wave \"d.wav\" "
               "DATRACK E 4 PCMM \"e.pcm\" MOUNT intern src c:\\video "
               "MOUNT EXTERN X \"D:\\\" ON drive"));
  ASSERT_TRUE(run.ok);
  const VcdProject& project = *run.project;
  EXPECT_EQ(project.mpeg_tracks[0]->video_standard, 2u);
  EXPECT_EQ(project.segments[0]->sequence, 7u);
  EXPECT_EQ(project.audio_tracks[0]->GetFileType(), FileType::kWave);
  EXPECT_EQ(project.audio_tracks[1]->GetFileType(), FileType::kPcmBigEndian);
  EXPECT_EQ(project.mounts[0]->mode, MountMode::kIntern);
  EXPECT_EQ(project.mounts[0]->label, "SRC");
  EXPECT_EQ(project.mounts[0]->directory, "C:\\VIDEO");
  EXPECT_EQ(project.mounts[1]->mode, MountMode::kExtern);
  EXPECT_EQ(project.mounts[1]->directory, "D:\\");
  EXPECT_EQ(project.mounts[1]->location, "DRIVE");
}

TEST(TrackStatementsTest, Timecodes) {
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

// A short time code, or pictures that make a second, is told as it was read.
TEST(TrackStatementsTest, TimecodeWarnings) {
  const std::string read_as = " (hours:minutes:seconds:pictures)";
  const std::pair<const char*, std::string> cases[] = {
      {"0:1:30:0", ""},
      {"0:0:1:29", ""},
      {"1:30", "Time code 1:30 is read as 00:00:01:30" + read_as +
                   "; a second has 25 pictures (PAL) or 30 (NTSC)."},
      {"-1:2:3", "Time code -1:2:3 is read as 00:01:02:03" + read_as + "."},
      {"0:0:2:40", "Time code 0:0:2:40 is read as 00:00:02:40" + read_as +
                       "; a second has 25 pictures (PAL) or 30 (NTSC)."}};
  for (const auto& [text, warning] : cases) {
    const auto run = Parse(Script20(std::string("DEFENTRY E ") + text + " T"));
    ASSERT_TRUE(run.ok) << text;
    EXPECT_EQ(run.warnings, warning.empty() ? Messages{} : Messages{test::AtLine(2, warning)})
        << text;
  }
}

TEST(TrackStatementsTest, AutoPausePositionsAndTheirLine) {
  const auto run = Parse(
      "VERSION 2.0\nAUTOPAUSE X BEGIN AUTOPAUSE START END\n"
      "AUTOPAUSE X AT =1:00\nAUTOPAUSE X ENDFILE ALBUM A ENDFILE");
  ASSERT_TRUE(run.ok);
  const auto& marks = run.project->pause_marks;
  ASSERT_EQ(marks.size(), 4u);
  // BEGIN, END and AT: sort_items_test and source_writer_test.
  EXPECT_EQ(marks[0]->reference.line, 2u);
  EXPECT_EQ(marks[1]->reference.kind, TargetKind::kStart);
  EXPECT_EQ(marks[2]->reference.line, 4u);  // the line after its last word
  EXPECT_EQ(marks[3]->position, 26u);       // a closing keyword stands as a position
}

}  // namespace
}  // namespace vcd2
