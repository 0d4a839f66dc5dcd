#include "base/error_reporter.h"

#include <gtest/gtest.h>

#include "support/message_capture.h"

namespace vcd2 {
namespace {

class ErrorReporterTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Reporter().SetScriptName("");
    Reporter().SetLine(1);
  }
  test::MessageCapture capture;
};

// The prefix of a script line is in rejected_scripts_test and build_test,
// the warning sink in mpeg_source_test.
TEST_F(ErrorReporterTest, LongMessagesAreNotCut) {
  Reporter().SetScriptName(std::string(200, 's'));
  const std::string word(1000, 'w');
  ReportError("Unknown Keyword \"%s\" found.", word.c_str());
  ASSERT_EQ(capture.Messages().size(), 1u);
  const std::string& text = capture.Messages()[0];
  EXPECT_EQ(text.size(), 200 + std::string(" Line 1:\r\n").size() +
                             std::string("Unknown Keyword \"\" found.").size() + 1000);
  EXPECT_EQ(text.substr(text.size() - 9), "w\" found.");
}

}  // namespace
}  // namespace vcd2
