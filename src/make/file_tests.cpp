#include "make/file_tests.h"

#include <sys/stat.h>

namespace vcd2 {

bool FileIsPresent(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size != 0;
}

const char* NonFileKind(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return nullptr;
  if (S_ISDIR(status.st_mode)) return "a folder";
  if (S_ISFIFO(status.st_mode)) return "a FIFO";
  if (S_ISSOCK(status.st_mode)) return "a socket";
  return "a device";
}

int CompareFileTimes(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) return 0;
  const timespec& x = first.st_mtim;
  const timespec& y = second.st_mtim;
  if (x.tv_sec != y.tv_sec) return x.tv_sec < y.tv_sec ? -1 : 1;
  if (x.tv_nsec != y.tv_nsec) return x.tv_nsec < y.tv_nsec ? -1 : 1;
  return 0;
}

}  // namespace vcd2
