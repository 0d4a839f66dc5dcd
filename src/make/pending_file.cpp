#include "make/pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "base/link_unnamed.h"

namespace vcd2 {
namespace {

constexpr char kShortName[] = ".vcd2-";

std::string FolderOf(const std::string& target) {
  const size_t slash = target.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : target.substr(0, slash);
}

}  // namespace

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  const int fd = open(FolderOf(target_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0) {
    fd_ = fd;
    path_ = "/proc/self/fd/" + std::to_string(fd);
    return;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR) return;
  std::string pattern = FolderOf(target_) + "/" + kShortName + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int named = mkstemp(name.data());
  if (named < 0) return;
  fchmod(named, 0644);  // mkstemp makes the file private
  close(named);
  path_ = name.data();
}

PendingFile::~PendingFile() {
  if (fd_ >= 0) {
    close(fd_);  // frees the unnamed file unless it was named
  } else if (Created() && !committed_) {
    std::remove(path_.c_str());
  }
}

Status PendingFile::Commit() {
  if (!Created()) return false;
  committed_ =
      fd_ >= 0 ? LinkUnnamed(path_, target_) : std::rename(path_.c_str(), target_.c_str()) == 0;
  return committed_;
}

}  // namespace vcd2
