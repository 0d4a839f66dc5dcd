#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

namespace vcd2 {

// A file operation that cannot go on; the build thread turns it into result 4.
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& what) : std::runtime_error(what) {}
};

// The line that follows a message about a file: its path and the system's
// wording of error, after a line break.
std::string FileErrorLine(const std::string& path, int error);
// The same for an open stream, named by the path it was opened with.
std::string FileErrorLine(std::FILE* file, int error);

}  // namespace vcd2
