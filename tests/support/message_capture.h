#pragma once

#include <string>
#include <vector>

#include "base/error_reporter.h"

namespace vcd2::test {

// Collects every message and warning the error reporter shows while it lives.
class MessageCapture {
 public:
  MessageCapture() {
    Reporter().SetSink([this](const std::string& text) { messages_.push_back(text); });
    Reporter().SetWarningSink([this](const std::string& text) { warnings_.push_back(text); });
  }
  ~MessageCapture() {
    Reporter().SetSink(nullptr);
    Reporter().SetWarningSink(nullptr);
  }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  const std::vector<std::string>& Messages() const { return messages_; }
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  std::vector<std::string> messages_;
  std::vector<std::string> warnings_;
};

}  // namespace vcd2::test
