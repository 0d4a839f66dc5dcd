// The make phase: which rules are made, in which order, with which messages,
// and that everything it made is gone when the build ends; a disc made from a
// picture and a sound.
#include "make/perform_makes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/made_record.h"
#include "base/progress.h"
#include "support/disc_build.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
#include "support/script_runner.h"
#include "support/sound_files.h"

namespace vcd2 {
namespace {

namespace fs = std::filesystem;

struct MakeRun {
  bool ok = false;
  std::vector<std::string> messages;
  std::unique_ptr<VcdProject> project;
};

class PerformMakesTest : public ::testing::Test {
 protected:
  // Parses, checks and makes; the project keeps the made files until the
  // run is dropped.
  MakeRun Make(const std::string& body) {
    auto parsed = test::ParseSortCheck(test::Script20(body));
    EXPECT_TRUE(parsed.ok) << body;
    test::MessageCapture capture;
    const bool ok = static_cast<bool>(PerformMakes(*parsed.project));
    return {ok, capture.Messages(), std::move(parsed.project)};
  }
  std::string Path(const std::string& name) const { return dir_.Path() / name; }
  std::string Quoted(const std::string& name) const { return "\"" + Path(name) + "\""; }
  std::string Audio(const std::string& target, const std::string& source) const {
    return "MAKE MPA 224S " + Quoted(target) + " FROM PCML " + Quoted(source) + " ENDMAKE ";
  }
  // Modification time `seconds` plus `nanoseconds`.
  static void SetTime(const std::string& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
  }

  test::TempDir dir_;
  // A tenth of a second of sound, the source of most rules.
  const std::string pcm_ = dir_.Write("a.pcml", test::Samples16(test::StereoTone(4410)));
};

TEST_F(PerformMakesTest, TargetsOlderEmptyOrMissingAreMade) {
  constexpr time_t kSource = 1700000000;
  struct Case {
    const char* what;
    std::string target;  // contents; none: missing
    time_t seconds;
    long nanoseconds;
    bool made;
  };
  // A MUX rule goes by its newest source.
  const std::string mux = "MAKE MUX " + Quoted("a.mp2") + " FROM STILL " + Quoted("s.mpg") + " " +
                          Quoted("a.pcml") + " LENGTH 10 ENDMAKE";
  SetTime(dir_.Write("s.mpg", "still"), kSource - 5, 0);
  SetTime(pcm_, kSource, 0);
  for (const Case& c :
       {Case{"newer", "old", kSource, 1, false}, Case{"equal", "old", kSource, 0, false},
        Case{"older by 1 ns", "old", kSource - 1, 999999999, true},
        Case{"empty", "", kSource + 10, 0, true}, Case{"missing", "-", 0, 0, true}}) {
    SCOPED_TRACE(c.what);
    fs::remove(Path("a.mp2"));
    if (c.target != "-") SetTime(dir_.Write("a.mp2", c.target), c.seconds, c.nanoseconds);
    EXPECT_EQ(Make(mux).ok, !c.made);  // made, the multiplexer refuses the sources
    const MakeRun run = Make(Audio("a.mp2", "a.pcml"));
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.project->made_files.size(), size_t{c.made});
    EXPECT_EQ(fs::file_size(Path("a.mp2")) > 100, c.made || c.target.size() > 100);
  }
}

TEST_F(PerformMakesTest, RulesThatCannotBeMade) {
  const std::string text = dir_.Write("text.bmp", "no picture");
  const std::string empty = dir_.Write("empty.pcml", "");
  const std::pair<std::string, std::string> cases[] = {
      {"MAKE STILL PALLOW " + Quoted("s.mpg") + " FROM BMP " + Quoted("p.bmp") + " BMP " +
           Quoted("p.bmp") + " ENDMAKE",
       "More than one dependency for MAKE STILL."},
      {"MAKE STILL NTSCLOW " + Quoted("s.mpg") + " FROM ENDMAKE",
       "MAKE " + Path("s.mpg") + " has no source file."},
      {"MAKE STILL NTSCLOW " + Quoted("s.mpg") + " FROM BMP " + Quoted("text.bmp") + " ENDMAKE",
       "Could not encode MPEG STILL from " + text + ".\r\n" + text +
           ": it is no BMP, PNG or JPEG picture."},
      {"MAKE MPA 224M " + Quoted("a.mp2") + " FROM PCML " + Quoted("a.pcml") + " ENDMAKE",
       "Could not encode MPEG AUDIO from " + Path("a.pcml") +
           ".\r\nMPEG audio has no mono (M) at 224 kbit/s; take 192M or less, or S, I or D."},
      {Audio("b.mp2", "missing.pcml"),
       "Could not find dependency file " + Path("missing.pcml") + "."},
      {"MAKE MUX " + Quoted("m.mpg") + " FROM STILL " + Quoted("text.bmp") + " " +
           Quoted("empty.pcml") + " LENGTH 10 ENDMAKE",
       "Could not find dependency file " + empty + "."}};
  for (const auto& [body, message] : cases) {
    const MakeRun run = Make(body);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, std::vector<std::string>{message});
  }
}

// A target that cannot be written is named with the system's reason before
// anything is encoded; nothing is left behind.
TEST_F(PerformMakesTest, TargetsThatCannotBeWritten) {
  const std::string text = dir_.Write("text.bmp", "no picture");
  fs::create_directory(Path("folder"));
  fs::create_directory(Path("locked"));
  fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
  std::vector<std::pair<std::string, std::string>> cases = {
      {Audio("missing/a.mp2", "a.pcml"),
       "Could not create " + Path("missing/a.mp2") + " (No such file or directory)."},
      {Audio("folder", "a.pcml"), "Could not create " + Path("folder") + " (it is a folder)."},
      {"MAKE STILL NTSCLOW " + Quoted("missing/s.mpg") + " FROM BMP " + Quoted("text.bmp") +
           " ENDMAKE",
       "Could not create " + Path("missing/s.mpg") + " (No such file or directory)."},
      {"MAKE MUX " + Quoted("folder") + " FROM STILL " + Quoted("text.bmp") + " ENDMAKE",
       "Could not create " + Path("folder") + " (it is a folder)."},
      {"MAKE MUX " + Quoted("m.mpg") + " FROM AUDIO " + Quoted("a.pcml") + " ENDMAKE",
       "MAKE MUX " + Path("m.mpg") +
           " has only AUDIO sources: the sound goes with still pictures, so nothing is made "
           "without a STILL."}};
  if (geteuid() != 0) {  // root writes anywhere
    cases.push_back({Audio("locked/a.mp2", "a.pcml"),
                     "Could not create " + Path("locked/a.mp2") + " (Permission denied)."});
  }
  for (const auto& [body, message] : cases) {
    const MakeRun run = Make(body);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, std::vector<std::string>{message});
    EXPECT_EQ(dir_.Listing(), (std::set<std::string>{"a.pcml", "folder", "locked", "text.bmp"}));
  }
  fs::permissions(Path("locked"), fs::perms::owner_all);
}

// A target at the name limit is made (its temporary file has no name), and
// one left by a build that was killed is never taken as up to date.
TEST_F(PerformMakesTest, LongNamesAndLeftTargets) {
  const std::string longest(255 - std::string(".mp2").size(), 'n');
  {
    const MakeRun run = Make(Audio(longest + ".mp2", "a.pcml"));
    EXPECT_TRUE(run.ok) << testing::PrintToString(run.messages);
    EXPECT_GT(fs::file_size(Path(longest + ".mp2")), 100u);
    EXPECT_EQ(dir_.Listing().size(), 3u);  // the source, the target and its made record
  }
  EXPECT_EQ(dir_.Listing(), std::set<std::string>{"a.pcml"});
  SetTime(pcm_, 1700000000, 0);
  SetTime(dir_.Write("a.mp2", "left by a killed build"), 1800000000, 0);
  ASSERT_TRUE(made_record::MarkMaking(Path("a.mp2")));
  {
    const MakeRun run = Make(Audio("a.mp2", "a.pcml"));
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.project->made_files.size(), 1u);
    EXPECT_GT(fs::file_size(Path("a.mp2")), 100u);
  }
  EXPECT_EQ(dir_.Listing(), std::set<std::string>{"a.pcml"});
}

// The stop comes with the step of the rule, so the encoder sees it first.
TEST_F(PerformMakesTest, AStopEndsThePhaseQuietly) {
  static int calls;
  calls = 0;
  SetProgressCallback([](int32_t, const char*) -> int32_t { return ++calls < 3; });
  const MakeRun run = Make(Audio("a.mp2", "a.pcml"));
  SetProgressCallback(nullptr);
  ClearAbortRequest();
  EXPECT_EQ(calls, 3);  // range, step size, the rule's step
  EXPECT_FALSE(run.ok);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(dir_.Listing().size(), 1u);
}

// One script makes a still pair from a picture and MPEG audio from a sound,
// multiplexes them (the MUX rule waits for the others) and places the stream
// as a segment play item; the disc reads back as a high-resolution PAL still
// with stereo audio. Every file made is gone after the build, whatever its
// end; one up to date is kept. The kinds of sources are in audio_coder_test
// and picture_coder_test.
TEST_F(PerformMakesTest, ADiscFromAPictureAndASound) {
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i testsrc -frames:v 1 " + Path("pic.bmp")), 0);
  dir_.Write("snd.wav", test::WaveFile(2, 16, 44100, test::Samples16(test::StereoTone(3 * 44100))));
  SetTime(dir_.Write("kept.mp2", "up to date"), 2000000000, 0);
  // The mount label DIR is a keyword, which would end the STILL stream.
  const std::string rules =
      "MAKE MUX DIR \"slides.mpg\" FROM STILL " + Quoted("lo.mpg") + " " + Quoted("hi.mpg") +
      " LENGTH 45 AUDIO DIR \"snd.mp2\" ENDMAKE\n"
      "MAKE STILL PALHIGH DIR \"hi.mpg\" DIR \"lo.mpg\" FROM BMP DIR \"pic.bmp\" ENDMAKE\n"
      "MAKE MPA 224S DIR \"snd.mp2\" FROM WAVE DIR \"snd.wav\" ENDMAKE\n"
      "MAKE MPA 224S DIR \"kept.mp2\" FROM WAVE DIR \"snd.wav\" ENDMAKE\n"
      "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT\n"
      "SEGMENT SLIDES 1 DIR \"slides.mpg\"\n"
      "PLAYLIST START PLAY SLIDES ENDPLAY ENDPLAYLIST\n";
  const std::string disc = Path("disc");
  for (const std::string stop : {"Building image...", ""}) {
    SCOPED_TRACE(stop);
    const auto build = test::BuildDisc(dir_, rules, stop, disc.c_str());
    ClearAbortRequest();
    ASSERT_EQ(build.result, stop.empty() ? 0 : 1) << testing::PrintToString(build.messages);
    // No made file, no temporary, no image of a stopped build.
    std::set<std::string> files = {"a.pcml", "disc.vcd", "kept.mp2", "pic.bmp", "snd.wav"};
    if (stop.empty()) files.insert({"data.bin", "disc.bin", "disc.cue", "disc.toc"});
    EXPECT_EQ(dir_.Listing(), files);
  }
  EXPECT_NE(test::Capture("vcd-info --no-banner -c '" + disc + ".cue' 2>&1")
                .find("audio: stereo, video: PAL still (lo+hires)"),
            std::string::npos);
  const std::string data = Path("data.bin");  // the segment is its only MPEG stream
  const auto stream =
      test::PackStream(data, 0, static_cast<int32_t>(test::ImageSectors(data) - 150));
  const std::string extracted =
      dir_.Write("extracted.mpg", std::string(stream.begin(), stream.end()));
  EXPECT_EQ(test::Shell("ffmpeg -xerror -i '" + extracted + "' -f null -"), 0);
  const auto audio = test::ProbeStream(extracted);
  EXPECT_EQ(audio.at("codec_name"), "mp2");
  EXPECT_NEAR(std::stod(audio.at("duration")), 3.0, 0.1);
}

}  // namespace
}  // namespace vcd2
