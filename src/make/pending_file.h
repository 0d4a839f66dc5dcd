#pragma once

#include <string>

#include "base/status.h"

namespace vcd2 {

// A target written under a temporary name in its own folder and renamed to
// its real name only when complete, so that a failed or stopped encoding
// leaves no half-written target behind.
class PendingFile {
 public:
  explicit PendingFile(std::string target);
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~PendingFile();

  // False when no temporary file could be created next to the target.
  bool Created() const { return !path_.empty(); }
  // The temporary file, created empty; the writer opens it by this path.
  const std::string& Path() const { return path_; }
  // Gives the written file its real name.
  Status Commit();

 private:
  std::string target_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace vcd2
