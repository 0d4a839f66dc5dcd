#pragma once

#include <cstdio>
#include <memory>

namespace vcd2 {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A C stream closed when it goes out of scope.
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace vcd2
