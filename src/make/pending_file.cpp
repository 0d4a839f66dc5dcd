#include "make/pending_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vcd2 {
namespace {

constexpr mode_t kTargetMode = 0644;  // mkstemp makes the file private

// "dir/.name.XXXXXX" for "dir/name".
std::string TemporaryPattern(const std::string& target) {
  const size_t slash = target.rfind('/');
  const size_t name = slash == std::string::npos ? 0 : slash + 1;
  return target.substr(0, name) + "." + target.substr(name) + ".XXXXXX";
}

}  // namespace

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  const std::string pattern = TemporaryPattern(target_);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return;
  fchmod(fd, kTargetMode);
  close(fd);
  path_ = name.data();
}

PendingFile::~PendingFile() {
  if (Created() && !committed_) std::remove(path_.c_str());
}

Status PendingFile::Commit() {
  committed_ = Created() && std::rename(path_.c_str(), target_.c_str()) == 0;
  return committed_;
}

}  // namespace vcd2
