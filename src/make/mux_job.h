#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "model/file_ref.h"

namespace vcd2 {

// Multiplexes still pictures, optionally with MPEG audio, into a system
// stream written to target_path.
class MuxJob {
 public:
  MuxJob(const std::string& target_path, const std::vector<std::unique_ptr<FileRef>>& sources);

  // Reports its own message when it fails.
  Status RunMux();

 private:
  std::string target_path_;
};

}  // namespace vcd2
