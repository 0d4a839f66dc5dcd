#include "image/image_file.h"

#include <cerrno>

#include "base/error_reporter.h"
#include "base/file_error.h"

namespace vcd2 {

UniqueFile OpenImageForUpdate(const std::string& path) {
  UniqueFile file(std::fopen(path.c_str(), "r+b"));
  if (!file) ReportError("Could not open image file.%s", FileErrorLine(path, errno).c_str());
  return file;
}

}  // namespace vcd2
