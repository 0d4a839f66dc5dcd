#include "image/image_file.h"

#include "base/error_reporter.h"

namespace vcd2 {

UniqueFile OpenImageForUpdate(const std::string& path) {
  UniqueFile file(std::fopen(path.c_str(), "r+b"));
  if (!file) ReportError("Could not open image file.");
  return file;
}

}  // namespace vcd2
