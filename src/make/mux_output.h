#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/unique_file.h"

namespace vcd2 {

// The stream a job writes. Unless it is completed the file is removed, so a
// failed job leaves no partial target. Open and write failures are reported
// and thrown as file errors.
class MuxOutput {
 public:
  explicit MuxOutput(std::string target) : target_(std::move(target)) {}
  ~MuxOutput();
  MuxOutput(const MuxOutput&) = delete;
  MuxOutput& operator=(const MuxOutput&) = delete;

  void Open();
  void Write(std::span<const uint8_t> bytes);
  // Closes the complete stream.
  void Commit();

 private:
  [[noreturn]] void Fail();

  std::string target_;
  UniqueFile file_;
};

}  // namespace vcd2
