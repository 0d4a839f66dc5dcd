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
int32_t answer = 1;

int32_t Record(int32_t percent, const char* text) {
  calls.push_back({percent, text != nullptr ? text : "(null)"});
  return answer;
}

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    answer = 1;
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

TEST_F(ProgressTest, AZeroAnswerSetsTheAbortFlagForGood) {
  ShowStatus("a");
  EXPECT_FALSE(AbortRequested());
  answer = 0;
  ShowStatus("b");
  EXPECT_TRUE(AbortRequested());
  answer = 1;
  SetProgressPos(5);
  ShowStatus("c");
  EXPECT_TRUE(AbortRequested());
}

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
