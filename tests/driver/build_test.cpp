// Whole builds through the exported entry point.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "support/disc_build.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

using Messages = std::vector<std::string>;

Messages shown;
std::string throw_at;  // status text whose callback throws
bool throw_memory;     // std::bad_alloc, else a FileError

int32_t Throw(int32_t percent, const char* text) {
  if (percent < 0 && throw_at == text) {
    if (throw_memory) throw std::bad_alloc();
    throw FileError("injected");
  }
  return 1;
}

class BuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shown.clear();
    callbacks_.show_message = [](const char* text) { shown.push_back(text); };
    VCD2SetCallbacks(&callbacks_);
  }
  void TearDown() override { VCD2SetCallbacks(nullptr); }

  BuilderCallbacks callbacks_{};
  test::TempDir dir_;
  const std::string script_ =
      dir_.Write("disc.vcd", "VERSION 2.0\nALBUM \"TEST\"\nOUTPUT 1 \"" +
                                 (dir_.Path() / "data.bin").string() + "\" ENDOUTPUT\nENDFILE\n");
};

// An endless script ends at its size bound; a long path is refused unopened.
TEST_F(BuildTest, EndlessScriptsAndLongPaths) {
  const auto endless = test::RunScript("/dev/zero");
  EXPECT_EQ(endless.result, 1);
  EXPECT_EQ(endless.messages,
            (Messages{"/dev/zero Line 1:\r\nThe script is longer than 16777216 bytes.",
                      "/dev/zero Line 1:\r\nParser reported an error."}));
  const auto long_path = test::RunScript("/" + std::string(255, 'x'));
  EXPECT_EQ(long_path.result, 1);
  EXPECT_EQ(long_path.messages,
            Messages{"The script path is 256 bytes long; at most 255 are allowed."});
}

// A stop during the parse is the parser's error, with its prefix; one after
// it ends the build quietly; the next build, even without callbacks, starts clear.
TEST_F(BuildTest, StopsDuringAndAfterTheParse) {
  auto build = test::RunScript(script_, "Parsing script...");
  EXPECT_EQ(build.result, 1);
  EXPECT_EQ(build.messages, Messages{script_ + " Line 1:\r\nParser reported an error."});
  build = test::RunScript(script_, "Sorting items...");
  EXPECT_EQ(build.result, 1);
  EXPECT_EQ(build.last_status, "Checking labels...");
  EXPECT_EQ(VCD2DiscBuilder(nullptr, script_.c_str(), nullptr), 0);
}

TEST_F(BuildTest, ExceptionsBecomeResultCodesInEveryPhase) {
  for (const char* phase : {"Parsing script...", "Sorting items...", "Checking labels...",
                            "Performing makes...", "Building image..."}) {
    for (const bool memory : {true, false}) {
      SCOPED_TRACE(phase);
      shown.clear();
      throw_at = phase;
      throw_memory = memory;
      EXPECT_EQ(VCD2DiscBuilder(nullptr, script_.c_str(), Throw), memory ? 3 : 4);
      EXPECT_EQ(shown, Messages{memory ? "A memory error occured." : "A file error occured."});
    }
  }
}

TEST_F(BuildTest, ASecondCallDuringABuildIsRefused) {
  static int32_t inner_result = -1;
  static std::string inner_path;
  inner_path = script_;
  auto nested = [](int32_t percent, const char* text) -> int32_t {
    if (percent < 0 && std::string(text) == "Sorting items...") {
      inner_result = VCD2DiscBuilder(nullptr, inner_path.c_str(), nullptr);
    }
    return 1;
  };
  EXPECT_EQ(VCD2DiscBuilder(nullptr, script_.c_str(), nested), 0);
  EXPECT_EQ(inner_result, 1);
  EXPECT_EQ(shown, Messages{"A build is already running in this process; this VCD2DiscBuilder "
                            "call was refused."});
}

}  // namespace
}  // namespace vcd2
