#pragma once

#include <string>

#include "base/unique_file.h"

namespace vcd2 {

// A private folder for temporary files, made with mkdtemp on first use in
// the system's temporary directory (the current one when it names none) and
// removed with everything in it when the object goes.
class TemporaryFolder {
 public:
  TemporaryFolder() = default;
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder();

  // A new empty file in the folder, its name starting with prefix, open for
  // reading and writing on the descriptor mkstemp made. path receives its
  // name, or the folder's when the folder could not be made. Null, with
  // errno set, on failure.
  UniqueFile CreateFile(const char* prefix, std::string& path);

 private:
  std::string path_;
};

}  // namespace vcd2
