#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace vcd2::test {

// Scripts name the directory in quotes, where a U in front of the closing
// quote would start a hex-coded string: the random part never ends the path.
TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vcd2-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = std::filesystem::path(pattern) / "work";
  std::filesystem::create_directory(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_.parent_path(), ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& contents) const {
  const auto path = path_ / name;
  std::ofstream(path, std::ios::binary) << contents;
  return path.string();
}

std::set<std::string> TempDir::Listing() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
    names.insert(std::filesystem::relative(entry.path(), path_).string());
  }
  return names;
}

}  // namespace vcd2::test
