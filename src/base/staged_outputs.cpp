#include "base/staged_outputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include "base/error_reporter.h"
#include "base/link_unnamed.h"

namespace vcd2 {
namespace {

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}

std::string FdPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// The final names of the files being staged, by device and inode.
std::map<std::pair<dev_t, ino_t>, std::string>& StagedNames() {
  static std::map<std::pair<dev_t, ino_t>, std::string> names;
  return names;
}

std::mutex& StagedNamesMutex() {
  static std::mutex mutex;
  return mutex;
}

void Forget(dev_t device, ino_t inode) {
  std::lock_guard lock(StagedNamesMutex());
  StagedNames().erase({device, inode});
}

constexpr char kNowhere[] = "/dev/null";

}  // namespace

// A file the build reads back is staged as in a build, on the disk it would
// take (so memory stays flat and a full disk fails alike), and never named.
StagedOutputs::Entry StagedOutputs::Pretend(const std::string& path, bool write_only) const {
  if (!write_only) return Stage(path);
  Entry entry{path, path + kTemporarySuffix, -1};
  // A folder that cannot take the file gives the temporary name, which then
  // fails to open with the error the build would meet.
  if (access(FolderOf(path).c_str(), W_OK) == 0) entry.working_path = kNowhere;
  return entry;
}

// Where the folder has no unnamed files, a named temporary is made.
StagedOutputs::Entry StagedOutputs::Stage(const std::string& path) const {
  Entry entry{path, path + kTemporarySuffix, -1};
  const int fd = open(FolderOf(path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0 && access(FdPath(fd).c_str(), W_OK) == 0) {
    entry.fd = fd;
    entry.working_path = FdPath(fd);
  } else {
    if (fd >= 0) close(fd);
    const int named =
        open(entry.working_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (named >= 0) close(named);
  }
  return entry;
}

std::string StagedOutputs::Create(const std::string& path, bool write_only) {
  for (const Entry& entry : entries_) {
    if (entry.path == path) return entry.working_path;
  }
  Entry entry = write_nothing_ ? Pretend(path, write_only) : Stage(path);
  struct stat info {};
  if (entry.working_path != kNowhere && stat(entry.working_path.c_str(), &info) == 0) {
    entry.device = info.st_dev;
    entry.inode = info.st_ino;
    std::lock_guard lock(StagedNamesMutex());
    StagedNames()[{entry.device, entry.inode}] = path;
  }
  entries_.push_back(entry);
  return entries_.back().working_path;
}

std::string StagedOutputs::WorkingPath(const std::string& path) const {
  for (const Entry& entry : entries_) {
    if (entry.path == path) return entry.working_path;
  }
  return path;
}

bool StagedOutputs::Name(const Entry& entry) const {
  if (entry.fd >= 0) return LinkUnnamed(entry.working_path, entry.path);
  return std::rename(entry.working_path.c_str(), entry.path.c_str()) == 0;
}

bool StagedOutputs::IsUnnamed(const std::string& path) const {
  return std::find(unnamed_.begin(), unnamed_.end(), path) != unnamed_.end();
}

// A failure removes the files already named too: the outputs stay a set.
bool StagedOutputs::Commit() {
  if (write_nothing_) {
    Discard();
    return true;
  }
  std::erase_if(entries_, [this](const Entry& entry) {
    if (!IsUnnamed(entry.path)) return false;
    Drop(entry);
    return true;
  });
  std::vector<std::string> named;
  while (!entries_.empty()) {
    const Entry& entry = entries_.front();
    if (!Name(entry)) {
      ReportError("Could not create %s: %s", entry.path.c_str(), std::strerror(errno));
      Discard();
      for (const std::string& path : named) unlink(path.c_str());
      return false;
    }
    named.push_back(entry.path);
    Forget(entry.device, entry.inode);
    if (entry.fd >= 0) close(entry.fd);
    entries_.erase(entries_.begin());
  }
  return true;
}

void StagedOutputs::Drop(const Entry& entry) {
  Forget(entry.device, entry.inode);
  if (entry.fd >= 0) {
    close(entry.fd);  // frees the unnamed file
  } else if (entry.working_path != kNowhere) {
    unlink(entry.working_path.c_str());
  }
}

void StagedOutputs::Discard() {
  for (const Entry& entry : entries_) Drop(entry);
  entries_.clear();
}

std::optional<std::string> StagedOutputs::FinalName(dev_t device, ino_t inode) {
  std::lock_guard lock(StagedNamesMutex());
  const auto found = StagedNames().find({device, inode});
  if (found == StagedNames().end()) return std::nullopt;
  return found->second;
}

}  // namespace vcd2
