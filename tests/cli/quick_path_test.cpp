// vcd2build --disc NAME FILE...: the script it writes, the disc it builds,
// and what the build without OUTPUT does.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cli/run_build.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace {

using vcd2::test::RunBuild;

std::string Read(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Compliant clips made once for the whole suite, 1 s each.
class QuickPathTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    clips_ = new vcd2::test::TempDir;
    ASSERT_TRUE(vcd2::test::MakeClip(Clip("a.mpg"), "-target pal-vcd"));
    ASSERT_TRUE(vcd2::test::MakeClip(Clip("b.mpg"), "-target pal-vcd"));
    ASSERT_TRUE(vcd2::test::MakeClip(Clip("n.mpg"), "-target ntsc-vcd"));
    ASSERT_TRUE(vcd2::test::MakeClip(Clip("small.mpg"), "-target pal-vcd -s 320x240"));
  }
  static void TearDownTestSuite() { delete clips_; }
  static std::string Clip(const std::string& name) { return (clips_->Path() / name).string(); }

  // Runs in dir_ with the clips copied in, so that the script names them
  // as the user wrote them.
  vcd2::test::Outcome Run(std::vector<std::string> args, std::vector<std::string> env = {},
                          const std::function<void(pid_t, int, std::string&)>& during = {}) {
    for (const char* name : {"a.mpg", "b.mpg", "n.mpg", "small.mpg"}) {
      std::filesystem::copy_file(Clip(name), dir_.Path() / name,
                                 std::filesystem::copy_options::skip_existing);
    }
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    auto outcome = RunBuild(std::move(args), std::move(env), during);
    std::filesystem::current_path(cwd);
    return outcome;
  }

  static vcd2::test::TempDir* clips_;
  vcd2::test::TempDir dir_;
};

vcd2::test::TempDir* QuickPathTest::clips_ = nullptr;

constexpr char kHeader[] =
    "written by vcd2build --print-script.\n"
    "REM Build it with vcd2build --disc NAME SCRIPT: without an OUTPUT block\n"
    "REM only NAME.bin, NAME.cue and NAME.toc are written.\n";

// The script for each set of arguments, as printed and as built.
TEST_F(QuickPathTest, PrintScript) {
  struct Case {
    std::vector<std::string> args;
    std::string script;
    std::string warning;
  };
  const Case cases[] = {
      {{"--disc", "out/trip", "a.mpg", "b.mpg"},
       std::string("REM A Video CD of 2 clips, played in order, ") + kHeader +
           "VERSION 2.0\nALBUM \"TRIP\"\nVOLUME 1\nANZVOL 1\n\n"
           "REM One MPEG track per clip. MAKE MPEG converts a clip that is no Video CD\n"
           "REM MPEG; what it makes is kept and reused while it is up to date.\n"
           "MPGTRACK CLIP1 1 \"a.mpg\"\nMPGTRACK CLIP2 2 \"b.mpg\"\nENDFILE\n",
       ""},
      // The album is cut to 16 characters; a text ending in U is hex-coded.
      {{"--disc", "d", "--title", "Summer in Peru and Chile", "small.mpg", "a.mpg"},
       std::string("REM A Video CD of 2 clips, played in order, ") + kHeader +
           "REM MAKE writes into the folder d.vcd2, which must exist.\n"
           "VERSION 2.0\nALBUM \"SUMMER IN PERU A\"\nVOLUME 1\nANZVOL 1\n\n"
           "REM One MPEG track per clip. MAKE MPEG converts a clip that is no Video CD\n"
           "REM MPEG; what it makes is kept and reused while it is up to date.\n"
           "MAKE MPEG PAL \"d.vcd2/small.mpg\" FROM VIDEO \"small.mpg\" ENDMAKE\n"
           "MPGTRACK CLIP1 1 \"d.vcd2/small.mpg\"\nMPGTRACK CLIP2 2 \"a.mpg\"\nENDFILE\n",
       ""},
      {{"--disc", "d", "--menu", "--ntsc", "--title", "PERU", "a.mpg", "n.mpg"},
       std::string("REM A Video CD of 2 clips with a menu, ") + kHeader +
           "REM MAKE writes into the folder d.vcd2, which must exist.\n"
           "VERSION 2.0\nALBUM U\"0050004500520055\"\nVOLUME 1\nANZVOL 1\n\n"
           "REM One MPEG track per clip. MAKE MPEG converts a clip that is no Video CD\n"
           "REM MPEG; what it makes is kept and reused while it is up to date.\n"
           "MPGTRACK CLIP1 1 \"a.mpg\"\nMPGTRACK CLIP2 2 \"n.mpg\"\n\n"
           "REM The menu: a still without sound that MAKE MENU draws for the START\n"
           "REM selection, multiplexed into a segment.\n"
           "MAKE MENU NTSCHIGH \"d.vcd2/menu-high.mpv\" \"d.vcd2/menu-low.mpv\" FROM SELECTION "
           "START TITLE U\"0050004500520055\"\n  ITEMS \"a\" \"n\" ENDITEMS\nENDMAKE\n"
           "MAKE MUX \"d.vcd2/menu.mpg\" FROM STILL \"d.vcd2/menu-low.mpv\" "
           "\"d.vcd2/menu-high.mpv\" ENDMAKE\nSEGMENT MENUSTILL 1 \"d.vcd2/menu.mpg\"\n\n"
           "REM Key n plays clip n. RETURN goes back to the menu; NEXT and the end of a\n"
           "REM clip go on to the next clip, and after the last to the menu.\n"
           "SELECTION START\n  PLAY MENUSTILL\n  ITEMS SHOW1 SHOW2 ENDITEMS\n  WAIT INF\n"
           "ENDSELECTION\n\n"
           "PLAYLIST SHOW1\n  PLAY CLIP1 ENDPLAY\n  PREVIOUS START\n  NEXT SHOW2\n"
           "  RETURN START\nENDPLAYLIST\n\n"
           "PLAYLIST SHOW2\n  PLAY CLIP2 ENDPLAY\n  PREVIOUS SHOW1\n  NEXT START\n"
           "  RETURN START\nENDPLAYLIST\nENDFILE\n",
       "warning: a.mpg is PAL, the other tracks are NTSC; a disc that mixes PAL and NTSC may "
       "not play on every player.\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "--print-script");
    const auto outcome = Run(args);
    EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
    EXPECT_EQ(outcome.out, c.script);
    EXPECT_EQ(outcome.err, c.warning);
  }
  // The system follows the first compliant clip; nothing was written.
  EXPECT_NE(Run({"--print-script", "--disc", "d", "n.mpg", "small.mpg"}).out.find("MAKE MPEG NTSC"),
            std::string::npos);
  EXPECT_EQ(dir_.Listing(), (std::set<std::string>{"a.mpg", "b.mpg", "n.mpg", "small.mpg"}));
}

// Compliant clips give NAME.bin, .cue and .toc and nothing else; the saved
// script builds the same bytes. The album ends in U, so the script codes it
// in hex, which the reader takes back.
TEST_F(QuickPathTest, BuildsTheDiscItPrints) {
  const std::string epoch = "SOURCE_DATE_EPOCH=1000000000";
  auto outcome = Run({"-q", "--disc", "trip", "--title", "To Peru", "a.mpg", "b.mpg"}, {epoch});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(dir_.Listing(), (std::set<std::string>{"a.mpg", "b.mpg", "n.mpg", "small.mpg",
                                                   "trip.bin", "trip.cue", "trip.toc"}));
  const std::string info = vcd2::test::Capture("cd-info --no-header -c '" +
                                               (dir_.Path() / "trip.cue").string() + "' 2>&1");
  const size_t third = info.find("\n  3: ");  // the second MPEG track
  ASSERT_NE(third, std::string::npos) << info;
  EXPECT_NE(info.substr(third, info.find('\n', third + 1) - third).find(" XA "), std::string::npos)
      << info;
  EXPECT_NE(info.find("\nVolume     : TO PERU\n"), std::string::npos) << info;
  const std::string first = Read(dir_.Path() / "trip.bin");
  // The volume's creation date is SOURCE_DATE_EPOCH's, in UTC.
  EXPECT_EQ(first.substr(16 * 2352 + 24 + 813, 17), std::string("2001090901464000") + '\0');

  const std::string script =
      Run({"--disc", "trip", "--title", "To Peru", "--print-script", "a.mpg", "b.mpg"}).out;
  std::ofstream(dir_.Path() / "trip.vcd") << script;
  outcome = Run({"-q", "--disc", "again", "trip.vcd"}, {epoch});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_TRUE(Read(dir_.Path() / "again.bin") == first);
}

// An ordinary clip goes through MAKE MPEG and the menu through MAKE MENU; the
// disc verifies clean, and a second run with another title reuses the
// converted track.
TEST_F(QuickPathTest, MenuDiscFromAnOrdinaryClip) {
  const std::string clip = (dir_.Path() / "beach.mp4").string();
  ASSERT_TRUE(vcd2::test::MakeClip(clip, "-s 640x360 -c:v libx264 -pix_fmt yuv420p -c:a aac"));
  auto outcome =
      Run({"-q", "--disc", "holiday", "--menu", "--title", "Holiday", "beach.mp4", "a.mpg"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(dir_.Listing(),
            (std::set<std::string>{"a.mpg", "b.mpg", "beach.mp4", "holiday.bin", "holiday.cue",
                                   "holiday.toc", "holiday.vcd2", "holiday.vcd2/beach.mpg",
                                   "holiday.vcd2/beach.mpg.make", "n.mpg", "small.mpg"}));
  const auto made = dir_.Path() / "holiday.vcd2" / "beach.mpg";
  ASSERT_TRUE(std::filesystem::exists(made));
  const auto stamp = std::filesystem::last_write_time(made);
  outcome = Run({"--verify", "holiday.cue"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err << outcome.out;

  outcome = Run({"-q", "--disc", "holiday", "--menu", "--title", "Summer", "beach.mp4", "a.mpg"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(std::filesystem::last_write_time(made), stamp);
}

// Without OUTPUT the build needs --disc, and then writes the disc alone.
TEST_F(QuickPathTest, ScriptWithoutOutput) {
  const std::string script = (dir_.Path() / "plain.vcd").string();
  std::ofstream(script) << "VERSION 2.0\nMPGTRACK T 1 \"a.mpg\"\nENDFILE\n";
  auto outcome = Run({"-q", "plain.vcd"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err,
            "The script has no OUTPUT block, so the build would write nothing.\n"
            "Name the images in OUTPUT ... ENDOUTPUT, or ask for the whole disc as one image "
            "(vcd2build --disc NAME).\n");
  // A check of it with --disc measures the disc and writes nothing.
  outcome = Run({"--check", "--disc", "plain", "plain.vcd"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("Images: only the disc image\n"), std::string::npos) << outcome.out;
  EXPECT_EQ(dir_.Listing().count("plain.bin"), 0u);
  outcome = Run({"--disc", "plain", "plain.vcd"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("Images: only the disc image\n"), std::string::npos) << outcome.out;
  EXPECT_EQ(dir_.Listing(),
            (std::set<std::string>{"a.mpg", "b.mpg", "n.mpg", "small.mpg", "plain.vcd", "plain.bin",
                                   "plain.cue", "plain.toc"}));
}

// A missing clip, a file that is no video, bad usage: one message each,
// nothing written.
TEST_F(QuickPathTest, Refusals) {
  std::ofstream(dir_.Path() / "notes.txt") << "shopping list\n";
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    std::string err;
  };
  const Case cases[] = {
      {{"--disc", "d", "a.mpg", "gone.mp4"},
       4,
       "vcd2build: cannot open 'gone.mp4': No such file or directory\n"},
      {{"--disc", "d", "--menu", "notes.txt", "a.mpg"},
       1,
       "notes.txt is no MPEG program stream: it does not start with a pack header.\n"},
      {{"--disc", "d", "a.mpg", "say \"hi\".mpg"},
       1,
       "vcd2build: a script cannot name 'say \"hi\".mpg': rename it without the double quote\n"},
      {{"a.mpg", "b.mpg"},
       2,
       "vcd2build: video files need --disc NAME (or give one script); "
       "try --help\n"},
  };
  for (const Case& c : cases) {
    const auto outcome = Run(c.args);
    EXPECT_EQ(outcome.exit_code, c.exit_code);
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(outcome.out, "");
  }
  std::ofstream(dir_.Path() / "x.vcd") << "# a script\nVERSION 2.0\nENDFILE\n";
  EXPECT_EQ(Run({"--menu", "--disc", "d", "x.vcd"}).exit_code, 2);
  EXPECT_EQ(dir_.Listing(),
            (std::set<std::string>{"a.mpg", "b.mpg", "n.mpg", "small.mpg", "notes.txt", "x.vcd"}));
}

// Ctrl-C while the disc image is written stops the build: result 1, no disc.
// Sixty tracks make the write long enough to be interrupted.
TEST_F(QuickPathTest, CtrlCStopsTheDiscWrite) {
  std::string script = "VERSION 2.0\n";
  for (int i = 1; i <= 60; ++i) {
    script += "MPGTRACK T" + std::to_string(i) + " " + std::to_string(i) + " \"a.mpg\"\n";
  }
  std::ofstream(dir_.Path() / "big.vcd") << script << "ENDFILE\n";
  const auto outcome =
      Run({"--disc", "big", "big.vcd"}, {}, [](pid_t pid, int err, std::string& seen) {
        char c;
        while (seen.find("Writing disc image...\n") == std::string::npos && read(err, &c, 1) == 1) {
          seen += c;
        }
        kill(pid, SIGINT);
      });
  EXPECT_EQ(outcome.exit_code, 1) << outcome.err;
  EXPECT_NE(outcome.err.find("Writing disc image...\n\nvcd2build: stopping at user request\n"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(dir_.Listing(),
            (std::set<std::string>{"a.mpg", "b.mpg", "n.mpg", "small.mpg", "big.vcd"}));
}

}  // namespace
