#include "support/message_capture.h"

#include "base/error_reporter.h"

namespace vcd2::test {

MessageCapture::MessageCapture() {
  Reporter().SetSink([this](const std::string& text) { messages_.push_back(text); });
}

MessageCapture::~MessageCapture() {
  Reporter().SetSink(nullptr);
}

}  // namespace vcd2::test
