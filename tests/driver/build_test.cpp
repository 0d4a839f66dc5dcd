// Whole builds through the exported entry point.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "support/temp_dir.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

std::vector<std::string> events;  // "status:TEXT", "percent:N" and "message:TEXT"
std::string throw_at;             // status text whose callback throws
enum class Throw { kMemory, kFile } throw_kind;
std::string stop_at;  // status text whose callback asks to stop

int32_t Record(int32_t percent, const char* text) {
  if (percent < 0) {
    events.push_back(std::string("status:") + text);
    if (throw_at == text) {
      if (throw_kind == Throw::kMemory) throw std::bad_alloc();
      throw FileError("injected");
    }
    if (stop_at == text) return 0;
  } else {
    events.push_back("percent:" + std::to_string(percent));
  }
  return 1;
}

void Show(const char* text) {
  events.push_back(std::string("message:") + text);
}

class BuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    throw_at.clear();
    stop_at.clear();
    callbacks_.show_message = Show;
    VCD2SetCallbacks(&callbacks_);
  }
  void TearDown() override { VCD2SetCallbacks(nullptr); }

  int32_t Build(const std::string& script) {
    return VCD2DiscBuilder(nullptr, dir_.Write("disc.vcd", script).c_str(), Record);
  }
  std::string ScriptPath() const { return (dir_.Path() / "disc.vcd").string(); }

  BuilderCallbacks callbacks_{};
  test::TempDir dir_;
};

const char kMinimal[] = "VERSION 2.0\nALBUM \"TEST\"\nENDFILE\n";
const char* const kPhases[] = {"Parsing script...", "Sorting items...", "Checking labels...",
                               "Performing makes...", "Building image..."};

TEST_F(BuildTest, AnEndlessScriptEndsAtItsSizeBound) {
  EXPECT_EQ(VCD2DiscBuilder(nullptr, "/dev/zero", Record), 1);
  const std::vector<std::string> messages(events.end() - 2, events.end());
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "message:/dev/zero Line 1:\r\nThe script is longer than 16777216 bytes.",
                          "message:/dev/zero Line 1:\r\nParser reported an error."}));
}

// A stop during the parse is the parser's error, with its prefix; one after
// it ends the build quietly; the next build, even without callbacks, starts clear.
TEST_F(BuildTest, StopsDuringAndAfterTheParse) {
  stop_at = "Parsing script...";
  EXPECT_EQ(Build(kMinimal), 1);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1], "message:" + ScriptPath() + " Line 1:\r\nParser reported an error.");
  stop_at = "Sorting items...";
  events.clear();
  EXPECT_EQ(Build(kMinimal), 1);
  EXPECT_EQ(events.back(), "status:Checking labels...");
  VCD2SetCallbacks(nullptr);  // and a build without any callbacks
  EXPECT_EQ(VCD2DiscBuilder(nullptr, ScriptPath().c_str(), nullptr), 0);
}

TEST_F(BuildTest, ExceptionsBecomeResultCodesInEveryPhase) {
  for (const char* phase : kPhases) {
    for (Throw kind : {Throw::kMemory, Throw::kFile}) {
      SCOPED_TRACE(phase);
      events.clear();
      throw_at = phase;
      throw_kind = kind;
      const bool memory = kind == Throw::kMemory;
      EXPECT_EQ(Build(kMinimal), memory ? 3 : 4);
      EXPECT_EQ(events.back(),
                memory ? "message:A memory error occured." : "message:A file error occured.");
    }
  }
}

TEST_F(BuildTest, ALongScriptPathIsRefused) {
  const std::string path = "/" + std::string(255, 'x');
  EXPECT_EQ(VCD2DiscBuilder(nullptr, path.c_str(), Record), 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], "message:The script path is 256 bytes long; at most 255 are allowed.");
}

TEST_F(BuildTest, ASecondCallDuringABuildIsRefused) {
  static int32_t inner_result = -1;
  static std::string inner_path;
  inner_path = dir_.Write("inner.vcd", kMinimal);
  const std::string path = dir_.Write("disc.vcd", kMinimal);
  auto nested = [](int32_t percent, const char* text) -> int32_t {
    if (percent < 0 && std::string(text) == "Sorting items...") {
      inner_result = VCD2DiscBuilder(nullptr, inner_path.c_str(), nullptr);
    }
    return 1;
  };
  EXPECT_EQ(VCD2DiscBuilder(nullptr, path.c_str(), nested), 0);
  EXPECT_EQ(inner_result, 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0],
            "message:A build is already running in this process; this VCD2DiscBuilder call was "
            "refused.");
}

}  // namespace
}  // namespace vcd2
