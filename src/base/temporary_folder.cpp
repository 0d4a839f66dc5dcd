#include "base/temporary_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace vcd2 {

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

UniqueFile TemporaryFolder::CreateFile(const char* prefix, std::string& path) {
  if (path_.empty()) {
    std::error_code error;
    std::filesystem::path parent = std::filesystem::temp_directory_path(error);
    if (error) parent = ".";
    std::string pattern = (parent / "vcd2-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      path = parent.string();
      return nullptr;
    }
    path_ = pattern;
  }
  path = (std::filesystem::path(path_) / (std::string(prefix) + "XXXXXX")).string();
  const int fd = mkstemp(path.data());
  if (fd < 0) return nullptr;
  UniqueFile file(fdopen(fd, "w+b"));
  if (!file) close(fd);
  return file;
}

}  // namespace vcd2
