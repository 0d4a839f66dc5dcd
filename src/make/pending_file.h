#pragma once

#include <string>

#include "base/status.h"

namespace vcd2 {

// A target written as an unnamed file (O_TMPFILE) in its own folder and
// named only when complete, so that a failed, stopped or killed encoding
// leaves no half-written target and no temporary file behind; the unnamed
// file needs no name of its own, so a target whose name is at the system's
// limit works too. Where the folder's filesystem has no unnamed files, a
// short temporary name (.vcd2-XXXXXX) is used instead and removed again.
class PendingFile {
 public:
  explicit PendingFile(std::string target);
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~PendingFile();

  // False, with errno set, when no temporary file could be created next to
  // the target.
  bool Created() const { return !path_.empty(); }
  // The temporary file, created empty; the writer opens it by this path.
  const std::string& Path() const { return path_; }
  // Gives the written file its real name, replacing a file of that name.
  Status Commit();

 private:
  std::string target_;
  std::string path_;
  int fd_ = -1;  // the unnamed file; -1 for a named temporary
  bool committed_ = false;
};

}  // namespace vcd2
