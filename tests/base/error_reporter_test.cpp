#include "base/error_reporter.h"

#include <gtest/gtest.h>

#include "support/message_capture.h"

namespace vcd2 {
namespace {

// The prefix of a script line is in rejected_scripts_test and build_test,
// the warning sink in source_writer_test.
TEST(ErrorReporterTest, LongMessagesAreNotCut) {
  test::MessageCapture capture;
  const std::string name(200, 's');
  const std::string word(1000, 'w');
  Reporter().SetScriptName(name);
  ReportError("Unknown Keyword \"%s\" found.", word.c_str());
  Reporter().SetScriptName("");
  EXPECT_EQ(capture.Messages(),
            std::vector<std::string>{name + " Line 1:\r\nUnknown Keyword \"" + word + "\" found."});
}

}  // namespace
}  // namespace vcd2
