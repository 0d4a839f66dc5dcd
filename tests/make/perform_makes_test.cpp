// The make phase: which rules are made, in which order, with which messages,
// and that everything it made is gone when the build ends.
#include "make/perform_makes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

  std::vector<std::string> Made() const {
    std::vector<std::string> paths;
    for (const auto& made : project->made_files) paths.push_back(fs::path(made->Path()).filename());
    return paths;
  }
};

class PerformMakesTest : public ::testing::Test {
 protected:
  // Parses, checks and makes; the project keeps the made files until the
  // run is dropped.
  MakeRun Make(const std::string& body) {
    auto parsed = test::ParseSortCheck(test::Script20(body));
    EXPECT_TRUE(parsed.ok) << body;
    MakeRun run;
    test::MessageCapture capture;
    run.ok = static_cast<bool>(PerformMakes(*parsed.project));
    run.messages = capture.Messages();
    run.project = std::move(parsed.project);
    return run;
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
  std::string Picture(const std::string& name) const {
    EXPECT_EQ(test::Shell("ffmpeg -y -f lavfi -i testsrc=size=160x120 -frames:v 1 " + Path(name)),
              0);
    return Path(name);
  }

  test::TempDir dir_;
  const std::string pcm_ = test::Samples16(test::StereoTone(4410));
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
  for (const Case& c :
       {Case{"newer", "old", kSource, 1, false}, Case{"equal", "old", kSource, 0, false},
        Case{"older by 1 ns", "old", kSource - 1, 999999999, true},
        Case{"empty", "", kSource + 10, 0, true}, Case{"missing", "-", 0, 0, true}}) {
    SCOPED_TRACE(c.what);
    SetTime(dir_.Write("a.pcml", pcm_), kSource, 0);
    fs::remove(Path("a.mp2"));
    if (c.target != "-") SetTime(dir_.Write("a.mp2", c.target), c.seconds, c.nanoseconds);
    const MakeRun run = Make(Audio("a.mp2", "a.pcml"));
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.project->makes[0]->IsMade(), c.made);
    EXPECT_EQ(run.Made(), c.made ? std::vector<std::string>{"a.mp2"} : std::vector<std::string>{});
    EXPECT_EQ(fs::file_size(Path("a.mp2")) > 100, c.made || c.target.size() > 100);
  }
  dir_.Write("empty.pcml", "");
  const MakeRun empty = Make(Audio("b.mp2", "empty.pcml"));
  EXPECT_FALSE(empty.ok);
  EXPECT_EQ(empty.messages,
            std::vector<std::string>{"Could not find dependency file " + Path("empty.pcml") + "."});
}

TEST_F(PerformMakesTest, MuxTargetsFollowEverySource) {
  constexpr time_t kTarget = 1700000000;
  const std::string rule = "MAKE MUX " + Quoted("m.mpg") + " FROM STILL " + Quoted("s1.mpg") + " " +
                           Quoted("s2.mpg") + " LENGTH 10 ENDMAKE";
  SetTime(dir_.Write("m.mpg", "old"), kTarget, 0);
  SetTime(dir_.Write("s1.mpg", "still"), kTarget - 5, 0);
  SetTime(dir_.Write("s2.mpg", "still"), kTarget, 0);
  const MakeRun current = Make(rule);
  EXPECT_TRUE(current.ok);
  EXPECT_TRUE(current.messages.empty());
  EXPECT_EQ(current.project->makes[0]->IsMade(), false);
  SetTime(Path("s2.mpg"), kTarget, 1);
  const MakeRun outdated = Make(rule);
  // Made, or the multiplexer refused the sources with its own message.
  EXPECT_TRUE(outdated.ok ? outdated.project->makes[0]->IsMade() : outdated.messages.size() == 1);
  fs::remove(Path("s1.mpg"));
  EXPECT_EQ(Make(rule).messages,
            std::vector<std::string>{"Could not find dependency file " + Path("s1.mpg") + "."});
}

TEST_F(PerformMakesTest, StillsAndAudioAreMadeBeforeAnyMux) {
  Picture("p.bmp");
  dir_.Write("a.pcml", pcm_);
  const MakeRun run = Make("MAKE STILL PALLOW " + Quoted("s.mpg") + " FROM BMP " + Quoted("p.bmp") +
                           " ENDMAKE MAKE MUX " + Quoted("m.mpg") + " FROM STILL " +
                           Quoted("s.mpg") + " LENGTH 10 ENDMAKE " + Audio("a.mp2", "a.pcml"));
  const std::vector<std::string> made = run.Made();
  ASSERT_GE(made.size(), 2u);
  EXPECT_EQ(made[0], "s.mpg");
  EXPECT_EQ(made[1], "a.mp2");
  EXPECT_EQ(made.size(), run.ok ? 3u : 2u);
  EXPECT_TRUE(fs::exists(Path("s.mpg")));
  const MakeRun again =
      Make("MAKE STILL PALLOW " + Quoted("s.mpg") + " FROM BMP " + Quoted("p.bmp") + " ENDMAKE");
  EXPECT_TRUE(again.Made().empty());
}

TEST_F(PerformMakesTest, RulesThatCannotBeMade) {
  Picture("p.bmp");
  dir_.Write("a.pcml", pcm_);
  const std::string text = dir_.Write("text.bmp", "no picture");
  struct Case {
    std::string body;
    std::string message;
  };
  const Case cases[] = {
      {"MAKE STILL PALLOW " + Quoted("s.mpg") + " FROM BMP " + Quoted("p.bmp") + " BMP " +
           Quoted("p.bmp") + " ENDMAKE",
       "More than one dependency for MAKE STILL."},
      {"MAKE STILL NTSCLOW " + Quoted("s.mpg") + " FROM ENDMAKE",
       "MAKE " + Path("s.mpg") + " has no source file."},
      {"MAKE STILL NTSCLOW " + Quoted("s.mpg") + " FROM BMP " + Quoted("text.bmp") + " ENDMAKE",
       "Could not encode MPEG STILL from " + text + "."},
      {"MAKE MPA 224M " + Quoted("a.mp2") + " FROM PCML " + Quoted("a.pcml") + " ENDMAKE",
       "Could not encode MPEG AUDIO from " + Path("a.pcml") + "."}};
  for (const Case& c : cases) {
    const MakeRun run = Make(c.body);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, std::vector<std::string>{c.message});
  }
}

// The stop comes with the step of the rule, so the encoder sees it first.
TEST_F(PerformMakesTest, AStopEndsThePhaseQuietly) {
  dir_.Write("a.pcml", pcm_);
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

// Every file made is gone after the build, whatever its end; one up to date
// is kept. The kinds of sources are in audio_coder_test and picture_coder_test.
TEST_F(PerformMakesTest, MadeFilesAreGoneWhenTheBuildEnds) {
  Picture("p.bmp");
  dir_.Write("a.pcmm", pcm_);
  SetTime(dir_.Write("kept.mp2", "up to date"), 2000000000, 0);
  const std::string rules =
      "MAKE STILL NTSCLOW DIR \"n.mpg\" FROM BMP DIR \"p.bmp\" ENDMAKE\n"
      "MAKE MPA 224I DIR \"m.mp2\" FROM PCMM DIR \"a.pcmm\" ENDMAKE\n"
      "MAKE MPA 224S DIR \"kept.mp2\" FROM PCMM DIR \"a.pcmm\" ENDMAKE\n"
      "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT\n";
  const std::string missing = "MAKE MPA 224S DIR \"x.mp2\" FROM WAVE DIR \"x.wav\" ENDMAKE";
  for (const auto& [body, stop] : std::vector<std::pair<std::string, std::string>>{
           {rules, ""}, {rules + missing, ""}, {rules, "Building image..."}}) {
    SCOPED_TRACE(stop + std::to_string(body.size()));
    const auto build = test::BuildDisc(dir_, body, stop);
    EXPECT_EQ(build.result, body == rules && stop.empty() ? 0 : 1);
    ClearAbortRequest();
    for (const char* name : {"n.mpg", "m.mp2"}) EXPECT_FALSE(fs::exists(Path(name))) << name;
    EXPECT_TRUE(fs::exists(Path("kept.mp2")));
    for (const auto& name : dir_.Listing()) EXPECT_NE(name[0], '.') << name;  // no temporaries
  }
}

}  // namespace
}  // namespace vcd2
