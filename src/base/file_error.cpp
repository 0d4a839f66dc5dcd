#include "base/file_error.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "base/staged_outputs.h"

namespace vcd2 {

namespace {

std::string Line(const std::string& name, int error) {
  return "\r\n" + name + ": " + std::strerror(error);
}

}  // namespace

// A file being staged is named by the name it will get.
std::string FileErrorLine(const std::string& path, int error) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    if (auto name = StagedOutputs::FinalName(info.st_dev, info.st_ino)) return Line(*name, error);
  }
  return Line(path, error);
}

// Other streams are named by the path the kernel knows for their
// descriptor.
std::string FileErrorLine(std::FILE* file, int error) {
  const int fd = file != nullptr ? fileno(file) : -1;
  struct stat info {};
  if (fd >= 0 && fstat(fd, &info) == 0) {
    if (auto name = StagedOutputs::FinalName(info.st_dev, info.st_ino)) return Line(*name, error);
  }
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  char path[4096];
  const ssize_t length = readlink(link.c_str(), path, sizeof path - 1);
  if (length <= 0) return Line("descriptor " + std::to_string(fd), error);
  return Line(std::string(path, static_cast<size_t>(length)), error);
}

}  // namespace vcd2
