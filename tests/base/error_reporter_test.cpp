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

TEST_F(ErrorReporterTest, WhileParsingTheScriptAndLinePrefixTheMessage) {
  ReportError("Undefined mount label %s.", "SRC");
  Reporter().SetScriptName("C:\\disc.vcd");
  Reporter().SetLine(12);
  ReportError("EOF encountered.");
  EXPECT_EQ(capture.Messages(),
            (std::vector<std::string>{"Undefined mount label SRC.",
                                      "C:\\disc.vcd Line 12:\r\nEOF encountered."}));
}

TEST_F(ErrorReporterTest, WarningsTakeTheirOwnSinkWithTheSamePrefix) {
  Reporter().SetScriptName("disc.vcd");
  Reporter().SetLine(3);
  ReportWarning("Selection %s has %u items.", "MENU", 120u);
  EXPECT_TRUE(capture.Messages().empty());
  EXPECT_EQ(capture.Warnings(),
            std::vector<std::string>{"disc.vcd Line 3:\r\nSelection MENU has 120 items."});
}

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
