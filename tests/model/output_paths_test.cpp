// Outputs that name an input, the script, each other or something other
// than a regular file are refused before anything is written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/disc_build.h"

namespace vcd2 {
namespace {

std::string Contents(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::string Expand(std::string text, const std::string& dir) {
  for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, dir);
  return text;
}

struct Collision {
  const char* outputs;  // the OUTPUT block's lines
  const char* more;     // further statements
  const char* disc;     // the whole-disc name, "" for none
  const char* message;  // '@' stands for the directory
};

TEST(OutputPathsTest, EveryCollisionIsRefusedBeforeAnythingIsWritten) {
  const Collision cases[] = {
      {"1 DIR \"f.txt\" 2 DIR \"t1.bin\"", "FILE \"F.TXT\" DIR \"f.txt\"", "",
       "OUTPUT 1 (@/f.txt) is the same file as the source of FILE F.TXT (@/f.txt)."},
      {"1 DIR \"data.bin\" 2 DIR \"t1.bin\"", "", "@/t1",
       "OUTPUT 2 (@/t1.bin) is the same file as the disc image (@/t1.bin)."},
      {"1 DIR \"sub/../s.mpg\" 2 DIR \"t1.bin\"",
       "SEGMENT S 1 DIR \"s.mpg\" PLAYLIST START PLAY S ENDPLAY ENDPLAYLIST", "",
       "OUTPUT 1 (@/sub/../s.mpg) is the same file as the source of SEGMENT S (@/s.mpg)."},
      {"1 \"@/disc.vcd\" 2 DIR \"t1.bin\"", "", "",
       "OUTPUT 1 (@/disc.vcd) is the same file as the script (@/disc.vcd)."},
      {"1 DIR \"x.bin\" 2 DIR \"./x.bin\"", "", "",
       "OUTPUT 1 (@/x.bin) is the same file as OUTPUT 2 (@/./x.bin)."},
      {"1 DIR \"data.bin\" 2 DIR \"hard.raw\"", "DATRACK CD 1 PCML DIR \"cd.raw\"", "",
       "OUTPUT 2 (@/hard.raw) is the same file as the source of DATRACK CD (@/cd.raw)."},
      {"1 DIR \"data.bin\" 2 DIR \"soft.mpg\"", "", "",
       "OUTPUT 2 (@/soft.mpg) is the same file as the source of MPGTRACK T1 (@/t1.mpg)."},
      {"1 DIR \"in.wav\" 2 DIR \"t1.bin\"",
       "MAKE MPA 224 DIR \"a.mp2\" FROM WAVE DIR \"in.wav\" ENDMAKE", "",
       "OUTPUT 1 (@/in.wav) is the same file as a source of MAKE @/a.mp2 (@/in.wav)."},
      {"1 DIR \"a.mp2\" 2 DIR \"t1.bin\"",
       "MAKE MPA 224 DIR \"a.mp2\" FROM WAVE DIR \"in.wav\" ENDMAKE", "",
       "OUTPUT 1 (@/a.mp2) is the same file as the target of a MAKE (@/a.mp2)."},
      {"1 DIR \"data.bin\" 2 DIR \"t1.bin\"", "FILE \"F.CUE\" DIR \"f.cue\"", "@/f",
       "the disc's cue sheet (@/f.cue) is the same file as the source of FILE F.CUE (@/f.cue)."},
      {"1 DIR \"data.bin\" 2 DIR \"fifo\"", "", "", "OUTPUT 2 (@/fifo) is not a regular file."},
      {"1 DIR \"sub\" 2 DIR \"t1.bin\"", "", "", "OUTPUT 1 (@/sub) is not a regular file."},
      {"1 DIR \"f.txt\" 2 DIR \"t1.bin\"", "GENRTF \"G.RTF\" FORM 1 \"@/f.txt\" EOF", "",
       "OUTPUT 1 (@/f.txt) is the same file as a part of GENRTF G.RTF (@/f.txt)."},
  };
  test::TempDir dir;
  const std::string at = dir.Path().string();
  std::filesystem::create_directory(dir.Path() / "sub");
  for (const char* name : {"t1.mpg", "s.mpg", "f.txt", "f.cue", "cd.raw", "in.wav"}) {
    dir.Write(name, std::string("contents of ") + name);
  }
  std::filesystem::create_hard_link(dir.Path() / "cd.raw", dir.Path() / "hard.raw");
  std::filesystem::create_symlink(dir.Path() / "t1.mpg", dir.Path() / "soft.mpg");
  ASSERT_EQ(mkfifo((dir.Path() / "fifo").c_str(), 0600), 0);
  for (const Collision& c : cases) {
    const std::string disc = Expand(c.disc, at);
    const std::string body = Expand(
        std::string("OUTPUT ") + c.outputs + " ENDOUTPUT\nMPGTRACK T1 1 DIR \"t1.mpg\"\n" + c.more,
        at);
    const auto build = test::BuildDisc(dir, body, "", disc.empty() ? nullptr : disc.c_str());
    EXPECT_EQ(build.result, 1) << c.message;
    EXPECT_EQ(build.messages, std::vector<std::string>{Expand(c.message, at)});
    for (const char* name : {"t1.mpg", "s.mpg", "f.txt", "f.cue", "cd.raw", "in.wav"}) {
      EXPECT_EQ(Contents(dir.Path() / name), std::string("contents of ") + name) << c.message;
    }
    for (const char* name : {"data.bin", "t1.bin", "x.bin", "a.mp2", "data.cue", "t1.cue"}) {
      EXPECT_FALSE(std::filesystem::exists(dir.Path() / name)) << name << ": " << c.message;
    }
  }
}

// A MAKE target may feed only what runs after it; one that would replace
// what the build reads as it was is refused before any rule runs, by a build
// and by a check alike.
TEST(OutputPathsTest, AMakeTargetThatIsAnInputIsRefused) {
  const std::string wave = " FROM WAVE DIR \"in.wav\" ENDMAKE\n";
  const std::string still = " FROM BMP DIR \"p.bmp\" ENDMAKE\n";
  const std::pair<std::string, const char*> cases[] = {
      {"MAKE MPA 224S \"@/disc.vcd\"" + wave,
       "the target of MAKE MPA (@/disc.vcd) is the same file as the script (@/disc.vcd)."},
      {"MAKE MPA 224S DIR \"in.wav\"" + wave,
       "the target of MAKE MPA (@/in.wav) is the same file as a source of MAKE @/in.wav "
       "(@/in.wav)."},
      {"MAKE STILL PALLOW DIR \"t1.mpg\"" + still,
       "the target of MAKE STILL (@/t1.mpg) is the same file as the source of MPGTRACK T1 "
       "(@/t1.mpg)."},
      {"MAKE MUX DIR \"hard.raw\" FROM STILL DIR \"s.mpg\" ENDMAKE DATRACK CD 1 PCML DIR "
       "\"cd.raw\"",
       "the target of MAKE MUX (@/hard.raw) is the same file as the source of DATRACK CD "
       "(@/cd.raw)."},
      {"MAKE MUX DIR \"f.txt\" FROM STILL DIR \"s.mpg\" ENDMAKE FILE \"F.TXT\" DIR \"f.txt\"",
       "the target of MAKE MUX (@/f.txt) is the same file as the source of FILE F.TXT (@/f.txt)."},
      {"MAKE MPA 224S DIR \"a.mp2\"" + wave + "MAKE MPA 96M DIR \"sub/../a.mp2\"" + wave,
       "the target of MAKE MPA (@/sub/../a.mp2) is the same file as the target of an earlier MAKE "
       "(@/a.mp2)."},
      {"MAKE MPA 224S DIR \"a.mp2\"" + wave + "MAKE STILL PALLOW DIR \"in.wav\"" + still,
       "the target of MAKE STILL (@/in.wav) is the same file as a source of MAKE @/a.mp2 "
       "(@/in.wav)."},
      {"MAKE MUX DIR \"m.mpg\" FROM STILL DIR \"s.mpg\" ENDMAKE MAKE STILL PALLOW DIR \"m.mpg\"" +
           still,
       "the target of MAKE STILL (@/m.mpg) is the same file as the target of an earlier MAKE "
       "(@/m.mpg)."},
      {"MAKE STILL PALLOW DIR \"p.bmp\" FROM BMP DIR \"s.mpg\" ENDMAKE MAKE STILL PALLOW DIR "
       "\"t.mpg\"" +
           still,
       "the target of MAKE STILL (@/p.bmp) is the same file as a source of MAKE @/t.mpg "
       "(@/p.bmp)."},
  };
  const char* inputs[] = {"disc.vcd", "t1.mpg", "s.mpg", "f.txt", "cd.raw", "in.wav", "p.bmp"};
  test::TempDir dir;
  const std::string at = dir.Path().string();
  std::filesystem::create_directory(dir.Path() / "sub");
  for (const std::pair<std::string, const char*>& c : cases) {
    for (const uintptr_t mode : {VCD2_MODE_BUILD, VCD2_MODE_CHECK}) {
      SCOPED_TRACE(c.first + (mode == VCD2_MODE_CHECK ? " (check)" : ""));
      for (const char* name : inputs) dir.Write(name, std::string("contents of ") + name);
      std::filesystem::remove(dir.Path() / "hard.raw");
      std::filesystem::create_hard_link(dir.Path() / "cd.raw", dir.Path() / "hard.raw");
      const std::string body = Expand(c.first, at) + "\nMPGTRACK T1 1 DIR \"t1.mpg\"\n";
      BuilderCallbacks check{};
      check.mode = mode;
      const std::string disc = (dir.Path() / "out").string();  // the scripts have no OUTPUT
      const auto build = test::BuildDisc(dir, body, "", disc.c_str(), &check);
      EXPECT_EQ(build.result, 1);
      EXPECT_EQ(build.messages, std::vector<std::string>{Expand(c.second, at)});
      for (const char* name : inputs) {
        if (std::string(name) != "disc.vcd") {
          EXPECT_EQ(Contents(dir.Path() / name), std::string("contents of ") + name) << name;
        }
      }
      EXPECT_EQ(dir.Listing(),
                (std::set<std::string>{"cd.raw", "disc.vcd", "f.txt", "hard.raw", "in.wav", "p.bmp",
                                       "s.mpg", "sub", "t1.mpg"}));
    }
  }
}

// A graph request writes only the graph, which must not be the script.
TEST(OutputPathsTest, TheGraphIsNotTheScript) {
  test::TempDir dir;
  const std::string script = dir.Write("disc.vcd", "VERSION 2.0 ENDFILE");
  BuilderCallbacks graph{};
  graph.graph_file = script.c_str();
  const auto build = test::RunScript(script, "", nullptr, &graph);
  EXPECT_EQ(build.result, 1);
  EXPECT_EQ(build.messages,
            std::vector<std::string>{"the graph (" + script + ") is the same file as the script (" +
                                     script + ")."});
  EXPECT_EQ(Contents(script), "VERSION 2.0 ENDFILE");
}

}  // namespace
}  // namespace vcd2
