// The mode word of the host table: check requests, unknown modes, and the
// build's warning about a non-compliant stream. A check gives the build's own
// summary.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/disc_build.h"
#include "support/media_tools.h"

namespace vcd2 {
namespace {

class ModesTest : public test::DiscTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::MakeClip(Out("vcd.mpg"), "-target pal-vcd"));
    ASSERT_TRUE(test::MakeClip(Out("small.mpg"), "-target pal-vcd -s 320x240"));
    dir_.Write("disc.vcd", "");  // the script is there before each build
  }
  // A disc with a segment, two tracks (the second of the given clip) and a play list.
  test::DiscBuild Run(uintptr_t mode, const std::string& second) {
    BuilderCallbacks extra{};
    extra.mode = mode;
    return test::BuildDisc(dir_,
                           "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" 3 DIR \"t2.bin\" ENDOUTPUT\n"
                           "SEGMENT S 1 DIR \"vcd.mpg\" MPGTRACK ONE 1 DIR \"vcd.mpg\"\n"
                           "MPGTRACK TWO 2 DIR \"" +
                               second + "\"\nPLAYLIST START PLAY S ONE TWO ENDPLAY ENDPLAYLIST",
                           "", nullptr, &extra);
  }
};

TEST_F(ModesTest, ACheckWritesNothingAndEndsAsTheBuildWould) {
  for (const char* second : {"small.mpg", "gone.mpg", "disc.vcd"}) {
    SCOPED_TRACE(second);
    const auto before = dir_.Listing();
    const test::DiscBuild check = Run(VCD2_MODE_CHECK, second);
    EXPECT_EQ(dir_.Listing(), before);
    const test::DiscBuild build = Run(VCD2_MODE_BUILD, second);
    EXPECT_EQ(check.result, build.result);
    EXPECT_EQ(check.messages, build.messages);
    EXPECT_EQ(check.compliance_warnings, build.compliance_warnings);
    EXPECT_EQ(check.warnings, build.warnings);
    EXPECT_EQ(check.summary, build.summary);
  }
}

// A check cannot measure a target that MAKE has yet to make: it names the
// rules instead and makes nothing.
TEST_F(ModesTest, ACheckListsTheMakeRulesThatWouldRun) {
  dir_.Write("a.pcm", std::string(4608, '\0'));
  const auto before = dir_.Listing();
  BuilderCallbacks extra{};
  extra.mode = VCD2_MODE_CHECK;
  const std::string disc = Out("d");  // no OUTPUT: the check measures the disc image
  const test::DiscBuild check =
      test::BuildDisc(dir_, "MAKE MPA 224S DIR \"a.mp2\" FROM PCML DIR \"a.pcm\" ENDMAKE", "",
                      disc.c_str(), &extra);
  EXPECT_EQ(check.result, VCD2_RESULT_OK);
  EXPECT_TRUE(check.messages.empty());
  EXPECT_EQ(check.summary.substr(0, check.summary.find('\n', 27) + 1),
            "MAKE rules that would run:\n  MAKE MPA " + Out("a.mp2") + "\n");
  EXPECT_EQ(dir_.Listing(), before);
}

TEST_F(ModesTest, ANonCompliantSourceIsWarnedAboutOnce) {
  const test::DiscBuild build = Run(VCD2_MODE_BUILD, "small.mpg");
  EXPECT_EQ(build.result, VCD2_RESULT_OK);
  EXPECT_EQ(build.compliance_warnings,
            std::vector<std::string>{
                Out("small.mpg") +
                " is not Video CD compliant: the picture is 320x240 at 25.000 frames/s; "
                "a Video CD needs 352x288 at 25 or 352x240 at 29.97 or 23.976 "
                "(vcd2build --inspect tells how to fix it)."});
}

// What an inspection reports is in stream_compliance_test and vcd2build_test.
TEST_F(ModesTest, AnUnknownModeIsRefused) {
  EXPECT_EQ(Run(7, "small.mpg").messages, std::vector<std::string>{"Unknown build mode 7."});
}

// With VCD2_MODE_KEEP_MADE what MAKE made stays, and the next build takes it
// as up to date; without, it goes with the build.
TEST_F(ModesTest, KeepMadeLeavesTheMadeFilesForTheNextBuild) {
  dir_.Write("a.pcm", std::string(4608, '\0'));
  const std::string rule = "MAKE MPA 224S DIR \"a.mp2\" FROM PCML DIR \"a.pcm\" ENDMAKE";
  BuilderCallbacks keep{};
  keep.mode = VCD2_MODE_BUILD | VCD2_MODE_KEEP_MADE;
  const std::string disc = Out("disc");  // the script has no OUTPUT
  ASSERT_EQ(test::BuildDisc(dir_, rule, "", disc.c_str(), &keep).result, VCD2_RESULT_OK);
  ASSERT_TRUE(std::filesystem::exists(Out("a.mp2")));
  const auto made = std::filesystem::last_write_time(Out("a.mp2"));
  EXPECT_GT(std::filesystem::file_size(Out("a.mp2")), 0u);
  // Up to date: not made again.
  ASSERT_EQ(test::BuildDisc(dir_, rule, "", disc.c_str()).result, VCD2_RESULT_OK);
  EXPECT_EQ(std::filesystem::last_write_time(Out("a.mp2")), made);
  std::filesystem::remove(Out("a.mp2"));
  ASSERT_EQ(test::BuildDisc(dir_, rule, "", disc.c_str()).result, VCD2_RESULT_OK);
  EXPECT_FALSE(std::filesystem::exists(Out("a.mp2")));
}

}  // namespace
}  // namespace vcd2
