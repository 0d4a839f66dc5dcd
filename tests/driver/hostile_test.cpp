// Hostile scripts through the exported entry point: each is refused with a
// message that names what is wrong, before any file is written.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "support/disc_build.h"
#include "support/script_runner.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

// A LENGTH that is negative or overflows the multiplexer's 32-bit clock
// (6000 ticks a unit) is refused when the script is read. The build runs in a
// child whose files may not grow past 1 MB, as a bound that was missed would
// write gigabytes.
TEST(HostileTest, StillLengthsAreBoundedWhenTheScriptIsRead) {
  const std::string range =
      " is out of range: a still is shown for 0 to 648000 fifteenths of a second (12 hours).";
  struct Case {
    std::string streams;
    std::string message;
    int line = 3;
  };
  const Case cases[] = {
      {"STILL DIR \"s.mpg\" LENGTH -1", "LENGTH -1" + range},
      {"STILL DIR \"s.mpg\" LENGTH 648001", "LENGTH 648001" + range},
      {"STILL DIR \"s.mpg\" LENGTH 715828", "LENGTH 715828" + range},
      {"STILL DIR \"s.mpg\" LENGTH 2147483647", "LENGTH 2147483647" + range},
      {"STILL DIR \"s.mpg\" LENGTH 400000 AUDIO DIR \"a.mp2\" STILL DIR \"t.mpg\" LENGTH 248001",
       "The stills of this MAKE MUX are shown for 648001 fifteenths of a second in all; at most "
       "648000 (12 hours) fit its clock.",
       4},  // found when the stream has ended
  };
  EXPECT_TRUE(
      test::ParseSortCheck(
          test::Script20(
              "MAKE MUX \"m.mpg\" FROM STILL \"s.mpg\" LENGTH 648000 AUDIO \"a.mp2\" ENDMAKE"))
          .ok);
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.streams);
    for (const char* name : {"s.mpg", "t.mpg", "a.mp2"}) dir.Write(name, name);
    const pid_t child = fork();
    if (child == 0) {
      const rlimit bound{1 << 20, 1 << 20};
      setrlimit(RLIMIT_FSIZE, &bound);
      std::signal(SIGXFSZ, SIG_IGN);
      const auto build =
          test::BuildDisc(dir, "MAKE MUX DIR \"m.mpg\" FROM " + c.streams + " ENDMAKE");
      const std::string prefix =
          (dir.Path() / "disc.vcd").string() + " Line " + std::to_string(c.line) + ":\r\n";
      const bool refused =
          build.result == 1 &&
          build.messages ==
              std::vector<std::string>{prefix + c.message, prefix + "Parser reported an error."};
      if (!refused) {
        for (const auto& shown : build.messages) std::fprintf(stderr, "%s\n", shown.c_str());
      }
      _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"a.mp2", "disc.vcd", "s.mpg", "t.mpg"}));
  }
}

// An image whose name is at the system's limit gets it: the unnamed file is
// linked under a short name before it is renamed.
TEST(HostileTest, AnImageNameAtTheLimit) {
  test::TempDir dir;
  const std::string name(255, 'd');
  const auto build = test::BuildDisc(dir, "OUTPUT 1 DIR \"" + name + "\" ENDOUTPUT");
  EXPECT_EQ(build.result, 0) << testing::PrintToString(build.messages);
  EXPECT_EQ(dir.Listing(), (std::set<std::string>{"disc.vcd", name}));
}

}  // namespace
}  // namespace vcd2
