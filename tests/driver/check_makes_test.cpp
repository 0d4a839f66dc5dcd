// A check of a script with MAKE rules runs MAKE's own source tests without
// encoding: it fails where the build would fail on a source, and otherwise
// names the rules that would run and what it could not measure.
#include <gtest/gtest.h>

#include "support/disc_build.h"
#include "support/sound_files.h"

namespace vcd2 {
namespace {

class CheckMakesTest : public test::DiscTest {
 protected:
  void SetUp() override { dir_.Write("disc.vcd", ""); }  // there before each build
  test::DiscBuild Run(uintptr_t mode, const std::string& body) {
    BuilderCallbacks extra{};
    extra.mode = mode;
    const std::string disc = Out("disc");  // the scripts have no OUTPUT block
    return test::BuildDisc(dir_, body, "", disc.c_str(), &extra);
  }
};

TEST_F(CheckMakesTest, ASourceTheBuildRefusesFailsTheCheckAlike) {
  dir_.Write("text.bmp", "no picture");
  dir_.Write("bad.wav", "RIFF....WAVEjunk");
  dir_.Write("fast.wav", test::WaveFile(2, 16, 1000000, std::string(4096, '\0')));
  dir_.Write("text.mpg", "no still");
  dir_.Write("a.pcm", std::string(4608, '\0'));
  const char* cases[] = {
      "MAKE MPA 224S DIR \"a.mp2\" FROM WAVE DIR \"gone.wav\" ENDMAKE",
      "MAKE MPA 224S DIR \"a.mp2\" FROM WAVE DIR \"bad.wav\" ENDMAKE",
      "MAKE MPA 224S DIR \"a.mp2\" FROM WAVE DIR \"fast.wav\" ENDMAKE",
      "MAKE STILL PALLOW DIR \"s.mpg\" FROM BMP DIR \"text.bmp\" ENDMAKE",
      "MAKE MUX DIR \"m.mpg\" FROM STILL DIR \"text.mpg\" LENGTH 10 ENDMAKE",
      "MAKE MUX DIR \"m.mpg\" FROM STILL DIR \"gone.mpg\" LENGTH 10 ENDMAKE",
      "MAKE MUX DIR \"m.mpg\" FROM STILL DIR \"text.mpg\" LENGTH 10 AUDIO DIR \"a.pcm\" ENDMAKE",
  };
  for (const char* body : cases) {
    SCOPED_TRACE(body);
    const auto before = dir_.Listing();
    const test::DiscBuild check = Run(VCD2_MODE_CHECK, body);
    EXPECT_EQ(dir_.Listing(), before);
    const test::DiscBuild build = Run(VCD2_MODE_BUILD, body);
    EXPECT_NE(build.result, VCD2_RESULT_OK);
    EXPECT_EQ(check.result, build.result);
    EXPECT_EQ(check.messages, build.messages);
    EXPECT_TRUE(check.summary.empty());
  }
}

// A MUX source that an earlier rule makes cannot be looked at yet; the
// summary says so.
TEST_F(CheckMakesTest, RulesWhoseSourcesPassAreListedWithWhatWasNotMeasured) {
  dir_.Write("a.wav", test::WaveFile(2, 16, 44100, std::string(4608, '\0')));
  const test::DiscBuild check = Run(VCD2_MODE_CHECK,
                                    "MAKE MPA 224S DIR \"a.mp2\" FROM WAVE DIR \"a.wav\" ENDMAKE\n"
                                    "MAKE MUX DIR \"m.mpg\" FROM AUDIO DIR \"a.mp2\" ENDMAKE");
  EXPECT_EQ(check.result, VCD2_RESULT_OK);
  EXPECT_TRUE(check.messages.empty());
  EXPECT_EQ(check.summary, "MAKE rules that would run:\n  MAKE MPA " + Out("a.mp2") +
                               "\n  MAKE MUX " + Out("m.mpg") +
                               "\nTheir sources were checked as MAKE reads them, without "
                               "encoding.\nNot checked, an earlier rule makes it: " +
                               Out("a.mp2") +
                               "\nNot measured until these have run: the files they make and "
                               "the images built from them.\n");
}

}  // namespace
}  // namespace vcd2
