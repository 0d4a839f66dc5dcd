#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace vcd2::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::string& contents) const;
  // Every file and folder in the directory, as paths relative to it.
  std::set<std::string> Listing() const;

 private:
  std::filesystem::path path_;
};

}  // namespace vcd2::test
