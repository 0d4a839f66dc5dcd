#pragma once

#include <stdexcept>
#include <string>

namespace vcd2 {

// A file operation that cannot go on; the build thread turns it into result 4.
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace vcd2
