// The host program, run as a user runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cli/run_build.h"
#include "support/media_tools.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

namespace {

using vcd2::test::RunBuild;

// A missing script gets one line naming it; bad options or operands exit with 2.
TEST(Vcd2BuildTest, OptionsAndUsage) {
  const auto missing = RunBuild({"/nonexistent/disc.vcd"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err,
            "vcd2build: cannot open script '/nonexistent/disc.vcd': No such file or directory\n");
  EXPECT_NE(RunBuild({"--help"}).out.find("Usage: vcd2build"), std::string::npos);
  const auto version = RunBuild({"-V"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.rfind("vcd2build ", 0), 0u);
  const auto unknown = RunBuild({"--frobnicate", "x.vcd"});
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_EQ(unknown.err, "vcd2build: unknown option '--frobnicate'; try --help\n");
  EXPECT_EQ(RunBuild({"-qx", "x.vcd"}).err, "vcd2build: unknown option '-x'; try --help\n");
  EXPECT_EQ(RunBuild({"--disc"}).err, "vcd2build: option '--disc' needs a name; try --help\n");
  EXPECT_EQ(RunBuild({}).exit_code, 2);
  EXPECT_EQ(RunBuild({"a.vcd", "b.vcd"}).exit_code, 2);
  EXPECT_EQ(RunBuild({"--graph", "menu.pdf", "x.vcd"}).exit_code, 2);
  EXPECT_EQ(RunBuild({"--graph", "menu.dot", "--disc", "d", "x.vcd"}).exit_code, 2);
  EXPECT_EQ(RunBuild({"--inspect", "--disc", "x", "x.mpg"}).exit_code, 2);
}

// --check ends as the build would (that it writes nothing is in modes_test).
TEST(Vcd2BuildTest, StatusLinesAndMessages) {
  vcd2::test::TempDir dir;
  const std::string good =
      dir.Write("good.vcd", "VERSION 2.0 OUTPUT 1 \"" + (dir.Path() / "x.bin").string() +
                                "\" ENDOUTPUT ENDFILE");
  auto outcome = RunBuild({good});
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.err,
            "Parsing script...\nSorting items...\nChecking labels...\nPerforming makes...\n"
            "Building image...\nBuilding Segments...\nBuilding MPEG tracks...\n"
            "Building Audio tracks...\nBuilding ISO 9660 image...\nAppending segments...\n"
            "Entering references...\ncreating entries list...\nCreating ENTRIES.VCD...\n"
            "Creating INFO.VCD...\nReady...\n");
  EXPECT_EQ(RunBuild({"--quiet", good}).err, "");
  const std::string bad = dir.Write("bad.vcd", "VERSION 2.0\r\nALBUM");
  outcome = RunBuild({"-q", bad});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err,
            bad + " Line 2:\nEOF encountered.\n" + bad + " Line 2:\nParser reported an error.\n");
  EXPECT_EQ(RunBuild({"-q", "--check", good}).exit_code, 0);
  EXPECT_EQ(RunBuild({"-q", "--check", bad}).exit_code, 1);
}

// The script is a pipe: the build blocks reading it while Ctrl-C arrives.
TEST(Vcd2BuildTest, CtrlCStopsTheBuildCleanly) {
  vcd2::test::TempDir dir;
  const std::string fifo = (dir.Path() / "script.vcd").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto outcome = RunBuild({fifo}, {}, [&](pid_t pid, int err, std::string& seen) {
    const int fd = open(fifo.c_str(), O_WRONLY);  // returns once the build opened the script
    ASSERT_GE(fd, 0);
    const std::string head = "VERSION 2.0\n";
    ASSERT_EQ(write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    kill(pid, SIGINT);
    // The program acknowledges the interrupt before the script goes on.
    const std::string notice = "vcd2build: stopping at user request\n";
    pollfd readable{err, POLLIN, 0};
    char c;
    while (seen.find(notice) == std::string::npos && poll(&readable, 1, 10000) == 1 &&
           read(err, &c, 1) == 1) {
      seen += c;
    }
    const std::string tail = "ALBUM \"X\" ENDFILE\n";
    ASSERT_EQ(write(fd, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    close(fd);
  });
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_NE(outcome.err.find("vcd2build: stopping at user request\n"), std::string::npos);
  EXPECT_EQ(outcome.err.find("Performing makes..."), std::string::npos);
}

// The DOT text goes through a temporary file that dot renders and that goes
// afterwards, also when dot cannot be run.
TEST(Vcd2BuildTest, GraphDrawsThroughDotAndLeavesNoTemporaryFile) {
  vcd2::test::TempDir dir;
  const std::string tmpdir = "TMPDIR=" + dir.Path().string();
  const std::string svg = (dir.Path() / "menu.svg").string();
  auto outcome = RunBuild({"-q", "--graph", svg, EXAMPLES_DIR "/example.vcd"}, {tmpdir});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(dir.Listing(), std::set<std::string>{"menu.svg"});
  std::ifstream picture(svg);
  const std::string text{std::istreambuf_iterator<char>(picture), {}};
  EXPECT_NE(text.find("<svg"), std::string::npos);
  EXPECT_NE(text.find("PLAYLIST PLAYFEATURE"), std::string::npos);
  std::filesystem::remove(svg);
  outcome =
      RunBuild({"-q", "--graph", svg, EXAMPLES_DIR "/example.vcd"}, {tmpdir, "PATH=/nonexistent"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err.rfind("vcd2build: cannot run dot to draw " + svg, 0), 0u) << outcome.err;
  EXPECT_TRUE(dir.Listing().empty());
}

// --inspect reports each file on stdout and fails when one is not compliant
// (the report's text is in stream_compliance_test).
TEST(Vcd2BuildTest, Inspect) {
  vcd2::test::TempDir dir;
  const std::string good = (dir.Path() / "good.mpg").string();
  const std::string small = (dir.Path() / "small.mpg").string();
  ASSERT_TRUE(vcd2::test::MakeClip(good, "-target pal-vcd"));
  ASSERT_TRUE(vcd2::test::MakeClip(small, "-target pal-vcd -s 320x240"));
  const auto outcome = RunBuild({"--inspect", small, good});  // each file, the first failure
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.out.rfind(small + ": ", 0), 0u) << outcome.out;
  EXPECT_NE(outcome.out.find("\n  problem: the picture is 320x240"), std::string::npos);
  EXPECT_NE(outcome.out.find(good + ": Video CD compliant\n"), std::string::npos);
  EXPECT_EQ(RunBuild({"--inspect", good}).exit_code, 0);
}

// The encoders sit in vcd2/codecs.so beside libvcd2.so and are loaded by the
// first MAKE (that they load is in install_test.sh); beside a library without
// them that MAKE fails with the reason.
TEST(Vcd2BuildTest, MakeLoadsTheCodecModuleBesideTheLibrary) {
  namespace test = vcd2::test;
  test::TempDir dir;
  const std::string wave =
      dir.Write("in.wav", test::WaveFile(2, 16, 44100, test::Samples16(test::StereoTone(4410))));
  const std::string target = (dir.Path() / "out.mp2").string();
  const std::string script =
      dir.Write("make.vcd", "VERSION 2.0\nMAKE MPA 224S \"" + target + "\" FROM WAVE \"" + wave +
                                "\" ENDMAKE\nENDFILE\n");
  // The run path of vcd2build yields to LD_LIBRARY_PATH.
  std::filesystem::copy_file(LIBVCD2_PATH, dir.Path() / LIBVCD2_SONAME);
  const auto outcome = RunBuild({"-q", "--disc", (dir.Path() / "d").string(), script},
                                {"LD_LIBRARY_PATH=" + dir.Path().string()});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err.rfind("Could not load the encoders for MAKE: " +
                                  (dir.Path() / "vcd2/codecs.so").string() +
                                  ": cannot open shared object file",
                              0),
            0u)
      << outcome.err;
}

}  // namespace
