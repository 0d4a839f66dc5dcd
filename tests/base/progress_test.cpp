#include "base/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vcd2 {
namespace {

std::vector<std::string> calls;  // the text, or the percent of a call without one

int32_t Record(int32_t percent, const char* text) {
  calls.push_back(text != nullptr ? text : std::to_string(percent));
  return 1;
}

TEST(ProgressTest, StepsReportTruncatedPercentsAndStopAtTheTop) {
  SetProgressCallback(Record);
  SetProgressRange(0, 100);
  SetProgressStep(30);
  for (int i = 0; i < 5; ++i) StepProgress();
  SetProgressCallback(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"0", "0", "30", "60", "90", "100", "100"}));
}

// That a zero answer stops the build for good is in staged_outputs_test: a
// stop at any one progress call fails the build.
TEST(ProgressTest, PercentArithmetic) {
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
