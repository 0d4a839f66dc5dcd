#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/unique_file.h"

namespace vcd2 {

// The stream a job writes, under a temporary name beside the target; it
// takes the target's name only when complete and is removed otherwise, so a
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
  // Closes the stream and gives it the target's name.
  void Commit();

 private:
  [[noreturn]] void Fail();
  std::string TemporaryPath() const { return target_ + ".part"; }

  std::string target_;
  UniqueFile file_;
};

}  // namespace vcd2
