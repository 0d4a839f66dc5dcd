#include "base/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vcd2 {
namespace {

struct Call {
  int32_t percent;
  std::string text;  // "(null)" for a null text
  bool operator==(const Call&) const = default;
};

std::vector<Call> calls;

int32_t Record(int32_t percent, const char* text) {
  calls.push_back({percent, text != nullptr ? text : "(null)"});
  return 1;
}

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    ClearAbortRequest();
    SetProgressCallback(Record);
  }
  void TearDown() override {
    SetProgressCallback(nullptr);
    ClearAbortRequest();
  }
};

TEST_F(ProgressTest, StepsReportTruncatedPercentsAndStopAtTheTop) {
  SetProgressRange(0, 100);
  SetProgressStep(30);
  for (int i = 0; i < 4; ++i) StepProgress();
  const std::vector<Call> expected = {{0, "(null)"},  {0, "(null)"},  {30, "(null)"},
                                      {60, "(null)"}, {90, "(null)"}, {100, "(null)"}};
  EXPECT_EQ(calls, expected);
  StepProgress();
  EXPECT_EQ(calls.back().percent, 100);
}

// That a zero answer stops the build for good is in staged_outputs_test: a
// stop at any one progress call fails the build.
TEST_F(ProgressTest, PercentArithmetic) {
  EXPECT_EQ(PercentOf(1, 0, 3), 33);
  EXPECT_EQ(PercentOf(2, 0, 3), 66);
  EXPECT_EQ(PercentOf(-1, 0, 3), -33);  // truncates toward zero
  // An empty range: nothing to do reports done, never divides by zero.
  EXPECT_EQ(PercentOf(0, 0, 0), 100);
  EXPECT_EQ(PercentOf(-1, 0, 0), 0);
  // 32-bit products wrap as they do in 32-bit arithmetic.
  EXPECT_EQ(PercentOf(50000000, 0, 100000000), static_cast<int32_t>(5000000000u) / 100000000);
}

}  // namespace
}  // namespace vcd2
