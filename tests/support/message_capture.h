#pragma once

#include <string>
#include <vector>

namespace vcd2::test {

// Collects every message and warning the error reporter shows while it lives.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  const std::vector<std::string>& Messages() const { return messages_; }
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  std::vector<std::string> messages_;
  std::vector<std::string> warnings_;
};

}  // namespace vcd2::test
