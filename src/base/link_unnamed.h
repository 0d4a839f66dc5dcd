#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace vcd2 {

// Gives an unnamed file, reached by its /proc/self/fd path, the name
// `target`, replacing a file of that name. link() does not replace a file,
// so the file is linked under a short free name in the target's folder first
// (".vcd2-PID-N", so that a target at the name limit works too), which
// rename() then moves over the target in one step. False with errno set.
inline bool LinkUnnamed(const std::string& fd_path, const std::string& target) {
  constexpr int kAttempts = 100;
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string name =
        folder + ".vcd2-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    if (linkat(AT_FDCWD, fd_path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (std::rename(name.c_str(), target.c_str()) == 0) return true;
    const int error = errno;
    unlink(name.c_str());
    errno = error;
    return false;
  }
  return false;
}

}  // namespace vcd2
