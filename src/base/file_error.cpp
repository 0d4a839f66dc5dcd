#include "base/file_error.h"

#include <unistd.h>

#include <cstring>

namespace vcd2 {

std::string FileErrorLine(const std::string& path, int error) {
  return "\r\n" + path + ": " + std::strerror(error);
}

// The kernel knows the path behind a descriptor; a stream without one is
// named by its descriptor.
std::string FileErrorLine(std::FILE* file, int error) {
  const int fd = file != nullptr ? fileno(file) : -1;
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  char path[4096];
  const ssize_t length = readlink(link.c_str(), path, sizeof path - 1);
  if (length <= 0) return FileErrorLine("descriptor " + std::to_string(fd), error);
  return FileErrorLine(std::string(path, static_cast<size_t>(length)), error);
}

}  // namespace vcd2
