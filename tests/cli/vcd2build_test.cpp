// The host program, run as a user runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
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
    const auto old_handler = std::signal(SIGPIPE, SIG_IGN);  // the build may have stopped reading
    [[maybe_unused]] const ssize_t written = write(fd, tail.data(), tail.size());
    std::signal(SIGPIPE, old_handler);
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
  // The picture is compared with the script, as every output is.
  const std::string script = dir.Write("menu.png", "VERSION 2.0 ENDFILE");
  outcome = RunBuild({"-q", "--graph", script, script});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err,
            "the graph (" + script + ") is the same file as the script (" + script + ").\n");
  EXPECT_EQ(dir.Listing(), std::set<std::string>{"menu.png"});
}

// --preview writes the MAKE MENU pictures, both resolutions, and nothing
// else: no still is encoded and no image written.
TEST(Vcd2BuildTest, PreviewWritesTheMenuPicturesOnly) {
  vcd2::test::TempDir dir;
  const std::string script = dir.Write(
      "menu.vcd",
      "VERSION 2.0\nOUTPUT 1 \"data.bin\" ENDOUTPUT\n"
      "SELECTION START ITEMS A ENDITEMS ENDSELECTION\nPLAYLIST A ENDPLAYLIST\n"
      "MAKE MENU PALHIGH \"hi.mpv\" \"lo.mpv\" FROM SELECTION START TITLE \"Menu\" ENDMAKE\n"
      "ENDFILE\n");
  const std::string folder = (dir.Path() / "look").string();
  const auto outcome = RunBuild({"-q", "--preview", folder, script});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(dir.Listing(),
            (std::set<std::string>{"menu.vcd", "look", "look/hi.png", "look/lo.png"}));
  EXPECT_EQ(vcd2::test::ProbeStream(folder + "/hi.png").at("width"), "768");
  EXPECT_EQ(vcd2::test::ProbeStream(folder + "/lo.png").at("height"), "288");
  EXPECT_EQ(RunBuild({"--preview", folder, "--disc", "d", script}).exit_code, 2);
  EXPECT_EQ(RunBuild({"--preview"}).err,
            "vcd2build: option '--preview' needs a folder; try --help\n");
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

// Reads stderr until `text` has come; false when it does not within 10 s.
bool AwaitText(int err, std::string& seen, const std::string& text) {
  pollfd readable{err, POLLIN, 0};
  char c;
  while (seen.find(text) == std::string::npos) {
    if (poll(&readable, 1, 10000) != 1 || read(err, &c, 1) != 1) return false;
    seen += c;
  }
  return true;
}

// A signal in the middle of a long MAKE MPA stops it within a second: the
// target made before and every temporary are gone, the sources unchanged.
// A second signal only waits for that.
TEST(Vcd2BuildTest, SignalsStopAnEncodingPromptlyAndLeaveNoFile) {
  namespace test = vcd2::test;
  test::TempDir dir;
  const std::string small = test::WaveFile(2, 16, 44100, test::Samples16(test::StereoTone(4410)));
  const std::string big =
      test::WaveFile(2, 16, 44100, test::Samples16(test::StereoTone(60 * 44100)));
  const std::string at = dir.Path().string() + "/";
  const std::string script =
      dir.Write("make.vcd", "VERSION 2.0\nMAKE MPA 224S \"" + at + "small.mp2\" FROM WAVE \"" + at +
                                "small.wav\" ENDMAKE\nMAKE MPA 224S \"" + at +
                                "big.mp2\" FROM WAVE \"" + at + "big.wav\" ENDMAKE\nENDFILE\n");
  const std::vector<std::vector<int>> cases = {{SIGINT}, {SIGTERM}, {SIGHUP}, {SIGINT, SIGINT}};
  for (const std::vector<int>& signals : cases) {
    SCOPED_TRACE(signals.size() == 2 ? "two Ctrl-C" : strsignal(signals[0]));
    dir.Write("small.wav", small);
    if (dir.Listing().count("big.wav") == 0) dir.Write("big.wav", big);  // a second to encode
    std::chrono::steady_clock::time_point sent;
    const auto outcome =
        RunBuild({"--disc", at + "out", script}, {}, [&](pid_t pid, int err, std::string& seen) {
          ASSERT_TRUE(AwaitText(err, seen, "Performing makes...\n"));
          std::this_thread::sleep_for(std::chrono::milliseconds(300));  // into the big encoding
          sent = std::chrono::steady_clock::now();
          for (const int signal : signals) kill(pid, signal);
          int status = 0;
          waitpid(pid, &status, 0);  // RunBuild's wait then finds nothing
          EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
          EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        });
    EXPECT_NE(outcome.err.find("vcd2build: stopping at user request\n"), std::string::npos);
    EXPECT_EQ(outcome.err.find("Building image..."), std::string::npos) << outcome.err;
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"big.wav", "make.vcd", "small.wav"}));
    std::ifstream source(at + "big.wav", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(source), {}), big);
  }
}

// FIFOs and folders as the script, a source or a stream to inspect: nothing
// blocks, a stop ends a wait, and a stream fed through a pipe is judged.
TEST(Vcd2BuildTest, FifosAndFoldersNeverBlock) {
  namespace test = vcd2::test;
  test::TempDir dir;
  const std::string at = dir.Path().string() + "/";
  const std::string fifo = at + "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(at + "folder");
  // No writer comes: a SIGTERM ends the wait.
  auto outcome = RunBuild({"-q", fifo}, {}, [&](pid_t pid, int /*err*/, std::string& /*seen*/) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto sent = std::chrono::steady_clock::now();
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  });
  EXPECT_EQ(outcome.err.rfind("\nvcd2build: stopping at user request\n", 0), 0u) << outcome.err;
  outcome = RunBuild({"-q", at + "folder"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.err, at + "folder is a folder, not a script.\n");
  // A MAKE source that is a FIFO or a folder says so.
  for (const char* source : {"fifo", "folder"}) {
    const std::string script =
        dir.Write("make.vcd", "VERSION 2.0\nMAKE MPA 224S \"" + at + "a.mp2\" FROM WAVE \"" + at +
                                  source + "\" ENDMAKE\nENDFILE\n");
    outcome = RunBuild({"-q", "--disc", at + "out", script});
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_EQ(outcome.err, "Dependency file " + at + source + " is " +
                               (source[1] == 'i' ? "a FIFO" : "a folder") +
                               ", not a file MAKE can read.\n");
  }
  // --inspect reads a piped stream once and judges it.
  const std::string clip = at + "clip.mpg";
  ASSERT_TRUE(test::MakeClip(clip, "-target pal-vcd"));
  std::thread writer([&] {
    std::ifstream in(clip, std::ios::binary);
    std::ofstream out(fifo, std::ios::binary);
    out << in.rdbuf();
  });
  outcome = RunBuild({"--inspect", fifo});
  writer.join();
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind(fifo + ": Video CD compliant\n", 0), 0u) << outcome.out;
  EXPECT_EQ(RunBuild({"--inspect", at + "folder"}).err,
            at + "folder is a folder, not an MPEG stream.\n");
  EXPECT_EQ(dir.Listing(), (std::set<std::string>{"clip.mpg", "fifo", "folder", "make.vcd"}));
}

}  // namespace

// --verify: the summary on stdout and 0 for a clean disc, a named fault and
// 1 for a broken one, 4 for a missing file, 2 without operands.
TEST(Vcd2BuildTest, Verify) {
  vcd2::test::TempDir dir;
  ASSERT_TRUE(vcd2::test::MakeClip((dir.Path() / "clip.mpg").string(), "-target pal-vcd"));
  const std::string script =
      dir.Write("disc.vcd", "VERSION 2.0\nMOUNT INTERN D \"" + dir.Path().string() +
                                "\"\nOUTPUT 1 D \"data.img\" 2 D \"t1.img\" ENDOUTPUT\n"
                                "MPGTRACK T 1 D \"clip.mpg\"\nENDFILE\n");
  const std::string disc = (dir.Path() / "disc").string();
  ASSERT_EQ(RunBuild({"-q", "--disc", disc, script}).exit_code, 0);
  auto outcome = RunBuild({"--verify", disc + ".cue"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind(disc + ".cue: 0 faults, 0 warnings; checked ", 0), 0u) << outcome.out;
  EXPECT_EQ(RunBuild({"-q", "--verify", (dir.Path() / "data.img").string(),
                      (dir.Path() / "t1.img").string()})
                .exit_code,
            0);
  {
    std::fstream bin(disc + ".bin", std::ios::in | std::ios::out | std::ios::binary);
    bin.seekp(20 * 2352 + 100);
    bin.put('\x5A');
  }
  outcome = RunBuild({"-q", "--verify", disc + ".cue"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_NE(outcome.err.find(disc + ".bin sector 20 (00:02:20): the Form 1 EDC does not match "
                                    "[sector-edc]\n"),
            std::string::npos)
      << outcome.err;
  EXPECT_EQ(RunBuild({"-q", "--verify", (dir.Path() / "none.cue").string()}).exit_code, 4);
  EXPECT_EQ(RunBuild({"--verify"}).exit_code, 2);
  EXPECT_EQ(RunBuild({"--verify", "--check", "x.cue"}).exit_code, 2);
}
