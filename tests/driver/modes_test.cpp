// The mode word of the host table: check and inspect requests, and the
// build's warning about a non-compliant stream. A check gives the build's own
// summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/disc_build.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

class ModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::MakeClip(Path("vcd.mpg"), "-target pal-vcd"));
    ASSERT_TRUE(test::MakeClip(Path("small.mpg"), "-target pal-vcd -s 320x240"));
  }
  std::string Path(const char* name) const { return (dir_.Path() / name).string(); }

  // A script with a segment, two tracks of the given clips and a play list.
  std::string Script(const std::string& first, const std::string& second) {
    return dir_.Write("disc.vcd",
                      "VERSION 2.0\nMOUNT INTERN DIR \"" + dir_.Path().string() +
                          "\"\nOUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" 3 DIR \"t2.bin\" "
                          "ENDOUTPUT\nSEGMENT S 1 DIR \"vcd.mpg\"\nMPGTRACK ONE 1 DIR \"" +
                          first + "\"\nMPGTRACK TWO 2 DIR \"" + second +
                          "\"\nPLAYLIST START PLAY S ONE TWO ENDPLAY ENDPLAYLIST\nENDFILE\n");
  }
  test::DiscBuild Run(uintptr_t mode, const std::string& first, const std::string& second) {
    const std::string script = Script(first, second);
    BuilderCallbacks extra{};
    extra.mode = mode;
    return test::RunScript(script, "", nullptr, &extra);
  }

  test::TempDir dir_;
};

TEST_F(ModesTest, ACheckWritesNothingAndEndsAsTheBuildWould) {
  for (const auto& [first, second] :
       {std::pair{"vcd.mpg", "small.mpg"}, {"vcd.mpg", "gone.mpg"}, {"vcd.mpg", "disc.vcd"}}) {
    SCOPED_TRACE(second);
    Script(first, second);
    const auto before = dir_.Listing();
    const test::DiscBuild check = Run(VCD2_MODE_CHECK, first, second);
    EXPECT_EQ(dir_.Listing(), before);
    const test::DiscBuild build = Run(VCD2_MODE_BUILD, first, second);
    EXPECT_EQ(check.result, build.result);
    EXPECT_EQ(check.messages, build.messages);
    EXPECT_EQ(check.compliance_warnings, build.compliance_warnings);
    EXPECT_EQ(check.warnings, build.warnings);
    EXPECT_EQ(check.summary, build.summary);
  }
}

TEST_F(ModesTest, ANonCompliantSourceIsWarnedAboutOnce) {
  const test::DiscBuild build = Run(VCD2_MODE_BUILD, "small.mpg", "vcd.mpg");
  EXPECT_EQ(build.result, VCD2_RESULT_OK);
  EXPECT_EQ(build.compliance_warnings,
            std::vector<std::string>{
                Path("small.mpg") +
                " is not Video CD compliant: the picture is 320x240 at 25.000 frames/s; "
                "a Video CD needs 352x288 at 25 or 352x240 at 29.97 or 23.976 "
                "(vcd2build --inspect tells how to fix it)."});
}

TEST_F(ModesTest, AnInspectRequestReportsOneFileThroughTheSummary) {
  BuilderCallbacks extra{};
  extra.mode = VCD2_MODE_INSPECT;
  const test::DiscBuild good = test::RunScript(Path("vcd.mpg"), "", nullptr, &extra);
  EXPECT_EQ(good.result, VCD2_RESULT_OK);
  EXPECT_NE(good.summary.find(": Video CD compliant\n"), std::string::npos);
  const test::DiscBuild bad = test::RunScript(Path("small.mpg"), "", nullptr, &extra);
  EXPECT_EQ(bad.result, VCD2_RESULT_FAILED);
  EXPECT_NE(bad.summary.find("  problem: the picture is 320x240"), std::string::npos);
  extra.mode = 7;
  EXPECT_EQ(test::RunScript(Path("vcd.mpg"), "", nullptr, &extra).messages,
            std::vector<std::string>{"Unknown build mode 7."});
}

}  // namespace
}  // namespace vcd2
