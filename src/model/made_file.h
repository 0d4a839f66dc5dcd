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
  // Leaves the file on disk when the record goes.
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

}  // namespace vcd2
