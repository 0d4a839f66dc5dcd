// Images appear complete or not at all, failures name the image file, and
// what the build warns about.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "image/build_summary.h"
#include "support/disc_build.h"
#include "support/message_capture.h"
#include "support/mpeg_synth.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

int calls = 0;
int stop_at = 0;
int32_t StopAtCall(int32_t, const char*) {
  return ++calls == stop_at ? 0 : 1;
}
void Silent(const char*) {}

class StagedOutputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.mpg", "b.mpg", "t1.mpg", "t2.mpg"}) {
      test::WriteVideoStream((dir_.Path() / name).string(), 20);
    }
    script_ =
        dir_.Write("disc.vcd",
                   "VERSION 2.0\nMOUNT INTERN DIR \"" + dir_.Path().string() +
                       "\"\nOUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" 3 DIR \"t2.bin\" ENDOUTPUT\n"
                       "MPGTRACK T1 1 DIR \"t1.mpg\"\nMPGTRACK T2 2 DIR \"t2.mpg\"\n"
                       "SEGMENT A 1 DIR \"a.mpg\"\nSEGMENT B 2 DIR \"b.mpg\"\n"
                       "SELECTION START PLAY A ITEMS P1 P2 ENDITEMS ENDSELECTION\n"
                       "PLAYLIST P1 PLAY T1 ENDPLAY NEXT START ENDPLAYLIST\n"
                       "PLAYLIST P2 PLAY B T2 ENDPLAY RETURN START ENDPLAYLIST\nENDFILE\n");
    callbacks_.show_message = Silent;
    callbacks_.show_warning = Silent;  // the synthetic streams are not compliant
    disc_ = (dir_.Path() / "whole").string();
    callbacks_.disc_image = disc_.c_str();
    VCD2SetCallbacks(&callbacks_);
  }
  void TearDown() override { VCD2SetCallbacks(nullptr); }

  int32_t Build(int stop) {
    calls = 0;
    stop_at = stop;
    return VCD2DiscBuilder(nullptr, script_.c_str(), StopAtCall);
  }

  test::TempDir dir_;
  std::string script_;
  std::string disc_;
  BuilderCallbacks callbacks_{};
};

TEST_F(StagedOutputsTest, AStopAtAnyProgressCallOrAFullDiskLeavesTheFolderAsItWas) {
  const std::set<std::string> before = dir_.Listing();
  ASSERT_EQ(Build(0), VCD2_RESULT_OK);
  const int total = calls;
  std::set<std::string> built = before;
  built.insert({"data.bin", "t1.bin", "t2.bin", "whole.bin", "whole.cue", "whole.toc"});
  EXPECT_EQ(dir_.Listing(), built);
  for (const std::string& name : built) {
    if (!before.count(name)) std::filesystem::remove(dir_.Path() / name);
  }
  for (int stop = 1; stop <= total; ++stop) {
    ASSERT_EQ(Build(stop), VCD2_RESULT_FAILED) << "stop at call " << stop;
    ASSERT_EQ(dir_.Listing(), before) << "stop at call " << stop;
  }
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit small{200000, saved.rlim_max};  // the data track fits, the first MPEG track not
  setrlimit(RLIMIT_FSIZE, &small);
  const int32_t result = Build(0);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(result, VCD2_RESULT_FAILED);
  EXPECT_EQ(dir_.Listing(), before);
}

// An image file that cannot be made or written is named, with the system's
// wording, on the line after the message.
TEST_F(StagedOutputsTest, ImageFileFailuresNameThePathAndTheSystemsReason) {
  const std::string at = dir_.Path().string();
  const struct {
    std::string outputs;
    const char* tmpdir;
    std::string message;
  } cases[] = {
      {"1 DIR \"data.bin\" 2 DIR \"missing/t1.bin\"", nullptr,
       "Could not open image file.\r\n" + at + "/missing/t1.bin: No such file or directory"},
      {"1 DIR \"missing/data.bin\" 2 DIR \"t1.bin\"", nullptr,
       "Writing image file failed (2).\r\n" + at + "/missing/data.bin: No such file or directory"},
      {"1 DIR \"data.bin\" 2 DIR \"t1.bin\"", "/proc",
       "Could not open image file.\r\n/proc: No such file or directory"},
  };
  const bool had_tmpdir = std::getenv("TMPDIR") != nullptr;
  const std::string old_tmpdir = had_tmpdir ? std::getenv("TMPDIR") : "";
  for (const auto& c : cases) {
    if (c.tmpdir != nullptr) setenv("TMPDIR", c.tmpdir, 1);
    const auto build = test::BuildDisc(dir_, "OUTPUT " + c.outputs +
                                                 " ENDOUTPUT MPGTRACK T 1 DIR \"t1.mpg\" "
                                                 "PLAYLIST START PLAY T ENDPLAY ENDPLAYLIST");
    had_tmpdir ? setenv("TMPDIR", old_tmpdir.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_EQ(build.result, 1) << c.outputs;
    EXPECT_EQ(build.messages, std::vector<std::string>{c.message});
  }
}

TEST(BuildWarningsTest, EachWarningOnce) {
  std::string items;
  for (int i = 0; i < 100; ++i) items += " P";
  const std::pair<std::string, std::string> cases[] = {
      {"ALBUM \"A LONG ALBUM NAME HERE\"\n", "ALBUM \"A LONG ALBUM NAME HERE\" is cut"},
      {"ALBUM \"caf\xc3\xa9\"\n", "outside the ISO 9660 d-characters"},
      {"APP \"app~\"\n", "outside the ISO 9660 a-characters"},
      {"SEGMENT A 1 DIR \"a.mpg\"\nSELECTION START PLAY A ITEMS" + items +
           " ENDITEMS ENDSELECTION\nPLAYLIST P PLAY A ENDPLAY ENDPLAYLIST\n",
       "Selection START has 100 selection items"},
      {"SEGMENT A 1 DIR \"a.mpg\"\nSELECTION START PLAY A ENDSELECTION\nPLAYLIST LOST PLAY A "
       "ENDPLAY ENDPLAYLIST\n",
       "Play list LOST cannot be reached from START."},
  };
  test::TempDir dir;
  test::WriteVideoStream((dir.Path() / "a.mpg").string(), 4);
  for (const auto& [body, warning] : cases) {
    const auto build = test::BuildDisc(dir, "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT\n" + body);
    EXPECT_EQ(build.result, VCD2_RESULT_OK) << body;
    ASSERT_EQ(build.warnings.size(), 1u) << body;
    EXPECT_NE(build.warnings[0].find(warning), std::string::npos) << build.warnings[0];
  }
}

// The length warnings are decided by the disc's sector count alone.
TEST(BuildWarningsTest, TheDiscAgainst74And80MinuteMedia) {
  const std::string longer = "The disc is longer than ";
  const std::string needs80 = " sectors, 333000 fit; it needs 80-minute media.";
  VcdProject project;
  for (const auto& [sectors, warning] : std::vector<std::pair<uint32_t, std::string>>{
           {333000, ""},
           {333001, longer + "74 minutes: 333001" + needs80},
           {360000, longer + "74 minutes: 360000" + needs80},
           {360001, longer + "80 minutes: 360001 sectors, 360000 fit; most burners refuse it."}}) {
    test::MessageCapture capture;
    project.next_free_address = sectors;
    WarnDiscLength(project);
    EXPECT_EQ(capture.Warnings(),
              warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{warning});
  }
}

}  // namespace
}  // namespace vcd2
