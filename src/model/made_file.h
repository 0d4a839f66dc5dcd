#pragma once

#include <string>

namespace vcd2 {

// A file that MAKE produced in this build; destroying the record deletes it
// and its made record (base/made_record.h).
class MadeFile {
 public:
  explicit MadeFile(std::string path) : path_(std::move(path)) {}
  MadeFile(const MadeFile&) = delete;
  MadeFile& operator=(const MadeFile&) = delete;
  ~MadeFile();

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vcd2
